#include "app/ConditionsDialog.h"

#include "app/Dialogs.h"
#include "app/JobProgress.h"
#include "generators/Numbers.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

using torvanel::HorseNumber;
namespace cond = torvanel::conditions;

namespace {

using namespace std::chrono_literals;

// A keystroke waits this long for the next before the lines are counted.
constexpr auto kTypingPause = 40ms;
constexpr auto kProgressLook = 100ms;
constexpr int kNumberWidth = 44;

const QString kNoLine = QStringLiteral("Aucune ligne ne remplit ces conditions.");
const QString kNotWhole = QStringLiteral("Nombre entier attendu.");
const QString kNegative = QStringLiteral("Nombre positif ou nul attendu.");
const QString kAboveLine = QStringLiteral("Une ligne n'a que %1 chevaux.");
const QString kMinAboveMax = QStringLiteral("Le minimum dépasse le maximum.");
const QString kNoHorse = QStringLiteral("Ce groupe n'a aucun cheval.");
const QString kNotAHorse = QStringLiteral("« %1 » n'est pas un numéro de cheval.");
const QString kLonely = QStringLiteral("Une association compte au moins deux chevaux.");
const QString kRunBelowOne = QStringLiteral("Au moins 1.");

unsigned threadsToUse()
{
    return static_cast<unsigned>(std::max(1, QThread::idealThreadCount()));
}

// A whole number as typed (blanks around it allowed), within ±999 999 999.
std::optional<std::int64_t> wholeNumber(const QString& text)
{
    static const QRegularExpression whole(QStringLiteral("^\\s*[+-]?\\d{1,9}\\s*$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    return text.trimmed().toLongLong();
}

// Horse numbers typed "3 7 12", "3-7-12" or "3,7,12".
std::vector<HorseNumber> readHorses(const QString& text, QString& fault)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,\\-]+"));
    std::vector<HorseNumber> horses;
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        const std::optional<std::int64_t> number = wholeNumber(word);
        if (!number || *number < 0 || *number > std::numeric_limits<HorseNumber>::max()) {
            fault = kNotAHorse.arg(word);
            return {};
        }
        horses.push_back(static_cast<HorseNumber>(*number));
    }
    return horses;
}

std::size_t distinctCount(std::vector<HorseNumber> horses)
{
    std::sort(horses.begin(), horses.end());
    return static_cast<std::size_t>(std::unique(horses.begin(), horses.end()) - horses.begin());
}

QString euros(double cost)
{
    const QLocale french(QLocale::French, QLocale::France);
    return french.toString(cost, 'f', cost == std::floor(cost) ? 0 : 2) + QStringLiteral(" €");
}

// Every horse number that stands in some line of the list.
std::set<HorseNumber> horsesOf(const torvanel::ResultList& list)
{
    std::set<HorseNumber> horses;
    for (const torvanel::ResultBlock& block : list.blocks()) {
        horses.insert(block.bases.begin(), block.bases.end());
        horses.insert(block.outs.begin(), block.outs.end());
    }
    return horses;
}

QString numberText(std::int64_t value)
{
    return QString::number(value);
}

}  // namespace

// What the fields say: the conditions, the faults beside the fields, the
// horses named that no line holds, and the row of each group.
struct ConditionsDialog::Reading {
    cond::Conditions conditions;
    std::map<const QLineEdit*, QString> faults;
    std::set<HorseNumber> named;
    std::vector<std::size_t> groupRows;

    // A count of horses per line: empty gives `fallback`.
    std::int64_t count(const QLineEdit* edit, std::int64_t fallback, int lineSize)
    {
        if (edit->text().trimmed().isEmpty())
            return fallback;
        const std::optional<std::int64_t> number = wholeNumber(edit->text());
        if (!number)
            faults[edit] = kNotWhole;
        else if (*number < 0)
            faults[edit] = kNegative;
        else if (*number > lineSize)
            faults[edit] = kAboveLine.arg(lineSize);
        return number.value_or(fallback);
    }
    // Any whole number: empty gives `fallback`.
    std::int64_t number(const QLineEdit* edit, std::int64_t fallback)
    {
        if (edit->text().trimmed().isEmpty())
            return fallback;
        const std::optional<std::int64_t> number = wholeNumber(edit->text());
        if (!number)
            faults[edit] = kNotWhole;
        return number.value_or(fallback);
    }
    // A range of two fields, counts of horses when `lineSize` is given;
    // nothing when both are empty, an empty one giving `low` or `high`.
    std::optional<cond::Range> range(const QLineEdit* min, const QLineEdit* max, std::int64_t low, std::int64_t high,
                                     std::optional<int> lineSize)
    {
        if (min->text().trimmed().isEmpty() && max->text().trimmed().isEmpty())
            return std::nullopt;
        const cond::Range range = lineSize ? cond::Range{count(min, low, *lineSize), count(max, high, *lineSize)}
                                           : cond::Range{number(min, low), number(max, high)};
        if (range.low > range.high && !faults.count(min) && !faults.count(max))
            faults[min] = kMinAboveMax;
        return range;
    }
    std::vector<HorseNumber> horses(const QLineEdit* edit)
    {
        QString fault;
        std::vector<HorseNumber> read = readHorses(edit->text(), fault);
        if (!fault.isEmpty())
            faults[edit] = fault;
        named.insert(read.begin(), read.end());
        return read;
    }
};

// A count running on a worker thread, stopped when the fields change.
struct ConditionsDialog::CountJob {
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> done{0};
    Reading reading;
};

ConditionsDialog::ConditionsDialog(QWidget* parent, Setting setting)
    : QDialog(parent), setting_(std::move(setting))
{
    setObjectName(QStringLiteral("dlgConditions"));
    setWindowTitle(QStringLiteral("Conditions sur les combinaisons"));
    setAccessibleDescription(QStringLiteral("Ne garder que les combinaisons qui remplissent toutes les conditions données"));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabConditions"));
    auto* groups = new QWidget;
    auto* others = new QWidget;
    buildGroups(groups);
    buildOthers(others);
    tabs_->addTab(groups, QStringLiteral("&Groupes"));
    tabs_->addTab(others, QStringLiteral("A&utres conditions"));

    absent_ = new QLabel(this);
    absent_->setObjectName(QStringLiteral("lblAbsents"));
    absent_->setWordWrap(true);
    absent_->hide();
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("barComptage"));
    progress_->setAccessibleName(QStringLiteral("Comptage des lignes gardées"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(8);
    progress_->hide();
    lblGardees = new QLabel(this);
    lblGardees->setObjectName(QStringLiteral("lblGardees"));
    QFont bold = lblGardees->font();
    bold.setBold(true);
    lblGardees->setFont(bold);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ConditionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ConditionsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(absent_);
    layout->addWidget(progress_);
    layout->addWidget(lblGardees);
    layout->addWidget(buttons);

    debounce_ = new QTimer(this);
    debounce_->setSingleShot(true);
    debounce_->setInterval(kTypingPause);
    connect(debounce_, &QTimer::timeout, this, &ConditionsDialog::recount);
    progressLook_ = new QTimer(this);
    progressLook_->setInterval(kProgressLook);
    connect(progressLook_, &QTimer::timeout, this, [this] {
        if (job_)
            progress_->setValue(int(1000 * job_->done / std::max<std::uint64_t>(1, setting_.full.count())));
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        progressLook_->stop();
        progress_->hide();
        const std::optional<cond::Counts> counts = watcher_.result();
        if (counts && job_ && !job_->stop)
            showCounts(*counts, job_->reading.conditions);
    });

    fillFrom(setting_.current);
    for (QLineEdit* edit : findChildren<QLineEdit*>())
        connect(edit, &QLineEdit::textEdited, debounce_, qOverload<>(&QTimer::start));
    recount();
}

ConditionsDialog::~ConditionsDialog()
{
    stopCounting();
    watcher_.waitForFinished();
}

QLineEdit* ConditionsDialog::newEdit(const QString& accessibleName, int width)
{
    auto* edit = new QLineEdit;
    edit->setAccessibleName(accessibleName);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

void ConditionsDialog::buildGroups(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    const QStringList headers{QString(), QStringLiteral("Nom"), QStringLiteral("Chevaux"), QStringLiteral("Au moins"),
                              QStringLiteral("Au plus"), QStringLiteral("Gardées")};
    for (int column = 0; column < headers.size(); ++column)
        grid->addWidget(new QLabel(headers[column]), 0, column, column == 5 ? Qt::AlignRight : Qt::Alignment());
    for (std::size_t g = 0; g < cond::kMostGroups; ++g) {
        const QString group = QStringLiteral("Groupe %1").arg(g + 1);
        const int line = 1 + 2 * int(g);
        groupNames_[g] = newEdit(group + QStringLiteral(" : nom"), 90);
        groupNames_[g]->setPlaceholderText(group);
        Row& row = rows_[cond::kFirstGroup + g];
        row.edits = {newEdit(group + QStringLiteral(" : chevaux (3 7 12)"), 0),
                     newEdit(group + QStringLiteral(" : au moins, par ligne"), kNumberWidth),
                     newEdit(group + QStringLiteral(" : au plus, par ligne"), kNumberWidth)};
        row.edits[0]->setPlaceholderText(g == 0 ? QStringLiteral("3 7 12") : QString());
        row.edits[0]->setMinimumWidth(120);
        auto* number = new QLabel(QStringLiteral("&%1").arg(g + 1));
        number->setBuddy(groupNames_[g]);
        grid->addWidget(number, line, 0);
        grid->addWidget(groupNames_[g], line, 1);
        for (int e = 0; e < 3; ++e)
            grid->addWidget(row.edits[std::size_t(e)], line, 2 + e);
        row.count = new QLabel;
        row.count->setMinimumWidth(64);
        row.count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.count->setAccessibleName(QStringLiteral("Lignes gardées par le groupe %1").arg(g + 1));
        grid->addWidget(row.count, line, 5);
        row.fault = new QLabel;
        grid->addWidget(row.fault, line + 1, 1, 1, 5);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1 + 2 * int(cond::kMostGroups), 1);
}

void ConditionsDialog::addOtherRow(QGridLayout& grid, int& line, unsigned item, const QString& caption,
                                   const QStringList& accessibleNames, bool range)
{
    Row& row = rows_[item];
    auto* label = new QLabel(caption);
    grid.addWidget(label, line, 0);
    for (const QString& name : accessibleNames)
        row.edits.push_back(newEdit(name, range || item == cond::kRun ? kNumberWidth : 0));
    label->setBuddy(row.edits[0]);
    if (range) {
        grid.addWidget(row.edits[0], line, 1);
        grid.addWidget(new QLabel(QStringLiteral("et")), line, 2, Qt::AlignCenter);
        grid.addWidget(row.edits[1], line, 3);
    } else {
        grid.addWidget(row.edits[0], line, 1, 1, item == cond::kRun ? 1 : 3);
    }
    row.count = new QLabel;
    row.count->setMinimumWidth(64);
    row.count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row.count->setAccessibleName(QStringLiteral("Lignes gardées : ") + accessibleNames[0].section(QLatin1Char(':'), 0, 0).trimmed());
    grid.addWidget(row.count, line, 4);
    row.fault = new QLabel;
    grid.addWidget(row.fault, line + 1, 0, 1, 5);
    line += 2;
}

void ConditionsDialog::buildOthers(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("Gardées")), 0, 4, Qt::AlignRight);
    int line = 1;
    addOtherRow(*grid, line, cond::kAssociations, QStringLiteral("Associations &interdites :"),
                {QStringLiteral("Associations interdites (3 7 ; 5 9 12)")}, false);
    rows_[cond::kAssociations].edits[0]->setPlaceholderText(QStringLiteral("3 7 ; 5 9 12"));
    addOtherRow(*grid, line, cond::kRun, QStringLiteral("Numéros &consécutifs, au plus :"),
                {QStringLiteral("Numéros consécutifs : au plus, par ligne")}, false);
    addOtherRow(*grid, line, cond::kSum, QStringLiteral("&Somme des numéros, entre :"),
                {QStringLiteral("Somme des numéros : au moins"), QStringLiteral("Somme des numéros : au plus")}, true);
    addOtherRow(*grid, line, cond::kEven, QStringLiteral("Numéros &pairs, entre :"),
                {QStringLiteral("Numéros pairs : au moins, par ligne"), QStringLiteral("Numéros pairs : au plus, par ligne")},
                true);
    addOtherRow(*grid, line, cond::kSmall, QStringLiteral("P&etits numéros, entre :"),
                {QStringLiteral("Petits numéros : au moins, par ligne"), QStringLiteral("Petits numéros : au plus, par ligne")},
                true);
    auto* limitLabel = new QLabel(QStringLiteral("Un petit numéro va &jusqu'au :"));
    smallLimit_ = newEdit(QStringLiteral("Plus grand petit numéro"), kNumberWidth);
    limitLabel->setBuddy(smallLimit_);
    grid->addWidget(limitLabel, line, 0);
    grid->addWidget(smallLimit_, line, 1);
    rows_[cond::kSmall].edits.push_back(smallLimit_);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(line + 1, 1);
}

void ConditionsDialog::fillFrom(const cond::Conditions& current)
{
    const auto horsesText = [](const std::vector<HorseNumber>& horses) {
        QStringList words;
        for (HorseNumber horse : horses)
            words << QString::number(horse);
        return words.join(QLatin1Char(' '));
    };
    for (std::size_t g = 0; g < current.groups.size() && g < cond::kMostGroups; ++g) {
        const cond::Group& group = current.groups[g];
        groupNames_[g]->setText(QString::fromStdString(group.name));
        rows_[g].edits[0]->setText(horsesText(group.horses));
        rows_[g].edits[1]->setText(numberText(group.count.low));
        rows_[g].edits[2]->setText(numberText(group.count.high));
    }
    QStringList associations;
    for (const auto& association : current.forbidden)
        associations << horsesText(association);
    rows_[cond::kAssociations].edits[0]->setText(associations.join(QStringLiteral(" ; ")));
    if (current.longestRun)
        rows_[cond::kRun].edits[0]->setText(numberText(*current.longestRun));
    const auto fillRange = [this](unsigned item, const std::optional<cond::Range>& range, bool open) {
        if (!range)
            return;
        const bool lowOpen = open && range->low == std::numeric_limits<std::int64_t>::min();
        const bool highOpen = open && range->high == std::numeric_limits<std::int64_t>::max();
        rows_[item].edits[0]->setText(lowOpen ? QString() : numberText(range->low));
        rows_[item].edits[1]->setText(highOpen ? QString() : numberText(range->high));
    };
    fillRange(cond::kSum, current.sum, true);
    fillRange(cond::kEven, current.even, false);
    fillRange(cond::kSmall, current.small, false);
    smallLimit_->setText(numberText(current.small ? current.smallLimit : setting_.starters / 2));
}

ConditionsDialog::Reading ConditionsDialog::read() const
{
    Reading reading;
    cond::Conditions& c = reading.conditions;
    const int size = setting_.lineSize;
    for (std::size_t g = 0; g < cond::kMostGroups; ++g) {
        const Row& row = rows_[cond::kFirstGroup + g];
        if (row.edits[0]->text().trimmed().isEmpty()) {
            if (!row.edits[1]->text().trimmed().isEmpty() || !row.edits[2]->text().trimmed().isEmpty())
                reading.faults[row.edits[0]] = kNoHorse;
            continue;
        }
        cond::Group group;
        group.name = (groupNames_[g]->text().trimmed().isEmpty() ? groupNames_[g]->placeholderText()
                                                                  : groupNames_[g]->text().trimmed()).toStdString();
        group.horses = reading.horses(row.edits[0]);
        group.count = reading.range(row.edits[1], row.edits[2], 0, size, size).value_or(cond::Range{0, size});
        c.groups.push_back(std::move(group));
        reading.groupRows.push_back(g);
    }
    const QLineEdit* associations = rows_[cond::kAssociations].edits[0];
    for (const QString& part : associations->text().split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString fault;
        std::vector<HorseNumber> horses = readHorses(part, fault);
        if (fault.isEmpty() && distinctCount(horses) == 1)
            fault = kLonely;
        if (!fault.isEmpty()) {
            reading.faults.emplace(associations, fault);
            continue;
        }
        if (horses.empty())
            continue;
        reading.named.insert(horses.begin(), horses.end());
        c.forbidden.push_back(std::move(horses));
    }
    const QLineEdit* run = rows_[cond::kRun].edits[0];
    if (!run->text().trimmed().isEmpty()) {
        c.longestRun = static_cast<int>(reading.number(run, 1));
        if (*c.longestRun < 1 && !reading.faults.count(run))
            reading.faults[run] = kRunBelowOne;
    }
    const auto range = [&](unsigned item, std::int64_t low, std::int64_t high, std::optional<int> lineSize) {
        return reading.range(rows_[item].edits[0], rows_[item].edits[1], low, high, lineSize);
    };
    c.sum = range(cond::kSum, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(),
                  std::nullopt);
    c.even = range(cond::kEven, 0, size, size);
    c.small = range(cond::kSmall, 0, size, size);
    c.smallLimit = static_cast<int>(reading.number(smallLimit_, setting_.starters / 2));
    return reading;
}

cond::Conditions ConditionsDialog::conditions() const
{
    return read().conditions;
}

void ConditionsDialog::showFaults(const Reading& reading)
{
    for (Row& row : rows_) {
        QStringList faults;
        for (QLineEdit* edit : row.edits) {
            const auto fault = reading.faults.find(edit);
            edit->setAccessibleDescription(fault == reading.faults.end() ? QString() : fault->second);
            if (fault != reading.faults.end())
                faults << fault->second;
        }
        row.fault->setText(faults.join(QLatin1Char(' ')));
        row.fault->setVisible(!faults.isEmpty());
        QPalette palette = row.fault->palette();
        palette.setColor(QPalette::WindowText, Qt::darkRed);
        row.fault->setPalette(palette);
    }
    ok_->setEnabled(reading.faults.empty());

    const std::set<HorseNumber> inList = horsesOf(setting_.full.full());
    QStringList absent;
    for (HorseNumber horse : reading.named)
        if (!inList.count(horse))
            absent << QString::number(horse);
    absent_->setText(absent.size() == 1 ? QStringLiteral("Le %1 n'est dans aucune ligne de la liste.").arg(absent[0])
                                        : QStringLiteral("Ne sont dans aucune ligne de la liste : %1.")
                                              .arg(absent.join(QStringLiteral(", "))));
    absent_->setVisible(!absent.isEmpty() && !setting_.full.empty());
}

void ConditionsDialog::recount()
{
    stopCounting();
    kept_.reset();
    const Reading reading = read();
    showFaults(reading);
    for (Row& row : rows_)
        row.count->clear();
    if (!reading.faults.empty()) {
        lblGardees->setText(QStringLiteral("Lignes gardées : ? (corrigez les champs signalés)"));
        return;
    }
    if (setting_.full.count() > kCountAtOnce) {
        job_ = std::make_shared<CountJob>();
        job_->reading = reading;
        startBackgroundCount(reading.conditions);
        return;
    }
    const std::optional<cond::Counts> counts =
        cond::Count(setting_.full.full(), reading.conditions, {.threads = threadsToUse()});
    job_ = std::make_shared<CountJob>();
    job_->reading = reading;
    showCounts(*counts, reading.conditions);
}

void ConditionsDialog::startBackgroundCount(const cond::Conditions& conditions)
{
    lblGardees->setText(QStringLiteral("Lignes gardées : comptage en cours…"));
    progress_->setValue(0);
    progress_->show();
    progressLook_->start();
    const std::shared_ptr<CountJob> job = job_;
    watcher_.setFuture(QtConcurrent::run([job, full = setting_.full, conditions] {
        return cond::Count(full.full(), conditions, {.threads = threadsToUse(), .stop = &job->stop, .done = &job->done});
    }));
}

void ConditionsDialog::showCounts(const cond::Counts& counts, const cond::Conditions& conditions)
{
    const Reading& reading = job_->reading;
    const auto show = [&](unsigned item, bool set) {
        rows_[item].count->setText(set ? frenchCount(counts.alone[item]) : QString());
    };
    for (std::size_t g = 0; g < reading.groupRows.size(); ++g)
        rows_[reading.groupRows[g]].count->setText(frenchCount(counts.alone[cond::kFirstGroup + g]));
    show(cond::kAssociations, !conditions.forbidden.empty());
    show(cond::kRun, conditions.longestRun.has_value());
    show(cond::kSum, conditions.sum.has_value());
    show(cond::kEven, conditions.even.has_value());
    show(cond::kSmall, conditions.small.has_value());
    kept_ = counts.kept;
    QString text = QStringLiteral("Lignes gardées : %1 sur %2").arg(frenchCount(counts.kept), frenchCount(setting_.full.count()));
    const double stake = torvanel::ReadNumber(setting_.stake.toStdString());
    const double cost = static_cast<double>(counts.kept) * stake;
    if (stake >= 0 && std::isfinite(cost))
        text += QStringLiteral(" — ") + euros(cost);
    lblGardees->setText(text);
}

void ConditionsDialog::stopCounting()
{
    if (job_)
        job_->stop = true;
    progressLook_->stop();
    progress_->hide();
}

void ConditionsDialog::accept()
{
    if (debounce_->isActive()) {
        debounce_->stop();
        recount();
    }
    if (!ok_->isEnabled())
        return;
    const cond::Conditions chosen = conditions();
    if (kept_ && *kept_ == 0 && !setting_.full.empty() && !chosen.empty()) {
        Dialogs::showMessage(this, kNoLine);
        return;
    }
    stopCounting();
    QDialog::accept();
}
