#include "app/ReduceDialog.h"

#include "app/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <utility>

namespace {

// A label whose text wraps within the dialogue's width.
QLabel* wrapped(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// How far an option button's caption stands from its left edge.
int captionIndent(const QRadioButton* option)
{
    return option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
           option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
}

// An option button with `text` close under it, at its caption.
QLayout* explained(QRadioButton* option, const QString& text)
{
    auto* label = wrapped(text, option->parentWidget());
    label->setContentsMargins(captionIndent(option), 0, 0, 0);
    auto* pair = new QVBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(option);
    pair->addWidget(label);
    return pair;
}

// What a budget starts at: a tenth of the list, which a punter then adjusts.
int firstBudget(std::uint64_t lines)
{
    return static_cast<int>(std::clamp<std::uint64_t>(lines / 10, 1, INT_MAX));
}

}  // namespace

ReduceDialog::ReduceDialog(QWidget* parent, Setup setup)
    : QDialog(parent),
      setup_(std::move(setup)),
      cboPaiement_(new QComboBox(this)),
      lblGarantie_(wrapped(QString(), this)),
      optGarantieComplete_(new QRadioButton(QStringLiteral("Garantie complète"), this)),
      optBudget_(new QRadioButton(QStringLiteral("Budget"), this)),
      spnLignes_(new QSpinBox(this)),
      lblCoutLignes_(new QLabel(this)),
      txtBudget_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("dlgReduire"));
    setWindowTitle(Dialogs::applicationTitle());
    setWindowModality(Qt::ApplicationModal);
    cboPaiement_->setObjectName(QStringLiteral("cboPaiement"));
    lblGarantie_->setObjectName(QStringLiteral("lblGarantie"));
    optGarantieComplete_->setObjectName(QStringLiteral("optGarantieComplete"));
    optBudget_->setObjectName(QStringLiteral("optBudget"));
    spnLignes_->setObjectName(QStringLiteral("spnLignes"));
    lblCoutLignes_->setObjectName(QStringLiteral("lblCoutLignes"));
    txtBudget_->setObjectName(QStringLiteral("txtBudget"));

    cboPaiement_->addItems(setup_.payouts);
    cboPaiement_->setAccessibleName(QStringLiteral("Rapport à garder"));
    spnLignes_->setRange(1, static_cast<int>(std::clamp<std::uint64_t>(setup_.lines, 1, INT_MAX)));
    spnLignes_->setValue(firstBudget(setup_.lines));
    spnLignes_->setAccessibleName(QStringLiteral("Nombre de lignes au plus"));
    txtBudget_->setAccessibleName(QStringLiteral("Somme au plus, en euros"));
    txtBudget_->setMaximumWidth(80);
    optGarantieComplete_->setChecked(true);

    auto* payoutRow = new QHBoxLayout;
    auto* payoutLabel = new QLabel(QStringLiteral("&Rapport :"), this);
    payoutLabel->setBuddy(cboPaiement_);
    payoutRow->addWidget(payoutLabel);
    payoutRow->addWidget(cboPaiement_, 1);

    auto* budgetRows = new QGridLayout;
    budgetRows->setContentsMargins(captionIndent(optBudget_), 0, 0, 0);
    budgetRows->addWidget(new QLabel(QStringLiteral("au plus"), this), 0, 0);
    budgetRows->addWidget(spnLignes_, 0, 1);
    budgetRows->addWidget(new QLabel(QStringLiteral("lignes, soit"), this), 0, 2);
    budgetRows->addWidget(lblCoutLignes_, 0, 3);
    budgetRows->addWidget(new QLabel(QStringLiteral("ou au plus"), this), 1, 0);
    budgetRows->addWidget(txtBudget_, 1, 1);
    budgetRows->addWidget(new QLabel(QStringLiteral("€"), this), 1, 2);
    budgetRows->setColumnStretch(3, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrapped(setup_.question, this));
    layout->addLayout(payoutRow);
    layout->addWidget(lblGarantie_);
    layout->addSpacing(6);
    layout->addLayout(explained(optGarantieComplete_, QStringLiteral("la liste la plus courte qui paie toutes ces arrivées")));
    layout->addLayout(explained(optBudget_, QStringLiteral("les lignes qui en paient le plus dans votre budget :")));
    layout->addLayout(budgetRows);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    connect(cboPaiement_, &QComboBox::currentIndexChanged, this, &ReduceDialog::showGuarantee);
    connect(spnLignes_, &QSpinBox::valueChanged, this, &ReduceDialog::showCost);
    connect(txtBudget_, &QLineEdit::textEdited, this, &ReduceDialog::takeEuros);
    connect(optBudget_, &QRadioButton::toggled, this, &ReduceDialog::enableBudget);
    showGuarantee(0);
    showCost();
    enableBudget();
    setMaximumWidth(kMostWidth);
    resize(std::min(kMostWidth, 440), sizeHint().height());
}

void ReduceDialog::showGuarantee(int payout)
{
    lblGarantie_->setText(setup_.sentences.value(payout));
}

void ReduceDialog::showCost()
{
    const QString cost = setup_.costOf ? setup_.costOf(static_cast<std::uint64_t>(spnLignes_->value())) : QString();
    lblCoutLignes_->setText(cost.trimmed());
}

// "60" or "60,50" euros: the most lines they pay for.
void ReduceDialog::takeEuros(const QString& text)
{
    bool number = false;
    const double euros = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
    if (!number || !setup_.linesFor)
        return;
    const std::uint64_t lines = setup_.linesFor(euros);
    spnLignes_->setValue(static_cast<int>(std::clamp<std::uint64_t>(lines, 1, INT_MAX)));
}

void ReduceDialog::enableBudget()
{
    const bool budget = optBudget_->isChecked();
    spnLignes_->setEnabled(budget);
    txtBudget_->setEnabled(budget);
}

ReduceDialog::Answer ReduceDialog::answer() const
{
    Answer answer;
    answer.payout = cboPaiement_->currentIndex();
    if (optBudget_->isChecked())
        answer.budget = static_cast<std::uint64_t>(spnLignes_->value());
    return answer;
}

std::optional<ReduceDialog::Answer> ReduceDialog::ask(QWidget* parent, const Setup& setup)
{
    QStringList items;
    for (qsizetype i = 0; i < setup.payouts.size(); ++i)
        items << setup.payouts[i] + QStringLiteral(" : ") + setup.sentences.value(i);
    std::optional<Dialogs::TestAnswers::Answer> byTest;
    if (Dialogs::answeredByTest({Dialogs::Shown::Kind::Question, Dialogs::applicationTitle(), setup.question, items},
                                byTest)) {
        if (!byTest || byTest->item < 0 || byTest->item >= setup.payouts.size())
            return std::nullopt;
        return Answer{byTest->item, byTest->lines > 0 ? std::optional(byTest->lines) : std::nullopt};
    }
    ReduceDialog dialog(parent, setup);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}
