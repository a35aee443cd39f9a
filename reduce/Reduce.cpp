#include "reduce/Reduce.h"

#include "reduce/DesignTable.h"
#include "reduce/Orbits.h"
#include "reduce/Problem.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <sstream>
#include <unordered_set>

namespace torvanel::reduce {

PayoutRule RuleOf(Payout payout) {
    const bets::ClassRule& rule = bets::ClassOf(payout);
    return {bets::RuleOf(rule.bet).lineSize, rule.finishers, rule.relation == bets::Relation::AmongFirst};
}

namespace {

// Rank of increasing positions among the choices of positions.size() out of
// n, in the lexicographic order the result list unranks by.
std::uint64_t RankOf(const std::vector<int>& positions, int n) {
    std::uint64_t rank = 0;
    const int take = static_cast<int>(positions.size());
    int from = 0;
    for (int m = 0; m < take; ++m) {
        for (int q = from; q < positions[static_cast<std::size_t>(m)]; ++q)
            rank += ClampTo64(Binomial(static_cast<std::uint64_t>(n - q - 1), static_cast<std::uint64_t>(take - m - 1)));
        from = positions[static_cast<std::size_t>(m)] + 1;
    }
    return rank;
}

bool Distinct(std::vector<HorseNumber> horses) {
    std::sort(horses.begin(), horses.end());
    return std::adjacent_find(horses.begin(), horses.end()) == horses.end();
}

// Every pair inside one of `parts` near-equal runs of the n horses: the
// fewest pairs such that every set of parts + 1 horses holds one of them.
std::vector<Block> PairsInsideParts(int n, int parts) {
    std::vector<Block> pairs;
    int first = 0;
    for (int p = 0; p < parts; ++p) {
        const int size = n / parts + (p < n % parts ? 1 : 0);
        for (int a = first; a < first + size; ++a)
            for (int b = a + 1; b < first + size; ++b) pairs.push_back({a, b});
        first += size;
    }
    return pairs;
}

struct Looked {
    std::vector<std::uint64_t> kept;
    Quality quality = Quality::Search;
};

// The table or a construction, where the list is one block of every choice
// of its outsiders beside all of its bases (or one group among itself).
std::optional<Looked> LookUp(const ResultList& list, const PayoutRule& rule) {
    if (list.blocks().size() != 1) return std::nullopt;
    const ResultBlock& block = list.blocks().front();
    const bool fusion = block.outTake > 0;
    const std::vector<HorseNumber>& free = fusion ? block.outs : block.bases;
    const int take = fusion ? block.outTake : block.baseTake;
    const int fixed = fusion ? block.baseTake : 0;
    if (fixed != static_cast<int>(block.bases.size()) && fusion) return std::nullopt;
    std::vector<HorseNumber> all = block.bases;
    all.insert(all.end(), block.outs.begin(), block.outs.end());
    if (!Distinct(all) || fixed + take != rule.lineSize) return std::nullopt;
    const int v = static_cast<int>(free.size());
    if (v + fixed > kMaxHorses) return std::nullopt;
    Looked looked;
    std::vector<Block> design;
    if (rule.lineInsideArrival) {
        if (fusion) return std::nullopt;
        design = PairsInsideParts(v, rule.eventSize - 1);
        looked.quality = Quality::ProvenOptimal;
    } else {
        const int t = rule.eventSize - std::min(rule.eventSize, fixed);
        design = TableDesign(v, take, t);
        if (design.empty()) return std::nullopt;
        const auto record = BestKnown(v, take, t);
        const bool trivial = t <= 1 || take >= v;
        if (trivial || (record && record->proven && static_cast<int>(design.size()) == record->size))
            looked.quality = Quality::ProvenOptimal;
        else if (record && static_cast<int>(design.size()) <= record->size)
            looked.quality = Quality::BestKnown;
    }
    for (const Block& b : design) looked.kept.push_back(RankOf(b, v));
    std::sort(looked.kept.begin(), looked.kept.end());
    looked.kept.erase(std::unique(looked.kept.begin(), looked.kept.end()), looked.kept.end());
    return looked;
}

std::vector<std::uint64_t> EveryLine(const ResultList& list) {
    std::vector<std::uint64_t> all(list.count());
    std::iota(all.begin(), all.end(), 0);
    return all;
}

// No cover is smaller than the events over the most any line pays on; a
// cover of that size is optimal, so the search stops there.
std::size_t LowerBound(const CoverInstance& instance) {
    std::size_t most = 0;
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) most = std::max(most, instance.eventsOf(c).size());
    return most == 0 ? 0 : (instance.eventCount() + most - 1) / most;
}

// The search reports the smallest cover so far and the time since it began,
// across its phases.
class SearchReport {
public:
    explicit SearchReport(const ReduceOptions& options) : options_(options) {}
    // False when the user asked to stop.
    bool operator()(std::size_t coverSize) {
        if (coverSize != 0 && (best_ == 0 || coverSize < best_)) best_ = coverSize;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - began_;
        return !options_.progress || options_.progress(ReduceProgress{best_, elapsed.count()});
    }
    std::chrono::steady_clock::duration left() const {
        return std::max(options_.timeLimit - (std::chrono::steady_clock::now() - began_),
                        std::chrono::steady_clock::duration::zero());
    }

private:
    const ReduceOptions& options_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::size_t best_ = 0;
};

struct OrbitCover {
    std::vector<std::uint32_t> lines;  // empty when no turn gave a cover
    bool stopped = false;
};

// Each turn the list allows gets this share of the time left once the list
// is read.
constexpr int kTurnShareInTwenty = 5;
// An orbit problem is small, and its walks either find a tight cover soon or
// stay stuck beside one: the share goes to many short walks, a little hotter
// than a walk over single lines (found by trial on full fields).
constexpr int kWalksPerTurn = 25;
constexpr double kOrbitHeat = 0.4;

// The smallest cover made of whole orbits under the turns the list allows.
OrbitCover SearchOrbits(const CoverProblem& problem, std::size_t bound, const ReduceOptions& options,
                        SearchReport& report) {
    OrbitCover best;
    const auto walkTime = report.left() * kTurnShareInTwenty / (20 * kWalksPerTurn);
    for (const Turn& turn : TurnsToTry(problem)) {
        const auto orbits = OrbitsUnder(problem, turn);
        if (!orbits) continue;
        SearchOptions walk;
        walk.heat = kOrbitHeat;
        walk.target = bound / orbits->order;
        walk.progress = [&report, order = orbits->order](const SearchProgress& p) { return report(p.bestSize * order); };
        for (int w = 0; w < kWalksPerTurn && !best.stopped; ++w) {
            walk.timeLimit = std::min(walkTime, report.left());
            walk.seed = options.seed * kWalksPerTurn + static_cast<std::uint64_t>(w);
            const SearchResult found = FindCover(*orbits->instance, walk);
            std::vector<std::uint32_t> lines = orbits->linesOf(found.cover);
            if (found.complete && (best.lines.empty() || lines.size() < best.lines.size())) best.lines = std::move(lines);
            best.stopped = found.stopped;
            if (found.complete && found.cover.size() <= walk.target) break;
        }
    }
    return best;
}

// A symmetric list first gets a cover of whole orbits; the search over
// single lines then runs from the greedy cover in the time left (started
// from an orbit cover it seldom leaves it), and the smaller cover wins.
Reduction Searched(const ResultList& list, const PayoutRule& rule, const ReduceOptions& options) {
    SearchReport report(options);
    Reduction reduction;
    BuiltProblem built = BuildProblem(list, rule);
    if (!built.refusal.empty()) {
        reduction.refusal = built.refusal + " La liste complète est conservée.";
        return reduction;
    }
    const CoverInstance& instance = *built.problem.instance;
    const std::size_t bound = LowerBound(instance);
    OrbitCover orbits = SearchOrbits(built.problem, bound, options, report);
    SearchResult found;
    found.complete = false;
    if (!orbits.stopped) {
        SearchOptions search;
        search.target = bound;
        search.timeLimit = report.left();
        search.seed = options.seed;
        search.progress = [&report](const SearchProgress& p) { return report(p.bestSize); };
        found = FindCover(instance, search);
    }
    if (!orbits.lines.empty() && (!found.complete || orbits.lines.size() < found.cover.size())) {
        found.cover = std::move(orbits.lines);
        found.complete = true;
    }
    if (!found.complete) {  // stopped before the first cover: the full list guarantees itself
        reduction.kept = EveryLine(list);
        return reduction;
    }
    for (std::uint32_t c : found.cover) reduction.kept.push_back(built.problem.firstIndex[c]);
    std::sort(reduction.kept.begin(), reduction.kept.end());
    if (found.cover.size() <= bound) reduction.quality = Quality::ProvenOptimal;
    return reduction;
}

// The horses of a line of text "03-12-07"; a negative number keeps its own
// minus sign after the separator ("03--5-07").
std::vector<int> HorsesOf(std::string_view line) {
    std::vector<int> horses;
    int value = 0;
    bool negative = false;
    bool startOfNumber = true;
    for (char c : line) {
        if (c == '-' && startOfNumber) {
            negative = true;
        } else if (c == '-') {
            horses.push_back(negative ? -value : value);
            value = 0, negative = false, startOfNumber = true;
        } else {
            value = value * 10 + (c - '0');
            startOfNumber = false;
        }
    }
    horses.push_back(negative ? -value : value);
    return horses;
}

// Horse numbers to bits, first come first served; false past 64 horses.
class BitsByNumber {
public:
    bool add(const std::vector<int>& horses, Mask& mask) {
        mask = 0;
        for (int h : horses) {
            auto at = std::find(numbers_.begin(), numbers_.end(), h);
            if (at == numbers_.end()) {
                if (numbers_.size() == static_cast<std::size_t>(kMaxHorses)) return false;
                at = numbers_.insert(numbers_.end(), h);
            }
            mask |= Mask(1) << (at - numbers_.begin());
        }
        return true;
    }
    Mask all() const { return numbers_.size() == 64 ? ~Mask(0) : (Mask(1) << numbers_.size()) - 1; }

private:
    std::vector<int> numbers_;
};

}  // namespace

bool CheckGuarantee(const ShownLines& shown, Payout payout, const std::vector<std::uint64_t>& kept) {
    if (!shown.isFull()) return false;
    const ResultList& list = shown.full();
    const PayoutRule rule = RuleOf(payout);
    const int t = rule.eventSize;
    BitsByNumber bits;
    std::vector<Mask> lines, bases;
    std::size_t block = 0;
    std::uint64_t inBlock = 0;
    bool fits = true;
    list.forEachLine([&](std::string_view text) {
        while (inBlock == list.blocks()[block].lineCount) ++block, inBlock = 0;
        ++inBlock;
        const std::vector<int> horses = HorsesOf(text);
        Mask line = 0, base = 0;
        const ResultBlock& b = list.blocks()[block];
        const auto baseTake = static_cast<std::size_t>(b.outTake > 0 ? b.baseTake : 0);
        fits = fits && bits.add(horses, line) &&
               bits.add(std::vector<int>(horses.begin(), horses.begin() + static_cast<long>(baseTake)), base);
        lines.push_back(line);
        bases.push_back(base);
        return fits;
    });
    if (!fits) return false;
    for (Mask line : lines)
        if (__builtin_popcountll(line) != rule.lineSize) return false;
    for (std::uint64_t k : kept)
        if (k >= lines.size()) return false;
    if (rule.lineInsideArrival) {
        std::unordered_set<Mask> keptLines;
        for (std::uint64_t k : kept) keptLines.insert(lines[k]);
        // Every arrival holding a line of the list holds a kept line.
        bool ok = true;
        for (Mask line : lines)
            ForEachSubset(bits.all() & ~line, t - __builtin_popcountll(line), [&](Mask rest) {
                bool paid = false;
                ForEachSubset(line | rest, 2, [&](Mask pair) { paid = paid || keptLines.count(pair) != 0; });
                ok = ok && paid;
            });
        return ok;
    }
    std::unordered_set<Mask> paidArrivals;
    for (std::uint64_t k : kept) ForEachSubset(lines[k], t, [&](Mask e) { paidArrivals.insert(e); });
    bool ok = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int held = std::min(t, __builtin_popcountll(bases[i]));
        ForEachSubset(bases[i], held, [&](Mask b) {
            ForEachSubset(lines[i] & ~bases[i], t - held,
                          [&](Mask o) { ok = ok && paidArrivals.count(b | o) != 0; });
        });
    }
    return ok;
}

std::string RefusalBeforeChoice(const ShownLines& list) {
    if (list.count() > kMaxLines)
        return "La liste compte plus de 1 000 000 de lignes : elle est trop longue pour être "
               "réduite. La liste complète est conservée.";
    return {};
}

Reduction Reduce(const ShownLines& shown, Payout payout, const ReduceOptions& options) {
    const PayoutRule rule = RuleOf(payout);
    Reduction reduction;
    if (!shown.isFull()) {
        reduction.refusal = "La liste est déjà réduite : revenez à la liste complète, puis réduisez-la.";
        return reduction;
    }
    const ResultList& list = shown.full();
    if (list.count() > kMaxLines) {
        reduction.refusal = "La liste compte plus de 1 000 000 de lignes : elle est trop longue pour être "
                            "réduite. La liste complète est conservée.";
        return reduction;
    }
    std::optional<Looked> looked;
    if (options.useTable) looked = LookUp(list, rule);
    if (looked) {
        reduction.kept = std::move(looked->kept);
        reduction.quality = looked->quality;
    } else {
        reduction = Searched(list, rule, options);
        if (!reduction.refusal.empty()) return reduction;
    }
    if (reduction.kept.empty()) {  // too few horses for any arrival to pay
        reduction.refusal = "Aucune arrivée ne peut payer ce rapport avec si peu de chevaux : il n'y a rien "
                            "à garantir. La liste complète est conservée.";
        return reduction;
    }
    reduction.guaranteed = CheckGuarantee(list, payout, reduction.kept);
    if (!reduction.guaranteed) {  // never expected; the full list is always sound
        reduction.kept = EveryLine(list);
        reduction.quality = Quality::Search;
        reduction.guaranteed = true;
    }
    return reduction;
}

}  // namespace torvanel::reduce
