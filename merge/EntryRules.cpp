#include "merge/EntryRules.h"

#include "generators/Numbers.h"
#include "merge/SelectionState.h"

namespace torvanel::entry {
namespace {

// A number as the messages write it: NumberText without its leading blank.
std::string PlainNumber(double value)
{
    std::string text = NumberText(value);
    if (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
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
    if (!EntryHorseNumber(std::string(typed)))
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
