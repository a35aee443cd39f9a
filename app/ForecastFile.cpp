#include "app/ForecastFile.h"

#include "ticket/Gains.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <vector>
#include <limits>
#include <utility>

namespace forecast {

namespace {

using torvanel::BetType;
namespace bets = torvanel::bets;

// The panels' buttons top to bottom, as the window lays them out.
constexpr int kTierceSplits[] = {0, 1};
constexpr int kQuarteSplits[] = {4, 2, 3};
constexpr int kQuinteSplits[] = {7, 5, 6};
constexpr SplitPanel kPanels[] = {
    {BetType::Tierce, kTierceSplits, 1},
    {BetType::Quarte, kQuarteSplits, 2},
    {BetType::Quinte, kQuinteSplits, 5},
};

// A container whose one-line text is this long or shorter is written on one line.
constexpr qsizetype kInlineWidth = 96;
// A value quoted in a message is cut after this many characters.
constexpr qsizetype kLongestQuote = 40;

// ---- What a message says of a field ------------------------------------------

QString member(const QString& path, const QString& name)
{
    return path + QLatin1Char('.') + name;
}

QString item(const QString& path, qsizetype index)
{
    return QStringLiteral("%1[%2]").arg(path).arg(index);
}

// A JSON value that is no container, as JSON writes it.
QByteArray scalarText(const QJsonValue& value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

// A value as a message quotes it: a text between « », a number as it is.
QString quoted(const QJsonValue& value)
{
    if (value.isString()) {
        QString text = value.toString();
        if (text.size() > kLongestQuote)
            text = text.left(kLongestQuote) + QStringLiteral("…");
        return QStringLiteral("« %1 »").arg(text);
    }
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    return QString::fromUtf8(scalarText(value));
}

QString missing(const QString& path)
{
    return QStringLiteral("le champ « %1 » manque").arg(path);
}

QString wrongType(const QString& path, const char* kind)
{
    return QStringLiteral("le champ « %1 » n'est pas %2").arg(path, QString::fromUtf8(kind));
}

QString outOfRange(const QString& path, const QJsonValue& value, const QString& what)
{
    return QStringLiteral("le champ « %1 » vaut %2, qui n'est pas %3").arg(path, quoted(value), what);
}

// ---- Values of each type: the value, or nothing and `problem` says why -------

// What each JSON type is called in a message, and how its value is taken.
template <class T>
struct JsonType;
template <>
struct JsonType<QString> {
    static constexpr const char* name = "un texte";
    static bool is(const QJsonValue& v) { return v.isString(); }
    static QString of(const QJsonValue& v) { return v.toString(); }
};
template <>
struct JsonType<bool> {
    static constexpr const char* name = "vrai ou faux (true ou false)";
    static bool is(const QJsonValue& v) { return v.isBool(); }
    static bool of(const QJsonValue& v) { return v.toBool(); }
};
template <>
struct JsonType<int> {
    static constexpr const char* name = "un nombre entier";
    static bool is(const QJsonValue& v)
    {
        const double number = v.toDouble();
        return v.isDouble() && std::isfinite(number) && number == std::trunc(number)
            && number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max();
    }
    static int of(const QJsonValue& v) { return static_cast<int>(v.toDouble()); }
};
template <>
struct JsonType<QJsonArray> {
    static constexpr const char* name = "une liste";
    static bool is(const QJsonValue& v) { return v.isArray(); }
    static QJsonArray of(const QJsonValue& v) { return v.toArray(); }
};
template <>
struct JsonType<QJsonObject> {
    static constexpr const char* name = "un objet";
    static bool is(const QJsonValue& v) { return v.isObject(); }
    static QJsonObject of(const QJsonValue& v) { return v.toObject(); }
};

// The value as a T, or nothing when it is of another type, and `problem` says so.
template <class T>
std::optional<T> as(const QJsonValue& value, const QString& path, QString& problem)
{
    if (JsonType<T>::is(value))
        return JsonType<T>::of(value);
    problem = wrongType(path, JsonType<T>::name);
    return std::nullopt;
}

// A whole number from `low` to `high`, or nothing and `problem` says why.
std::optional<int> wholeIn(const QJsonValue& value, const QString& path, int low, int high, const char* what,
                           QString& problem)
{
    const std::optional<int> number = as<int>(value, path, problem);
    if (number && (*number < low || *number > high)) {
        problem = outOfRange(path, value, QStringLiteral("%1 (de %2 à %3)").arg(QString::fromUtf8(what)).arg(low).arg(high));
        return std::nullopt;
    }
    return number;
}

// ---- The fields ---------------------------------------------------------------

const bets::BetRule* betOfKey(const QString& key)
{
    for (const bets::BetRule& bet : bets::AllBets())
        if (key == fromUtf8(bet.key))
            return &bet;
    return nullptr;
}

const bets::ClassRule* guaranteedClassOfKey(BetType bet, const QString& key)
{
    for (const bets::ClassRule& rule : bets::RuleOf(bet).classes)
        if (rule.guaranteeable && key == fromUtf8(rule.key))
            return &rule;
    return nullptr;
}

bool readFormat(const QJsonValue& value, const QString& path, Forecast&, QString& problem)
{
    const std::optional<QString> format = as<QString>(value, path, problem);
    if (format && *format != QLatin1String(kFormat))
        problem = QStringLiteral("le champ « %1 » vaut %2 au lieu de « %3 » : ce n'est pas un pronostic")
                      .arg(path, quoted(value), QLatin1String(kFormat));
    return problem.isEmpty();
}

bool readVersion(const QJsonValue& value, const QString& path, Forecast&, QString& problem)
{
    const std::optional<int> version = as<int>(value, path, problem);
    if (!version)
        return false;
    if (*version > kVersion)
        problem = QStringLiteral("il suit la version %1 du format, plus récente que la version %2 que ce programme lit")
                      .arg(*version)
                      .arg(kVersion);
    else if (*version < 1)
        problem = outOfRange(path, value, QStringLiteral("une version du format"));
    return problem.isEmpty();
}

// A text field: its value as it is.
template <QString Forecast::*field>
bool readText(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QString> text = as<QString>(value, path, problem);
    if (text)
        forecast.*field = *text;
    return text.has_value();
}

// A horse list: its entries top to bottom.
template <QList<Entry> Forecast::*field>
bool readEntries(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    QList<Entry>& entries = forecast.*field;
    const std::optional<QJsonArray> list = as<QJsonArray>(value, path, problem);
    if (!list)
        return false;
    if (list->size() > kMaxEntries) {
        problem = QStringLiteral("le champ « %1 » compte %2 entrées, plus que les %3 qu'une liste de chevaux peut tenir")
                      .arg(path)
                      .arg(list->size())
                      .arg(kMaxEntries);
        return false;
    }
    for (qsizetype i = 0; i < list->size(); ++i) {
        const QString at = item(path, i);
        const std::optional<QJsonObject> object = as<QJsonObject>(list->at(i), at, problem);
        if (!object)
            return false;
        if (!object->contains(QLatin1String("text"))) {
            problem = missing(member(at, QStringLiteral("text")));
            return false;
        }
        Entry entry;
        const std::optional<QString> text = as<QString>(object->value(QLatin1String("text")), member(at, QStringLiteral("text")), problem);
        if (!text)
            return false;
        entry.text = *text;
        if (object->contains(QLatin1String("selected"))) {
            const std::optional<bool> selected =
                as<bool>(object->value(QLatin1String("selected")), member(at, QStringLiteral("selected")), problem);
            if (!selected)
                return false;
            entry.selected = *selected;
        }
        entries.append(entry);
    }
    return true;
}

bool readBetType(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QString> key = as<QString>(value, path, problem);
    if (!key)
        return false;
    const bets::BetRule* bet = betOfKey(*key);
    if (!bet) {
        problem = outOfRange(path, value, QStringLiteral("un type de pari"));
        return false;
    }
    forecast.betType = bet->type;
    // What the bet's button writes in the stake box, until "stake" says otherwise.
    forecast.stake = fromUtf8(bet->unitStake);
    return true;
}

bool readFusion(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<int> fusion = as<int>(value, path, problem);
    if (fusion && (*fusion < 0 || *fusion > 3))
        problem = outOfRange(path, value, QStringLiteral("un type de fusion (de 0 à 3)"));
    forecast.fusion = fusion.value_or(0);
    return problem.isEmpty();
}

QString optionsText(std::span<const int> options)
{
    std::vector<int> sorted(options.begin(), options.end());
    std::sort(sorted.begin(), sorted.end());
    QStringList texts;
    for (int option : sorted)
        texts << QString::number(option);
    const QString last = texts.takeLast();
    return texts.join(QStringLiteral(", ")) + QStringLiteral(" ou ") + last;
}

bool readSplits(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QJsonObject> object = as<QJsonObject>(value, path, problem);
    if (!object)
        return false;
    for (std::size_t p = 0; p < std::size(kPanels); ++p) {
        const SplitPanel& panel = kPanels[p];
        const QString key = fromUtf8(bets::RuleOf(panel.bet).key);
        if (!object->contains(key))
            continue;
        const QString at = member(path, key);
        const std::optional<int> split = as<int>(object->value(key), at, problem);
        if (!split)
            return false;
        if (std::find(panel.options.begin(), panel.options.end(), *split) == panel.options.end()) {
            problem = outOfRange(at, object->value(key),
                                 QStringLiteral("une répartition du %1 (%2)")
                                     .arg(fromUtf8(bets::RuleOf(panel.bet).name), optionsText(panel.options)));
            return false;
        }
        forecast.splits[p] = *split;
    }
    return true;
}

bool readInclude(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QJsonArray> list = as<QJsonArray>(value, path, problem);
    if (!list)
        return false;
    if (list->size() != qsizetype(forecast.include.size())) {
        problem = QStringLiteral("le champ « %1 » compte %2 valeurs au lieu de 2").arg(path).arg(list->size());
        return false;
    }
    for (std::size_t i = 0; i < forecast.include.size(); ++i) {
        const std::optional<bool> included = as<bool>(list->at(qsizetype(i)), item(path, qsizetype(i)), problem);
        if (!included)
            return false;
        forecast.include[i] = *included;
    }
    return true;
}

bool readReduction(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QJsonObject> object = as<QJsonObject>(value, path, problem);
    if (!object)
        return false;
    const QString payoutPath = member(path, QStringLiteral("payout"));
    const QString linesPath = member(path, QStringLiteral("lines"));
    const QString budgetPath = member(path, QStringLiteral("budgetLines"));
    for (const QString& needed : {payoutPath, linesPath})
        if (!object->contains(needed.section(QLatin1Char('.'), -1))) {
            problem = missing(needed);
            return false;
        }
    const QJsonValue payoutValue = object->value(QLatin1String("payout"));
    const std::optional<QString> key = as<QString>(payoutValue, payoutPath, problem);
    if (!key)
        return false;
    const bets::ClassRule* payout = guaranteedClassOfKey(forecast.betType, *key);
    if (!payout) {
        problem = outOfRange(payoutPath, payoutValue,
                             QStringLiteral("un rapport qu'une réduction garantit au %1")
                                 .arg(fromUtf8(bets::RuleOf(forecast.betType).name)));
        return false;
    }
    const std::optional<QJsonArray> list = as<QJsonArray>(object->value(QLatin1String("lines")), linesPath, problem);
    if (!list)
        return false;
    Reduction reduction{payout->id, 0, {}};
    if (object->contains(QLatin1String("budgetLines"))) {
        const std::optional<int> budget = wholeIn(object->value(QLatin1String("budgetLines")), budgetPath, 1,
                                                  std::numeric_limits<int>::max(), "un nombre de lignes", problem);
        if (!budget)
            return false;
        reduction.budgetLines = static_cast<std::uint64_t>(*budget);
    }
    reduction.lines.reserve(list->size());
    for (qsizetype i = 0; i < list->size(); ++i) {
        const std::optional<QString> line = as<QString>(list->at(i), item(linesPath, i), problem);
        if (!line)
            return false;
        reduction.lines << *line;
    }
    forecast.reduction = std::move(reduction);
    return true;
}

// ---- Conditions and arrival ----------------------------------------------------

namespace cond = torvanel::conditions;

// A member of `object`: nothing said when it is absent and optional.
std::optional<QJsonValue> memberOf(const QJsonObject& object, const QString& path, const char* name, bool required,
                                   QString& problem)
{
    const QString key = QLatin1String(name);
    if (object.contains(key))
        return object.value(key);
    if (required)
        problem = missing(member(path, key));
    return std::nullopt;
}

// Horse numbers, at least `fewest` of them.
std::optional<std::vector<torvanel::HorseNumber>> horsesIn(const QJsonValue& value, const QString& path,
                                                           qsizetype fewest, QString& problem)
{
    const std::optional<QJsonArray> list = as<QJsonArray>(value, path, problem);
    if (!list)
        return std::nullopt;
    if (list->size() < fewest || list->size() > kMaxEntries) {
        problem = QStringLiteral("le champ « %1 » compte %2 numéros, au lieu de %3 à %4")
                      .arg(path)
                      .arg(list->size())
                      .arg(fewest)
                      .arg(kMaxEntries);
        return std::nullopt;
    }
    std::vector<torvanel::HorseNumber> horses;
    for (qsizetype i = 0; i < list->size(); ++i) {
        const std::optional<int> horse =
            wholeIn(list->at(i), item(path, i), 0, std::numeric_limits<torvanel::HorseNumber>::max(),
                    "un numéro de cheval", problem);
        if (!horse)
            return std::nullopt;
        horses.push_back(static_cast<torvanel::HorseNumber>(*horse));
    }
    return horses;
}

// [low, high], each from `low` to `high`, the first no greater than the second.
std::optional<cond::Range> rangeIn(const QJsonValue& value, const QString& path, int low, int high, const char* what,
                                   QString& problem)
{
    const std::optional<QJsonArray> pair = as<QJsonArray>(value, path, problem);
    if (!pair)
        return std::nullopt;
    if (pair->size() != 2) {
        problem = QStringLiteral("le champ « %1 » compte %2 valeurs au lieu de 2 (au moins, au plus)").arg(path).arg(pair->size());
        return std::nullopt;
    }
    const std::optional<int> least = wholeIn(pair->at(0), item(path, 0), low, high, what, problem);
    const std::optional<int> most = least ? wholeIn(pair->at(1), item(path, 1), low, high, what, problem) : std::nullopt;
    if (!most)
        return std::nullopt;
    if (*least > *most) {
        problem = QStringLiteral("le champ « %1 » demande au moins %2 et au plus %3").arg(path).arg(*least).arg(*most);
        return std::nullopt;
    }
    return cond::Range{*least, *most};
}

// How many horses of a line. Conditions stay set when the bet type changes,
// so a count may exceed the line size of the bet saved with them: it is
// then met by every line (at most) or by none (at least), as in the window.
constexpr const char* kPerLine = "un nombre de chevaux par ligne";
constexpr int kMostPerLine = kMaxEntries;
// A sum of numbers as the dialog takes it.
constexpr int kLargestSum = 999'999'999;

bool readGroup(const QJsonValue& value, const QString& path, int lineSize, cond::Conditions& conditions,
               QString& problem)
{
    const std::optional<QJsonObject> object = as<QJsonObject>(value, path, problem);
    if (!object)
        return false;
    cond::Group group{{}, {}, {0, lineSize}};  // the dialog's defaults
    if (const auto name = memberOf(*object, path, "name", false, problem)) {
        const std::optional<QString> text = as<QString>(*name, member(path, QStringLiteral("name")), problem);
        if (!text)
            return false;
        group.name = text->toStdString();
    }
    const auto horses = memberOf(*object, path, "horses", true, problem);
    const auto numbers = horses ? horsesIn(*horses, member(path, QStringLiteral("horses")), 1, problem) : std::nullopt;
    if (!numbers)
        return false;
    group.horses = *numbers;
    for (const auto& [name, bound] : {std::pair{"min", &group.count.low}, std::pair{"max", &group.count.high}})
        if (const auto limit = memberOf(*object, path, name, false, problem)) {
            const auto count = wholeIn(*limit, member(path, QLatin1String(name)), 0, kMostPerLine, kPerLine, problem);
            if (!count)
                return false;
            *bound = *count;
        }
    if (group.count.low > group.count.high) {
        problem = QStringLiteral("le champ « %1 » demande au moins %2 et au plus %3 chevaux du groupe")
                      .arg(path)
                      .arg(group.count.low)
                      .arg(group.count.high);
        return false;
    }
    conditions.groups.push_back(std::move(group));
    return true;
}

bool readConditions(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QJsonObject> object = as<QJsonObject>(value, path, problem);
    if (!object)
        return false;
    const int lineSize = bets::RuleOf(forecast.betType).lineSize;
    cond::Conditions conditions;
    if (const auto groups = memberOf(*object, path, "groups", false, problem)) {
        const QString at = member(path, QStringLiteral("groups"));
        const std::optional<QJsonArray> list = as<QJsonArray>(*groups, at, problem);
        if (!list)
            return false;
        if (list->size() > qsizetype(cond::kMostGroups)) {
            problem = QStringLiteral("le champ « %1 » compte %2 groupes, plus que les %3 que le dialogue tient")
                          .arg(at)
                          .arg(list->size())
                          .arg(cond::kMostGroups);
            return false;
        }
        for (qsizetype i = 0; i < list->size(); ++i)
            if (!readGroup(list->at(i), item(at, i), lineSize, conditions, problem))
                return false;
    }
    if (const auto forbidden = memberOf(*object, path, "forbidden", false, problem)) {
        const QString at = member(path, QStringLiteral("forbidden"));
        const std::optional<QJsonArray> list = as<QJsonArray>(*forbidden, at, problem);
        if (!list)
            return false;
        for (qsizetype i = 0; i < list->size() && problem.isEmpty(); ++i)
            if (const auto set = horsesIn(list->at(i), item(at, i), 2, problem))
                conditions.forbidden.push_back(*set);
        if (!problem.isEmpty())
            return false;
    }
    if (const auto run = memberOf(*object, path, "consecutiveMax", false, problem)) {
        const auto longest = wholeIn(*run, member(path, QStringLiteral("consecutiveMax")), 1, kMostPerLine,
                                     "une longueur de suite", problem);
        if (!longest)
            return false;
        conditions.longestRun = *longest;
    }
    const struct {
        const char* name;
        std::optional<cond::Range>* range;
        int low;
        int high;
        const char* what;
    } ranges[] = {{"sum", &conditions.sum, -kLargestSum, kLargestSum, "une somme de numéros"},
                  {"even", &conditions.even, 0, kMostPerLine, kPerLine}};
    for (const auto& r : ranges)
        if (const auto pair = memberOf(*object, path, r.name, false, problem)) {
            *r.range = rangeIn(*pair, member(path, QLatin1String(r.name)), r.low, r.high, r.what, problem);
            if (!*r.range)
                return false;
        }
    if (const auto small = memberOf(*object, path, "small", false, problem)) {
        const QString at = member(path, QStringLiteral("small"));
        const std::optional<QJsonObject> parts = as<QJsonObject>(*small, at, problem);
        const auto limit = parts ? memberOf(*parts, at, "limit", true, problem) : std::nullopt;
        const auto largest = limit ? wholeIn(*limit, member(at, QStringLiteral("limit")), 0,
                                             std::numeric_limits<torvanel::HorseNumber>::max(), "un numéro de cheval",
                                             problem)
                                   : std::nullopt;
        if (!largest)
            return false;
        conditions.smallLimit = *largest;
        // Without a range, the limit the dialog shows and no condition.
        if (const auto range = memberOf(*parts, at, "range", false, problem)) {
            conditions.small = rangeIn(*range, member(at, QStringLiteral("range")), 0, kMostPerLine, kPerLine, problem);
            if (!conditions.small)
                return false;
        }
    }
    // Conditions that keep every line are none (a small numbers' limit alone included).
    if (!conditions.empty())
        forecast.conditions = std::move(conditions);
    return true;
}

// The largest payout taken for one unit stake.
constexpr double kLargestPayout = 1e9;

// An amount as the French write it, as the arrival dialog shows it typed.
QString amountText(double amount)
{
    QLocale french(QLocale::French, QLocale::France);
    french.setNumberOptions(QLocale::OmitGroupSeparator);
    return french.toString(amount, 'f', QLocale::FloatingPointShortest);
}

bool readArrival(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem)
{
    const std::optional<QJsonObject> object = as<QJsonObject>(value, path, problem);
    const auto finishers = object ? memberOf(*object, path, "finishers", true, problem) : std::nullopt;
    const QString finishersPath = member(path, QStringLiteral("finishers"));
    const auto horses = finishers ? horsesIn(*finishers, finishersPath, 1, problem) : std::nullopt;
    if (!horses)
        return false;
    for (auto h = horses->begin(); h != horses->end(); ++h)
        if (std::find(horses->begin(), h, *h) != h) {
            problem = QStringLiteral("le champ « %1 » nomme deux fois le %2").arg(finishersPath).arg(*h);
            return false;
        }
    torvanel::ArrivalEntry arrival{torvanel::ArrivalText(*horses), {}};
    if (const auto payouts = memberOf(*object, path, "payouts", false, problem)) {
        const QString at = member(path, QStringLiteral("payouts"));
        const std::optional<QJsonObject> amounts = as<QJsonObject>(*payouts, at, problem);
        if (!amounts)
            return false;
        const bets::BetRule& bet = bets::RuleOf(forecast.betType);
        for (auto it = amounts->begin(); it != amounts->end(); ++it) {
            const QString amountPath = member(at, it.key());
            const auto rule = std::find_if(bet.classes.begin(), bet.classes.end(),
                                           [&](const bets::ClassRule& c) { return it.key() == fromUtf8(c.key); });
            if (rule == bet.classes.end()) {
                problem = QStringLiteral("le champ « %1 » n'est pas un rapport du %2").arg(amountPath, fromUtf8(bet.name));
                return false;
            }
            const double amount = it.value().toDouble(-1);
            if (!it.value().isDouble() || !(amount >= 0 && amount <= kLargestPayout)) {
                problem = outOfRange(amountPath, it.value(), QStringLiteral("un rapport en euros (de 0 à 1 000 000 000)"));
                return false;
            }
            arrival.payouts[rule->id] = amountText(amount).toStdString();
        }
    }
    forecast.arrival = std::move(arrival);
    return true;
}

// ---- Writing each field ------------------------------------------------------------

using Written = std::optional<QJsonValue>;  // nothing: the field is left out

QJsonArray entriesValue(const QList<Entry>& entries)
{
    QJsonArray list;
    for (const Entry& entry : entries)
        list.append(QJsonObject{{QStringLiteral("text"), entry.text}, {QStringLiteral("selected"), entry.selected}});
    return list;
}

Written writeSplits(const Forecast& forecast)
{
    QJsonObject splits;
    for (std::size_t p = 0; p < std::size(kPanels); ++p)
        splits.insert(fromUtf8(bets::RuleOf(kPanels[p].bet).key), forecast.splits[p]);
    return splits;
}

Written writeReduction(const Forecast& forecast)
{
    if (!forecast.reduction)
        return std::nullopt;
    QJsonObject reduction{{QStringLiteral("payout"), fromUtf8(bets::ClassOf(forecast.reduction->payout).key)},
                          {QStringLiteral("lines"), QJsonArray::fromStringList(forecast.reduction->lines)}};
    if (forecast.reduction->budgetLines > 0)
        reduction.insert(QStringLiteral("budgetLines"), static_cast<qint64>(forecast.reduction->budgetLines));
    return reduction;
}

QJsonArray horsesValue(const std::vector<torvanel::HorseNumber>& horses)
{
    QJsonArray list;
    for (torvanel::HorseNumber horse : horses)
        list.append(horse);
    return list;
}

QJsonArray rangeValue(const cond::Range& range)
{
    return QJsonArray{static_cast<qint64>(range.low), static_cast<qint64>(range.high)};
}

Written writeConditions(const Forecast& forecast)
{
    if (!forecast.conditions)
        return std::nullopt;
    const cond::Conditions& c = *forecast.conditions;
    QJsonObject conditions;
    if (!c.groups.empty()) {
        QJsonArray groups;
        for (const cond::Group& group : c.groups)
            groups.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(group.name)},
                                      {QStringLiteral("horses"), horsesValue(group.horses)},
                                      {QStringLiteral("min"), static_cast<qint64>(group.count.low)},
                                      {QStringLiteral("max"), static_cast<qint64>(group.count.high)}});
        conditions.insert(QStringLiteral("groups"), groups);
    }
    if (!c.forbidden.empty()) {
        QJsonArray forbidden;
        for (const auto& set : c.forbidden)
            forbidden.append(horsesValue(set));
        conditions.insert(QStringLiteral("forbidden"), forbidden);
    }
    if (c.longestRun)
        conditions.insert(QStringLiteral("consecutiveMax"), *c.longestRun);
    if (c.sum)
        conditions.insert(QStringLiteral("sum"), rangeValue(*c.sum));
    if (c.even)
        conditions.insert(QStringLiteral("even"), rangeValue(*c.even));
    QJsonObject small{{QStringLiteral("limit"), c.smallLimit}};
    if (c.small)
        small.insert(QStringLiteral("range"), rangeValue(*c.small));
    if (c.small || c.smallLimit != 0)
        conditions.insert(QStringLiteral("small"), small);
    return conditions;
}

// The arrival as typed: left out when its finishers cannot be read, and a
// payout that is no amount is left out.
Written writeArrival(const Forecast& forecast)
{
    if (!forecast.arrival)
        return std::nullopt;
    const torvanel::ArrivalReading finishers = torvanel::ReadArrival(forecast.arrival->finishers);
    if (!finishers.refusal.empty())
        return std::nullopt;
    QJsonObject payouts;
    for (const auto& [payout, typed] : forecast.arrival->payouts)
        if (const torvanel::PayoutReading amount = torvanel::ReadPayout(typed);
            amount.amount && *amount.amount >= 0 && *amount.amount <= kLargestPayout)
            payouts.insert(fromUtf8(bets::ClassOf(payout).key), *amount.amount);
    QJsonArray horses;
    for (torvanel::HorseNumber horse : finishers.finishers)
        horses.append(horse);
    QJsonObject arrival{{QStringLiteral("finishers"), horses}};
    if (!payouts.isEmpty())
        arrival.insert(QStringLiteral("payouts"), payouts);
    return arrival;
}

Written unlessEmpty(const QString& text)
{
    return text.isEmpty() ? Written() : Written(text);
}

// ---- The table ---------------------------------------------------------------------

struct Field {
    const char* name;
    bool required;
    // Reads the field's value into the forecast; false, with `problem` said, when it is wrong.
    bool (*read)(const QJsonValue& value, const QString& path, Forecast& forecast, QString& problem);
    Written (*write)(const Forecast& forecast);
};

// Read and written in this order: "conditions", "reduction" and "arrival" read "betType" first.
const Field kFields[] = {
    {"format", true, readFormat, [](const Forecast&) { return Written(QLatin1String(kFormat)); }},
    {"version", true, readVersion, [](const Forecast&) { return Written(kVersion); }},
    {"starters", false, readText<&Forecast::starters>, [](const Forecast& f) { return Written(f.starters); }},
    {"bases", true, readEntries<&Forecast::bases>, [](const Forecast& f) { return Written(entriesValue(f.bases)); }},
    {"outsiders", true, readEntries<&Forecast::outsiders>, [](const Forecast& f) { return Written(entriesValue(f.outsiders)); }},
    {"betType", true, readBetType, [](const Forecast& f) { return Written(fromUtf8(bets::RuleOf(f.betType).key)); }},
    {"fusion", false, readFusion, [](const Forecast& f) { return Written(f.fusion); }},
    {"splits", false, readSplits, writeSplits},
    {"include", false, readInclude,
     [](const Forecast& f) { return Written(QJsonArray{f.include[0], f.include[1]}); }},
    {"stake", false, readText<&Forecast::stake>, [](const Forecast& f) { return Written(f.stake); }},
    {"conditions", false, readConditions, writeConditions},
    {"reduction", false, readReduction, writeReduction},
    {"arrival", false, readArrival, writeArrival},
    {"race", false, readText<&Forecast::race>, [](const Forecast& f) { return unlessEmpty(f.race); }},
    {"note", false, readText<&Forecast::note>, [](const Forecast& f) { return unlessEmpty(f.note); }},
};

// ---- Text for people ------------------------------------------------------------------

using Members = QList<std::pair<QString, QJsonValue>>;

// An object's members, those people read first first ("text" before
// "selected", the panels in their buttons' order), the others after them.
Members membersOf(const QJsonObject& object)
{
    static const QStringList first{
        QStringLiteral("text"),    QStringLiteral("selected"),  QStringLiteral("payout"), QStringLiteral("budgetLines"),
        QStringLiteral("lines"),   QStringLiteral("tierce"),    QStringLiteral("quarte"), QStringLiteral("quinte"),
        QStringLiteral("name"),    QStringLiteral("horses"),    QStringLiteral("min"),    QStringLiteral("max"),
        QStringLiteral("groups"),  QStringLiteral("forbidden"), QStringLiteral("consecutiveMax"), QStringLiteral("sum"),
        QStringLiteral("even"),    QStringLiteral("small"),     QStringLiteral("limit"),  QStringLiteral("range"),
        QStringLiteral("finishers"), QStringLiteral("payouts")};
    Members members;
    for (auto it = object.begin(); it != object.end(); ++it)
        members.append({it.key(), it.value()});
    const auto rank = [](const QString& key) {
        const qsizetype at = first.indexOf(key);
        return at < 0 ? first.size() : at;
    };
    std::stable_sort(members.begin(), members.end(),
                     [&rank](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
    return members;
}

QByteArray oneLine(const QJsonValue& value)
{
    QByteArray text;
    if (value.isArray()) {
        const QJsonArray list = value.toArray();
        text += '[';
        for (qsizetype i = 0; i < list.size(); ++i)
            text += (i ? ", " : "") + oneLine(list.at(i));
        return text + ']';
    }
    if (value.isObject()) {
        const Members members = membersOf(value.toObject());
        text += '{';
        for (qsizetype i = 0; i < members.size(); ++i)
            text += (i ? ", " : "") + scalarText(members[i].first) + ": " + oneLine(members[i].second);
        return text + '}';
    }
    return scalarText(value);
}

void writeValue(QByteArray& out, const QJsonValue& value, int depth);

// The items of an object (`keyed`) or a list, one to a line.
void writeItems(QByteArray& out, const Members& items, bool keyed, int depth)
{
    const QByteArray indent(2 * (depth + 1), ' ');
    out += keyed ? "{\n" : "[\n";
    for (qsizetype i = 0; i < items.size(); ++i) {
        out += indent;
        if (keyed)
            out += scalarText(items[i].first) + ": ";
        writeValue(out, items[i].second, depth + 1);
        out += i + 1 < items.size() ? ",\n" : "\n";
    }
    out += QByteArray(2 * depth, ' ') + (keyed ? '}' : ']');
}

// A container too long for one line takes one line per item.
void writeValue(QByteArray& out, const QJsonValue& value, int depth)
{
    const QByteArray flat = oneLine(value);
    if (flat.size() <= kInlineWidth || !(value.isArray() || value.isObject())) {
        out += flat;
        return;
    }
    if (value.isObject()) {
        writeItems(out, membersOf(value.toObject()), true, depth);
        return;
    }
    Members items;
    for (const QJsonValue item : value.toArray())
        items.append({QString(), item});
    writeItems(out, items, false, depth);
}

}  // namespace

std::span<const SplitPanel> splitPanels()
{
    return kPanels;
}

Reading read(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return {std::nullopt, QStringLiteral("son texte n'est pas du JSON valide (erreur à l'octet %1)").arg(error.offset)};
    if (!document.isObject())
        return {std::nullopt, QStringLiteral("son texte n'est pas un objet JSON")};
    const QJsonObject object = document.object();
    Forecast forecast;
    QString problem;
    for (const Field& field : kFields) {
        const QString name = QLatin1String(field.name);
        if (!object.contains(name)) {
            if (field.required)
                return {std::nullopt, missing(name)};
            continue;
        }
        if (!field.read(object.value(name), name, forecast, problem))
            return {std::nullopt, problem};
    }
    return {std::move(forecast), {}};
}

QByteArray write(const Forecast& forecast)
{
    Members members;
    for (const Field& field : kFields)
        if (const Written value = field.write(forecast))
            members.append({QLatin1String(field.name), *value});
    QByteArray out;
    writeItems(out, members, true, 0);
    return out + '\n';
}

}  // namespace forecast
