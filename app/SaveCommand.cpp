#include "app/SaveCommand.h"

#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultFile.h"
#include "app/ResultHost.h"
#include "app/ResultListModel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

namespace {

const QString kNothingToSave = QStringLiteral("La liste des combinaisons est vide : il n'y a rien à enregistrer.");

QString saveFailed(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Impossible d'enregistrer les combinaisons dans « %1 » : %2.\r\n"
                          "Choisissez un autre fichier ou un autre dossier, puis recommencez.")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

// The user's documents, or home where there is no such folder.
QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

SaveCommand::SaveCommand(ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      window_(host.hostWindow()),
      save_(commands::make(this, window_, {"mnuEnregistrer", "Enregistrer les combinaisons…", Qt::CTRL | Qt::Key_S,
                                           "Enregistrer toutes les combinaisons dans un fichier"}))
{
    commands::markAsActingOnLines(save_);
    connect(save_, &QAction::triggered, this, &SaveCommand::saveLines);
}

void SaveCommand::saveLines()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the file dialogue and the progress dialogue are open.
    const torvanel::ShownLines lines = host_.ticket().shown();
    if (lines.empty()) {
        Dialogs::showMessage(&window_, kNothingToSave);
        return;
    }
    if (folder_.isEmpty() || !QDir(folder_).exists())
        folder_ = startFolder();
    const QString suggested = QDir(folder_).filePath(resultfile::suggestedName(host_.ticket().choices().betType, QDate::currentDate()));
    const QString fileName = Dialogs::askSaveFileName(&window_, suggested);
    if (fileName.isEmpty())
        return;
    folder_ = QFileInfo(fileName).absolutePath();  // the next save offers the same folder
    // The progress dialogue is gone before a failure is told.
    const resultfile::Saving saving = [&] {
        JobProgress progress(&window_, clipboard::kLinesWithoutProgress, [](std::uint64_t done, std::uint64_t total) {
            return QStringLiteral("Enregistrement des combinaisons : %1 sur %2").arg(frenchCount(done), frenchCount(total));
        });
        return resultfile::save(lines, fileName,
                                [&progress](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
    }();
    if (saving.outcome == resultfile::Outcome::Failed)
        Dialogs::showMessage(&window_, saveFailed(fileName, saving.reason));
}
