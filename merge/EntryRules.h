#pragma once
// The rules behind horse entry and reordering in the two horse lists, apart
// from any widget: what ENTER in an insert box does with the typed text, which
// entries the purge drops, and how the answer to the position question reads.
// Texts are UTF-8.

#include <string>
#include <string_view>

namespace torvanel::entry {

// Counts and places are 16-bit, so a horse list holds at most this many.
constexpr int kMaxEntries = 32767;

struct InsertDecision {
    enum class Verdict {
        Append,          // add the text as typed and empty the box
        RefuseAndClear,  // show `message`, empty the box
        RefuseAndKeep,   // show `message`, keep the text so the user can correct it
    };
    Verdict verdict;
    std::string message;
};

// ENTER in an insert box: `typed` is the box's text, `startersText` the text of
// the starters box as it stands now (ENTER pressed there or not), `entryCount`
// the number of entries of the list the box feeds.
InsertDecision DecideInsert(std::string_view startersText, std::string_view typed, int entryCount);

// An entry the purge drops: its numeric value is 0 (empty, "0", no number).
bool IsWorthless(std::string_view entry);

// "En quelle position est-ce que le cheval 8 va aller?"
std::string PositionQuestion(std::string_view entry);

struct PositionAnswer {
    enum class Kind {
        Nothing,  // empty answer: the move is dropped without a word
        Refused,  // show `message`; nothing moves
        Move,     // swap with the entry at `row` (0-based)
    };
    Kind kind;
    int row = -1;
    std::string message;
};

// Reads the answer to the position question for a list of `entryCount` entries.
PositionAnswer ReadPositionAnswer(std::string_view answer, int entryCount);

}  // namespace torvanel::entry
