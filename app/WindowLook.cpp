#include "app/WindowLook.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QSvgRenderer>

namespace look {
namespace {

QFont makeFont(const QStringList& families, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

const QStringList kSans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
const QStringList kSerif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};

class CompactIndicatorStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 12;
        case PM_RadioButtonLabelSpacing:
        case PM_CheckBoxLabelSpacing:
            return 4;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

}  // namespace

QStyle* compactIndicatorStyle()
{
    // Owned by the application: it must outlive every window that uses it.
    static QStyle* style = [] {
        auto* proxy = new CompactIndicatorStyle;
        proxy->setParent(qApp);
        return proxy;
    }();
    return style;
}

QFont fontFor(controls::Face face)
{
    // 8.25 pt is 11 px at 96 dpi, 9.75 pt 13 px, 12 pt 16 px, 18 pt 24 px.
    switch (face) {
    case controls::Face::Regular:
        return makeFont(kSans, 11, false);
    case controls::Face::Large:
        return makeFont(kSans, 13, true);
    case controls::Face::Arial18:
        return makeFont(kSans, 24, true);
    case controls::Face::Times18:
        return makeFont(kSerif, 24, true);
    case controls::Face::Times12:
        return makeFont(kSerif, 16, true);
    case controls::Face::Default:
        break;
    }
    return makeFont(kSans, 11, true);
}

QPixmap renderPicture(const QString& resource, QSize size, QColor fill, qreal devicePixelRatio)
{
    QPixmap picture(size * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(fill);
    QSvgRenderer renderer(resource);
    if (renderer.isValid()) {
        QPainter painter(&picture);  // in logical pixels, as the ratio is set
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return picture;
}

const QPixmap& SharpPicture::at(QSize size, qreal devicePixelRatio) const
{
    if (pixels_.isNull() || pixels_.devicePixelRatio() != devicePixelRatio
        || pixels_.deviceIndependentSize().toSize() != size)
        pixels_ = renderPicture(resource_, size, fill_, devicePixelRatio);
    return pixels_;
}

}  // namespace look
