// Horse entry, purge, selection and reordering, driven through the window's
// real widgets; the user's answers to its boxes are given through Dialogs.

#include "WindowDriving.h"

namespace {

const QString kCancel;  // null: the question is cancelled

// Runs `action`, the user giving the next of `answers` to each question (a
// null one cancels it and those after). Returns the texts of the boxes and
// questions shown; one with another caption is marked.
QStringList answering(const std::function<void()>& action, const QStringList& answers = {})
{
    Dialogs::TestAnswers user;
    for (const QString& answer : answers) {
        if (answer.isNull())
            break;
        user.type(answer);
    }
    action();
    QStringList seen;
    for (const Dialogs::Shown& box : user.shown)
        seen << (box.caption == "Torvanel de pronos" ? "" : "[caption] ") + box.text;
    return seen;
}

using driving::entries;

// Selected places, counted from 1 as the position question counts them.
QList<int> selected(const QListWidget* list)
{
    QList<int> places;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected())
            places << row + 1;
    return places;
}

QPoint placeAt(const QListWidget* list, int place)
{
    return list->visualItemRect(list->item(place - 1)).center();
}

void click(QListWidget* list, int place, Qt::KeyboardModifiers keys = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, placeAt(list, place));
}

// SHIFT+press below the last entry, on no horse.
void shiftBeside(QListWidget* list)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier, {5, list->viewport()->height() - 3});
}

void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, text);
}

// Types into an insert box and presses ENTER; returns the boxes shown.
QStringList insert(QLineEdit* box, const QString& text)
{
    retype(box, text);
    return answering([box] { QTest::keyClick(box, Qt::Key_Return); });
}

QStringList question(const QString& horse, const QString& refusal = {})
{
    QStringList texts{QStringLiteral("En quelle position est-ce que le cheval %1 va aller?").arg(horse)};
    if (!refusal.isEmpty())
        texts << QStringLiteral("La position « %1 » n'existe pas : tapez un nombre de 1 à 3. "
                                "Le cheval reste à sa place.").arg(refusal);
    return texts;
}

}  // namespace

class EntryTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window); }
    void cleanup() { window.reset(); }

    void insertAppendsUpToTheStartersBox();
    void insertRefusalsKeepTheTypedText();
    void losingFocusDropsWorthlessEntries();
    void shiftClickMovesTheTopmostSelectedHorse();
    void badAnswersMoveNothing();
    void otherPressesToggleOneEntry();
    void tousAucunViderLeaveTheMergeAlone();

private:
    void fillBases(const QStringList& texts)
    {
        QTest::mouseClick(ui(window).cmdVider[0], Qt::LeftButton);
        for (const QString& text : texts)
            QCOMPARE(insert(ui(window).txtInserer[0], text), QStringList());
    }
    std::unique_ptr<frmmenu> window;
};

void EntryTest::insertAppendsUpToTheStartersBox()
{
    QLineEdit* box = ui(window).txtInserer[0];
    QCOMPARE(insert(box, "18"), QStringList());
    QCOMPARE(insert(box, "19"), QStringList("Le nombre de partants étant de18, vous ne pouvez pas insérer "
                                            "un cheval avec le numéro 19. Veuillez recommencer."));
    QVERIFY(box->text().isEmpty());
    QCOMPARE(window->focusWidget(), box);
    // The starters box as it stands, without ENTER.
    retype(ui(window).txtPartants, "12");
    QCOMPARE(insert(box, "13").value(0).left(33), QStringLiteral("Le nombre de partants étant de12,"));
    for (const char* typed : {"12", "7", "7", "abc", ""})
        QCOMPARE(insert(ui(window).txtInserer[1], typed), QStringList());
    QCOMPARE(entries(ui(window).lstBases).mid(17), QStringList({"18", "18"}));
    QCOMPARE(entries(ui(window).lstOuts).mid(17), QStringList({"18", "12", "7", "7", "abc", ""}));
    QVERIFY(selected(ui(window).lstOuts).isEmpty());
}

void EntryTest::insertRefusalsKeepTheTypedText()
{
    QLineEdit* box = ui(window).txtInserer[0];
    retype(ui(window).txtPartants, "");
    QCOMPARE(insert(box, "5"), QStringList("Le nombre de partants n'est pas indiqué. Tapez-le d'abord dans la "
                                           "case « Nombre de partants », puis validez de nouveau votre numéro."));
    retype(ui(window).txtPartants, "40000");
    QCOMPARE(insert(box, "40000"), QStringList("Le numéro 40000 est hors des limites : un numéro de cheval doit "
                                               "être compris entre -32768 et 32767. Veuillez le corriger."));
    QCOMPARE(box->text(), QStringLiteral("40000"));
    QCOMPARE(ui(window).lstBases->count(), 18);

    driving::setStarters(*window, 32767);
    QCOMPARE(insert(box, "5").size(), 1);
    QCOMPARE(ui(window).lstBases->count(), 32767);
}

void EntryTest::losingFocusDropsWorthlessEntries()
{
    fillBases({"3", "", "0", "abc", "-2", ".5", "5"});
    click(ui(window).lstBases, 7);
    QTest::mouseClick(ui(window).txtInserer[0], Qt::LeftButton);
    QCOMPARE(entries(ui(window).lstBases), QStringList({"3", "-2", ".5", "5"}));
    QCOMPARE(selected(ui(window).lstBases), QList<int>{4});
}

// The press's own toggle of the pressed entry comes after the question.
void EntryTest::shiftClickMovesTheTopmostSelectedHorse()
{
    QListWidget* list = ui(window).lstBases;
    driving::setStarters(*window, 5);
    click(list, 4);
    QCOMPARE(answering([&] { shiftBeside(list); }, {"1"}), question("4"));
    QCOMPARE(entries(list), QStringList({"4", "2", "3", "1", "5"}));
    QCOMPARE(selected(list), QList<int>{4});

    // With 2 and 5 selected, a press on 5 asks about the horse at 2 ...
    click(list, 4);
    click(list, 2);
    click(list, 5);
    QCOMPARE(answering([&] { click(list, 5, Qt::ShiftModifier); }, {"3"}), question("2"));
    QCOMPARE(entries(list), QStringList({"4", "3", "2", "1", "5"}));
    // ... which has cleared 5 before the press toggles it back.
    QCOMPARE(selected(list), QList<int>({2, 5}));

    // With nothing selected, nothing is asked; the press selects its entry.
    QCOMPARE(answering([&] { shiftBeside(ui(window).lstOuts); }), QStringList());
    QCOMPARE(answering([&] { click(ui(window).lstOuts, 3, Qt::ShiftModifier); }), QStringList());
    QCOMPARE(selected(ui(window).lstOuts), QList<int>{3});
}

void EntryTest::badAnswersMoveNothing()
{
    QListWidget* list = ui(window).lstBases;
    fillBases({"", "4", "5"});
    click(list, 1);
    // Answering the question is no leaving of the list: no purge of the empty
    // entry (tst_window sees it with the real question, which takes the focus).
    for (const char* answer : {"abc", "0", "4"})
        QCOMPARE(answering([&] { shiftBeside(list); }, {answer}), question("0", answer));
    for (const QString& answer : {QString(""), kCancel})
        QCOMPARE(answering([&] { shiftBeside(list); }, {answer}), question("0"));
    QCOMPARE(entries(list), QStringList({"", "4", "5"}));
    // 2.5 - 1 rounds to the even 2: the third place.
    QCOMPARE(answering([&] { shiftBeside(list); }, {"2.5"}), question("0"));
    QCOMPARE(entries(list), QStringList({"5", "4", ""}));
    QCOMPARE(selected(list), QList<int>{1});
}

void EntryTest::otherPressesToggleOneEntry()
{
    QListWidget* list = ui(window).lstOuts;
    QCOMPARE(answering([&] {
                 click(list, 2);
                 click(list, 2);
                 click(list, 3, Qt::ControlModifier | Qt::ShiftModifier);
                 click(list, 4, Qt::ControlModifier);
             }),
             QStringList());
    // A double click as the window system sends it: two presses, two toggles.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, placeAt(list, 6));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, placeAt(list, 6));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, placeAt(list, 6));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, placeAt(list, 6));
    // Dragging over entries selects none of them.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, placeAt(list, 1));
    for (int place = 2; place <= 6; ++place)
        QTest::mouseMove(list->viewport(), placeAt(list, place));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, placeAt(list, 6));
    QCOMPARE(selected(list), QList<int>({1, 3, 4}));
}

void EntryTest::tousAucunViderLeaveTheMergeAlone()
{
    for (int place : {7, 3, 5})
        click(ui(window).lstBases, place);
    click(ui(window).lstOuts, 12);
    QTest::mouseClick(ui(window).cmdFusionner, Qt::LeftButton);
    QCOMPARE(ui(window).resultModel->rowCount(), 3);
    const QString count = ui(window).lblQtetotale->text();
    const QString cost = ui(window).lblCout->text();

    QTest::mouseClick(ui(window).cmdTous[0], Qt::LeftButton);
    QCOMPARE(selected(ui(window).lstBases).size(), 18);
    QTest::mouseClick(ui(window).cmdAucun[1], Qt::LeftButton);
    QVERIFY(selected(ui(window).lstOuts).isEmpty());
    QCOMPARE(selected(ui(window).lstBases).size(), 18);
    for (QPushButton* button : {ui(window).cmdVider[0], ui(window).cmdTous[0], ui(window).cmdAucun[0], ui(window).cmdVider[1]})
        QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ui(window).lstBases->count() + ui(window).lstOuts->count(), 0);
    QCOMPARE(ui(window).resultModel->rowCount(), 3);
    QTest::mouseClick(ui(window).cmdVider[2], Qt::LeftButton);
    QCOMPARE(ui(window).resultModel->rowCount(), 0);
    QCOMPARE(ui(window).lblQtetotale->text() + ui(window).lblCout->text(), count + cost);
}

QTEST_MAIN(EntryTest)
#include "tst_entry.moc"
