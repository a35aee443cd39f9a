#include "app/Commands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace commands {
namespace {

const char* const kActsOnLines = "actsOnLines";

void addEntries(QMenu& menu, const QList<QAction*>& entries)
{
    for (QAction* entry : entries) {
        if (entry)
            menu.addAction(entry);
        else
            menu.addSeparator();
    }
}

}  // namespace

QAction* make(QObject* owner, QWidget& window, const Declaration& declaration)
{
    auto* action = new QAction(QString::fromUtf8(declaration.text), owner);
    action->setObjectName(QLatin1String(declaration.objectName));
    if (!declaration.shortcut.isEmpty()) {
        action->setShortcut(declaration.shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    if (declaration.accessible) {
        // Read by screen readers with the entry's text.
        action->setToolTip(QString::fromUtf8(declaration.accessible));
        action->setStatusTip(action->toolTip());
    }
    window.addAction(action);
    return action;
}

void markAsActingOnLines(QAction* action)
{
    action->setProperty(kActsOnLines, true);
}

bool actsOnLines(const QAction* action)
{
    return action->property(kActsOnLines).toBool();
}

void fillMenuBar(QMenuBar& bar, const QList<CommandMenu>& menus)
{
    for (const CommandMenu& command : menus) {
        QMenu* menu = bar.addMenu(command.title);
        menu->setObjectName(command.objectName);
        addEntries(*menu, command.entries);
    }
}

void fillContextMenu(QMenu& menu, const QList<CommandMenu>& menus)
{
    for (const CommandMenu& command : menus) {
        if (!menu.isEmpty())
            menu.addSeparator();
        addEntries(menu, command.entries);
    }
}

}  // namespace commands
