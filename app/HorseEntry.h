#pragma once
// Connects frmmenu's two horse lists, their insert boxes and their Tous, Aucun
// and Vider buttons to the window's handlers. The window creates one and owns it.
//
// The lists take the mouse here rather than through their own selection logic:
// a press toggles the pressed entry and nothing else (no range, not even by
// dragging), after a SHIFT press has offered to move the topmost selected horse.

#include <QObject>

class frmmenu;
class QListWidget;
class QMouseEvent;

class HorseEntryEvents : public QObject {
    Q_OBJECT
public:
    explicit HorseEntryEvents(frmmenu& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireButtons();
    void installOn(QObject* watched);
    QListWidget* listOfViewport(const QObject* watched) const;
    bool mouseEvent(QListWidget* list, const QMouseEvent* mouse);
    void pressed(QListWidget* list, const QMouseEvent* press);

    frmmenu& window_;
};
