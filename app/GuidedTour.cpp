#include "app/GuidedTour.h"

#include "app/ControlTable.h"
#include "app/frmmenu.h"
#include "app/PictureBox.h"
#include "merge/EntryRules.h"

#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>

#include <cmath>
#include <optional>

namespace {

// Set for good once a wait's event loop was ended by someone other than the
// tour: only the application leaving does that.
bool applicationLeaving = false;

// ---- What the steps do ------------------------------------------------------

using Action = void (*)(const TourStage&);

void beginTour(const TourStage& w)
{
    w.window.cmdVider_Click(2);
    w.Timer1->start();
    w.lblAide->show();
    w.Image2->show();
}

void typeFirstBase(const TourStage& w)
{
    w.window.cmdVider_Click(1);
    w.txtInserer[0]->setFocus();
    w.txtInserer[0]->setText(QStringLiteral("8"));
}

// The tour appends its own numbers, without the insert box's test and whatever
// the user typed into the box meanwhile; a list the user refilled to its limit
// during a wait takes no more.
void append(QListWidget* list, const char* horse)
{
    if (list->count() < torvanel::entry::kMaxEntries)
        list->addItem(QLatin1String(horse));
}

void typeBase(const TourStage& w, const char* horse)
{
    w.txtInserer[0]->setText(QLatin1String(horse));
    append(w.lstBases, horse);
}

// The user may have emptied the list during a wait: an entry that is no
// longer there is left alone.
void selectEntry(QListWidget* list, int row)
{
    if (QListWidgetItem* item = list->item(row))
        item->setSelected(true);
}

void setOption(QRadioButton* option)
{
    option->click();  // as the user's click: sets it and runs its handler, which reruns the merge
}

// ---- The script ---------------------------------------------------------------

struct TourStep {
    Action before;                    // done first
    const char* instruction;          // into lblAide; nullptr leaves it as it was
    std::optional<QPoint> highlight;  // Left, Top of Image2 in twips; none: it stays
    Action after;                     // done once instruction and highlight are set
    int waitSeconds;                  // the wait that ends the step
};

const TourStep kScript[] = {
    // Both horse lists are emptied, then the bases typed in one by one.
    {beginTour, "Tout d'abord videz les listes", QPoint{420, 990}, nullptr, 2},
    {[](const TourStage& w) { w.window.cmdVider_Click(0); }, nullptr, QPoint{600, 2350}, nullptr, 2},
    {typeFirstBase, "Ensuite, insérez les chevaux à prendre comme bases.", QPoint{345, 1485}, nullptr, 2},
    {[](const TourStage& w) { append(w.lstBases, "8"); }, "Appuyez sur ENTREE POUR VALIDER.", std::nullopt, nullptr, 1},
    {[](const TourStage& w) { typeBase(w, "14"); }, nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { typeBase(w, "3"); }, nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { typeBase(w, "13"); }, nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { typeBase(w, "7"); }, "Sélectionnez les chevaux de base avec la souris",
     QPoint{-400, 1000}, nullptr, 3},
    // The bases are selected, by hand and then all at once.
    {[](const TourStage& w) {
         w.lstBases->setFocus();
         selectEntry(w.lstBases, 1);
     },
     nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { selectEntry(w.lstBases, 3); }, nullptr, std::nullopt, nullptr, 1},
    {nullptr, "Ou bien sélectionnez-les tous avec le bouton TOUS", QPoint{-180, 5010},
     [](const TourStage& w) { w.window.cmdTous_Click(0); }, 3},
    // The outsiders, then every way of mixing, a bet type and a split.
    {nullptr, "Agisez de même avec les outsiders", std::nullopt,
     [](const TourStage& w) {
         for (const char* horse : {"2", "10", "16", "4"})
             append(w.lstOuts, horse);
     },
     2},
    {[](const TourStage& w) {
         selectEntry(w.lstOuts, 1);
         selectEntry(w.lstOuts, 3);
     },
     "Cochez alors votre choix", QPoint{2250, 1335}, [](const TourStage& w) { setOption(w.Option1[0]); }, 1},
    {[](const TourStage& w) { setOption(w.Option1[1]); }, nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { setOption(w.Option1[2]); }, nullptr, std::nullopt, nullptr, 1},
    {[](const TourStage& w) { setOption(w.Option1[3]); }, nullptr, QPoint{1920, 2205}, nullptr, 1},
    {[](const TourStage& w) { setOption(w.OptionQuoi[3]); }, nullptr, QPoint{1900, 5280}, nullptr, 1},
    // The Tiercé split is set although the Quarté panel now hides it.
    {[](const TourStage& w) { setOption(w.OptionTierce[0]); }, nullptr, QPoint{4365, 4830}, nullptr, 1},
};

void perform(const TourStage& w, const TourStep& step)
{
    if (step.before)
        step.before(w);
    if (step.instruction)
        w.lblAide->setText(QString::fromUtf8(step.instruction));
    if (step.highlight)
        w.Image2->move(controls::twipsToPixels(step.highlight->x()),
                       controls::twipsToPixels(step.highlight->y()));
    if (step.after)
        step.after(w);
}

}  // namespace

// ---- Clock ----------------------------------------------------------------------

namespace tour {

double Clock::now() const
{
    using Seconds = std::chrono::duration<double>;
    const Seconds sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return sinceStart.count() * speed + offset;
}

std::chrono::milliseconds Clock::realTimeFor(double clockSeconds) const
{
    // Rounded up, so the timer does not end the wait a hair too soon.
    return std::chrono::milliseconds{static_cast<long long>(std::ceil(clockSeconds / speed * 1000.0))};
}

Clock& clock()
{
    static Clock theClock;
    return theClock;
}

}  // namespace tour

// ---- Running the tour --------------------------------------------------------------

GuidedTour::GuidedTour(frmmenu* window, const TourStage& stage) : QObject(window), window_(window), stage_(stage)
{
    setObjectName(QStringLiteral("guidedTour"));
    window->installEventFilter(this);
}

bool GuidedTour::mayGoOn() const
{
    return !windowClosed_ && !applicationLeaving;
}

bool GuidedTour::eventFilter(QObject* watched, QEvent* event)
{
    // Closing the window hides it; a minimised window is hidden by the
    // system (a spontaneous event) and stays open.
    if (watched == window_ && !event->spontaneous()) {
        if (event->type() == QEvent::Hide) {
            windowClosed_ = true;
            emit windowClosed();
        } else if (event->type() == QEvent::Show) {
            windowClosed_ = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

void GuidedTour::play()
{
    QPointer<GuidedTour> self(this);
    for (const TourStep& step : kScript) {
        perform(stage_, step);
        wait(step.waitSeconds);
        if (!self)
            return;  // the window is gone with everything on it
        if (!mayGoOn())
            break;
    }
    leaveTour();
}

// The last step of every run, a run started inside another one too: the outer
// run then goes on with the highlight and the instruction hidden.
void GuidedTour::leaveTour()
{
    stage_.Timer1->stop();
    stage_.lblAide->hide();
    stage_.Image2->hide();
}

void GuidedTour::wait(int seconds)
{
    const tour::Clock& clock = tour::clock();
    // The start is the nearest whole second (halves to the even one), so a wait
    // of s seconds lasts from s - 0.5 to s + 0.5 seconds.
    const double start = std::nearbyint(clock.now());
    QPointer<GuidedTour> self(this);
    while (self && mayGoOn()) {
        const double left = start + seconds - clock.now();
        if (left <= 0)
            return;
        // Not parented to the window: they must outlive it if it is destroyed
        // in the middle of the wait.
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        bool timedOut = false;
        connect(&timer, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        connect(this, &GuidedTour::windowClosed, &loop, &QEventLoop::quit);
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        timer.start(clock.realTimeFor(left));
        loop.exec();
        if (self && !timedOut && !windowClosed_)
            applicationLeaving = true;
    }
}
