#include "frmmenu.h"

#include <QtTest>

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
};

void WindowTest::startsEmpty()
{
    frmmenu window;
    QCOMPARE(window.objectName(), QStringLiteral("frmmenu"));
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
