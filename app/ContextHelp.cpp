#include "app/ContextHelp.h"

#include "app/ControlRegistry.h"
#include "app/KeyCodes.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>

#include <cstring>

namespace contexthelp {

const char* textFor(const char* control)
{
    if (std::strcmp(control, "frmmenu") == 0)
        return controls::windowHelp;
    for (const controls::ControlLayout& row : controls::windowControls())
        if (row.help && std::strcmp(row.name, control) == 0)
            return row.help;
    return nullptr;
}

}  // namespace contexthelp

ContextHelp::ContextHelp(QWidget& window, const Handler& background) : QObject(&window), window_(window)
{
    watch(&window, background);
}

void ContextHelp::watch(QWidget* control, const Handler& handler)
{
    QList<QWidget*> surfaces{control};
    // A list's entries lie on its viewport, which gets the mouse moves.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        surfaces.append(area->viewport());
    for (QWidget* surface : surfaces) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
        watched_.insert(surface, handler);
    }
}

void ContextHelp::checkEveryHelpIsWatched(const ControlRegistry& controls) const
{
    for (const controls::ControlLayout& row : controls::windowControls())
        if (row.help && !watched_.contains(controls.of(row)))
            qFatal("The help of %s has no mouse-move handler", row.name);
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto target = watched_.constFind(watched);
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (target != watched_.cend() && (watched != &window_ || overBareBackground(mouse))) {
            const auto x = static_cast<float>(mouse.position().x());
            const auto y = static_cast<float>(mouse.position().y());
            (*target)(keys::buttonCodeOf(mouse.buttons()), keys::shiftStateOf(mouse.modifiers()), x, y);
        }
    }
    return false;  // the control still sees the move (hover, drag selection)
}

// A move that a child control passes on to the window is not over the
// background: labels, images and controls without help keep the last text.
bool ContextHelp::overBareBackground(const QMouseEvent& mouse) const
{
    return window_.childAt(mouse.position().toPoint()) == nullptr;
}
