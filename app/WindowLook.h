#pragma once
// Fonts and pictures of the window. The layout was drawn for MS Sans Serif,
// Arial and Times New Roman, which Linux does not have: Liberation Sans and
// Liberation Serif have the same metrics as Arial and Times New Roman and
// come close to MS Sans Serif, with DejaVu as the fallback. Sizes are in
// pixels so the layout, which is in pixels, does not depend on the screen's dpi.

#include "ControlTable.h"

#include <QFont>
#include <QPixmap>
#include <QString>

class QStyle;

namespace look {

QFont fontFor(controls::Face face);

// The style of option buttons and check boxes: their round and square marks
// are drawn at 12 pixels, so they fit the 13- and 14-pixel controls of the
// layout with a little of their background around them.
QStyle* compactIndicatorStyle();

// An SVG picture from the resources rendered at exactly `size` pixels, over
// `fill` (transparent by default).
QPixmap renderPicture(const QString& resource, QSize size, QColor fill = Qt::transparent);

}  // namespace look
