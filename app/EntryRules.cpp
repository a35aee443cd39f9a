#include "app/EntryRules.h"

#include "generators/Numbers.h"

#include <cstdint>
#include <limits>

namespace torvanel::entry {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the text begins with a number as ReadNumber reads it: blanks
// anywhere, a sign, a point, then a digit. "0" does, "" and "abc" do not,
// though all three read as 0.
bool BeginsWithNumber(std::string_view text)
{
    std::size_t i = 0;
    const auto skipBlanks = [&] { while (i < text.size() && IsBlank(text[i])) ++i; };
    const auto skipOne = [&](char a, char b) {
        if (i < text.size() && (text[i] == a || text[i] == b)) ++i;
        skipBlanks();
    };
    skipBlanks();
    skipOne('+', '-');
    skipOne('.', '.');
    return i < text.size() && IsDigit(text[i]);
}

// A number as the messages write it: NumberText without its leading blank.
std::string PlainNumber(double value)
{
    std::string text = NumberText(value);
    if (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

bool FitsHorseNumber(double value)
{
    const double horse = RoundHalfEven(value);
    return horse >= std::numeric_limits<std::int16_t>::min() && horse <= std::numeric_limits<std::int16_t>::max();
}

InsertDecision Refuse(InsertDecision::Verdict verdict, std::string message)
{
    return {verdict, std::move(message)};
}

}  // namespace

InsertDecision DecideInsert(std::string_view startersText, std::string_view typed, int entryCount)
{
    using Verdict = InsertDecision::Verdict;
    // Without a starters count there is nothing to compare with; the typed
    // number stays in its box for when the count has been given.
    if (!BeginsWithNumber(startersText))
        return Refuse(Verdict::RefuseAndKeep,
                      "Le nombre de partants n'est pas indiqué. Tapez-le d'abord dans la case "
                      "« Nombre de partants », puis validez de nouveau votre numéro.");

    const double starters = ReadNumber(startersText);
    const double horse = ReadNumber(typed);
    if (horse > starters)
        return Refuse(Verdict::RefuseAndClear,
                      "Le nombre de partants étant de" + PlainNumber(starters) +
                          ", vous ne pouvez pas insérer un cheval avec le numéro " + std::string(typed) +
                          ". Veuillez recommencer.");
    // Reachable with a large negative number, or a starters count above the
    // 16-bit range typed without ENTER: the merge could not read such a horse.
    if (!FitsHorseNumber(horse))
        return Refuse(Verdict::RefuseAndKeep,
                      "Le numéro " + std::string(typed) +
                          " est hors des limites : un numéro de cheval doit être compris entre -32768 et "
                          "32767. Veuillez le corriger.");
    if (entryCount >= kMaxEntries)
        return Refuse(Verdict::RefuseAndKeep,
                      "La liste contient déjà " + std::to_string(kMaxEntries) +
                          " chevaux : vous ne pouvez pas en insérer davantage.");
    return {Verdict::Append, {}};
}

bool IsWorthless(std::string_view entry)
{
    return ReadNumber(entry) == 0.0;
}

std::string PositionQuestion(std::string_view entry)
{
    return "En quelle position est-ce que le cheval" + NumberText(ReadNumber(entry)) + " va aller?";
}

PositionAnswer ReadPositionAnswer(std::string_view answer, int entryCount)
{
    using Kind = PositionAnswer::Kind;
    if (answer.empty())
        return {Kind::Nothing, -1, {}};
    // The place is the answer minus one, rounded with halves to the even one.
    const double row = RoundHalfEven(ReadNumber(answer) - 1.0);
    if (!BeginsWithNumber(answer) || !(row >= 0.0 && row < entryCount))
        return {Kind::Refused, -1,
                "La position « " + std::string(answer) + " » n'existe pas : tapez un nombre de 1 à " +
                    std::to_string(entryCount) + ". Le cheval reste à sa place."};
    return {Kind::Move, static_cast<int>(row), {}};
}

}  // namespace torvanel::entry
