#pragma once
// The forecast commands of the "Fichier" menu: "Ouvrir un pronostic…"
// (Ctrl+O), "Pronostics récents", "Enregistrer le pronostic" (Ctrl+Shift+S,
// a name asked the first time), "Note du pronostic…" and "Imprimer le
// pronostic…" (Ctrl+Shift+P, a preview of the sheet). They keep the open
// forecast's file, note and race, tell whether the window has changed since
// it was opened or saved, and ask before such changes are lost.

#include "app/ForecastFile.h"
#include "app/ForecastWindow.h"

#include <QObject>
#include <QString>

#include <memory>

class ControlRegistry;
class QAction;
class QMenu;
class ResultHost;

class ForecastCommands : public QObject {
    Q_OBJECT
public:
    ForecastCommands(const ControlRegistry& controls, ResultHost& host);

    QAction* openAction() const { return open_; }
    QMenu* recentMenu() const { return recent_; }
    QAction* saveAction() const { return save_; }
    QAction* noteAction() const { return note_; }
    QAction* printAction() const { return print_; }

    // Rebuilds the window from the forecast in `fileName`; true when it did.
    // A file that cannot be read or is wrong leaves the window as it was and
    // a message names the file and says what is wrong.
    bool openFile(const QString& fileName);
    // "Enregistrer le pronostic": true when the forecast was written.
    bool saveForecast();
    // The open forecast's name ("quinte-dimanche.torvanel"); empty when the
    // window has opened or saved none.
    QString name() const;
    // Whether the window has changed since its forecast was opened or saved.
    bool isModified() const;
    // Before the window closes: with unsaved changes to a named forecast,
    // asks whether to save them; false when the window must stay.
    bool mayClose();

    // The forecasts opened or saved last, latest first (at most 8).
    static QStringList recentFiles();

signals:
    // The open forecast's name changed: the title bar shows it.
    void nameChanged();

private:
    // What tells the window's forecast apart, its lines left out.
    struct Snapshot {
        forecast::Forecast forecast;
        std::shared_ptr<const torvanel::LineSelection> stage;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const;
    forecast::Forecast currentForecast(bool withLines) const;
    void watchControls(const ControlRegistry& controls);
    // Marks the window modified or not, once events have settled.
    void scheduleModifiedCheck();
    void showModified();
    void setFile(const QString& fileName);
    void remember(const QString& fileName) const;
    void forget(const QString& fileName) const;
    // With unsaved changes to a named forecast, asks whether to save them;
    // true when they were saved or may go.
    bool changesMayGo();
    void askAndOpen();
    void fillRecentMenu();
    void editNote();
    void printForecast();
    bool writeFile(const QString& fileName, const QByteArray& bytes);

    ResultHost& host_;
    ForecastWindow window_;
    QAction* open_;
    QMenu* recent_;
    QAction* save_;
    QAction* note_;
    QAction* print_;
    QString file_;  // absolute path; empty: no forecast
    QString noteText_;
    QString race_;
    Snapshot saved_;
    bool checkPending_ = false;
};
