#include "app/ResultPrinter.h"

#include "app/ResultFile.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <cmath>

namespace printing {

namespace {

// The name of the job in the printer's queue; nothing of it is printed.
const char* const kJobTitle = "Torvanel de pronostics";

// The temporary PDF's resolution, that of QPrinter::HighResolution.
constexpr int kPdfDotsPerInch = 1200;

struct Page {
    qreal lineSpacing;
    qreal ascent;
    int linesPerPage;
};

// The page of `device` in the font a painter starts with on it. The height
// of a paged device is that of its printable area.
Page pageOf(const QPaintDevice& device)
{
    const QFontMetricsF metrics(QFont(), &device);
    const int lines = static_cast<int>(std::floor(device.height() / metrics.lineSpacing()));
    return {metrics.lineSpacing(), metrics.ascent(), std::max(lines, 1)};
}

std::uint64_t pagesFor(std::uint64_t lineCount, int linesPerPage)
{
    const auto perPage = static_cast<std::uint64_t>(linesPerPage);
    return lineCount / perPage + (lineCount % perPage != 0 ? 1 : 0);
}

// Lays `pdf` out like the pages of `target`.
void layOutLike(QPdfWriter& pdf, const QPrinterInfo& target)
{
    pdf.setResolution(kPdfDotsPerInch);
    pdf.setPageLayout(QPrinter(target).pageLayout());
    pdf.setTitle(QString::fromLatin1(kJobTitle));
}

}  // namespace

Outcome paintLines(const torvanel::ShownLines& lines, QPagedPaintDevice& pages, const PageProgress& progress)
{
    const Page page = pageOf(pages);
    QPainter painter;
    if (!painter.begin(&pages))
        return Outcome::Failed;
    // The painter's origin is the top-left corner of the printable area.
    const std::uint64_t pageCount = pagesFor(lines.count(), page.linesPerPage);
    bool stopped = !progress(0, pageCount);
    bool failed = false;
    int lineOnPage = 0;
    std::uint64_t pagesMade = 0;
    lines.forEachLine([&](std::string_view line) {
        if (stopped)
            return false;
        if (lineOnPage == page.linesPerPage) {
            stopped = !progress(++pagesMade, pageCount);
            if (stopped)
                return false;
            failed = !pages.newPage();  // false once a write to the file has failed
            if (failed)
                return false;
            lineOnPage = 0;
        }
        const qreal baseline = page.ascent + lineOnPage * page.lineSpacing;
        painter.drawText(QPointF(0, baseline), QString::fromLatin1(line.data(), qsizetype(line.size())));
        ++lineOnPage;
        return true;
    });
    const bool ended = painter.end();  // the caller drops the output of a stopped job
    if (stopped)
        return Outcome::Cancelled;
    progress(pageCount, pageCount);
    return ended && !failed ? Outcome::Printed : Outcome::Failed;
}

JobSize jobSize(std::uint64_t lineCount, const QPrinterInfo& target)
{
    QPdfWriter pdf(QString{});  // never opened: it only answers for its pages
    layOutLike(pdf, target);
    const std::uint64_t pages = pagesFor(lineCount, pageOf(pdf).linesPerPage);
    const bool bothSides = target.defaultDuplexMode() != QPrinter::DuplexNone;
    return {pages, bothSides ? pages / 2 + pages % 2 : pages};
}

Outcome sendToPrinter(const torvanel::ShownLines& lines, const QPrinterInfo& target, const PageProgress& progress,
                      Failure& failure)
{
    QTemporaryFile pages(QDir::tempPath() + QStringLiteral("/torvanel-XXXXXX.pdf"));
    const auto pagesNotMade = [&] {
        failure.diskReason = resultfile::frenchReason(pages.errorString(), pages.fileName());
        return Outcome::Failed;  // the temporary file goes with `pages`
    };
    if (!pages.open())
        return pagesNotMade();
    Outcome made = Outcome::Failed;
    {
        // The writer writes through `pages`, whose error then tells why a
        // write failed; its engine never reports a failed write at the end.
        QPdfWriter pdf(&pages);
        layOutLike(pdf, target);
        made = paintLines(lines, pdf, progress);
    }
    if (made == Outcome::Cancelled)
        return made;
    if (made == Outcome::Failed || !pages.flush() || pages.error() != QFileDevice::NoError)
        return pagesNotMade();
    const QByteArray printerName = target.printerName().toUtf8();
    if (cupsPrintFile(printerName.constData(), QFile::encodeName(pages.fileName()).constData(), kJobTitle, 0,
                      nullptr)
        == 0) {
        failure.printerError = QString::fromUtf8(cupsLastErrorString());
        return Outcome::Failed;
    }
    return Outcome::Printed;
}

}  // namespace printing
