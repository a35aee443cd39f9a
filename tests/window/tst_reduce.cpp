// Reducing the result list with a guarantee: the context menu entry and
// Ctrl+R, the payout question, the worker with its progress and cancel, the
// reduced list shown and priced, and every refusal.

#include "WindowDriving.h"

#include "reduce/Reduce.h"

#include <QAccessible>

using namespace torvanel;

namespace {

using driving::mergeQuinteOfAllBases;
using driving::shownLines;
using Kind = Dialogs::Shown::Kind;

// What the boxes of one reduction showed.
struct Seen {
    QString prompt;
    QStringList items;
    QStringList messages;
    int progressDialogs = 0;
};

// What the user does when the search's progress dialogue shows.
enum class AtProgress { Wait, Cancel, CloseTheWindow };

// Runs `start`, the user choosing item `item` of the question (-1: Cancel)
// and doing `atProgress` when the progress dialogue shows.
Seen reduceAnswering(const std::function<void()>& start, int item, AtProgress atProgress = AtProgress::Wait,
                     frmmenu* window = nullptr)
{
    Dialogs::TestAnswers user;
    if (item >= 0)
        user.choose(item);
    user.cancelProgress = atProgress == AtProgress::Cancel;
    Seen seen;
    user.whileShown = [&](const Dialogs::Shown& box) {
        QCOMPARE(box.caption, QStringLiteral("Torvanel de pronos"));
        if (box.kind == Kind::Question)
            seen.items = box.items;
        if (box.kind == Kind::Progress && atProgress == AtProgress::CloseTheWindow)
            window->close();
    };
    start();
    seen.prompt = user.texts(Kind::Question).value(0);
    seen.messages = user.texts();
    seen.progressDialogs = int(user.texts(Kind::Progress).size());
    return seen;
}

// The lines the engine keeps for `payout` from the window's full list.
QStringList engineLines(const frmmenu& w, reduce::Payout payout)
{
    const ResultList& full = w.ticket().full();
    const reduce::Reduction reduction = reduce::Reduce(full, payout);
    QStringList lines;
    for (std::uint64_t index : reduction.kept)
        lines << QString::fromStdString(full.lineAt(index));
    return lines;
}

void pressCtrlR(frmmenu& w)
{
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
}

}  // namespace

class ReduceTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }

    void contextMenuEntryReducesAQuinteAndAMergeBringsAllBack();
    void eachBetTypeReducesAsTheEngineDoes_data();
    void eachBetTypeReducesAsTheEngineDoes();
    void cancellingTheQuestionOrTheSearchOrClosingLeavesTheFullList();
    void refusalsSayWhyAndChangeNothing();

private:
    std::unique_ptr<frmmenu> window_;
};

void ReduceTest::contextMenuEntryReducesAQuinteAndAMergeBringsAllBack()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 12);  // 792 lines at 2 Euros
    const QStringList expected = engineLines(w, reduce::Payout::QuinteBonus4);
    QVERIFY(expected.size() > 0 && expected.size() < 792);

    Seen seen;
    driving::useContextMenu(w, [&](QMenu& menu) {
        QAction* entry = menu.actions().value(2);
        QVERIFY(entry && entry->isEnabled());
        QCOMPARE(entry->objectName(), QStringLiteral("mnuReduire"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&menu)->child(2)->text(QAccessible::Name),
                 QStringLiteral("Réduire avec garantie…"));
        menu.close();  // before the reduction's own boxes
        seen = reduceAnswering([entry] { entry->trigger(); }, 0);
    });

    QVERIFY2(seen.prompt.contains(QStringLiteral("La liste compte 792 combinaisons")), qPrintable(seen.prompt));
    QCOMPARE(seen.items.size(), 2);
    QCOMPARE(seen.items[0], QStringLiteral("Bonus 4 : Si 4 de vos chevaux font les 4 premiers, le Bonus 4 est assuré."));
    QVERIFY(seen.items[1].startsWith(QStringLiteral("Bonus 3 : ")));
    QCOMPARE(shownLines(w), expected);
    QCOMPARE(ui(w).lblQtetotale->text(), QString::number(expected.size()));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" %1 Euros").arg(2 * expected.size()));
    QCOMPARE(seen.messages.size(), 1);
    const QString summary = seen.messages[0];
    QVERIFY2(summary.startsWith(QStringLiteral("La liste de 792 combinaisons est réduite à %1 combinaisons.").arg(expected.size())),
             qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("le Bonus 4 est assuré")));

    ui(w).Option1[0]->click();  // the same merge again: the full list
    QCOMPARE(ui(w).resultModel->rowCount(), 792);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("792"));
}

void ReduceTest::eachBetTypeReducesAsTheEngineDoes_data()
{
    QTest::addColumn<int>("betType");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("payout");
    QTest::newRow("Quinté, Bonus 3") << 4 << 1 << int(reduce::Payout::QuinteBonus3);
    QTest::newRow("Quarté, Bonus") << 3 << 0 << int(reduce::Payout::QuarteBonus);
    QTest::newRow("2 sur 4") << 1 << 0 << int(reduce::Payout::DeuxSurQuatre);
    QTest::newRow("Couplé placé") << 0 << 0 << int(reduce::Payout::CouplePlace);
}

void ReduceTest::eachBetTypeReducesAsTheEngineDoes()
{
    QFETCH(int, betType);
    QFETCH(int, item);
    QFETCH(int, payout);
    frmmenu& w = *window_;
    // Bases 1 and 2 with outsiders 3 to 10: lines that hold bases.
    driving::selectHorses(ui(w).lstBases, {1, 2});
    driving::selectHorses(ui(w).lstOuts, {3, 4, 5, 6, 7, 8, 9, 10});
    ui(w).OptionQuoi[betType]->click();
    if (betType == 4)
        ui(w).OptionTierce[6]->click();  // "2 bases + 3 outs"
    const int before = ui(w).resultModel->rowCount();
    const QStringList expected = engineLines(w, reduce::Payout(payout));
    QVERIFY(expected.size() > 0 && expected.size() < before);

    const Seen seen = reduceAnswering([&w] { pressCtrlR(w); }, item);
    QCOMPARE(seen.items.size(), betType == 4 ? 2 : 1);
    QCOMPARE(shownLines(w), expected);
    QCOMPARE(ui(w).lblQtetotale->text(), QString::number(expected.size()));
    QCOMPARE(seen.messages.size(), 1);
    if (betType >= 3)  // a Bonus names the bases its lines hold
        QVERIFY2(seen.messages[0].contains(QStringLiteral("Si vos 2 bases et ")), qPrintable(seen.messages[0]));
}

void ReduceTest::cancellingTheQuestionOrTheSearchOrClosingLeavesTheFullList()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 30);  // 142 506 lines: beyond the table, a search
    const QString count = ui(w).lblQtetotale->text();
    const QString cost = ui(w).lblCout->text();
    const auto untouched = [&] {
        QCOMPARE(ui(w).resultModel->rowCount(), 142506);
        QVERIFY(!w.ticket().hasStage());
        QCOMPARE(ui(w).lblQtetotale->text(), count);
        QCOMPARE(ui(w).lblCout->text(), cost);
    };

    Seen seen = reduceAnswering([&w] { pressCtrlR(w); }, -1);
    QVERIFY(seen.messages.isEmpty());
    untouched();

    seen = reduceAnswering([&w] { pressCtrlR(w); }, 0, AtProgress::Cancel);
    QCOMPARE(seen.progressDialogs, 1);
    QVERIFY(seen.messages.isEmpty());
    untouched();

    // Closed while it searches: the search stops and nothing is shown.
    seen = reduceAnswering([&w] { pressCtrlR(w); }, 0, AtProgress::CloseTheWindow, &w);
    QVERIFY(seen.messages.isEmpty());
    untouched();
}

void ReduceTest::refusalsSayWhyAndChangeNothing()
{
    frmmenu& w = *window_;
    const auto refusal = [&w] {
        const Seen seen = reduceAnswering([&w] { pressCtrlR(w); }, 0);
        return seen.messages.size() == 1 ? seen.messages[0] : QStringLiteral("(%1 boxes)").arg(seen.messages.size());
    };
    QVERIFY(refusal().startsWith(QStringLiteral("Au Tiercé, seule la ligne exacte paie")));

    ui(w).OptionQuoi[3]->click();  // Quarté, nothing selected
    QCOMPARE(refusal(), QStringLiteral("La liste des combinaisons est vide : il n'y a rien à réduire."));

    // More horses than a reduction takes: the engine says why.
    driving::setStarters(w, 70);
    ui(w).lstBases->selectAll();
    ui(w).OptionQuoi[0]->click();
    ui(w).Option1[0]->click();  // Couplé, 2 415 lines
    QVERIFY(refusal().contains(QStringLiteral("plus de 64 chevaux")));
    QCOMPARE(ui(w).resultModel->rowCount(), 2415);

    mergeQuinteOfAllBases(w, 9);
    QCOMPARE(reduceAnswering([&w] { pressCtrlR(w); }, 0).messages.size(), 1);
    const QStringList reduced = shownLines(w);
    QVERIFY(refusal().startsWith(QStringLiteral("La liste est déjà réduite.")));
    QCOMPARE(shownLines(w), reduced);
}

QTEST_MAIN(ReduceTest)
#include "tst_reduce.moc"
