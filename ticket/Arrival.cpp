#include "ticket/Arrival.h"

#include "generators/Combinatorics.h"

#include <algorithm>
#include <climits>
#include <map>

namespace torvanel {
namespace {

using bets::Horse;

// A walk asks whether to go on once every so many lines.
constexpr std::uint64_t kLinesPerLook = 1 << 16;

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '-' || c == ','; }

std::string Quoted(std::string_view word)
{
    constexpr std::size_t kLongest = 20;
    const std::string shown(word.substr(0, kLongest));
    return "« " + shown + (word.size() > kLongest ? "… »" : " »");
}

// The words of the typed arrival, between separators.
std::vector<std::string_view> Words(std::string_view typed)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < typed.size()) {
        if (IsSeparator(typed[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < typed.size() && !IsSeparator(typed[end])) ++end;
        words.push_back(typed.substr(at, end - at));
        at = end;
    }
    return words;
}

// A horse number read from one word, or why it is not one.
std::optional<Horse> HorseOf(std::string_view word, std::string& refusal)
{
    if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        refusal = Quoted(word) + " n'est pas un numéro de cheval : tapez des nombres entiers, séparés par des "
                                 "tirets, des virgules ou des blancs.";
        return std::nullopt;
    }
    long value = 0;
    for (char c : word) {
        value = value * 10 + (c - '0');
        if (value > SHRT_MAX) {
            refusal = Quoted(word) + " n'est pas un numéro de cheval : un numéro va de 0 à 32767.";
            return std::nullopt;
        }
    }
    return static_cast<Horse>(value);
}

std::span<const bets::ClassRule> ClassesOf(BetType bet) { return bets::RuleOf(bet).classes; }

std::size_t IndexOf(BetType bet, const bets::ClassRule* rule)
{
    return static_cast<std::size_t>(rule - ClassesOf(bet).data());
}

// The finishers a check reads: no class of the bet reads further.
std::span<const Horse> ReadFinishers(BetType bet, std::span<const Horse> arrival)
{
    int most = 0;
    for (const bets::ClassRule& rule : ClassesOf(bet)) most = std::max(most, rule.finishers);
    return arrival.first(std::min(arrival.size(), static_cast<std::size_t>(most)));
}

ArrivalCheck NothingPaid(BetType bet, std::size_t finishers)
{
    ArrivalCheck check;
    for (const bets::ClassRule& rule : ClassesOf(bet))
        check.classes.push_back({&rule, finishers >= static_cast<std::size_t>(rule.finishers), 0});
    return check;
}

// ---- Counting a block without writing its lines ---------------------------
// Whether an arrival pays a line, and in which class, depends only on which
// of the line's horses are finishers, at which places and in which written
// order: every other horse can stand for any other. So the lines of a group
// are counted by the finishers they pick, in position order (a sequence of
// places), times the ways to fill the rest with the group's other horses.

// A sequence of places, packed: its length in the low 4 bits, then 3 bits a place.
using Places = std::uint32_t;
constexpr int kPlaceBits = 3;

int LengthOf(Places places) { return static_cast<int>(places & 0xF); }
Places Appended(Places places, int place)
{
    const int length = LengthOf(places);
    return (places & ~Places{0xF}) | static_cast<Places>(place) << (4 + kPlaceBits * length) |
           static_cast<Places>(length + 1);
}
int PlaceAt(Places places, int i) { return static_cast<int>((places >> (4 + kPlaceBits * i)) & 0x7); }

struct GroupPicks {
    std::map<Places, WideCount> ways;  // ways to pick each sequence of finishers
    std::uint64_t others = 0;          // horses of the group that are not finishers
};

GroupPicks PicksOf(const std::vector<HorseNumber>& group, int take, std::span<const Horse> finishers)
{
    GroupPicks picks;
    picks.ways[0] = 1;
    for (HorseNumber horse : group) {
        const auto found = std::find(finishers.begin(), finishers.end(), horse);
        if (found == finishers.end()) {
            ++picks.others;
            continue;
        }
        const int place = static_cast<int>(found - finishers.begin());
        // This horse may follow every shorter sequence picked before it.
        const std::map<Places, WideCount> before = picks.ways;
        for (const auto& [places, ways] : before)
            if (LengthOf(places) < take) {
                WideCount& grown = picks.ways[Appended(places, place)];
                grown = SaturatingAdd(grown, ways);
            }
    }
    return picks;
}

// A horse that is none of the finishers, to stand for every other horse.
Horse Stranger(std::span<const Horse> finishers)
{
    Horse horse = SHRT_MIN;
    while (std::find(finishers.begin(), finishers.end(), horse) != finishers.end()) ++horse;
    return horse;
}

// Writes the finishers of `places`, then `others` strangers.
void Write(Places places, std::span<const Horse> finishers, int others, Horse stranger, std::vector<Horse>& line)
{
    for (int i = 0; i < LengthOf(places); ++i) line.push_back(finishers[static_cast<std::size_t>(PlaceAt(places, i))]);
    line.insert(line.end(), static_cast<std::size_t>(others), stranger);
}

// The lines of one block paid in each class of the bet.
std::vector<WideCount> CountBlock(const ResultBlock& block, BetType bet, std::span<const Horse> finishers)
{
    std::vector<WideCount> counts(ClassesOf(bet).size(), 0);
    const GroupPicks bases = PicksOf(block.bases, block.baseTake, finishers);
    const GroupPicks outs = PicksOf(block.outs, block.outTake, finishers);
    const Horse stranger = Stranger(finishers);
    std::vector<Horse> line;
    for (const auto& [basePlaces, baseWays] : bases.ways) {
        const int baseOthers = block.baseTake - LengthOf(basePlaces);
        const WideCount withBases = SaturatingMul(baseWays, Binomial(bases.others, static_cast<std::uint64_t>(baseOthers)));
        for (const auto& [outPlaces, outWays] : outs.ways) {
            const int outOthers = block.outTake - LengthOf(outPlaces);
            const WideCount lines =
                SaturatingMul(withBases, SaturatingMul(outWays, Binomial(outs.others, static_cast<std::uint64_t>(outOthers))));
            if (lines == 0) continue;
            line.clear();
            Write(basePlaces, finishers, baseOthers, stranger, line);
            Write(outPlaces, finishers, outOthers, stranger, line);
            if (const bets::ClassRule* rule = bets::BestClass(bet, line, finishers)) {
                WideCount& count = counts[IndexOf(bet, rule)];
                count = SaturatingAdd(count, lines);
            }
        }
    }
    return counts;
}

// ---- Collecting paid lines -----------------------------------------------
// Indices while they are few, one bit per line of the full list once they
// would cost more.
class PaidCollector {
public:
    explicit PaidCollector(std::uint64_t universe) : universe_(universe) {}
    void add(std::uint64_t index)
    {
        if (!words_.empty()) {
            words_[index / 64] |= std::uint64_t{1} << (index % 64);
            return;
        }
        indices_.push_back(index);
        if (indices_.size() * 64 > universe_) {
            words_.assign(static_cast<std::size_t>((universe_ + 63) / 64), 0);
            for (std::uint64_t kept : indices_) words_[kept / 64] |= std::uint64_t{1} << (kept % 64);
            std::vector<std::uint64_t>().swap(indices_);
        }
    }
    LineSelection done()
    {
        if (!words_.empty()) return LineSelection::FromBits(std::move(words_), universe_);
        std::sort(indices_.begin(), indices_.end());
        return LineSelection::FromIndices(std::move(indices_), universe_);
    }

private:
    std::uint64_t universe_;
    std::vector<std::uint64_t> indices_;
    std::vector<std::uint64_t> words_;
};

// Counts the lines walked and asks `keepGoing` now and then.
class WalkLook {
public:
    explicit WalkLook(const KeepGoing& keepGoing) : keepGoing_(keepGoing) {}
    bool step()
    {
        ++walked_;
        if (walked_ % kLinesPerLook == 0 && keepGoing_ && !keepGoing_(walked_)) stopped_ = true;
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    const KeepGoing& keepGoing_;
    std::uint64_t walked_ = 0;
    bool stopped_ = false;
};

std::optional<LineSelection> PaidOfFullList(const ResultList& full, BetType bet, std::span<const Horse> finishers,
                                            const KeepGoing& keepGoing)
{
    PaidCollector paid(full.count());
    WalkLook look(keepGoing);
    for (std::size_t b = 0; b < full.blocks().size() && !look.stopped(); ++b) {
        WideCount left = 0;
        for (WideCount count : CountBlock(full.blocks()[b], bet, finishers)) left = SaturatingAdd(left, count);
        std::uint64_t index = b == 0 ? 0 : full.blockEnds()[b - 1];
        full.forEachHorses(
            [&](const LineHorses& line) {
                if (left == 0 || line.block != b) return false;
                if (bets::BestClass(bet, line.view(), finishers)) {
                    paid.add(index);
                    --left;
                }
                ++index;
                return look.step();
            },
            index);
    }
    if (look.stopped()) return std::nullopt;
    return paid.done();
}

}  // namespace

void ForEachShownLine(const ShownLines& lines, const std::function<bool(std::uint64_t, const LineHorses&)>& visit)
{
    const LineSelection* kept = lines.kept();
    // Finding a kept line by its index costs some forty steps of a walk: a
    // stage keeping more than a line in 32 is read walking past the others.
    if (kept && kept->count() * 32 < lines.full().count()) {
        kept->forEach([&](std::uint64_t index) { return visit(index, lines.full().horsesAt(index)); });
        return;
    }
    std::uint64_t index = kept ? (kept->count() == 0 ? lines.full().count() : kept->select(0)) : 0;
    std::uint64_t left = lines.count();
    lines.full().forEachHorses(
        [&](const LineHorses& line) {
            const std::uint64_t at = index++;
            if (kept && !kept->contains(at)) return true;
            return visit(at, line) && --left > 0;
        },
        index);
}

ArrivalReading ReadArrival(std::string_view typed)
{
    ArrivalReading reading;
    const std::vector<std::string_view> words = Words(typed);
    if (words.empty()) {
        reading.refusal = "Tapez l'arrivée : les numéros des premiers dans l'ordre, par exemple 12-3-7-1-5.";
        return reading;
    }
    for (std::string_view word : words) {
        const std::optional<Horse> horse = HorseOf(word, reading.refusal);
        if (!horse) break;
        if (std::find(reading.finishers.begin(), reading.finishers.end(), *horse) != reading.finishers.end()) {
            reading.refusal = "Le " + std::to_string(*horse) + " est tapé deux fois : un cheval n'arrive qu'à une place.";
            break;
        }
        reading.finishers.push_back(*horse);
    }
    if (!reading.refusal.empty()) reading.finishers.clear();
    return reading;
}

std::string ArrivalText(std::span<const Horse> finishers)
{
    std::string text;
    for (Horse horse : finishers) {
        if (!text.empty()) text += '-';
        text += std::to_string(horse);
    }
    return text;
}

std::uint64_t ArrivalCheck::paidLines() const
{
    std::uint64_t paid = 0;
    for (const ClassCount& count : classes) paid += count.lines;
    return paid;
}

bool ArrivalCheck::operator==(const ArrivalCheck& other) const
{
    return std::equal(classes.begin(), classes.end(), other.classes.begin(), other.classes.end(),
                      [](const ClassCount& a, const ClassCount& b) {
                          return a.rule == b.rule && a.reckoned == b.reckoned && a.lines == b.lines;
                      });
}

std::optional<ArrivalCheck> CheckArrival(const ShownLines& lines, BetType bet, std::span<const Horse> arrival,
                                         const KeepGoing& keepGoing)
{
    if (lines.isFull()) return CheckByBlocks(lines.full(), bet, arrival);
    return CheckByWalk(lines, bet, arrival, keepGoing);
}

std::optional<ArrivalCheck> CheckByWalk(const ShownLines& lines, BetType bet, std::span<const Horse> arrival,
                                        const KeepGoing& keepGoing)
{
    const std::span<const Horse> finishers = ReadFinishers(bet, arrival);
    ArrivalCheck check = NothingPaid(bet, finishers.size());
    WalkLook look(keepGoing);
    ForEachShownLine(lines, [&](std::uint64_t, const LineHorses& line) {
        if (const bets::ClassRule* rule = bets::BestClass(bet, line.view(), finishers))
            ++check.classes[IndexOf(bet, rule)].lines;
        return look.step();
    });
    if (look.stopped()) return std::nullopt;
    return check;
}

ArrivalCheck CheckByBlocks(const ResultList& full, BetType bet, std::span<const Horse> arrival)
{
    const std::span<const Horse> finishers = ReadFinishers(bet, arrival);
    ArrivalCheck check = NothingPaid(bet, finishers.size());
    for (const ResultBlock& block : full.blocks()) {
        const std::vector<WideCount> counts = CountBlock(block, bet, finishers);
        for (std::size_t c = 0; c < counts.size(); ++c)
            check.classes[c].lines = ClampTo64(SaturatingAdd(check.classes[c].lines, counts[c]));
    }
    return check;
}

std::optional<LineSelection> PaidLines(const ShownLines& lines, BetType bet, std::span<const Horse> arrival,
                                       const KeepGoing& keepGoing)
{
    const std::span<const Horse> finishers = ReadFinishers(bet, arrival);
    if (lines.isFull()) return PaidOfFullList(lines.full(), bet, finishers, keepGoing);
    PaidCollector paid(lines.full().count());
    WalkLook look(keepGoing);
    ForEachShownLine(lines, [&](std::uint64_t index, const LineHorses& line) {
        if (bets::BestClass(bet, line.view(), finishers)) paid.add(index);
        return look.step();
    });
    if (look.stopped()) return std::nullopt;
    return paid.done();
}

}  // namespace torvanel
