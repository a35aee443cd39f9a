// Horse entry, purge, selection and reordering in lstBases and lstOuts.

#include "app/HorseEntry.h"

#include "app/Dialogs.h"
#include "app/frmmenu.h"
#include "merge/EntryRules.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

namespace {

using torvanel::entry::InsertDecision;
using torvanel::entry::PositionAnswer;

constexpr int kEnter = 13;
constexpr int kShiftOnly = 1;

QString fromRules(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string toRules(const QString& text)
{
    return text.toStdString();
}

// Index 0 is lstBases, 1 lstOuts, as for the insert boxes and the buttons.
QListWidget* horseList(const frmmenu& window, int index)
{
    return std::array{window.lstBases, window.lstOuts}.at(index);
}

// Drops every worthless entry; the others keep their order and their
// selection. One pass from the bottom drops the same entries as rescanning
// from the top after each removal.
void dropWorthlessEntries(QListWidget* list)
{
    for (int row = list->count() - 1; row >= 0; --row)
        if (torvanel::entry::IsWorthless(toRules(list->item(row)->text())))
            delete list->takeItem(row);
}

// Keeps only the topmost selected entry selected and returns its row, or -1.
int keepTopmostSelected(QListWidget* list)
{
    QItemSelectionModel* selection = list->selectionModel();
    int top = list->count();
    for (const QItemSelectionRange& range : selection->selection())
        top = std::min(top, range.top());
    if (top == list->count())
        return -1;
    selection->select(list->model()->index(top, 0), QItemSelectionModel::ClearAndSelect);
    return top;
}

// Only the texts change places; each selection flag stays with its row.
void swapTexts(QListWidget* list, int rowA, int rowB)
{
    const QString text = list->item(rowA)->text();
    list->item(rowA)->setText(list->item(rowB)->text());
    list->item(rowB)->setText(text);
}

// SHIFT+press: asks where the topmost selected horse goes and swaps it there.
void moveTopmostSelected(frmmenu& window, QListWidget* list)
{
    const int from = keepTopmostSelected(list);
    if (from < 0)
        return;
    const QString question = fromRules(torvanel::entry::PositionQuestion(toRules(list->item(from)->text())));
    const std::optional<QString> answer = Dialogs::askText(&window, question);
    // The question is modal, yet the guided tour keeps running behind it and
    // may have emptied the list.
    if (!answer || from >= list->count())
        return;
    const PositionAnswer reply = torvanel::entry::ReadPositionAnswer(toRules(*answer), list->count());
    if (reply.kind == PositionAnswer::Kind::Refused)
        Dialogs::showMessage(&window, fromRules(reply.message));
    else if (reply.kind == PositionAnswer::Kind::Move)
        swapTexts(list, from, reply.row);
}

int buttonCodeOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

// The window giving the focus away to a dialog or another program is not the
// list losing it: the focus comes back to the list when the window does.
bool leavesTheList(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
        && reason != Qt::MenuBarFocusReason;
}

}  // namespace

// ---- Handlers -------------------------------------------------------------------

void frmmenu::txtInserer_KeyDown(int index, int keyCode, int /*shift*/)
{
    if (keyCode != kEnter)
        return;
    QLineEdit* box = txtInserer.at(index);
    QListWidget* list = horseList(*this, index);
    const QString typed = box->text();
    const InsertDecision decision =
        torvanel::entry::DecideInsert(toRules(txtPartants->text()), toRules(typed), list->count());
    if (decision.verdict == InsertDecision::Verdict::Append)
        list->addItem(typed);
    else
        Dialogs::showMessage(this, fromRules(decision.message));
    if (decision.verdict != InsertDecision::Verdict::RefuseAndKeep)
        box->clear();
}

void frmmenu::lstBases_LostFocus()
{
    dropWorthlessEntries(lstBases);
}

void frmmenu::lstOuts_LostFocus()
{
    dropWorthlessEntries(lstOuts);
}

void frmmenu::lstBases_MouseDown(int /*button*/, int shift, float /*x*/, float /*y*/)
{
    if (shift == kShiftOnly)
        moveTopmostSelected(*this, lstBases);
}

void frmmenu::lstOuts_MouseDown(int /*button*/, int shift, float /*x*/, float /*y*/)
{
    if (shift == kShiftOnly)
        moveTopmostSelected(*this, lstOuts);
}

void frmmenu::cmdTous_Click(int index)
{
    horseList(*this, index)->selectAll();
}

void frmmenu::cmdAucun_Click(int index)
{
    horseList(*this, index)->clearSelection();
}

void frmmenu::cmdVider_Click(int index)
{
    if (index == 2) {
        // The count and cost labels keep showing the last merge.
        engine.clearResult();
        showEngineResult();
        return;
    }
    horseList(*this, index)->clear();
}

// ---- Events ---------------------------------------------------------------------

HorseEntryEvents::HorseEntryEvents(frmmenu& window) : QObject(&window), window_(window)
{
    for (QListWidget* list : {window.lstBases, window.lstOuts}) {
        installOn(list);
        installOn(list->viewport());
    }
    for (QLineEdit* box : window.txtInserer)
        installOn(box);
    wireButtons();
}

void HorseEntryEvents::installOn(QObject* watched)
{
    watched->installEventFilter(this);
}

void HorseEntryEvents::wireButtons()
{
    const auto onClick = [this](QPushButton* button, void (frmmenu::*handler)(int), int index) {
        connect(button, &QPushButton::clicked, &window_, [this, handler, index] { (window_.*handler)(index); });
    };
    for (int i = 0; i < 2; ++i) {
        onClick(window_.cmdTous[i], &frmmenu::cmdTous_Click, i);
        onClick(window_.cmdAucun[i], &frmmenu::cmdAucun_Click, i);
    }
    for (int i = 0; i < int(window_.cmdVider.size()); ++i)
        onClick(window_.cmdVider[i], &frmmenu::cmdVider_Click, i);
}

QListWidget* HorseEntryEvents::listOfViewport(const QObject* watched) const
{
    for (QListWidget* list : {window_.lstBases, window_.lstOuts})
        if (watched == list->viewport())
            return list;
    return nullptr;
}

bool HorseEntryEvents::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        for (int i = 0; i < int(window_.txtInserer.size()); ++i) {
            if (watched == window_.txtInserer[i]) {
                const auto* key = static_cast<QKeyEvent*>(event);
                window_.txtInserer_KeyDown(i, frmmenu::keyCodeOf(key), frmmenu::shiftStateOf(key->modifiers()));
            }
        }
        break;
    case QEvent::FocusOut:
        if (leavesTheList(static_cast<QFocusEvent*>(event)->reason())) {
            if (watched == window_.lstBases)
                window_.lstBases_LostFocus();
            else if (watched == window_.lstOuts)
                window_.lstOuts_LostFocus();
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        if (QListWidget* list = listOfViewport(watched))
            return mouseEvent(list, static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// Returns whether the list's own handling of the event is to be skipped: all
// of it for a press; for a double click, whose second press has toggled its
// entry already; and for a move with a button held, which would select every
// entry it passes.
bool HorseEntryEvents::mouseEvent(QListWidget* list, const QMouseEvent* mouse)
{
    if (mouse->type() == QEvent::MouseButtonPress)
        pressed(list, mouse);
    return mouse->buttons() != Qt::NoButton;
}

// The MouseDown handler runs first, then the press's own effect on the
// selection: a left press toggles the pressed entry. So a SHIFT press asks
// about the topmost entry selected before it, wherever it lands, and asks
// nothing when none was.
void HorseEntryEvents::pressed(QListWidget* list, const QMouseEvent* press)
{
    const int shift = frmmenu::shiftStateOf(press->modifiers());
    const QPointF at = press->position();
    const QListWidgetItem* pressedItem = list->itemAt(at.toPoint());
    const int row = pressedItem ? list->row(pressedItem) : -1;
    const auto handler = list == window_.lstBases ? &frmmenu::lstBases_MouseDown : &frmmenu::lstOuts_MouseDown;
    (window_.*handler)(buttonCodeOf(press->button()), shift, float(at.x()), float(at.y()));
    // The handler's question lets the guided tour run on, which may have
    // emptied the list.
    if (press->button() == Qt::LeftButton && row >= 0 && row < list->count())
        list->setCurrentItem(list->item(row), QItemSelectionModel::Toggle);
}
