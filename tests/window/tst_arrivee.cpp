// After the race: "Contrôler une arrivée…" counts the paid lines class by
// class with their gains and balance, shows the paid lines in the colour of
// their class, and keeps what was typed; "Couverture de la liste…" tells
// which arrivals the list pays, lists and saves those it misses.

#include "WindowDriving.h"

#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

namespace {

using driving::mergeQuinteOfAllBases;
using driving::shownLines;
using Kind = Dialogs::Shown::Kind;

// Opens a dialogue with `open` and runs `use` on it once it shows (work on
// a worker thread may come first); then closes it if `use` has not,
// whatever `use` found.
void useDialog(const QString& name, const std::function<void()>& open, const std::function<void(QDialog&)>& use)
{
    bool shown = false;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        const QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name || shown)
            return;
        look.stop();
        shown = true;
        struct Closer {
            const QPointer<QDialog>& dialog;
            ~Closer()
            {
                if (dialog)
                    dialog->reject();
            }
        } closer{dialog};
        use(*dialog);
    });
    look.start();
    open();
    QVERIFY2(shown, qPrintable(name));
}

template <class T>
T* control(const QDialog& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("The dialogue has no %s", name);
    return found;
}

QString text(const QDialog& dialog, const char* label)
{
    return control<QLabel>(dialog, label)->text();
}

// A column of a table, top to bottom.
QStringList column(const QTableWidget* table, int column)
{
    QStringList cells;
    for (int row = 0; row < table->rowCount(); ++row)
        cells << table->item(row, column)->text();
    return cells;
}

void typeArrival(QDialog& dialog, const QString& arrival)
{
    auto* field = control<QLineEdit>(dialog, "txtArrivee");
    field->clear();
    QTest::keyClicks(field, arrival);
}

// A number of thousands as French writes it, the thousands set apart.
QString grouped(const QString& thousands, const QString& rest)
{
    return thousands + QLocale(QLocale::French, QLocale::France).groupSeparator() + rest;
}

QString euros(const QString& thousands, const QString& rest)
{
    return grouped(thousands, rest) + QStringLiteral(" €");
}

QAction* action(const frmmenu& w, const char* name)
{
    return w.findChild<QAction*>(QLatin1String(name));
}

}  // namespace

class ArrivalTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }

    void entriesStandInTheMenusAndAreOffForAnEmptyList();
    void aCheckedArrivalCountsPaidLinesGainsAndBalance();
    void refusalsShowBesideTheFieldAndShortArrivalsAreNotReckoned();
    void paidLinesShowInTheirClassColourAndTheEntryStays();
    void coverageOfATierceAndOfAReducedQuinte();
    void unpaidArrivalsAreListedAndSaved();
    void aCoverageTooLongIsRefused();
    void picturesForTheReadme();

private:
    std::unique_ptr<frmmenu> window_;
};

void ArrivalTest::entriesStandInTheMenusAndAreOffForAnEmptyList()
{
    frmmenu& w = *window_;
    const CommandMenu& lines = w.commandMenus()[1];
    QCOMPARE(lines.objectName, QStringLiteral("mnuCombinaisons"));
    QStringList names;
    for (const QAction* entry : lines.entries)
        names << entry->objectName();
    QVERIFY(names.contains(QStringLiteral("mnuControler")) && names.contains(QStringLiteral("mnuCouverture")));
    QCOMPARE(action(w, "mnuControler")->text(), QStringLiteral("Con&trôler une arrivée…"));
    QCOMPARE(action(w, "mnuControler")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    QCOMPARE(action(w, "mnuCouverture")->text(), QStringLiteral("Cou&verture de la liste…"));

    // From the keyboard on an empty list: a message, no dialogue.
    Dialogs::TestAnswers user;
    QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier);
    action(w, "mnuCouverture")->trigger();
    QCOMPARE(user.texts(), (QStringList{QStringLiteral("La liste des combinaisons est vide : il n'y a rien à contrôler."),
                                        QStringLiteral("La liste des combinaisons est vide : elle ne paie aucune arrivée.")}));

    driving::useContextMenu(w, [](QMenu& menu) {
        const QList<QAction*> entries = menu.actions();
        for (const char* name : {"mnuControler", "mnuCouverture"}) {
            const auto listed = std::find_if(entries.begin(), entries.end(),
                                             [name](const QAction* a) { return a->objectName() == QLatin1String(name); });
            QVERIFY2(listed != entries.end(), name);
            QVERIFY(!(*listed)->isEnabled());
        }
    });
}

void ArrivalTest::aCheckedArrivalCountsPaidLinesGainsAndBalance()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);  // 56 lines at 2 Euros
    QCOMPARE(ui(w).resultModel->rowCount(), 56);
    useDialog(QStringLiteral("dlgArrivee"), [&w] { QTest::keyClick(&w, Qt::Key_T, Qt::ControlModifier); },
              [&w](QDialog& dialog) {
                  QVERIFY(dialog.width() <= w.width());
                  auto* table = control<QTableWidget>(dialog, "tblGains");
                  QCOMPARE(column(table, 0), (QStringList{"Quinté ordre", "Quinté désordre", "Bonus 4", "Bonus 3"}));
                  QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Rapport pour 2 €"));
                  typeArrival(dialog, QStringLiteral("1-2-3-4-5"));
                  // Of the 56 lines of five among 1..8: 1-2-3-4-5 in order; 1-2-3-4 with 6, 7
                  // or 8; 1-2-3 with two of 5..8 but not 4 and 5 together: C(4,2) = 6.
                  QCOMPARE(column(table, 1), (QStringList{"1", "0", "3", "6"}));
                  table->item(0, 2)->setText(QStringLiteral("1000"));
                  table->item(2, 2)->setText(QStringLiteral("20,40"));
                  QCOMPARE(column(table, 3), (QStringList{euros("1", "000"), "", "61,20 €", ""}));
                  QCOMPARE(text(dialog, "lblGainTotal"), QStringLiteral("Gain total : ") + euros("1", "061,20"));
                  QCOMPARE(text(dialog, "lblCoutListe"), QStringLiteral("Coût de la liste : 112 € (56 lignes à 2 €)"));
                  QCOMPARE(text(dialog, "lblBilan"), QStringLiteral("Bilan : +949,20 €"));
                  QCOMPARE(text(dialog, "lblNote"),
                           QStringLiteral("Tapez le rapport des classes payées pour compter leur gain."));
                  // A payout that is not an amount counts nothing, and says so.
                  table->item(0, 2)->setText(QStringLiteral("mille"));
                  QCOMPARE(text(dialog, "lblBilan"), QStringLiteral("Bilan : \u221250,80 €"));
                  QVERIFY(!table->item(0, 2)->toolTip().isEmpty());
                  table->item(0, 2)->setText(QStringLiteral("1000"));
              });
    // Twice the unit stake: twice the gains, twice the cost.
    ui(w).txtUnite->setText(QStringLiteral("4"));
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [](QDialog& dialog) {
        QCOMPARE(control<QLineEdit>(dialog, "txtArrivee")->text(), QStringLiteral("1-2-3-4-5"));
        QCOMPARE(text(dialog, "lblGainTotal"), QStringLiteral("Gain total : ") + euros("2", "122,40"));
        QCOMPARE(text(dialog, "lblCoutListe"), QStringLiteral("Coût de la liste : 224 € (56 lignes à 4 €)"));
        QCOMPARE(text(dialog, "lblBilan"), QStringLiteral("Bilan : +") + euros("1", "898,40"));
    });
}

void ArrivalTest::refusalsShowBesideTheFieldAndShortArrivalsAreNotReckoned()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [](QDialog& dialog) {
        auto* table = control<QTableWidget>(dialog, "tblGains");
        auto* show = control<QPushButton>(dialog, "cmdLignesGagnantes");
        QVERIFY(text(dialog, "lblRefus").isEmpty());  // nothing typed yet: nothing refused
        const QList<std::pair<QString, QString>> refused{
            {"7-3-7", "Le 7 est tapé deux fois : un cheval n'arrive qu'à une place."},
            {"12 3.5", "« 3.5 » n'est pas un numéro de cheval : tapez des nombres entiers, séparés par des tirets, des "
                       "virgules ou des blancs."},
        };
        for (const auto& [typed, refusal] : refused) {
            typeArrival(dialog, typed);
            QCOMPARE(text(dialog, "lblRefus"), refusal);
            QCOMPARE(column(table, 1), QStringList(4, QStringLiteral("—")));
            QCOMPARE(text(dialog, "lblBilan"), QStringLiteral("Bilan : —"));
            QVERIFY(!show->isEnabled());
        }
        typeArrival(dialog, QString());
        control<QPushButton>(dialog, "cmdControler")->click();
        QCOMPARE(text(dialog, "lblRefus"),
                 QStringLiteral("Tapez l'arrivée : les numéros des premiers dans l'ordre, par exemple 12-3-7-1-5."));
        // Three finishers: only the Bonus 3 is reckoned, on every line holding them.
        typeArrival(dialog, QStringLiteral("1 2,3"));
        QVERIFY(text(dialog, "lblRefus").isEmpty());
        QCOMPARE(column(table, 1), (QStringList{"non compté", "non compté", "non compté", "10"}));
        QVERIFY(table->item(0, 1)->toolTip().contains(QStringLiteral("les 5 premiers")));
        QVERIFY(text(dialog, "lblNote").startsWith(QStringLiteral("Arrivée incomplète")));
        QVERIFY(show->isEnabled());
    });
}

void ArrivalTest::paidLinesShowInTheirClassColourAndTheEntryStays()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);
    const QString fullTitle = w.windowTitle();
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [](QDialog& dialog) {
        typeArrival(dialog, QStringLiteral("1-2-3-4-5"));
        control<QTableWidget>(dialog, "tblGains")->item(3, 2)->setText(QStringLiteral("8,5"));
        control<QPushButton>(dialog, "cmdLignesGagnantes")->click();
    });
    const QStringList paid = shownLines(w);
    QCOMPARE(paid.size(), 10);
    QCOMPARE(paid.first(), QStringLiteral("01-02-03-04-05"));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("10"));
    QCOMPARE(w.windowTitle(), fullTitle + QStringLiteral(" — lignes gagnantes de l'arrivée 1-2-3-4-5"));
    QVERIFY(action(w, "mnuListeComplete")->isEnabled());
    // Each line keeps its text and carries its class: a colour of its own and its name.
    const QAbstractItemModel* model = ui(w).lstResultat->model();
    QMap<QString, QColor> colours;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const QString name = index.data(Qt::ToolTipRole).toString();
        const QColor colour = index.data(Qt::BackgroundRole).value<QBrush>().color();
        QVERIFY(colour.isValid());
        QVERIFY(!colours.contains(name) || colours[name] == colour);
        colours[name] = colour;
    }
    QCOMPARE(colours.keys(), (QStringList{"Bonus 3", "Bonus 4", "Quinté ordre"}));
    QCOMPARE(QSet<QRgb>({colours["Bonus 3"].rgb(), colours["Bonus 4"].rgb(), colours["Quinté ordre"].rgb()}).size(), 3);

    // Opened again: what was typed is there, read against the list played,
    // not against the paid lines; a new arrival's paid lines take their place.
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [](QDialog& dialog) {
        auto* table = control<QTableWidget>(dialog, "tblGains");
        QCOMPARE(control<QLineEdit>(dialog, "txtArrivee")->text(), QStringLiteral("1-2-3-4-5"));
        QCOMPARE(table->item(3, 2)->text(), QStringLiteral("8,5"));
        QCOMPARE(column(table, 1), (QStringList{"1", "0", "3", "6"}));
        QCOMPARE(text(dialog, "lblCoutListe"), QStringLiteral("Coût de la liste : 112 € (56 lignes à 2 €)"));
        typeArrival(dialog, QStringLiteral("8-7-6-5-4"));
        control<QPushButton>(dialog, "cmdLignesGagnantes")->click();
    });
    QCOMPARE(w.ticket().stages().size(), std::size_t(1));
    QCOMPARE(shownLines(w).size(), 10);
    QCOMPARE(shownLines(w).last(), QStringLiteral("04-05-06-07-08"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("8-7-6-5-4")));

    action(w, "mnuListeComplete")->trigger();
    QCOMPARE(ui(w).resultModel->rowCount(), 56);
    QCOMPARE(w.windowTitle(), fullTitle);
    QVERIFY(!ui(w).lstResultat->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(w.ticket().arrivalEntry().finishers, std::string("8-7-6-5-4"));
}

void ArrivalTest::coverageOfATierceAndOfAReducedQuinte()
{
    frmmenu& w = *window_;
    driving::setStarters(w, 6);
    driving::mergeBasesAlone(w, 6, 2);  // Tiercé: the 20 lines of three among 1..6
    QCOMPARE(ui(w).resultModel->rowCount(), 20);
    useDialog(QStringLiteral("dlgCouverture"), [&w] { action(w, "mnuCouverture")->trigger(); }, [&w](QDialog& dialog) {
        QVERIFY(dialog.width() <= w.width());
        auto* table = control<QTableWidget>(dialog, "tblCouverture");
        QCOMPARE(table->columnCount(), 2);
        QCOMPARE(column(table, 0), (QStringList{"Tiercé ordre", "Tiercé désordre"}));
        // Each set of three is written once, in increasing order: one of its six orders.
        QCOMPARE(column(table, 1), (QStringList{"20 sur 120 (16,7 %)", "120 sur 120 (100 %)"}));
        table->setCurrentCell(1, 0);
        QCOMPARE(text(dialog, "lblPhrase"), QStringLiteral("Tiercé désordre : 120 arrivées sur 120 (100 %)"));
        QVERIFY(!control<QPushButton>(dialog, "cmdNonPayees")->isEnabled());
    });

    ui(w).cmdVider[2]->click();
    mergeQuinteOfAllBases(w, 9);  // 126 lines
    {
        Dialogs::TestAnswers user;
        user.choose(0);  // Bonus 4
        action(w, "mnuReduire")->trigger();
    }
    QVERIFY(ui(w).resultModel->rowCount() < 126);
    useDialog(QStringLiteral("dlgCouverture"), [&w] { action(w, "mnuCouverture")->trigger(); }, [](QDialog& dialog) {
        auto* table = control<QTableWidget>(dialog, "tblCouverture");
        QCOMPARE(table->columnCount(), 3);
        QCOMPARE(table->item(2, 0)->text(), QStringLiteral("Bonus 4"));
        QCOMPARE(table->item(2, 1)->text(), QStringLiteral("%1 sur %1 (100 %)").arg(grouped("3", "024")));
        QCOMPARE(table->item(2, 2)->text(), QStringLiteral("100 %"));
        QVERIFY(table->item(1, 2)->text() != QStringLiteral("100 %"));  // fewer lines, fewer Quinté désordre
        table->setCurrentCell(2, 0);
        QVERIFY(text(dialog, "lblPhrase").endsWith(
            QStringLiteral("\nla liste réduite paie 100 % de ce que paie la liste complète")));
    });
    // The reduced list is walked line by line; as guaranteed, a line holds the first four.
    const int kept = ui(w).resultModel->rowCount();
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [kept](QDialog& dialog) {
        typeArrival(dialog, QStringLiteral("9-1-5-2-7"));
        const QStringList counts = column(control<QTableWidget>(dialog, "tblGains"), 1);
        QVERIFY(counts[0].toInt() + counts[1].toInt() + counts[2].toInt() >= 1);
        QVERIFY(counts[0].toInt() + counts[1].toInt() + counts[2].toInt() + counts[3].toInt() <= kept);
        QCOMPARE(text(dialog, "lblCoutListe"), QStringLiteral("Coût de la liste : %1 € (%2 lignes à 2 €)").arg(2 * kept).arg(kept));
    });
}

void ArrivalTest::unpaidArrivalsAreListedAndSaved()
{
    frmmenu& w = *window_;
    driving::setStarters(w, 6);
    driving::mergeBasesAlone(w, 6, 2);
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("non-payees.txt"));
    useDialog(QStringLiteral("dlgCouverture"), [&w] { action(w, "mnuCouverture")->trigger(); }, [&](QDialog& dialog) {
        auto* list = control<QPushButton>(dialog, "cmdNonPayees");
        QVERIFY(list->isEnabled());  // the first row, Tiercé ordre, misses 100 arrivals
        useDialog(QStringLiteral("dlgNonPayees"), [list] { list->click(); }, [](QDialog& unpaid) {
            const QStringList lines = control<QPlainTextEdit>(unpaid, "txtNonPayees")->toPlainText().split('\n');
            QCOMPARE(lines.size(), 100);
            QCOMPARE(lines.mid(0, 3), (QStringList{"1-3-2", "1-4-2", "1-4-3"}));
        });
        Dialogs::TestAnswers user;
        user.type(fileName);
        control<QPushButton>(dialog, "cmdEnregistrer")->click();
        QCOMPARE(user.shown.size(), 1);
        QCOMPARE(user.shown[0].caption, QStringLiteral("Enregistrer les arrivées non payées"));
        QVERIFY(user.shown[0].text.endsWith(QStringLiteral("arrivees-non-payees-tierce-ordre.txt")));
    });
    QFile saved(fileName);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = saved.readAll().split('\n');
    QCOMPARE(lines.size(), 101);  // and the final line break
    QCOMPARE(lines[0], QByteArray("1-3-2"));
    QCOMPARE(lines[99], QByteArray("6-5-4"));
}

void ArrivalTest::aCoverageTooLongIsRefused()
{
    frmmenu& w = *window_;
    driving::setStarters(w, 99);
    driving::mergeBasesAlone(w, 99, 1);  // 2 sur 4: 4 851 lines, each against 4 of 99
    Dialogs::TestAnswers user;
    action(w, "mnuCouverture")->trigger();
    QCOMPARE(user.texts().size(), 1);
    QVERIFY2(user.texts()[0].contains(QStringLiteral("demanderait plus de 10 secondes")), qPrintable(user.texts()[0]));
}

// Not a test: with TORVANEL_PICTURES set to a folder, grabs the dialogues
// for the README (arrivee.png) and for a look at them.
void ArrivalTest::picturesForTheReadme()
{
    const QString folder = qEnvironmentVariable("TORVANEL_PICTURES");
    if (folder.isEmpty())
        QSKIP("TORVANEL_PICTURES is not set");
    frmmenu& w = *window_;
    driving::setStarters(w, 12);
    driving::selectHorses(ui(w).lstBases, {3, 7});
    driving::selectHorses(ui(w).lstOuts, {1, 2, 4, 5, 6, 8, 9, 10, 11, 12});
    ui(w).OptionQuoi[4]->click();
    ui(w).OptionTierce[6]->click();  // 2 bases + 3 outs: 120 lines
    QCOMPARE(ui(w).resultModel->rowCount(), 120);
    useDialog(QStringLiteral("dlgArrivee"), [&w] { action(w, "mnuControler")->trigger(); }, [&](QDialog& dialog) {
        typeArrival(dialog, QStringLiteral("3-7-1-2-5"));
        auto* table = control<QTableWidget>(dialog, "tblGains");
        const QStringList payouts{"2 140,60", "42,80", "18,60", "6,20"};
        for (int row = 0; row < payouts.size(); ++row)
            table->item(row, 2)->setText(payouts[row]);
        control<QPushButton>(dialog, "cmdLignesGagnantes")->click();
        const QImage window = w.grab().toImage();
        const QImage checked = dialog.grab().toImage();
        QImage both(window.width() + checked.width() + 8, std::max(window.height(), checked.height()),
                    QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, window);
        painter.drawImage(window.width() + 8, 0, checked);
        painter.end();
        QVERIFY(both.save(folder + QStringLiteral("/arrivee.png")));
        QVERIFY(checked.save(folder + QStringLiteral("/dlgArrivee.png")));
    });
    useDialog(QStringLiteral("dlgCouverture"), [&w] { action(w, "mnuCouverture")->trigger(); }, [&](QDialog& dialog) {
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/dlgCouverture.png")));
        auto* list = control<QPushButton>(dialog, "cmdNonPayees");
        useDialog(QStringLiteral("dlgNonPayees"), [list] { list->click(); }, [&](QDialog& unpaid) {
            QVERIFY(unpaid.grab().save(folder + QStringLiteral("/dlgNonPayees.png")));
        });
    });
}

QTEST_MAIN(ArrivalTest)
#include "tst_arrivee.moc"
