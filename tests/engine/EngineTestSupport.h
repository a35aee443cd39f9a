#pragma once
// Helpers shared by the engine and reduction tests: starter lists written in
// one line, runs of horse numbers, a message recorder, and the lines of a
// result list as texts.

#include "generators/Generators.h"
#include "generators/ResultList.h"
#include "merge/MergeTypes.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace torvanel::test {

class RecordingSink : public MessageSink {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// "7 3 *12 1": entries in list order, those marked with * selected; with
// selectAll every entry is selected.
inline StarterList Starters(const std::string& entries, bool selectAll = false) {
    StarterList list;
    std::istringstream words(entries);
    for (std::string word; words >> word;) {
        const bool marked = word[0] == '*';
        list.push_back({marked ? word.substr(1) : word, selectAll || marked});
    }
    return list;
}

// Horses `from` to `to`, in increasing order.
inline std::vector<HorseNumber> Horses(int from, int to) {
    std::vector<HorseNumber> horses;
    for (int h = from; h <= to; ++h) horses.push_back(static_cast<HorseNumber>(h));
    return horses;
}

// Every line of `size` of the horses 1 to `horses`: a full field.
inline ResultList FullField(int horses, int size) {
    ResultList list;
    AppendCombinations(list, Horses(1, horses), size);
    return list;
}

inline StarterList AllSelected(const std::string& entries) { return Starters(entries, true); }

// The lines a walk of `list` from line `first` gives, stopping it after `most`.
template <typename List>
std::vector<std::string> Lines(const List& list, std::uint64_t first = 0,
                               std::size_t most = SIZE_MAX) {
    std::vector<std::string> lines;
    list.forEachLine([&lines, most](std::string_view line) {
        lines.emplace_back(line);
        return lines.size() < most;
    }, first);
    return lines;
}

using Texts = std::vector<std::string>;

}  // namespace torvanel::test
