#pragma once
// Fonts and pictures of the window. The layout was drawn for MS Sans Serif,
// Arial and Times New Roman, which Linux does not have: Liberation Sans and
// Liberation Serif have the same metrics as Arial and Times New Roman and
// come close to MS Sans Serif, with DejaVu as the fallback. Sizes are in
// pixels so the layout, which is in pixels, does not depend on the screen's dpi.

#include "app/ControlTable.h"

#include <QFont>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <utility>

class QStyle;

namespace look {

// The race picture behind the controls, from the window's top left corner.
constexpr QSize BackgroundSize{504, 398};

QFont fontFor(controls::Face face);

// The style of option buttons and check boxes: their round and square marks
// are drawn at 12 pixels, so they fit the 13- and 14-pixel controls of the
// layout with a little of their background around them.
QStyle* compactIndicatorStyle();

// An SVG picture from the resources rendered at `size` logical pixels, over
// `fill` (transparent by default), with `devicePixelRatio` device pixels to
// the logical one.
QPixmap renderPicture(const QString& resource, QSize size, QColor fill = Qt::transparent,
                      qreal devicePixelRatio = 1.0);

// An SVG picture kept as pixels at the size and density it was last asked
// for: drawn on a 2x screen it is rendered at 2x, so it stays as sharp as the
// text, and it is rendered again only when the window moves to a screen of
// another density.
class SharpPicture {
public:
    SharpPicture() = default;
    explicit SharpPicture(QString resource, QColor fill = Qt::transparent)
        : resource_(std::move(resource)), fill_(fill) {}

    bool isNull() const { return resource_.isEmpty(); }
    const QPixmap& at(QSize size, qreal devicePixelRatio) const;

private:
    QString resource_;
    QColor fill_;
    mutable QPixmap pixels_;
};

}  // namespace look
