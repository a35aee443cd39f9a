#pragma once
// A set of lines of a full result list, by their indices: the lines a stage of
// the list keeps. Few lines are held as their sorted indices, many as one bit
// per line of the full list, whichever is smaller, so a set never costs more
// than about a bit per line of the list.

#include <cstdint>
#include <functional>
#include <vector>

namespace torvanel {

class LineSelection {
public:
    LineSelection() = default;
    // `sorted`: increasing indices below `universe`; others are dropped.
    static LineSelection FromIndices(std::vector<std::uint64_t> sorted, std::uint64_t universe);
    // `words`: bit i of word w stands for line 64 * w + i; bits at or past
    // `universe` are ignored.
    static LineSelection FromBits(std::vector<std::uint64_t> words, std::uint64_t universe);

    std::uint64_t count() const { return count_; }
    std::uint64_t universe() const { return universe_; }
    bool contains(std::uint64_t index) const;
    // The index of the `rank`-th kept line (0-based, below count()).
    std::uint64_t select(std::uint64_t rank) const;
    // Calls visit(index) for the kept lines from rank `first` on, in order;
    // stops when visit returns false.
    void forEach(const std::function<bool(std::uint64_t index)>& visit, std::uint64_t first = 0) const;
    // The kept indices among this selection's: rank r of `ranks` (increasing)
    // becomes select(r). The result is a subset of this one.
    LineSelection narrowed(const std::vector<std::uint64_t>& ranks) const;
    std::size_t bytes() const;

private:
    void compact();
    bool bitwise() const { return !words_.empty(); }

    std::uint64_t universe_ = 0;
    std::uint64_t count_ = 0;
    std::vector<std::uint64_t> indices_;  // when held as indices
    std::vector<std::uint64_t> words_;    // when held as bits
    // Kept lines before each run of kWordsPerRun words, for select().
    std::vector<std::uint64_t> runStarts_;
};

}  // namespace torvanel
