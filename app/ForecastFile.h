#pragma once
// A forecast file ("pronostic", *.torvanel): the punter's ticket as UTF-8
// JSON, for people to read and for other programs to write. It holds what
// the window needs to be built again: the starters, the two horse lists with
// their order and selection, every choice, the stake, the conditions on the
// lines, the reduction with its kept lines, the arrival checked with its
// payouts, and the punter's note. docs/forecast-format.md describes every
// field.
//
// Reading checks the whole file before anything uses it and says in French
// what is wrong; fields it does not know are ignored. The fields are rows of
// one table (ForecastFile.cpp): a new field is a member here and a row there.
// Only QtCore is used, so the reader also builds without a display (fuzz/).

#include "bets/BetRules.h"
#include "ticket/Arrival.h"
#include "ticket/Conditions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace forecast {

// The engine's UTF-8 texts (bet names, keys) as Qt text.
inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline constexpr int kVersion = 1;
inline constexpr const char* kFormat = "torvanel-forecast";
inline constexpr const char* kSuffix = "torvanel";
// Counts and places in a horse list are 16-bit.
inline constexpr int kMaxEntries = 32767;

// A panel of split buttons: the bet type it serves and the OptionTierce
// indexes on it, in their order on the panel.
struct SplitPanel {
    torvanel::BetType bet;
    std::span<const int> options;
    int atStart;  // the one chosen in a new window
};
// The Tiercé, Quarté and Quinté panels, in this order.
std::span<const SplitPanel> splitPanels();

// One entry of lstBases or lstOuts.
struct Entry {
    QString text;  // as the list holds it, hand-typed or not
    bool selected = false;
    bool operator==(const Entry&) const = default;
};

// A reduction that keeps a payout class paid: for every arrival, or for as
// many as a budget of lines can.
struct Reduction {
    torvanel::bets::PayoutClass payout = torvanel::bets::PayoutClass::QuinteBonus4;
    std::uint64_t budgetLines = 0;  // 0: the full guarantee
    QStringList lines;  // the kept lines as the list writes them ("03-07-01-05-09"), in list order
    bool operator==(const Reduction&) const = default;
};

// The members start as a new window starts.
struct Forecast {
    QString starters = QStringLiteral("18");  // txtPartants
    QList<Entry> bases;      // lstBases, top to bottom
    QList<Entry> outsiders;  // lstOuts
    torvanel::BetType betType = torvanel::BetType::Tierce;
    int fusion = 3;  // Option1
    // The chosen OptionTierce of each panel of splitPanels(), in the same order.
    std::array<int, 3> splits{1, 2, 5};
    std::array<bool, 2> include{};  // ChkInclure(0), (1)
    QString stake = QStringLiteral("1");  // txtUnite
    std::optional<torvanel::conditions::Conditions> conditions;  // never empty ones
    std::optional<Reduction> reduction;
    // The finishers as the program writes them ("12-3-7-1-5") and the
    // payouts typed for one unit stake, as the French write amounts ("12,4").
    std::optional<torvanel::ArrivalEntry> arrival;
    QString note;
    QString race;  // date, place, race number
    bool operator==(const Forecast&) const = default;
};

// A forecast, or what is wrong with the file, as the end of a French
// sentence: "le champ « betType » vaut « quadruple », qui n'est pas un type de pari".
struct Reading {
    std::optional<Forecast> forecast;
    QString problem;
};

Reading read(const QByteArray& bytes);

// The file's bytes, fields in the table's order, indented for people.
QByteArray write(const Forecast& forecast);

}  // namespace forecast
