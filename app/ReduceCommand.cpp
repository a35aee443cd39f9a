#include "app/ReduceCommand.h"

#include "app/BackgroundJob.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ReduceDialog.h"
#include "generators/Numbers.h"
#include "reduce/Budget.h"
#include "reduce/Reduce.h"
#include "app/ResultHost.h"

#include <QAction>
#include <QLocale>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <optional>

namespace {

using namespace std::chrono_literals;
using torvanel::ShownLines;
using torvanel::bets::LineBases;
using torvanel::reduce::BudgetReduction;
using torvanel::reduce::Payout;
using torvanel::reduce::Quality;
using torvanel::reduce::Reduction;

const QString kNoPayoutForTierce =
    QStringLiteral("Au Tiercé, seule la ligne exacte paie : aucune liste plus courte ne peut garantir un rapport.\r\n"
                   "La liste complète est conservée.");
const QString kNothingToReduce = QStringLiteral("La liste des combinaisons est vide : il n'y a rien à réduire.");
const QString kAlreadyReduced =
    QStringLiteral("La liste est déjà réduite.\r\n"
                   "Revenez à la liste complète, puis réduisez-la.");
const QString kNoShorterList =
    QStringLiteral("Aucune liste plus courte ne donne cette garantie dans le temps imparti.\r\n"
                   "La liste complète est conservée.");

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A reduction or the lines an arrival pays are a shorter list already; a
// list kept by conditions is reduced within its own lines.
bool alreadyReduced(const torvanel::Ticket& ticket)
{
    return ticket.hasStage() && ticket.stages().back().kind != torvanel::StageKind::Conditions;
}

QString guaranteeOf(Payout payout, LineBases bases)
{
    return fromUtf8(torvanel::bets::GuaranteeSentence(payout, bases));
}

QString qualityOf(Quality quality)
{
    switch (quality) {
    case Quality::ProvenOptimal:
        return QStringLiteral("Aucune liste plus courte ne donne cette garantie : ce nombre de lignes est optimal.");
    case Quality::BestKnown:
        return QStringLiteral("C'est le plus petit nombre de lignes connu pour cette garantie.");
    case Quality::Search:
        break;
    }
    return QStringLiteral("Cette liste a été trouvée par une recherche dans le temps imparti : "
                          "une liste plus courte peut exister.");
}

QString summaryOf(std::uint64_t before, std::uint64_t after, const QString& guarantee, Quality quality)
{
    return QStringLiteral("La liste de %1 combinaisons est réduite à %2 combinaisons.\r\n%3\r\n%4")
        .arg(frenchCount(before), frenchCount(after), guarantee, qualityOf(quality));
}

QString progressText(std::size_t bestSize)
{
    if (bestSize == 0)
        return QStringLiteral("Recherche d'une liste réduite…");
    return QStringLiteral("Recherche d'une liste réduite : %1 combinaisons pour l'instant").arg(frenchCount(bestSize));
}

// "45,5 %": one decimal, and never "100,0 %" short of every arrival nor
// "0,0 %" above none, which rounding alone would say.
QString shareText(std::uint64_t part, std::uint64_t whole)
{
    double percent = whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
    percent = std::round(percent * 10) / 10;
    if (part < whole)
        percent = std::min(percent, 99.9);
    if (part > 0)
        percent = std::max(percent, 0.1);
    return QLocale(QLocale::French, QLocale::France).toString(percent, 'f', 1) + QStringLiteral(" %");
}

// "Ces 30 lignes paient le Bonus 4 pour 150 des 330 arrivées (45,5 %) que
// paie la liste complète.", then how good the list is.
QString budgetSummary(Payout payout, LineBases bases, bool filtered, const BudgetReduction& reduced)
{
    // Within a list kept by conditions, the arrivals counted are those its lines pay.
    const QString counted = filtered ? QStringLiteral("que paie la liste filtrée par les conditions")
                                     : fromUtf8(torvanel::bets::CountedArrivals(payout, bases));
    const std::uint64_t kept = reduced.kept.size();
    const QString lines =
        kept == 1 ? QStringLiteral("Cette ligne paie") : QStringLiteral("Ces %1 lignes paient").arg(frenchCount(kept));
    QString summary = QStringLiteral("%1 %2 pour %3 des %4 arrivées (%5) %6.")
                          .arg(lines, fromUtf8(torvanel::bets::ClassInSentence(payout)), frenchCount(reduced.covered),
                               frenchCount(reduced.total), shareText(reduced.covered, reduced.total), counted);
    if (reduced.stopped)
        summary += QStringLiteral("\r\nLa recherche a été arrêtée : c'est la meilleure liste trouvée jusque-là.");
    else if (reduced.optimal)
        summary += QStringLiteral("\r\nAucune liste d'autant de lignes n'en paie davantage.");
    else
        summary += QStringLiteral("\r\nCette liste a été trouvée par une recherche dans le temps imparti : "
                                  "une liste d'autant de lignes qui en paie davantage peut exister.");
    return summary;
}

// The bar of a search's progress dialogue: the time spent out of the
// search's limit.
class TimeBar {
public:
    explicit TimeBar(std::chrono::steady_clock::duration limit)
        : limit_(std::chrono::duration_cast<std::chrono::milliseconds>(limit))
    {
    }
    void begin(BackgroundJob::Shared& shared) const { shared.total = static_cast<std::uint64_t>(limit_.count()); }
    // Moves the bar; false once the user asked to stop.
    bool tick(BackgroundJob::Shared& shared) const
    {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_);
        shared.done = static_cast<std::uint64_t>(std::min(elapsed, limit_).count());
        return !shared.stop;
    }

private:
    std::chrono::milliseconds limit_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Runs the reduction to a budget on a worker thread (BackgroundJob). Its
// best list also when the user stops it; nothing when the window was
// closed or the program is ending.
std::optional<BudgetReduction> budgetInBackground(QWidget& window, const ShownLines& lines, Payout payout,
                                                  std::uint64_t maxLines)
{
    BudgetReduction reduced;
    std::atomic<std::uint64_t> covered{0}, total{0};
    const TimeBar bar(torvanel::reduce::BudgetOptions{}.timeLimit);
    const bool done = BackgroundJob::run(
        window,
        [&](BackgroundJob::Shared& shared) {
            torvanel::reduce::BudgetOptions options;
            bar.begin(shared);
            options.progress = [&](const torvanel::reduce::BudgetProgress& p) {
                covered = p.covered;
                total = p.total;
                return bar.tick(shared);
            };
            reduced = torvanel::reduce::ReduceToBudget(lines, payout, maxLines, options);
        },
        [&](std::uint64_t, std::uint64_t) {
            if (total == 0)
                return QStringLiteral("Recherche d'une liste de %1 lignes au plus…").arg(frenchCount(maxLines));
            return QStringLiteral("Recherche d'une liste de %1 lignes au plus : %2 des arrivées payées pour l'instant")
                .arg(frenchCount(maxLines), shareText(covered, total));
        });
    // "Annuler" keeps the best list so far; a closed window shows nothing.
    if (!done && (!window.isVisible() || reduced.kept.empty()))
        return std::nullopt;
    return reduced;
}

// Runs the reduction on a worker thread (BackgroundJob). Nothing when the
// user cancelled, the window was closed or the program is ending.
std::optional<Reduction> reduceInBackground(QWidget& window, const ShownLines& lines, Payout payout)
{
    Reduction reduction;
    std::atomic<std::size_t> bestSize{0};
    const TimeBar bar(torvanel::reduce::ReduceOptions{}.timeLimit);
    const bool done = BackgroundJob::run(
        window,
        [&](BackgroundJob::Shared& shared) {
            torvanel::reduce::ReduceOptions options;
            bar.begin(shared);
            options.progress = [&](const torvanel::reduce::ReduceProgress& p) {
                bestSize = p.bestSize;
                return bar.tick(shared);
            };
            reduction = torvanel::reduce::Reduce(lines, payout, options);
        },
        [&bestSize](std::uint64_t, std::uint64_t) { return progressText(bestSize); });
    if (!done)
        return std::nullopt;
    return reduction;
}

}  // namespace

std::string reducedStageTitle(Payout payout)
{
    return "liste réduite (" + std::string(torvanel::bets::ClassOf(payout).name) + " garanti)";
}

std::string budgetStageTitle(Payout payout, std::uint64_t kept, std::uint64_t covered, std::uint64_t total)
{
    return QStringLiteral("liste réduite à %1 lignes (%2 : %3 des arrivées)")
        .arg(frenchCount(kept), fromUtf8(torvanel::bets::ClassOf(payout).name), shareText(covered, total))
        .toStdString();
}

ReduceCommand::ReduceCommand(ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      window_(host.hostWindow()),
      reduce_(commands::make(this, window_, {"mnuReduire", "Réduire avec garantie…", Qt::CTRL | Qt::Key_R,
                                             "Réduire la liste des combinaisons en gardant un rapport garanti"}))
{
    commands::markAsActingOnLines(reduce_);
    connect(reduce_, &QAction::triggered, this, &ReduceCommand::reduceLines);
}

void ReduceCommand::reduceLines()
{
    // The lines shown now (a cheap copy): the worker reads them while the window lives on.
    const ShownLines lines = host_.ticket().shown();
    const std::vector<Payout> payouts = torvanel::bets::GuaranteeablePayouts(host_.ticket().choices().betType);
    const QString refusal = payouts.empty()                ? kNoPayoutForTierce
                          : lines.empty()                  ? kNothingToReduce
                          : alreadyReduced(host_.ticket()) ? kAlreadyReduced
                                                           : fromUtf8(torvanel::reduce::RefusalBeforeChoice(lines, payouts));
    if (!refusal.isEmpty()) {
        Dialogs::showMessage(&window_, refusal);
        return;
    }
    const LineBases bases = torvanel::reduce::LineBasesOf(lines.full());
    const std::optional<ReduceDialog::Answer> chosen = ReduceDialog::ask(&window_, questionOf(lines, payouts, bases));
    if (!chosen)
        return;
    const Payout payout = payouts[static_cast<std::size_t>(chosen->payout)];
    if (chosen->budget) {
        reduceToBudget(lines, payout, *chosen->budget, bases);
        return;
    }
    std::optional<Reduction> reduction = reduceInBackground(window_, lines, payout);
    if (!reduction)
        return;
    if (!reduction->refusal.empty() || reduction->kept.size() >= lines.count()) {
        Dialogs::showMessage(&window_, reduction->refusal.empty() ? kNoShorterList : fromUtf8(reduction->refusal));
        return;
    }
    const std::uint64_t after = reduction->kept.size();
    WindowMessageSink messages(&window_);
    if (!host_.showStage(torvanel::StageKind::Reduction, reduction->kept, reducedStageTitle(payout), messages,
                         torvanel::ReducedFor{payout, 0}))
        return;
    Dialogs::showMessage(&window_, summaryOf(lines.count(), after, guaranteeOf(payout, bases), reduction->quality));
}

ReduceDialog::Setup ReduceCommand::questionOf(const ShownLines& lines, const std::vector<Payout>& payouts,
                                              LineBases bases) const
{
    ReduceDialog::Setup setup;
    setup.question = QStringLiteral("La liste compte %1 combinaisons.\nQuel rapport la liste réduite doit-elle payer ?")
                         .arg(frenchCount(lines.count()));
    for (Payout payout : payouts) {
        setup.payouts << fromUtf8(torvanel::bets::ClassOf(payout).name);
        setup.sentences << guaranteeOf(payout, bases);
    }
    setup.lines = lines.count();
    const std::string stake = host_.stakeText();
    setup.costOf = [this, stake](std::uint64_t n) {
        SilentMessages refusals;  // a refused stake shows no cost here; the merge has said why
        const auto labels = host_.ticket().priceOf(n, stake, refusals);
        return labels ? fromUtf8(labels->costText) : QString();
    };
    setup.linesFor = [unit = torvanel::ReadNumber(stake)](double euros) {
        // A hair above the quotient, so that 13 Euros at 1.3 buy 10 lines.
        return unit > 0 && euros > 0 ? static_cast<std::uint64_t>(std::floor(euros / unit + 1e-9)) : std::uint64_t{0};
    };
    return setup;
}

void ReduceCommand::reduceToBudget(const ShownLines& lines, Payout payout, std::uint64_t maxLines, LineBases bases)
{
    const bool filtered = host_.ticket().hasStage();  // only conditions are reduced further
    const std::optional<BudgetReduction> reduced = budgetInBackground(window_, lines, payout, maxLines);
    if (!reduced)
        return;
    if (!reduced->refusal.empty() || reduced->kept.size() >= lines.count()) {
        Dialogs::showMessage(&window_, reduced->refusal.empty() ? kNoShorterList : fromUtf8(reduced->refusal));
        return;
    }
    const bool full = reduced->fullGuarantee;
    WindowMessageSink messages(&window_);
    const std::string title = full ? reducedStageTitle(payout)
                                   : budgetStageTitle(payout, reduced->kept.size(), reduced->covered, reduced->total);
    if (!host_.showStage(torvanel::StageKind::Reduction, reduced->kept, title, messages,
                         torvanel::ReducedFor{payout, full ? 0 : maxLines}))
        return;
    Dialogs::showMessage(&window_, full ? summaryOf(lines.count(), reduced->kept.size(), guaranteeOf(payout, bases),
                                                    reduced->quality)
                                        : budgetSummary(payout, bases, filtered, *reduced));
}
