#include "generators/LineSelection.h"

#include <algorithm>
#include <bit>

namespace torvanel {
namespace {

constexpr std::size_t kWordsPerRun = 8;  // 512 lines between two counts

}  // namespace

LineSelection LineSelection::FromIndices(std::vector<std::uint64_t> sorted, std::uint64_t universe) {
    LineSelection selection;
    selection.universe_ = universe;
    sorted.erase(std::remove_if(sorted.begin(), sorted.end(), [universe](std::uint64_t i) { return i >= universe; }),
                 sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    selection.count_ = sorted.size();
    selection.indices_ = std::move(sorted);
    selection.compact();
    return selection;
}

LineSelection LineSelection::FromBits(std::vector<std::uint64_t> words, std::uint64_t universe) {
    LineSelection selection;
    selection.universe_ = universe;
    words.resize(static_cast<std::size_t>((universe + 63) / 64));
    if (universe % 64 != 0) words.back() &= (std::uint64_t{1} << (universe % 64)) - 1;
    selection.words_ = std::move(words);
    selection.compact();
    return selection;
}

// Keeps the smaller of the two forms and, for bits, the counts select() needs.
void LineSelection::compact() {
    if (bitwise()) {
        count_ = 0;
        runStarts_.clear();
        for (std::size_t w = 0; w < words_.size(); ++w) {
            if (w % kWordsPerRun == 0) runStarts_.push_back(count_);
            count_ += static_cast<std::uint64_t>(std::popcount(words_[w]));
        }
        if (count_ * 64 < universe_) {
            indices_.clear();
            indices_.reserve(count_);
            forEach([this](std::uint64_t index) { indices_.push_back(index); return true; });
            std::vector<std::uint64_t>().swap(words_);
            std::vector<std::uint64_t>().swap(runStarts_);
            indices_.shrink_to_fit();
        }
        return;
    }
    indices_.shrink_to_fit();
    if (count_ * 64 >= universe_ && universe_ > 0) {
        words_.assign(static_cast<std::size_t>((universe_ + 63) / 64), 0);
        for (std::uint64_t index : indices_) words_[index / 64] |= std::uint64_t{1} << (index % 64);
        std::vector<std::uint64_t>().swap(indices_);
        compact();
    }
}

bool LineSelection::contains(std::uint64_t index) const {
    if (index >= universe_) return false;
    if (bitwise()) return (words_[index / 64] >> (index % 64)) & 1;
    return std::binary_search(indices_.begin(), indices_.end(), index);
}

std::uint64_t LineSelection::select(std::uint64_t rank) const {
    if (!bitwise()) return indices_[rank];
    const auto run = static_cast<std::size_t>(
        std::upper_bound(runStarts_.begin(), runStarts_.end(), rank) - runStarts_.begin() - 1);
    std::uint64_t left = rank - runStarts_[run];
    for (std::size_t w = run * kWordsPerRun;; ++w) {
        const auto ones = static_cast<std::uint64_t>(std::popcount(words_[w]));
        if (left < ones) {
            std::uint64_t word = words_[w];
            for (; left > 0; --left) word &= word - 1;  // drop the lowest bits before it
            return w * 64 + static_cast<std::uint64_t>(std::countr_zero(word));
        }
        left -= ones;
    }
}

void LineSelection::forEach(const std::function<bool(std::uint64_t)>& visit, std::uint64_t first) const {
    if (first >= count_) return;
    if (!bitwise()) {
        for (std::size_t r = static_cast<std::size_t>(first); r < indices_.size(); ++r)
            if (!visit(indices_[r])) return;
        return;
    }
    const std::uint64_t start = select(first);
    for (std::size_t w = static_cast<std::size_t>(start / 64); w < words_.size(); ++w) {
        std::uint64_t word = words_[w];
        if (w == start / 64) word &= ~std::uint64_t{0} << (start % 64);
        for (; word != 0; word &= word - 1)
            if (!visit(w * 64 + static_cast<std::uint64_t>(std::countr_zero(word)))) return;
    }
}

LineSelection LineSelection::narrowed(const std::vector<std::uint64_t>& ranks) const {
    std::vector<std::uint64_t> kept;
    kept.reserve(ranks.size());
    for (std::uint64_t rank : ranks)
        if (rank < count_) kept.push_back(select(rank));
    return FromIndices(std::move(kept), universe_);
}

std::size_t LineSelection::bytes() const {
    return (indices_.capacity() + words_.capacity() + runStarts_.capacity()) * sizeof(std::uint64_t);
}

}  // namespace torvanel
