#pragma once
// The forecast on paper, the sheet a punter takes to the betting shop: a
// header on the first page (title, race and note, the bet, the stake, the
// number of lines and their cost, the horses, what the list guarantees), then
// the lines in columns, down then across, and "page 2 / 7" at the foot of
// every page. The lines are written one at a time from the list; a long list
// is never held whole.

#include "generators/ShownLines.h"

#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace sheet {

struct Header {
    QString title;       // "Pronostic — Vincennes, 8 décembre, R1 C4"
    QStringList facts;   // one paragraph each, in order
    QString footnote;    // at the left of every page's foot: "Imprimé le 8 décembre 2026"
};

// How the lines fall on the pages of `device`.
struct Layout {
    int columns = 1;
    int rowsOnFirstPage = 1;
    int rowsOnOtherPages = 1;
    std::uint64_t pageCount = 1;
};
Layout layoutOf(QPagedPaintDevice& device, const Header& header, const torvanel::ShownLines& lines);

// Paints the whole sheet on `device` (a printer, a preview, a PDF file);
// false when the device refused a page.
bool paint(QPagedPaintDevice& device, const Header& header, const torvanel::ShownLines& lines);

}  // namespace sheet
