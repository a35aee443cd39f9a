#include "WindowDriving.h"

#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

const char* const kExitDuringWait = "--exit-while-waiting";

// Run in a child process: lines of a merge showing, the guided tour in its
// first wait, and the exit picture clicked in the middle of the wait.
int exitWhileWaiting()
{
    frmmenu window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    driving::mergeBasesAlone(window, 6, 2);
    std::printf("lines %d\n", ui(window).resultModel->rowCount());
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&window] {
        QTimer::singleShot(200, &window, [&window] { QTest::mouseClick(ui(window).Image1, Qt::LeftButton); });
        QTest::mouseClick(ui(window).Command1, Qt::LeftButton);
        if (ui(window).lstBases->count() != 18)  // its second step empties the bases
            std::printf("tour finished\n");
    });
    const int code = QApplication::exec();
    std::printf("event loop left\n");
    return code;
}

}  // namespace

class NoticeTest : public QObject {
    Q_OBJECT
private slots:
    void noticeTellsOfOtherSoftware();
    void exitPictureEndsTheProgram();
    void exitPictureEndsTheProgramDuringTheTour();
};

void NoticeTest::noticeTellsOfOtherSoftware()
{
    frmmenu window;
    window.show();
    Dialogs::TestAnswers boxes;
    QTest::mouseClick(ui(window).Command2, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].kind, Dialogs::Shown::Kind::Message);  // one OK button, as tst_window sees
    QCOMPARE(boxes.shown[0].caption, QStringLiteral("Torvanel de pronos"));
    const QStringList lines = boxes.shown[0].text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Nous disposons de très nombreux logiciels hippiques, du plus simple, "
                                      "comme celui-ci au plus sophistiqué."));
    QVERIFY(lines[1].startsWith(QStringLiteral("Visitez donc notre page internet:  ")));
    QVERIFY(lines[1].endsWith(QStringLiteral(".torvanel.example")));
    QVERIFY(lines[2].startsWith(QStringLiteral("Internet e-mail:  ")));
    QVERIFY(lines[2].endsWith(QStringLiteral("@torvanel.example")));
}

void NoticeTest::exitPictureEndsTheProgram()
{
    frmmenu window;
    window.show();
    int ends = 0;
    window.setEndProgram([&ends] { ++ends; });
    QTest::mouseClick(ui(window).Image1, Qt::LeftButton);
    QCOMPARE(ends, 1);
}

void NoticeTest::exitPictureEndsTheProgramDuringTheTour()
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kExitDuringWait)});
    QVERIFY(child.waitForFinished(15000));
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QVERIFY2(out.contains(QStringLiteral("lines 20")), qPrintable(out));  // C(6, 3) lines were showing
    // The program left its event loop, as after a close, without another step of the tour.
    QVERIFY2(!out.contains(QStringLiteral("finished")) && out.contains(QStringLiteral("left")), qPrintable(out));
    QVERIFY(clock.elapsed() < 10000);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], kExitDuringWait) == 0)
        return exitWhileWaiting();
    NoticeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notice.moc"
