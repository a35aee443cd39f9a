#pragma once
// The progress dialogue of a long job over the result lines (making the pages
// of a printout, copying the lines): modal, with the program's title and an
// "Annuler" button, opened at the job's first step once the job is known to
// be long, so a short job never flashes a dialogue. While a test answers for
// the user (Dialogs::TestAnswers), the job runs or is cancelled as it says.

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// A count as the dialogues write it, "658 008".
QString frenchCount(std::uint64_t count);

class JobProgress {
public:
    // What the dialogue says at `done` steps of `total`.
    using LabelText = std::function<QString(std::uint64_t done, std::uint64_t total)>;

    // Application: the dialogue blocks every other window (a job that runs
    // on the user-interface thread). None: it blocks nothing, so that the
    // window can still be closed (a job on a worker thread, whose window
    // turns its own controls off).
    enum class Modality { Application, None };

    // A job of at most `quietTotal` steps runs without a dialogue.
    JobProgress(QWidget* parent, std::uint64_t quietTotal, LabelText label, Modality modality = Modality::Application);
    ~JobProgress();
    JobProgress(const JobProgress&) = delete;
    JobProgress& operator=(const JobProgress&) = delete;

    // Tells how far the job is and lets the window's events through, so the
    // dialogue paints and its button can be pressed; false once the user has
    // cancelled.
    bool step(std::uint64_t done, std::uint64_t total);

private:
    void open(const QString& label);

    QWidget* parent_;
    std::uint64_t quietTotal_;
    LabelText label_;
    Modality modality_;
    bool opened_ = false;
    bool cancelledByTest_ = false;  // while a test answers for the user, no dialogue opens
    std::unique_ptr<QProgressDialog> dialog_;
};
