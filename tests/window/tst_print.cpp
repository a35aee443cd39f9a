#include "WindowDriving.h"

#include "app/ResultPrinter.h"

#include <QDirIterator>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QSet>

#include <unistd.h>

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
    void jobOfOverAThousandPagesAsksFirst();
    void fullDiskIsNamedOnceTheProgressHasGone();

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

namespace {

// Lines on a page of the default printer, read from 120 lines painted on pages
// laid out like its own.
int linesPerPrintedPage(frmmenu& window)
{
    driving::mergeBasesAlone(window, 10, 2);
    QTemporaryDir dir;
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("lines.pdf")));
    printing::paintLines(window.ticket().shown(), printer, [](std::uint64_t, std::uint64_t) { return true; });
    const QList<QStringList> pages = pagesOf(printer.outputFileName());
    return pages.size() > 1 ? int(pages.first().size()) : 0;
}

QString frenchNumber(qulonglong count)
{
    return QLocale(QLocale::French, QLocale::France).toString(count);
}

}  // namespace

void PrintTest::jobOfOverAThousandPagesAsksFirst()
{
    REQUIRE_CUPS_PDF_PRINTER();
    const QString printer = QPrinterInfo::defaultPrinter().printerName();
    QCOMPARE(QPrinterInfo::defaultPrinter().defaultDuplexMode(), QPrinter::DuplexNone);  // one page a sheet
    const int perPage = linesPerPrintedPage(*window_);
    QVERIFY(perPage > 0);
    driving::mergeQuinteOfAllBases(*window_, 27);  // 80 730 lines
    const qulonglong pages = (80730 + perPage - 1) / perPage;
    QVERIFY2(pages > 1000, "the list must take over a thousand pages");
    const int jobs = jobsOf(printer);

    std::optional<Dialogs::TestAnswers> user(std::in_place);  // "Annuler"
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    QCOMPARE(user->shown.size(), 1);  // asked before a page is made
    const Dialogs::Shown question = user->shown[0];
    QCOMPARE(question.kind, Dialogs::Shown::Kind::Question);
    QCOMPARE(question.caption, QStringLiteral("Torvanel de pronos"));
    QCOMPARE(question.text, QStringLiteral("Imprimer %1 pages ?\nCela fait %1 feuilles de papier.").arg(frenchNumber(pages)));
    QCOMPARE(question.items, QStringList({"Imprimer", "Annuler"}));

    user.emplace();
    user->choose(0);  // "Imprimer", then "Annuler" in the progress dialogue
    user->cancelProgress = true;
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    QCOMPARE(user->texts(Dialogs::Shown::Kind::Progress),
             QStringList{QStringLiteral("Préparation des pages à imprimer : 0 sur %1").arg(frenchNumber(pages))});
    QCOMPARE(jobsOf(printer), jobs);
    QCOMPARE(ui(window_).resultModel->rowCount(), 80730);
}

void PrintTest::fullDiskIsNamedOnceTheProgressHasGone()
{
    REQUIRE_CUPS_PDF_PRINTER();
    if (geteuid() != 0)
        QSKIP("a full disk needs a small tmpfs, which only root can mount");
    const driving::ScratchDisk small(QStringLiteral("size=64k"));
    if (!small.mounted())
        QSKIP("this machine lets no one mount a small tmpfs");
    // The pages are made in the temporary folder.
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", small.path().toLocal8Bit());
    const auto restore = qScopeGuard([&tmpdir] { tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir); });
    const QString printer = QPrinterInfo::defaultPrinter().printerName();
    driving::mergeBasesAlone(*window_, 18, 4);  // 8568 lines, about 200 kB of pages
    const int jobs = jobsOf(printer);

    // The real boxes, the message closed as soon as it shows.
    bool progressShown = false;
    bool progressWithMessage = true;
    QStringList messages;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto progress = window_->findChildren<QProgressDialog*>();
        const bool progressVisible = std::any_of(progress.begin(), progress.end(), [](auto* p) { return p->isVisible(); });
        progressShown = progressShown || progressVisible;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            progressWithMessage = progressVisible;
            messages << box->text();
            box->accept();
        }
    });
    watch.start(0);
    QTest::mouseClick(ui(window_).cmdImprimer, Qt::LeftButton);
    watch.stop();
    QVERIFY(progressShown);
    QCOMPARE(messages,
             QStringList{QStringLiteral("Impossible de préparer les pages à imprimer dans le dossier « %1 » : le disque est plein.\n"
                                        "Rien n'a été envoyé à l'imprimante « %2 ». Corrigez ce problème, puis recommencez.")
                             .arg(small.path(), printer)});
    QVERIFY(!progressWithMessage);
    QCOMPARE(jobsOf(printer), jobs);
    QCOMPARE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(PrintTest)
#include "tst_print.moc"
