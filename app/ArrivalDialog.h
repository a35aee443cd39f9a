#pragma once
// "Contrôler une arrivée…": after the race the punter types the finishers
// and the official payouts; the dialogue counts the lines of his list that
// each payout class pays (a line in its best class only), their gain at his
// stake, the cost of the list and the balance. "Afficher les lignes
// gagnantes" shows only the paid lines in the result list, each in the
// colour of its class; the table is the legend of the colours. What he typed
// stays in the ticket for the next opening.

#include "app/ResultListModel.h"
#include "ticket/Gains.h"

#include <QDialog>
#include <QObject>

#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class ResultHost;

namespace torvanel {
class Ticket;
}

// The colour and the tooltip (the class's name) of each paid line while the
// ticket shows an arrival's paid lines; nothing otherwise.
ResultListModel::RowLook arrivalLook(const torvanel::Ticket& ticket);

class ArrivalCommand : public QObject {
    Q_OBJECT
public:
    explicit ArrivalCommand(ResultHost& host);

    // What Ctrl+T and the menu entry do: the dialogue, or a message for an empty list.
    void checkArrival();
    QAction* checkAction() const { return check_; }

private:
    ResultHost& host_;
    QAction* check_;
};

class ArrivalDialog : public QDialog {
    Q_OBJECT
public:
    ArrivalDialog(ResultHost& host, QWidget* parent);

    // Columns of tblGains.
    enum Column { ClassColumn, LinesColumn, PayoutColumn, GainColumn };

private:
    void buildControls();
    void fillClasses();
    // Reads txtArrivee; checks it at once when the check is quick.
    void arrivalEdited(bool pressedReturn);
    void runCheck();
    void showCounts();
    void showGains();
    void payoutEdited(QTableWidgetItem* item);
    void keepEntry();
    void showPaidLines();

    ResultHost& host_;
    torvanel::ShownLines played_;  // the lines the arrival is checked against
    torvanel::BetType bet_;
    torvanel::ArrivalEntry entry_;
    torvanel::ArrivalReading reading_;
    std::optional<torvanel::ArrivalCheck> check_;
    bool filling_ = false;  // the table is being filled, not edited

    QLineEdit* txtArrivee = nullptr;
    QLabel* lblRefus = nullptr;
    QTableWidget* tblGains = nullptr;
    QLabel* lblNote = nullptr;
    QLabel* lblGainTotal = nullptr;
    QLabel* lblCoutListe = nullptr;
    QLabel* lblBilan = nullptr;
    QPushButton* cmdLignesGagnantes = nullptr;
};
