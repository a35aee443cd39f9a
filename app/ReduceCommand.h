#pragma once
// "Réduire avec garantie…": the result list's context menu entry and Ctrl+R
// in the window ask which payout the shorter list must still guarantee, find
// that list on a worker thread (the shared progress dialogue, with "Annuler",
// once it takes a while) and show it in lstResultat with its count and cost.

#include "bets/BetRules.h"
#include "generators/ResultList.h"

#include <QObject>

#include <string>

class QAction;
class QWidget;
class ResultHost;

// Whether `list` holds lines of bases with outsiders: a guarantee then names the bases.
bool linesHoldBases(const torvanel::ResultList& list);

// What the title bar says of a list reduced for `payout`: "liste réduite
// (Bonus 4 garanti)". A reopened forecast shows its reduction the same way.
std::string reducedStageTitle(torvanel::bets::PayoutClass payout);

class ReduceCommand : public QObject {
    Q_OBJECT
public:
    explicit ReduceCommand(ResultHost& host);

    // What Ctrl+R and the menu entry do.
    void reduceLines();
    QAction* reduceAction() const { return reduce_; }

private:
    ResultHost& host_;
    QWidget& window_;
    QAction* reduce_;
};
