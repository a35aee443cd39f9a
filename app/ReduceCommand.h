#pragma once
// "Réduire avec garantie…": the result list's context menu entry and Ctrl+R
// in the window ask which payout the shorter list must still guarantee, find
// that list on a worker thread (the shared progress dialogue, with "Annuler",
// once it takes a while) and show it in lstResultat with its count and cost.

#include <QObject>

class QAction;
class frmmenu;

class ReduceCommand : public QObject {
    Q_OBJECT
public:
    explicit ReduceCommand(frmmenu& window);

    // What Ctrl+R and the menu entry do.
    void reduceLines();
    QAction* reduceAction() const { return reduce_; }

private:
    frmmenu& window_;
    QAction* reduce_;
};
