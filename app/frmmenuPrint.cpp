// The window's handler of "Imprimer": the result list goes to the system's
// default printer at once, with no dialogue, unless the job is so long that
// the user is asked first; a long job shows how far it is and can be
// cancelled.

#include "app/frmmenu.h"

#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultPrinter.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>

namespace {

// A job of up to this many pages is made without a progress dialogue.
constexpr std::uint64_t kPagesWithoutProgress = 3;
// A job of up to this many pages starts without a question.
constexpr std::uint64_t kPagesWithoutQuestion = 1000;

const QString kNoPrinter = QStringLiteral(
    "Impossible d'imprimer : aucune imprimante par défaut n'est définie.\r\n"
    "Choisissez une imprimante par défaut dans les réglages du système, puis recommencez.");

QString printQuestion(const printing::JobSize& size)
{
    const QString sheets = size.sheets == size.pages
                             ? QStringLiteral("Cela fait %1 feuilles de papier.")
                             : QStringLiteral("Recto verso, cela fait %1 feuilles de papier.");
    return QStringLiteral("Imprimer %1 pages ?\r\n").arg(frenchCount(size.pages)) + sheets.arg(frenchCount(size.sheets));
}

QString printFailed(const QString& printer)
{
    return QStringLiteral("L'impression sur « %1 » a échoué.\r\n"
                          "Vérifiez l'imprimante, puis recommencez.")
        .arg(printer);
}

QString pagesNotMade(const QString& printer, const QString& reason)
{
    return QStringLiteral("Impossible de préparer les pages à imprimer dans le dossier « %1 » : %2.\r\n"
                          "Rien n'a été envoyé à l'imprimante « %3 ». Corrigez ce problème, puis recommencez.")
        .arg(QDir::toNativeSeparators(QDir::tempPath()), reason, printer);
}

// Makes the job with its progress dialogue, which is gone on return, before
// any message about the job shows.
printing::Outcome printWithProgress(QWidget* window, const torvanel::ShownLines& lines, const QPrinterInfo& printer,
                                    printing::Failure& failure)
{
    JobProgress progress(window, kPagesWithoutProgress, [](std::uint64_t made, std::uint64_t count) {
        return QStringLiteral("Préparation des pages à imprimer : %1 sur %2").arg(frenchCount(made), frenchCount(count));
    });
    return printing::sendToPrinter(
        lines, printer, [&progress](std::uint64_t made, std::uint64_t count) { return progress.step(made, count); },
        failure);
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
    const printing::JobSize size = printing::jobSize(lines.count(), printer);
    if (size.pages > kPagesWithoutQuestion
        && !Dialogs::askToGoOn(this, printQuestion(size), QStringLiteral("Imprimer")))
        return;
    printing::Failure failure;
    if (printWithProgress(this, lines, printer, failure) != printing::Outcome::Failed)
        return;
    if (!failure.diskReason.isEmpty()) {
        Dialogs::showMessage(this, pagesNotMade(printer.printerName(), failure.diskReason));
        return;
    }
    qWarning("Printing failed: %s", qPrintable(failure.printerError));
    Dialogs::showMessage(this, printFailed(printer.printerName()));
}
