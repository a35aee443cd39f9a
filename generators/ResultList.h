#pragma once
// The result list of a merge, held as a sequence of blocks rather than as
// strings: a merge costs the same whatever the number of lines it makes, and a
// line is written only when somebody asks for it.

#include "generators/Combinatorics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvanel {

using HorseNumber = std::int16_t;

// Every way of taking `baseTake` of `bases` together with `outTake` of `outs`,
// each choice of positions in increasing order, bases first. A single-group
// block (the lines of one group among itself) has outTake == 0 and no outs.
struct ResultBlock {
    std::vector<HorseNumber> bases;
    int baseTake = 0;
    std::vector<HorseNumber> outs;
    int outTake = 0;
    std::uint64_t lineCount = 0;  // C(bases, baseTake) * C(outs, outTake)
};

// Exact number of lines of a block (sticks at kWideCountMax).
WideCount ExactLineCount(const ResultBlock& block);

class ResultList {
public:
    void clear();
    // Fills in block.lineCount; a block without a line is not kept. Counts
    // beyond 64 bits stick at UINT64_MAX (see exactCount()). Appending to a
    // sub-list brings the full list back first.
    void append(ResultBlock block);

    // Shows only the lines `kept` (indices of the full list, increasing and
    // below fullCount()): count(), lineAt() and forEachLine() then read the
    // sub-list, so everything that reads the list reads the reduced one.
    // blocks() stays the full list. clear() and append() drop the sub-list.
    void keepOnly(std::vector<std::uint64_t> kept);
    bool isSubList() const { return subList_; }
    // Lines of the full list, sub-list or not.
    std::uint64_t fullCount() const;

    std::uint64_t count() const;
    // The exact number of lines, even where count() has stuck at UINT64_MAX.
    WideCount exactCount() const;
    bool empty() const { return count() == 0; }
    const std::vector<ResultBlock>& blocks() const;

    // Line `index` (0-based, below count()), made on demand by unranking;
    // an empty text for an index past the end.
    std::string lineAt(std::uint64_t index) const;

    // Walks every line in list order, starting at `first`; the callback sees
    // each line's text (valid only during the call) and returns false to stop.
    void forEachLine(const std::function<bool(std::string_view)>& visit,
                     std::uint64_t first = 0) const;

private:
    std::string fullLineAt(std::uint64_t index) const;

    std::vector<ResultBlock> blocks_;
    std::vector<std::uint64_t> ends_;  // lines up to the end of each block
    WideCount exactCount_ = 0;
    bool subList_ = false;
    std::vector<std::uint64_t> kept_;
};

}  // namespace torvanel
