#include "app/BackgroundJob.h"

#include "app/Dialogs.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

using namespace std::chrono_literals;

// How often the window looks at the worker: fast enough for the dialogue's
// bar and its button, slow enough to cost nothing.
constexpr auto kLookEvery = 20ms;

// The running job of each top-level window, for its close.
QHash<const QWidget*, BackgroundJob::Shared*>& runningJobs()
{
    static QHash<const QWidget*, BackgroundJob::Shared*> jobs;
    return jobs;
}

// Turns the window's controls off while the dialogue shows (the lines being
// worked on must not change), and back on with the focus where it was.
class ControlsOff {
public:
    explicit ControlsOff(QWidget& window) : window_(&window) {}
    ~ControlsOff()
    {
        for (const QPointer<QWidget>& child : std::as_const(disabled_))
            if (child)
                child->setEnabled(true);
        if (focus_)
            focus_->setFocus();
    }
    void turnOff()
    {
        if (!window_ || !disabled_.isEmpty())
            return;
        focus_ = window_->focusWidget();
        for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isWindow() && child->isEnabled()) {
                child->setEnabled(false);
                disabled_.append(child);
            }
    }

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
    QList<QPointer<QWidget>> disabled_;
};

}  // namespace

bool BackgroundJob::run(QWidget& window, const Work& work, JobProgress::LabelText label)
{
    QWidget* top = window.window();
    Shared shared;
    QEventLoop loop;
    QFutureWatcher<void> watcher;
    QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(QtConcurrent::run([&work, &shared] { work(shared); }));
    runningJobs().insert(top, &shared);

    const QPointer<QWidget> alive(top);
    bool givenUp = false;
    const auto start = std::chrono::steady_clock::now();
    const auto quietTime = Dialogs::progressAtOnceForTest() ? std::chrono::milliseconds(0) : kQuietTime;
    ControlsOff controls(*top);
    {
        JobProgress progress(top, 0, std::move(label), JobProgress::Modality::None);
        QTimer look;
        look.setInterval(kLookEvery);
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (watcher.isFinished() || givenUp)
                return;
            givenUp = shared.stop || !alive || !alive->isVisible();
            if (!givenUp && std::chrono::steady_clock::now() - start >= quietTime) {
                controls.turnOff();
                givenUp = !progress.step(std::min(shared.done.load(), shared.total.load()), std::max<std::uint64_t>(shared.total, 1));
            }
            if (givenUp) {
                shared.stop = true;
                loop.quit();
            }
        });
        look.start();
        if (!watcher.isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        look.stop();
    }
    // Also when the program is ending and has stopped every event loop.
    givenUp = givenUp || !watcher.isFinished() || shared.stop;
    shared.stop = true;
    watcher.waitForFinished();
    runningJobs().remove(top);
    return !givenUp && alive;
}

void BackgroundJob::cancel(QWidget& window)
{
    if (Shared* job = runningJobs().value(window.window()))
        job->stop = true;
}
