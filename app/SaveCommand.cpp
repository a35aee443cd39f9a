#include "app/SaveCommand.h"

#include "app/Dialogs.h"
#include "app/frmmenu.h"
#include "app/JobProgress.h"
#include "app/ResultFile.h"
#include "app/ResultListModel.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QRadioButton>
#include <QStandardPaths>

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

torvanel::BetType checkedBetType(const frmmenu& window)
{
    for (int i = 0; i < int(window.OptionQuoi.size()); ++i)
        if (window.OptionQuoi[i]->isChecked())
            return static_cast<torvanel::BetType>(i);
    return torvanel::BetType::Tierce;
}

SaveCommand::SaveCommand(frmmenu& window)
    : QObject(&window),
      window_(window),
      save_(new QAction(QStringLiteral("Enregistrer les combinaisons…"), this))
{
    save_->setObjectName(QStringLiteral("mnuEnregistrer"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save_->setShortcutContext(Qt::WindowShortcut);
    save_->setShortcutVisibleInContextMenu(true);
    // Read by screen readers with the entry's text.
    save_->setToolTip(QStringLiteral("Enregistrer toutes les combinaisons dans un fichier"));
    save_->setStatusTip(save_->toolTip());
    window.addAction(save_);
    connect(save_, &QAction::triggered, this, &SaveCommand::saveLines);
}

void SaveCommand::saveLines()
{
    // A copy of the result blocks (a few small vectors): the list may be
    // refilled while the file dialogue and the progress dialogue are open.
    const torvanel::ResultList lines = window_.engine.result();
    if (lines.empty()) {
        Dialogs::showMessage(&window_, kNothingToSave);
        return;
    }
    if (folder_.isEmpty() || !QDir(folder_).exists())
        folder_ = startFolder();
    const QString suggested = QDir(folder_).filePath(resultfile::suggestedName(checkedBetType(window_), QDate::currentDate()));
    const QString fileName = Dialogs::askSaveFileName(&window_, suggested);
    if (fileName.isEmpty())
        return;
    folder_ = QFileInfo(fileName).absolutePath();  // the next save offers the same folder
    JobProgress progress(&window_, clipboard::kLinesWithoutProgress, [](std::uint64_t done, std::uint64_t total) {
        return QStringLiteral("Enregistrement des combinaisons : %1 sur %2").arg(frenchCount(done), frenchCount(total));
    });
    const resultfile::Saving saving = resultfile::save(
        lines, fileName, [&progress](std::uint64_t done, std::uint64_t total) { return progress.step(done, total); });
    if (saving.outcome == resultfile::Outcome::Failed)
        Dialogs::showMessage(&window_, saveFailed(fileName, saving.reason));
}
