#include "reduce/Problem.h"

#include <algorithm>
#include <unordered_map>

namespace torvanel::reduce {
namespace {

// Every choice of `take` of the bits of `group` (list order), as masks in
// lexicographic order of positions; a choice that holds one horse twice has
// fewer bits than `take`.
void Choices(const std::vector<Mask>& group, int take, std::size_t from, Mask chosen,
             std::vector<Mask>& out) {
    if (take == 0) return out.push_back(chosen);
    for (std::size_t i = from; i + static_cast<std::size_t>(take) <= group.size(); ++i)
        Choices(group, take - 1, i + 1, chosen | group[i], out);
}

class HorseBits {
public:
    // Empty when the list holds more horses than a mask has bits.
    std::vector<Mask> bitsOf(const std::vector<HorseNumber>& numbers, bool& tooMany) {
        std::vector<Mask> bits;
        for (HorseNumber number : numbers) {
            auto [at, added] = index_.emplace(number, horses.size());
            if (added) horses.push_back(number);
            if (at->second >= static_cast<std::size_t>(kMaxHorses)) tooMany = true;
            else bits.push_back(Mask(1) << at->second);
        }
        return bits;
    }
    std::vector<HorseNumber> horses;

private:
    std::unordered_map<HorseNumber, std::size_t> index_;
};

std::uint64_t Ways(int n, int take) { return ClampTo64(Binomial(static_cast<std::uint64_t>(n), static_cast<std::uint64_t>(take))); }

}  // namespace

std::size_t MaskIndex::slotOf(Mask mask) const {
    const std::size_t wrap = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>((mask * 0x9E3779B97F4A7C15ULL) >> 32) & wrap;
    while (slots_[slot] != kAbsent && masks_[slots_[slot]] != mask) slot = (slot + 1) & wrap;
    return slot;
}

void MaskIndex::grow() {
    slots_.assign(slots_.size() * 2, kAbsent);
    for (std::uint32_t id = 0; id < masks_.size(); ++id) slots_[slotOf(masks_[id])] = id;
}

std::uint32_t MaskIndex::insert(Mask mask) {
    const std::size_t slot = slotOf(mask);
    if (slots_[slot] != kAbsent) return slots_[slot];
    const auto id = static_cast<std::uint32_t>(masks_.size());
    masks_.push_back(mask);
    slots_[slot] = id;
    if (masks_.size() * 2 > slots_.size()) grow();
    return id;
}

std::uint32_t MaskIndex::find(Mask mask) const { return slots_[slotOf(mask)]; }

BuiltProblem BuildProblem(const ResultList& list, const PayoutRule& rule) {
    BuiltProblem built;
    CoverProblem& problem = built.problem;
    if (list.empty()) {
        built.refusal = "La liste est vide : il n'y a rien à réduire.";
        return built;
    }
    if (list.count() > kMaxLines) {
        built.refusal = "La liste compte plus de 1 000 000 de lignes : elle est trop longue pour être réduite.";
        return built;
    }
    HorseBits bits;
    bool tooMany = false;
    std::vector<Mask> allBases;   // per list line, with allLines
    std::vector<Mask> allLines;
    allLines.reserve(list.count());
    for (const ResultBlock& block : list.blocks()) {
        const bool fusion = block.outTake > 0;
        const auto baseBits = bits.bitsOf(block.bases, tooMany);
        const auto outBits = bits.bitsOf(block.outs, tooMany);
        if (tooMany) {
            built.refusal = "La liste compte plus de 64 chevaux différents : elle ne peut pas être réduite.";
            return built;
        }
        std::vector<Mask> baseChoices, outChoices;
        Choices(baseBits, block.baseTake, 0, 0, baseChoices);
        Choices(outBits, block.outTake, 0, 0, outChoices);
        for (Mask base : baseChoices)
            for (Mask out : outChoices) {
                const Mask line = base | out;
                if (__builtin_popcountll(line) != block.baseTake + block.outTake) {
                    built.refusal = "Une ligne de la liste contient deux fois le même cheval : "
                                    "la liste ne peut pas être réduite.";
                    return built;
                }
                allLines.push_back(line);
                allBases.push_back(fusion ? base : 0);
            }
    }
    problem.horses = bits.horses;
    const int lineSize = __builtin_popcountll(allLines.front());
    for (Mask line : allLines)
        if (__builtin_popcountll(line) != rule.lineSize || __builtin_popcountll(line) != lineSize) {
            built.refusal = "Les lignes de la liste n'ont pas le nombre de chevaux de ce pari.";
            return built;
        }
    const int horseCount = static_cast<int>(problem.horses.size());
    const int t = rule.eventSize;
    const std::uint64_t perLine = rule.lineInsideArrival ? Ways(horseCount - lineSize, t - lineSize)
                                                         : Ways(lineSize, t);
    MaskIndex seen;
    for (std::size_t i = 0; i < allLines.size(); ++i)
        if (seen.insert(allLines[i]) == problem.lines.size()) {
            problem.lines.push_back(allLines[i]);
            problem.firstIndex.push_back(i);
        }
    if (perLine > 0 && problem.lines.size() > kMaxIncidences / perLine) {
        built.refusal = "La réduction demanderait d'examiner plus de 10 000 000 d'arrivées : "
                        "c'est trop pour la mémoire et le temps disponibles.";
        return built;
    }
    MaskIndex events;
    auto eventId = [&events](Mask event) { return events.insert(event); };
    std::vector<std::uint32_t> start{0}, incidences;
    if (rule.lineInsideArrival) {
        Mask all = 0;
        for (Mask line : problem.lines) all |= line;
        for (Mask line : problem.lines) {
            ForEachSubset(all & ~line, t - lineSize, [&](Mask rest) { incidences.push_back(eventId(line | rest)); });
            start.push_back(static_cast<std::uint32_t>(incidences.size()));
        }
    } else {
        // An arrival counts when a line contains it together with as many of
        // that line's bases as it can hold.
        for (std::size_t i = 0; i < allLines.size(); ++i) {
            const Mask base = allBases[i];
            const int held = std::min(t, __builtin_popcountll(base));
            ForEachSubset(base, held, [&](Mask b) {
                ForEachSubset(allLines[i] & ~base, t - held, [&](Mask o) { eventId(b | o); });
            });
        }
        for (Mask line : problem.lines) {
            ForEachSubset(line, t, [&](Mask event) {
                const std::uint32_t id = events.find(event);
                if (id != MaskIndex::kAbsent) incidences.push_back(id);
            });
            start.push_back(static_cast<std::uint32_t>(incidences.size()));
        }
    }
    problem.events = events.masks();
    problem.instance.emplace(static_cast<std::uint32_t>(problem.events.size()), std::move(start),
                             std::move(incidences));
    return built;
}

}  // namespace torvanel::reduce
