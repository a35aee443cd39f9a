#include "app/ReduceCommand.h"

#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "reduce/Reduce.h"
#include "app/ResultHost.h"

#include <QAction>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;
using torvanel::ResultList;
using torvanel::reduce::Payout;
using torvanel::reduce::Quality;
using torvanel::reduce::Reduction;

// A reduction that ends sooner shows no progress dialogue.
constexpr auto kQuietTime = 300ms;
// How often the window looks at the worker: fast enough for the dialogue's
// bar and its button, slow enough to cost nothing.
constexpr auto kLookEvery = 20ms;

const QString kNoPayoutForTierce =
    QStringLiteral("Au Tiercé, seule la ligne exacte paie : aucune liste plus courte ne peut garantir un rapport.\r\n"
                   "La liste complète est conservée.");
const QString kNothingToReduce = QStringLiteral("La liste des combinaisons est vide : il n'y a rien à réduire.");
const QString kAlreadyReduced =
    QStringLiteral("La liste est déjà réduite.\r\n"
                   "Fusionnez de nouveau pour retrouver la liste complète, puis réduisez-la.");
const QString kNoShorterList =
    QStringLiteral("Aucune liste plus courte ne donne cette garantie dans le temps imparti.\r\n"
                   "La liste complète est conservée.");

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Fusion lines hold bases and outsiders; the guarantee then names the bases.
bool holdsBases(const ResultList& list)
{
    return std::any_of(list.blocks().begin(), list.blocks().end(),
                       [](const torvanel::ResultBlock& block) { return block.baseTake > 0 && block.outTake > 0; });
}

QString guaranteeOf(Payout payout, bool bases)
{
    return fromUtf8(torvanel::reduce::PayoutGuarantee(payout, bases));
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

// What the worker shares with the window, and nothing else: the worker never
// touches a widget, and the window waits for it before going on.
struct ReduceJob {
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
    std::atomic<std::size_t> bestSize{0};
    Reduction reduction;
};

QString progressText(std::size_t bestSize)
{
    if (bestSize == 0)
        return QStringLiteral("Recherche d'une liste réduite…");
    return QStringLiteral("Recherche d'une liste réduite : %1 combinaisons pour l'instant").arg(frenchCount(bestSize));
}

// Runs the reduction on a worker thread while the window paints; past
// kQuietTime the progress dialogue shows. Nothing when the user cancelled,
// the window was closed or the program is ending.
std::optional<Reduction> reduceInBackground(QWidget& window, const ResultList& list, Payout payout)
{
    ReduceJob job;
    torvanel::reduce::ReduceOptions options;
    options.progress = [&job](const torvanel::reduce::ReduceProgress& p) {
        job.bestSize = p.bestSize;
        return !job.stop;
    };
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(options.timeLimit);
    QEventLoop loop;
    std::thread worker([&job, &list, &loop, &options, payout] {
        job.reduction = torvanel::reduce::Reduce(list, payout, options);
        job.finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    const QPointer<QWidget> alive(&window);
    bool given_up = false;
    const auto start = std::chrono::steady_clock::now();
    JobProgress progress(&window, 0, [&job](std::uint64_t, std::uint64_t) { return progressText(job.bestSize); });
    QTimer look;
    look.setInterval(kLookEvery);
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (job.finished || given_up)
            return;
        if (!alive || !alive->isVisible()) {  // the window was closed meanwhile
            given_up = true;
        } else {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            if (elapsed >= kQuietTime && !progress.step(std::uint64_t(std::min(elapsed, limit).count()), std::uint64_t(limit.count())))
                given_up = true;
        }
        if (given_up) {
            job.stop = true;
            loop.quit();
        }
    });
    look.start();
    // Until the dialogue shows, the window paints but takes no click or key:
    // the list being reduced must not change under the worker.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    look.stop();
    // Also when the program is ending and has stopped every event loop.
    given_up = given_up || !job.finished;
    job.stop = true;
    worker.join();
    if (given_up || !alive)
        return std::nullopt;
    return std::move(job.reduction);
}

}  // namespace

ReduceCommand::ReduceCommand(ResultHost& host)
    : QObject(&host.hostWindow()), host_(host), window_(host.hostWindow()), reduce_(new QAction(QStringLiteral("Réduire avec garantie…"), this))
{
    reduce_->setObjectName(QStringLiteral("mnuReduire"));
    reduce_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    reduce_->setShortcutContext(Qt::WindowShortcut);
    reduce_->setShortcutVisibleInContextMenu(true);
    // Read by screen readers with the entry's text.
    reduce_->setToolTip(QStringLiteral("Réduire la liste des combinaisons en gardant un rapport garanti"));
    reduce_->setStatusTip(reduce_->toolTip());
    window_.addAction(reduce_);
    connect(reduce_, &QAction::triggered, this, &ReduceCommand::reduceLines);
}

void ReduceCommand::reduceLines()
{
    // A copy of the result blocks: the worker reads it while the window lives on.
    const ResultList lines = host_.resultLines();
    const std::vector<Payout> payouts = torvanel::reduce::PayoutsFor(host_.checkedBetType());
    const QString refusal = payouts.empty() ? kNoPayoutForTierce
                          : lines.empty()   ? kNothingToReduce
                          : lines.isSubList() ? kAlreadyReduced
                                            : QString();
    if (!refusal.isEmpty()) {
        Dialogs::showMessage(&window_, refusal);
        return;
    }
    const bool bases = holdsBases(lines);
    QStringList items;
    for (Payout payout : payouts)
        items << fromUtf8(torvanel::reduce::PayoutName(payout)) + QStringLiteral(" : ") + guaranteeOf(payout, bases);
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
    if (!host_.showKeptLines(std::move(reduction->kept), messages))
        return;
    Dialogs::showMessage(&window_, summaryOf(lines.count(), after, guaranteeOf(payout, bases), reduction->quality));
}
