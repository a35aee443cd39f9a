#include "app/ForecastWindow.h"

#include "app/ControlRegistry.h"
#include "app/Dialogs.h"
#include "app/ReduceCommand.h"
#include "app/ResultHost.h"
#include "reduce/Budget.h"
#include "reduce/Reduce.h"
#include "ticket/Ticket.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace {

using forecast::Forecast;
using forecast::fromUtf8;

// A line quoted in a message is cut after this many characters.
constexpr qsizetype kLongestQuote = 40;

torvanel::StarterList starterList(const QList<forecast::Entry>& entries)
{
    torvanel::StarterList list;
    list.reserve(std::size_t(entries.size()));
    for (const forecast::Entry& entry : entries)
        list.push_back({entry.text.toStdString(), entry.selected});
    return list;
}

torvanel::MergeChoices choicesOf(const Forecast& forecast)
{
    torvanel::MergeChoices choices;
    choices.betType = forecast.betType;
    choices.fusionMode = static_cast<torvanel::FusionType>(forecast.fusion);
    for (int option : forecast.splits)
        choices.split[std::size_t(option)] = true;
    for (std::size_t i = 0; i < choices.include.size(); ++i)
        choices.include[i] = forecast.include[i];
    choices.stake = forecast.stake.toStdString();
    return choices;
}

// The full list of the merge `forecast` describes, made apart from the window.
std::shared_ptr<const torvanel::ResultList> mergeOf(const Forecast& forecast, const torvanel::Ticket& like)
{
    torvanel::Ticket probe(like.maxLines(), like.maxCostTextLength());
    // The probe says nothing: the window's own merge says it all again.
    SilentMessages silent;
    probe.merge(starterList(forecast.bases), starterList(forecast.outsiders), choicesOf(forecast), silent);
    return std::make_shared<const torvanel::ResultList>(probe.full());
}

bool sameLines(const torvanel::ResultList& a, const torvanel::ResultList& b)
{
    return std::equal(a.blocks().begin(), a.blocks().end(), b.blocks().begin(), b.blocks().end(),
                      [](const torvanel::ResultBlock& x, const torvanel::ResultBlock& y) {
                          return x.bases == y.bases && x.baseTake == y.baseTake && x.outs == y.outs
                              && x.outTake == y.outTake;
                      });
}

QList<forecast::Entry> entriesOf(const QListWidget* list)
{
    QList<forecast::Entry> entries;
    entries.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        entries.append({list->item(row)->text(), list->item(row)->isSelected()});
    return entries;
}

// The indexes in `list` of `lines` (a line named twice must be there twice),
// or what is wrong.
ForecastWindow::Checked findLines(const torvanel::ShownLines& list, const QStringList& lines)
{
    struct Wanted {
        std::size_t named = 0;
        std::vector<std::uint64_t> found;
    };
    std::unordered_map<std::string, Wanted> wanted;
    for (const QString& line : lines)
        ++wanted[line.toStdString()].named;
    std::size_t unmet = wanted.size();
    std::uint64_t index = 0;
    list.forEachLine([&](std::string_view text) {
        if (const auto at = wanted.find(std::string(text)); at != wanted.end() && at->second.found.size() < at->second.named) {
            at->second.found.push_back(index);
            if (at->second.found.size() == at->second.named)
                --unmet;
        }
        ++index;
        return unmet > 0;
    });
    ForecastWindow::Checked checked;
    for (const QString& line : lines) {
        std::vector<std::uint64_t>& found = wanted[line.toStdString()].found;
        if (found.empty()) {
            checked.problem = QStringLiteral("la ligne « %1 » du champ « reduction.lines » n'est pas dans la liste "
                                             "des combinaisons de ce pronostic")
                                  .arg(line.left(kLongestQuote));
            return checked;
        }
        checked.kept.push_back(found.back());
        found.pop_back();
    }
    std::sort(checked.kept.begin(), checked.kept.end());
    return checked;
}

}  // namespace

ForecastWindow::ForecastWindow(const ControlRegistry& controls, ResultHost& host) : controls_(controls), host_(host) {}

Forecast ForecastWindow::current(bool withLines) const
{
    Forecast forecast;
    forecast.starters = controls_.as<QLineEdit>("txtPartants")->text();
    forecast.bases = entriesOf(controls_.as<QListWidget>("lstBases"));
    forecast.outsiders = entriesOf(controls_.as<QListWidget>("lstOuts"));
    for (int i = 0; i < torvanel::bets::kBetTypeCount; ++i)
        if (controls_.as<QRadioButton>("OptionQuoi", i)->isChecked())
            forecast.betType = static_cast<torvanel::BetType>(i);
    for (int i = 0; i < 4; ++i)
        if (controls_.as<QRadioButton>("Option1", i)->isChecked())
            forecast.fusion = i;
    const auto panels = forecast::splitPanels();
    for (std::size_t p = 0; p < panels.size(); ++p)
        for (int option : panels[p].options)
            if (controls_.as<QRadioButton>("OptionTierce", option)->isChecked())
                forecast.splits[p] = option;
    for (std::size_t i = 0; i < forecast.include.size(); ++i)
        forecast.include[i] = controls_.as<QCheckBox>("ChkInclure", int(i))->isChecked();
    forecast.stake = controls_.as<QLineEdit>("txtUnite")->text();

    const torvanel::Ticket& ticket = host_.ticket();
    if (ticket.hasConditions())
        forecast.conditions = ticket.conditions();
    for (const torvanel::Stage& stage : ticket.stages()) {
        if (!stage.reducedFor)
            continue;
        forecast.reduction = forecast::Reduction{stage.reducedFor->payout, stage.reducedFor->budgetLines, {}};
        // The reduction's lines, also while the lines an arrival pays among them are shown.
        if (withLines)
            ticket.linesOf(stage).forEachLine([&](std::string_view line) {
                forecast.reduction->lines << QString::fromLatin1(line.data(), qsizetype(line.size()));
                return true;
            });
    }
    if (!ticket.arrivalEntry().finishers.empty() || !ticket.arrivalEntry().payouts.empty())
        forecast.arrival = ticket.arrivalEntry();
    return forecast;
}

std::shared_ptr<const torvanel::LineSelection> ForecastWindow::shownStage() const
{
    const auto& stages = host_.ticket().stages();
    return stages.empty() ? nullptr : stages.back().kept;
}

ForecastWindow::Checked ForecastWindow::check(const Forecast& forecast) const
{
    if (!forecast.conditions && !forecast.reduction)
        return {};
    const std::shared_ptr<const torvanel::ResultList> full = mergeOf(forecast, host_.ticket());
    // Shared with the list checked below: a selection may hold millions of lines.
    std::shared_ptr<const torvanel::LineSelection> keptByConditions;
    if (forecast.conditions) {
        std::optional<torvanel::LineSelection> kept = host_.filterLines(*full, *forecast.conditions);
        if (!kept)
            return {{}, {}, {}, {}, true};
        keptByConditions = std::make_shared<const torvanel::LineSelection>(std::move(*kept));
    }
    if (!forecast.reduction)
        return {{}, std::move(keptByConditions), {}, {}, false};

    const forecast::Reduction& reduction = *forecast.reduction;
    const torvanel::ShownLines list(full, keptByConditions);
    const QString payoutName = fromUtf8(torvanel::bets::ClassOf(reduction.payout).name);
    const auto refused = [](QString problem) { return Checked{std::move(problem), {}, {}, {}, false}; };
    if (const std::string refusal = torvanel::reduce::RefusalBeforeChoice(list, {reduction.payout}); !refusal.empty())
        return refused(QStringLiteral("sa liste de %1 combinaisons ne peut pas être réduite").arg(list.count()));
    Checked checked = findLines(list, reduction.lines);
    if (!checked.problem.isEmpty())
        return checked;
    checked.keptByConditions = std::move(keptByConditions);
    if (reduction.budgetLines == 0) {
        if (!torvanel::reduce::CheckGuarantee(list, reduction.payout, checked.kept))
            return refused(QStringLiteral("les lignes du champ « reduction.lines » ne garantissent pas le %1").arg(payoutName));
        checked.reductionTitle = reducedStageTitle(reduction.payout);
        return checked;
    }
    if (checked.kept.size() > reduction.budgetLines)
        return refused(QStringLiteral("le champ « reduction.lines » compte %1 lignes, plus que les %2 du champ "
                                      "« reduction.budgetLines »")
                           .arg(checked.kept.size())
                           .arg(reduction.budgetLines));
    const torvanel::reduce::KeptCoverage coverage = torvanel::reduce::CoverageOfKept(list, reduction.payout, checked.kept);
    if (!coverage.refusal.empty())
        return refused(QStringLiteral("sa liste de %1 combinaisons ne peut pas être réduite").arg(list.count()));
    checked.reductionTitle = budgetStageTitle(reduction.payout, checked.kept.size(), coverage.covered, coverage.total);
    return checked;
}

bool ForecastWindow::showsTheMergeOfItsControls() const
{
    return sameLines(*mergeOf(current(false), host_.ticket()), host_.ticket().full());
}

// Every click below merges. The lists are emptied first and the fusion type
// that merges them is clicked last, so that the choices' merges run on no
// horse and say nothing, and the one merge that counts, with its messages,
// is that of the forecast.
void ForecastWindow::apply(const Forecast& forecast, const Checked& checked)
{
    auto* bases = controls_.as<QListWidget>("lstBases");
    auto* outsiders = controls_.as<QListWidget>("lstOuts");
    auto* stake = controls_.as<QLineEdit>("txtUnite");
    // A stake that a merge accepts, whatever the box held.
    stake->setText(fromUtf8(torvanel::bets::RuleOf(forecast.betType).unitStake));
    // Conditions set on the window would filter the forecast's list.
    if (host_.ticket().hasConditions())
        host_.hostWindow().findChild<QAction*>(QStringLiteral("mnuListeComplete"))->trigger();
    controls_.as<QPushButton>("cmdVider", 0)->click();
    controls_.as<QPushButton>("cmdVider", 1)->click();
    controls_.as<QRadioButton>("Option1", 3)->click();
    controls_.as<QRadioButton>("OptionQuoi", int(forecast.betType))->click();
    for (int option : forecast.splits)
        controls_.as<QRadioButton>("OptionTierce", option)->click();
    for (std::size_t i = 0; i < forecast.include.size(); ++i)
        if (auto* box = controls_.as<QCheckBox>("ChkInclure", int(i)); box->isChecked() != forecast.include[i])
            box->click();

    controls_.as<QLineEdit>("txtPartants")->setText(forecast.starters);
    for (const auto& [list, entries] : {std::pair{bases, &forecast.bases}, std::pair{outsiders, &forecast.outsiders}})
        for (const forecast::Entry& entry : *entries) {
            auto* item = new QListWidgetItem(entry.text, list);
            item->setSelected(entry.selected);
        }
    stake->setText(forecast.stake);
    controls_.as<QRadioButton>("Option1", forecast.fusion)->click();

    WindowMessageSink messages(&host_.hostWindow());
    if (checked.keptByConditions && !host_.showConditions(*forecast.conditions, *checked.keptByConditions, messages))
        return;
    if (forecast.reduction)
        host_.showStage(torvanel::StageKind::Reduction, checked.kept, checked.reductionTitle, messages,
                        torvanel::ReducedFor{forecast.reduction->payout, forecast.reduction->budgetLines});
    host_.keepArrivalEntry(forecast.arrival.value_or(torvanel::ArrivalEntry{}));
}
