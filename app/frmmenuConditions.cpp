// "Conditions…": the dialog, and the lines the conditions keep, found on a
// worker thread for long lists (every merge filters its list the same way).

#include "app/frmmenu.h"

#include "app/BackgroundJob.h"
#include "app/ConditionsDialog.h"
#include "app/Dialogs.h"
#include "generators/Numbers.h"

#include <QLineEdit>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

namespace cond = torvanel::conditions;

// Lists up to this many lines are filtered without a worker: a few milliseconds.
constexpr std::uint64_t kFilterAtOnce = 1'000'000;

unsigned threadsToUse()
{
    return static_cast<unsigned>(std::max(1, QThread::idealThreadCount()));
}

}  // namespace

std::optional<torvanel::LineSelection> frmmenu::filterLines(const torvanel::ResultList& full,
                                                            const cond::Conditions& conditions)
{
    if (full.count() <= kFilterAtOnce)
        return cond::Filter(full, conditions, {.threads = threadsToUse()});
    std::optional<torvanel::LineSelection> kept;
    const bool done = BackgroundJob::run(
        *this,
        [&](BackgroundJob::Shared& shared) {
            shared.total = full.count();
            kept = cond::Filter(full, conditions, {.threads = threadsToUse(), .stop = &shared.stop, .done = &shared.done});
        },
        [](std::uint64_t done, std::uint64_t total) {
            return QStringLiteral("Application des conditions : %1 lignes sur %2").arg(frenchCount(done), frenchCount(total));
        });
    if (!done)
        return std::nullopt;
    return kept;
}

void frmmenu::mnuConditions_Click()
{
    const double starters = std::floor(torvanel::ReadNumber(txtPartants->text().toStdString()));
    ConditionsDialog dialog(this, {ticket_.fullLines(), ticket_.conditions(), ticket_.bet().lineSize,
                                   static_cast<int>(std::clamp(starters, 0.0, 32767.0)), txtUnite->text()});
    while (dialog.exec() == QDialog::Accepted) {
        const cond::Conditions chosen = dialog.conditions();
        std::optional<torvanel::LineSelection> kept = torvanel::LineSelection();
        if (!chosen.empty()) {
            kept = filterLines(ticket_.full(), chosen);
            if (!kept)
                return;  // "Annuler": the list stays as it was
            if (kept->count() == 0 && !ticket_.full().empty()) {
                Dialogs::showMessage(this, QStringLiteral("Aucune ligne ne remplit ces conditions."));
                continue;
            }
        }
        showConditions(chosen, std::move(*kept), *messages_);
        return;
    }
}
