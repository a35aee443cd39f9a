#pragma once
// "Enregistrer les combinaisons…": the result list's context menu entry and
// Ctrl+S anywhere in the window ask for a file and save every result line
// there (ResultFile), with the shared progress dialogue for a long list.

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QWidget;
class ResultHost;

class SaveCommand : public QObject {
    Q_OBJECT
public:
    // Asks where to save, offering `suggested` (a full path); an empty
    // answer when the user gives up.
    using FileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;

    explicit SaveCommand(ResultHost& host);

    // What Ctrl+S and the menu entry do.
    void saveLines();
    QAction* saveAction() const { return save_; }

    // Tests answer for the file dialogue.
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

private:
    ResultHost& host_;
    QWidget& window_;
    QAction* save_;
    FileChooser chooseFile_;
    QString folder_;  // where the last save went
};
