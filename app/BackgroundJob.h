#pragma once
// The one way long work (reducing, and the like) runs off the user-interface
// thread: the work runs on a worker thread (QtConcurrent) while the window
// paints; once it has taken a while the shared progress dialogue shows with
// "Annuler". The work never touches a widget: it reads what it was given and
// reports through Shared. Closing the window cancels the work and waits for
// it, so the window closes at once.

#include "app/JobProgress.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

class QWidget;

class BackgroundJob {
public:
    // What the work and the window share: a stop request the work must
    // honour soon, and how far it is (in the work's own steps).
    struct Shared {
        std::atomic<bool> stop{false};
        std::atomic<std::uint64_t> done{0};
        std::atomic<std::uint64_t> total{0};
    };
    using Work = std::function<void(Shared&)>;

    // A job that ends sooner shows no progress dialogue.
    static constexpr std::chrono::milliseconds kQuietTime{300};

    // Runs `work` and returns once it has ended. Until the dialogue shows,
    // the window paints but takes no click or key; then its controls are
    // off until the end, and the dialogue says `label(done, total)`.
    // False when the user cancelled, the window was closed or the program
    // is ending: the work was asked to stop, and has.
    static bool run(QWidget& window, const Work& work, JobProgress::LabelText label);

    // Asks the job running on `window`'s top-level window, if any, to stop;
    // its run() then returns false. For the window's close.
    static void cancel(QWidget& window);
};
