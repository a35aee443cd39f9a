#include "WindowDriving.h"

#include <QPrinterInfo>

// Printing on a machine without a default printer: this program points CUPS
// at a server that does not exist before anything asks it for printers.
class NoPrinterTest : public QObject {
    Q_OBJECT
private slots:
    void imprimerSaysThereIsNoPrinter();
};

void NoPrinterTest::imprimerSaysThereIsNoPrinter()
{
    QVERIFY(QPrinterInfo::defaultPrinter().isNull());
    frmmenu window;
    driving::openWindow(window);
    driving::mergeBasesAlone(window, 10, 2);
    const QModelIndex chosen = ui(window).resultModel->index(3);
    ui(window).lstResultat->setCurrentIndex(chosen);

    Dialogs::TestAnswers boxes;
    QTest::mouseClick(ui(window).cmdImprimer, Qt::LeftButton);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, QStringLiteral("Torvanel de pronos"));
    QCOMPARE(boxes.shown[0].text,
             QStringLiteral("Impossible d'imprimer : aucune imprimante par défaut n'est définie.\n"
                            "Choisissez une imprimante par défaut dans les réglages du système, puis recommencez."));
    QCOMPARE(ui(window).resultModel->rowCount(), 120);
    QCOMPARE(ui(window).lstResultat->selectionModel()->selectedIndexes(), QModelIndexList{chosen});
}

int main(int argc, char* argv[])
{
    return driving::execWithoutPrinter<NoPrinterTest>(argc, argv);
}

#include "tst_noprinter.moc"
