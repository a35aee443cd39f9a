#pragma once
// The result list of a merge, held as a sequence of blocks rather than as
// strings: a merge costs the same whatever the number of lines it makes, and a
// line is written only when somebody asks for it.

#include "generators/Combinatorics.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
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

// One line as horse numbers: its horses in written order, how many of them
// are bases of a fusion (0 in a line of one group among itself), and the
// block it comes from.
struct LineHorses {
    static constexpr std::size_t kMost = 8;
    std::array<HorseNumber, kMost> horses{};
    int size = 0;
    int bases = 0;
    std::size_t block = 0;
    std::span<const HorseNumber> view() const { return {horses.data(), static_cast<std::size_t>(size)}; }
};

class ResultList {
public:
    void clear();
    // Fills in block.lineCount; a block without a line is not kept. Counts
    // beyond 64 bits stick at UINT64_MAX (see exactCount()).
    void append(ResultBlock block);

    std::uint64_t count() const;
    // The exact number of lines, even where count() has stuck at UINT64_MAX.
    WideCount exactCount() const;
    bool empty() const { return count() == 0; }
    const std::vector<ResultBlock>& blocks() const;
    // Lines up to the end of each block.
    const std::vector<std::uint64_t>& blockEnds() const { return ends_; }
    std::size_t blockOf(std::uint64_t index) const;

    // Line `index` (0-based, below count()), made on demand by unranking;
    // an empty text for an index past the end.
    std::string lineAt(std::uint64_t index) const;
    // The same line as numbers; size 0 past the end.
    LineHorses horsesAt(std::uint64_t index) const;

    // Walks every line in list order, starting at `first`; the callback sees
    // each line's text (valid only during the call) and returns false to stop.
    void forEachLine(const std::function<bool(std::string_view)>& visit,
                     std::uint64_t first = 0) const;
    // The same walk over the lines as numbers.
    void forEachHorses(const std::function<bool(const LineHorses&)>& visit, std::uint64_t first = 0) const;

private:
    std::vector<ResultBlock> blocks_;
    std::vector<std::uint64_t> ends_;  // lines up to the end of each block
    WideCount exactCount_ = 0;
};

}  // namespace torvanel
