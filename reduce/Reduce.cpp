#include "reduce/Reduce.h"

#include "reduce/DesignTable.h"
#include "reduce/Orbits.h"
#include "reduce/Problem.h"

#include <algorithm>
#include <numeric>
#include <optional>

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

// A refusal as the punter reads it.
std::string FullListKept(std::string_view reason) { return std::string(reason) + " La liste complète est conservée."; }

std::vector<std::uint64_t> EveryLine(const ShownLines& list) {
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

// The reduction reports the smallest cover so far and the time since it
// began, across its phases, and remembers a stop.
class SearchReport {
public:
    explicit SearchReport(const ReduceOptions& options) : options_(options) {}
    // False when the user asked to stop, now or before.
    bool operator()(std::size_t coverSize) {
        if (coverSize != 0 && (best_ == 0 || coverSize < best_)) best_ = coverSize;
        const auto now = std::chrono::steady_clock::now();
        lastReport_ = now;
        if (stopped_ || !options_.progress) return !stopped_;
        const std::chrono::duration<double> elapsed = now - began_;
        stopped_ = !options_.progress(ReduceProgress{best_, elapsed.count()});
        return !stopped_;
    }
    // What the long loops between the search's own reports ask: the first
    // time at once, then every few milliseconds.
    KeepGoing keepGoing() {
        return [this] {
            if (stopped_ || std::chrono::steady_clock::now() - lastReport_ < kBetweenReports) return !stopped_;
            return (*this)(0);
        };
    }
    bool stopped() const { return stopped_; }
    std::chrono::steady_clock::duration left() const {
        return std::max(options_.timeLimit - (std::chrono::steady_clock::now() - began_),
                        std::chrono::steady_clock::duration::zero());
    }

private:
    static constexpr auto kBetweenReports = std::chrono::milliseconds(5);
    const ReduceOptions& options_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastReport_{};
    std::size_t best_ = 0;
    bool stopped_ = false;
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
        const auto orbits = OrbitsUnder(problem, turn, report.keepGoing());
        best.stopped = report.stopped();
        if (best.stopped) break;
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
// After a stop it returns no line: the caller keeps them all.
Reduction Searched(const ShownLines& list, const PayoutRule& rule, const ReduceOptions& options,
                   SearchReport& report) {
    Reduction reduction;
    BuiltProblem built = BuildProblem(list, rule, report.keepGoing());
    if (!built.refusal.empty()) {
        reduction.refusal = FullListKept(built.refusal);
        return reduction;
    }
    if (built.stopped) return reduction;
    const CoverInstance& instance = *built.problem.instance;
    const std::size_t bound = LowerBound(instance);
    OrbitCover orbits = SearchOrbits(built.problem, bound, options, report);
    if (orbits.stopped) return reduction;
    SearchOptions search;
    search.target = bound;
    search.timeLimit = report.left();
    search.seed = options.seed;
    search.progress = [&report](const SearchProgress& p) { return report(p.bestSize); };
    SearchResult found = FindCover(instance, search);
    if (report.stopped()) return reduction;
    if (!orbits.lines.empty() && (!found.complete || orbits.lines.size() < found.cover.size())) {
        found.cover = std::move(orbits.lines);
        found.complete = true;
    }
    if (!found.complete) {  // out of time before the first cover: the full list guarantees itself
        reduction.kept = EveryLine(list);
        return reduction;
    }
    for (std::uint32_t c : found.cover) reduction.kept.push_back(built.problem.firstIndex[c]);
    std::sort(reduction.kept.begin(), reduction.kept.end());
    if (found.cover.size() <= bound) reduction.quality = Quality::ProvenOptimal;
    return reduction;
}

// Whether every arrival a shown line pays on (for a bonus: together with as
// many of its bases as it can hold; for a place payout: among the punter's
// horses) is paid by a kept line; nothing after a stop.
std::optional<bool> GuaranteeHolds(const ShownLines& shown, const PayoutRule& rule,
                                   const std::vector<std::uint64_t>& kept, Poll& poll) {
    const LineSets read = ReadLineSets(shown, rule.lineSize, poll);
    if (read.stopped) return std::nullopt;
    if (!read.refusal.empty()) return false;
    for (std::uint64_t k : kept)
        if (k >= read.lines.size()) return false;
    const int t = rule.eventSize;
    const int n = static_cast<int>(read.horses.size());
    MaskIndex paid;  // by the kept lines
    bool holds = true;
    if (rule.lineInsideArrival) {
        for (std::uint64_t k : kept) paid.insert(read.lines[k]);
        const Mask all = n == 64 ? ~Mask{0} : (Mask{1} << n) - 1;
        for (std::size_t i = 0; i < read.lines.size() && holds && poll(); ++i)
            ForEachSubset(all & ~read.lines[i], t - rule.lineSize, [&](Mask rest) {
                bool found = false;
                ForEachSubset(read.lines[i] | rest, rule.lineSize,
                              [&](Mask line) { found = found || paid.find(line) != MaskIndex::kAbsent; });
                holds = holds && found;
            });
    } else {
        for (std::uint64_t k : kept) ForEachSubset(read.lines[k], t, [&](Mask e) { paid.insert(e); });
        for (std::size_t i = 0; i < read.lines.size() && holds && poll(); ++i) {
            const Mask base = read.bases[i];
            const int held = std::min(t, __builtin_popcountll(base));
            ForEachSubset(base, held, [&](Mask b) {
                ForEachSubset(read.lines[i] & ~base, t - held,
                              [&](Mask o) { holds = holds && paid.find(b | o) != MaskIndex::kAbsent; });
            });
        }
    }
    if (poll.stopped()) return std::nullopt;
    return holds;
}


}  // namespace

bool CheckGuarantee(const ShownLines& shown, Payout payout, const std::vector<std::uint64_t>& kept) {
    Poll poll({});
    return GuaranteeHolds(shown, RuleOf(payout), kept, poll).value_or(false);
}

std::string RefusalBeforeChoice(const ShownLines& list, const std::vector<Payout>& offered) {
    if (list.count() > kMaxLines) return FullListKept(kTooManyLines);
    const int horses = static_cast<int>(PuntersHorses(list.full()).size());
    if (horses > kMaxHorses) return FullListKept(kTooManyHorses);
    // No more distinct lines than sets of that many horses (with today's
    // limits on lines and horses, always few enough).
    const auto tooMany = [&](Payout payout) {
        const PayoutRule rule = RuleOf(payout);
        const WideCount sets = Binomial(static_cast<std::uint64_t>(horses), static_cast<std::uint64_t>(rule.lineSize));
        return TooManyArrivals(rule, std::min(list.count(), ClampTo64(sets)), horses);
    };
    if (!offered.empty() && std::all_of(offered.begin(), offered.end(), tooMany)) return FullListKept(kTooManyArrivals);
    return {};
}

Reduction Reduce(const ShownLines& shown, Payout payout, const ReduceOptions& options) {
    const PayoutRule rule = RuleOf(payout);
    Reduction reduction;
    if (shown.count() > kMaxLines) {
        reduction.refusal = FullListKept(kTooManyLines);
        return reduction;
    }
    SearchReport report(options);
    // The table knows full fields only: a list kept by a stage is searched.
    std::optional<Looked> looked;
    if (options.useTable && shown.isFull()) looked = LookUp(shown.full(), rule);
    if (looked) {
        reduction.kept = std::move(looked->kept);
        reduction.quality = looked->quality;
    } else {
        reduction = Searched(shown, rule, options, report);
        if (!reduction.refusal.empty()) return reduction;
    }
    if (!report.stopped() && reduction.kept.empty()) {  // too few horses for any arrival to pay
        reduction.refusal = "Aucune arrivée ne peut payer ce rapport avec si peu de chevaux : il n'y a rien "
                            "à garantir. La liste complète est conservée.";
        return reduction;
    }
    // A shorter list is kept only once checked; the check, like every other
    // phase, gives way to a stop.
    const auto checked = [&] {
        Poll poll(report.keepGoing());
        return GuaranteeHolds(shown, rule, reduction.kept, poll).value_or(false);
    };
    if (report.stopped() || (reduction.kept.size() < shown.count() && !checked())) {
        reduction.kept = EveryLine(shown);  // (a failed check is never expected)
        reduction.quality = Quality::Search;
    }
    return reduction;
}

}  // namespace torvanel::reduce
