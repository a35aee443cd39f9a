#include "app/ReduceCommand.h"

#include "app/BackgroundJob.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "reduce/Reduce.h"
#include "app/ResultHost.h"

#include <QAction>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;
using torvanel::ResultList;
using torvanel::ShownLines;
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

QString guaranteeOf(Payout payout, bool bases)
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

// Runs the reduction on a worker thread (BackgroundJob). Nothing when the
// user cancelled, the window was closed or the program is ending.
std::optional<Reduction> reduceInBackground(QWidget& window, const ShownLines& lines, Payout payout)
{
    Reduction reduction;
    std::atomic<std::size_t> bestSize{0};
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(torvanel::reduce::ReduceOptions{}.timeLimit);
    const auto start = std::chrono::steady_clock::now();
    const bool done = BackgroundJob::run(
        window,
        [&](BackgroundJob::Shared& shared) {
            torvanel::reduce::ReduceOptions options;
            shared.total = static_cast<std::uint64_t>(limit.count());
            options.progress = [&](const torvanel::reduce::ReduceProgress& p) {
                bestSize = p.bestSize;
                const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
                shared.done = static_cast<std::uint64_t>(std::min(elapsed, limit).count());
                return !shared.stop;
            };
            reduction = torvanel::reduce::Reduce(lines, payout, options);
        },
        [&bestSize](std::uint64_t, std::uint64_t) { return progressText(bestSize); });
    if (!done)
        return std::nullopt;
    return reduction;
}

}  // namespace

bool linesHoldBases(const ResultList& list)
{
    return std::any_of(list.blocks().begin(), list.blocks().end(),
                       [](const torvanel::ResultBlock& block) { return block.baseTake > 0 && block.outTake > 0; });
}

std::string reducedStageTitle(Payout payout)
{
    return "liste réduite (" + std::string(torvanel::bets::ClassOf(payout).name) + " garanti)";
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
    const bool bases = linesHoldBases(lines.full());
    QStringList items;
    for (Payout payout : payouts)
        items << fromUtf8(torvanel::bets::ClassOf(payout).name) + QStringLiteral(" : ") + guaranteeOf(payout, bases);
    const QString prompt = QStringLiteral("La liste compte %1 combinaisons.\nQuel rapport la liste réduite doit-elle garantir ?")
                               .arg(frenchCount(lines.count()));
    const std::optional<int> chosen = Dialogs::askItem(&window_, prompt, items);
    if (!chosen)
        return;
    const Payout payout = payouts[static_cast<std::size_t>(*chosen)];
    std::optional<Reduction> reduction = reduceInBackground(window_, lines, payout);
    if (!reduction)
        return;
    if (!reduction->refusal.empty() || reduction->kept.size() >= lines.count()) {
        Dialogs::showMessage(&window_, reduction->refusal.empty() ? kNoShorterList : fromUtf8(reduction->refusal));
        return;
    }
    const std::uint64_t after = reduction->kept.size();
    WindowMessageSink messages(&window_);
    if (!host_.showStage(torvanel::StageKind::Reduction, reduction->kept, reducedStageTitle(payout), messages))
        return;
    Dialogs::showMessage(&window_, summaryOf(lines.count(), after, guaranteeOf(payout, bases), reduction->quality));
}
