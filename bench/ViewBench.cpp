// What the result list costs the window, measured on the real window
// offscreen: for each list, the time from the click on "Fusionner" to the
// painted list, the longest gap between two paints of the list while it
// appears, the answer to scrolling (the thumb dragged to the end, Page Down,
// End), the peak memory and the memory left after "Vider", each list in a
// process of its own, against an empty window as the baseline.
//
//     view_bench              prints the table
//     view_bench --grab FILE  saves the window with a short merged list

#include "app/frmmenu.h"
#include "app/ResultListModel.h"
#include "generators/ResultList.h"
#include "tests/window/WindowControls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>

#include <climits>
#include <cstdio>
#include <functional>

namespace {

// VmHWM or VmRSS of this process, in MB.
double memoryMb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// Times the paints of the list's viewport: each paint is run inside the
// filter, so the time it keeps is when the paint has ended.
class PaintClock : public QObject {
public:
    explicit PaintClock(QWidget* viewport) { viewport->installEventFilter(this); }
    QList<qint64> ends;  // nanoseconds on `clock`
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || inside_)
            return false;
        inside_ = true;
        QCoreApplication::sendEvent(watched, event);
        inside_ = false;
        ends.append(clock.nsecsElapsed());
        return true;
    }

private:
    bool inside_ = false;
};

struct Appearance {
    double firstPaintMs = 0;
    double settledMs = 0;  // the last paint before the list stays still
    double longestGapMs = 0;
};

// Runs `action`, then the event loop until the list has been painted and
// no paint followed for `quietMs`.
Appearance timeUntilPainted(PaintClock& paints, const std::function<void()>& action, int quietMs = 300)
{
    paints.ends.clear();
    paints.clock.start();
    action();
    QElapsedTimer quiet;
    quiet.start();
    qsizetype seen = 0;
    // Waits up to 2 s for a first paint: an action may paint nothing.
    while (quiet.elapsed() < quietMs || (paints.ends.isEmpty() && paints.clock.elapsed() < 2000)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (paints.ends.size() != seen) {
            seen = paints.ends.size();
            quiet.restart();
        }
        if (paints.clock.elapsed() > 600000)
            break;
    }
    Appearance result;
    qint64 previous = 0;
    for (qint64 end : paints.ends) {
        result.longestGapMs = std::max(result.longestGapMs, (end - previous) / 1e6);
        previous = end;
    }
    if (!paints.ends.isEmpty()) {
        result.firstPaintMs = paints.ends.first() / 1e6;
        result.settledMs = paints.ends.last() / 1e6;
    }
    return result;
}

void setStarters(frmmenu& w, int starters)
{
    ui(w).txtPartants->setText(QString::number(starters));
    QTest::keyClick(ui(w).txtPartants, Qt::Key_Return);
}

void selectRange(QListWidget* list, int first, int last)
{
    for (int horse = first; horse <= last; ++horse)
        list->item(horse - 1)->setSelected(true);
}

// Quinté of `bases` horses, bases only.
void chooseQuinteOfBases(frmmenu& w, int bases)
{
    setStarters(w, bases);
    selectRange(ui(w).lstBases, 1, bases);
    ui(w).Option1[0]->click();
    ui(w).OptionQuoi[4]->click();
}

// Quarté, 2 bases + 2 outs, of `bases` bases and `outs` outsiders.
void chooseQuarteTwoAndTwo(frmmenu& w, int bases, int outs)
{
    setStarters(w, bases + outs);
    selectRange(ui(w).lstBases, 1, bases);
    selectRange(ui(w).lstOuts, bases + 1, bases + outs);
    ui(w).OptionQuoi[3]->click();
}

// A result list of exactly `lines` lines, made of single-group blocks.
torvanel::ResultList listOfExactly(std::uint64_t lines)
{
    const auto choose = [](std::uint64_t n, int k) {
        std::uint64_t c = 1;
        for (int i = 0; i < k; ++i)
            c = c * (n - i) / (i + 1);
        return c;
    };
    torvanel::ResultList list;
    for (int take = 5; take >= 1 && lines > 0; --take) {
        while (lines > 0) {
            std::uint64_t horses = take;
            while (horses < 32767 && choose(horses + 1, take) <= lines)
                ++horses;
            if (choose(horses, take) > lines)
                break;
            torvanel::ResultBlock block;
            for (std::uint64_t horse = 1; horse <= horses; ++horse)
                block.bases.push_back(torvanel::HorseNumber(horse));
            block.baseTake = take;
            list.append(block);
            lines -= choose(horses, take);
        }
    }
    return list;
}

bool lastRowShown(const QListView* list)
{
    const int rows = list->model()->rowCount();
    const QRect last = list->visualRect(list->model()->index(rows - 1, 0));
    // Whole from top to bottom (long lines are wider than the list).
    return rows > 0 && last.top() >= 0 && last.bottom() < list->viewport()->height();
}

// Presses the scroll bar's thumb and drags it past the bottom of its groove.
void dragThumbToEnd(QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, QPoint(thumb.center().x(), bar->height() + 50));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(thumb.center().x(), bar->height() + 50));
}

struct Case {
    const char* name;
    std::function<void(frmmenu&)> choose;  // run before "Vider" and the timed click
    bool setDirectly = false;              // shown by the model, not by a merge
};

int largestQuinteUnderTheCap(std::uint64_t cap)
{
    int horses = 5;
    const auto lines = [](std::uint64_t n) { return n * (n - 1) * (n - 2) * (n - 3) * (n - 4) / 120; };
    while (lines(horses + 1) <= cap)
        ++horses;
    return horses;
}

const QList<Case>& cases()
{
    static const QList<Case> all{
        {"empty window", nullptr},
        {"Quinte bases only, 100 starters", [](frmmenu& w) { chooseQuinteOfBases(w, 100); }},
        {"Quinte bases only, 116 starters", [](frmmenu& w) { chooseQuinteOfBases(w, 116); }},
        {"Quarte 2 bases + 2 outs, 115 x 225", [](frmmenu& w) { chooseQuarteTwoAndTwo(w, 115, 225); }},
        {"Quinte bases only, largest under the cap",
         [](frmmenu& w) { chooseQuinteOfBases(w, largestQuinteUnderTheCap(w.ticket().maxLines())); }},
        {"2^31 - 1 lines, set on the model", nullptr, true},
    };
    return all;
}

// Closes every message box as it opens (a merge of the setup may refuse).
void closeMessageBoxes(QTimer& timer)
{
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->close();
    });
    timer.start();
}

// One case in this process: prints a tab-separated line of figures.
int runCase(int index)
{
    const Case& c = cases().at(index);
    QTimer boxes;
    closeMessageBoxes(boxes);
    frmmenu w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    QListView* list = ui(w).lstResultat;
    PaintClock paints(list->viewport());
    timeUntilPainted(paints, [] {}, 200);

    Appearance shown;
    double drag = 0, pageDown = 0, end = 0;
    bool endShown = true;
    std::uint64_t lines = 0;
    if (c.choose || c.setDirectly) {
        if (c.choose)
            c.choose(w);
        ui(w).cmdVider[2]->click();
        timeUntilPainted(paints, [] {}, 200);
        const torvanel::ResultList exact = c.setDirectly ? listOfExactly(INT_MAX) : torvanel::ResultList();
        ResultListModel direct(nullptr);  // a list no merge can make
        shown = timeUntilPainted(paints, [&] {
            if (c.setDirectly) {
                list->setModel(&direct);
                direct.show(exact);
            } else {
                QTest::mouseClick(ui(w).cmdFusionner, Qt::LeftButton);
            }
        });
        lines = std::uint64_t(list->model()->rowCount());
        drag = timeUntilPainted(paints, [&] { dragThumbToEnd(list->verticalScrollBar()); }, 100).settledMs;
        endShown = lastRowShown(list);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        pageDown = timeUntilPainted(paints, [&] { QTest::keyClick(list, Qt::Key_PageDown); }, 100).settledMs;
        end = timeUntilPainted(paints, [&] { QTest::keyClick(list, Qt::Key_End); }, 100).settledMs;
        endShown = endShown && lastRowShown(list)
                && list->currentIndex().row() == list->model()->rowCount() - 1;
    }
    const double peak = memoryMb("VmHWM:");
    ui(w).cmdVider[2]->click();
    timeUntilPainted(paints, [] {}, 200);
    const double afterVider = memoryMb("VmRSS:");
    std::printf("%llu\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%d\n", static_cast<unsigned long long>(lines),
                shown.firstPaintMs, shown.settledMs, shown.longestGapMs, drag, pageDown, end, peak, afterVider,
                int(endShown));
    return 0;
}

int printTable()
{
    std::printf("| List | Lines | Click to first paint (ms) | Click to settled list (ms) | Longest gap between "
                "paints (ms) | Thumb to end (ms) | Page Down (ms) | End (ms) | Last line shown | Peak VmHWM (MB) | "
                "VmRSS after Vider (MB) |\n|---|---|---|---|---|---|---|---|---|---|---|\n");
    double basePeak = 0, baseAfter = 0;
    for (int i = 0; i < cases().size(); ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), QString::number(i)});
        if (!child.waitForFinished(900000) || child.exitCode() != 0) {
            std::printf("| %s | failed |\n", cases()[i].name);
            continue;
        }
        const QList<QByteArray> f = child.readAllStandardOutput().trimmed().split('\t');
        if (f.size() != 10)
            continue;
        const double peak = f[7].toDouble(), after = f[8].toDouble();
        if (i == 0) {
            basePeak = peak;
            baseAfter = after;
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %.1f (+%.1f) | %.1f (+%.1f) |\n", cases()[i].name,
                    f[0].constData(), f[1].constData(), f[2].constData(), f[3].constData(), f[4].constData(),
                    f[5].constData(), f[6].constData(), f[9] == "1" ? "yes" : "NO", peak, peak - basePeak, after,
                    after - baseAfter);
        std::fflush(stdout);
    }
    return 0;
}

// The window with a short merged list, a line selected and the list scrolled.
int grab(const QString& file)
{
    QTimer boxes;
    closeMessageBoxes(boxes);
    frmmenu w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    chooseQuinteOfBases(w, 12);
    QListView* list = ui(w).lstResultat;
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int step = 0; step < 3; ++step)
        QTest::keyClick(list, Qt::Key_PageDown);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::qWait(100);
    return w.grab().save(file) ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--case"))
        return runCase(args[2].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("--grab"))
        return grab(args[2]);
    return printTable();
}
