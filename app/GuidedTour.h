#pragma once
// The guided tour "Montrez-moi!": the window plays its usual way of working by
// itself while a blinking starburst moves behind each control in turn.
// GuidedTour::play plays the script (kScript in GuidedTour.cpp) step by step
// on one window, calling the window's own handlers and waiting between the
// steps; frmmenu::Command1_Click, for the "Montrez-moi!" button and the
// mnuMontrez menu entry, only starts it, and frmmenu::Timer1_Timer blinks the
// highlight. This file also holds the clock the waits read.

#include <QObject>

#include <array>
#include <chrono>

class frmmenu;
class PictureBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTimer;

// The window the tour plays on: its handlers and the controls it works.
struct TourStage {
    frmmenu& window;
    QTimer* Timer1;
    QLineEdit* lblAide;
    PictureBox* Image2;
    QListWidget* lstBases;
    QListWidget* lstOuts;
    std::array<QLineEdit*, 2> txtInserer;
    std::array<QRadioButton*, 4> Option1;
    std::array<QRadioButton*, 5> OptionQuoi;
    std::array<QRadioButton*, 8> OptionTierce;
};

namespace tour {

// Seconds on a monotonic clock, which does not restart at midnight, so a wait
// always ends after its seconds. The program reads it as it is; tests make it
// run faster (a 26-second tour then takes about a second) and shift it to put
// a wait's start where they want it.
struct Clock {
    double speed = 1.0;   // clock seconds per real second
    double offset = 0.0;  // clock seconds added to every reading

    double now() const;
    // Real time in which `clockSeconds` go by on this clock.
    std::chrono::milliseconds realTimeFor(double clockSeconds) const;
};

// The clock of every tour in the process.
Clock& clock();

}  // namespace tour

// Runs the waits of the tours played on one window and keeps them from acting
// on the window once it is closed or the application is leaving. A child of
// the window, so it goes when the window goes.
class GuidedTour : public QObject {
    Q_OBJECT
public:
    GuidedTour(frmmenu* window, const TourStage& stage);

    // Plays the script once; a second run may start inside one of its waits.
    void play();
    // Waits `seconds` on the tour clock while the window handles its events.
    // Returns early when the window is closed or the application is leaving.
    void wait(int seconds);
    // False once the window has been closed or the application is leaving:
    // a running tour must stop acting on the window.
    bool mayGoOn() const;

signals:
    void windowClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void leaveTour();

    frmmenu* window_;
    TourStage stage_;
    bool windowClosed_ = false;
};
