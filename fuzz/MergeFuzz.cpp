// The merge engine fed random starter lists (numbers written every which way,
// duplicates, huge and negative numbers, empty entries, random bytes) and
// random choices, a few merges in a row. After each merge:
// - the count is the sum of the blocks' counts and never above the cap;
// - every line has k numbers and k - 1 "-", made of its block's horses in
//   list order, and the lines of small blocks are exactly those of nested
//   loops; a line read by index is the line met when walking the list;
// - the conflict check answers as a plain search over the loaded groups, and
//   in fusion mode 3 a merge is refused exactly when a plain search over the
//   selected entries finds a horse in both lists, naming the first one;
// - the labels give the count and the count times the stake.

#include "FuzzCheck.h"
#include "generators/Numbers.h"
#include "merge/ConflictCheck.h"
#include "merge/MergeEngine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace torvanel;

namespace {

constexpr std::uint64_t kWalkedLines = 400;    // lines read per merge
constexpr std::uint64_t kEnumeratedBlock = 200;  // blocks this small are compared line by line

class Recorder : public MessageSink {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// ---- Random input ----------------------------------------------------------

std::string PickOne(FuzzedDataProvider& data, std::initializer_list<const char*> texts) {
    const auto index = data.ConsumeIntegralInRange<std::size_t>(0, texts.size() - 1);
    return *(texts.begin() + index);
}

std::string EntryText(FuzzedDataProvider& data, int low) {
    std::string horse = std::to_string(data.ConsumeIntegralInRange<int>(low, low + 11));
    switch (data.ConsumeIntegralInRange<int>(0, 9)) {
    case 0:
        return " 0" + horse + " ";
    case 1:
        return horse + PickOne(data, {".5", ".4999", ".5000001", "e0", "D1", "E-1", " . 0", ",5", "abc"});
    case 2:
        return PickOne(data, {"-5", "0", "-0", "32767", "32767.4", "32767.5", "32768", "-32768",
                              "-32768.5", "-32769", "99999", "-40000", "1e400", "-1e400", "1e-400",
                              "123456789012345678901234567890"});
    case 3:
        return std::to_string(data.ConsumeIntegral<std::int32_t>());
    case 4:
        return PickOne(data, {"", " ", "\t", "+", "-", ".", "e5", "abc", "1,5", "\n7"});
    case 5:
        return data.ConsumeRandomLengthString(12);
    default:
        return horse;  // plain numbers, most of them, with many duplicates
    }
}

StarterList Starters(FuzzedDataProvider& data) {
    const int low = data.ConsumeIntegralInRange<int>(1, 13);
    const std::size_t longest = data.ConsumeIntegralInRange<int>(0, 15) == 0 ? 300 : 24;
    StarterList list(data.ConsumeIntegralInRange<std::size_t>(0, longest));
    const int selectOneIn = data.ConsumeIntegralInRange<int>(1, 4);
    for (StarterEntry& entry : list) {
        entry.text = EntryText(data, low);
        entry.selected = data.ConsumeIntegralInRange<int>(1, selectOneIn) == 1;
    }
    return list;
}

// As the window gives them (one split set on each panel), or any bits at all.
MergeChoices Choices(FuzzedDataProvider& data) {
    MergeChoices choices;
    const int bet = data.ConsumeIntegralInRange<int>(0, 20);
    choices.betType = static_cast<BetType>(bet <= 4 ? bet : bet == 20 ? 5 : bet % 5);
    const int mode = data.ConsumeIntegralInRange<int>(0, 20);
    choices.fusionMode = static_cast<FusionType>(mode <= 3 ? mode : mode == 20 ? -1 : mode == 19 ? 4 : mode % 4);
    if (data.ConsumeIntegralInRange<int>(0, 7) != 0) {
        choices.split[data.ConsumeIntegralInRange<std::size_t>(0, 1)] = true;
        choices.split[data.ConsumeIntegralInRange<std::size_t>(2, 4)] = true;
        choices.split[data.ConsumeIntegralInRange<std::size_t>(5, 7)] = true;
    } else {
        for (bool& split : choices.split) split = data.ConsumeBool();
    }
    for (bool& include : choices.include) include = data.ConsumeBool();
    choices.stake = data.ConsumeBool()
        ? PickOne(data, {"1", "3", "1.3", "2", "0.5", "", "abc", "1,3", "-2", "1e308", "1e-320", "0.1", "7e15"})
        : data.ConsumeRandomLengthString(10);
    return choices;
}

// ---- Independent readings ----------------------------------------------------

std::optional<HorseNumber> HorseOf(const std::string& text) {
    const double value = RoundHalfEven(ReadNumber(text));
    if (!(value >= -32768.0 && value <= 32767.0)) return std::nullopt;
    return static_cast<HorseNumber>(value);
}

// The horse numbers of the selected entries in list order; nothing when one
// of them is no horse number.
std::optional<std::vector<HorseNumber>> SelectedHorses(const StarterList& list) {
    std::vector<HorseNumber> horses;
    for (const StarterEntry& entry : list) {
        if (!entry.selected) continue;
        const std::optional<HorseNumber> horse = HorseOf(entry.text);
        if (!horse) return std::nullopt;
        horses.push_back(*horse);
    }
    return horses;
}

// The first base, in the bases' order, that stands among the outsiders.
std::optional<HorseNumber> FirstShared(std::span<const HorseNumber> bases, std::span<const HorseNumber> outs) {
    for (const HorseNumber base : bases)
        for (const HorseNumber outsider : outs)
            if (base == outsider) return base;
    return std::nullopt;
}

std::string ConflictMessage(HorseNumber horse) {
    return "Le" + NumberText(horse) + " ne peut être à la fois base et outsider!\r\n"
           "Supprimez-le des bases ou des outsiders.";
}

// 0 for a bet type the window has no button for, which merges nothing.
int LineSize(BetType betType) {
    if (static_cast<unsigned>(betType) >= static_cast<unsigned>(bets::kBetTypeCount)) return 0;
    return bets::RuleOf(betType).lineSize;
}

// Splits a line into its numbers: number ("-" number)*, a number being "0"
// then a digit or "-" and digits (below 10), or digits that do not begin
// with "0". Nothing when the line has another form.
std::optional<std::vector<std::string>> LineNumbers(std::string_view line) {
    const auto isDigit = [&](std::size_t at) { return at < line.size() && line[at] >= '0' && line[at] <= '9'; };
    std::vector<std::string> numbers;
    std::size_t i = 0;
    while (true) {
        const std::size_t start = i;
        if (!isDigit(i)) return std::nullopt;
        if (line[i] == '0' && isDigit(i + 1)) {
            i += 2;  // 00 to 09
        } else {
            if (line[i] == '0') {
                if (i + 1 >= line.size() || line[i + 1] != '-' || !isDigit(i + 2)) return std::nullopt;
                i += 2;  // a negative number, "0-3"
            }
            while (isDigit(i)) ++i;
        }
        numbers.emplace_back(line.substr(start, i - start));
        if (i == line.size()) return numbers;
        if (line[i++] != '-') return std::nullopt;
    }
}

// Whether `picked` can be taken from `group` at increasing positions.
bool IsPickedInOrder(const std::vector<std::string>& picked, std::size_t from, std::size_t count,
                     const std::vector<HorseNumber>& group) {
    std::size_t g = 0;
    for (std::size_t m = from; m < from + count; ++m) {
        while (g < group.size() && FormatHorseNumber(group[g]) != picked[m]) ++g;
        if (g == group.size()) return false;
        ++g;
    }
    return true;
}

// Every line of a block by nested loops (recursion over the positions).
void Enumerate(const ResultBlock& block, std::size_t m, std::size_t from, const std::string& line,
               std::vector<std::string>& lines) {
    const auto baseTake = static_cast<std::size_t>(block.baseTake);
    const auto take = baseTake + static_cast<std::size_t>(block.outTake);
    if (m == take) {
        lines.push_back(line);
        return;
    }
    const std::vector<HorseNumber>& group = m < baseTake ? block.bases : block.outs;
    if (m == baseTake) from = 0;
    for (std::size_t p = from; p < group.size(); ++p)
        Enumerate(block, m + 1, p + 1, line + (m > 0 ? "-" : "") + FormatHorseNumber(group[p]), lines);
}

// ---- Checks -------------------------------------------------------------------

void CheckLines(const ResultList& result, int size) {
    std::uint64_t start = 0;
    for (const ResultBlock& block : result.blocks()) {
        const std::string where = "block at line " + std::to_string(start);
        FUZZ_CHECK(block.baseTake + block.outTake == size, where);
        FUZZ_CHECK(block.lineCount == ExactLineCount(block), where);
        FUZZ_CHECK(block.lineCount > 0, where);

        if (block.lineCount <= kEnumeratedBlock) {
            std::vector<std::string> expected;
            Enumerate(block, 0, 0, "", expected);
            std::size_t n = 0;
            result.forEachLine([&](std::string_view line) {
                FUZZ_CHECK(line == expected[n], where + ": line " + std::to_string(n) + " is " +
                                                    std::string(line) + ", expected " + expected[n]);
                return ++n < expected.size();
            }, start);
            FUZZ_CHECK(n == expected.size(), where);
        }
        start += block.lineCount;
    }

    // Lines read from the start, and read by index from a few places.
    const std::uint64_t count = result.count();
    const std::uint64_t firsts[] = {0, count / 3, count / 2, count > 5 ? count - 5 : 0};
    for (const std::uint64_t first : firsts) {
        std::uint64_t index = first;
        result.forEachLine([&](std::string_view line) {
            const std::string story = "line " + std::to_string(index) + " " + fuzz::Printable(std::string(line));
            FUZZ_CHECK(line == result.lineAt(index), story + " differs from lineAt");
            const std::optional<std::vector<std::string>> numbers = LineNumbers(line);
            FUZZ_CHECK(numbers && numbers->size() == static_cast<std::size_t>(size), story);
            // The block it belongs to, and its horses taken in list order.
            std::uint64_t blockStart = 0;
            for (const ResultBlock& block : result.blocks()) {
                if (index < blockStart + block.lineCount) {
                    const auto baseTake = static_cast<std::size_t>(block.baseTake);
                    FUZZ_CHECK(IsPickedInOrder(*numbers, 0, baseTake, block.bases), story);
                    FUZZ_CHECK(IsPickedInOrder(*numbers, baseTake, static_cast<std::size_t>(block.outTake), block.outs), story);
                    break;
                }
                blockStart += block.lineCount;
            }
            return ++index < first + kWalkedLines / 4;
        }, first);
        FUZZ_CHECK(index == std::min(count, first + kWalkedLines / 4) || count == 0, "walk stopped early");
    }
    FUZZ_CHECK(result.lineAt(count).empty(), "a line past the end");
}

void CheckCount(const ResultList& result, std::uint64_t maxLines) {
    WideCount sum = 0;
    for (const ResultBlock& block : result.blocks()) sum = SaturatingAdd(sum, ExactLineCount(block));
    FUZZ_CHECK(sum == result.exactCount(), "exact count " + DecimalText(result.exactCount()) + ", blocks " + DecimalText(sum));
    FUZZ_CHECK(result.count() == ClampTo64(sum), "count " + std::to_string(result.count()));
    FUZZ_CHECK(result.count() <= maxLines, "count " + std::to_string(result.count()) + " above the cap");
}

void CheckLabels(const MergeOutcome& outcome, const ResultList& result, const MergeChoices& choices) {
    if (!outcome.updated) return;
    FUZZ_CHECK(outcome.countText == std::to_string(result.count()), outcome.countText);
    const double cost = result.count() == 0 ? 0.0 : static_cast<double>(result.count()) * ReadNumber(choices.stake);
    FUZZ_CHECK(std::isfinite(cost), outcome.costText);
    FUZZ_CHECK(outcome.costText == NumberText(cost) + " Euros", outcome.costText);
}

void CheckConflictCheck(const SelectionState& state) {
    Recorder recorder;
    const std::string answer = CheckBaseOutConflict(state, recorder);
    const std::optional<HorseNumber> shared = FirstShared(state.Loaded(Group::Bases), state.Loaded(Group::Outs));
    FUZZ_CHECK(answer == (shared ? "NOok" : "ok"), answer);
    FUZZ_CHECK(recorder.messages.size() == (shared ? 1u : 0u), answer);
    if (shared) FUZZ_CHECK(recorder.messages[0] == ConflictMessage(*shared), recorder.messages[0]);
}

bool IsCapOrStakeRefusal(const std::string& message) {
    return message.starts_with("Cette fusion donnerait ") || message.starts_with("La mise unitaire ");
}

// Fusion mode 3: refused exactly when both groups read and share a horse.
void CheckFusion(const MergeOutcome& outcome, const ResultList& result, const Recorder& recorder,
                 const StarterList& bases, const StarterList& outs) {
    const std::string last = recorder.messages.empty() ? "no message" : recorder.messages.back();
    FUZZ_CHECK(recorder.messages.size() <= 1, last);
    const std::optional<std::vector<HorseNumber>> baseHorses = SelectedHorses(bases);
    const std::optional<std::vector<HorseNumber>> outHorses = baseHorses ? SelectedHorses(outs) : std::nullopt;
    if (!baseHorses || !outHorses) {
        FUZZ_CHECK(outcome.updated && result.empty() && outcome.countText == "0", "a bad entry was not refused");
        FUZZ_CHECK(last.find("ne peut pas servir de numéro") != std::string::npos, last);
        return;
    }
    const std::optional<HorseNumber> shared = FirstShared(*baseHorses, *outHorses);
    FUZZ_CHECK(outcome.updated == !shared, shared ? "a conflict went through" : "refused without a conflict");
    if (shared) {
        FUZZ_CHECK(result.empty(), "lines left after a conflict");
        FUZZ_CHECK(last == ConflictMessage(*shared), last);
        return;
    }
    if (!recorder.messages.empty()) {
        FUZZ_CHECK(IsCapOrStakeRefusal(last) && result.empty(), last);
        return;
    }
    for (const ResultBlock& block : result.blocks()) {
        if (block.outTake == 0) continue;  // an include box's block
        FUZZ_CHECK(block.bases == *baseHorses && block.outs == *outHorses, "fusion of other horses than selected");
        FUZZ_CHECK(!FirstShared(block.bases, block.outs), "a fusion line with a horse twice");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::uint64_t caps[] = {2147483647ULL, 100'000'000ULL, 1000ULL, 1ULL};
    const std::uint64_t maxLines = caps[data.ConsumeIntegralInRange<std::size_t>(0, 3)];
    MergeEngine engine(maxLines);
    StarterList bases = Starters(data);
    StarterList outs = Starters(data);

    const int merges = data.ConsumeIntegralInRange<int>(1, 3);
    for (int merge = 0; merge < merges; ++merge) {
        if (merge > 0) {
            switch (data.ConsumeIntegralInRange<int>(0, 3)) {
            case 0: bases = Starters(data); break;
            case 1: outs = Starters(data); break;
            case 2: engine.clearResult(); FUZZ_CHECK(engine.result().empty(), "Vider left lines"); break;
            default: break;
            }
        }
        const MergeChoices choices = Choices(data);
        Recorder recorder;
        const MergeOutcome outcome = engine.cmdFusionner_Click(bases, outs, choices, recorder);
        const ResultList& result = engine.result();

        CheckCount(result, maxLines);
        CheckLines(result, LineSize(choices.betType));
        CheckLabels(outcome, result, choices);
        CheckConflictCheck(engine.selection());
        if (choices.fusionMode == FusionType::Fused && LineSize(choices.betType) != 0)
            CheckFusion(outcome, result, recorder, bases, outs);
    }
    return 0;
}
