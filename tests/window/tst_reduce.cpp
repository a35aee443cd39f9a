// Reducing the result list with a guarantee: the context menu entry and
// Ctrl+R, the payout question, the worker with its progress and cancel, the
// reduced list shown and priced, a list kept by conditions reduced within
// its lines, and every refusal. Reduced lists are checked against the plain
// reference of tests/reduce/GuaranteeOracle.h.

#include "WindowDriving.h"

#include "app/ReduceCommand.h"
#include "app/ResultHost.h"
#include "reduce/Reduce.h"
#include "tests/reduce/GuaranteeOracle.h"

#include <QAccessible>
#include <QListView>

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

// Why the lines shown now do not keep the guarantee of `payout` over the
// lines `before` showed (a reduced list is a part of them, and pays every
// arrival they pay); empty when they do.
QString guaranteeFault(const ShownLines& now, const ShownLines& before, reduce::Payout payout)
{
    std::vector<std::uint64_t> kept;
    for (std::uint64_t i = 0, b = 0; i < now.count(); ++i, ++b) {
        while (b < before.count() && before.fullIndex(b) != now.fullIndex(i))
            ++b;
        if (b == before.count())
            return QStringLiteral("line %1 was not shown before").arg(i);
        kept.push_back(b);
    }
    const auto unpaid = test::UnpaidArrival(test::PlainLines(before), test::PlainLines(before, kept),
                                            test::PuntersHorsesOf(before.full()), payout);
    if (!unpaid)
        return {};
    QString arrival;
    for (int horse : *unpaid)
        arrival += QStringLiteral(" %1").arg(horse);
    return QStringLiteral("arrival%1 is no longer paid").arg(arrival);
}

// The texts of the ticket's shown lines, as lstResultat should show them.
QStringList textsOf(const ShownLines& lines)
{
    QStringList texts;
    for (std::uint64_t i = 0; i < lines.count(); ++i)
        texts << QString::fromStdString(lines.lineAt(i));
    return texts;
}

void pressCtrlR(frmmenu& w)
{
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
}

// A host for the reduce command beside the window, with a ticket of its own
// on which a test puts a stage by hand, as conditions on the lines would.
class TicketHost : public ResultHost {
public:
    QWidget& hostWindow() override { return window_; }
    QListView& resultView() override { return view_; }
    const Ticket& ticket() const override { return ticket_; }
    bool showStage(StageKind kind, const std::vector<std::uint64_t>& kept, std::string title, MessageSink& messages,
                   std::optional<ReducedFor> reducedFor) override
    {
        return ticket_.pushStage(kind, kept, std::move(title), "2", messages, reducedFor).has_value();
    }
    bool showConditions(const conditions::Conditions& chosen, LineSelection kept, MessageSink& messages) override
    {
        return ticket_.setConditions(chosen, std::move(kept), "2", messages).has_value();
    }
    std::optional<LineSelection> filterLines(const ResultList& full, const conditions::Conditions& chosen) override
    {
        return conditions::Filter(full, chosen);
    }
    bool showArrivalStage(LineSelection paidFull, std::vector<bets::Horse> arrival, std::string title,
                          MessageSink& messages) override
    {
        return ticket_.pushArrivalStage(std::move(paidFull), std::move(arrival), std::move(title), "2", messages)
            .has_value();
    }
    std::string stakeText() const override { return "2"; }
    void keepArrivalEntry(ArrivalEntry entry) override { ticket_.setArrivalEntry(std::move(entry)); }
    Ticket& editTicket() { return ticket_; }

private:
    Ticket ticket_;
    QWidget window_;
    QListView view_{&window_};
};

struct SaidNothing : MessageSink {
    void showMessage(const std::string& text) override { QFAIL(text.c_str()); }
};

}  // namespace

class ReduceTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }

    void contextMenuEntryReducesAQuinteAndAMergeBringsAllBack();
    void eachBetTypeReducesWithItsGuarantee_data();
    void eachBetTypeReducesWithItsGuarantee();
    void aListKeptByConditionsIsReducedWithinItsLines();
    void cancellingTheQuestionOrTheSearchOrClosingLeavesTheFullList();
    void refusalsSayWhyAndChangeNothing();

private:
    std::unique_ptr<frmmenu> window_;
};

void ReduceTest::contextMenuEntryReducesAQuinteAndAMergeBringsAllBack()
{
    frmmenu& w = *window_;
    mergeQuinteOfAllBases(w, 12);  // 792 lines at 2 Euros
    const ShownLines before = w.ticket().shown();

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
    const ShownLines reduced = w.ticket().shown();
    QVERIFY(reduced.count() > 0 && reduced.count() < 792);
    const QString fault = guaranteeFault(reduced, before, reduce::Payout::QuinteBonus4);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(shownLines(w), textsOf(reduced));
    QCOMPARE(ui(w).lblQtetotale->text(), QString::number(reduced.count()));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" %1 Euros").arg(2 * reduced.count()));
    QCOMPARE(seen.messages.size(), 1);
    const QString summary = seen.messages[0];
    QVERIFY2(summary.startsWith(QStringLiteral("La liste de 792 combinaisons est réduite à %1 combinaisons.").arg(reduced.count())),
             qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("le Bonus 4 est assuré")));

    ui(w).Option1[0]->click();  // the same merge again: the full list
    QCOMPARE(ui(w).resultModel->rowCount(), 792);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("792"));
}

void ReduceTest::eachBetTypeReducesWithItsGuarantee_data()
{
    QTest::addColumn<int>("betType");
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("payout");
    QTest::newRow("Quinté, Bonus 3") << 4 << 1 << int(reduce::Payout::QuinteBonus3);
    QTest::newRow("Quarté, Bonus") << 3 << 0 << int(reduce::Payout::QuarteBonus);
    QTest::newRow("2 sur 4") << 1 << 0 << int(reduce::Payout::DeuxSurQuatre);
    QTest::newRow("Couplé placé") << 0 << 0 << int(reduce::Payout::CouplePlace);
}

void ReduceTest::eachBetTypeReducesWithItsGuarantee()
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
    const ShownLines before = w.ticket().shown();
    QCOMPARE(std::uint64_t(ui(w).resultModel->rowCount()), before.count());

    const Seen seen = reduceAnswering([&w] { pressCtrlR(w); }, item);
    QCOMPARE(seen.items.size(), betType == 4 ? 2 : 1);
    const ShownLines reduced = w.ticket().shown();
    QVERIFY(reduced.count() > 0 && reduced.count() < before.count());
    const QString fault = guaranteeFault(reduced, before, reduce::Payout(payout));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(shownLines(w), textsOf(reduced));
    QCOMPARE(ui(w).lblQtetotale->text(), QString::number(reduced.count()));
    QCOMPARE(seen.messages.size(), 1);
    if (betType >= 3)  // a Bonus names the bases its lines hold
        QVERIFY2(seen.messages[0].contains(QStringLiteral("Si vos 2 bases et ")), qPrintable(seen.messages[0]));
}

void ReduceTest::aListKeptByConditionsIsReducedWithinItsLines()
{
    TicketHost host;
    SaidNothing sink;
    StarterList twelve;
    for (int horse = 1; horse <= 12; ++horse)
        twelve.push_back({std::to_string(horse), true});
    MergeChoices quinte;
    quinte.betType = BetType::Quinte;
    quinte.fusionMode = FusionType::BasesOnly;
    quinte.stake = "2";
    host.editTicket().merge(twelve, {}, quinte, sink);
    QCOMPARE(host.ticket().full().count(), std::uint64_t(792));
    std::vector<std::uint64_t> twoInThree;
    for (std::uint64_t i = 0; i < 792; ++i)
        if (i % 3 != 0)
            twoInThree.push_back(i);
    QVERIFY(host.showStage(StageKind::Conditions, twoInThree, "liste filtrée", sink, std::nullopt));
    const ShownLines kept = host.ticket().shown();
    ReduceCommand command(host);
    host.hostWindow().show();  // a job gives up when its window is gone

    const Seen seen = reduceAnswering([&command] { command.reduceLines(); }, 0);
    QVERIFY2(seen.prompt.contains(QStringLiteral("La liste compte 528 combinaisons")), qPrintable(seen.prompt));
    QCOMPARE(host.ticket().stages().size(), std::size_t(2));
    QCOMPARE(host.ticket().stages().back().kind, StageKind::Reduction);
    const ShownLines reduced = host.ticket().shown();
    QVERIFY(reduced.count() > 0 && reduced.count() < 528);
    const QString fault = guaranteeFault(reduced, kept, reduce::Payout::QuinteBonus4);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(seen.messages.size(), 1);
    QVERIFY2(seen.messages[0].startsWith(
                 QStringLiteral("La liste de 528 combinaisons est réduite à %1 combinaisons.").arg(reduced.count())),
             qPrintable(seen.messages[0]));

    // A reduced list is not reduced again.
    const Seen again = reduceAnswering([&command] { command.reduceLines(); }, 0);
    QVERIFY(again.prompt.isEmpty());
    QCOMPARE(again.messages, QStringList{QStringLiteral("La liste est déjà réduite.\n"
                                                        "Revenez à la liste complète, puis réduisez-la.")});
    QCOMPARE(host.ticket().shown().count(), reduced.count());
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
    // Each refusal comes before the payout question.
    const auto refusal = [&w] {
        const Seen seen = reduceAnswering([&w] { pressCtrlR(w); }, 0);
        if (!seen.prompt.isEmpty())
            return QStringLiteral("(asked: %1)").arg(seen.prompt);
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

    mergeQuinteOfAllBases(w, 45);  // 1 221 759 lines
    QVERIFY(refusal().startsWith(QStringLiteral("La liste compte plus de 1 000 000 de lignes")));
    QCOMPARE(ui(w).resultModel->rowCount(), 1221759);

    mergeQuinteOfAllBases(w, 9);
    QCOMPARE(reduceAnswering([&w] { pressCtrlR(w); }, 0).messages.size(), 1);
    const QStringList reduced = shownLines(w);
    QVERIFY(refusal().startsWith(QStringLiteral("La liste est déjà réduite.")));
    QCOMPARE(shownLines(w), reduced);
}

QTEST_MAIN(ReduceTest)
#include "tst_reduce.moc"
