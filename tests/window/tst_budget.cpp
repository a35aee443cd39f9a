// Reducing the result list to a budget: the question dlgReduire (its width,
// the cost of N lines as N changes, a sum in euros turned into lines, the
// answer a test gives), the summary's exact figures against a count made
// here, and a stopped search that keeps its best list.
//
// TORVANEL_GRAB=<folder> saves a picture of the dialogue there, to look at.

#include "WindowDriving.h"

#include "app/ReduceDialog.h"
#include "bets/BetRules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

using namespace torvanel;

namespace {

ReduceDialog::Setup quinteSetup()
{
    ReduceDialog::Setup setup;
    setup.question = QStringLiteral("La liste compte 4 368 combinaisons.\nQuel rapport la liste réduite doit-elle garder ?");
    setup.payouts = {QStringLiteral("Bonus 4"), QStringLiteral("Bonus 3")};
    for (bets::PayoutClass payout : {bets::PayoutClass::QuinteBonus4, bets::PayoutClass::QuinteBonus3})
        setup.sentences << QString::fromStdString(bets::GuaranteeSentence(payout, bets::LineBases{2, 2}));
    setup.lines = 4368;
    setup.costOf = [](std::uint64_t n) { return QStringLiteral(" %1 Euros").arg(2 * n); };
    setup.linesFor = [](double euros) { return static_cast<std::uint64_t>(euros / 2); };
    return setup;
}

using Kind = Dialogs::Shown::Kind;

// How many of the `finishers`-horse arrivals of horses 1..field one of the
// shown lines pays in `payout`'s class: counted here, arrival by arrival.
int paidArrivals(const frmmenu& w, bets::PayoutClass payout, int field)
{
    std::vector<std::vector<bets::Horse>> lines;
    for (const QString& line : driving::shownLines(w)) {
        std::vector<bets::Horse> horses;
        for (const QString& horse : line.split(QLatin1Char('-')))
            horses.push_back(static_cast<bets::Horse>(horse.toInt()));
        lines.push_back(horses);
    }
    const bets::ClassRule& rule = bets::ClassOf(payout);
    int paid = 0;
    // Every arrival as a mask of the field's horses.
    for (unsigned mask = 0; mask < (1U << field); ++mask) {
        if (__builtin_popcount(mask) != rule.finishers)
            continue;
        std::vector<bets::Horse> arrival;
        for (int h = 0; h < field; ++h)
            if (mask >> h & 1U)
                arrival.push_back(static_cast<bets::Horse>(h + 1));
        paid += std::any_of(lines.begin(), lines.end(), [&](const auto& line) { return bets::Pays(rule, line, arrival); });
    }
    return paid;
}

// Ctrl+R, the user answering payout `item` within `budget` lines (and
// cancelling the progress dialogue when asked); the messages shown.
QStringList reduceWithin(frmmenu& w, int item, std::uint64_t budget, bool cancel = false)
{
    Dialogs::TestAnswers user;
    user.chooseWithinBudget(item, budget);
    user.cancelProgress = cancel;
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
    if (cancel && user.texts(Kind::Progress).isEmpty())
        qWarning("no progress dialogue to cancel");
    return user.texts();
}

template <typename Widget>
Widget* child(const QWidget& parent, const char* name)
{
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s", name);
    return widget;
}

}  // namespace

class BudgetTest : public QObject {
    Q_OBJECT
private slots:
    void theQuestionFitsTheWindowAndPricesTheBudget();
    void aTestAnswersTheQuestion();
    void aBudgetShowsItsLinesAndTheirExactFigures();
    void aPlacePayoutHasTheSameMode();
    void aBudgetHoldingTheFullGuaranteeGetsIt();
    void cancellingKeepsTheBestListSoFar();
};

void BudgetTest::theQuestionFitsTheWindowAndPricesTheBudget()
{
    ReduceDialog dialog(nullptr, quinteSetup());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QStringLiteral("dlgReduire"));
    QVERIFY2(dialog.width() <= 521, qPrintable(QString::number(dialog.width())));
    // Every control and caption lies whole inside the dialogue.
    for (const QWidget* widget : dialog.findChildren<QWidget*>())
        QVERIFY2(dialog.rect().contains(QRect(widget->mapTo(&dialog, QPoint(0, 0)), widget->size())),
                 qPrintable(widget->objectName() + QLatin1Char(' ') + widget->metaObject()->className()));

    auto* lines = child<QSpinBox>(dialog, "spnLignes");
    auto* euros = child<QLineEdit>(dialog, "txtBudget");
    QVERIFY(child<QRadioButton>(dialog, "optGarantieComplete")->isChecked());
    QVERIFY(!lines->isEnabled() && !euros->isEnabled());
    child<QRadioButton>(dialog, "optBudget")->click();
    QVERIFY(lines->isEnabled() && euros->isEnabled());

    lines->setValue(30);
    QCOMPARE(child<QLabel>(dialog, "lblCoutLignes")->text(), QStringLiteral("60 Euros"));
    QTest::keyClicks(euros, QStringLiteral("75,50"));  // 37 lines at 2 Euros
    QCOMPARE(lines->value(), 37);
    QCOMPARE(child<QLabel>(dialog, "lblCoutLignes")->text(), QStringLiteral("74 Euros"));

    auto* payouts = child<QComboBox>(dialog, "cboPaiement");
    QCOMPARE(child<QLabel>(dialog, "lblGarantie")->text(),
             QStringLiteral("Si vos 2 bases et 2 de vos outsiders font les 4 premiers, le Bonus 4 est assuré."));
    payouts->setCurrentIndex(1);
    QVERIFY(child<QLabel>(dialog, "lblGarantie")->text().contains(QStringLiteral("le Bonus 3 est assuré")));
    QCOMPARE(dialog.answer().payout, 1);
    QCOMPARE(dialog.answer().budget, std::optional<std::uint64_t>(37));
    child<QRadioButton>(dialog, "optGarantieComplete")->click();
    QCOMPARE(dialog.answer().budget, std::nullopt);

    if (const QString folder = qEnvironmentVariable("TORVANEL_GRAB"); !folder.isEmpty()) {
        child<QRadioButton>(dialog, "optBudget")->click();
        QVERIFY(dialog.grab().save(folder + QStringLiteral("/dlgReduire.png")));
    }
}

void BudgetTest::aTestAnswersTheQuestion()
{
    Dialogs::TestAnswers user;
    user.chooseWithinBudget(1, 25).choose(0);
    const auto first = ReduceDialog::ask(nullptr, quinteSetup());
    QVERIFY(first);
    QCOMPARE(first->payout, 1);
    QCOMPARE(first->budget, std::optional<std::uint64_t>(25));
    const auto second = ReduceDialog::ask(nullptr, quinteSetup());
    QVERIFY(second && second->payout == 0 && !second->budget);
    QVERIFY(!ReduceDialog::ask(nullptr, quinteSetup()));  // nothing queued: cancelled
    QCOMPARE(user.shown.size(), 3);
    QVERIFY(user.shown[0].items[0].startsWith(QStringLiteral("Bonus 4 : Si vos 2 bases")));
}

void BudgetTest::aBudgetShowsItsLinesAndTheirExactFigures()
{
    frmmenu w;
    driving::openWindow(w);
    driving::mergeQuinteOfAllBases(w, 11);  // 462 lines, 330 arrivals of four horses
    const QStringList said = reduceWithin(w, 0, 30);
    QCOMPARE(said.size(), 1);
    QCOMPARE(said[0], QStringLiteral("Ces 30 lignes paient le Bonus 4 pour 150 des 330 arrivées (45,5 %) que paie la "
                                     "liste complète.\nAucune liste d'autant de lignes n'en paie davantage."));
    QCOMPARE(ui(w).resultModel->rowCount(), 30);
    QCOMPARE(paidArrivals(w, bets::PayoutClass::QuinteBonus4, 11), 150);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("30"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 60 Euros"));
    QCOMPARE(w.ticket().stageTitle(), std::string("liste réduite à 30 lignes (Bonus 4 : 45,5 % des arrivées)"));
}

void BudgetTest::aPlacePayoutHasTheSameMode()
{
    frmmenu w;
    driving::openWindow(w);
    driving::setStarters(w, 12);
    driving::mergeBasesAlone(w, 9, 0);  // Couplé on 1..9: 36 lines, 84 arrivals of three horses
    const QStringList said = reduceWithin(w, 0, 3);
    QCOMPARE(said.size(), 1);
    const int paid = paidArrivals(w, bets::PayoutClass::CouplePlace, 9);
    QCOMPARE(ui(w).resultModel->rowCount(), 3);
    QVERIFY2(said[0].startsWith(QStringLiteral("Ces 3 lignes paient le Couplé placé pour %1 des 84 arrivées (").arg(paid)),
             qPrintable(said[0]));
    QVERIFY(said[0].contains(QStringLiteral("où les 3 premiers sont tous parmi vos chevaux.")));
    QCOMPARE(paid, 3 * 7);  // three pairs apart: each pays with any of the 7 other horses
}

void BudgetTest::aBudgetHoldingTheFullGuaranteeGetsIt()
{
    frmmenu w;
    driving::openWindow(w);
    driving::mergeQuinteOfAllBases(w, 11);
    const QStringList said = reduceWithin(w, 0, 70);  // S(4,5,11) has 66 lines
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].startsWith(QStringLiteral("La liste de 462 combinaisons est réduite à 66 combinaisons.")),
             qPrintable(said[0]));
    QCOMPARE(paidArrivals(w, bets::PayoutClass::QuinteBonus4, 11), 330);
    QCOMPARE(w.ticket().stageTitle(), std::string("liste réduite (Bonus 4 garanti)"));
}

void BudgetTest::cancellingKeepsTheBestListSoFar()
{
    frmmenu w;
    driving::openWindow(w);
    driving::mergeQuinteOfAllBases(w, 16);  // Bonus 3 on 16 horses: 52 lines are past the packing, a search
    const QStringList said = reduceWithin(w, 1, 52, true);
    QCOMPARE(said.size(), 1);
    QCOMPARE(ui(w).resultModel->rowCount(), 52);
    const int paid = paidArrivals(w, bets::PayoutClass::QuinteBonus3, 16);
    QVERIFY2(said[0].startsWith(QStringLiteral("Ces 52 lignes paient le Bonus 3 pour %1 des 560 arrivées").arg(paid)),
             qPrintable(said[0]));
    QVERIFY(said[0].contains(QStringLiteral("La recherche a été arrêtée")));
}

QTEST_MAIN(BudgetTest)
#include "tst_budget.moc"
