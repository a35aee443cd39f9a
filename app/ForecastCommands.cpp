#include "app/ForecastCommands.h"

#include "app/Commands.h"
#include "app/ControlRegistry.h"
#include "app/Dialogs.h"
#include "app/ForecastSheet.h"
#include "app/JobProgress.h"
#include "app/ReduceCommand.h"
#include "app/ResultFile.h"
#include "app/ResultHost.h"
#include "reduce/Budget.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

namespace {

using forecast::Forecast;
using forecast::fromUtf8;

constexpr qsizetype kMaxRecentFiles = 8;
// A forecast file larger than this is no forecast (the longest lists and a
// reduction of a million lines take a few tens of megabytes).
constexpr qint64 kLargestFile = 256LL << 20;
// The sheet shows at most this many lines: the preview keeps every page it shows.
constexpr std::uint64_t kMostLinesOnASheet = 200'000;
const char* const kRecentKey = "pronostics/recents";

const QString kReductionNotSaved = QStringLiteral(
    "Le pronostic est enregistré sans sa liste réduite : les chevaux ou les choix ont changé depuis la fusion "
    "qui l'a donnée, et elle ne pourrait pas être refaite.\r\n"
    "Fusionnez de nouveau et réduisez la liste pour l'enregistrer avec le pronostic.");

// The one setting the program writes: the recent forecasts.
std::unique_ptr<QSettings> settings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("torvanel"),
                                       QStringLiteral("torvanel"));
}

QString nameOf(const QString& fileName)
{
    return QFileInfo(fileName).fileName();
}

QString cannotOpen(const QString& fileName, const QString& problem)
{
    return QStringLiteral("Le pronostic « %1 » ne peut pas être ouvert : %2.").arg(nameOf(fileName), problem);
}

QString cannotSave(const QString& fileName, const QString& reason)
{
    return QStringLiteral("Impossible d'enregistrer le pronostic dans « %1 » : %2.\r\n"
                          "Choisissez un autre fichier ou un autre dossier, puis recommencez.")
        .arg(QDir::toNativeSeparators(fileName), reason);
}

// The file's bytes, or why they cannot be read.
std::optional<QByteArray> readBytes(const QString& fileName, QString& problem)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        problem = QStringLiteral("le fichier n'existe pas");
    else if (info.isDir())
        problem = QStringLiteral("c'est un dossier");
    else if (info.size() > kLargestFile)
        problem = QStringLiteral("le fichier est bien trop grand pour un pronostic");
    QFile file(fileName);
    if (problem.isEmpty() && !file.open(QIODevice::ReadOnly))
        problem = info.isReadable() ? QStringLiteral("erreur du système (%1)").arg(file.errorString())
                                    : QStringLiteral("sa lecture est refusée");
    if (!problem.isEmpty())
        return std::nullopt;
    return file.readAll();
}

// The user's documents, or home where there is no such folder.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

QString selectedHorses(const QList<forecast::Entry>& entries)
{
    QStringList horses;
    for (const forecast::Entry& entry : entries)
        if (entry.selected)
            horses << entry.text;
    return horses.join(QStringLiteral(", "));
}

// What the sheet says above the lines.
sheet::Header sheetHeader(const Forecast& forecast, const QString& name, const torvanel::Ticket& ticket)
{
    sheet::Header header;
    header.title = QStringLiteral("Pronostic");
    if (!forecast.race.isEmpty())
        header.title += QStringLiteral(" — ") + forecast.race;
    else if (!name.isEmpty())
        header.title += QStringLiteral(" « %1 »").arg(name);
    if (!forecast.note.isEmpty())
        header.facts << QStringLiteral("Note : ") + forecast.note;
    const torvanel::bets::BetRule& bet = torvanel::bets::RuleOf(ticket.choices().betType);
    header.facts << QStringLiteral("Pari : %1, mise de base : %2 Euros")
                        .arg(fromUtf8(bet.name), QString::fromStdString(ticket.choices().stake));
    SilentMessages silent;
    if (const auto price = ticket.price(ticket.choices().stake, silent))
        header.facts << QStringLiteral("Nombre de lignes : %1, coût : %2")
                            .arg(QString::fromStdString(price->countText),
                                 QString::fromStdString(price->costText).trimmed());
    if (const QString bases = selectedHorses(forecast.bases); !bases.isEmpty())
        header.facts << QStringLiteral("Bases : ") + bases;
    if (const QString outsiders = selectedHorses(forecast.outsiders); !outsiders.isEmpty())
        header.facts << QStringLiteral("Outsiders : ") + outsiders;
    if (forecast.reduction)
        header.facts << QStringLiteral("Liste réduite. ")
                            + fromUtf8(torvanel::bets::GuaranteeSentence(forecast.reduction->payout,
                                                                         torvanel::reduce::LineBasesOf(ticket.full())));
    else
        header.facts << QStringLiteral("Toutes les combinaisons de la fusion.");
    header.footnote = QStringLiteral("Torvanel de pronostics — imprimé le %1")
                          .arg(QLocale(QLocale::French, QLocale::France).toString(QDate::currentDate(), QStringLiteral("d MMMM yyyy")));
    return header;
}

}  // namespace

ForecastCommands::ForecastCommands(const ControlRegistry& controls, ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      window_(controls, host),
      open_(commands::make(this, host.hostWindow(), {"mnuOuvrir", "&Ouvrir un pronostic…", Qt::CTRL | Qt::Key_O,
                                                     "Ouvrir un pronostic enregistré"})),
      recent_(new QMenu(QStringLiteral("Pronostics &récents"), &host.hostWindow())),
      save_(commands::make(this, host.hostWindow(),
                           {"mnuEnregistrerPronostic", "Enregistrer le &pronostic", Qt::CTRL | Qt::SHIFT | Qt::Key_S,
                            "Enregistrer les chevaux, les choix et la liste réduite dans un pronostic"})),
      note_(commands::make(this, host.hostWindow(), {"mnuNotePronostic", "&Note du pronostic…", {},
                                                     "Écrire la course et une note que le pronostic garde"})),
      print_(commands::make(this, host.hostWindow(),
                            {"mnuImprimerPronostic", "Imprimer le pronos&tic…", Qt::CTRL | Qt::SHIFT | Qt::Key_P,
                             "Voir et imprimer la feuille du pronostic"}))
{
    recent_->setObjectName(QStringLiteral("mnuPronosticsRecents"));
    recent_->setAccessibleName(QStringLiteral("Pronostics récents"));
    recent_->menuAction()->setObjectName(QStringLiteral("mnuPronosticsRecents"));
    commands::markAsActingOnLines(print_);
    connect(open_, &QAction::triggered, this, &ForecastCommands::askAndOpen);
    connect(recent_, &QMenu::aboutToShow, this, &ForecastCommands::fillRecentMenu);
    connect(save_, &QAction::triggered, this, &ForecastCommands::saveForecast);
    connect(note_, &QAction::triggered, this, &ForecastCommands::editNote);
    connect(print_, &QAction::triggered, this, &ForecastCommands::printForecast);
    watchControls(controls);
    saved_ = snapshot();
}

// Every change of a control the forecast holds, and every list shown.
void ForecastCommands::watchControls(const ControlRegistry& controls)
{
    const auto check = [this] { scheduleModifiedCheck(); };
    for (const char* name : {"txtPartants", "txtUnite"})
        connect(controls.as<QLineEdit>(name), &QLineEdit::textChanged, this, check);
    for (const char* name : {"lstBases", "lstOuts"}) {
        auto* list = controls.as<QListWidget>(name);
        connect(list, &QListWidget::itemSelectionChanged, this, check);
        connect(list->model(), &QAbstractItemModel::rowsInserted, this, check);
        connect(list->model(), &QAbstractItemModel::rowsRemoved, this, check);
        connect(list->model(), &QAbstractItemModel::dataChanged, this, check);
    }
    for (const auto& [name, count] : {std::pair{"Option1", 4}, {"OptionQuoi", 5}, {"OptionTierce", 8}, {"ChkInclure", 2}})
        for (int i = 0; i < count; ++i)
            connect(controls.as<QAbstractButton>(name, i), &QAbstractButton::toggled, this, check);
    connect(host_.resultView().model(), &QAbstractItemModel::modelReset, this, check);
}

Forecast ForecastCommands::currentForecast(bool withLines) const
{
    Forecast forecast = window_.current(withLines);
    forecast.note = noteText_;
    forecast.race = race_;
    return forecast;
}

ForecastCommands::Snapshot ForecastCommands::snapshot() const
{
    return {currentForecast(false), window_.shownStage()};
}

bool ForecastCommands::isModified() const
{
    return !(snapshot() == saved_);
}

// Reading the window after each change of a list of thousands of entries
// would cost more than the change: the check runs once events have settled.
void ForecastCommands::scheduleModifiedCheck()
{
    if (file_.isEmpty() || checkPending_)
        return;
    checkPending_ = true;
    QTimer::singleShot(0, this, &ForecastCommands::showModified);
}

void ForecastCommands::showModified()
{
    checkPending_ = false;
    const bool modified = !file_.isEmpty() && isModified();
    host_.hostWindow().setWindowModified(modified);
    host_.hostWindow().window()->setWindowModified(modified);
}

QString ForecastCommands::name() const
{
    return file_.isEmpty() ? QString() : nameOf(file_);
}

void ForecastCommands::setFile(const QString& fileName)
{
    file_ = QFileInfo(fileName).absoluteFilePath();
    remember(file_);
    emit nameChanged();
    showModified();
}

bool ForecastCommands::openFile(const QString& fileName)
{
    QWidget* window = &host_.hostWindow();
    QString problem;
    const std::optional<QByteArray> bytes = readBytes(fileName, problem);
    forecast::Reading reading;
    if (bytes)
        reading = forecast::read(*bytes);
    if (!reading.forecast) {
        if (!bytes && !QFileInfo::exists(fileName))
            forget(QFileInfo(fileName).absoluteFilePath());
        Dialogs::showMessage(window, cannotOpen(fileName, bytes ? reading.problem : problem));
        return false;
    }
    const ForecastWindow::Checked checked = window_.check(*reading.forecast);
    if (checked.cancelled)
        return false;
    if (!checked.problem.isEmpty()) {
        Dialogs::showMessage(window, cannotOpen(fileName, checked.problem));
        return false;
    }
    window_.apply(*reading.forecast, checked);
    noteText_ = reading.forecast->note;
    race_ = reading.forecast->race;
    saved_ = snapshot();
    setFile(fileName);
    return true;
}

void ForecastCommands::askAndOpen()
{
    if (!changesMayGo())
        return;
    const QString folder = file_.isEmpty() ? documentsFolder() : QFileInfo(file_).absolutePath();
    const QString fileName = Dialogs::askForecastFileName(&host_.hostWindow(), Dialogs::ForecastFileRole::Open, folder);
    if (!fileName.isEmpty())
        openFile(fileName);
}

bool ForecastCommands::saveForecast()
{
    QString fileName = file_;
    if (fileName.isEmpty()) {
        const QString stem = fromUtf8(torvanel::bets::RuleOf(window_.current(false).betType).fileStem);
        const QString suggested = QDir(documentsFolder()).filePath(
            QStringLiteral("%1-%2.%3").arg(stem, QDate::currentDate().toString(Qt::ISODate), QLatin1String(forecast::kSuffix)));
        fileName = Dialogs::askForecastFileName(&host_.hostWindow(), Dialogs::ForecastFileRole::Save, suggested);
        if (fileName.isEmpty())
            return false;
    }
    Forecast written = currentForecast(true);
    if (written.reduction && !window_.showsTheMergeOfItsControls()) {
        written.reduction.reset();
        Dialogs::showMessage(&host_.hostWindow(), kReductionNotSaved);
    }
    if (!writeFile(fileName, forecast::write(written)))
        return false;
    Forecast savedForecast = written;
    if (savedForecast.reduction)
        savedForecast.reduction->lines.clear();
    saved_ = {savedForecast, written.reduction ? window_.shownStage() : nullptr};
    setFile(fileName);
    return true;
}

bool ForecastCommands::writeFile(const QString& fileName, const QByteArray& bytes)
{
    QString reason = resultfile::obstacleToWriting(fileName);
    QSaveFile file(fileName);
    // An unfinished QSaveFile leaves the earlier file as it was.
    if (reason.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()))
        reason = resultfile::frenchReason(file.errorString(), fileName);
    if (!reason.isEmpty())
        Dialogs::showMessage(&host_.hostWindow(), cannotSave(fileName, reason));
    return reason.isEmpty();
}

bool ForecastCommands::changesMayGo()
{
    if (file_.isEmpty() || !isModified())
        return true;
    const QString question = QStringLiteral("Enregistrer les modifications du pronostic « %1 » ?").arg(name());
    switch (Dialogs::askUnsavedChanges(&host_.hostWindow(), question)) {
    case Dialogs::UnsavedChanges::Save:
        return saveForecast();
    case Dialogs::UnsavedChanges::Discard:
        return true;
    case Dialogs::UnsavedChanges::Cancel:
        break;
    }
    return false;
}

bool ForecastCommands::mayClose()
{
    if (!changesMayGo())
        return false;
    // The changes are let go: a second close asks nothing.
    saved_ = snapshot();
    showModified();
    return true;
}

// ---- Recent forecasts -----------------------------------------------------------

QStringList ForecastCommands::recentFiles()
{
    return settings()->value(QLatin1String(kRecentKey)).toStringList();
}

void ForecastCommands::remember(const QString& fileName) const
{
    QStringList files = recentFiles();
    files.removeAll(fileName);
    files.prepend(fileName);
    settings()->setValue(QLatin1String(kRecentKey), files.mid(0, kMaxRecentFiles));
}

void ForecastCommands::forget(const QString& fileName) const
{
    QStringList files = recentFiles();
    if (files.removeAll(fileName) > 0)
        settings()->setValue(QLatin1String(kRecentKey), files);
}

void ForecastCommands::fillRecentMenu()
{
    recent_->clear();
    const QStringList files = recentFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& fileName = files[i];
        QAction* entry = recent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(nameOf(fileName)));
        entry->setToolTip(QDir::toNativeSeparators(fileName));
        entry->setStatusTip(entry->toolTip());
        // Queued: the menu closes before the forecast's boxes open.
        connect(entry, &QAction::triggered, this, [this, fileName] {
            QTimer::singleShot(0, this, [this, fileName] {
                if (changesMayGo())
                    openFile(fileName);
            });
        });
    }
    if (files.isEmpty())
        recent_->addAction(QStringLiteral("(aucun)"))->setEnabled(false);
}

// ---- Note and sheet -----------------------------------------------------------------

void ForecastCommands::editNote()
{
    if (const auto note = Dialogs::askForecastNote(&host_.hostWindow(), {race_, noteText_})) {
        race_ = note->race;
        noteText_ = note->note;
        scheduleModifiedCheck();
    }
}

void ForecastCommands::printForecast()
{
    const torvanel::ShownLines lines = host_.ticket().shown();
    if (lines.count() > kMostLinesOnASheet) {
        Dialogs::showMessage(&host_.hostWindow(),
                             QStringLiteral("La liste compte %1 combinaisons : c'est trop pour la feuille du pronostic "
                                            "(%2 au plus).\r\nRéduisez la liste, ou imprimez-la avec « Imprimer ».")
                                 .arg(frenchCount(lines.count()), frenchCount(kMostLinesOnASheet)));
        return;
    }
    const sheet::Header header = sheetHeader(currentForecast(false), name(), host_.ticket());
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(header.title);
    QPrintPreviewDialog preview(&printer, &host_.hostWindow());
    preview.setObjectName(QStringLiteral("dlgApercuPronostic"));
    preview.setWindowTitle(QStringLiteral("Imprimer le pronostic"));
    // Large enough to read a page, within the screen.
    const QSize room = host_.hostWindow().screen()->availableSize();
    preview.resize(std::min(room.width(), 820), std::min(room.height(), 960));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* target) { sheet::paint(*target, header, lines); });
    preview.exec();
}
