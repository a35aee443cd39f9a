#include "app/ForecastFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

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
    if (object->contains(QLatin1String("budgetLines"))) {
        problem = QStringLiteral("le champ « %1 » demande une réduction à un budget, que ce programme ne sait pas refaire")
                      .arg(budgetPath);
        return false;
    }
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
    Reduction reduction{payout->id, {}};
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
    return QJsonObject{{QStringLiteral("payout"), fromUtf8(bets::ClassOf(forecast.reduction->payout).key)},
                       {QStringLiteral("lines"), QJsonArray::fromStringList(forecast.reduction->lines)}};
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

// Read and written in this order: "reduction" reads "betType" first.
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
    {"reduction", false, readReduction, writeReduction},
    {"race", false, readText<&Forecast::race>, [](const Forecast& f) { return unlessEmpty(f.race); }},
    {"note", false, readText<&Forecast::note>, [](const Forecast& f) { return unlessEmpty(f.note); }},
};

// ---- Text for people ------------------------------------------------------------------

using Members = QList<std::pair<QString, QJsonValue>>;

// An object's members, those people read first first ("text" before
// "selected", the panels in their buttons' order), the others after them.
Members membersOf(const QJsonObject& object)
{
    static const QStringList first{QStringLiteral("text"),   QStringLiteral("selected"),   QStringLiteral("payout"),
                                   QStringLiteral("budgetLines"), QStringLiteral("lines"), QStringLiteral("tierce"),
                                   QStringLiteral("quarte"), QStringLiteral("quinte")};
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
