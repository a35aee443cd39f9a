#include "app/HorseEntry.h"

#include "app/KeyCodes.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// The window giving the focus away to a dialog or another program is not the
// list losing it: the focus comes back to the list when the window does.
bool leavesTheList(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
        && reason != Qt::MenuBarFocusReason;
}

}  // namespace

// ---- Events ---------------------------------------------------------------------

HorseEntryEvents::HorseEntryEvents(QObject* owner, const HorseEntryControls& controls,
                                   HorseEntryHandlers& handlers)
    : QObject(owner), controls_(controls), handlers_(handlers)
{
    for (QListWidget* list : controls_.lists) {
        installOn(list);
        installOn(list->viewport());
    }
    for (QLineEdit* box : controls_.txtInserer)
        installOn(box);
    wireButtons();
}

void HorseEntryEvents::installOn(QObject* watched)
{
    watched->installEventFilter(this);
}

void HorseEntryEvents::wireButtons()
{
    const auto onClick = [this](QPushButton* button, void (HorseEntryHandlers::*handler)(int), int index) {
        connect(button, &QPushButton::clicked, this, [this, handler, index] { (handlers_.*handler)(index); });
    };
    for (int i = 0; i < 2; ++i) {
        onClick(controls_.cmdTous[i], &HorseEntryHandlers::cmdTous_Click, i);
        onClick(controls_.cmdAucun[i], &HorseEntryHandlers::cmdAucun_Click, i);
    }
    for (int i = 0; i < int(controls_.cmdVider.size()); ++i)
        onClick(controls_.cmdVider[i], &HorseEntryHandlers::cmdVider_Click, i);
}

QListWidget* HorseEntryEvents::listOfViewport(const QObject* watched) const
{
    for (QListWidget* list : controls_.lists)
        if (watched == list->viewport())
            return list;
    return nullptr;
}

bool HorseEntryEvents::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        for (int i = 0; i < int(controls_.txtInserer.size()); ++i) {
            if (watched == controls_.txtInserer[i]) {
                const auto* key = static_cast<QKeyEvent*>(event);
                handlers_.txtInserer_KeyDown(i, keys::keyCodeOf(key), keys::shiftStateOf(key->modifiers()));
            }
        }
        break;
    case QEvent::FocusOut:
        if (leavesTheList(static_cast<QFocusEvent*>(event)->reason())) {
            if (watched == controls_.lists[0])
                handlers_.lstBases_LostFocus();
            else if (watched == controls_.lists[1])
                handlers_.lstOuts_LostFocus();
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
    const int shift = keys::shiftStateOf(press->modifiers());
    const QPointF at = press->position();
    const QListWidgetItem* pressedItem = list->itemAt(at.toPoint());
    const int row = pressedItem ? list->row(pressedItem) : -1;
    const auto handler = list == controls_.lists[0] ? &HorseEntryHandlers::lstBases_MouseDown
                                                    : &HorseEntryHandlers::lstOuts_MouseDown;
    (handlers_.*handler)(keys::buttonCodeOf(press->button()), shift, float(at.x()), float(at.y()));
    // The handler's question lets the guided tour run on, which may have
    // emptied the list.
    if (press->button() == Qt::LeftButton && row >= 0 && row < list->count())
        list->setCurrentItem(list->item(row), QItemSelectionModel::Toggle);
}
