// "Imprimer": the result list goes to the system's default printer at once,
// with no dialogue; a long job shows how far it is and can be cancelled.

#include "Dialogs.h"
#include "ResultListModel.h"
#include "ResultPrinter.h"
#include "frmmenu.h"

#include <QApplication>
#include <QPrinterInfo>
#include <QProgressDialog>

#include <memory>

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

// The progress dialogue of a long job, opened with its first page.
class PrintProgress {
public:
    explicit PrintProgress(QWidget* parent) : parent_(parent) {}

    // False once the user has cancelled.
    bool pageMade(std::uint64_t pagesMade, std::uint64_t pageCount)
    {
        if (pageCount <= kPagesWithoutProgress)
            return true;
        if (!dialog_)
            open(pageCount);
        dialog_->setValue(static_cast<int>(pagesMade));
        dialog_->setLabelText(QStringLiteral("Préparation des pages à imprimer : %1 sur %2")
                                  .arg(pagesMade)
                                  .arg(pageCount));
        // Lets the dialogue paint and its button be clicked while pages are made.
        QCoreApplication::processEvents();
        return !dialog_->wasCanceled();
    }

private:
    void open(std::uint64_t pageCount)
    {
        dialog_ = std::make_unique<QProgressDialog>(parent_);
        dialog_->setWindowTitle(Dialogs::applicationTitle());
        dialog_->setCancelButtonText(QStringLiteral("Annuler"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setRange(0, static_cast<int>(pageCount));
        dialog_->show();
    }

    QWidget* parent_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace

void frmmenu::cmdImprimer_Click()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the progress dialogue lets events through.
    const torvanel::ResultList lines = resultModel->result();
    if (lines.empty())
        return;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull()) {
        Dialogs::showMessage(this, kNoPrinter);
        return;
    }
    PrintProgress progress(this);
    QString error;
    const auto outcome = printing::sendToPrinter(
        lines, printer, [&progress](std::uint64_t made, std::uint64_t count) { return progress.pageMade(made, count); },
        error);
    if (outcome == printing::Outcome::Failed) {
        qWarning("Printing failed: %s", qPrintable(error));
        Dialogs::showMessage(this, printFailed(printer.printerName()));
    }
}
