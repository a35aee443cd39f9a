#include "ticket/Coverage.h"

#include "generators/Combinatorics.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <set>

namespace torvanel {
namespace {

using bets::Horse;

// Cover() reads from 11 to 35 million sequences of horses against a line a
// second on the 2-core machine of bench/ArrivalBench.cpp ("Cover"
// benchmarks, the slowest the 2 sur 4 of many horses, on a loaded machine):
// a coverage estimated above ten seconds at ten million a second is refused.
constexpr double kSequencesPerSecond = 10e6;
constexpr double kMostSeconds = 10;
// The paid arrivals take one bit per sequence of horse indices: at most 64 MiB.
constexpr double kMostBits = double(1ULL << 29);
// A walk asks whether to go on once every so many lines.
constexpr std::uint64_t kLinesPerLook = 256;

// Arrangements of `take` out of `n`: n (n - 1) … (n - take + 1), roughly.
double Arrangements(int n, int take)
{
    if (take > n) return 0;
    double ways = 1;
    for (int i = 0; i < take; ++i) ways *= n - i;
    return ways;
}

// The different horses of the lines, in increasing order. A full list's
// are those of its blocks, as every horse of a block is in one of its lines.
std::vector<Horse> HorsesOf(const ShownLines& lines)
{
    std::set<Horse> horses;
    if (lines.isFull()) {
        for (const ResultBlock& block : lines.full().blocks()) {
            if (block.baseTake > 0) horses.insert(block.bases.begin(), block.bases.end());
            if (block.outTake > 0) horses.insert(block.outs.begin(), block.outs.end());
        }
    } else {
        ForEachShownLine(lines, [&horses](std::uint64_t, const LineHorses& line) {
            horses.insert(line.view().begin(), line.view().end());
            return true;
        });
    }
    return {horses.begin(), horses.end()};
}

// The rows that read the same number of finishers share their sequences of
// horses: one look at the rules tells in which of them a line pays one.
struct Group {
    int finishers = 0;
    std::vector<std::size_t> rows;  // best first
    // A class reads its first finishers and pays only when they are all in
    // the line or the line's horses are all among them. So the sequences a
    // line may be paid on begin with its horses or with sequences that hold
    // them, as long as the classes that can pay in these rows read; the
    // rest of such a sequence is any other horses.
    std::vector<int> prefixes;
};

std::vector<Group> GroupsOf(BetType bet)
{
    const std::span<const bets::ClassRule> classes = bets::RuleOf(bet).classes;
    std::vector<Group> groups;
    for (std::size_t row = 0; row < classes.size(); ++row) {
        const int finishers = classes[row].finishers;
        auto group = std::find_if(groups.begin(), groups.end(), [finishers](const Group& g) { return g.finishers == finishers; });
        if (group == groups.end()) group = groups.insert(groups.end(), Group{finishers, {}, {}});
        group->rows.push_back(row);
    }
    for (Group& group : groups) {
        const std::size_t worst = group.rows.back();
        for (std::size_t better = 0; better <= worst; ++better)
            if (classes[better].finishers <= group.finishers) group.prefixes.push_back(classes[better].finishers);
        std::sort(group.prefixes.begin(), group.prefixes.end());
        group.prefixes.erase(std::unique(group.prefixes.begin(), group.prefixes.end()), group.prefixes.end());
    }
    return groups;
}

// Sequences a line of `held` different horses may be paid on, for a group,
// among `horses` horses (the work of one line).
double SequencesOfLine(const Group& group, int held, int horses)
{
    double sequences = 0;
    for (int prefix : group.prefixes) {
        const double begun = held >= prefix ? Arrangements(held, prefix)
                                            : Arrangements(prefix, held) * Arrangements(horses - held, prefix - held);
        sequences += begun * Arrangements(horses - prefix, group.finishers - prefix);
    }
    return sequences;
}

std::uint64_t ArrangementCount(std::size_t n, int take)
{
    std::uint64_t ways = 1;
    for (int i = 0; i < take; ++i) ways = n > std::size_t(i) ? ways * (n - std::size_t(i)) : 0;
    return ways;
}

std::uint64_t Power(std::size_t base, int exponent)
{
    std::uint64_t power = 1;
    for (int i = 0; i < exponent; ++i) power *= base;
    return power;
}

double BitsOf(BetType bet, std::size_t horses)
{
    double bits = 0;
    for (const Group& group : GroupsOf(bet)) bits += std::pow(double(horses), group.finishers) * double(group.rows.size());
    return bits;
}

double WorkOf(BetType bet, std::uint64_t lines, std::size_t horses)
{
    const int held = std::min<int>(bets::RuleOf(bet).lineSize, int(horses));
    double work = 0;
    for (const Group& group : GroupsOf(bet))
        work += double(lines) * SequencesOfLine(group, held, int(horses)) + Arrangements(int(horses), group.finishers);
    return work;
}

// Walks the sequences of `length` different horse indices whose first
// `prefix` are drawn from `from` and hold every index marked in `needed`,
// the rest from all `horses` indices; visit(sequence) on each.
class SequenceWalk {
public:
    SequenceWalk(std::size_t horses, int length, std::function<void(const std::vector<int>&)> visit)
        : length_(length), used_(horses, 0), visit_(std::move(visit))
    {
        all_.resize(horses);
        for (std::size_t h = 0; h < horses; ++h) all_[h] = int(h);
    }

    void walk(int prefix, const std::vector<int>& from, const std::vector<char>& needed, int neededCount)
    {
        prefix_ = prefix;
        from_ = &from;
        needed_ = &needed;
        neededLeft_ = neededCount;
        sequence_.clear();
        step();
    }

private:
    void step()
    {
        const int at = int(sequence_.size());
        if (at == length_) return visit_(sequence_);
        if (at == prefix_ && neededLeft_ > 0) return;
        for (int h : at < prefix_ ? *from_ : all_) {
            if (used_[h]) continue;
            const bool need = at < prefix_ && (*needed_)[h];
            // The needed horses must all find a place in the prefix.
            if (at < prefix_ && !need && neededLeft_ >= prefix_ - at) continue;
            used_[h] = 1;
            neededLeft_ -= need;
            sequence_.push_back(h);
            step();
            sequence_.pop_back();
            neededLeft_ += need;
            used_[h] = 0;
        }
    }

    int length_;
    std::vector<char> used_;
    std::vector<int> all_;
    std::function<void(const std::vector<int>&)> visit_;
    int prefix_ = 0;
    const std::vector<int>* from_ = nullptr;
    const std::vector<char>* needed_ = nullptr;
    int neededLeft_ = 0;
    std::vector<int> sequence_;
};

// Reads every line against the sequences it may be paid on and marks, row
// by row, those it pays in the row's class or better.
class Marker {
public:
    Marker(BetType bet, const std::vector<Horse>& horses, std::vector<std::vector<std::uint64_t>>& paid)
        : bet_(bet), horses_(horses), paid_(paid), groups_(GroupsOf(bet)), indexOf_(1 << 16, -1),
          needed_(horses.size(), 0), none_(horses.size(), 0)
    {
        for (std::size_t h = 0; h < horses.size(); ++h) {
            indexOf_[std::size_t(horses[h] - SHRT_MIN)] = int(h);
            all_.push_back(int(h));
        }
        for (const Group& group : groups_)
            walks_.emplace_back(horses.size(), group.finishers,
                                [this, &group](const std::vector<int>& sequence) { readOne(group, sequence); });
    }

    void mark(const LineHorses& line)
    {
        line_ = line.view();
        held_.clear();
        for (Horse horse : line_) {
            const int h = indexOf_[std::size_t(horse - SHRT_MIN)];
            if (!needed_[h]) held_.push_back(h);
            needed_[h] = 1;
        }
        for (std::size_t g = 0; g < groups_.size(); ++g)
            for (int prefix : groups_[g].prefixes) {
                if (int(held_.size()) >= prefix) walks_[g].walk(prefix, held_, none_, 0);
                else walks_[g].walk(prefix, all_, needed_, int(held_.size()));
            }
        for (int h : held_) needed_[h] = 0;
    }

private:
    bool isPaid(std::size_t row, std::uint64_t at) const { return paid_[row][at / 64] >> (at % 64) & 1; }

    void readOne(const Group& group, const std::vector<int>& sequence)
    {
        std::uint64_t at = 0;
        for (std::size_t i = sequence.size(); i-- > 0;) at = at * horses_.size() + std::uint64_t(sequence[i]);
        // The best row already paid: every worse one is too.
        if (isPaid(group.rows.front(), at)) return;
        arrival_.clear();
        for (int h : sequence) arrival_.push_back(horses_[std::size_t(h)]);
        const bets::ClassRule* best = bets::BestClass(bet_, line_, arrival_);
        if (!best) return;
        const auto bestRow = std::size_t(best - bets::RuleOf(bet_).classes.data());
        for (std::size_t row : group.rows)
            if (row >= bestRow) paid_[row][at / 64] |= std::uint64_t{1} << (at % 64);
    }

    BetType bet_;
    const std::vector<Horse>& horses_;
    std::vector<std::vector<std::uint64_t>>& paid_;
    std::vector<Group> groups_;
    std::vector<SequenceWalk> walks_;  // a group's
    std::vector<int> indexOf_;  // by horse number
    std::vector<char> needed_;  // the line's horses, marked
    std::vector<char> none_;
    std::vector<int> held_;     // the line's different horses
    std::vector<int> all_;      // every horse's index
    std::span<const Horse> line_;
    std::vector<Horse> arrival_;
};

// Calls visit(sequence) for every sequence of `length` different indices
// below `horses`, in increasing order; false from visit stops.
bool ForEachSequence(std::size_t horses, int length, std::vector<int>& sequence, std::vector<char>& used,
                     const std::function<bool(const std::vector<int>&)>& visit)
{
    if (int(sequence.size()) == length) return visit(sequence);
    for (std::size_t h = 0; h < horses; ++h) {
        if (used[h]) continue;
        used[h] = 1;
        sequence.push_back(int(h));
        const bool goOn = ForEachSequence(horses, length, sequence, used, visit);
        sequence.pop_back();
        used[h] = 0;
        if (!goOn) return false;
    }
    return true;
}

// A count as French writes it, thousands set apart: "1 999 000".
std::string FrenchCount(std::uint64_t count)
{
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, "\u00A0");
    return digits;
}

}  // namespace

void Coverage::forEachUnpaid(std::size_t row, const std::function<bool(std::span<const Horse>)>& visit) const
{
    if (row >= rows_.size()) return;
    const std::vector<std::uint64_t>& paid = paid_[row];
    std::vector<int> sequence;
    std::vector<char> used(horses_.size(), 0);
    std::vector<Horse> arrival;
    ForEachSequence(horses_.size(), rows_[row].rule->finishers, sequence, used, [&](const std::vector<int>& s) {
        std::uint64_t at = 0;
        for (std::size_t i = s.size(); i-- > 0;) at = at * horses_.size() + std::uint64_t(s[i]);
        if (paid[at / 64] >> (at % 64) & 1) return true;
        arrival.clear();
        for (int h : s) arrival.push_back(horses_[std::size_t(h)]);
        return visit(arrival);
    });
}

double CoverageWork(const ShownLines& lines, BetType bet)
{
    return WorkOf(bet, lines.count(), HorsesOf(lines).size());
}

std::string CoverageRefusal(const ShownLines& lines, BetType bet)
{
    if (lines.empty()) return "La liste des combinaisons est vide : elle ne paie aucune arrivée.";
    // Lines alone, one sequence each, would already take too long: no need to read them for their horses.
    if (double(lines.count()) > kSequencesPerSecond * kMostSeconds)
        return "La liste compte trop de combinaisons (" + FrenchCount(lines.count()) +
               ") pour en calculer la couverture en moins de 10 secondes.\r\nRéduisez-la ou choisissez moins de chevaux.";
    const std::size_t horses = HorsesOf(lines).size();
    if (BitsOf(bet, horses) > kMostBits || WorkOf(bet, lines.count(), horses) > kSequencesPerSecond * kMostSeconds)
        return "La couverture d'une liste de " + FrenchCount(lines.count()) + " combinaisons sur " +
               FrenchCount(horses) + " chevaux demanderait plus de 10 secondes.\r\n"
               "Réduisez la liste ou choisissez moins de chevaux.";
    return {};
}

std::optional<Coverage> Cover(const ShownLines& lines, BetType bet, const KeepGoing& keepGoing)
{
    Coverage coverage;
    coverage.horses_ = HorsesOf(lines);
    const std::size_t horses = coverage.horses_.size();
    for (const bets::ClassRule& rule : bets::RuleOf(bet).classes) {
        coverage.rows_.push_back({&rule, 0, ArrangementCount(horses, rule.finishers)});
        coverage.paid_.emplace_back((Power(horses, rule.finishers) + 63) / 64, 0);
    }
    Marker marker(bet, coverage.horses_, coverage.paid_);
    std::uint64_t read = 0;
    bool stopped = false;
    ForEachShownLine(lines, [&](std::uint64_t, const LineHorses& line) {
        marker.mark(line);
        if (++read % kLinesPerLook == 0 && keepGoing && !keepGoing(read)) stopped = true;
        return !stopped;
    });
    if (stopped) return std::nullopt;
    for (std::size_t row = 0; row < coverage.rows_.size(); ++row)
        for (std::uint64_t word : coverage.paid_[row]) coverage.rows_[row].paid += std::uint64_t(std::popcount(word));
    return coverage;
}

}  // namespace torvanel
