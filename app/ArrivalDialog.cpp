#include "app/ArrivalDialog.h"

#include "app/BackgroundJob.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultHost.h"
#include "generators/Numbers.h"
#include "ticket/Ticket.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace {

using torvanel::bets::ClassRule;

// A stage of up to this many lines is checked again at each key typed; a
// longer one when the punter presses Entrée.
constexpr std::uint64_t kLinesCheckedWhileTyping = 200'000;

// The dialogue's width: its table's four columns at ease.
constexpr int kWidth = 500;

const QString kNothingToCheck = QStringLiteral("La liste des combinaisons est vide : il n'y a rien à contrôler.");

// The colour of the paid lines of each class, best first: light enough for
// black text, far enough apart to tell.
constexpr std::array<QRgb, 4> kClassColours{0xa5e3a0, 0xa8cdf5, 0xf7e08a, 0xf5b98f};

QColor classColour(std::size_t classIndex)
{
    return QColor(kClassColours[std::min(classIndex, kClassColours.size() - 1)]);
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QLocale& french()
{
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

// An amount as French writes it: "1 234,50 €", "18 €"; with `sign`, "+" or
// "−" before it.
QString money(double amount, bool sign = false)
{
    const qint64 cents = std::llround(amount * 100);
    const qint64 whole = std::abs(cents) / 100;
    const QString digits = cents % 100 == 0 ? french().toString(whole)
                                            : french().toString(double(std::abs(cents)) / 100, 'f', 2);
    const QString before = !sign || cents == 0 ? QString() : cents > 0 ? QStringLiteral("+") : QStringLiteral("\u2212");
    return before + digits + QStringLiteral(" €");
}

QIcon swatch(std::size_t classIndex)
{
    QPixmap square(12, 12);
    square.fill(classColour(classIndex));
    QPainter(&square).drawRect(0, 0, 11, 11);
    return QIcon(square);
}

QTableWidgetItem* readOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

// Runs `walk` over `lines` lines on a worker thread (the shared progress
// dialogue says `label` and how far it is); nothing when cancelled.
template <class Result>
std::optional<Result> walkInBackground(QWidget& dialog, std::uint64_t lines, const QString& label,
                                       const std::function<std::optional<Result>(const torvanel::KeepGoing&)>& walk)
{
    std::optional<Result> result;
    const bool done = BackgroundJob::run(
        dialog,
        [&](BackgroundJob::Shared& shared) {
            shared.total = lines;
            result = walk([&shared](std::uint64_t walked) {
                shared.done = walked;
                return !shared.stop;
            });
        },
        [label](std::uint64_t done, std::uint64_t total) {
            return QStringLiteral("%1 : %2 sur %3").arg(label, frenchCount(done), frenchCount(total));
        });
    return done ? result : std::nullopt;
}

}  // namespace

ResultListModel::RowLook arrivalLook(const torvanel::Ticket& ticket)
{
    if (!ticket.hasStage() || ticket.stages().back().kind != torvanel::StageKind::Arrival)
        return {};
    const torvanel::BetType bet = ticket.choices().betType;
    return [bet, arrival = ticket.stages().back().arrival](const torvanel::LineHorses& line, int role) -> QVariant {
        const ClassRule* best = torvanel::bets::BestClass(bet, line.view(), arrival);
        if (!best)
            return {};
        if (role == Qt::BackgroundRole)
            return QBrush(classColour(std::size_t(best - torvanel::bets::RuleOf(bet).classes.data())));
        return fromUtf8(best->name);
    };
}

ArrivalCommand::ArrivalCommand(ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      check_(commands::make(this, host.hostWindow(), {"mnuControler", "Con&trôler une arrivée…", Qt::CTRL | Qt::Key_T,
                                                      "Compter les lignes payées par l'arrivée de la course et leurs gains"}))
{
    commands::markAsActingOnLines(check_);
    connect(check_, &QAction::triggered, this, &ArrivalCommand::checkArrival);
}

void ArrivalCommand::checkArrival()
{
    if (host_.ticket().playedLines().empty()) {
        Dialogs::showMessage(&host_.hostWindow(), kNothingToCheck);
        return;
    }
    ArrivalDialog dialog(host_, &host_.hostWindow());
    dialog.exec();
}

ArrivalDialog::ArrivalDialog(ResultHost& host, QWidget* parent)
    : QDialog(parent),
      host_(host),
      played_(host.ticket().playedLines()),
      bet_(host.ticket().choices().betType),
      entry_(host.ticket().arrivalEntry())
{
    setObjectName(QStringLiteral("dlgArrivee"));
    setWindowTitle(QStringLiteral("Contrôler une arrivée"));
    // Wide enough for every column, no wider than the window.
    setMinimumWidth(std::min(kWidth, parent ? parent->window()->width() : kWidth));
    buildControls();
    fillClasses();
    txtArrivee->setText(QString::fromStdString(entry_.finishers));
    if (!entry_.finishers.empty())
        arrivalEdited(true);
    else
        showCounts();
}

void ArrivalDialog::buildControls()
{
    const torvanel::bets::BetRule& rule = torvanel::bets::RuleOf(bet_);
    txtArrivee = new QLineEdit(this);
    txtArrivee->setObjectName(QStringLiteral("txtArrivee"));
    txtArrivee->setPlaceholderText(QStringLiteral("12-3-7-1-5"));
    auto* label = new QLabel(QStringLiteral("&Arrivée :"), this);
    label->setBuddy(txtArrivee);
    auto* check = new QPushButton(QStringLiteral("&Contrôler"), this);
    check->setObjectName(QStringLiteral("cmdControler"));
    check->setDefault(true);
    lblRefus = new QLabel(this);
    lblRefus->setObjectName(QStringLiteral("lblRefus"));
    lblRefus->setWordWrap(true);
    // Room kept for a refusal and a note, so that nothing moves as they come and go.
    lblRefus->setMinimumHeight(2 * fontMetrics().height());
    lblRefus->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* hint = new QLabel(QStringLiteral("Les numéros des premiers dans l'ordre d'arrivée ; le %1 en lit %2.")
                                .arg(fromUtf8(rule.name))
                                .arg(std::max_element(rule.classes.begin(), rule.classes.end(),
                                                      [](const ClassRule& a, const ClassRule& b) {
                                                          return a.finishers < b.finishers;
                                                      })->finishers),
                            this);
    hint->setWordWrap(true);

    tblGains = new QTableWidget(0, 4, this);
    tblGains->setObjectName(QStringLiteral("tblGains"));
    tblGains->setHorizontalHeaderLabels({QStringLiteral("Classe"), QStringLiteral("Lignes payées"),
                                         QStringLiteral("Rapport pour %1").arg(money(torvanel::ReadNumber(rule.unitStake))),
                                         QStringLiteral("Gain")});
    tblGains->verticalHeader()->hide();
    tblGains->setSelectionMode(QAbstractItemView::NoSelection);
    tblGains->setEditTriggers(QAbstractItemView::AllEditTriggers);
    tblGains->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblGains->horizontalHeader()->setSectionResizeMode(ClassColumn, QHeaderView::ResizeToContents);
    tblGains->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblGains->setAccessibleName(QStringLiteral("Gains par classe"));

    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setMinimumHeight(2 * fontMetrics().height());
    lblGainTotal = new QLabel(this);
    lblGainTotal->setObjectName(QStringLiteral("lblGainTotal"));
    lblCoutListe = new QLabel(this);
    lblCoutListe->setObjectName(QStringLiteral("lblCoutListe"));
    lblBilan = new QLabel(this);
    lblBilan->setObjectName(QStringLiteral("lblBilan"));
    QFont bold = lblBilan->font();
    bold.setBold(true);
    lblBilan->setFont(bold);

    cmdLignesGagnantes = new QPushButton(QStringLiteral("Afficher les &lignes gagnantes"), this);
    cmdLignesGagnantes->setObjectName(QStringLiteral("cmdLignesGagnantes"));
    auto* close = new QPushButton(QStringLiteral("&Fermer"), this);
    close->setObjectName(QStringLiteral("cmdFermer"));
    close->setAutoDefault(false);
    cmdLignesGagnantes->setAutoDefault(false);

    auto* arrival = new QGridLayout;
    arrival->addWidget(label, 0, 0);
    arrival->addWidget(txtArrivee, 0, 1);
    arrival->addWidget(check, 0, 2);
    arrival->addWidget(lblRefus, 1, 1, 1, 2);
    arrival->addWidget(hint, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdLignesGagnantes);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(arrival);
    layout->addWidget(tblGains);
    layout->addWidget(lblNote);
    layout->addWidget(lblGainTotal);
    layout->addWidget(lblCoutListe);
    layout->addWidget(lblBilan);
    layout->addLayout(buttons);

    connect(txtArrivee, &QLineEdit::textEdited, this, [this] { arrivalEdited(false); });
    connect(check, &QPushButton::clicked, this, [this] { arrivalEdited(true); });
    connect(tblGains, &QTableWidget::itemChanged, this, &ArrivalDialog::payoutEdited);
    connect(cmdLignesGagnantes, &QPushButton::clicked, this, &ArrivalDialog::showPaidLines);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void ArrivalDialog::fillClasses()
{
    filling_ = true;
    const auto classes = torvanel::bets::RuleOf(bet_).classes;
    tblGains->setRowCount(int(classes.size()));
    for (std::size_t c = 0; c < classes.size(); ++c) {
        const int row = int(c);
        QTableWidgetItem* name = readOnlyItem(fromUtf8(classes[c].name));
        name->setIcon(swatch(c));
        tblGains->setItem(row, ClassColumn, name);
        tblGains->setItem(row, LinesColumn, readOnlyItem({}));
        const auto typed = entry_.payouts.find(classes[c].id);
        auto* payout = new QTableWidgetItem(typed == entry_.payouts.end() ? QString() : QString::fromStdString(typed->second));
        payout->setFlags(Qt::ItemIsEnabled | Qt::ItemIsEditable);
        tblGains->setItem(row, PayoutColumn, payout);
        tblGains->setItem(row, GainColumn, readOnlyItem({}));
        for (int column : {LinesColumn, PayoutColumn, GainColumn})
            tblGains->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // Every class in view without a scroll bar.
    tblGains->setFixedHeight(tblGains->horizontalHeader()->sizeHint().height() +
                             tblGains->verticalHeader()->length() + 2 * tblGains->frameWidth());
    filling_ = false;
}

void ArrivalDialog::arrivalEdited(bool pressedReturn)
{
    reading_ = torvanel::ReadArrival(txtArrivee->text().toStdString());
    check_.reset();
    // A field left empty is only refused once the punter asks for a check.
    const bool empty = txtArrivee->text().trimmed().isEmpty();
    lblRefus->setText(empty && !pressedReturn ? QString() : QString::fromStdString(reading_.refusal));
    if (reading_.refusal.empty()) {
        entry_.finishers = torvanel::ArrivalText(reading_.finishers);
        keepEntry();
        if (pressedReturn || played_.isFull() || played_.count() <= kLinesCheckedWhileTyping)
            runCheck();
    }
    showCounts();
}

void ArrivalDialog::runCheck()
{
    if (played_.isFull()) {  // counted on the blocks: at once, whatever its size
        check_ = torvanel::CheckArrival(played_, bet_, reading_.finishers);
        return;
    }
    check_ = walkInBackground<torvanel::ArrivalCheck>(
        *this, played_.count(), QStringLiteral("Contrôle des combinaisons"),
        [lines = played_, bet = bet_, finishers = reading_.finishers](const torvanel::KeepGoing& keepGoing) {
            return torvanel::CheckArrival(lines, bet, finishers, keepGoing);
        });
}

void ArrivalDialog::showCounts()
{
    filling_ = true;
    for (int row = 0; row < tblGains->rowCount(); ++row) {
        QTableWidgetItem* lines = tblGains->item(row, LinesColumn);
        lines->setToolTip({});
        if (!check_) {
            lines->setText(QStringLiteral("—"));
            continue;
        }
        const torvanel::ClassCount& count = check_->classes[std::size_t(row)];
        lines->setText(count.reckoned ? frenchCount(count.lines) : QStringLiteral("non compté"));
        if (!count.reckoned)
            lines->setToolTip(QStringLiteral("Il faut les %1 premiers de l'arrivée pour compter cette classe.")
                                  .arg(count.rule->finishers));
    }
    filling_ = false;
    cmdLignesGagnantes->setEnabled(check_ && check_->paidLines() > 0);
    showGains();
}

void ArrivalDialog::showGains()
{
    const std::string stake = host_.stakeText();
    const torvanel::Gains gains =
        torvanel::Reckon(check_ ? *check_ : torvanel::ArrivalCheck{}, bet_, entry_.payouts, stake, played_.count());
    filling_ = true;
    bool payoutMissing = false;
    for (int row = 0; row < tblGains->rowCount(); ++row) {
        QTableWidgetItem* payout = tblGains->item(row, PayoutColumn);
        const torvanel::PayoutReading reading = torvanel::ReadPayout(payout->text().toStdString());
        payout->setForeground(reading.refused ? QColor(0xb0, 0, 0) : palette().text().color());
        payout->setToolTip(reading.refused ? QStringLiteral("Tapez un montant, par exemple 12,40.") : QString());
        QTableWidgetItem* gain = tblGains->item(row, GainColumn);
        if (!check_ || std::size_t(row) >= gains.classes.size() || !gains.classes[std::size_t(row)].count.reckoned) {
            gain->setText({});
            continue;
        }
        const torvanel::ClassGain& classGain = gains.classes[std::size_t(row)];
        payoutMissing = payoutMissing || (classGain.count.lines > 0 && !classGain.payout.amount);
        gain->setText(classGain.payout.amount ? money(classGain.gain) : QString());
    }
    filling_ = false;

    lblNote->setText(!check_ && reading_.refusal.empty() && !reading_.finishers.empty()
                         ? QStringLiteral("Appuyez sur Entrée pour contrôler la liste.")
                     : check_ && !check_->classes.back().reckoned ? QString()  // nothing is counted
                     : check_ && !check_->classes.front().reckoned
                         ? QStringLiteral("Arrivée incomplète : les classes non comptées manquent au gain, et une "
                                          "ligne comptée peut y payer mieux.")
                     : payoutMissing ? QStringLiteral("Tapez le rapport des classes payées pour compter leur gain.")
                                     : QString());
    lblGainTotal->setText(QStringLiteral("Gain total : %1").arg(check_ ? money(gains.total) : QStringLiteral("—")));
    lblCoutListe->setText(QStringLiteral("Coût de la liste : %1 (%2 lignes à %3)")
                              .arg(money(gains.cost), frenchCount(played_.count()), money(torvanel::ReadNumber(stake))));
    lblBilan->setText(QStringLiteral("Bilan : %1").arg(check_ ? money(gains.balance(), true) : QStringLiteral("—")));
    lblBilan->setStyleSheet(!check_ ? QString()
                            : gains.balance() < 0 ? QStringLiteral("color: #b00000")
                                                  : QStringLiteral("color: #006400"));
}

void ArrivalDialog::payoutEdited(QTableWidgetItem* item)
{
    if (filling_ || item->column() != PayoutColumn)
        return;
    const torvanel::bets::PayoutClass id = torvanel::bets::RuleOf(bet_).classes[std::size_t(item->row())].id;
    const std::string typed = item->text().trimmed().toStdString();
    if (typed.empty())
        entry_.payouts.erase(id);
    else
        entry_.payouts[id] = typed;
    keepEntry();
    showGains();
}

void ArrivalDialog::keepEntry()
{
    host_.keepArrivalEntry(entry_);
}

void ArrivalDialog::showPaidLines()
{
    if (!check_)
        return;
    const std::vector<torvanel::bets::Horse> finishers = reading_.finishers;
    std::optional<torvanel::LineSelection> paid = walkInBackground<torvanel::LineSelection>(
        *this, played_.count(), QStringLiteral("Recherche des lignes gagnantes"),
        [lines = played_, bet = bet_, finishers](const torvanel::KeepGoing& keepGoing) {
            return torvanel::PaidLines(lines, bet, finishers, keepGoing);
        });
    if (!paid)
        return;
    WindowMessageSink messages(this);
    host_.showArrivalStage(std::move(*paid), finishers, "lignes gagnantes de l'arrivée " + torvanel::ArrivalText(finishers),
                           messages);
}
