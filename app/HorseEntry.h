#pragma once
// Connects the window's two horse lists, their insert boxes and their Tous,
// Aucun and Vider buttons to the window's handlers. The window creates one and
// owns it.
//
// The lists take the mouse here rather than through their own selection logic:
// a press toggles the pressed entry and nothing else (no range, not even by
// dragging), after a SHIFT press has offered to move the topmost selected horse.

#include <QObject>

#include <array>

class QLineEdit;
class QListWidget;
class QMouseEvent;
class QPushButton;

// The window's handlers of horse entry, under the window's names; index 0 is
// lstBases, 1 lstOuts (and 2 lstResultat for cmdVider).
class HorseEntryHandlers {
public:
    virtual void txtInserer_KeyDown(int index, int keyCode, int shift) = 0;
    virtual void lstBases_LostFocus() = 0;
    virtual void lstOuts_LostFocus() = 0;
    // Pointer position in pixels; only the shift state is read.
    virtual void lstBases_MouseDown(int button, int shift, float x, float y) = 0;
    virtual void lstOuts_MouseDown(int button, int shift, float x, float y) = 0;
    virtual void cmdTous_Click(int index) = 0;
    virtual void cmdAucun_Click(int index) = 0;
    virtual void cmdVider_Click(int index) = 0;

protected:
    ~HorseEntryHandlers() = default;
};

struct HorseEntryControls {
    std::array<QListWidget*, 2> lists;   // lstBases, lstOuts
    std::array<QLineEdit*, 2> txtInserer;
    std::array<QPushButton*, 2> cmdTous;
    std::array<QPushButton*, 2> cmdAucun;
    std::array<QPushButton*, 3> cmdVider;
};

class HorseEntryEvents : public QObject {
    Q_OBJECT
public:
    HorseEntryEvents(QObject* owner, const HorseEntryControls& controls, HorseEntryHandlers& handlers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireButtons();
    void installOn(QObject* watched);
    QListWidget* listOfViewport(const QObject* watched) const;
    bool mouseEvent(QListWidget* list, const QMouseEvent* mouse);
    void pressed(QListWidget* list, const QMouseEvent* press);

    HorseEntryControls controls_;
    HorseEntryHandlers& handlers_;
};
