#pragma once
// Keys, mouse buttons and shift states as the window's handlers take them.

#include <QKeyEvent>

namespace keys {

constexpr int kEnter = 13;

// ENTER (either key) is 13; any other key is its toolkit code.
inline int keyCodeOf(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) ? kEnter : event->key();
}

// SHIFT 1, CTRL 2, ALT 4.
inline int shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) | (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0)
         | (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

// Left 1, right 2, middle 4.
inline int buttonCodeOf(Qt::MouseButtons buttons)
{
    return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) | (buttons.testFlag(Qt::RightButton) ? 2 : 0)
         | (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

}  // namespace keys
