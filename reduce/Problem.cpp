#include "reduce/Problem.h"

#include <algorithm>

namespace torvanel::reduce {
namespace {

std::uint64_t Ways(int n, int take) { return ClampTo64(Binomial(static_cast<std::uint64_t>(n), static_cast<std::uint64_t>(take))); }

// How many arrivals one line pays on among `horseCount` horses.
std::uint64_t ArrivalsPerLine(const PayoutRule& rule, int horseCount) {
    return rule.lineInsideArrival ? Ways(horseCount - rule.lineSize, rule.eventSize - rule.lineSize)
                                  : Ways(rule.lineSize, rule.eventSize);
}

}  // namespace

std::size_t MaskIndex::slotOf(Mask mask) const {
    const std::size_t wrap = slots_.size() - 1;
    std::size_t slot = static_cast<std::size_t>((mask * 0x9E3779B97F4A7C15ULL) >> 32) & wrap;
    while (slots_[slot] != kAbsent && masks_[slots_[slot]] != mask) slot = (slot + 1) & wrap;
    return slot;
}

void MaskIndex::rehash(std::size_t slots) {
    slots_.assign(slots, kAbsent);
    for (std::uint32_t id = 0; id < masks_.size(); ++id) slots_[slotOf(masks_[id])] = id;
}

void MaskIndex::reserve(std::size_t count) {
    std::size_t slots = slots_.size();
    while (count * 2 > slots) slots *= 2;
    if (slots != slots_.size()) rehash(slots);
    masks_.reserve(count);
}

std::uint32_t MaskIndex::insert(Mask mask) {
    const std::size_t slot = slotOf(mask);
    if (slots_[slot] != kAbsent) return slots_[slot];
    const auto id = static_cast<std::uint32_t>(masks_.size());
    masks_.push_back(mask);
    slots_[slot] = id;
    if (masks_.size() * 2 > slots_.size()) rehash(slots_.size() * 2);
    return id;
}

std::uint32_t MaskIndex::find(Mask mask) const { return slots_[slotOf(mask)]; }

std::vector<HorseNumber> PuntersHorses(const ResultList& full) {
    std::vector<HorseNumber> horses;
    std::vector<bool> seen(std::size_t{1} << 16, false);
    auto add = [&](const std::vector<HorseNumber>& group) {
        for (HorseNumber h : group)
            if (!seen[static_cast<std::uint16_t>(h)]) seen[static_cast<std::uint16_t>(h)] = true, horses.push_back(h);
    };
    for (const ResultBlock& block : full.blocks()) add(block.bases), add(block.outs);
    return horses;
}

LineSets ReadLineSets(const ShownLines& shown, int lineSize, Poll& poll) {
    LineSets read;
    if (shown.empty() || shown.count() > kMaxLines) {
        read.refusal = shown.empty() ? kEmptyList : kTooManyLines;
        return read;
    }
    read.horses = PuntersHorses(shown.full());
    if (read.horses.size() > static_cast<std::size_t>(kMaxHorses)) {
        read.refusal = kTooManyHorses;
        return read;
    }
    std::vector<Mask> bitOf(std::size_t{1} << 16, 0);
    for (std::size_t i = 0; i < read.horses.size(); ++i) bitOf[static_cast<std::uint16_t>(read.horses[i])] = Mask{1} << i;
    read.lines.reserve(shown.count());
    read.bases.reserve(shown.count());
    shown.forEachHorses([&](const LineHorses& horses) {
        Mask line = 0, bases = 0;
        for (int m = 0; m < horses.size; ++m) {
            const Mask bit = bitOf[static_cast<std::uint16_t>(horses.horses[static_cast<std::size_t>(m)])];
            line |= bit;
            if (m < horses.bases) bases |= bit;
        }
        if (__builtin_popcountll(line) != horses.size)
            read.refusal = "Une ligne de la liste contient deux fois le même cheval : la liste ne peut pas être réduite.";
        else if (horses.size != lineSize)
            read.refusal = "Les lignes de la liste n'ont pas le nombre de chevaux de ce pari.";
        read.lines.push_back(line);
        read.bases.push_back(bases);
        return read.refusal.empty() && poll();
    });
    read.stopped = poll.stopped();
    return read;
}

bool TooManyArrivals(const PayoutRule& rule, std::uint64_t distinctLines, int horseCount) {
    const std::uint64_t perLine = ArrivalsPerLine(rule, horseCount);
    return perLine > 0 && distinctLines > kMaxIncidences / perLine;
}

BuiltProblem BuildProblem(const ShownLines& shown, const PayoutRule& rule, const KeepGoing& keepGoing) {
    BuiltProblem built;
    CoverProblem& problem = built.problem;
    Poll poll(keepGoing);
    const LineSets read = ReadLineSets(shown, rule.lineSize, poll);
    built.refusal = read.refusal;
    built.stopped = read.stopped;
    if (!built.refusal.empty() || built.stopped) return built;
    problem.horses = read.horses;
    const int horseCount = static_cast<int>(problem.horses.size());
    const int t = rule.eventSize;
    MaskIndex seen;
    seen.reserve(read.lines.size());
    for (std::size_t i = 0; i < read.lines.size() && poll(); ++i)
        if (seen.insert(read.lines[i]) == problem.lines.size()) {
            problem.lines.push_back(read.lines[i]);
            problem.firstIndex.push_back(i);
        }
    if (TooManyArrivals(rule, problem.lines.size(), horseCount)) {
        built.refusal = kTooManyArrivals;
        return built;
    }
    MaskIndex events;
    auto eventId = [&events](Mask event) { return events.insert(event); };
    std::vector<std::uint32_t> start{0}, incidences;
    start.reserve(problem.lines.size() + 1);
    incidences.reserve(problem.lines.size() * ArrivalsPerLine(rule, horseCount));
    if (rule.lineInsideArrival) {
        // Any of the punter's horses may finish beside a line's own.
        const Mask all = horseCount == 64 ? ~Mask{0} : (Mask{1} << horseCount) - 1;
        for (std::size_t c = 0; c < problem.lines.size() && poll(); ++c) {
            const Mask line = problem.lines[c];
            ForEachSubset(all & ~line, t - rule.lineSize, [&](Mask rest) { incidences.push_back(eventId(line | rest)); });
            start.push_back(static_cast<std::uint32_t>(incidences.size()));
        }
    } else {
        // An arrival counts when a line contains it together with as many of
        // that line's bases as it can hold.
        for (std::size_t i = 0; i < read.lines.size() && poll(); ++i) {
            const Mask base = read.bases[i];
            const int held = std::min(t, __builtin_popcountll(base));
            ForEachSubset(base, held, [&](Mask b) {
                ForEachSubset(read.lines[i] & ~base, t - held, [&](Mask o) { eventId(b | o); });
            });
        }
        for (std::size_t c = 0; c < problem.lines.size() && poll(); ++c) {
            ForEachSubset(problem.lines[c], t, [&](Mask event) {
                const std::uint32_t id = events.find(event);
                if (id != MaskIndex::kAbsent) incidences.push_back(id);
            });
            start.push_back(static_cast<std::uint32_t>(incidences.size()));
        }
    }
    problem.events = events.masks();
    if (!poll.stopped())
        problem.instance.emplace(static_cast<std::uint32_t>(problem.events.size()), std::move(start),
                                 std::move(incidences), [&poll] { return poll(); });
    built.stopped = poll.stopped();
    if (built.stopped) problem.instance.reset();
    return built;
}

}  // namespace torvanel::reduce
