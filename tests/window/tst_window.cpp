// The main window driven through its real widgets: start-up state, layout,
// option panels and the merges they run.

#include "WindowDriving.h"

#include "app/ControlTable.h"
#include "app/JobProgress.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QAbstractItemModelTester>

namespace {

using driving::shownLines;

void fill(QListWidget* list, const QStringList& entries)
{
    list->clear();
    list->addItems(entries);
}

// Clicks the entries that hold these texts, as the user would.
void clickEntries(QListWidget* list, const QStringList& texts)
{
    for (const QString& text : texts) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }
}

// The split panel the user sees: the one at the top of the stack.
QString frontPanel(frmmenu& window)
{
    QWidget* widget = window.childAt(415, 390);
    while (widget && !widget->objectName().startsWith(QLatin1String("PictureDetail")))
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    // Each test has a fresh window, shown and active, and notes its boxes.
    void init()
    {
        boxes.emplace();
        driving::openWindow(window_);
    }
    void cleanup() { window_.reset(); boxes.reset(); }

    void startsAsLaidOut();
    void everyControlIsNamedPlacedAndOfItsKind();
    void captionsFitTheirControls();
    void labelsLieBeneathTheControls();
    void betTypeShowsItsPanelAndStake_data();
    void betTypeShowsItsPanelAndStake();
    void deuxSurQuatreCostsThreeCouples();
    void typedStakeLastsUntilTheBetTypeChanges();
    void oneMergeFromSelectionToCost();
    void conflictKeepsThePreviousLabels();
    void tooFewBasesInModeZeroIsSaid();
    void includeBoxAddsAndRemovesItsLines();
    void eachChoiceRunsOneMerge();
    void enterRefillsTheStarterLists_data();
    void enterRefillsTheStarterLists();
    void tooManyStartersAreRefused();
    void mergesUpToTheLineCap();
    void refusesACostTheLabelCannotShow();
    void keysHitsAndScreenReaderReachTheLastOfTheMostRows();
    void realBoxesAreModalAndCarryTheProgramsCaption();
    void testAnswersOpenNoBoxAndAnswerInTurn();

private:
    std::optional<Dialogs::TestAnswers> boxes;
    std::unique_ptr<frmmenu> window_;
};

void WindowTest::startsAsLaidOut()
{
    frmmenu& w = *window_;
    QCOMPARE(w.windowTitle(), QStringLiteral("Torvanel de pronostics"));
    QCOMPARE(w.size(), QSize(521, 438));
    QCOMPARE(w.ticket().selection().FusionMode, torvanel::FusionType{3});
    for (QListWidget* list : {ui(w).lstBases, ui(w).lstOuts}) {
        QCOMPARE(list->count(), 18);
        QCOMPARE(list->item(0)->text(), QStringLiteral("1"));
        QCOMPARE(list->item(17)->text(), QStringLiteral("18"));
        QVERIFY(list->selectedItems().isEmpty());
    }
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("0"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral("0"));
    QCOMPARE(ui(w).txtAide->text(), QString());
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("1"));
    QCOMPARE(ui(w).txtPartants->text(), QStringLiteral("18"));
    QVERIFY(!ui(w).lblAide->isVisible());
    QVERIFY(!ui(w).Image2->isVisible());
    QVERIFY(!ui(w).Timer1->isActive());
    QCOMPARE(ui(w).Timer1->interval(), 200);

    QVERIFY(ui(w).OptionQuoi[2]->isChecked());
    QVERIFY(ui(w).Option1[3]->isChecked());
    for (int i = 0; i < 8; ++i)
        QCOMPARE(ui(w).OptionTierce[i]->isChecked(), i == 1 || i == 2 || i == 5);
    QVERIFY(!ui(w).ChkInclure[0]->isChecked() && !ui(w).ChkInclure[1]->isChecked());
    QCOMPARE(frontPanel(w), QStringLiteral("PictureDetail_2"));
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("PictureDetail_1")));
    QVERIFY(!w.findChild<QWidget*>(QStringLiteral("Label4_1")));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::everyControlIsNamedPlacedAndOfItsKind()
{
    frmmenu& w = *window_;
    using controls::Kind;
    for (const controls::ControlLayout& layout : controls::windowControls()) {
        const QString name = controls::objectNameOf(layout.name, layout.index);
        auto* widget = w.findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        const bool rightKind = layout.kind == Kind::Label   ? widget->inherits("QLabel")
                             : layout.kind == Kind::TextBox ? widget->inherits("QLineEdit")
                             : layout.kind == Kind::ListBox ? widget->inherits("QListWidget")
                             : layout.kind == Kind::Option  ? widget->inherits("QRadioButton")
                             : layout.kind == Kind::Check   ? widget->inherits("QCheckBox")
                             : layout.kind == Kind::ResultList ? widget->inherits("QListView")
                                                            : true;
        QVERIFY2(rightKind, qPrintable(name));
        QCOMPARE(widget->pos(), QPoint(controls::twipsToPixels(layout.left), controls::twipsToPixels(layout.top)));
        const QSize laidOut(controls::twipsToPixels(layout.width), controls::twipsToPixels(layout.height));
        if (layout.look & controls::Wraps)  // may grow downward to show its last line
            QVERIFY(widget->width() == laidOut.width() && widget->height() >= laidOut.height());
        else if (!(layout.look & controls::SizedToText))
            QCOMPARE(widget->size(), laidOut);
    }
    // A few that the table cannot show: containers and kinds of the lists.
    QCOMPARE(ui(w).OptionQuoi[4]->parentWidget(), static_cast<QWidget*>(ui(w).Frame2));
    QCOMPARE(ui(w).OptionTierce[7]->parentWidget(), static_cast<QWidget*>(ui(w).PictureDetail[4]));
    QCOMPARE(ui(w).lstBases->selectionMode(), QAbstractItemView::MultiSelection);
    QCOMPARE(ui(w).lstResultat->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(ui(w).lstResultat->uniformItemSizes());
    QVERIFY(ui(w).lstResultat->inherits("ResultView"));  // lays out by row arithmetic
}

void WindowTest::captionsFitTheirControls()
{
    frmmenu& w = *window_;
    for (QLabel* label : w.findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        const QSize needed = label->wordWrap()
            ? QSize(label->width(), label->heightForWidth(label->width()))
            : label->fontMetrics().size(Qt::TextSingleLine, label->text());
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(label->objectName()));
        QVERIFY2(label->geometry().right() < label->parentWidget()->width(), qPrintable(label->objectName()));
    }
    for (QAbstractButton* button : w.findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty())
            continue;
        int needed = button->fontMetrics().horizontalAdvance(button->text());
        if (qobject_cast<QRadioButton*>(button))
            needed += button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button)
                    + button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
        else
            needed += 4;  // a push button's text keeps off its frame
        QVERIFY2(needed <= button->width(), qPrintable(button->objectName()));
        QVERIFY2(button->fontMetrics().height() <= button->height(), qPrintable(button->objectName()));
    }
}

void WindowTest::labelsLieBeneathTheControls()
{
    frmmenu& w = *window_;
    const QObjectList stack = w.children();  // bottom first
    const auto place = [&](QObject* o) { return int(stack.indexOf(o)); };
    int highestSurface = -1;
    int lowestControl = INT_MAX;
    for (QObject* child : stack) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget)
            continue;
        if (qobject_cast<QLabel*>(widget))  // labels and images
            highestSurface = std::max(highestSurface, place(widget));
        else
            lowestControl = std::min(lowestControl, place(widget));
    }
    QVERIFY(highestSurface < lowestControl);
    QVERIFY(place(ui(w).lblAide) > place(ui(w).lstOuts));
    QVERIFY(!ui(w).Label1[0]->autoFillBackground());
}

void WindowTest::betTypeShowsItsPanelAndStake_data()
{
    QTest::addColumn<int>("betType");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("stake");
    QTest::newRow("Couplé") << 0 << "PictureDetail_0" << "1";
    QTest::newRow("2 sur 4") << 1 << "PictureDetail_0" << "3";
    QTest::newRow("Quarté") << 3 << "PictureDetail_3" << "1.3";
    QTest::newRow("Quinté") << 4 << "PictureDetail_4" << "2";
}

void WindowTest::betTypeShowsItsPanelAndStake()
{
    QFETCH(int, betType);
    QFETCH(QString, panel);
    QFETCH(QString, stake);
    frmmenu& w = *window_;
    QTest::mouseClick(ui(w).OptionQuoi[betType], Qt::LeftButton);
    QVERIFY(ui(w).OptionQuoi[betType]->isChecked());
    QCOMPARE(frontPanel(w), panel);
    QCOMPARE(ui(w).txtUnite->text(), stake);
    // The merge ran, with nothing selected: no line and no message.
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("0"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 0 Euros"));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::deuxSurQuatreCostsThreeCouples()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"1"});
    clickEntries(ui(w).lstOuts, {"2", "3"});
    QTest::mouseClick(ui(w).OptionQuoi[0], Qt::LeftButton);
    QCOMPARE(shownLines(w), (QStringList{"01-02", "01-03"}));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 2 Euros"));
    QTest::mouseClick(ui(w).OptionQuoi[1], Qt::LeftButton);
    QCOMPARE(shownLines(w), (QStringList{"01-02", "01-03"}));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("2"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 6 Euros"));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::typedStakeLastsUntilTheBetTypeChanges()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"1", "2", "3"});
    clickEntries(ui(w).lstOuts, {"4"});
    ui(w).txtUnite->clear();
    QTest::keyClicks(ui(w).txtUnite, QStringLiteral("5"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral("0"));  // typing alone prices nothing

    QTest::mouseClick(ui(w).Option1[2], Qt::LeftButton);  // 1 line of bases, none of outsiders
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("5"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 5 Euros"));
    QTest::mouseClick(ui(w).Option1[3], Qt::LeftButton);
    QTest::mouseClick(ui(w).OptionTierce[0], Qt::LeftButton);  // 1 base + 2 outs: none, one outsider
    QTest::mouseClick(ui(w).OptionTierce[1], Qt::LeftButton);  // 2 bases + 1 out: 3 lines
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("5"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 15 Euros"));

    QTest::mouseClick(ui(w).OptionQuoi[3], Qt::LeftButton);  // Quarté 2 bases + 2 outs: none
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("1.3"));
    QTest::mouseClick(ui(w).OptionQuoi[2], Qt::LeftButton);
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("1"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 3 Euros"));
    // So does a click on the bet type already chosen.
    ui(w).txtUnite->setText(QStringLiteral("5"));
    QTest::mouseClick(ui(w).OptionQuoi[2], Qt::LeftButton);
    QCOMPARE(ui(w).txtUnite->text(), QStringLiteral("1"));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::oneMergeFromSelectionToCost()
{
    frmmenu& w = *window_;
    fill(ui(w).lstBases, {"7", "3", "5"});
    fill(ui(w).lstOuts, {"12", "1"});
    clickEntries(ui(w).lstBases, {"5", "7", "3"});  // the list's order counts, not the clicks'
    clickEntries(ui(w).lstOuts, {"12", "1"});
    QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
    QCOMPARE(shownLines(w),
             (QStringList{"07-03-12", "07-03-01", "07-05-12", "07-05-01", "03-05-12", "03-05-01"}));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("6"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 6 Euros"));
    QVERIFY(ui(w).lblCout->width() >= ui(w).lblCout->fontMetrics().horizontalAdvance(ui(w).lblCout->text()));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::conflictKeepsThePreviousLabels()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"3", "5", "7"});
    clickEntries(ui(w).lstOuts, {"9"});
    QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("3"));

    clickEntries(ui(w).lstOuts, {"5"});
    QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("Le 5 ne peut être à la fois base et outsider!\n"
                                                     "Supprimez-le des bases ou des outsiders.")});
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("3"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 3 Euros"));
}

void WindowTest::tooFewBasesInModeZeroIsSaid()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"1", "2"});
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);
    QCOMPARE(w.ticket().selection().FusionMode, torvanel::FusionType{0});
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("Vous devez sélectionner au moins 3 bases...")});
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("0"));
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" 0 Euros"));
}

void WindowTest::includeBoxAddsAndRemovesItsLines()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"1", "2", "3", "4"});
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("4"));
    QTest::mouseClick(ui(w).ChkInclure[0], Qt::LeftButton);
    QVERIFY(ui(w).ChkInclure[0]->isChecked());
    const QStringList doubled = shownLines(w);
    QCOMPARE(doubled.size(), 8);
    QCOMPARE(doubled.mid(4), doubled.mid(0, 4));
    QTest::mouseClick(ui(w).ChkInclure[0], Qt::LeftButton);
    QCOMPARE(shownLines(w), doubled.mid(0, 4));
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("4"));
    // A click on the fusion type already chosen merges again.
    clickEntries(ui(w).lstBases, {"5"});
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("10"));
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::eachChoiceRunsOneMerge()
{
    frmmenu& w = *window_;
    QSignalSpy merges(ui(w).resultModel, &QAbstractItemModel::modelReset);
    const auto mergesAfter = [&](auto&& act) {
        merges.clear();
        act();
        return merges.count();
    };
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).OptionQuoi[3], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).OptionQuoi[3], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { ui(w).Option1[1]->click(); }), 1);  // as the guided tour does
    QCOMPARE(w.ticket().selection().FusionMode, torvanel::FusionType{1});
    QCOMPARE(mergesAfter([&] { ui(w).OptionTierce[4]->click(); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).OptionTierce[4], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).Option1[1], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).ChkInclure[1], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::mouseClick(ui(w).ChkInclure[1], Qt::LeftButton); }), 1);
    QCOMPARE(mergesAfter([&] { QTest::keyClick(ui(w).txtPartants, Qt::Key_Return); }), 0);
}

void WindowTest::enterRefillsTheStarterLists_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("count");
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("12.9") << "12.9" << 12;
    QTest::newRow("32767") << "32767" << 32767;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("-4") << "-4" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("abc") << "abc" << 0;
}

void WindowTest::enterRefillsTheStarterLists()
{
    QFETCH(QString, typed);
    QFETCH(int, count);
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"2"});
    ui(w).txtPartants->clear();
    QTest::keyClicks(ui(w).txtPartants, typed);
    QCOMPARE(ui(w).lstBases->count(), 18);  // only ENTER refills
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Return);
    for (QListWidget* list : {ui(w).lstBases, ui(w).lstOuts}) {
        QCOMPARE(list->count(), count);
        QVERIFY(list->selectedItems().isEmpty());
        if (count > 0)
            QCOMPARE(list->item(count - 1)->text(), QString::number(count));
    }
    QVERIFY(boxes->texts().isEmpty());
}

void WindowTest::tooManyStartersAreRefused()
{
    frmmenu& w = *window_;
    clickEntries(ui(w).lstOuts, {"4"});
    ui(w).txtPartants->setText(QStringLiteral("32768"));
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Return);
    QCOMPARE(boxes->texts().size(), 1);
    QVERIFY(boxes->texts().first().contains(QLatin1String("32767")));
    QCOMPARE(ui(w).lstBases->count(), 18);
    QCOMPARE(ui(w).lstOuts->count(), 18);
    QCOMPARE(ui(w).lstOuts->selectedItems().size(), 1);
}

// The engine's cap is what lstResultat can still scroll through: a merge of
// the largest number of lines below it is shown to its last line, one more
// horse makes a merge above it, which is refused.
void WindowTest::mergesUpToTheLineCap()
{
    frmmenu& w = *window_;
    const std::uint64_t cap = w.ticket().maxLines();
    QCOMPARE(cap, std::uint64_t(INT_MAX));  // the most rows a model can address
    // Quinté of bases only: C(horses, 5) lines.
    int horses = 5;
    while (driving::linesOfBlock(horses + 1, 5) <= cap)
        ++horses;
    const qint64 below = qint64(driving::linesOfBlock(horses, 5));

    driving::setStarters(w, horses);
    ui(w).lstBases->selectAll();
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);
    QTest::mouseClick(ui(w).OptionQuoi[4], Qt::LeftButton);
    QVERIFY(boxes->texts().isEmpty());
    QCOMPARE(ui(w).lblQtetotale->text(), QString::number(below));
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), below);
    QCOMPARE(ui(w).lblCout->text(), QStringLiteral(" %1 Euros").arg(2 * below));
    QVERIFY(ui(w).lblCout->geometry().right() < w.width());
    QVERIFY(ui(w).lblCout->fontMetrics().horizontalAdvance(ui(w).lblCout->text()) <= ui(w).lblCout->width());

    // Shown at once, and its last row reached and hit where it is drawn.
    QScrollBar* bar = ui(w).lstResultat->verticalScrollBar();
    QVERIFY(bar->maximum() > below - 100);
    ui(w).lstResultat->scrollToBottom();
    QCoreApplication::processEvents();
    const QModelIndex last = ui(w).lstResultat->model()->index(int(below - 1), 0);
    // Its lines are wider than the list: the row is whole from top to bottom.
    const QRect lastRect = ui(w).lstResultat->visualRect(last);
    QVERIFY(lastRect.top() >= 0 && lastRect.bottom() < ui(w).lstResultat->viewport()->height());
    QCOMPARE(ui(w).lstResultat->indexAt(lastRect.center()), last);
    QCOMPARE(last.data().toString(), QStringLiteral("%1-%2-%3-%4-%5")
                                         .arg(horses - 4).arg(horses - 3).arg(horses - 2).arg(horses - 1).arg(horses));

    ui(w).lstBases->addItem(QString::number(horses + 1));
    ui(w).lstBases->selectAll();
    QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
    QCOMPARE(boxes->texts().size(), 1);
    QVERIFY(boxes->texts().first().contains(QString::number(cap)));
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
    QCOMPARE(ui(w).lblQtetotale->text(), QStringLiteral("0"));
}

// The cost label shows the longest cost the engine accepts whole; one digit
// more is refused as a stake too large to price is. The result model keeps
// Qt's rules through the merge, the refusal and "Vider".
void WindowTest::refusesACostTheLabelCannotShow()
{
    frmmenu& w = *window_;
    QAbstractItemModelTester tester(ui(w).resultModel, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const qsizetype longest = qsizetype(w.ticket().maxCostTextLength());
    QVERIFY(longest > 12 && longest < 40);
    clickEntries(ui(w).lstBases, {"1", "2", "3"});
    const QString digits(longest - QStringLiteral("  Euros").size(), QLatin1Char('8'));
    ui(w).txtUnite->setText(digits);
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);  // one line
    QCOMPARE(ui(w).lblCout->text().size(), longest);
    QVERIFY(boxes->texts().isEmpty() && ui(w).lblCout->geometry().right() < w.width());

    ui(w).txtUnite->setText(digits + QLatin1Char('8'));
    QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("La mise unitaire \"%1\" ne convient pas : le coût de 1 lignes "
                                                     "ne peut pas être affiché en entier.\nSaisissez une autre mise.")
                                          .arg(digits + QLatin1Char('8'))});
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
    QCOMPARE(ui(w).lblQtetotale->text() + ui(w).lblCout->text(), QStringLiteral("0 0 Euros"));
    ui(w).txtUnite->setText(QStringLiteral("1"));
    QTest::mouseClick(ui(w).Option1[0], Qt::LeftButton);
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 1);
    QTest::mouseClick(ui(w).cmdVider[2], Qt::LeftButton);
    QCOMPARE(ui(w).lstResultat->model()->rowCount(), 0);
}

// The most rows a model can address, each reading its number.
class MostRowsModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : INT_MAX; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(QString::number(index.row())) : QVariant();
    }
};

void WindowTest::keysHitsAndScreenReaderReachTheLastOfTheMostRows()
{
    QListView* list = ui(window_).lstResultat;
    MostRowsModel rows;
    list->setModel(&rows);
    list->setFocus();
    const QModelIndex last = rows.index(INT_MAX - 1, 0);

    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentIndex(), last);
    QCoreApplication::processEvents();
    const QRect lastRect = list->visualRect(last);
    QVERIFY(lastRect.top() >= 0 && lastRect.bottom() < list->viewport()->height());
    QCOMPARE(list->indexAt(lastRect.center()), last);
    QVERIFY(!list->indexAt(lastRect.center() + QPoint(0, lastRect.height())).isValid());
    QTest::keyClick(list, Qt::Key_Down);  // stays on the last row
    QCOMPARE(list->currentIndex(), last);
    QTest::keyClick(list, Qt::Key_PageDown);
    QCOMPARE(list->currentIndex(), last);
    QTest::keyClick(list, Qt::Key_PageUp);
    const int page = INT_MAX - 1 - list->currentIndex().row();
    QVERIFY(page > 5 && page < list->viewport()->height() / lastRect.height());
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(list->currentIndex().row(), INT_MAX - 2 - page);
    QCOMPARE(list->indexAt(list->visualRect(list->currentIndex()).center()), list->currentIndex());

    // A screen reader reads the last line.
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    QVERIFY(view && view->tableInterface());
    QCOMPARE(view->tableInterface()->cellAt(INT_MAX - 1, 0)->text(QAccessible::Name), QString::number(INT_MAX - 1));

    QTest::keyClick(list, Qt::Key_Home);
    QCOMPARE(list->currentIndex(), rows.index(0, 0));
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    list->setModel(ui(window_).resultModel);
}

// Runs `action` while a timer reads each real box that opens and closes it:
// OK for a message box, "Annuler" for the others. Gives what each showed:
// its kind, caption, text (a question's with its answer field), buttons and,
// for a message box, its icon.
QStringList closingRealBoxes(const std::function<void()>& action)
{
    QStringList seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        QStringList said{modal->metaObject()->className(), modal->windowTitle()};
        QAbstractButton* close = modal->findChild<QPushButton*>();  // a progress dialogue's only one
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            said << box->text();
            close = box->button(QMessageBox::Ok);
        } else if (auto* question = qobject_cast<QInputDialog*>(modal)) {
            said << question->labelText() + " [" + question->textValue() + "]";
            close = question->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        } else if (auto* progress = qobject_cast<QProgressDialog*>(modal)) {
            said << progress->labelText();
        }
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            said << (button->isVisible() ? button->text().remove(QLatin1Char('&')) : QString());
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->icon() == QMessageBox::NoIcon)
            said << QStringLiteral("no icon");
        said.removeAll(QString());
        seen << said.join(QStringLiteral(" | "));
        close ? close->click() : void(modal->close());
    });
    timer.start(5);
    action();
    return seen;
}

// The one test that lets the real boxes open, as the user sees them; the
// others answer through Dialogs::TestAnswers.
void WindowTest::realBoxesAreModalAndCarryTheProgramsCaption()
{
    boxes.reset();
    frmmenu& w = *window_;
    clickEntries(ui(w).lstBases, {"3", "5", "7"});
    clickEntries(ui(w).lstOuts, {"5"});
    QCOMPARE(closingRealBoxes([&] { QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton); }),
             QStringList{"QMessageBox | Torvanel de pronos | Le 5 ne peut être à la fois base et outsider!\n"
                         "Supprimez-le des bases ou des outsiders. | OK | no icon"});
    // The position question opens with an empty field; "Annuler" moves
    // nothing, and the question taking the focus from the list is no leaving
    // of it: its empty entry stays.
    ui(w).lstBases->addItem(QString());
    const QStringList entries = driving::entries(ui(w).lstBases);
    const QPoint three = ui(w).lstBases->visualItemRect(ui(w).lstBases->item(2)).center();
    QCOMPARE(closingRealBoxes([&] { QTest::mouseClick(ui(w).lstBases->viewport(), Qt::LeftButton, Qt::ShiftModifier, three); }),
             QStringList{"QInputDialog | Torvanel de pronos | En quelle position est-ce que le cheval 3 va aller? [] | OK | Annuler"});
    QCOMPARE(driving::entries(ui(w).lstBases), entries);
    // A long job's progress dialogue: "Annuler" stops the job and closes it.
    bool goesOn = true;
    QCOMPARE(closingRealBoxes([&] {
                 JobProgress job(&w, 0, [](std::uint64_t, std::uint64_t) { return QStringLiteral("Copie"); });
                 for (int done = 0; goesOn && done < 2000; ++done) {
                     goesOn = job.step(std::uint64_t(done), 2000);
                     QTest::qWait(1);
                 }
             }),
             QStringList{"QProgressDialog | Torvanel de pronos | Copie | Annuler"});
    QVERIFY(!goesOn && !QApplication::activeModalWidget());
}

// While a test answers for the user no box opens: each is noted, and each
// question takes the next answer, or is cancelled once none is left.
void WindowTest::testAnswersOpenNoBoxAndAnswerInTurn()
{
    QStringList opened;
    QTimer guard;  // closes a box that opens all the same: a failure, not a hang
    connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            opened << modal->metaObject()->className() << QString::number(modal->close());
    });
    guard.start(5);
    boxes.reset();
    Dialogs::TestAnswers user;
    user.type(QStringLiteral("2")).choose(1).cancelProgress = true;
    Dialogs::showMessage(nullptr, QStringLiteral("Première ligne\r\nseconde ligne"));
    QCOMPARE(Dialogs::askText(nullptr, QStringLiteral("Position ?")), std::optional<QString>(QStringLiteral("2")));
    QCOMPARE(Dialogs::askItem(nullptr, QStringLiteral("Rapport ?"), {"Bonus 4", "Bonus 3"}), std::optional<int>(1));
    QCOMPARE(Dialogs::askText(nullptr, QStringLiteral("Encore ?")), std::nullopt);
    QCOMPARE(Dialogs::askSaveFileName(nullptr, QStringLiteral("/tmp/lignes.txt")), QString());
    QVERIFY(!JobProgress(nullptr, 0, [](std::uint64_t, std::uint64_t) { return QStringLiteral("Copie"); }).step(1, 2));
    QCOMPARE(opened, QStringList());
    QCOMPARE(user.texts(), QStringList{"Première ligne\nseconde ligne"});
    QCOMPARE(user.texts(Dialogs::Shown::Kind::Question), (QStringList{"Position ?", "Rapport ?", "Encore ?", "/tmp/lignes.txt"}));
    QCOMPARE(user.shown[2].items, (QStringList{"Bonus 4", "Bonus 3"}));
    QCOMPARE(user.texts(Dialogs::Shown::Kind::Progress), QStringList{"Copie"});
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
