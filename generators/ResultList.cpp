#include "generators/ResultList.h"

#include "generators/Numbers.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace torvanel {
namespace {

// The text of one horse number, ready to be copied into a line.
struct HorseText {
    std::array<char, 8> chars{};
    std::uint8_t size = 0;
};

std::vector<HorseText> HorseTexts(const std::vector<HorseNumber>& numbers) {
    std::vector<HorseText> texts(numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::string text = FormatHorseNumber(numbers[i]);
        texts[i].size = static_cast<std::uint8_t>(text.size());
        std::memcpy(texts[i].chars.data(), text.data(), text.size());
    }
    return texts;
}

// Ways to complete a choice with `take` more items from the last `left`.
std::uint64_t Ways(std::size_t left, std::size_t take) {
    return ClampTo64(Binomial(left, take));
}

// Positions (0-based, increasing) of the combination of rank `rank` among the
// choices of `take` out of `n`, in lexicographic order.
void Unrank(std::uint64_t rank, std::size_t n, std::size_t take, std::size_t* positions) {
    std::size_t start = 0;
    for (std::size_t m = 0; m < take; ++m) {
        const std::size_t still = take - m;  // items left to choose, this one included
        // Lines whose item m stands at `start` or beyond: Ways(n - start, still).
        // Find the first q whose lines (item m at start..q) exceed `rank`.
        const std::uint64_t all = Ways(n - start, still);
        std::size_t low = start, high = n - still;
        while (low < high) {
            const std::size_t mid = low + (high - low) / 2;
            if (all - Ways(n - mid - 1, still) > rank) high = mid; else low = mid + 1;
        }
        rank -= all - Ways(n - low, still);
        positions[m] = low;
        start = low + 1;
    }
}

// Moves to the next choice of `take` out of `n` in lexicographic order;
// returns the first position that changed, or `take` when there is none left.
std::size_t Advance(std::size_t n, std::size_t take, std::size_t* positions) {
    std::size_t i = take;
    while (i > 0 && positions[i - 1] == n - take + (i - 1)) --i;
    if (i == 0) return take;
    ++positions[i - 1];
    for (std::size_t j = i; j < take; ++j) positions[j] = positions[j - 1] + 1;
    return i - 1;
}

// Positions of line `line` of `block`: its bases' then its outsiders'.
void UnrankLine(const ResultBlock& block, std::uint64_t line, std::size_t* positions) {
    const auto baseTake = static_cast<std::size_t>(block.baseTake);
    const auto outTake = static_cast<std::size_t>(block.outTake);
    const std::uint64_t outWays = Ways(block.outs.size(), outTake);
    Unrank(line / outWays, block.bases.size(), baseTake, positions);
    Unrank(line % outWays, block.outs.size(), outTake, positions + baseTake);
}

void FirstChoice(std::size_t take, std::size_t* positions) {
    for (std::size_t j = 0; j < take; ++j) positions[j] = j;
}

// Walks the lines of one block from a given line to its end, rewriting only
// the tail of the text that changes from one line to the next.
class BlockWalker {
public:
    explicit BlockWalker(const ResultBlock& block)
        : block_(block),
          baseTake_(static_cast<std::size_t>(block.baseTake)),
          take_(baseTake_ + static_cast<std::size_t>(block.outTake)),
          baseTexts_(HorseTexts(block.bases)),
          outTexts_(HorseTexts(block.outs)),
          positions_(take_),
          offsets_(take_ + 1),
          text_(take_ * sizeof(HorseText), '\0') {}

    void seek(std::uint64_t line) {
        UnrankLine(block_, line, positions_.data());
        rewriteFrom(0);
    }

    std::string_view text() const { return std::string_view(text_.data(), offsets_[take_]); }

    // False after the last line of the block.
    bool next() {
        std::size_t* outs = positions_.data() + baseTake_;
        const std::size_t outTake = take_ - baseTake_;
        std::size_t changed = Advance(block_.outs.size(), outTake, outs);
        if (changed < outTake) {
            rewriteFrom(baseTake_ + changed);
            return true;
        }
        changed = Advance(block_.bases.size(), baseTake_, positions_.data());
        if (changed == baseTake_) return false;
        FirstChoice(outTake, outs);
        rewriteFrom(changed);
        return true;
    }

private:
    void rewriteFrom(std::size_t item) {
        std::size_t at = offsets_[item];
        for (std::size_t m = item; m < take_; ++m) {
            const HorseText& horse = m < baseTake_ ? baseTexts_[positions_[m]]
                                                   : outTexts_[positions_[m]];
            if (m > 0) text_[at++] = '-';
            std::memcpy(text_.data() + at, horse.chars.data(), horse.size);
            at += horse.size;
            offsets_[m + 1] = at;
        }
    }

    const ResultBlock& block_;
    std::size_t baseTake_;
    std::size_t take_;
    std::vector<HorseText> baseTexts_;
    std::vector<HorseText> outTexts_;
    std::vector<std::size_t> positions_;
    std::vector<std::size_t> offsets_;  // where each horse's text starts ("-" before it)
    std::string text_;
};

}  // namespace

WideCount ExactLineCount(const ResultBlock& block) {
    if (block.baseTake < 0 || block.outTake < 0) return 0;
    return SaturatingMul(Binomial(block.bases.size(), static_cast<std::uint64_t>(block.baseTake)),
                         Binomial(block.outs.size(), static_cast<std::uint64_t>(block.outTake)));
}

void ResultList::clear() {
    blocks_.clear();
    ends_.clear();
    exactCount_ = 0;
    subList_ = false;
    kept_.clear();
}

void ResultList::append(ResultBlock block) {
    subList_ = false;
    kept_.clear();
    const WideCount lines = ExactLineCount(block);
    if (lines == 0 || block.baseTake + block.outTake == 0) return;
    block.lineCount = ClampTo64(lines);
    exactCount_ = SaturatingAdd(exactCount_, lines);
    ends_.push_back(ClampTo64(exactCount_));
    blocks_.push_back(std::move(block));
}

void ResultList::keepOnly(std::vector<std::uint64_t> kept) {
    const std::uint64_t full = fullCount();
    kept.erase(std::remove_if(kept.begin(), kept.end(), [full](std::uint64_t i) { return i >= full; }), kept.end());
    kept_ = std::move(kept);
    subList_ = true;
}

std::uint64_t ResultList::fullCount() const { return ends_.empty() ? 0 : ends_.back(); }

std::uint64_t ResultList::count() const { return subList_ ? kept_.size() : fullCount(); }

WideCount ResultList::exactCount() const { return subList_ ? WideCount(kept_.size()) : exactCount_; }

const std::vector<ResultBlock>& ResultList::blocks() const { return blocks_; }

std::string ResultList::lineAt(std::uint64_t index) const {
    if (index >= count()) return {};
    return fullLineAt(subList_ ? kept_[index] : index);
}

std::string ResultList::fullLineAt(std::uint64_t index) const {
    const auto b = static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), index) - ends_.begin());
    const ResultBlock& block = blocks_[b];
    const std::size_t take = static_cast<std::size_t>(block.baseTake + block.outTake);
    std::vector<std::size_t> positions(take);
    UnrankLine(block, index - (b == 0 ? 0 : ends_[b - 1]), positions.data());
    std::string line;
    for (std::size_t m = 0; m < take; ++m) {
        const auto baseTake = static_cast<std::size_t>(block.baseTake);
        if (m > 0) line += '-';
        line += FormatHorseNumber(m < baseTake ? block.bases[positions[m]]
                                               : block.outs[positions[m]]);
    }
    return line;
}

void ResultList::forEachLine(const std::function<bool(std::string_view)>& visit,
                             std::uint64_t first) const {
    if (subList_) {
        for (std::uint64_t i = first; i < kept_.size(); ++i)
            if (!visit(fullLineAt(kept_[i]))) return;
        return;
    }
    auto block = std::upper_bound(ends_.begin(), ends_.end(), first);
    for (std::size_t b = static_cast<std::size_t>(block - ends_.begin()); b < blocks_.size(); ++b) {
        const std::uint64_t start = b == 0 ? 0 : ends_[b - 1];
        BlockWalker walker(blocks_[b]);
        walker.seek(first > start ? first - start : 0);
        do {
            if (!visit(walker.text())) return;
        } while (walker.next());
    }
}

}  // namespace torvanel
