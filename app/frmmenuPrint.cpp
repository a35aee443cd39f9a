// The window's handler of "Imprimer": the result list goes to the system's
// default printer at once, with no dialogue; a long job shows how far it is
// and can be cancelled.

#include "app/frmmenu.h"

#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultPrinter.h"

#include <QApplication>
#include <QPrinterInfo>

namespace {

// A job of up to this many pages is made without a progress dialogue.
constexpr std::uint64_t kPagesWithoutProgress = 3;

const QString kNoPrinter = QStringLiteral(
    "Impossible d'imprimer : aucune imprimante par défaut n'est définie.\r\n"
    "Choisissez une imprimante par défaut dans les réglages du système, puis recommencez.");

QString printFailed(const QString& printer)
{
    return QStringLiteral("L'impression sur « %1 » a échoué.\r\n"
                          "Vérifiez l'imprimante, puis recommencez.")
        .arg(printer);
}

}  // namespace

void frmmenu::cmdImprimer_Click()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the progress dialogue lets events through.
    const torvanel::ShownLines lines = ticket_.shown();
    if (lines.empty())
        return;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        Dialogs::showMessage(this, kNoPrinter);
        return;
    }
    JobProgress progress(this, kPagesWithoutProgress, [](std::uint64_t made, std::uint64_t count) {
        return QStringLiteral("Préparation des pages à imprimer : %1 sur %2").arg(made).arg(count);
    });
    QString error;
    const auto outcome = printing::sendToPrinter(
        lines, printer, [&progress](std::uint64_t made, std::uint64_t count) { return progress.step(made, count); },
        error);
    if (outcome == printing::Outcome::Failed) {
        qWarning("Printing failed: %s", qPrintable(error));
        Dialogs::showMessage(this, printFailed(printer.printerName()));
    }
}
