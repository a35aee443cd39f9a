// A long random run of the real window, driven as a careless user would: clicks,
// SHIFT+presses, keys and typed texts on every control that can be seen, focus
// moving about, and every box the window opens answered at random. After each
// merge the count, the cost and a sample of the lines are checked against what
// the merge read from the window.
//
// The seed is printed at the start; TORVANEL_MONKEY_SEED=<seed> replays a run
// and TORVANEL_MONKEY_EVENTS=<n> sets its length.

#include "generators/Numbers.h"
#include "merge/SelectionState.h"
#include "WindowDriving.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScopeGuard>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <vector>

namespace {

using torvanel::HorseNumber;
using torvanel::WideCount;

constexpr quint32 kDefaultSeed = 1789;
constexpr int kDefaultEvents = 4000;
const char* const kAnswered = "monkeyAnswered";

quint64 fromEnvironment(const char* name, quint64 fallback)
{
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok, 0);
    return ok ? value : fallback;
}

// Draws from a Mersenne twister with reductions of our own, so that a seed
// plays the same run whatever the standard library.
class Dice {
public:
    explicit Dice(quint32 seed) : engine_(seed) {}
    int below(int n) { return n <= 0 ? 0 : int((std::uint64_t(engine_()) * std::uint64_t(n)) >> 32); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T>
    T among(std::initializer_list<T> items) { return items.begin()[below(int(items.size()))]; }

private:
    std::mt19937 engine_;
};

// Ends the process when the run has not finished in time: a hang, even one
// that never returns to an event loop, fails the test instead of stalling it.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, quint32 seed)
        : thread_([this, limit, seed] {
              std::unique_lock lock(mutex_);
              if (!finished_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "FAIL! The random run hung at event %d (seed %u)\n", event.load(), seed);
                  std::abort();
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        finished_.notify_one();
        thread_.join();
    }
    std::atomic<int> event{0};

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_;
};

// What one merge read from the window, taken as it hands its lines to the list.
struct MergeRead {
    std::vector<HorseNumber> bases, outs;  // selected horses, in list order
    QString unreadable;                    // a selected entry that is no horse number
    int baseTake = 0, outTake = 0;         // the split the front panel shows
    int mode = -1;                         // the checked fusion type
    std::array<bool, 2> include{};
    QString stake, countBefore, costBefore;
    QStringList messages;                  // the boxes the merge showed
};

// Horses each line of a block takes from the bases and from the outsiders.
struct Block {
    int bases;
    int outs;
};

// The blocks of lines a merge makes, in list order, as the window's choices
// describe them.
std::vector<Block> blocksOf(const MergeRead& m)
{
    const int size = m.baseTake + m.outTake;
    std::vector<Block> blocks;
    if (m.mode == 0 || m.mode == 2)
        blocks.push_back({size, 0});
    if (m.mode == 1 || m.mode == 2)
        blocks.push_back({0, size});
    if (m.mode == 3)
        blocks.push_back({m.baseTake, m.outTake});
    if (m.include[0])
        blocks.push_back({size, 0});
    if (m.include[1])
        blocks.push_back({0, size});
    return blocks;
}

WideCount linesOf(const Block& block, const MergeRead& m)
{
    return driving::linesOfBlock(m.bases.size(), block.bases, m.outs.size(), block.outs);
}

bool shareAHorse(const std::vector<HorseNumber>& a, const std::vector<HorseNumber>& b)
{
    return std::any_of(a.begin(), a.end(), [&](HorseNumber x) { return std::find(b.begin(), b.end(), x) != b.end(); });
}

// Whether `part` can be taken from `list` keeping the list's order, each
// entry used once.
bool inListOrder(const std::vector<int>& part, const std::vector<HorseNumber>& list)
{
    auto next = list.begin();
    for (int number : part) {
        next = std::find(next, list.end(), number);
        if (next == list.end())
            return false;
        ++next;
    }
    return true;
}

// The horse numbers of a result line ("03-0-5-12" holds -5: everything below
// 10 is written after a "0"); nothing when the line is not numbers joined by "-".
std::optional<std::vector<int>> numbersOf(const QString& line)
{
    static const QRegularExpression number(QStringLiteral("0(\\d|-\\d+)|[1-9]\\d*"));
    std::vector<int> numbers;
    qsizetype i = 0;
    for (;;) {
        const QRegularExpressionMatch match =
            number.match(line, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return std::nullopt;
        const QString text = match.captured();
        numbers.push_back(text.startsWith(QLatin1Char('0')) ? text.mid(1).toInt() : text.toInt());
        i += text.size();
        if (i == line.size())
            return numbers;
        if (line[i] != QLatin1Char('-'))
            return std::nullopt;
        ++i;
    }
}

QString formatted(const std::vector<int>& numbers)
{
    QStringList parts;
    for (int number : numbers)
        parts << QString::fromStdString(torvanel::FormatHorseNumber(HorseNumber(number)));
    return parts.join(QLatin1Char('-'));
}

// "2 bases + 1 out", "1 base +  1 out": the horses a line takes from each list.
std::pair<int, int> takesOf(const QString& caption)
{
    static const QRegularExpression form(QStringLiteral("^(\\d) bases? \\+ +(\\d) outs?$"));
    const QRegularExpressionMatch match = form.match(caption);
    return match.hasMatch() ? std::pair{match.captured(1).toInt(), match.captured(2).toInt()} : std::pair{0, 0};
}

class Monkey {
public:
    Monkey(frmmenu& window, quint32 seed, bool mayPrint) : w(window), dice(seed), mayPrint_(mayPrint)
    {
        answerer_.setInterval(0);
        QObject::connect(&answerer_, &QTimer::timeout, [this] { answerMenu(); });
        answerer_.start();
        user_.whileShown = [this](const Dialogs::Shown& box) { answer(box); };
        QObject::connect(ui(w).resultModel, &QAbstractItemModel::modelAboutToBeReset, [this] {
            lastMerge_ = readMerge();
            lastMerge_->messages = messages_.mid(mark_);
            viderLast_ = false;
        });
        QObject::connect(ui(w).resultModel, &QAbstractItemModel::modelReset, [this] { mark_ = messages_.size(); });
        // Connected after the window's own handler: set once the list has been emptied.
        QObject::connect(ui(w).cmdVider[2], &QPushButton::clicked, [this] { viderLast_ = true; });
    }

    void step(int event);
    QString check();
    QString recent() const { return log_.join(QLatin1Char('\n')); }

    int merges = 0, mergesWithLines = 0, refusedMerges = 0;
    int messageBoxes = 0, questions = 0, progressDialogs = 0, menus = 0;

private:
    void note(const QString& what);
    bool reachable(QWidget* control) const;
    QWidget* pickReachable(const QList<QWidget*>& controls);
    QPoint anywhereIn(const QWidget* widget)
    {
        // Two statements: the order of a call's arguments differs between compilers.
        const int x = dice.below(widget->width());
        return {x, dice.below(widget->height())};
    }
    QString pointText(QPoint p) const { return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y()); }

    void clickHorseList();
    void keyInHorseList();
    void typeIntoTextBox();
    void clickChoice();
    void clickButton();
    void useResultList();
    void moveFocus();
    void hover();

    void answerMenu();
    void answer(const Dialogs::Shown& box);
    QString positionAnswer();
    MergeRead readMerge() const;
    QString checkMerge(const MergeRead& m);
    QString checkLine(int row, const Block& block, const MergeRead& m) const;

    frmmenu& w;
    Dice dice;
    bool mayPrint_;
    QTimer answerer_;
    Dialogs::TestAnswers user_;
    QStringList messages_;
    QStringList log_;
    QString trouble_;  // found by the answerer, reported after the event
    qsizetype mark_ = 0;
    std::optional<MergeRead> lastMerge_;
    bool viderLast_ = false;
    int event_ = 0;
};

void Monkey::note(const QString& what)
{
    log_ << QStringLiteral("  %1: %2").arg(event_).arg(what);
    if (log_.size() > 15)
        log_.removeFirst();
}

// Shown, enabled and on top at its centre: the user can see it and press it
// (a split button on a panel behind the front one cannot be).
bool Monkey::reachable(QWidget* control) const
{
    if (!control->isVisible() || !control->isEnabled())
        return false;
    QWidget* top = w.childAt(control->mapTo(&w, control->rect().center()));
    return top && (top == control || control->isAncestorOf(top));
}

QWidget* Monkey::pickReachable(const QList<QWidget*>& controls)
{
    QList<QWidget*> shown;
    for (QWidget* control : controls)
        if (reachable(control))
            shown << control;
    return shown.isEmpty() ? nullptr : shown[dice.below(int(shown.size()))];
}

void Monkey::step(int event)
{
    event_ = event;
    QCoreApplication::processEvents();  // painting, the result list's layout
    mark_ = messages_.size();
    lastMerge_.reset();
    using Action = void (Monkey::*)();
    static const std::pair<int, Action> actions[] = {
        {28, &Monkey::clickHorseList}, {7, &Monkey::keyInHorseList}, {10, &Monkey::typeIntoTextBox},
        {22, &Monkey::clickChoice},    {15, &Monkey::clickButton},   {7, &Monkey::useResultList},
        {6, &Monkey::moveFocus},       {5, &Monkey::hover},
    };
    int roll = dice.below(100);
    for (const auto& [weight, action] : actions) {
        if (roll < weight)
            return (this->*action)();
        roll -= weight;
    }
}

void Monkey::clickHorseList()
{
    QListWidget* list = dice.chance(50) ? ui(w).lstBases : ui(w).lstOuts;
    QWidget* viewport = list->viewport();
    const QPoint at = anywhereIn(viewport);
    const int kind = dice.below(100);
    const char* how = kind < 62 ? "click" : kind < 80 ? "SHIFT+click" : kind < 88 ? "CTRL+click"
                    : kind < 94 ? "right click" : "double click";
    note(QStringLiteral("%1 %2 at %3").arg(list->objectName(), how, pointText(at)));
    if (kind < 62) {
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else if (kind < 80) {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, at);  // the position question
    } else if (kind < 88) {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, at);
    } else if (kind < 94) {
        QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    } else {  // a double click as the window system sends it
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    }
}

void Monkey::keyInHorseList()
{
    QListWidget* list = dice.chance(50) ? ui(w).lstBases : ui(w).lstOuts;
    const auto key = dice.among({Qt::Key_Space, Qt::Key_Space, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home,
                                 Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown});
    note(QStringLiteral("%1 key %2").arg(list->objectName()).arg(key, 0, 16));
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, key);
}

void Monkey::typeIntoTextBox()
{
    const int which = std::array{0, 0, 1, 1, 2, 2, 3}[std::size_t(dice.below(7))];
    QLineEdit* box = std::array{ui(w).txtPartants, ui(w).txtInserer[0], ui(w).txtInserer[1], ui(w).txtUnite}[std::size_t(which)];
    QString text;
    if (which == 0) {  // mostly races of a few horses, now and then far too many
        const int kind = dice.below(100);
        text = kind < 70 ? QString::number(dice.below(25))
             : kind < 82 ? QString::number(25 + dice.below(36))
                         : dice.among<QString>({"", "abc", "-3", "99999", "32767", "12.9", "7a", "1e3"});
    } else if (which < 3) {
        text = dice.chance(60) ? QString::number(1 + dice.below(30))
                               : dice.among<QString>({"", "0", "abc", "-2", "7.5", "40000", "-40000", "99999"});
    } else {
        text = dice.among<QString>({"1", "2", "3", "1.3", "0.5", "", "abc", "-2", "1,3", "99999", "1e308", "1e400"});
    }
    const bool enter = dice.chance(80);
    note(QStringLiteral("%1 typed \"%2\"%3").arg(box->objectName(), text, enter ? " + ENTER" : ""));
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, text);
    if (enter)
        QTest::keyClick(box, Qt::Key_Return);
}

void Monkey::clickChoice()
{
    const auto all = [](const auto& array) { return QList<QWidget*>(array.begin(), array.end()); };
    const int group = dice.below(4);
    const QList<QWidget*> choices = group == 0 ? all(ui(w).OptionQuoi)
                                  : group == 1 ? all(ui(w).Option1)
                                  : group == 2 ? all(ui(w).OptionTierce)
                                               : all(ui(w).ChkInclure);
    if (QWidget* choice = pickReachable(choices)) {
        note(choice->objectName());
        QTest::mouseClick(choice, Qt::LeftButton);
    }
}

void Monkey::clickButton()
{
    // Never Image1 (the exit) nor Command1 (the guided tour).
    QList<QWidget*> buttons{ui(w).cmdFusionner, ui(w).cmdFusionner, ui(w).cmdFusionner, ui(w).cmdFusionner, ui(w).cmdFusionner,
                            ui(w).cmdTous[0], ui(w).cmdTous[1], ui(w).cmdAucun[0], ui(w).cmdAucun[1], ui(w).cmdVider[2]};
    if (dice.chance(5))  // an emptied list stays so until the next ENTER in the starters box
        buttons = {ui(w).cmdVider[0], ui(w).cmdVider[1], ui(w).Command2};
    if (mayPrint_ && dice.chance(3))
        buttons = {ui(w).cmdImprimer};
    if (QWidget* button = pickReachable(buttons)) {
        note(button->objectName());
        QTest::mouseClick(button, Qt::LeftButton);
    }
}

void Monkey::useResultList()
{
    QListView* list = ui(w).lstResultat;
    QWidget* viewport = list->viewport();
    const QPoint at = anywhereIn(viewport);
    const int kind = dice.below(100);
    if (kind < 45) {
        note(QStringLiteral("lstResultat click at %1").arg(pointText(at)));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    } else if (kind < 80) {
        const auto key = dice.among({Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home});
        note(QStringLiteral("lstResultat key %1").arg(key, 0, 16));
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, key);
    } else if (kind < 92) {
        note(QStringLiteral("lstResultat Ctrl+C"));
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    } else {
        note(QStringLiteral("lstResultat context menu at %1").arg(pointText(at)));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport, &menu);
    }
}

void Monkey::moveFocus()
{
    QWidget* from = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
    const bool back = dice.chance(40);
    note(QStringLiteral("%1 from %2").arg(back ? "Shift+Tab" : "Tab", from->objectName()));
    QTest::keyClick(from, back ? Qt::Key_Backtab : Qt::Key_Tab);
}

void Monkey::hover()
{
    QList<QWidget*> controls;
    for (QWidget* child : w.findChildren<QWidget*>())
        if (!child->objectName().isEmpty() && child->isVisible())
            controls << child;
    QWidget* control = controls[dice.below(int(controls.size()))];
    const QPoint at = anywhereIn(control);
    note(QStringLiteral("hover %1").arg(control->objectName()));
    QTest::mouseMove(control, at);
}

// A dialogue the program opened without going through Dialogs, which the
// run cannot answer.
QDialog* strayDialog()
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Runs from a zero-interval timer, also inside the menu's event loop. It
// never opens a box itself, so no box waits on it.
void Monkey::answerMenu()
{
    if (QDialog* stray = strayDialog()) {
        if (trouble_.isEmpty())
            trouble_ = QStringLiteral("a %1 opened").arg(stray->metaObject()->className());
        stray->close();
    }
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || menu->property(kAnswered).toBool())
        return;
    menu->setProperty(kAnswered, true);
    ++menus;
    QAction* copy = menu->actions().value(0);
    if (copy && dice.chance(50))  // chosen from the menu's own loop, not from here
        QMetaObject::invokeMethod(menu, [menu, copy] { menu->close(); copy->trigger(); }, Qt::QueuedConnection);
    else
        menu->close();
}

// Each box as it would open: a message box only closes, however its one
// button is pressed; the position question gets an answer or "Annuler".
void Monkey::answer(const Dialogs::Shown& box)
{
    if (box.caption != Dialogs::applicationTitle() && trouble_.isEmpty())
        trouble_ = QStringLiteral("a box captioned \"%1\"").arg(box.caption);
    switch (box.kind) {
    case Dialogs::Shown::Kind::Message:
        ++messageBoxes;
        messages_ << box.text;
        break;
    case Dialogs::Shown::Kind::Question:
        ++questions;
        if (const QString reply = positionAnswer(); dice.below(100) >= 25)
            user_.type(reply);
        break;
    case Dialogs::Shown::Kind::Progress:
        ++progressDialogs;
        user_.cancelProgress = dice.chance(70);  // otherwise left to finish its job
        break;
    }
}

QString Monkey::positionAnswer()
{
    const int entries = std::max(ui(w).lstBases->count(), ui(w).lstOuts->count());
    if (dice.chance(50))
        return QString::number(1 + dice.below(std::max(entries, 1)));
    return dice.among<QString>({"0", "99999", "abc", "", "2.5", "-1", " 3", QString::number(entries + 1)});
}

MergeRead Monkey::readMerge() const
{
    MergeRead m;
    for (auto [list, numbers] : {std::pair{ui(w).lstBases, &m.bases}, std::pair{ui(w).lstOuts, &m.outs}})
        for (const QString& entry : driving::entries(list, true)) {
            if (const auto horse = torvanel::EntryHorseNumber(entry.toStdString()))
                numbers->push_back(*horse);
            else
                m.unreadable = entry;
        }
    // The split panel in front, as the user sees it.
    const QFrame* front = nullptr;
    for (QWidget* at = w.childAt(ui(w).PictureDetail.first()->geometry().center()); at && !front;
         at = at->parentWidget())
        if (auto* panel = qobject_cast<QFrame*>(at); panel && ui(w).PictureDetail.values().contains(panel))
            front = panel;
    if (front) {
        for (const QRadioButton* split : front->findChildren<QRadioButton*>())
            if (split->isChecked())
                std::tie(m.baseTake, m.outTake) = takesOf(split->text());
        if (m.baseTake + m.outTake == 0)  // Couplé and 2 sur 4: a caption, no choice
            for (const QLabel* label : front->findChildren<QLabel*>())
                if (const auto takes = takesOf(label->text()); takes.first + takes.second > 0)
                    std::tie(m.baseTake, m.outTake) = takes;
    }
    for (int i = 0; i < int(ui(w).Option1.size()); ++i)
        if (ui(w).Option1[i]->isChecked())
            m.mode = i;
    m.include = {ui(w).ChkInclure[0]->isChecked(), ui(w).ChkInclure[1]->isChecked()};
    m.stake = ui(w).txtUnite->text();
    m.countBefore = ui(w).lblQtetotale->text();
    m.costBefore = ui(w).lblCout->text();
    return m;
}

QString Monkey::check()
{
    if (!trouble_.isEmpty())
        return std::exchange(trouble_, QString());
    if (strayDialog())
        return QStringLiteral("a box is still open after the event");
    // Seed 1789 found a click on the selected fusion type clearing it.
    for (const QWidget* group : QList<QWidget*>{&w, ui(w).Frame2, ui(w).PictureDetail[2], ui(w).PictureDetail[3], ui(w).PictureDetail[4]}) {
        const auto options = group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        if (std::count_if(options.begin(), options.end(), [](const QRadioButton* o) { return o->isChecked(); }) != 1)
            return QStringLiteral("not one option button of %1 is selected").arg(group->objectName());
    }
    if (!lastMerge_ || viderLast_)
        return {};
    ++merges;
    return checkMerge(*std::exchange(lastMerge_, std::nullopt));
}

QString Monkey::checkMerge(const MergeRead& m)
{
    if (!m.unreadable.isNull())
        return QStringLiteral("the selected entry \"%1\" is no horse number").arg(m.unreadable);
    if (m.baseTake + m.outTake == 0 || m.mode < 0)
        return QStringLiteral("no split or fusion type shown");
    const std::vector<Block> blocks = blocksOf(m);
    WideCount total = 0;
    for (const Block& block : blocks)
        total = torvanel::SaturatingAdd(total, linesOf(block, m));
    const bool conflict = m.mode == 3 && shareAHorse(m.bases, m.outs);
    const bool tooMany = !conflict && total > w.ticket().maxLines();
    const double unit = torvanel::ReadNumber(m.stake.toStdString());
    const bool stakeNegative = !conflict && !tooMany && total > 0 && unit < 0;
    const double cost = tooMany || total == 0 ? 0.0 : double(std::uint64_t(total)) * unit;
    const bool stakeTooLarge = !conflict && !tooMany && !stakeNegative && !std::isfinite(cost);
    const bool costTooLong = !conflict && !tooMany && !stakeNegative && !stakeTooLarge
        && torvanel::NumberText(cost).size() + 6 > w.ticket().maxCostTextLength();  // " Euros"
    const bool costRefused = stakeNegative || stakeTooLarge || costTooLong;

    // The boxes the merge showed, by what they say.
    int conflicts = 0, tooManySaid = 0, stakeSaid = 0;
    for (const QString& text : m.messages) {
        if (text.startsWith(QStringLiteral("Vous devez sélectionner au moins"))) {
            const std::size_t group = m.mode == 0 ? m.bases.size() : m.outs.size();
            if (m.mode > 1 || group >= std::size_t(m.baseTake + m.outTake))
                return QStringLiteral("said \"%1\" in fusion type %2 with %3 horses").arg(text).arg(m.mode).arg(group);
        } else if (text.contains(QStringLiteral(" ne peut être à la fois base et outsider!"))) {
            ++conflicts;
        } else if (text.contains(QStringLiteral(" lignes, mais la liste des résultats ne peut en montrer"))) {
            ++tooManySaid;
        } else if (text.contains(QString::fromUtf8(stakeNegative   ? "une mise ne peut pas être négative"
                                                   : stakeTooLarge ? "est trop grande : le coût de"
                                                                   : "ne peut pas être affiché en entier"))) {
            ++stakeSaid;
        } else {
            return QStringLiteral("the merge said \"%1\"").arg(text);
        }
    }
    if (conflicts != int(conflict) || tooManySaid != int(tooMany) || stakeSaid != int(costRefused))
        return QStringLiteral("boxes %1/%2/%3 for conflict %4, too many %5, stake too large %6")
            .arg(conflicts).arg(tooManySaid).arg(stakeSaid).arg(int(conflict)).arg(int(tooMany)).arg(int(stakeTooLarge));

    refusedMerges += conflict || tooMany || costRefused;
    const QAbstractItemModel* model = ui(w).lstResultat->model();
    const qint64 rows = model->rowCount();
    const QString count = ui(w).lblQtetotale->text(), costText = ui(w).lblCout->text();
    if (conflict) {
        if (rows != 0 || count != m.countBefore || costText != m.costBefore)
            return QStringLiteral("refused merge left %1 rows, labels \"%2\" \"%3\" instead of \"%4\" \"%5\"")
                .arg(rows).arg(count, costText, m.countBefore, m.costBefore);
        return {};
    }
    const std::uint64_t expected = tooMany || costRefused ? 0 : std::uint64_t(total);
    const QString expectedCost = QString::fromStdString(torvanel::NumberText(costRefused ? 0.0 : cost) + " Euros");
    if (std::uint64_t(rows) != expected || count != QString::number(expected) || costText != expectedCost)
        return QStringLiteral("%1 rows, labels \"%2\" \"%3\"; expected %4 rows costing \"%5\"")
            .arg(rows).arg(count, costText).arg(expected).arg(expectedCost);
    if (expected == 0)
        return {};
    ++mergesWithLines;

    // A sample of the lines: each block's first and last, and a few anywhere.
    std::uint64_t first = 0;
    for (const Block& block : blocks) {
        const std::uint64_t lines = std::uint64_t(linesOf(block, m));
        const std::uint64_t picks[] = {0, lines - 1, std::uint64_t(dice.below(int(std::min<std::uint64_t>(lines, INT_MAX))))};
        for (std::uint64_t pick : picks) {
            if (lines == 0)
                break;
            if (QString problem = checkLine(int(first + pick), block, m); !problem.isEmpty())
                return problem;
        }
        first += lines;
    }
    return {};
}

QString Monkey::checkLine(int row, const Block& block, const MergeRead& m) const
{
    const QString line = ui(w).lstResultat->model()->index(row, 0).data().toString();
    const auto numbers = numbersOf(line);
    const auto problem = [&](const char* what) { return QStringLiteral("line %1 \"%2\" %3").arg(row).arg(line, what); };
    if (!numbers || numbers->size() != std::size_t(block.bases + block.outs))
        return problem("is not a line of the split shown");
    if (formatted(*numbers) != line)
        return problem("is not written in the form of a result line");
    const std::vector<int> bases(numbers->begin(), numbers->begin() + block.bases);
    const std::vector<int> outs(numbers->begin() + block.bases, numbers->end());
    if (!inListOrder(bases, m.bases) || !inListOrder(outs, m.outs))
        return problem("is not made of the selected horses in list order");
    for (int base : bases)
        if (std::find(outs.begin(), outs.end(), base) != outs.end())
            return problem("holds one horse both as a base and as an outsider");
    return {};
}

QtMessageHandler testLogHandler = nullptr;

// The offscreen platform says at every box it opens that it cannot raise it or
// grab the keyboard; thousands of these would use up the test log's warnings.
void dropPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.startsWith(QLatin1String("This plugin does not support")))
        testLogHandler(type, context, text);
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT
private slots:
    void randomRun();
};

void MonkeyTest::randomRun()
{
    const auto seed = quint32(fromEnvironment("TORVANEL_MONKEY_SEED", kDefaultSeed));
    const int events = int(fromEnvironment("TORVANEL_MONKEY_EVENTS", kDefaultEvents));
    qInfo("Random run: seed %u, %d events (TORVANEL_MONKEY_SEED=%u replays it)", seed, events, seed);
    Watchdog watchdog(std::chrono::seconds(120 + events / 30), seed);
    testLogHandler = qInstallMessageHandler(dropPlatformNotes);
    const auto restoreLog = qScopeGuard([] { qInstallMessageHandler(testLogHandler); });

    // "Imprimer" may be pressed only while it can print nothing (see main()).
    const bool mayPrint = QPrinterInfo::defaultPrinter().isNull();
    if (!mayPrint)
        qWarning("A default printer is set: \"Imprimer\" is left out of the run");
    frmmenu window;
    window.setEndProgram([] {});  // the exit picture is never pressed; should it be, the run goes on
    driving::openWindow(window);
    QCOMPARE(ui(window).lstResultat->model(), ui(window).resultModel);

    Monkey monkey(window, seed, mayPrint);
    int event = 0;
    for (; event < events; ++event) {
        watchdog.event = event;
        monkey.step(event);
        const QString problem = monkey.check();
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("seed %1, event %2: %3\nLast actions:\n%4")
                                                   .arg(seed).arg(event).arg(problem, monkey.recent())));
    }
    const int boxes = monkey.messageBoxes + monkey.questions + monkey.progressDialogs + monkey.menus;
    qInfo("Seed %u: %d events, %d merges checked (%d with lines, %d refused), %d boxes answered "
          "(%d messages, %d questions, %d progress dialogues, %d menus)",
          seed, event, monkey.merges, monkey.mergesWithLines, monkey.refusedMerges, boxes, monkey.messageBoxes,
          monkey.questions, monkey.progressDialogs, monkey.menus);
    QVERIFY(monkey.mergesWithLines > 0 && monkey.refusedMerges > 0 && monkey.questions > 0);
}

int main(int argc, char* argv[])
{
    // No printer at all: "Imprimer" then only says so, and thousands of
    // presses print nothing.
    return driving::execWithoutPrinter<MonkeyTest>(argc, argv);
}

#include "tst_monkey.moc"
