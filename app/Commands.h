#pragma once
// The window's commands beyond its buttons, each one QAction declared once
// with its objectName ("mnu…"), French text, shortcut and accessible name,
// grouped as the menu bar shows them. The result list's context menu shows
// the same actions, menu after menu.

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QObject;
class QWidget;

struct CommandMenu {
    QString title;       // "&Fichier": Alt and the underlined letter open it
    QString objectName;  // "mnuFichier"
    QList<QAction*> entries;  // nullptr stands for a separator
};

namespace commands {

struct Declaration {
    const char* objectName;
    const char* text;       // UTF-8, "&" before the letter Alt uses
    QKeySequence shortcut;  // empty for none
    const char* accessible; // what a screen reader says beyond the text
};

// An action of `owner`, its shortcut live wherever `window` has the focus.
QAction* make(QObject* owner, QWidget& window, const Declaration& declaration);

// A command that acts on the listed lines: off in the context menu of an
// empty list.
void markAsActingOnLines(QAction* action);
bool actsOnLines(const QAction* action);

void fillMenuBar(QMenuBar& bar, const QList<CommandMenu>& menus);
void fillContextMenu(QMenu& menu, const QList<CommandMenu>& menus);

}  // namespace commands
