#pragma once
// "Réduire avec garantie…": the result list's context menu entry and Ctrl+R
// in the window ask (dlgReduire) which payout the shorter list must keep
// paying, and whether for every arrival (the full guarantee) or within a
// budget of lines; find that list on a worker thread (the shared progress
// dialogue, with "Annuler", once it takes a while) and show it in
// lstResultat with its count and cost, and what it pays.

#include "app/ReduceDialog.h"
#include "bets/BetRules.h"
#include "generators/ResultList.h"
#include "generators/ShownLines.h"

#include <QObject>

#include <string>
#include <vector>

class QAction;
class QWidget;
class ResultHost;

// What the title bar says of a list reduced for `payout`: "liste réduite
// (Bonus 4 garanti)". A reopened forecast shows its reduction the same way.
std::string reducedStageTitle(torvanel::bets::PayoutClass payout);
// What it says of `kept` lines reduced to a budget that pay `covered` of the
// `total` arrivals: "liste réduite à 30 lignes (Bonus 4 : 45,5 % des arrivées)".
std::string budgetStageTitle(torvanel::bets::PayoutClass payout, std::uint64_t kept, std::uint64_t covered,
                             std::uint64_t total);

class ReduceCommand : public QObject {
    Q_OBJECT
public:
    explicit ReduceCommand(ResultHost& host);

    // What Ctrl+R and the menu entry do.
    void reduceLines();
    QAction* reduceAction() const { return reduce_; }

private:
    ReduceDialog::Setup questionOf(const torvanel::ShownLines& lines, const std::vector<torvanel::bets::PayoutClass>& payouts,
                                   torvanel::bets::LineBases bases) const;
    void reduceToBudget(const torvanel::ShownLines& lines, torvanel::bets::PayoutClass payout, std::uint64_t maxLines,
                        torvanel::bets::LineBases bases);

    ResultHost& host_;
    QWidget& window_;
    QAction* reduce_;
};
