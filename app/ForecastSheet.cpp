#include "app/ForecastSheet.h"

#include "generators/Numbers.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace sheet {

namespace {

struct Fonts {
    QFont title;
    QFont text;
    QFont lines;
    QFont foot;
};

QFont font(const char* family, qreal points, bool bold = false)
{
    QFont chosen(QString::fromLatin1(family));
    chosen.setPointSizeF(points);
    chosen.setBold(bold);
    chosen.setStyleHint(QString::fromLatin1(family).contains(QLatin1String("Mono")) ? QFont::Monospace
                                                                                     : QFont::SansSerif);
    return chosen;
}

Fonts fonts()
{
    return {font("Liberation Sans", 15, true), font("Liberation Sans", 10), font("Liberation Mono", 10),
            font("Liberation Sans", 8)};
}

// Where everything goes on a page, in the device's pixels from the top-left
// corner of the printable area.
struct Geometry {
    Fonts fonts;
    QSizeF page;
    qreal gap = 0;            // between two columns, and below a header
    qreal firstTop = 0;       // where the lines start on the first page
    qreal otherTop = 0;       // and on the others
    qreal linesBottom = 0;    // where the foot starts
    qreal lineSpacing = 0;
    qreal lineAscent = 0;
    qreal columnWidth = 0;
    Layout layout;
};

// The widest line of the list, in characters: every horse of a block written
// at its longest ("0-32768").
int widestLine(const torvanel::ShownLines& lines)
{
    int widest = 1;
    for (const torvanel::ResultBlock& block : lines.full().blocks()) {
        qsizetype horse = 1;
        for (const auto* group : {&block.bases, &block.outs})
            for (torvanel::HorseNumber number : *group)
                horse = std::max<qsizetype>(horse, qsizetype(torvanel::FormatHorseNumber(number).size()));
        const int take = block.baseTake + block.outTake;
        widest = std::max(widest, int(take * (horse + 1) - 1));
    }
    return widest;
}

qreal paragraphHeight(const QFontMetricsF& metrics, qreal width, const QString& text)
{
    return metrics.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap, text).height();
}

QString continued(const Header& header)
{
    return header.title + QStringLiteral(" (suite)");
}

std::uint64_t pagesFor(std::uint64_t lineCount, const Layout& layout)
{
    const auto first = std::uint64_t(layout.columns) * std::uint64_t(layout.rowsOnFirstPage);
    const auto other = std::uint64_t(layout.columns) * std::uint64_t(layout.rowsOnOtherPages);
    if (lineCount <= first)
        return 1;
    return 1 + (lineCount - first + other - 1) / other;
}

Geometry geometryOf(QPagedPaintDevice& device, const Header& header, const torvanel::ShownLines& lines)
{
    Geometry g;
    g.fonts = fonts();
    g.page = device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
    const QFontMetricsF title(g.fonts.title, &device);
    const QFontMetricsF text(g.fonts.text, &device);
    const QFontMetricsF line(g.fonts.lines, &device);
    const QFontMetricsF foot(g.fonts.foot, &device);
    g.gap = text.lineSpacing();
    qreal top = paragraphHeight(title, g.page.width(), header.title) + g.gap / 2;
    for (const QString& fact : header.facts)
        top += paragraphHeight(text, g.page.width(), fact) + g.gap / 4;
    g.firstTop = top + g.gap;
    g.otherTop = text.lineSpacing() + g.gap;
    g.linesBottom = g.page.height() - 2 * foot.lineSpacing();
    g.lineSpacing = line.lineSpacing();
    g.lineAscent = line.ascent();
    g.columnWidth = line.horizontalAdvance(QString(widestLine(lines), QLatin1Char('0')));

    const auto rows = [&g](qreal from) { return std::max(1, int(std::floor((g.linesBottom - from) / g.lineSpacing))); };
    g.layout.columns = std::max(1, int(std::floor((g.page.width() + 2 * g.gap) / (g.columnWidth + 2 * g.gap))));
    g.layout.rowsOnFirstPage = rows(g.firstTop);
    g.layout.rowsOnOtherPages = rows(g.otherTop);
    g.layout.pageCount = pagesFor(lines.count(), g.layout);
    return g;
}

void paintRule(QPainter& painter, const Geometry& g, qreal y)
{
    painter.drawLine(QPointF(0, y), QPointF(g.page.width(), y));
}

void paintFirstHead(QPainter& painter, const Geometry& g, const Header& header)
{
    qreal y = 0;
    const auto paragraph = [&](const QFont& font, const QString& text, qreal after) {
        painter.setFont(font);
        QRectF used;
        painter.drawText(QRectF(0, y, g.page.width(), g.linesBottom - y), Qt::TextWordWrap, text, &used);
        y += used.height() + after;
    };
    paragraph(g.fonts.title, header.title, g.gap / 2);
    for (const QString& fact : header.facts)
        paragraph(g.fonts.text, fact, g.gap / 4);
    paintRule(painter, g, g.firstTop - g.gap / 2);
}

void paintOtherHead(QPainter& painter, const Geometry& g, const Header& header)
{
    painter.setFont(g.fonts.text);
    painter.drawText(QRectF(0, 0, g.page.width(), g.otherTop), Qt::AlignLeft | Qt::AlignTop, continued(header));
    paintRule(painter, g, g.otherTop - g.gap / 2);
}

void paintFoot(QPainter& painter, const Geometry& g, const Header& header, std::uint64_t page)
{
    painter.setFont(g.fonts.foot);
    const QRectF foot(0, g.linesBottom, g.page.width(), g.page.height() - g.linesBottom);
    painter.drawText(foot, Qt::AlignLeft | Qt::AlignBottom, header.footnote);
    painter.drawText(foot, Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("page %1 / %2").arg(page).arg(g.layout.pageCount));
}

}  // namespace

Layout layoutOf(QPagedPaintDevice& device, const Header& header, const torvanel::ShownLines& lines)
{
    return geometryOf(device, header, lines).layout;
}

bool paint(QPagedPaintDevice& device, const Header& header, const torvanel::ShownLines& lines)
{
    const Geometry g = geometryOf(device, header, lines);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    paintFirstHead(painter, g, header);
    paintFoot(painter, g, header, 1);
    if (lines.empty()) {
        painter.setFont(g.fonts.text);
        painter.drawText(QPointF(0, g.firstTop + g.lineAscent), QStringLiteral("Aucune combinaison."));
    }
    std::uint64_t page = 1;
    int rows = g.layout.rowsOnFirstPage;
    qreal top = g.firstTop;
    std::uint64_t onPage = 0;
    bool failed = false;
    painter.setFont(g.fonts.lines);
    lines.forEachLine([&](std::string_view line) {
        if (onPage == std::uint64_t(g.layout.columns) * std::uint64_t(rows)) {
            failed = !device.newPage();
            if (failed)
                return false;
            ++page;
            paintOtherHead(painter, g, header);
            paintFoot(painter, g, header, page);
            painter.setFont(g.fonts.lines);
            rows = g.layout.rowsOnOtherPages;
            top = g.otherTop;
            onPage = 0;
        }
        const std::uint64_t column = onPage / std::uint64_t(rows);  // whole columns before this line
        const auto row = qreal(onPage % std::uint64_t(rows));
        painter.drawText(QPointF(qreal(column) * (g.columnWidth + 2 * g.gap), top + row * g.lineSpacing + g.lineAscent),
                         QString::fromLatin1(line.data(), qsizetype(line.size())));
        ++onPage;
        return true;
    });
    return painter.end() && !failed;
}

}  // namespace sheet
