// The guided tour "Montrez-moi!" played on the real window.

#include "WindowDriving.h"

#include "app/GuidedTour.h"

#include <optional>

#include <sys/resource.h>

namespace {

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

using driving::entries;

}  // namespace

class TourTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        tour::clock().speed = 20;  // a tour in about 1.3 s
        w = new frmmenu;
        driving::openWindow(*w);
        boxes.emplace();
    }
    void cleanup() { delete w; boxes.reset(); }
    void tourAtRealSpeed();
    void secondTourInsideTheFirst();
    void blinkPhaseCarriesOver();
    void userTypesDuringTour();
    void userEmptiesBasesDuringTour();
    void closingWindowEndsTourAtOnce_data();
    void closingWindowEndsTourAtOnce();
    // Last: once the application has been told to leave, no tour runs again.
    void applicationLeavesInTheMiddle_data();
    void applicationLeavesInTheMiddle();

private:
    void checkEndState();
    // Connected after the window's own handler, so it sees each tick's result.
    void onTick(const std::function<void()>& sample) { connect(ui(w).Timer1, &QTimer::timeout, this, sample); }

    QPointer<frmmenu> w;
    std::optional<Dialogs::TestAnswers> boxes;  // the merges' message boxes
};

void TourTest::checkEndState()
{
    QCOMPARE(entries(ui(w).lstBases), (QStringList{"8", "14", "3", "13", "7"}));
    QCOMPARE(entries(ui(w).lstBases, true), entries(ui(w).lstBases));
    QCOMPARE(entries(ui(w).lstOuts), (QStringList{"2", "10", "16", "4"}));
    QCOMPARE(entries(ui(w).lstOuts, true), (QStringList{"10", "4"}));
    QVERIFY(ui(w).Option1[3]->isChecked() && ui(w).OptionQuoi[3]->isChecked() && ui(w).OptionTierce[0]->isChecked());
    QCOMPARE(w->focusWidget(), ui(w).lstBases);
    QCOMPARE(ui(w).txtInserer[0]->text(), "7");
    // The last merge: Quarté, 2 bases + 2 outs, C(5,2) lines.
    QCOMPARE(ui(w).resultModel->rowCount(), 10);
    QCOMPARE(ui(w).lblQtetotale->text(), "10");
    QVERIFY(!ui(w).Timer1->isActive() && !ui(w).lblAide->isVisible() && !ui(w).Image2->isVisible());
    QVERIFY(boxes->texts().isEmpty());
}

void TourTest::tourAtRealSpeed()
{
    tour::clock().speed = 1;
    // Any lists and choices to start from.
    ui(w).OptionQuoi[4]->setChecked(true);
    ui(w).lstOuts->selectAll();
    int ticks = 0, shown = 0;
    bool blinkMatchesCount = true, instructionShown = true, controlOnTop = false;
    QList<QPoint> places;
    onTick([&] {
        ++ticks;
        shown += ui(w).Image2->isVisible();
        blinkMatchesCount &= ui(w).Image2->isVisible() == (w->blinkCount() != 0);
        instructionShown &= ui(w).lblAide->isVisible();
        if (places.isEmpty() || places.last() != ui(w).Image2->pos())
            places.append(ui(w).Image2->pos());
        if (places.size() == 1 && ui(w).Image2->isVisible())
            controlOnTop = w->childAt(ui(w).cmdVider[0]->geometry().center()) == ui(w).cmdVider[0];
    });
    QElapsedTimer wall;
    wall.start();
    const double processorAtStart = processorSeconds();
    QTest::mouseClick(ui(w).Command1, Qt::LeftButton);
    const double seconds = wall.elapsed() / 1000.0, processor = processorSeconds() - processorAtStart;
    qInfo("Tour at real speed: %.2f s, processor %.3f s (%.2f %% of the wall time), %d ticks, %d shown",
          seconds, processor, 100 * processor / seconds, ticks, shown);

    QVERIFY2(seconds > 25.4 && seconds < 40, qPrintable(QString::number(seconds)));
    QVERIFY(processor < 0.25 * seconds);  // a spinning wait would use all of it
    QVERIFY(blinkMatchesCount && instructionShown && controlOnTop);
    QVERIFY2(std::abs(3 * shown - 2 * ticks) <= 3, qPrintable(QString::number(shown)));
    // Each place of the highlight surrounds the control being shown.
    const QWidget* shownControls[] = {ui(w).cmdVider[0], ui(w).cmdVider[1], ui(w).txtInserer[0],
                                      ui(w).lstBases, ui(w).cmdTous[0], ui(w).Option1[0],
                                      ui(w).Option1[3], ui(w).OptionQuoi[3], ui(w).PictureDetail[3]};
    QCOMPARE(places.size(), int(std::size(shownControls)));
    QCOMPARE(places[3].x(), -27);  // -400 and -180 twips, rounded as positive places are
    QCOMPARE(places[4].x(), -12);
    for (int i = 0; i < places.size(); ++i) {
        const QRect control(shownControls[i]->mapTo(w, QPoint()), shownControls[i]->size());
        const QRect glow(places[i], ui(w).Image2->size());
        QVERIFY2(glow.intersects(control) && glow.left() < control.center().x() && control.center().x() < glow.right(),
                 qPrintable(shownControls[i]->objectName()));
    }
    checkEndState();
}

void TourTest::secondTourInsideTheFirst()
{
    bool started = false, shownAfterSecond = true;
    QStringList basesAfterSecond;
    connect(ui(w).txtInserer[0], &QLineEdit::textChanged, this, [&](const QString& text) {
        if (text != "14" || started)
            return;
        started = true;
        // In the first tour's wait after "14".
        QTimer::singleShot(0, this, [&] {
            ui(w).Command1->click();
            basesAfterSecond = entries(ui(w).lstBases);
            shownAfterSecond = ui(w).Timer1->isActive() || ui(w).lblAide->isVisible() || ui(w).Image2->isVisible();
        });
    });
    w->Command1_Click();
    // The second tour's last step stopped the blink and hid both for good.
    QVERIFY(started && !shownAfterSecond);
    QCOMPARE(basesAfterSecond, (QStringList{"8", "14", "3", "13", "7"}));
    // The first tour went on with "3": its later steps ran once more.
    QCOMPARE(entries(ui(w).lstBases), (QStringList{"8", "14", "3", "13", "7", "3", "13", "7"}));
    QCOMPARE(entries(ui(w).lstOuts, true), (QStringList{"10", "4"}));
    QCOMPARE(ui(w).lstOuts->count(), 8);
    QVERIFY(!ui(w).Timer1->isActive() && !ui(w).Image2->isVisible());
}

void TourTest::blinkPhaseCarriesOver()
{
    QList<int> counts;
    onTick([&] { counts.append(w->blinkCount()); });
    w->setBlinkCount(2);
    w->Command1_Click();
    QVERIFY(counts.size() >= 3);
    QCOMPARE(counts.first(), 0);  // 2 then one tick: hidden at once
    const int left = w->blinkCount();
    QCOMPARE(left, counts.last());
    counts.clear();
    w->Command1_Click();
    QVERIFY(!counts.isEmpty());
    QCOMPARE(counts.first(), (left + 1) % 3);
}

// What the user types or fills in during the waits: the tour appends the
// horses of its script, and never beyond a list's limit.
void TourTest::userTypesDuringTour()
{
    connect(ui(w).txtInserer[0], &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text == "14")
            QTimer::singleShot(0, w, [this] { ui(w).txtInserer[0]->setText("99"); });
    });
    w->Command1_Click();
    checkEndState();

    connect(ui(w).txtInserer[0], &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text == "8")  // both lists emptied: refilled to their limit
            QTimer::singleShot(0, w, [this] {
                ui(w).txtPartants->setText("32767");
                QTest::keyClick(ui(w).txtPartants, Qt::Key_Return);
            });
    });
    w->Command1_Click();
    QCOMPARE(ui(w).lstBases->count(), 32767);
    QCOMPARE(ui(w).lstOuts->count(), 32767);
}

void TourTest::userEmptiesBasesDuringTour()
{
    connect(ui(w).txtInserer[0], &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text == "7")
            QTimer::singleShot(0, w, [this] { w->cmdVider_Click(0); });
    });
    w->Command1_Click();
    // The entries the tour selects next are gone; the merges say what is missing.
    QCOMPARE(ui(w).lstBases->count(), 0);
    QVERIFY(boxes->texts().contains("Vous devez sélectionner au moins 3 bases..."));
    QVERIFY(!ui(w).Timer1->isActive() && !ui(w).Image2->isVisible());
}

void TourTest::closingWindowEndsTourAtOnce_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("closed") << false;
    QTest::newRow("destroyed") << true;
}

void TourTest::closingWindowEndsTourAtOnce()
{
    QFETCH(bool, destroy);
    tour::clock().speed = 1;
    QTimer::singleShot(300, this, [&] { destroy ? delete w.data() : void(w->close()); });
    QElapsedTimer wall;
    wall.start();
    w->Command1_Click();
    QVERIFY(wall.elapsed() < 5000);  // the tour has 25 seconds left
    if (destroy) {
        QVERIFY(w.isNull());
        return;
    }
    QCOMPARE(ui(w).lstBases->count(), 18);  // emptied only after the first wait
    QVERIFY(!ui(w).Timer1->isActive() && !ui(w).Image2->isVisible());
}

void TourTest::applicationLeavesInTheMiddle_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("window closed") << 0;
    QTest::newRow("quit") << 1;
    QTest::newRow("exit") << 2;
}

void TourTest::applicationLeavesInTheMiddle()
{
    QFETCH(int, how);
    tour::clock().speed = 1;
    QTimer::singleShot(0, ui(w).Command1, &QPushButton::click);
    QTimer::singleShot(500, this, [&] {
        if (how == 0)
            w->close();
        else if (how == 1)
            QCoreApplication::quit();
        else
            QCoreApplication::exit(0);
    });
    QTimer watchdog;  // the tour hung
    watchdog.callOnTimeout([] { QCoreApplication::exit(1); });
    watchdog.start(15000);
    QElapsedTimer wall;
    wall.start();
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(wall.elapsed() < 5000);
}

QTEST_MAIN(TourTest)
#include "tst_tour.moc"
