// A forecast saved and reopened: the round trip of a rich window, and of
// conditions with a reduction to a budget within them and an arrival typed,
// every bad file refused with the window left as it was, the file given on the command
// line, the question before unsaved changes are lost, the recent forecasts,
// and the sheet's preview.

#include "WindowDriving.h"

#include "app/ForecastCommands.h"
#include "app/ForecastFile.h"
#include "app/ForecastSheet.h"
#include "app/MainWindow.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTableWidget>

using namespace torvanel;
using Kind = Dialogs::Shown::Kind;

namespace {

const QString kTitle = QStringLiteral("Torvanel de pronostics");

QAction* action(const frmmenu& w, const char* name)
{
    auto* found = w.findChild<QAction*>(QLatin1String(name));
    if (!found)
        qFatal("no action %s", name);
    return found;
}

void typeEntry(frmmenu& w, int list, const QString& text)
{
    ui(w).txtInserer[list]->setText(text);
    QTest::keyClick(ui(w).txtInserer[list], Qt::Key_Return);
}

// Everything a punter sees of the window, control by control.
QStringList windowState(const frmmenu& w)
{
    QStringList state{w.windowTitle(), QString::number(w.isWindowModified()), ui(w).txtPartants->text(),
                      ui(w).txtUnite->text(), ui(w).lblQtetotale->text(), ui(w).lblCout->text()};
    for (const QListWidget* list : {ui(w).lstBases, ui(w).lstOuts})
        for (int row = 0; row < list->count(); ++row)
            state << list->item(row)->text() + (list->item(row)->isSelected() ? QStringLiteral(" *") : QString());
    QString buttons;
    const auto mark = [&buttons](bool on) { buttons += on ? QLatin1Char('1') : QLatin1Char('0'); };
    for (const auto* button : ui(w).Option1)
        mark(button->isChecked());
    for (const auto* button : ui(w).OptionQuoi)
        mark(button->isChecked());
    for (const auto* button : ui(w).OptionTierce)
        mark(button->isChecked());
    for (const auto* box : ui(w).ChkInclure)
        mark(box->isChecked());
    for (int panel : {0, 2, 3, 4})
        mark(ui(w).PictureDetail[panel]->isVisible());
    return state << buttons << driving::shownLines(w);
}

QByteArray readAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Saves the window's forecast under `fileName` through its menu entry.
void saveAs(frmmenu& w, const QString& fileName)
{
    Dialogs::TestAnswers user;
    user.type(fileName);
    action(w, "mnuEnregistrerPronostic")->trigger();
    QCOMPARE(user.texts(), QStringList());
}

// The forecast file's JSON with `change` made to its object.
QByteArray edited(const QByteArray& bytes, const std::function<void(QJsonObject&)>& change)
{
    QJsonObject object = QJsonDocument::fromJson(bytes).object();
    change(object);
    return QJsonDocument(object).toJson();
}

}  // namespace

class ForecastTest : public QObject {
    Q_OBJECT
private slots:
    void init() { driving::openWindow(window_); }
    void cleanup() { window_.reset(); }

    void richForecastComesBackControlByControl();
    void conditionsABudgetAndAnArrivalComeBack();
    void badFilesAreRefusedAndLeaveTheWindowAsItWas_data();
    void badFilesAreRefusedAndLeaveTheWindowAsItWas();
    void closingAsksOnlyAboutChangesToANamedForecast();
    void aSaveThatCannotBeMadeNamesNothing();
    void theFileOnTheCommandLineOpensAtStartUp();
    void recentForecastsKeepTheLastEight();
    void sheetPaginatesAndThePreviewShowsIt();
    void theRealBoxesAskAsTheTestsAnswer();

private:
    // The rich forecast of the round trip, saved once and reused.
    QString richForecast();

    std::unique_ptr<frmmenu> window_;
    QTemporaryDir folder_;
    QString rich_;
    QStringList richState_;
    QStringList richLines_;
};

QString ForecastTest::richForecast()
{
    if (!rich_.isEmpty())
        return rich_;
    frmmenu w;
    driving::openWindow(w);
    driving::setStarters(w, 14);
    Dialogs::TestAnswers user;
    typeEntry(w, 0, QStringLiteral("13"));      // hand-typed, a second 13 among the bases
    typeEntry(w, 1, QStringLiteral("7 bis"));   // hand-typed, kept as typed
    // 5 goes to the top of the bases: the order is the punter's.
    driving::selectHorses(ui(w).lstBases, {5});
    user.type(QStringLiteral("1"));
    w.lstBases_MouseDown(1, 1, 0, 0);
    ui(w).cmdAucun[0]->click();
    driving::selectHorses(ui(w).lstBases, {1, 2, 3, 4});  // 5, 2, 3 and 4
    driving::selectHorses(ui(w).lstOuts, {8, 9, 10, 11, 12, 14});
    ui(w).OptionTierce[0]->click();
    ui(w).OptionTierce[3]->click();
    ui(w).OptionQuoi[4]->click();
    ui(w).OptionTierce[6]->click();  // Quinté, 2 bases + 3 outs
    ui(w).ChkInclure[1]->click();    // and the outsiders among themselves
    ui(w).txtUnite->setText(QStringLiteral("1.5"));
    ui(w).cmdFusionner->click();
    user.choose(1);  // Bonus 3
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier);
    user.fill({QStringLiteral("Vincennes, R1 C4"), QStringLiteral("Terrain lourd.\nLe 5 court bien ici.")});
    action(w, "mnuNotePronostic")->trigger();
    [&] { QVERIFY2(w.windowTitle().endsWith(QStringLiteral("(Bonus 3 garanti)")), qPrintable(w.windowTitle())); }();
    rich_ = folder_.filePath(QStringLiteral("riche.torvanel"));
    user.type(rich_);
    action(w, "mnuEnregistrerPronostic")->trigger();
    [&] { QCOMPARE(user.texts().size(), 1); }();  // the reduction's summary only
    [&] { QCOMPARE(w.windowTitle(), QStringLiteral("riche.torvanel[*] — ") + kTitle + QStringLiteral(" — liste réduite (Bonus 3 garanti)")); }();
    [&] { QVERIFY(!w.isWindowModified()); }();
    if (const QByteArray dir = qgetenv("TORVANEL_GRAB_DIR"); !dir.isEmpty())
        QFile::copy(rich_, QString::fromLocal8Bit(dir) + QStringLiteral("/riche.torvanel"));
    richState_ = windowState(w);
    richLines_ = driving::shownLines(w);
    return rich_;
}

void ForecastTest::richForecastComesBackControlByControl()
{
    const QString fileName = richForecast();
    QVERIFY(!QTest::currentTestFailed());
    const QStringList saved = richState_;

    // The file says what the window held, field by field.
    const forecast::Reading reading = forecast::read(readAll(fileName));
    QVERIFY2(reading.forecast, qPrintable(reading.problem));
    const forecast::Forecast& f = *reading.forecast;
    QCOMPARE(f.starters, QStringLiteral("14"));
    QCOMPARE(f.bases.size(), 15);
    QCOMPARE(f.bases[0], (forecast::Entry{QStringLiteral("5"), true}));
    QCOMPARE(f.bases[4], (forecast::Entry{QStringLiteral("1"), false}));
    QCOMPARE(f.bases[14], (forecast::Entry{QStringLiteral("13"), false}));
    QCOMPARE(f.outsiders[14], (forecast::Entry{QStringLiteral("7 bis"), false}));
    QCOMPARE(f.betType, BetType::Quinte);
    QCOMPARE(f.fusion, 3);
    QCOMPARE(f.splits, (std::array<int, 3>{0, 3, 6}));
    QCOMPARE(f.include, (std::array<bool, 2>{false, true}));
    QCOMPARE(f.stake, QStringLiteral("1.5"));
    QVERIFY(f.reduction);
    QCOMPARE(f.reduction->payout, bets::PayoutClass::QuinteBonus3);
    QCOMPARE(f.reduction->lines, richLines_);
    QCOMPARE(f.race, QStringLiteral("Vincennes, R1 C4"));
    QCOMPARE(f.note, QStringLiteral("Terrain lourd.\nLe 5 court bien ici."));

    // Reopened in another window, with fields this program does not know:
    // the same window, control by control, and the same lines.
    const QString withUnknown = folder_.filePath(QStringLiteral("avec-inconnus.torvanel"));
    writeAll(withUnknown, edited(readAll(fileName), [](QJsonObject& o) {
                 o.insert(QStringLiteral("meteo"), QJsonObject{{QStringLiteral("terrain"), QJsonArray{1, 2, 3}}});
                 o.insert(QStringLiteral("conditions"), QJsonObject{});  // conditions that keep every line: none
             }));
    frmmenu& w = *window_;
    Dialogs::TestAnswers user;
    QVERIFY(w.openForecast(withUnknown));
    QCOMPARE(user.texts(), QStringList());
    QStringList reopened = windowState(w);
    QCOMPARE(reopened.takeFirst(),
             QStringLiteral("avec-inconnus.torvanel[*] — ") + kTitle + QStringLiteral(" — liste réduite (Bonus 3 garanti)"));
    QCOMPARE(reopened, saved.mid(1));
    QCOMPARE(driving::shownLines(w), richLines_);
    QVERIFY(richLines_.size() > 0);

    // Saved again and reopened: the same bytes, the same window.
    saveAs(w, withUnknown);
    QCOMPARE(readAll(withUnknown), readAll(fileName));
}

namespace {

// The longest run of consecutive numbers in a line, counted here from scratch.
int longestRunOf(const QString& line)
{
    QList<int> numbers;
    for (const QString& horse : line.split(QLatin1Char('-')))
        numbers << horse.toInt();
    std::sort(numbers.begin(), numbers.end());
    int longest = 1;
    int run = 1;
    for (qsizetype i = 1; i < numbers.size(); ++i) {
        run = numbers[i] == numbers[i - 1] + 1 ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    return longest;
}

// Runs `use` on the modal dialogue `name` once it shows, then closes it.
void onDialog(const QString& name, const std::function<void(QDialog&)>& use)
{
    auto* look = new QTimer;
    look->setInterval(10);
    QObject::connect(look, &QTimer::timeout, [look, name, use] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != name)
            return;
        look->deleteLater();
        look->stop();
        use(*dialog);
        dialog->reject();
    });
    look->start();
}

}  // namespace

void ForecastTest::conditionsABudgetAndAnArrivalComeBack()
{
    frmmenu& w = *window_;
    driving::mergeQuinteOfAllBases(w, 9);
    // "Numéros consécutifs : au plus 2", as the punter types it.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
            if (edit->accessibleName() == QStringLiteral("Numéros consécutifs : au plus, par ligne"))
                edit->setText(QStringLiteral("2"));
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            if (button->text() == QStringLiteral("OK"))
                button->click();
    });
    action(w, "mnuConditions")->trigger();
    QVERIFY(w.ticket().hasConditions());
    Dialogs::TestAnswers user;
    user.chooseWithinBudget(0, 6);  // Bonus 4, at most 6 lines
    action(w, "mnuReduire")->trigger();
    const QStringList kept = driving::shownLines(w);
    QVERIFY2(w.windowTitle().contains(QStringLiteral("liste réduite à 6 lignes (Bonus 4 : ")),
             qPrintable(w.windowTitle() + user.texts().join(QLatin1Char('|'))));
    QCOMPARE(kept.size(), 6);
    for (const QString& line : kept)
        QVERIFY2(longestRunOf(line) <= 2, qPrintable(line));
    // The arrival typed stays with the ticket when its dialog closes.
    onDialog(QStringLiteral("dlgArrivee"), [](QDialog& dialog) {
        QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("txtArrivee")), QStringLiteral("3-7-1-9-5"));
        dialog.findChild<QTableWidget*>(QStringLiteral("tblGains"))->item(2, 2)->setText(QStringLiteral("20,40"));
    });
    action(w, "mnuControler")->trigger();
    const ArrivalEntry arrival = w.ticket().arrivalEntry();
    QCOMPARE(arrival.finishers, std::string("3-7-1-9-5"));

    const QString fileName = folder_.filePath(QStringLiteral("conditions.torvanel"));
    user.type(fileName);
    action(w, "mnuEnregistrerPronostic")->trigger();
    QCOMPARE(user.texts().size(), 1);  // the reduction's summary only
    const QStringList saved = windowState(w);
    const forecast::Reading reading = forecast::read(readAll(fileName));
    QVERIFY2(reading.forecast, qPrintable(reading.problem));
    QCOMPARE(reading.forecast->conditions, std::optional(w.ticket().conditions()));
    QCOMPARE(reading.forecast->conditions->longestRun, std::optional(2));
    QCOMPARE(reading.forecast->reduction->budgetLines, std::uint64_t{6});
    QCOMPARE(reading.forecast->reduction->lines, kept);
    QCOMPARE(reading.forecast->arrival->payouts.at(bets::PayoutClass::QuinteBonus4), std::string("20,4"));

    // Opened over them, another forecast shows its own list, unfiltered;
    // this one brings back its conditions, its lines, its title and its arrival.
    QVERIFY(w.openForecast(richForecast()));
    QVERIFY(!w.ticket().hasConditions());
    QCOMPARE(windowState(w).mid(2), richState_.mid(2));
    QVERIFY(w.openForecast(fileName));
    QCOMPARE(windowState(w), saved);
    QVERIFY(w.ticket().hasConditions());
    QCOMPARE(w.ticket().arrivalEntry().finishers, arrival.finishers);
    QCOMPARE(w.ticket().arrivalEntry().payouts.at(bets::PayoutClass::QuinteBonus4), std::string("20,4"));
    const QByteArray bytes = readAll(fileName);
    saveAs(w, fileName);
    QCOMPARE(readAll(fileName), bytes);
}

void ForecastTest::badFilesAreRefusedAndLeaveTheWindowAsItWas_data()
{
    const QByteArray rich = readAll(richForecast());
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    const auto row = [&](const char* name, const std::function<void(QJsonObject&)>& change, const QString& problem) {
        QTest::newRow(name) << edited(rich, change) << problem;
    };
    using O = QJsonObject;
    const auto set = [](const char* field, const QJsonValue& value) {
        return [field, value](O& o) { o.insert(QLatin1String(field), value); };
    };
    QTest::newRow("pas du JSON") << QByteArray("{\"format\": \"torvanel-forecast\",")
                                 << QStringLiteral("son texte n'est pas du JSON valide (erreur à l'octet 31)");
    QTest::newRow("pas un objet") << QByteArray("[1, 2]") << QStringLiteral("son texte n'est pas un objet JSON");
    row("un autre format", set("format", QStringLiteral("tableur")),
        QStringLiteral("le champ « format » vaut « tableur » au lieu de « torvanel-forecast » : ce n'est pas un pronostic"));
    row("une version plus récente", set("version", 2),
        QStringLiteral("il suit la version 2 du format, plus récente que la version 1 que ce programme lit"));
    row("un champ manquant", [](O& o) { o.remove(QStringLiteral("bases")); },
        QStringLiteral("le champ « bases » manque"));
    row("un champ du mauvais type", set("stake", 2), QStringLiteral("le champ « stake » n'est pas un texte"));
    row("une entrée du mauvais type", set("outsiders", QJsonArray{QJsonObject{{"text", 3}}}),
        QStringLiteral("le champ « outsiders[0].text » n'est pas un texte"));
    row("un type de pari qui n'existe pas", set("betType", QStringLiteral("quadruple")),
        QStringLiteral("le champ « betType » vaut « quadruple », qui n'est pas un type de pari"));
    row("une fusion qui n'existe pas", set("fusion", 4),
        QStringLiteral("le champ « fusion » vaut 4, qui n'est pas un type de fusion (de 0 à 3)"));
    row("un nombre qui n'est pas entier", set("fusion", 1.5), QStringLiteral("le champ « fusion » n'est pas un nombre entier"));
    row("une répartition hors de son panneau", set("splits", O{{"quarte", 5}}),
        QStringLiteral("le champ « splits.quarte » vaut 5, qui n'est pas une répartition du Quarté (2, 3 ou 4)"));
    QJsonArray tooMany;
    for (int i = 0; i <= forecast::kMaxEntries; ++i)
        tooMany.append(O{{"text", QString::number(i % 20 + 1)}});
    row("plus de 32767 entrées", set("bases", tooMany),
        QStringLiteral("le champ « bases » compte 32768 entrées, plus que les 32767 qu'une liste de chevaux peut tenir"));
    const auto reduction = [](const char* payout, const QJsonArray& lines) {
        return [=](O& o) {
            O r = o.value(QStringLiteral("reduction")).toObject();
            r.insert(QStringLiteral("payout"), QLatin1String(payout));
            if (!lines.isEmpty())
                r.insert(QStringLiteral("lines"), lines);
            o.insert(QStringLiteral("reduction"), r);
        };
    };
    row("un rapport d'un autre pari", reduction("bonus", {}),
        QStringLiteral("le champ « reduction.payout » vaut « bonus », qui n'est pas un rapport qu'une réduction "
                       "garantit au Quinté"));
    row("une ligne gardée absente de la liste", reduction("bonus3", {QStringLiteral("05-02-08-09-99")}),
        QStringLiteral("la ligne « 05-02-08-09-99 » du champ « reduction.lines » n'est pas dans la liste des "
                       "combinaisons de ce pronostic"));
    row("des lignes qui ne garantissent pas le rapport", reduction("bonus3", {richLines_.first()}),
        QStringLiteral("les lignes du champ « reduction.lines » ne garantissent pas le Bonus 3"));
    row("plus de lignes que le budget", [](O& o) {
            O r = o.value(QStringLiteral("reduction")).toObject();
            r.insert(QStringLiteral("budgetLines"), 2);
            o.insert(QStringLiteral("reduction"), r);
        },
        QStringLiteral("le champ « reduction.lines » compte %1 lignes, plus que les 2 du champ « reduction.budgetLines »")
            .arg(richLines_.size()));
    row("un groupe qui en veut plus qu'il n'en permet",
        set("conditions", O{{"groups", QJsonArray{O{{"horses", QJsonArray{3, 7}}, {"min", 2}, {"max", 1}}}}}),
        QStringLiteral("le champ « conditions.groups[0] » demande au moins 2 et au plus 1 chevaux du groupe"));
    QJsonArray forbidden;  // a list in a list: braces alone would copy the inner one
    forbidden.append(QJsonArray{3, 7.5});
    row("un numéro qui n'est pas entier", set("conditions", O{{"forbidden", forbidden}}),
        QStringLiteral("le champ « conditions.forbidden[0][1] » n'est pas un nombre entier"));
    row("un cheval arrivé deux fois", set("arrival", O{{"finishers", QJsonArray{3, 7, 3}}}),
        QStringLiteral("le champ « arrival.finishers » nomme deux fois le 3"));
    row("un rapport d'arrivée d'un autre pari",
        set("arrival", O{{"finishers", QJsonArray{3, 7, 1}}, {"payouts", O{{"2sur4", 12.5}}}}),
        QStringLiteral("le champ « arrival.payouts.2sur4 » n'est pas un rapport du Quinté"));
    QTest::newRow("pas de fichier") << QByteArray() << QStringLiteral("le fichier n'existe pas");
}

void ForecastTest::badFilesAreRefusedAndLeaveTheWindowAsItWas()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    frmmenu& w = *window_;
    const QString bad = folder_.filePath(QStringLiteral("mauvais.torvanel"));
    QFile::remove(bad);
    if (!bytes.isEmpty())
        writeAll(bad, bytes);
    // A named forecast with a change not saved: the title says both.
    QVERIFY(w.openForecast(richForecast()));
    ui(w).lstOuts->item(0)->setSelected(true);
    QCoreApplication::processEvents();
    QVERIFY(w.isWindowModified());
    const QStringList before = windowState(w);

    Dialogs::TestAnswers user;
    user.choose(1).type(bad);  // "Ne pas enregistrer", then the bad file
    action(w, "mnuOuvrir")->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(user.texts(),
             QStringList{QStringLiteral("Le pronostic « mauvais.torvanel » ne peut pas être ouvert : %1.").arg(problem)});
    QCOMPARE(windowState(w), before);
}

void ForecastTest::closingAsksOnlyAboutChangesToANamedForecast()
{
    const QString question = QStringLiteral("Enregistrer les modifications du pronostic « copie.torvanel » ?");
    const QString copy = folder_.filePath(QStringLiteral("copie.torvanel"));
    QFile::remove(copy);
    QVERIFY(QFile::copy(richForecast(), copy));
    Dialogs::TestAnswers user;
    // A window that never had a forecast closes as it always has.
    {
        frmmenu plain;
        driving::openWindow(plain);
        driving::selectHorses(ui(plain).lstBases, {1, 2});
        ui(plain).OptionQuoi[0]->click();
        QVERIFY(plain.close());
    }
    // Unchanged: no question either.
    frmmenu& w = *window_;
    QVERIFY(w.openForecast(copy));
    QVERIFY(w.close());
    QCOMPARE(user.texts(Kind::Question), QStringList());

    // Changed: "Annuler" keeps the window, the exit picture asks too.
    driving::openWindow(w);
    ui(w).txtUnite->setText(QStringLiteral("3"));
    QCoreApplication::processEvents();
    QVERIFY(w.isWindowModified());
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(user.shown.last().items, (QStringList{"Enregistrer", "Ne pas enregistrer", "Annuler"}));
    int ended = 0;
    w.setEndProgram([&] { ++ended; });
    user.choose(1);  // "Ne pas enregistrer"
    w.Image1_Click();
    QCOMPARE(ended, 1);
    QVERIFY(w.close());  // let go once: no second question
    QCOMPARE(user.texts(Kind::Question), (QStringList{question, question}));

    // "Enregistrer" writes the change before the window goes.
    driving::openWindow(w);
    ui(w).txtUnite->setText(QStringLiteral("4"));
    user.choose(0);
    QVERIFY(w.close());
    QCOMPARE(user.texts(Kind::Question).size(), 3);
    QCOMPARE(forecast::read(readAll(copy)).forecast->stake, QStringLiteral("4"));
}

void ForecastTest::aSaveThatCannotBeMadeNamesNothing()
{
    frmmenu& w = *window_;
    Dialogs::TestAnswers user;
    action(w, "mnuEnregistrerPronostic")->trigger();  // the dialogue cancelled
    QCOMPARE(user.texts(), QStringList());
    QVERIFY2(user.texts(Kind::Question).value(0).endsWith(QStringLiteral(".torvanel")),
             qPrintable(user.texts(Kind::Question).value(0)));
    user.type(folder_.path());  // a folder
    action(w, "mnuEnregistrerPronostic")->trigger();
    user.type(folder_.filePath(QStringLiteral("absent/pronostic.torvanel")));
    action(w, "mnuEnregistrerPronostic")->trigger();
    const QString advice = QStringLiteral("\nChoisissez un autre fichier ou un autre dossier, puis recommencez.");
    QCOMPARE(user.texts(),
             (QStringList{QStringLiteral("Impossible d'enregistrer le pronostic dans « %1 » : c'est un dossier.").arg(folder_.path()) + advice,
                          QStringLiteral("Impossible d'enregistrer le pronostic dans « %1 » : son dossier n'existe pas.")
                                  .arg(folder_.filePath(QStringLiteral("absent/pronostic.torvanel"))) + advice}));
    QCOMPARE(w.windowTitle(), kTitle);
}

void ForecastTest::theFileOnTheCommandLineOpensAtStartUp()
{
    Dialogs::TestAnswers user;
    MainWindow main;
    main.show();
    const QString sample = QStringLiteral(TORVANEL_SOURCE_DIR "/docs/exemple.torvanel");
    main.openFromCommandLine({QStringLiteral("torvanel"), sample});
    QCOMPARE(user.texts(), QStringList());
    QVERIFY2(main.windowTitle().startsWith(QStringLiteral("exemple.torvanel[*] — ") + kTitle), qPrintable(main.windowTitle()));
    QVERIFY(!main.isWindowModified());
    const forecast::Forecast expected = *forecast::read(readAll(sample)).forecast;
    QCOMPARE(driving::shownLines(main.client()), expected.reduction->lines);
    QCOMPARE(forecast::write(expected), readAll(sample));  // the sample is as the program writes it

    MainWindow other;
    other.openFromCommandLine({QStringLiteral("torvanel"), folder_.filePath(QStringLiteral("absent.torvanel"))});
    QCOMPARE(user.texts().value(0),
             QStringLiteral("Le pronostic « absent.torvanel » ne peut pas être ouvert : le fichier n'existe pas."));
    QCOMPARE(other.windowTitle(), kTitle);
}

void ForecastTest::recentForecastsKeepTheLastEight()
{
    frmmenu& w = *window_;
    Dialogs::TestAnswers user;
    QStringList copies;
    for (int i = 1; i <= 9; ++i) {
        copies.prepend(folder_.filePath(QStringLiteral("recent-%1.torvanel").arg(i)));
        QFile::remove(copies.first());
        QVERIFY(QFile::copy(richForecast(), copies.first()));
        QVERIFY(w.openForecast(copies.first()));
    }
    QCOMPARE(ForecastCommands::recentFiles(), copies.mid(0, 8));

    auto* menu = w.findChild<QMenu*>(QStringLiteral("mnuPronosticsRecents"));
    QVERIFY(menu);
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 8);
    QCOMPARE(menu->actions()[2]->text(), QStringLiteral("&3 recent-7.torvanel"));
    menu->actions()[2]->trigger();
    QCoreApplication::processEvents();
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("recent-7.torvanel[*]")));
    QCOMPARE(ForecastCommands::recentFiles().first(), copies[2]);

    // A forecast gone from the disk leaves the list when it fails to open.
    QFile::remove(copies[3]);
    QVERIFY(!w.openForecast(copies[3]));
    QVERIFY(!ForecastCommands::recentFiles().contains(copies[3]));
    QCOMPARE(user.texts().size(), 1);
}

void ForecastTest::sheetPaginatesAndThePreviewShowsIt()
{
    frmmenu& w = *window_;
    QVERIFY(w.openForecast(richForecast()));
    driving::mergeQuinteOfAllBases(w, 16);  // 4368 lines
    const sheet::Header header{QStringLiteral("Pronostic"), {QStringLiteral("Pari : Quinté")}, QStringLiteral("pied")};

    // Every page the sheet counts is made, and no more.
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(folder_.filePath(QStringLiteral("feuille.pdf")));
    const sheet::Layout layout = sheet::layoutOf(pdf, header, w.ticket().shown());
    QVERIFY(layout.pageCount > 1);
    QVERIFY(sheet::paint(pdf, header, w.ticket().shown()));
    const QByteArray made = readAll(pdf.outputFileName());
    if (const QByteArray dir = qgetenv("TORVANEL_GRAB_DIR"); !dir.isEmpty())
        QFile::copy(pdf.outputFileName(), QString::fromLocal8Bit(dir) + QStringLiteral("/feuille.pdf"));
    QCOMPARE(std::uint64_t(made.count("/Type /Page\n") + made.count("/Type /Page\r")), layout.pageCount);
    // The pages hold every line: down the columns, then across, page after page.
    const std::uint64_t first = std::uint64_t(layout.columns * layout.rowsOnFirstPage);
    const std::uint64_t other = std::uint64_t(layout.columns * layout.rowsOnOtherPages);
    QVERIFY(first + (layout.pageCount - 2) * other < 4368 && 4368 <= first + (layout.pageCount - 1) * other);

    // The preview dialogue opens on the sheet; a look at it is kept where asked.
    bool shown = false;
    QTimer::singleShot(500, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        QVERIFY(preview);
        QCOMPARE(preview->objectName(), QStringLiteral("dlgApercuPronostic"));
        shown = true;
        if (const QByteArray dir = qgetenv("TORVANEL_GRAB_DIR"); !dir.isEmpty())
            preview->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/apercu-pronostic.png"));
        preview->reject();
    });
    action(w, "mnuImprimerPronostic")->trigger();
    QVERIFY(shown);
}

// Runs `open`, then, once its box shows, `use` on it (a look at it is kept
// where asked) and closes it with its button `press`.
void whileModal(const QString& look, const QString& press, const std::function<void(QWidget&)>& use,
                const std::function<void()>& open)
{
    bool seen = false;
    QTimer::singleShot(300, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        seen = true;
        use(*box);
        if (const QByteArray dir = qgetenv("TORVANEL_GRAB_DIR"); !dir.isEmpty())
            box->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + look + QStringLiteral(".png"));
        for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
            if (button->text() == press)
                return button->click();
        QFAIL(qPrintable(QStringLiteral("no button ") + press));
    });
    open();
    QVERIFY(seen);
}

void ForecastTest::theRealBoxesAskAsTheTestsAnswer()
{
    frmmenu& w = *window_;
    QVERIFY(w.openForecast(richForecast()));
    // The note: both fields filled in, OK keeps what was typed.
    whileModal(QStringLiteral("note-pronostic"), QStringLiteral("OK"), [](QWidget& box) {
        QCOMPARE(box.objectName(), QStringLiteral("dlgNotePronostic"));
        QCOMPARE(box.findChild<QLineEdit*>(QStringLiteral("txtCourse"))->text(), QStringLiteral("Vincennes, R1 C4"));
        box.findChild<QPlainTextEdit*>(QStringLiteral("txtNote"))->setPlainText(QStringLiteral("Le 5 est forfait."));
    }, [&] { action(w, "mnuNotePronostic")->trigger(); });
    QCoreApplication::processEvents();
    QVERIFY(w.isWindowModified());

    // The question before closing: "Annuler" keeps the window.
    whileModal(QStringLiteral("modifications-pronostic"), QStringLiteral("Annuler"), [](QWidget& box) {
        QCOMPARE(box.objectName(), QStringLiteral("dlgModifications"));
        QVERIFY(box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text().contains(QStringLiteral("« riche.torvanel »")));
    }, [&] { QVERIFY(!w.close()); });
    QVERIFY(w.isVisible());
    whileModal(QStringLiteral("modifications-pronostic"), QStringLiteral("Ne pas enregistrer"), [](QWidget&) {},
               [&] { QVERIFY(w.close()); });
}

// The window's settings go to a folder of the test's own.
int main(int argc, char* argv[])
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ForecastTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_forecast.moc"
