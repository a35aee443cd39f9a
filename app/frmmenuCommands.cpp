// The window's commands beyond its buttons: each declared once here, shown in
// the menu bar and in lstResultat's context menu, and their handlers.

#include "app/frmmenu.h"

#include "app/ArrivalDialog.h"
#include "app/BackgroundJob.h"
#include "app/CoverageDialog.h"
#include "app/Dialogs.h"
#include "app/ForecastCommands.h"
#include "app/ReduceCommand.h"
#include "app/ResultClipboard.h"
#include "app/SaveCommand.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>

void frmmenu::createCommands()
{
    using commands::make;
    ResultHost& results = *this;
    // Ctrl+C, Ctrl+S, Ctrl+R and the context menu of lstResultat.
    auto* clipboard = new ResultClipboard(results);
    QAction* save = (new SaveCommand(results))->saveAction();
    QAction* reduce = (new ReduceCommand(results))->reduceAction();
    QAction* check = (new ArrivalCommand(results))->checkAction();
    QAction* cover = (new CoverageCommand(results))->coverAction();
    forecast_ = new ForecastCommands(registry_, results);
    connect(forecast_, &ForecastCommands::nameChanged, this, &frmmenu::showTitle);
    QAction* recent = forecast_->recentMenu()->menuAction();

    QAction* print = make(this, *this, {"mnuImprimer", "&Imprimer", Qt::CTRL | Qt::Key_P,
                                        "Imprimer toutes les combinaisons sur l'imprimante par défaut"});
    commands::markAsActingOnLines(print);
    connect(print, &QAction::triggered, this, &frmmenu::cmdImprimer_Click);
    QAction* quit = make(this, *this, {"mnuQuitter", "&Quitter", Qt::CTRL | Qt::Key_Q, "Fermer le programme"});
    connect(quit, &QAction::triggered, this, &frmmenu::mnuQuitter_Click);
    QAction* conditions = make(this, *this, {"mnuConditions", "Co&nditions…", Qt::CTRL | Qt::Key_K,
                                             "Ne garder que les combinaisons qui remplissent vos conditions"});
    connect(conditions, &QAction::triggered, this, &frmmenu::mnuConditions_Click);
    mnuListeComplete = make(this, *this, {"mnuListeComplete", "Revenir à la liste &complète", {},
                                          "Montrer de nouveau toutes les combinaisons de la fusion"});
    mnuListeComplete->setEnabled(false);
    connect(mnuListeComplete, &QAction::triggered, this, &frmmenu::mnuListeComplete_Click);
    QAction* tour = make(this, *this, {"mnuMontrez", "&Montrez-moi!", {}, "Voir le programme fonctionner tout seul"});
    connect(tour, &QAction::triggered, this, &frmmenu::Command1_Click);
    QAction* about = make(this, *this, {"mnuAPropos", "À &propos de Torvanel de pronostics", {},
                                        "Version, licence et rôle du programme"});
    connect(about, &QAction::triggered, this, &frmmenu::mnuAPropos_Click);

    commandMenus_ = {
        {QStringLiteral("&Fichier"), QStringLiteral("mnuFichier"),
         {forecast_->openAction(), recent, forecast_->saveAction(), forecast_->noteAction(),
          forecast_->printAction(), nullptr, save, print, nullptr, quit}},
        {QStringLiteral("&Combinaisons"), QStringLiteral("mnuCombinaisons"),
         {clipboard->copyAction(), reduce, conditions, check, cover, mnuListeComplete}},
        {QStringLiteral("&Aide"), QStringLiteral("mnuAide"), {tour, about}},
    };
    // The list's own commands first, as its context menu has always begun.
    clipboard->setMenus({{{}, {}, {clipboard->copyAction(), save, reduce, conditions, check, cover, mnuListeComplete}},
                         {{}, {}, {print, forecast_->printAction()}},
                         {{}, {}, {forecast_->openAction(), recent, forecast_->saveAction(), forecast_->noteAction()}},
                         {{}, {}, {tour, about}},
                         {{}, {}, {quit}}});
}

void frmmenu::mnuListeComplete_Click()
{
    if (const auto labels = ticket_.dropStages(txtUnite->text().toStdString(), *messages_))
        showTicket(*labels);
}

void frmmenu::mnuAPropos_Click()
{
    Dialogs::showMessage(this, QStringLiteral("Torvanel de pronostics, version %1\r\n\r\n"
                                              "Écrit toutes les combinaisons d'un pronostic (Couplé, 2 sur 4, "
                                              "Tiercé, Quarté, Quinté), les compte, en donne le coût et les "
                                              "imprime.\r\n\r\n"
                                              "Logiciel libre, sous la licence publique générale GNU, version 3 "
                                              "ou ultérieure. Il est distribué sans aucune garantie.")
                                   .arg(QStringLiteral(TORVANEL_VERSION)));
}

void frmmenu::mnuQuitter_Click()
{
    window()->close();
}

bool frmmenu::openForecast(const QString& fileName)
{
    return forecast_->openFile(fileName);
}

bool frmmenu::mayClose()
{
    return forecast_->mayClose();
}

void frmmenu::closeEvent(QCloseEvent* event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    // Work running in the background stops at once; its dialogue goes with it.
    BackgroundJob::cancel(*this);
    QWidget::closeEvent(event);
}
