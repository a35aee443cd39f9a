#include "app/ControlRegistry.h"

QWidget* ControlRegistry::at(const QString& objectName) const
{
    QWidget* control = controls_.value(objectName);
    if (!control)
        qFatal("The window has no control %s", qPrintable(objectName));
    return control;
}

void ControlRegistry::wrongKind(const QString& objectName)
{
    qFatal("The control %s is not of the kind the window takes it for", qPrintable(objectName));
}
