#pragma once
// Every box the program opens: the message box (one OK button, no icon), the
// questions with OK and "Annuler" (a text, an item of a list), the question
// whether to go on (an action and "Annuler", no icon either), the save
// dialogue and the progress dialogue of a long job. All are modal and, but
// for the save dialogue, carry the program's title.
//
// A test answers them for the user through TestAnswers: while one lives, no
// box opens.

#include "merge/MergeTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace Dialogs {

// Caption of every box the program shows.
QString applicationTitle();

// Shows `text` and returns when the user has closed the box. Lines are
// separated by "\r\n", as the engine writes them.
void showMessage(QWidget* parent, const QString& text);

// Asks `question` with two buttons, `action` then "Annuler"; true when the
// user presses `action`.
bool askToGoOn(QWidget* parent, const QString& question, const QString& action);

// Asks a question with an empty answer field; nothing when the user cancels.
std::optional<QString> askText(QWidget* parent, const QString& prompt);

// Asks for one of `items`; its index, nothing when the user cancels.
std::optional<int> askItem(QWidget* parent, const QString& prompt, const QStringList& items);

// The toolkit's save dialogue, offering `suggested` (a full path): a text
// file unless the user picks the CSV filter, and a question before replacing
// a file. Empty when the user gives up.
QString askSaveFileName(QWidget* parent, const QString& suggested);

// The same for a text file under `caption` ("Enregistrer les arrivées non payées").
QString askSaveTextFileName(QWidget* parent, const QString& caption, const QString& suggested);

// The toolkit's file dialogue for forecasts (*.torvanel), to open one
// (`suggested` is the folder shown) or to save one (`suggested` is the full
// path offered; a question comes before replacing a file). Empty when the
// user gives up.
enum class ForecastFileRole { Open, Save };
QString askForecastFileName(QWidget* parent, ForecastFileRole role, const QString& suggested);

// Asks `question` about unsaved changes, with "Enregistrer", "Ne pas
// enregistrer" and "Annuler" (also Escape and the frame's close button).
enum class UnsavedChanges { Save, Discard, Cancel };
UnsavedChanges askUnsavedChanges(QWidget* parent, const QString& question);

// "Note du pronostic": the race (date, place, number) and the punter's own
// words, shown as they are and changed by the user; nothing when the user cancels.
struct ForecastNote {
    QString race;
    QString note;
};
std::optional<ForecastNote> askForecastNote(QWidget* parent, const ForecastNote& current);

// For the progress dialogue: while a test answers for the user, notes the
// dialogue that opens and tells whether the user cancels it; nothing when
// the real dialogue must open.
std::optional<bool> progressCancelledByTest(const QString& label);

// Whether a test wants the progress of background work shown at once.
bool progressAtOnceForTest();

// What a box said while a test answered for the user.
struct Shown {
    enum class Kind { Message, Question, Progress };
    Kind kind;
    QString caption;
    QString text;  // the message, the question, the file name offered, the progress' first words
    QStringList items;  // the items of a list question, the buttons of a question, the fields of a form
};

// The user a test plays. While it lives the program's boxes do not open:
// each one is noted in `shown`; each question takes the next queued answer,
// or is cancelled when none is queued; a progress dialogue runs to its end
// unless `cancelProgress` is set.
class TestAnswers {
public:
    TestAnswers();
    ~TestAnswers();
    TestAnswers(const TestAnswers&) = delete;
    TestAnswers& operator=(const TestAnswers&) = delete;

    // The next question gets `text` typed (or the file name given), then OK.
    TestAnswers& type(const QString& text);
    // The next list question gets item `index` chosen, then OK; the next
    // question with buttons gets button `index` pressed.
    TestAnswers& choose(int index);
    // The next reduction question gets payout `index` with a budget of at
    // most `lines` lines, then OK (choose(index): the full guarantee).
    TestAnswers& chooseWithinBudget(int index, std::uint64_t lines);
    // The next form gets `fields` typed in its fields, in order, then OK.
    TestAnswers& fill(const QStringList& fields);

    // The texts of what was shown of `kind`, in order.
    QStringList texts(Shown::Kind kind = Shown::Kind::Message) const;

    QList<Shown> shown;
    bool cancelProgress = false;  // "Annuler" as soon as a progress dialogue shows
    // Work on a worker thread shows its progress at once, not after its quiet
    // time, so that a test does not hang on the machine's speed.
    bool progressAtOnce = false;
    // Runs as each box would open, before it takes its answer.
    std::function<void(const Shown&)> whileShown;

    // Used by the boxes: notes `box` and gives the next answer, if any.
    struct Answer {
        QString text;
        int item = -1;
        std::uint64_t lines = 0;  // a budget in lines; 0: none
        QStringList fields;
    };
    std::optional<Answer> answer(const Shown& box);

private:
    QList<Answer> queued_;
    TestAnswers* outer_;
};

// For a box made elsewhere (the reduction's dialogue): while a test answers
// for the user, notes `box`, sets `answer` to the test's answer (nothing
// when it cancels) and returns true; false when the real box must open.
bool answeredByTest(const Shown& box, std::optional<TestAnswers::Answer>& answer);

}  // namespace Dialogs

// Lets the merge engine show its messages as the window's message boxes.
class WindowMessageSink : public torvanel::MessageSink {
public:
    explicit WindowMessageSink(QWidget* parent) : parent_(parent) {}
    void showMessage(const std::string& text) override;

private:
    QWidget* parent_;
};

// Drops the messages of work whose messages nobody reads (a pricing that only
// fills a label, a merge made apart from the window).
class SilentMessages : public torvanel::MessageSink {
public:
    void showMessage(const std::string&) override {}
};
