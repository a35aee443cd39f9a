// The window's handlers of the notice "Autres logiciels" and of the exit picture.

#include "app/frmmenu.h"

#include "app/Dialogs.h"
#include "app/Notice.h"

void frmmenu::Command2_Click()
{
    Dialogs::showMessage(this, notice::otherSoftwareText());
}

void frmmenu::Image1_Click()
{
    // Unsaved changes to a forecast are not lost without a question.
    if (!mayClose())
        return;
    if (endProgram_)
        endProgram_();
    else
        notice::endProgram(*this);
}
