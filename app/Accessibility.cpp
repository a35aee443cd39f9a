#include "app/Accessibility.h"

#include "app/ControlRegistry.h"

#include <QLabel>

namespace accessibility {
namespace {

// A label's text as a name: on one line, without its closing colon.
QString captionOf(const QLabel& label)
{
    QString caption = label.text().simplified();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

void applyNames(const ControlRegistry& controls)
{
    for (const controls::ControlLayout& row : controls::windowControls()) {
        const controls::Reading& reading = row.reading;
        if (!reading.name && !reading.label && !reading.description)
            continue;
        QWidget* control = controls.of(row);
        if (reading.label) {
            auto* label = controls.as<QLabel>(reading.label);
            // The relation lets a screen reader read the label with the control.
            label->setBuddy(control);
            if (!reading.name)
                control->setAccessibleName(captionOf(*label));
        }
        if (reading.name)
            control->setAccessibleName(QString::fromUtf8(reading.name));
        if (reading.description)
            control->setAccessibleDescription(QString::fromUtf8(reading.description));
    }
}

}  // namespace accessibility
