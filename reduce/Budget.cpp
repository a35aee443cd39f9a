#include "reduce/Budget.h"

#include "reduce/PackingTable.h"
#include "reduce/Problem.h"
#include "reduce/KeptCandidates.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <utility>

namespace torvanel::reduce {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kOut = MaskIndex::kAbsent;

// The walk cools from kHotStart to kColdEnd (in events) over one round, and
// each round starts again from the best choice so far: a hot start leaves
// the greedy choice's local optimum, the cold end settles the gains (found
// by trial on full fields of 12 to 20 horses).
constexpr double kHotStart = 1.5;
constexpr double kColdEnd = 0.05;
constexpr int kRounds = 4;

// The most events one candidate covers.
std::size_t MostPerCandidate(const CoverInstance& instance) {
    std::size_t most = 0;
    for (std::uint32_t c = 0; c < instance.candidateCount(); ++c) most = std::max(most, instance.eventsOf(c).size());
    return most;
}

std::uint64_t CoverableEvents(const CoverInstance& instance) {
    std::uint64_t coverable = 0;
    for (std::uint32_t e = 0; e < instance.eventCount(); ++e) coverable += instance.candidatesOf(e).size() > 0 ? 1 : 0;
    return coverable;
}

}  // namespace

std::uint64_t CountCovered(const CoverInstance& instance, const std::vector<std::uint32_t>& chosen) {
    std::vector<char> paid(instance.eventCount(), 0);
    std::uint64_t covered = 0;
    for (std::uint32_t c : chosen)
        for (std::uint32_t e : instance.eventsOf(c)) {
            covered += paid[e] ? 0 : 1;
            paid[e] = 1;
        }
    return covered;
}

CoverageResult MaxCoverage(const CoverInstance& instance, std::size_t budget, const CoverageOptions& options) {
    const auto began = Clock::now();
    CoverageResult best;
    std::uint64_t looks = 0;
    const auto greedyGoesOn = [&] {
        if (++looks % 1024 != 0 || !options.progress) return true;
        best.stopped = !options.progress(0);
        return !best.stopped;
    };
    best.chosen = options.start.size() >= budget ? options.start
                                                 : GreedyCoverage(instance, budget, options.start, greedyGoesOn);
    best.covered = CountCovered(instance, best.chosen);
    // Nothing to gain: every event covered, or each candidate covering its
    // most with no overlap.
    const std::uint64_t ceiling = std::min<std::uint64_t>(CoverableEvents(instance), budget * MostPerCandidate(instance));
    auto lastReport = began;
    const auto goOn = [&](Clock::time_point now) {
        if (!options.progress || now - lastReport < std::chrono::milliseconds(10)) return true;
        lastReport = now;
        return options.progress(best.covered);
    };
    std::optional<KeptCandidates> walk;
    const auto roundTime = options.timeLimit / kRounds;
    for (int round = 0; round < kRounds && best.covered < ceiling && !best.stopped; ++round) {
        const auto roundStart = Clock::now();
        walk.emplace(instance, best.chosen, options.seed + static_cast<std::uint64_t>(round));
        double heat = kHotStart;
        for (std::uint64_t step = 1; best.covered < ceiling; ++step) {
            if (!walk->coversAll() && walk->size() > 0) {
                const KeptCandidates::Swap swap = walk->propose();
                if (swap.gain >= 0 || walk->random().unit() < std::exp(static_cast<double>(swap.gain) / heat))
                    walk->make(swap);
            }
            if (walk->covered() > best.covered) {
                best.covered = walk->covered();
                best.chosen = walk->kept();
            }
            if (step % 256 != 0) continue;
            const auto now = Clock::now();
            const double share = std::chrono::duration<double>(now - roundStart) / roundTime;
            if (share >= 1 || now - began >= options.timeLimit) break;
            if (!goOn(now)) {
                best.stopped = true;
                break;
            }
            heat = kHotStart * std::pow(kColdEnd / kHotStart, share);
        }
    }
    if (options.progress && !best.stopped) best.stopped = !options.progress(best.covered);
    best.covered = CountCovered(instance, best.chosen);
    return best;
}

namespace {

// The line of the list each candidate stands for, and back.
class CandidateLines {
public:
    explicit CandidateLines(const CoverProblem& problem) : problem_(problem) {
        for (Mask line : problem.lines) index_.insert(line);
    }

    // The candidate of a line made of `horses` (kOut when the list has none).
    std::uint32_t candidateOf(std::span<const HorseNumber> horses) const {
        Mask mask = 0;
        for (HorseNumber h : horses) {
            const auto at = std::find(problem_.horses.begin(), problem_.horses.end(), h);
            if (at == problem_.horses.end()) return kOut;
            mask |= Mask{1} << (at - problem_.horses.begin());
        }
        return index_.find(mask);
    }

    std::vector<std::uint64_t> linesOf(const std::vector<std::uint32_t>& candidates) const {
        std::vector<std::uint64_t> lines;
        lines.reserve(candidates.size());
        for (std::uint32_t c : candidates) lines.push_back(problem_.firstIndex[c]);
        std::sort(lines.begin(), lines.end());
        return lines;
    }

private:
    const CoverProblem& problem_;
    MaskIndex index_;
};

// Where the list is one block of every choice of its free horses beside all
// of its bases (or one group among itself), the lines of the shipped
// packing: each pays arrivals that no other one pays, as many as a line can.
std::vector<std::uint32_t> PackingLines(const ResultList& list, const PayoutRule& rule, const CandidateLines& lines) {
    if (rule.lineInsideArrival || list.blocks().size() != 1) return {};
    const ResultBlock& block = list.blocks().front();
    const bool fusion = block.outTake > 0;
    if (fusion && block.baseTake != static_cast<int>(block.bases.size())) return {};
    const std::vector<HorseNumber>& free = fusion ? block.outs : block.bases;
    const int take = fusion ? block.outTake : block.baseTake;
    const int fixed = fusion ? block.baseTake : 0;
    const int t = rule.eventSize - std::min(rule.eventSize, fixed);
    std::vector<std::uint32_t> candidates;
    for (const Block& b : TablePacking(static_cast<int>(free.size()), take, t)) {
        std::vector<HorseNumber> horses = fusion ? block.bases : std::vector<HorseNumber>{};
        for (int point : b) horses.push_back(free[static_cast<std::size_t>(point)]);
        const std::uint32_t c = lines.candidateOf(horses);
        if (c == kOut) return {};
        candidates.push_back(c);
    }
    return candidates;
}

// The search reports the arrivals paid so far and the time since it began,
// across its phases.
class BudgetReport {
public:
    BudgetReport(const BudgetOptions& options, std::uint64_t total) : options_(options), total_(total) {}
    bool operator()(std::uint64_t covered) {
        covered_ = covered;
        const std::chrono::duration<double> elapsed = Clock::now() - began_;
        stopped_ = stopped_ || (options_.progress && !options_.progress(BudgetProgress{covered, total_, elapsed.count()}));
        return !stopped_;
    }
    // For the greedy choices, asked once a candidate: the callback every
    // thousand candidates, with the arrivals paid before they began.
    bool goOn() { return ++calls_ % 1024 != 0 ? !stopped_ : (*this)(covered_); }
    Clock::duration left() const {
        return std::max(options_.timeLimit - (Clock::now() - began_), Clock::duration::zero());
    }

private:
    const BudgetOptions& options_;
    std::uint64_t total_;
    Clock::time_point began_ = Clock::now();
    std::uint64_t covered_ = 0;
    std::uint64_t calls_ = 0;
    bool stopped_ = false;
};

// The full guarantee's list when it fits in `maxLines` (tried only when
// no smaller list could pay every arrival), in half the time.
std::optional<BudgetReduction> FullGuarantee(const ShownLines& shown, Payout payout, std::uint64_t maxLines,
                                             const CoverInstance& instance, const CandidateLines& lines,
                                             const BudgetOptions& options, BudgetReport& report) {
    const std::size_t most = MostPerCandidate(instance);
    if (most == 0 || maxLines < (CoverableEvents(instance) + most - 1) / most) return std::nullopt;
    ReduceOptions reduce;
    reduce.timeLimit = options.timeLimit / 2;
    reduce.seed = options.seed;
    reduce.progress = [&report](const ReduceProgress&) { return report(0); };
    Reduction full = Reduce(shown, payout, reduce);
    if (!full.refusal.empty() || full.kept.empty() || full.kept.size() > maxLines) return std::nullopt;
    std::vector<std::uint32_t> candidates;
    for (std::uint64_t index : full.kept) candidates.push_back(lines.candidateOf(shown.horsesAt(index).view()));
    BudgetReduction reduction;
    reduction.kept = std::move(full.kept);
    reduction.covered = CountCovered(instance, candidates);
    reduction.fullGuarantee = reduction.covered == CoverableEvents(instance);
    reduction.quality = full.quality;
    return reduction.fullGuarantee ? std::optional(reduction) : std::nullopt;
}

}  // namespace

bets::LineBases LineBasesOf(const ResultList& list) {
    for (const ResultBlock& block : list.blocks())
        if (block.baseTake > 0 && block.outTake > 0) return {block.baseTake, static_cast<int>(block.bases.size())};
    return {};
}

KeptCoverage CoverageOfKept(const ShownLines& list, Payout payout, const std::vector<std::uint64_t>& kept) {
    const BuiltProblem built = BuildProblem(list, RuleOf(payout));
    if (!built.refusal.empty()) return {0, 0, built.refusal};
    const CoverInstance& instance = *built.problem.instance;
    const CandidateLines lines(built.problem);
    std::vector<std::uint32_t> candidates;
    candidates.reserve(kept.size());
    for (std::uint64_t index : kept) {
        const std::uint32_t c = index < list.count() ? lines.candidateOf(list.horsesAt(index).view()) : kOut;
        if (c != kOut) candidates.push_back(c);
    }
    return {CountCovered(instance, candidates), CoverableEvents(instance), {}};
}

BudgetReduction ReduceToBudget(const ShownLines& shown, Payout payout, std::uint64_t maxLines,
                               const BudgetOptions& options) {
    BudgetReduction reduction;
    const PayoutRule rule = RuleOf(payout);
    // A list kept by conditions is reduced within its own lines: what it
    // pays is the whole.
    const BuiltProblem built = BuildProblem(shown, rule);
    if (!built.refusal.empty()) {
        reduction.refusal = built.refusal + " La liste complète est conservée.";
        return reduction;
    }
    const CoverInstance& instance = *built.problem.instance;
    const std::uint64_t total = CoverableEvents(instance);
    if (total == 0) {
        reduction.refusal = "Aucune arrivée ne peut payer ce rapport avec si peu de chevaux : il n'y a rien "
                            "à garantir. La liste complète est conservée.";
        return reduction;
    }
    BudgetReport report(options, total);
    const CandidateLines lines(built.problem);
    if (auto full = FullGuarantee(shown, payout, maxLines, instance, lines, options, report)) {
        full->total = total;
        full->optimal = true;
        return *full;
    }
    const std::size_t budget = static_cast<std::size_t>(std::min<std::uint64_t>(maxLines, instance.candidateCount()));
    std::vector<std::uint32_t> packing = options.usePackings && shown.isFull() ? PackingLines(shown.full(), rule, lines) : std::vector<std::uint32_t>{};
    packing.resize(std::min(packing.size(), budget));
    CoverageOptions search;
    search.timeLimit = report.left();
    search.seed = options.seed;
    search.progress = [&report](std::uint64_t covered) { return report(covered); };
    search.start = packing;
    if (packing.size() < budget) {
        // Beyond the packing, its lines and the greedy choice after them may
        // pay more than the greedy choice alone, or less: the walk starts
        // from the better.
        const auto goOn = [&report] { return report.goOn(); };
        const std::vector<std::uint32_t> greedy = GreedyCoverage(instance, budget, {}, goOn);
        const std::vector<std::uint32_t> extended =
            packing.empty() ? greedy : GreedyCoverage(instance, budget, packing, goOn);
        search.start = CountCovered(instance, extended) >= CountCovered(instance, greedy) ? extended : greedy;
    }
    const CoverageResult found = MaxCoverage(instance, budget, search);
    reduction.kept = lines.linesOf(found.chosen);
    reduction.covered = found.covered;
    reduction.total = total;
    reduction.fullGuarantee = found.covered == total;
    reduction.optimal = found.covered == total || found.covered == budget * MostPerCandidate(instance);
    reduction.stopped = found.stopped;
    return reduction;
}

}  // namespace torvanel::reduce
