#include "WindowDriving.h"

#include "app/ResultPrinter.h"

#include <QDirIterator>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSet>

namespace {

// Where tools/printer-setup has cups-pdf write its jobs.
const QString kCupsPdfOut = QStringLiteral("/var/spool/cups-pdf");

// The text of a PDF, page by page, each page as its non-empty lines.
QList<QStringList> pagesOf(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QList<QStringList> result;
    for (const QString& page : pages)
        result.append(page.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    return result;
}

QSet<QString> cupsPdfFiles()
{
    QSet<QString> files;
    QDirIterator it(kCupsPdfOut, {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(it.next());
    return files;
}

int jobsOf(const QString& printer)
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), printer});
    lpstat.waitForFinished(10000);
    return int(QString::fromUtf8(lpstat.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size());
}

// Checks that `lineCount` lines fill the pages, each but the last full.
void checkPages(const QList<QStringList>& pages, int lineCount)
{
    QVERIFY2(pages.size() >= 2, "120 lines need more than one page");
    const int perPage = int(pages.first().size());
    for (int i = 0; i + 1 < pages.size(); ++i)
        QCOMPARE(pages[i].size(), perPage);
    QCOMPARE(pages.size(), (lineCount + perPage - 1) / perPage);
    QCOMPARE(int(pages.last().size()), lineCount - perPage * int(pages.size() - 1));
}

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }
    void pdfFileHoldsEveryLineInOrder();
    void imprimerSendsOneJobToTheDefaultPrinter();
    void emptyListPrintsNothing();
    void cancellingALongJobSendsNothing();

private:
    std::unique_ptr<frmmenu> window_;
};

namespace {

bool cupsPdfPrinterReady()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return !printer.isNull() && QDir(kCupsPdfOut).exists()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

}  // namespace

// Only a machine without CUPS may skip; CI sets it up with tools/printer-setup.
// A macro, so that the skip or the failure ends the test function itself.
#define REQUIRE_CUPS_PDF_PRINTER()                                                                \
    do {                                                                                          \
        if (cupsPdfPrinterReady())                                                                \
            break;                                                                                \
        if (qEnvironmentVariableIsSet("CI"))                                                      \
            QFAIL("no cups-pdf default printer: tools/printer-setup should have made one");       \
        QSKIP("no CUPS default printer writing to /var/spool/cups-pdf here (run tools/printer-setup)"); \
    } while (false)

void PrintTest::pdfFileHoldsEveryLineInOrder()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    driving::mergeBasesAlone(*window_, 10, 2);
    QCOMPARE(ui(window_).resultModel->rowCount(), 120);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("lines.pdf")));
    const auto outcome =
        printing::paintLines(window_->ticket().shown(), printer, [](std::uint64_t, std::uint64_t) { return true; });
    QCOMPARE(outcome, printing::Outcome::Printed);
    const QList<QStringList> pages = pagesOf(printer.outputFileName());
    checkPages(pages, 120);
    QStringList printed;
    for (const QStringList& page : pages)
        printed += page;
    QCOMPARE(printed, driving::linesOfBasesAlone(10, 3));
}

void PrintTest::imprimerSendsOneJobToTheDefaultPrinter()
{
    REQUIRE_CUPS_PDF_PRINTER();
    driving::mergeBasesAlone(*window_, 10, 2);
    const QModelIndex chosen = ui(window_).resultModel->index(5);
    ui(window_).lstResultat->setCurrentIndex(chosen);
    const QSet<QString> before = cupsPdfFiles();

    Dialogs::TestAnswers boxes;
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(ui(window_).resultModel->rowCount(), 120);
    QCOMPARE(ui(window_).lstResultat->selectionModel()->selectedIndexes(), QModelIndexList{chosen});

    QSet<QString> added;
    QTRY_VERIFY_WITH_TIMEOUT(!(added = cupsPdfFiles() - before).isEmpty(), 60000);
    QCOMPARE(added.size(), 1);
    QList<QStringList> pages;
    QTRY_VERIFY_WITH_TIMEOUT(!(pages = pagesOf(*added.begin())).isEmpty(), 30000);
    // cups-pdf rewrites the fonts, so its text does not read back; the
    // test above reads the same pages' text.
    checkPages(pages, 120);
}

void PrintTest::emptyListPrintsNothing()
{
    REQUIRE_CUPS_PDF_PRINTER();
    const QString printer = QPrinterInfo::defaultPrinter().printerName();
    const int jobs = jobsOf(printer);
    Dialogs::TestAnswers boxes;
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(jobsOf(printer), jobs);  // a job is queued before the click returns
}

void PrintTest::cancellingALongJobSendsNothing()
{
    REQUIRE_CUPS_PDF_PRINTER();
    const QString printer = QPrinterInfo::defaultPrinter().printerName();
    driving::mergeBasesAlone(*window_, 18, 4);  // 8568 lines, a hundred pages
    const int jobs = jobsOf(printer);
    Dialogs::TestAnswers user;
    user.cancelProgress = true;
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    QCOMPARE(user.shown.size(), 1);
    QCOMPARE(user.shown[0].kind, Dialogs::Shown::Kind::Progress);
    QCOMPARE(user.shown[0].caption, QStringLiteral("Torvanel de pronos"));
    QCOMPARE(jobsOf(printer), jobs);
    QCOMPARE(ui(window_).resultModel->rowCount(), 8568);
}

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
