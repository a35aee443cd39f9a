#pragma once
// The result list of a merge, held as a sequence of blocks rather than as
// strings: a merge costs the same whatever the number of lines it makes, and a
// line is written only when somebody asks for it.

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

class ResultList {
public:
    void clear();
    void append(ResultBlock block);  // fills in block.lineCount

    std::uint64_t count() const;
    bool empty() const { return count() == 0; }
    const std::vector<ResultBlock>& blocks() const;

    // Line `index` (0-based, below count()), made on demand by unranking.
    std::string lineAt(std::uint64_t index) const;

    // Walks every line in list order, starting at `first`; the callback sees
    // each line's text (valid only during the call) and returns false to stop.
    void forEachLine(const std::function<bool(std::string_view)>& visit,
                     std::uint64_t first = 0) const;
};

}  // namespace torvanel
