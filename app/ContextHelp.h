#pragma once
// Context help: while the mouse pointer moves over one of the main controls,
// the help area txtAide explains that control. Nothing ever clears the help
// area, so over a control without help the last text stays.

#include <QHash>
#include <QObject>

#include <functional>

class ControlRegistry;
class QMouseEvent;
class QWidget;

namespace contexthelp {

// The help text of a control, by the control's name as the control table
// gives it (members of a control array share their array's name; "frmmenu"
// is the window's background); nullptr for a control without help.
const char* textFor(const char* control);

}  // namespace contexthelp

// Watches the mouse over a window and the controls it is told of and calls
// their mouse-move handlers. Mouse tracking is turned on for them, so the help
// follows the pointer without a button held.
class ContextHelp : public QObject {
    Q_OBJECT
public:
    // A mouse-move handler, with the toolkit's arguments: button (left 1,
    // right 2, middle 4), shift state (SHIFT 1, CTRL 2, ALT 4) and the
    // pointer's position in pixels.
    using Handler = std::function<void(int button, int shift, float x, float y)>;

    // Owned by `window`; `background` runs for moves over its bare surface.
    ContextHelp(QWidget& window, const Handler& background);
    void watch(QWidget* control, const Handler& handler);
    // Ends the program when a control of the table that has help is not
    // watched: its help would never show.
    void checkEveryHelpIsWatched(const ControlRegistry& controls) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool overBareBackground(const QMouseEvent& mouse) const;

    QWidget& window_;
    QHash<const QObject*, Handler> watched_;
};
