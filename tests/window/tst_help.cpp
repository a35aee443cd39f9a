#include "WindowDriving.h"

// The help area as the user sees it, driven by real pointer moves over the
// shown window.
class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsEmpty();
    void eachControlExplainsItself_data();
    void eachControlExplainsItself();
    void controlsWithoutHelpKeepTheLastText();

private:
    void pointAt(const char* objectName, QPoint where = {});
    void pointAtBackground();
    QString help() const { return ui(window_).txtAide->text(); }

    std::unique_ptr<frmmenu> window_;
};

namespace {

const QString kInvitation = QStringLiteral("Déplacez le curseur pour lire ici de l'aide");
const QString kBases = QStringLiteral("Cliquez les numéros pour sélectionner les bases.\n"
                                      "(MAJ - SHIFT en anglais) + Clic = changer numéro de place");
// Left of the bases list: no control there.
constexpr QPoint kBareBackground{4, 200};

}  // namespace

void HelpTest::init()
{
    driving::openWindow(window_);
    QCOMPARE(window_->childAt(kBareBackground), nullptr);
}

void HelpTest::cleanup()
{
    window_.reset();
    // The next window opens at the same place: a move to the pointer's own
    // position would be no move at all.
    QCursor::setPos(-50, -50);
}

// Over the control's centre unless told where.
void HelpTest::pointAt(const char* objectName, QPoint where)
{
    auto* control = window_->findChild<QWidget*>(QLatin1String(objectName));
    QVERIFY2(control, objectName);
    QTest::mouseMove(control, where);  // no button held: a real pointer move
}

void HelpTest::pointAtBackground()
{
    QTest::mouseMove(window_.get(), kBareBackground);
}

void HelpTest::startsEmpty()
{
    QVERIFY(help().isEmpty());
    pointAt("Label1_1");  // a label has no help
    QVERIFY(help().isEmpty());
    pointAtBackground();
    QCOMPARE(help(), kInvitation);
}

void HelpTest::eachControlExplainsItself_data()
{
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* control, const QString& text) { QTest::newRow(control) << text; };
    row("txtPartants", QStringLiteral("Insérez le nombre de partants, puis validez en appuyant sur ENTREE"));
    const QString insert =
        QStringLiteral("Tapez un numéro de cheval puis appuyez sur ENTREE pour l'insérer dans la liste");
    row("txtInserer_0", insert);
    row("txtInserer_1", insert);
    row("lstBases", kBases);
    row("lstOuts", QStringLiteral("Cliquez les numéros pour sélectionner les outsiders.\n"
                                  "(MAJ - SHIFT en anglais) + Clic = changer numéro de place"));
    for (const char* all : {"cmdTous_0", "cmdTous_1"})
        row(all, QStringLiteral("Cliquez pour sélectionner la totalité des chevaux"));
    for (const char* none : {"cmdAucun_0", "cmdAucun_1"})
        row(none, QStringLiteral("Cliquez pour désélectionner la totalité des chevaux"));
    for (const char* fusion : {"Option1_0", "Option1_1", "Option1_2", "Option1_3"})
        row(fusion, QStringLiteral("Cochez pour choisir le type de fusion que vous désirez réaliser"));
    for (const char* bet : {"OptionQuoi_0", "OptionQuoi_1", "OptionQuoi_2", "OptionQuoi_3", "OptionQuoi_4"})
        row(bet, QStringLiteral("Cochez pour choisir le type de jeu pour lequel vous désirez réaliser la fusion"));
    row("cmdFusionner", QStringLiteral("Cliquez ce bouton pour fusionner les bases avec les outsiders "
                                       "(ou bases seules ou outsiders seuls)"));
    row("Command1", QStringLiteral("Cliquez pour assister à un tutorial automatique"));
}

void HelpTest::eachControlExplainsItself()
{
    QFETCH(QString, expected);
    pointAtBackground();
    QCOMPARE(help(), kInvitation);
    pointAt(QTest::currentDataTag());
    QCOMPARE(help(), expected);
    // Moving within the control keeps its text.
    auto* control = window_->findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
    QTest::mouseMove(control, QPoint(2, 2));
    QCOMPARE(help(), expected);
}

void HelpTest::controlsWithoutHelpKeepTheLastText()
{
    pointAt("lstBases");
    QCOMPARE(help(), kBases);
    QCOMPARE(help().split(QLatin1Char('\n')).size(), 2);
    for (const char* silent : {"lstResultat", "txtUnite", "ChkInclure_0", "OptionTierce_1", "cmdVider_2",
                               "cmdImprimer", "Command2", "Label4_2", "Image1", "txtAide"}) {
        pointAt(silent);
        QVERIFY2(help() == kBases, silent);
    }
    // Containers, beside the buttons they hold.
    for (const char* container : {"Frame2", "PictureDetail_2"}) {
        pointAt(container, QPoint(2, 2));
        QVERIFY2(help() == kBases, container);
    }
}

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
