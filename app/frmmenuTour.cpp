// The window's handlers of the guided tour "Montrez-moi!".

#include "app/frmmenu.h"

#include "app/GuidedTour.h"
#include "app/PictureBox.h"

void frmmenu::Command1_Click()
{
    guidedTour->play();
}

// Shown two ticks, hidden one.
void frmmenu::Timer1_Timer()
{
    ++BlinkCount;
    if (BlinkCount > 2) {
        BlinkCount = 0;
        Image2->hide();
    } else {
        Image2->show();
    }
}
