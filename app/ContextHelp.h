#pragma once
// Context help: while the mouse pointer moves over one of the main controls,
// the help area txtAide explains that control. Nothing ever clears the help
// area, so over a control without help the last text stays.

#include <QHash>
#include <QObject>

class frmmenu;
class QMouseEvent;

namespace contexthelp {

struct HelpEntry;

// The help text of a control, by the control's name (members of a control
// array share their array's name; "frmmenu" is the window's background);
// nullptr for a control without help.
const char* textFor(const char* control);

}  // namespace contexthelp

// Watches the mouse over the window and the controls that have help and calls
// their mouse-move handlers. Mouse tracking is turned on for them, so the help
// follows the pointer without a button held.
class ContextHelp : public QObject {
    Q_OBJECT
public:
    static void install(frmmenu& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Watched {
        const contexthelp::HelpEntry* entry;
        int index;  // array index, or -1
    };

    explicit ContextHelp(frmmenu& window);
    void watch(QWidget* control, const contexthelp::HelpEntry* entry, int index);
    void callHandler(const Watched& target, const QMouseEvent& mouse);
    bool overBareBackground(const QMouseEvent& mouse) const;

    frmmenu& window_;
    QHash<const QObject*, Watched> watched_;
};
