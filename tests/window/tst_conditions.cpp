// Conditions on the lines: the entry and Ctrl+K, the dialog's live counts,
// its refusals, the kept lines shown and priced, kept across an option click
// until "Revenir à la liste complète", and applying cancelled.

#include "WindowDriving.h"

#include "tests/reduce/GuaranteeOracle.h"

#include <QDialog>
#include <QScopeGuard>
#include <QTabWidget>

namespace {

using driving::mergeQuinteOfAllBases;
using driving::shownLines;

// The dialog's field a screen reader calls `name`.
QLineEdit* field(QWidget& dialog, const QString& name)
{
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->accessibleName() == name)
            return edit;
    qFatal("The dialog has no field named %s", qPrintable(name));
}

QLabel* gardees(QWidget& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("lblGardees"));
}

QPushButton* okButton(QWidget& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("OK"))
            return button;
    qFatal("The dialog has no OK button");
}

// Types `text` in `edit` as the user does, replacing what it held.
void type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Opens the dialog by its menu entry and runs `use` on it while it shows,
// active; then closes it with "Annuler" if it still shows.
void useDialog(frmmenu& window, const std::function<void(QDialog&)>& use)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        opened = true;
        const QPointer<QDialog> alive = dialog;
        const auto close = qScopeGuard([&] {
            if (alive && alive->isVisible())
                alive->reject();
        });
        QCOMPARE(dialog->objectName(), QStringLiteral("dlgConditions"));
        // The offscreen platform leaves the focus on the window below.
        QApplication::setActiveWindow(dialog);
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        use(*dialog);
    });
    window.findChild<QAction*>(QStringLiteral("mnuConditions"))->trigger();
    QVERIFY(opened);
}

// Lines of bases 1..8, five to a line, without 1 or 2 (or any of `left`).
QStringList linesWithout(const QStringList& lines, const QStringList& left)
{
    QStringList kept;
    for (const QString& line : lines) {
        const QStringList horses = line.split(QLatin1Char('-'));
        if (std::none_of(left.begin(), left.end(), [&](const QString& h) { return horses.contains(h); }))
            kept << line;
    }
    return kept;
}

}  // namespace

class ConditionsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }

    void keptLinesAreShownPricedAndKeptAcrossAnOptionClick();
    void eachFieldRefusesWhatItCannotHold();
    void conditionsKeepingNoLineAreRefused();
    void theDialogIsNamedKeyboardUsableAndNarrowerThanTheWindow();
    void cancellingTheApplyingLeavesTheList();
    void aReductionAfterConditionsKeepsWhatTheKeptLinesPay();

private:
    std::unique_ptr<frmmenu> window_;
};

void ConditionsTest::keptLinesAreShownPricedAndKeptAcrossAnOptionClick()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);  // 56 lines at 2 Euros
    // The entry (tst_menus finds it in its menus): Ctrl+K.
    auto* entry = w.findChild<QAction*>(QStringLiteral("mnuConditions"));
    QCOMPARE(entry->shortcut(), QKeySequence(QStringLiteral("Ctrl+K")));
    QCOMPARE(entry->text().remove(QLatin1Char('&')), QStringLiteral("Conditions…"));
    Dialogs::TestAnswers user;
    useDialog(w, [&](QDialog& dialog) {
        type(field(dialog, QStringLiteral("Groupe 1 : chevaux (3 7 12)")), QStringLiteral("1-2"));
        type(field(dialog, QStringLiteral("Groupe 1 : au plus, par ligne")), QStringLiteral("0"));
        // Counted without a click: the 6 lines of horses 3 to 8, at 2 Euros each.
        QTRY_COMPARE(gardees(dialog)->text(), QStringLiteral("Lignes gardées : 6 sur 56 — 12 €"));
        QTest::mouseClick(okButton(dialog), Qt::LeftButton);
    });
    QCOMPARE(shownLines(w), linesWithout(driving::linesOfBasesAlone(8, 5), {"01", "02"}));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("6"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 12 Euros"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("liste filtrée par conditions")));

    ui(w).OptionQuoi[3]->click();  // Quarté: a new list, filtered the same way
    QCOMPARE(shownLines(w), linesWithout(driving::linesOfBasesAlone(8, 4), {"01", "02"}));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("15"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("liste filtrée par conditions")));

    // The dialog opens on the conditions set; emptied, it removes them.
    useDialog(w, [&](QDialog& dialog) {
        QCOMPARE(field(dialog, QStringLiteral("Groupe 1 : chevaux (3 7 12)"))->text(), QStringLiteral("1 2"));
        type(field(dialog, QStringLiteral("Groupe 1 : chevaux (3 7 12)")), QString());
        type(field(dialog, QStringLiteral("Groupe 1 : au moins, par ligne")), QString());
        type(field(dialog, QStringLiteral("Groupe 1 : au plus, par ligne")), QString());
        QTRY_VERIFY(gardees(dialog)->text().startsWith(QStringLiteral("Lignes gardées : 70 sur 70")));
        QTest::mouseClick(okButton(dialog), Qt::LeftButton);
    });
    QCOMPARE(ui(w).resultModel->rowCount(), 70);
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvanel de pronostics"));

    // Set again, then "Revenir à la liste complète": gone for the next merge too.
    useDialog(w, [&](QDialog& dialog) {
        type(field(dialog, QStringLiteral("Numéros consécutifs : au plus, par ligne")), QStringLiteral("1"));
        QTRY_VERIFY(gardees(dialog)->text().startsWith(QStringLiteral("Lignes gardées : 5 sur 70")));
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("5"));  // 1357 1358 1368 1468 2468
    w.findChild<QAction*>(QStringLiteral("mnuListeComplete"))->trigger();
    QCOMPARE(ui(w).resultModel->rowCount(), 70);
    ui(w).OptionQuoi[4]->click();
    QCOMPARE(ui(w).resultModel->rowCount(), 56);
    QVERIFY(user.shown.isEmpty());
}

void ConditionsTest::eachFieldRefusesWhatItCannotHold()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);
    useDialog(w, [&](QDialog& dialog) {
        QPushButton* ok = okButton(dialog);
        // `text` typed in field `name`: `fault` beside field `faulty`.
        const auto refused = [&](const QString& name, const QString& text, const QString& fault,
                                 const QString& faulty = {}) {
            QLineEdit* edit = field(dialog, name);
            type(edit, text);
            QTRY_COMPARE(field(dialog, faulty.isEmpty() ? name : faulty)->accessibleDescription(), fault);
            QVERIFY(!ok->isEnabled());
            const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
            QVERIFY2(std::any_of(labels.begin(), labels.end(),
                                 [&](QLabel* label) { return label->isVisible() && label->text() == fault; }),
                     qPrintable(fault));
            type(edit, QString());
            QTRY_VERIFY(ok->isEnabled());
        };
        refused(QStringLiteral("Groupe 2 : au moins, par ligne"), QStringLiteral("2"),
                QStringLiteral("Ce groupe n'a aucun cheval."), QStringLiteral("Groupe 2 : chevaux (3 7 12)"));
        type(field(dialog, QStringLiteral("Groupe 1 : chevaux (3 7 12)")), QStringLiteral("3,7,12"));
        refused(QStringLiteral("Groupe 1 : au moins, par ligne"), QStringLiteral("6"),
                QStringLiteral("Une ligne n'a que 5 chevaux."));
        refused(QStringLiteral("Groupe 1 : au plus, par ligne"), QStringLiteral("2.5"),
                QStringLiteral("Nombre entier attendu."));
        type(field(dialog, QStringLiteral("Groupe 1 : au moins, par ligne")), QStringLiteral("2"));
        refused(QStringLiteral("Groupe 1 : au plus, par ligne"), QStringLiteral("1"),
                QStringLiteral("Le minimum dépasse le maximum."), QStringLiteral("Groupe 1 : au moins, par ligne"));
        auto* tabs = dialog.findChild<QTabWidget*>();
        tabs->setCurrentIndex(1);
        refused(QStringLiteral("Associations interdites (3 7 ; 5 9 12)"), QStringLiteral("3 4 ; 5"),
                QStringLiteral("Une association compte au moins deux chevaux."));
        refused(QStringLiteral("Numéros consécutifs : au plus, par ligne"), QStringLiteral("0"),
                QStringLiteral("Au moins 1."));
        refused(QStringLiteral("Somme des numéros : au moins"), QStringLiteral("cinq"),
                QStringLiteral("Nombre entier attendu."));
        tabs->setCurrentIndex(0);
        refused(QStringLiteral("Groupe 3 : chevaux (3 7 12)"), QStringLiteral("4 x"),
                QStringLiteral("« x » n'est pas un numéro de cheval."));
        // Horse 12 stands in no line: accepted, and named.
        auto* absent = dialog.findChild<QLabel*>(QStringLiteral("lblAbsents"));
        QTRY_COMPARE(absent->text(), QStringLiteral("Le 12 n'est dans aucune ligne de la liste."));
        QVERIFY(ok->isEnabled());
    });
    QCOMPARE(ui(w).resultModel->rowCount(), 56);  // "Annuler": nothing changed
    QVERIFY(!w.ticket().hasConditions());
}

void ConditionsTest::conditionsKeepingNoLineAreRefused()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 8);
    Dialogs::TestAnswers user;
    useDialog(w, [&](QDialog& dialog) {
        // Five even numbers: there are four among 1 to 8.
        type(field(dialog, QStringLiteral("Numéros pairs : au moins, par ligne")), QStringLiteral("5"));
        QTRY_VERIFY(gardees(dialog)->text().startsWith(QStringLiteral("Lignes gardées : 0 sur 56")));
        QVERIFY(okButton(dialog)->isEnabled());
        QTest::mouseClick(okButton(dialog), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(user.texts(), QStringList{QStringLiteral("Aucune ligne ne remplit ces conditions.")});
    QCOMPARE(ui(w).resultModel->rowCount(), 56);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("56"));
    QVERIFY(!w.ticket().hasConditions());
}

void ConditionsTest::theDialogIsNamedKeyboardUsableAndNarrowerThanTheWindow()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 10);  // 252 lines
    useDialog(w, [&](QDialog& dialog) {
        QVERIFY2(dialog.frameGeometry().width() <= w.window()->frameGeometry().width(),
                 qPrintable(QString::number(dialog.frameGeometry().width())));
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            QVERIFY2(!edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
        // The small numbers go up to half the starters at first.
        QCOMPARE(field(dialog, QStringLiteral("Plus grand petit numéro"))->text(), QStringLiteral("5"));
        // Keys only: Alt+U opens the other tab, Alt+P goes to the even numbers.
        auto* tabs = dialog.findChild<QTabWidget*>();
        QTest::keyClick(&dialog, Qt::Key_U, Qt::AltModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
        QLineEdit* even = field(dialog, QStringLiteral("Numéros pairs : au moins, par ligne"));
        QCOMPARE(QApplication::focusWidget(), even);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QTRY_VERIFY(gardees(dialog)->text().startsWith(QStringLiteral("Lignes gardées : 1 sur 252")));  // 2-4-6-8-10
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(shownLines(w), QStringList{QStringLiteral("02-04-06-08-10")});
}

// Applying to a long list runs on a worker thread; "Annuler" leaves the list
// as it was. Horse 5 twice among the bases, in an association, sends every
// line through the general path, slow enough for the progress dialogue.
void ConditionsTest::cancellingTheApplyingLeavesTheList()
{
    frmmenu& w = *window_;
    driving::setStarters(w, 70);
    ui(w).lstBases->addItem(QStringLiteral("5"));
    driving::mergeBasesAlone(w, 71, 4);  // C(71, 5) = 13 019 909 lines
    const int rows = ui(w).resultModel->rowCount();
    Dialogs::TestAnswers user;
    user.cancelProgress = true;
    user.progressAtOnce = true;
    useDialog(w, [&](QDialog& dialog) {
        type(field(dialog, QStringLiteral("Associations interdites (3 7 ; 5 9 12)")), QStringLiteral("5 6"));
        QTest::mouseClick(okButton(dialog), Qt::LeftButton);
    });
    QCOMPARE(user.texts(Dialogs::Shown::Kind::Progress).size(), 1);
    QCOMPARE(ui(w).resultModel->rowCount(), rows);
    QVERIFY(!w.ticket().hasConditions());
}

void ConditionsTest::aReductionAfterConditionsKeepsWhatTheKeptLinesPay()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 12);  // 792 lines
    useDialog(w, [&](QDialog& dialog) {
        type(field(dialog, QStringLiteral("Groupe 1 : chevaux (3 7 12)")), QStringLiteral("1 2"));
        type(field(dialog, QStringLiteral("Groupe 1 : au plus, par ligne")), QStringLiteral("1"));
        QTRY_VERIFY(gardees(dialog)->text().startsWith(QStringLiteral("Lignes gardées : 672 sur 792")));
        QTest::mouseClick(okButton(dialog), Qt::LeftButton);
    });
    const torvanel::ShownLines kept = w.ticket().shown();
    QCOMPARE(kept.count(), std::uint64_t(672));
    {
        Dialogs::TestAnswers user;
        user.choose(0);  // Bonus 4
        w.findChild<QAction*>(QStringLiteral("mnuReduire"))->trigger();
    }
    const torvanel::ShownLines reduced = w.ticket().shown();
    QVERIFY(reduced.count() < kept.count());
    // Every reduced line is a kept line, and every arrival a kept line pays
    // stays paid.
    std::vector<std::uint64_t> within;
    for (std::uint64_t i = 0, k = 0; i < reduced.count(); ++i, ++k) {
        while (k < kept.count() && kept.fullIndex(k) != reduced.fullIndex(i))
            ++k;
        QVERIFY(k < kept.count());
        within.push_back(k);
    }
    QVERIFY(!torvanel::test::UnpaidArrival(torvanel::test::PlainLines(kept), torvanel::test::PlainLines(kept, within),
                                           torvanel::test::PuntersHorsesOf(kept.full()),
                                           torvanel::bets::PayoutClass::QuinteBonus4));
}

QTEST_MAIN(ConditionsTest)
#include "tst_conditions.moc"
