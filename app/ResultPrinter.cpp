#include "app/ResultPrinter.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <cmath>

namespace printing {

namespace {

// The name of the job in the printer's queue; nothing of it is printed.
const char* const kJobTitle = "Torvanel de pronostics";

struct Page {
    qreal lineSpacing;
    qreal ascent;
    int linesPerPage;
};

Page pageOf(const QPainter& painter, const QPrinter& printer)
{
    const QFontMetricsF metrics = painter.fontMetrics();
    const qreal height = printer.pageRect(QPrinter::DevicePixel).height();
    const int lines = static_cast<int>(std::floor(height / metrics.lineSpacing()));
    return {metrics.lineSpacing(), metrics.ascent(), std::max(lines, 1)};
}

std::uint64_t pagesFor(std::uint64_t lineCount, int linesPerPage)
{
    const auto perPage = static_cast<std::uint64_t>(linesPerPage);
    return lineCount / perPage + (lineCount % perPage != 0 ? 1 : 0);
}

}  // namespace

Outcome paintLines(const torvanel::ShownLines& lines, QPrinter& printer, const PageProgress& progress)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return Outcome::Failed;
    // The painter's origin is the top-left corner of the printable area.
    const Page page = pageOf(painter, printer);
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
            failed = !printer.newPage();
            if (failed)
                return false;
            lineOnPage = 0;
        }
        const qreal baseline = page.ascent + lineOnPage * page.lineSpacing;
        painter.drawText(QPointF(0, baseline), QString::fromLatin1(line.data(), qsizetype(line.size())));
        ++lineOnPage;
        return true;
    });
    if (stopped) {
        printer.abort();  // a no-op for most engines; the caller drops the output
        painter.end();
        return Outcome::Cancelled;
    }
    progress(pageCount, pageCount);
    return painter.end() && !failed ? Outcome::Printed : Outcome::Failed;
}

Outcome sendToPrinter(const torvanel::ShownLines& lines, const QPrinterInfo& target,
                      const PageProgress& progress, QString& error)
{
    QTemporaryFile pages(QDir::tempPath() + QStringLiteral("/torvanel-XXXXXX.pdf"));
    if (!pages.open()) {
        error = pages.errorString();
        return Outcome::Failed;
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(pages.fileName());
    pdf.setPageLayout(QPrinter(target).pageLayout());
    pdf.setDocName(QString::fromLatin1(kJobTitle));

    const Outcome made = paintLines(lines, pdf, progress);
    if (made != Outcome::Printed) {
        if (made == Outcome::Failed)
            error = QStringLiteral("the pages could not be written to %1").arg(pages.fileName());
        return made;  // the temporary file goes with `pages`
    }
    const QByteArray printerName = target.printerName().toUtf8();
    if (cupsPrintFile(printerName.constData(), QFile::encodeName(pages.fileName()).constData(), kJobTitle, 0,
                      nullptr)
        == 0) {
        error = QString::fromUtf8(cupsLastErrorString());
        return Outcome::Failed;
    }
    return Outcome::Printed;
}

}  // namespace printing
