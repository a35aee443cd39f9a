#pragma once
// The reduction's question, dlgReduire: which payout the shorter list must
// keep paying (cboPaiement, with what it guarantees in a sentence), and
// whether it keeps every such arrival paid (optGarantieComplete) or fits a
// budget (optBudget) of at most N lines (spnLignes) or at most X € (txtBudget),
// the cost of N lines shown as N changes. No wider than the main window.
//
// While a test answers for the user (Dialogs::TestAnswers) it does not
// open: the test's choose(i) picks payout i with the full guarantee,
// chooseWithinBudget(i, n) payout i within n lines.

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

class ReduceDialog : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString question;       // "La liste compte 792 combinaisons. Quel rapport…"
        QStringList payouts;    // "Bonus 4", "Bonus 3"
        QStringList sentences;  // what each guarantees, in the same order
        std::uint64_t lines = 0;  // lines of the list: the most a budget can ask
        // The cost of n lines, "60 Euros" (empty when the stake is refused),
        // and the most lines `euros` pays for.
        std::function<QString(std::uint64_t n)> costOf;
        std::function<std::uint64_t(double euros)> linesFor;
    };
    struct Answer {
        int payout = 0;                      // index in Setup::payouts
        std::optional<std::uint64_t> budget; // nothing: the full guarantee
    };

    // The widest the dialogue gets: the main window's client area.
    static constexpr int kMostWidth = 521;

    ReduceDialog(QWidget* parent, Setup setup);

    Answer answer() const;

    // Asks; nothing when the user cancels.
    static std::optional<Answer> ask(QWidget* parent, const Setup& setup);

private:
    void showGuarantee(int payout);
    void showCost();
    void takeEuros(const QString& text);
    void enableBudget();

    Setup setup_;
    QComboBox* cboPaiement_;
    QLabel* lblGarantie_;
    QRadioButton* optGarantieComplete_;
    QRadioButton* optBudget_;
    QSpinBox* spnLignes_;
    QLabel* lblCoutLignes_;
    QLineEdit* txtBudget_;
};
