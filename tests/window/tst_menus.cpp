// The menu bar above the window: its menus by name, by the mouse and by Alt
// and a letter, the same commands in the result list's context menu, the
// title bar naming a reduced list, the way back to the full list, and a
// close that stops a running reduction.

#include "WindowDriving.h"

#include "app/MainWindow.h"

#include <QMenuBar>

namespace {

using Kind = Dialogs::Shown::Kind;

// The entries of a menu, separators left out, by objectName.
QStringList namesOf(const QList<QAction*>& actions)
{
    QStringList names;
    for (const QAction* action : actions)
        if (!action->isSeparator())
            names << action->objectName();
    return names;
}

QString titleOf(const QWidget& window)
{
    return window.windowTitle();
}

}  // namespace

class MenusTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { main_.reset(); }
    void menusHoldTheCommandsAndOpenByMouseAndKeyboard();
    void clientAreaKeepsItsSizeBelowTheMenuBar();
    void aReducedListSaysSoInTheTitleUntilTheFullListComesBack();
    void closingDuringAReductionStopsItAndCloses();

private:
    frmmenu& w() { return main_->client(); }
    std::unique_ptr<MainWindow> main_;
};

void MenusTest::init()
{
    main_ = std::make_unique<MainWindow>();
    main_->show();
    main_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main_.get()));
}

void MenusTest::menusHoldTheCommandsAndOpenByMouseAndKeyboard()
{
    const QMap<QString, QStringList> expected{
        {"mnuFichier", {"mnuOuvrir", "mnuPronosticsRecents", "mnuEnregistrerPronostic", "mnuNotePronostic",
                        "mnuImprimerPronostic", "mnuEnregistrer", "mnuImprimer", "mnuQuitter"}},
        {"mnuCombinaisons",
         {"mnuCopier", "mnuReduire", "mnuConditions", "mnuControler", "mnuCouverture", "mnuListeComplete"}},
        {"mnuAide", {"mnuMontrez", "mnuAPropos"}},
    };
    QStringList inMenuBar;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        auto* menu = main_->menuBar()->findChild<QMenu*>(it.key());
        QVERIFY2(menu, qPrintable(it.key()));
        QCOMPARE(namesOf(menu->actions()), it.value());
        inMenuBar << it.value();
    }
    QCOMPARE(main_->findChild<QAction*>("mnuImprimer")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(main_->findChild<QAction*>("mnuQuitter")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(main_->findChild<QAction*>("mnuOuvrir")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(main_->findChild<QAction*>("mnuEnregistrerPronostic")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QCOMPARE(main_->findChild<QAction*>("mnuImprimerPronostic")->shortcut(),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    QVERIFY(!main_->findChild<QAction*>("mnuListeComplete")->isEnabled());

    // Alt and the underlined letter open each menu; so does a click on its title.
    for (const auto& [key, name] : {std::pair{Qt::Key_F, "mnuFichier"}, {Qt::Key_C, "mnuCombinaisons"},
                                    {Qt::Key_A, "mnuAide"}}) {
        QTest::keyClick(main_.get(), key, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), QString::fromLatin1(name));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QTest::keyClick(main_->menuBar(), Qt::Key_Escape);  // leave the menu bar's keyboard mode
    }
    QMenuBar* bar = main_->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(1)).center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("mnuCombinaisons"));
    QApplication::activePopupWidget()->close();

    // Every entry of the menu bar is in the context menu too.
    QStringList inContextMenu;
    driving::useContextMenu(w(), [&](QMenu& menu) { inContextMenu = namesOf(menu.actions()); });
    inMenuBar.sort();
    inContextMenu.sort();
    QCOMPARE(inContextMenu, inMenuBar);

    // "À propos" names the program, its version and its licence.
    Dialogs::TestAnswers user;
    main_->findChild<QAction*>("mnuAPropos")->trigger();
    QCOMPARE(user.texts().size(), 1);
    QVERIFY(user.texts()[0].startsWith(QStringLiteral("Torvanel de pronostics, version 1.")));
    QVERIFY(user.texts()[0].contains(QStringLiteral("licence publique générale GNU")));

    // "Quitter" closes the window as its frame's button does.
    main_->findChild<QAction*>("mnuQuitter")->trigger();
    QVERIFY(!main_->isVisible());
}

void MenusTest::clientAreaKeepsItsSizeBelowTheMenuBar()
{
    QCOMPARE(w().size(), QSize(521, 438));
    QCOMPARE(w().geometry().top(), main_->menuBar()->geometry().bottom() + 1);
    QCOMPARE(main_->size(), QSize(521, 438 + main_->menuBar()->height()));
}

void MenusTest::aReducedListSaysSoInTheTitleUntilTheFullListComesBack()
{
    driving::mergeQuinteOfAllBases(w(), 12);  // 792 lines, 1 584 Euros
    QCOMPARE(titleOf(*main_), QStringLiteral("Torvanel de pronostics"));
    const QString cost = ui(w()).lblCout->text();
    {
        Dialogs::TestAnswers user;
        user.choose(0);  // Bonus 4
        main_->findChild<QAction*>("mnuReduire")->trigger();
        QCOMPARE(user.texts().size(), 1);  // the summary
    }
    QVERIFY(ui(w()).resultModel->rowCount() < 792);
    QCOMPARE(titleOf(*main_), QStringLiteral("Torvanel de pronostics — liste réduite (Bonus 4 garanti)"));
    QAction* back = main_->findChild<QAction*>("mnuListeComplete");
    QVERIFY(back->isEnabled());
    back->trigger();
    QCOMPARE(ui(w()).resultModel->rowCount(), 792);
    QCOMPARE(ui(w()).lblQtetotale->text(), QStringLiteral("792"));
    QCOMPARE(ui(w()).lblCout->text(), cost);
    QCOMPARE(titleOf(*main_), QStringLiteral("Torvanel de pronostics"));
    QVERIFY(!back->isEnabled());
}

void MenusTest::closingDuringAReductionStopsItAndCloses()
{
    driving::mergeQuinteOfAllBases(w(), 30);  // 142 506 lines: a search of two seconds
    Dialogs::TestAnswers user;
    user.choose(0);
    user.whileShown = [this](const Dialogs::Shown& box) {
        if (box.kind == Kind::Progress)
            main_->close();  // as the frame's close button, while the search runs
    };
    QElapsedTimer clock;
    clock.start();
    main_->findChild<QAction*>("mnuReduire")->trigger();
    QCOMPARE(user.texts(Kind::Progress).size(), 1);
    QVERIFY(user.texts().isEmpty());  // no summary: the search was stopped
    QVERIFY(!main_->isVisible());
    QVERIFY(!w().ticket().hasStage());
    qInfo("closed %lld ms after the reduction began", clock.elapsed());
}

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
