#pragma once
// "Couverture de la liste…": for each payout class of the bet, how many of
// the possible arrivals among the list's horses the list pays in that class
// or a better one, out of all of them; for a list kept by conditions or a
// reduction, also its share of what the full list pays. The arrivals it does
// not pay can be seen (the first thousand) and saved (all of them). The work
// runs on a worker thread, or is refused when it would take too long.

#include "ticket/Coverage.h"

#include <QDialog>
#include <QObject>

#include <optional>

class QAction;
class QLabel;
class QPushButton;
class QTableWidget;
class ResultHost;

class CoverageCommand : public QObject {
    Q_OBJECT
public:
    explicit CoverageCommand(ResultHost& host);

    // What the menu entry does: the dialogue, or a message saying why not.
    void showCoverage();
    QAction* coverAction() const { return cover_; }

private:
    ResultHost& host_;
    QAction* cover_;
};

class CoverageDialog : public QDialog {
    Q_OBJECT
public:
    // At most this many unpaid arrivals are listed; saving writes them all.
    static constexpr int kListedArrivals = 1000;

    // `full`: the full list's coverage beside a stage's (nothing for a full
    // list, or when the full list's was refused for `fullRefusal`).
    CoverageDialog(torvanel::Coverage shown, std::optional<torvanel::Coverage> full, QString fullRefusal,
                   torvanel::BetType bet, const QString& listCaption, QWidget* parent);

private:
    void fillRows();
    void rowChosen();
    void listUnpaid();
    void saveUnpaid();
    std::size_t row() const;

    torvanel::Coverage shown_;
    std::optional<torvanel::Coverage> full_;
    QString fullRefusal_;
    torvanel::BetType bet_;
    bool stage_;

    QTableWidget* tblCouverture = nullptr;
    QLabel* lblPhrase = nullptr;
    QPushButton* cmdNonPayees = nullptr;
    QPushButton* cmdEnregistrer = nullptr;
};
