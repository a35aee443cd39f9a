#pragma once
// "Enregistrer les combinaisons…": the result list's context menu entry and
// Ctrl+S anywhere in the window ask for a file and save every result line
// there (ResultFile), with the shared progress dialogue for a long list.

#include <QObject>
#include <QString>

class QAction;
class QWidget;
class ResultHost;

class SaveCommand : public QObject {
    Q_OBJECT
public:
    explicit SaveCommand(ResultHost& host);

    // What Ctrl+S and the menu entry do.
    void saveLines();
    QAction* saveAction() const { return save_; }

private:
    ResultHost& host_;
    QWidget& window_;
    QAction* save_;
    QString folder_;  // where the last save went
};
