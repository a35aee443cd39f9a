#pragma once
// "Réduire avec garantie…": the result list's context menu entry and Ctrl+R
// in the window ask which payout the shorter list must still guarantee, find
// that list on a worker thread (the shared progress dialogue, with "Annuler",
// once it takes a while) and show it in lstResultat with its count and cost.

#include <QObject>

class QAction;
class QWidget;
class ResultHost;

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
