#pragma once
// Printing the result lines: one printed line per result line, from the left
// margin of the page, in the printer's default font, as many lines to a page
// as the page holds. The lines are written one at a time from the result
// blocks; a job of millions of lines never holds them all.

#include "generators/ShownLines.h"

#include <QString>

#include <cstdint>
#include <functional>

class QPagedPaintDevice;
class QPrinterInfo;

namespace printing {

// Told before the first page (0 made) and after each page is made; answers
// false to stop the job.
using PageProgress = std::function<bool(std::uint64_t pagesMade, std::uint64_t pageCount)>;

enum class Outcome { Printed, Cancelled, Failed };

// Paints every line onto `pages` (a PDF file, or a printer) and ends the
// document. Qt's print engines cannot take a started job back, so a job
// stopped here half-way still reaches a real printer: printers get their
// jobs through sendToPrinter.
Outcome paintLines(const torvanel::ShownLines& lines, QPagedPaintDevice& pages, const PageProgress& progress);

// What a job of `lineCount` lines takes on `target`, worked out from its page
// layout and font without painting anything.
struct JobSize {
    std::uint64_t pages;
    std::uint64_t sheets;  // half the pages, rounded up, where the printer prints both sides
};
JobSize jobSize(std::uint64_t lineCount, const QPrinterInfo& target);

// Why a job failed; one of the two is set.
struct Failure {
    QString diskReason;    // the pages could not be written, in French ("le disque est plein")
    QString printerError;  // the printer refused the job, in English, from the print system
};

// Prints the lines on `target`. The pages are first made into a temporary
// PDF file (in QDir::tempPath()) laid out like the printer's own pages, and
// the file goes to the printer as one job once the last page is made: a job
// cancelled or failed while its pages are made sends nothing.
Outcome sendToPrinter(const torvanel::ShownLines& lines, const QPrinterInfo& target, const PageProgress& progress,
                      Failure& failure);

}  // namespace printing
