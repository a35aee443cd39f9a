#include "app/CoverageDialog.h"

#include "app/BackgroundJob.h"
#include "app/Commands.h"
#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "app/ResultHost.h"
#include "ticket/Ticket.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

using torvanel::Coverage;
using torvanel::CoverageRow;

// Unpaid arrivals written between two looks at the progress dialogue.
constexpr std::uint64_t kArrivalsPerStep = 20'000;

// The dialogue's width: its table's three columns at ease.
constexpr int kWidth = 500;

const QString kNothingToCover = QStringLiteral("La liste des combinaisons est vide : elle ne paie aucune arrivée.");

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "100 %", "16,7 %": never 100 % for a part, never 0 % for something.
QString percent(std::uint64_t part, std::uint64_t whole)
{
    if (whole == 0 || part >= whole)
        return QStringLiteral("100 %");
    long tenths = std::lround(1000.0 * double(part) / double(whole));
    tenths = std::clamp(tenths, part == 0 ? 0L : 1L, 999L);
    const QLocale french(QLocale::French, QLocale::France);
    return (tenths % 10 == 0 ? french.toString(tenths / 10) : french.toString(double(tenths) / 10, 'f', 1)) +
           QStringLiteral(" %");
}

QString paidText(const CoverageRow& row)
{
    return QStringLiteral("%1 sur %2 (%3)").arg(frenchCount(row.paid), frenchCount(row.all), percent(row.paid, row.all));
}

// Works out the coverage of `lines`, and of the full list beside a stage,
// on a worker thread; nothing when the punter cancelled.
struct Worked {
    std::optional<Coverage> shown;
    std::optional<Coverage> full;
};

std::optional<Worked> coverInBackground(QWidget& window, const torvanel::ShownLines& lines,
                                        const std::optional<torvanel::ShownLines>& full, torvanel::BetType bet)
{
    Worked worked;
    const bool done = BackgroundJob::run(
        window,
        [&](BackgroundJob::Shared& shared) {
            shared.total = lines.count() + (full ? full->count() : 0);
            worked.shown = torvanel::Cover(lines, bet, [&shared](std::uint64_t read) {
                shared.done = read;
                return !shared.stop;
            });
            if (full && worked.shown)
                worked.full = torvanel::Cover(*full, bet, [&](std::uint64_t read) {
                    shared.done = lines.count() + read;
                    return !shared.stop;
                });
        },
        [](std::uint64_t done, std::uint64_t total) {
            return QStringLiteral("Calcul de la couverture : %1 combinaisons lues sur %2")
                .arg(frenchCount(done), frenchCount(total));
        });
    if (!done || !worked.shown || (full && !worked.full))
        return std::nullopt;
    return worked;
}

QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

CoverageCommand::CoverageCommand(ResultHost& host)
    : QObject(&host.hostWindow()),
      host_(host),
      cover_(commands::make(this, host.hostWindow(), {"mnuCouverture", "Cou&verture de la liste…", {},
                                                      "Combien d'arrivées possibles la liste paie, classe par classe"}))
{
    commands::markAsActingOnLines(cover_);
    connect(cover_, &QAction::triggered, this, &CoverageCommand::showCoverage);
}

void CoverageCommand::showCoverage()
{
    QWidget& window = host_.hostWindow();
    const torvanel::Ticket& ticket = host_.ticket();
    const torvanel::ShownLines lines = ticket.playedLines();
    const torvanel::BetType bet = ticket.choices().betType;
    if (lines.empty()) {
        Dialogs::showMessage(&window, kNothingToCover);
        return;
    }
    if (const std::string refusal = torvanel::CoverageRefusal(lines, bet); !refusal.empty()) {
        Dialogs::showMessage(&window, QString::fromStdString(refusal));
        return;
    }
    std::optional<torvanel::ShownLines> full;
    QString fullRefusal;
    if (!lines.isFull()) {
        full = torvanel::ShownLines(lines.full());
        fullRefusal = QString::fromStdString(torvanel::CoverageRefusal(*full, bet));
        if (!fullRefusal.isEmpty())
            full.reset();
    }
    std::optional<Worked> worked = coverInBackground(window, lines, full, bet);
    if (!worked)
        return;
    const QString stage = lines.isFull() ? QStringLiteral("Liste complète")
                                         : QStringLiteral("Liste réduite");
    const QString caption = QStringLiteral("%1 : %2 combinaisons sur %3 chevaux, %4")
                                .arg(stage, frenchCount(lines.count()), frenchCount(worked->shown->horses().size()),
                                     fromUtf8(torvanel::bets::RuleOf(bet).name));
    CoverageDialog dialog(std::move(*worked->shown), std::move(worked->full), fullRefusal, bet, caption, &window);
    dialog.exec();
}

CoverageDialog::CoverageDialog(Coverage shown, std::optional<Coverage> full, QString fullRefusal,
                               torvanel::BetType bet, const QString& listCaption, QWidget* parent)
    : QDialog(parent),
      shown_(std::move(shown)),
      full_(std::move(full)),
      fullRefusal_(std::move(fullRefusal)),
      bet_(bet),
      stage_(full_ || !fullRefusal_.isEmpty())
{
    setObjectName(QStringLiteral("dlgCouverture"));
    setWindowTitle(QStringLiteral("Couverture de la liste"));
    // Wide enough for every column, no wider than the window.
    setMinimumWidth(std::min(kWidth, parent ? parent->window()->width() : kWidth));
    auto* caption = new QLabel(listCaption, this);
    caption->setWordWrap(true);
    auto* explanation = new QLabel(QStringLiteral("Arrivées possibles parmi les chevaux de la liste que la liste paie "
                                                  "dans la classe ou dans une meilleure :"),
                                   this);
    explanation->setWordWrap(true);
    tblCouverture = new QTableWidget(0, stage_ ? 3 : 2, this);
    tblCouverture->setObjectName(QStringLiteral("tblCouverture"));
    QStringList headers{QStringLiteral("Classe"), QStringLiteral("Arrivées payées")};
    if (stage_)
        headers << QStringLiteral("Part de la liste complète");
    tblCouverture->setHorizontalHeaderLabels(headers);
    tblCouverture->verticalHeader()->hide();
    tblCouverture->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblCouverture->setSelectionMode(QAbstractItemView::SingleSelection);
    tblCouverture->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCouverture->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tblCouverture->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tblCouverture->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tblCouverture->setAccessibleName(QStringLiteral("Couverture par classe"));
    lblPhrase = new QLabel(this);
    lblPhrase->setObjectName(QStringLiteral("lblPhrase"));
    lblPhrase->setWordWrap(true);
    cmdNonPayees = new QPushButton(QStringLiteral("&Voir les arrivées non payées"), this);
    cmdNonPayees->setObjectName(QStringLiteral("cmdNonPayees"));
    cmdEnregistrer = new QPushButton(QStringLiteral("&Enregistrer…"), this);
    cmdEnregistrer->setObjectName(QStringLiteral("cmdEnregistrer"));
    auto* close = new QPushButton(QStringLiteral("&Fermer"), this);
    close->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdNonPayees);
    buttons->addWidget(cmdEnregistrer);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(explanation);
    layout->addWidget(tblCouverture);
    layout->addWidget(lblPhrase);
    layout->addLayout(buttons);

    fillRows();
    connect(tblCouverture, &QTableWidget::currentCellChanged, this, &CoverageDialog::rowChosen);
    connect(cmdNonPayees, &QPushButton::clicked, this, &CoverageDialog::listUnpaid);
    connect(cmdEnregistrer, &QPushButton::clicked, this, &CoverageDialog::saveUnpaid);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    tblCouverture->setCurrentCell(0, 0);
    rowChosen();
}

void CoverageDialog::fillRows()
{
    const std::vector<CoverageRow>& rows = shown_.rows();
    tblCouverture->setRowCount(int(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        QStringList cells{fromUtf8(rows[r].rule->name), paidText(rows[r])};
        if (stage_)
            cells << (full_ ? percent(rows[r].paid, full_->rows()[r].paid) : QStringLiteral("—"));
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (column == 2 && !full_)
                item->setToolTip(fullRefusal_);
            tblCouverture->setItem(int(r), column, item);
        }
    }
    tblCouverture->setFixedHeight(tblCouverture->horizontalHeader()->sizeHint().height() +
                                  tblCouverture->verticalHeader()->length() + 2 * tblCouverture->frameWidth());
}

std::size_t CoverageDialog::row() const
{
    return std::size_t(std::max(0, tblCouverture->currentRow()));
}

void CoverageDialog::rowChosen()
{
    const CoverageRow& chosen = shown_.rows()[row()];
    QString phrase = QStringLiteral("%1 : %2 arrivées sur %3 (%4)")
                         .arg(fromUtf8(chosen.rule->name), frenchCount(chosen.paid), frenchCount(chosen.all),
                              percent(chosen.paid, chosen.all));
    if (full_)
        phrase += QStringLiteral("\nla liste réduite paie %1 de ce que paie la liste complète")
                      .arg(percent(chosen.paid, full_->rows()[row()].paid));
    lblPhrase->setText(phrase);
    cmdNonPayees->setEnabled(chosen.paid < chosen.all);
    cmdEnregistrer->setEnabled(chosen.paid < chosen.all);
}

void CoverageDialog::listUnpaid()
{
    const CoverageRow& chosen = shown_.rows()[row()];
    QStringList arrivals;
    shown_.forEachUnpaid(row(), [&arrivals](std::span<const torvanel::bets::Horse> arrival) {
        arrivals << QString::fromStdString(torvanel::ArrivalText(arrival));
        return arrivals.size() < kListedArrivals;
    });
    const std::uint64_t unpaid = chosen.all - chosen.paid;
    QDialog list(this);
    list.setObjectName(QStringLiteral("dlgNonPayees"));
    list.setWindowTitle(QStringLiteral("Arrivées non payées"));
    auto* caption = new QLabel(unpaid > std::uint64_t(kListedArrivals)
                                   ? QStringLiteral("%1 : les %2 premières des %3 arrivées non payées")
                                         .arg(fromUtf8(chosen.rule->name), frenchCount(kListedArrivals), frenchCount(unpaid))
                                   : QStringLiteral("%1 : %2 arrivées non payées").arg(fromUtf8(chosen.rule->name), frenchCount(unpaid)),
                               &list);
    caption->setWordWrap(true);
    auto* text = new QPlainTextEdit(arrivals.join(QLatin1Char('\n')), &list);
    text->setObjectName(QStringLiteral("txtNonPayees"));
    text->setReadOnly(true);
    auto* close = new QPushButton(QStringLiteral("&Fermer"), &list);
    connect(close, &QPushButton::clicked, &list, &QDialog::accept);
    auto* layout = new QVBoxLayout(&list);
    layout->addWidget(caption);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    list.resize(300, 360);
    list.exec();
}

void CoverageDialog::saveUnpaid()
{
    const CoverageRow& chosen = shown_.rows()[row()];
    const QString suggested =
        QDir(startFolder())
            .filePath(QStringLiteral("arrivees-non-payees-%1-%2.txt")
                          .arg(fromUtf8(torvanel::bets::RuleOf(bet_).fileStem), fromUtf8(chosen.rule->key)));
    const QString fileName =
        Dialogs::askSaveTextFileName(this, QStringLiteral("Enregistrer les arrivées non payées"), suggested);
    if (fileName.isEmpty())
        return;
    const std::uint64_t unpaid = chosen.all - chosen.paid;
    JobProgress progress(this, kArrivalsPerStep, [](std::uint64_t done, std::uint64_t total) {
        return QStringLiteral("Enregistrement des arrivées non payées : %1 sur %2").arg(frenchCount(done), frenchCount(total));
    });
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    std::uint64_t done = 0;
    bool cancelled = false;
    shown_.forEachUnpaid(row(), [&](std::span<const torvanel::bets::Horse> arrival) {
        written = written && file.write((torvanel::ArrivalText(arrival) + '\n').c_str()) >= 0;
        if (++done % kArrivalsPerStep == 0)
            cancelled = !progress.step(done, unpaid);
        return written && !cancelled;
    });
    if (cancelled) {
        file.cancelWriting();
        return;
    }
    if (!written || !file.commit())
        Dialogs::showMessage(this, QStringLiteral("Impossible d'enregistrer les arrivées dans « %1 » : %2.\r\n"
                                                  "Choisissez un autre fichier ou un autre dossier, puis recommencez.")
                                       .arg(QDir::toNativeSeparators(fileName), file.errorString()));
}
