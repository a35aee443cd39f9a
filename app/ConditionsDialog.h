#pragma once
// "Conditions…" (dlgConditions): the punter's conditions on the lines, each
// field checked as it is typed (a short French message beside it, "OK" off
// while one is wrong), with the lines each condition keeps alone and the
// lines all of them keep, counted without a click: at once for lists up to
// kCountAtOnce lines, in the background (a progress bar in the dialog, which
// stays usable) above. It never changes the list; the window applies what
// conditions() gives.

#include "generators/ShownLines.h"
#include "ticket/Conditions.h"

#include <QDialog>
#include <QFutureWatcher>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QGridLayout;

class ConditionsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr std::uint64_t kCountAtOnce = 1'000'000;

    struct Setting {
        torvanel::ShownLines full;                 // the merge's whole list
        torvanel::conditions::Conditions current;  // the fields' first values
        int lineSize = 5;
        int starters = 18;  // the small numbers go up to half of them at first
        QString stake;      // txtUnite, for the cost of the kept lines
    };

    ConditionsDialog(QWidget* parent, Setting setting);
    ~ConditionsDialog() override;

    // The conditions the fields give; meaningful while "OK" is enabled.
    torvanel::conditions::Conditions conditions() const;
    // Refuses conditions that keep no line of a list that has some.
    void accept() override;

private:
    // One condition's fields: up to three numbers (or horses) and the label
    // where its count or its fault shows.
    struct Row {
        std::vector<QLineEdit*> edits;
        QLabel* count = nullptr;
        QLabel* fault = nullptr;
    };
    struct Reading;
    struct CountJob;

    void buildGroups(QWidget* page);
    void buildOthers(QWidget* page);
    void addOtherRow(QGridLayout& grid, int& line, unsigned item, const QString& caption,
                     const QStringList& accessibleNames, bool range);
    QLineEdit* newEdit(const QString& accessibleName, int width);
    void fillFrom(const torvanel::conditions::Conditions& current);

    Reading read() const;
    void showFaults(const Reading& reading);
    void recount();
    void startBackgroundCount(const torvanel::conditions::Conditions& conditions);
    void showCounts(const torvanel::conditions::Counts& counts, const torvanel::conditions::Conditions& conditions);
    void stopCounting();

    Setting setting_;
    std::array<Row, torvanel::conditions::kItemCount> rows_;
    std::array<QLineEdit*, torvanel::conditions::kMostGroups> groupNames_{};
    QLineEdit* smallLimit_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* absent_ = nullptr;
    QLabel* lblGardees = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QTimer* debounce_ = nullptr;
    QTimer* progressLook_ = nullptr;

    // What the last count found, for the fields as they stand (none while
    // they change or a count runs).
    std::optional<std::uint64_t> kept_;
    std::shared_ptr<CountJob> job_;
    QFutureWatcher<std::optional<torvanel::conditions::Counts>> watcher_;
};
