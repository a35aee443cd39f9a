// The window on the desktop: copying the result list (Ctrl+C and the context
// menu) and saving it to a file (Ctrl+S), long copies and saves with their
// progress dialogue, accessible names and use with the keyboard alone.

#include "WindowDriving.h"

#include "app/ControlTable.h"
#include "app/ResultClipboard.h"
#include "app/WindowLook.h"

#include <QAccessible>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>

#include <optional>

#include <unistd.h>

namespace {

const QString kUntouched = QStringLiteral("(presse-papiers d'avant)");

QString clipboardText()
{
    return QApplication::clipboard()->text();
}

using driving::mergeQuinteOfAllBases;
using driving::ScratchDisk;
using driving::selectHorses;
using Kind = Dialogs::Shown::Kind;

QByteArray contents(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(absent)");
}

void writeFile(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QApplication::clipboard()->setText(kUntouched);
        driving::openWindow(window_);
    }
    void cleanup() { window_.reset(); user_.reset(); }

    void ctrlCCopiesEveryLineWhateverIsSelected();
    void contextMenuEntryCopiesAndIsOffForAnEmptyList();
    void longCopyShowsProgressAndCanBeCancelled();
    void listTooLongForTheClipboardIsRefused();

    void ctrlSSavesTextOrCsvAndNothingForAnEmptyList();
    void failedSaveNamesFileAndReasonAndLeavesNothing();
    void cancelledLongSaveLeavesNoFile();

    void everyControlHasAUniqueFrenchName();
    void keyboardAloneRunsAMerge();
    void tabStopsOnceInEachGroupAndOnlyOnWhatIsSeen();
    void picturesAreDrawnAtTheScreenDensity();

private:
    // Ctrl+S, the user giving `fileName`, and pressing "Annuler" as soon as a
    // progress dialogue shows if `cancel`; gives the name the dialogue offered.
    QString saveAs(const QString& fileName, bool cancel = false);
    // What the last job's progress dialogues said; another box is marked.
    QString progressSaid() const;

    std::unique_ptr<frmmenu> window_;
    std::optional<Dialogs::TestAnswers> user_;  // a fresh one for each job
};

QString DesktopTest::progressSaid() const
{
    QStringList said;
    for (const Dialogs::Shown& box : user_->shown)
        if (box.kind != Kind::Question)  // the file name, which saveAs gives
            said << (box.kind == Kind::Progress && box.caption == "Torvanel de pronos" ? "" : "[another box] ") + box.text;
    return said.join(" + ");
}

void DesktopTest::ctrlCCopiesEveryLineWhateverIsSelected()
{
    frmmenu& w = *window_;
    // Tiercé, bases with outsiders, 2 bases + 1 out: the start-up choices.
    selectHorses(ui(w).lstBases, {3, 5, 7});
    selectHorses(ui(w).lstOuts, {1, 12});
    ui(w).cmdFusionner->click();
    QCOMPARE(ui(w).resultModel->rowCount(), 6);

    // One line selected, and the focus on it: the copy still takes them all.
    ui(w).lstResultat->setCurrentIndex(ui(w).resultModel->index(4));
    ui(w).lstResultat->setFocus();
    QTest::keyClick(ui(w).lstResultat, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), QStringLiteral("03-05-01\n03-05-12\n03-07-01\n03-07-12\n05-07-01\n05-07-12"));
    QCOMPARE(ui(w).lstResultat->selectionModel()->selectedIndexes().size(), 1);

    // A text box keeps its own Ctrl+C.
    ui(w).txtPartants->setFocus();
    ui(w).txtPartants->selectAll();
    QTest::keyClick(ui(w).txtPartants, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), QStringLiteral("18"));

    // "Vider" empties the list; a copy of nothing leaves the clipboard alone.
    ui(w).cmdVider[2]->click();
    ui(w).lstResultat->setFocus();
    QTest::keyClick(ui(w).lstResultat, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), QStringLiteral("18"));
}

void DesktopTest::contextMenuEntryCopiesAndIsOffForAnEmptyList()
{
    frmmenu& w = *window_;
    // What the menu offers, read while it is open, then closed or chosen.
    const auto openMenu = [&w](bool choose) {
        QString entry;
        bool enabled = false;
        driving::useContextMenu(w, [&](QMenu& menu) {
            // Saving (and reducing) the lines sit beside copying them, on
            // and off with it, and a screen reader names them by their text.
            // Every command of the menu bar is there too, the list's own first.
            QStringList names;
            for (const QAction* entry : menu.actions())
                if (!entry->isSeparator())
                    names << entry->objectName();
            QCOMPARE(names, (QStringList{"mnuCopier", "mnuEnregistrer", "mnuReduire", "mnuConditions", "mnuControler",
                                         "mnuCouverture", "mnuListeComplete", "mnuImprimer", "mnuImprimerPronostic",
                                         "mnuOuvrir", "mnuPronosticsRecents", "mnuEnregistrerPronostic",
                                         "mnuNotePronostic", "mnuMontrez", "mnuAPropos",
                                         "mnuQuitter"}));
            QAction* action = menu.actions().first();
            QCOMPARE(menu.actions()[1]->objectName(), QStringLiteral("mnuEnregistrer"));
            QCOMPARE(menu.actions()[1]->isEnabled(), action->isEnabled());
            QCOMPARE(menu.actions()[2]->isEnabled(), action->isEnabled());
            QCOMPARE(QAccessible::queryAccessibleInterface(&menu)->child(1)->text(QAccessible::Name),
                     QStringLiteral("Enregistrer les combinaisons…"));
            entry = action->text();
            enabled = action->isEnabled();
            if (choose && enabled)
                action->trigger();
        });
        return std::pair{entry, enabled};
    };

    QCOMPARE(openMenu(true), std::pair(QStringLiteral("Copier"), false));
    QCOMPARE(clipboardText(), kUntouched);

    selectHorses(ui(w).lstBases, {1, 2});
    selectHorses(ui(w).lstOuts, {9});
    ui(w).OptionQuoi[0]->click();  // Couplé, 1 base + 1 out
    QCOMPARE(openMenu(true), std::pair(QStringLiteral("Copier"), true));
    QCOMPARE(clipboardText(), QStringLiteral("01-09\n02-09"));
    // The entry is off only while the menu shows an empty list.
    QVERIFY(w.findChild<ResultClipboard*>()->copyAction()->isEnabled());
}

void DesktopTest::longCopyShowsProgressAndCanBeCancelled()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 40);
    const int lines = 658008;  // 40 horses, five at a time
    QCOMPARE(ui(w).resultModel->rowCount(), lines);
    ResultClipboard* copier = w.findChild<ResultClipboard*>();

    // Cancelled as soon as its dialogue shows: the clipboard is as it was.
    user_.emplace().cancelProgress = true;
    copier->copyLines();
    QVERIFY2(progressSaid().startsWith(QStringLiteral("Copie des combinaisons")), qPrintable(progressSaid()));
    QCOMPARE(clipboardText(), kUntouched);

    // Left to run, it copies every line.
    user_.emplace();
    copier->copyLines();
    QVERIFY(user_->texts(Kind::Progress).size() > 0);
    const QStringList copied = clipboardText().split(QLatin1Char('\n'));
    QCOMPARE(copied.size(), lines);
    QCOMPARE(copied.first(), QStringLiteral("01-02-03-04-05"));
    QCOMPARE(copied[1], QStringLiteral("01-02-03-04-06"));
    QCOMPARE(copied[clipboard::kLinesPerStep], ui(w).resultModel->data(ui(w).resultModel->index(int(clipboard::kLinesPerStep))).toString());
    QCOMPARE(copied.last(), QStringLiteral("36-37-38-39-40"));
}

void DesktopTest::listTooLongForTheClipboardIsRefused()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 70);  // 12 103 014 lines
    QVERIFY(std::uint64_t(ui(w).resultModel->rowCount()) > clipboard::kMaxCopiedLines);

    user_.emplace();
    w.findChild<ResultClipboard*>()->copyAction()->trigger();
    QCOMPARE(user_->shown.size(), 1);
    const QString message = user_->texts().value(0);
    QVERIFY2(message.contains(QStringLiteral("trop pour le presse-papiers")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("103")), qPrintable(message));
    QCOMPARE(clipboardText(), kUntouched);
}

QString DesktopTest::saveAs(const QString& fileName, bool cancel)
{
    user_.emplace().type(fileName).cancelProgress = cancel;
    ui(window_).txtPartants->setFocus();  // anywhere in the window
    QTest::keyClick(ui(window_).txtPartants, Qt::Key_S, Qt::ControlModifier);
    return user_->texts(Kind::Question).value(0);
}

void DesktopTest::ctrlSSavesTextOrCsvAndNothingForAnEmptyList()
{
    frmmenu& w = *window_;
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("lignes.txt"));
    QCOMPARE(saveAs(text), QString());  // the dialogue is not even opened
    QCOMPARE(user_->texts(), QStringList{"La liste des combinaisons est vide : il n'y a rien à enregistrer."});
    selectHorses(ui(w).lstBases, {3, 5, 7});
    selectHorses(ui(w).lstOuts, {1, 12});
    ui(w).cmdFusionner->click();  // Tiercé, 2 bases + 1 out
    writeFile(text, "une ancienne liste\n");
    QCOMPARE(QFileInfo(saveAs(text)).fileName(), QStringLiteral("tierce-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(contents(text), QByteArray("03-05-01\n03-05-12\n03-07-01\n03-07-12\n05-07-01\n05-07-12\n"));

    ui(w).Option1[0]->click();     // bases only...
    ui(w).OptionQuoi[0]->click();  // ...two at a time (Couplé)
    const QString csv = folder.filePath(QStringLiteral("lignes.CSV"));
    QCOMPARE(QFileInfo(saveAs(csv)).fileName().left(7), QStringLiteral("couple-"));
    QCOMPARE(contents(csv), QByteArray("03;05\n03;07\n05;07\n"));
    QCOMPARE(entriesOf(folder.path()), QStringList({"lignes.CSV", "lignes.txt"}));

    // A negative horse keeps one column, written as the list writes it.
    ui(w).lstBases->addItem(QStringLiteral("-3"));
    ui(w).lstBases->item(ui(w).lstBases->count() - 1)->setSelected(true);
    ui(w).cmdFusionner->click();
    saveAs(csv);
    QCOMPARE(contents(csv), QByteArray("03;05\n03;07\n03;0-3\n05;07\n05;0-3\n07;0-3\n"));
}

// A folder that refuses the write, a name that is a folder and a full disk:
// the message names the file and the reason, and only what was there stays.
void DesktopTest::failedSaveNamesFileAndReasonAndLeavesNothing()
{
    mergeQuinteOfAllBases(*window_, 18);  // 8 568 lines, 128 520 bytes
    const auto failingSave = [this](const QString& fileName, const QString& reason) {
        saveAs(fileName);
        const QStringList said = user_->texts();
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(
                     QStringLiteral("Impossible d'enregistrer les combinaisons dans « %1 » : %2.").arg(fileName, reason)),
                 qPrintable(said.first()));
    };
    // Root writes in any folder of a writable disk: a read-only disk refuses it.
    const bool root = geteuid() == 0;
    std::optional<ScratchDisk> readOnly;
    QTemporaryDir locked;
    QString refusing = locked.path();
    if (root) {
        readOnly.emplace(QStringLiteral("ro,size=64k"));
        QVERIFY(readOnly->mounted());
        refusing = readOnly->path();
    } else {
        QFile::setPermissions(refusing, QFile::ReadOwner | QFile::ExeOwner);
    }
    failingSave(refusing + QStringLiteral("/lignes.txt"),
                root ? QStringLiteral("le disque est en lecture seule") : QStringLiteral("l'écriture y est refusée"));
    QCOMPARE(entriesOf(refusing), QStringList());
    QTemporaryDir folder;
    failingSave(folder.path(), QStringLiteral("c'est un dossier"));
    QCOMPARE(entriesOf(folder.path()), QStringList());

    if (!root)
        QSKIP("a full disk needs a small tmpfs, which only root can mount");
    ScratchDisk small(QStringLiteral("size=64k"));
    if (!small.mounted())
        QSKIP("this machine lets no one mount a small tmpfs");
    const QString old = small.path() + QStringLiteral("/lignes.txt");
    writeFile(old, "une ancienne liste\n");
    failingSave(old, QStringLiteral("le disque est plein"));
    QCOMPARE(contents(old), QByteArray("une ancienne liste\n"));
    QCOMPARE(entriesOf(small.path()), QStringList({"lignes.txt"}));
}

void DesktopTest::cancelledLongSaveLeavesNoFile()
{
    mergeQuinteOfAllBases(*window_, 40);  // 658 008 lines
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("lignes.txt"));
    saveAs(fileName, true);
    QVERIFY2(progressSaid().startsWith(QStringLiteral("Enregistrement des combinaisons")), qPrintable(progressSaid()));
    QCOMPARE(entriesOf(folder.path()), QStringList());

    // Left to run, it writes every line, in many pieces.
    saveAs(fileName);
    QVERIFY(user_->texts(Kind::Progress).size() > 0);
    const QList<QByteArray> lines = contents(fileName).split('\n');
    QCOMPARE(lines.size(), 658008 + 1);  // the last is empty: a final line break
    QCOMPARE(lines[100000], ui(window_).resultModel->data(ui(window_).resultModel->index(100000)).toString().toLatin1());
    QCOMPARE(lines[658007], QByteArray("36-37-38-39-40"));
}

void DesktopTest::everyControlHasAUniqueFrenchName()
{
    QStringList names;
    for (QWidget* control : window_->findChildren<QWidget*>()) {
        const QString container = control->parentWidget()->objectName();
        const bool isControl = control->parentWidget() == window_.get() || container == QLatin1String("Frame2")
                            || container.startsWith(QLatin1String("PictureDetail"));
        // Labels are read by their own text; pictures are labels too.
        if (!isControl || (qobject_cast<QLabel*>(control) && !qobject_cast<PictureBox*>(control)))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        const QString name = accessible->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        names << name;
    }
    QVERIFY(names.size() >= 45);
    const QSet<QString> unique(names.begin(), names.end());
    QCOMPARE(unique.size(), names.size());

    const auto nameOf = [](QWidget* control) {
        return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
    };
    frmmenu& w = *window_;
    const std::pair<QWidget*, const char*> named[] = {
        {ui(w).txtPartants, "Nombre de partants"}, {ui(w).Option1[3], "Bases avec Outsiders (fusionner)"},
        {ui(w).ChkInclure[1], "Inclure aussi outsiders entre eux"}, {ui(w).cmdTous[1], "Tous (outsiders)"},
        {ui(w).cmdVider[2], "Vider (combinaisons)"}, {ui(w).OptionQuoi[3], "Quarté"}, {ui(w).Image1, "Sortie"}};
    for (const auto& [control, name] : named)
        QCOMPARE(nameOf(control), QString::fromUtf8(name));
    // The counters are read by their value, described by what they count.
    ui(w).lstBases->item(0)->setSelected(true);
    ui(w).lstOuts->item(1)->setSelected(true);
    ui(w).OptionQuoi[0]->click();
    QCOMPARE(nameOf(ui(w).lblQtetotale), ui(w).lblQtetotale->text());
    QCOMPARE(QAccessible::queryAccessibleInterface(ui(w).lblQtetotale)->text(QAccessible::Description),
             QStringLiteral("Quantité de combinaisons"));
}

void DesktopTest::keyboardAloneRunsAMerge()
{
    frmmenu& w = *window_;
    // Five starters typed and confirmed with ENTER.
    ui(w).txtPartants->setFocus();
    QTest::keyClick(ui(w).txtPartants, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(ui(w).txtPartants, QStringLiteral("5"));
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Return);
    QCOMPARE(ui(w).lstBases->count(), 5);

    // Shift+Tab back to the bases; the arrows move, Space toggles one entry.
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), ui(w).lstBases);
    // Horse 1, horse 2, horse 3 and off again, horse 4.
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space,
                        Qt::Key_Space, Qt::Key_Down, Qt::Key_Space})
        QTest::keyClick(ui(w).lstBases, key);
    QCOMPARE(driving::entries(ui(w).lstBases, true), QStringList({"1", "2", "4"}));

    // Tab on to the outsiders, pick horse 5, then Tab to "Fusionner".
    QTest::keyClick(ui(w).lstBases, Qt::Key_Tab);
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui(w).lstOuts);
    QTest::keyClick(ui(w).lstOuts, Qt::Key_End);
    QTest::keyClick(ui(w).lstOuts, Qt::Key_Space);
    QCOMPARE(driving::entries(ui(w).lstOuts, true), QStringList({"5"}));
    QTest::keyClick(ui(w).lstOuts, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui(w).lstResultat);
    QTest::keyClick(ui(w).lstResultat, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui(w).cmdFusionner);
    QTest::keyClick(ui(w).cmdFusionner, Qt::Key_Space);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("3"));  // 2 bases + 1 out of 1, 2, 4 and 5

    // And the lines go to the clipboard from the keyboard too.
    QTest::keyClick(ui(w).cmdFusionner, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), ui(w).lstResultat);
    QTest::keyClick(ui(w).lstResultat, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboardText(), QStringLiteral("01-02-05\n01-04-05\n02-04-05"));
}

// Tab from the bases round to them again: every control it stops on must be
// the one seen at its place (not one covered by the split panel in front),
// and a group of options is one stop, at its selected option.
void DesktopTest::tabStopsOnceInEachGroupAndOnlyOnWhatIsSeen()
{
    frmmenu& w = *window_;
    const auto tabCycle = [&w] {
        QStringList stops;
        ui(w).lstBases->setFocus();
        for (int step = 0; step < 100; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            if (focused == ui(w).lstBases)
                return stops;
            const QPoint centre = focused->mapTo(&w, focused->rect().center());
            QWidget* seen = w.childAt(centre);
            if (seen != focused && !focused->isAncestorOf(seen))
                stops << QStringLiteral("covered:") + focused->objectName();
            stops << focused->objectName();
        }
        return stops << QStringLiteral("no way back to lstBases");
    };
    const auto optionStops = [](const QStringList& stops, const QString& group) {
        return stops.filter(QRegularExpression(QStringLiteral("^") + group + QStringLiteral("_\\d$")));
    };

    // Options chosen away from their start-up ones, for horses that let
    // every merge run.
    selectHorses(ui(w).lstBases, {1, 2, 3});
    selectHorses(ui(w).lstOuts, {4, 5, 6, 7});
    ui(w).OptionQuoi[4]->click();
    ui(w).OptionTierce[6]->click();
    ui(w).Option1[1]->click();
    QStringList stops = tabCycle();
    QVERIFY2(stops.filter(QStringLiteral("covered:")).isEmpty(), qPrintable(stops.join(' ')));
    QCOMPARE(optionStops(stops, "OptionQuoi"), QStringList{"OptionQuoi_4"});
    QCOMPARE(optionStops(stops, "Option1"), QStringList{"Option1_1"});
    QCOMPARE(optionStops(stops, "OptionTierce"), QStringList{"OptionTierce_6"});
    for (const char* control : {"txtPartants", "lstOuts", "cmdFusionner", "txtUnite", "ChkInclure_0",
                                "ChkInclure_1", "cmdVider_2", "txtInserer_1", "Command2"})
        QVERIFY2(stops.contains(QLatin1String(control)), control);

    // The Couplé's panel has no split: Tab finds none of the panels behind.
    ui(w).OptionQuoi[0]->click();
    stops = tabCycle();
    QVERIFY2(stops.filter(QStringLiteral("covered:")).isEmpty(), qPrintable(stops.join(' ')));
    QCOMPARE(optionStops(stops, "OptionTierce"), QStringList{});
    QCOMPARE(optionStops(stops, "OptionQuoi"), QStringList{"OptionQuoi_0"});

    // Within the group the arrows choose: the Tiercé brings its splits back.
    ui(w).OptionQuoi[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(ui(w).OptionQuoi[0], Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QVERIFY(ui(w).OptionQuoi[2]->isChecked());
    QCOMPARE(optionStops(tabCycle(), "OptionTierce"), QStringList{"OptionTierce_1"});

    // The fusion types' arrows stay among the fusion types, whichever way
    // they go, and leave the bet type and the split as they were; a move
    // runs its handler once, as a click does.
    ui(w).Option1[1]->setFocus(Qt::TabFocusReason);
    QSet<QString> visited;
    QSignalSpy merges(ui(w).resultModel, &QAbstractItemModel::modelReset);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up,
                        Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left}) {
        const QString from = QApplication::focusWidget()->objectName();
        merges.clear();
        QTest::keyClick(QApplication::focusWidget(), key);
        auto* focused = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        QVERIFY2(focused && focused->objectName().startsWith(QLatin1String("Option1_")),
                 qPrintable(QApplication::focusWidget()->objectName()));
        QVERIFY(focused->isChecked());
        QCOMPARE(merges.count(), int(focused->objectName() != from));
        visited << focused->objectName();
        QCOMPARE(std::count_if(ui(w).Option1.begin(), ui(w).Option1.end(), [](auto* o) { return o->isChecked(); }), 1);
    }
    QCOMPARE(visited.size(), 4);
    QVERIFY(ui(w).OptionQuoi[2]->isChecked());
    QVERIFY(ui(w).OptionTierce[1]->isChecked());
}

// Where the race picture or the exit picture is what one sees, the window
// shows them exactly as the SVG drawn at the screen's density: a picture
// drawn at 1x and stretched on a 2x screen would blur every edge. ctest runs
// this at scale 1 and again at scale 2.
void DesktopTest::picturesAreDrawnAtTheScreenDensity()
{
    frmmenu& w = *window_;
    const qreal ratio = w.devicePixelRatioF();
    const QImage shown = w.grab().toImage();
    QCOMPARE(shown.size(), w.size() * ratio);

    QImage expected(shown.size(), QImage::Format_ARGB32_Premultiplied);
    expected.setDevicePixelRatio(ratio);
    QPainter painter(&expected);
    painter.fillRect(w.rect(), QColor::fromRgba(controls::Olive));
    painter.drawPixmap(0, 0, look::renderPicture(QStringLiteral(":/assets/background.svg"), look::BackgroundSize,
                                                 Qt::transparent, ratio));
    painter.drawPixmap(ui(w).Image1->pos(), look::renderPicture(QStringLiteral(":/assets/exit.svg"), ui(w).Image1->size(),
                                                            Qt::transparent, ratio));
    painter.end();

    int compared = 0;
    int differing = 0;
    for (int y = 0; y < w.height(); ++y)
        for (int x = 0; x < w.width(); ++x) {
            QWidget* top = w.childAt(x, y);
            if (top && top != ui(w).Image1)
                continue;
            for (int dy = 0; dy < int(ratio); ++dy)
                for (int dx = 0; dx < int(ratio); ++dx) {
                    const QPoint device(int(x * ratio) + dx, int(y * ratio) + dy);
                    const QRgb a = shown.pixel(device);
                    const QRgb b = expected.pixel(device);
                    ++compared;
                    differing += std::abs(qRed(a) - qRed(b)) > 2 || std::abs(qGreen(a) - qGreen(b)) > 2
                              || std::abs(qBlue(a) - qBlue(b)) > 2;
                }
        }
    qInfo("Scale %g: %d of %d picture pixels differ from the SVG at that scale", ratio, differing, compared);
    QVERIFY(compared > w.width() * w.height() * ratio * ratio / 4);
    QCOMPARE(differing, 0);
}

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
