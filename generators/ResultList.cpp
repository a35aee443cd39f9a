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

// The positions of the lines of one block, from a given line to its end:
// each step says from which item on the line changed.
class PositionWalker {
public:
    explicit PositionWalker(const ResultBlock& block)
        : block_(block),
          baseTake_(static_cast<std::size_t>(block.baseTake)),
          take_(baseTake_ + static_cast<std::size_t>(block.outTake)),
          positions_(take_) {}

    void seek(std::uint64_t line) { UnrankLine(block_, line, positions_.data()); }

    // The first item that changed, or take() after the last line of the block.
    std::size_t next() {
        std::size_t* outs = positions_.data() + baseTake_;
        const std::size_t outTake = take_ - baseTake_;
        const std::size_t changed = Advance(block_.outs.size(), outTake, outs);
        if (changed < outTake) return baseTake_ + changed;
        const std::size_t baseChanged = Advance(block_.bases.size(), baseTake_, positions_.data());
        if (baseChanged == baseTake_) return take_;
        FirstChoice(outTake, outs);
        return baseChanged;
    }

    std::size_t take() const { return take_; }
    std::size_t baseTake() const { return baseTake_; }
    std::size_t position(std::size_t item) const { return positions_[item]; }
    HorseNumber horse(std::size_t item) const {
        return item < baseTake_ ? block_.bases[positions_[item]] : block_.outs[positions_[item]];
    }

private:
    const ResultBlock& block_;
    std::size_t baseTake_;
    std::size_t take_;
    std::vector<std::size_t> positions_;
};

// Walks the lines of one block as text, rewriting only the tail of the text
// that changes from one line to the next.
class BlockWalker {
public:
    explicit BlockWalker(const ResultBlock& block)
        : positions_(block),
          baseTexts_(HorseTexts(block.bases)),
          outTexts_(HorseTexts(block.outs)),
          offsets_(positions_.take() + 1),
          text_(positions_.take() * sizeof(HorseText), '\0') {}

    void seek(std::uint64_t line) {
        positions_.seek(line);
        rewriteFrom(0);
    }

    std::string_view text() const { return std::string_view(text_.data(), offsets_[positions_.take()]); }

    // False after the last line of the block.
    bool next() {
        const std::size_t changed = positions_.next();
        if (changed == positions_.take()) return false;
        rewriteFrom(changed);
        return true;
    }

private:
    void rewriteFrom(std::size_t item) {
        std::size_t at = offsets_[item];
        for (std::size_t m = item; m < positions_.take(); ++m) {
            const std::size_t p = positions_.position(m);
            const HorseText& horse = m < positions_.baseTake() ? baseTexts_[p] : outTexts_[p];
            if (m > 0) text_[at++] = '-';
            std::memcpy(text_.data() + at, horse.chars.data(), horse.size);
            at += horse.size;
            offsets_[m + 1] = at;
        }
    }

    PositionWalker positions_;
    std::vector<HorseText> baseTexts_;
    std::vector<HorseText> outTexts_;
    std::vector<std::size_t> offsets_;  // where each horse's text starts ("-" before it)
    std::string text_;
};

// The horses of the line a walker stands on.
void FillHorses(const PositionWalker& walker, const ResultBlock& block, std::size_t blockIndex, LineHorses& line) {
    line.size = static_cast<int>(walker.take());
    line.bases = block.outTake > 0 ? block.baseTake : 0;
    line.block = blockIndex;
    for (std::size_t m = 0; m < walker.take(); ++m) line.horses[m] = walker.horse(m);
}

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
}

void ResultList::append(ResultBlock block) {
    const WideCount lines = ExactLineCount(block);
    if (lines == 0 || block.baseTake + block.outTake == 0) return;
    if (static_cast<std::size_t>(block.baseTake + block.outTake) > LineHorses::kMost) return;
    block.lineCount = ClampTo64(lines);
    exactCount_ = SaturatingAdd(exactCount_, lines);
    ends_.push_back(ClampTo64(exactCount_));
    blocks_.push_back(std::move(block));
}

std::uint64_t ResultList::count() const { return ends_.empty() ? 0 : ends_.back(); }

WideCount ResultList::exactCount() const { return exactCount_; }

const std::vector<ResultBlock>& ResultList::blocks() const { return blocks_; }

std::size_t ResultList::blockOf(std::uint64_t index) const {
    return static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), index) - ends_.begin());
}

std::string ResultList::lineAt(std::uint64_t index) const {
    if (index >= count()) return {};
    const std::size_t b = blockOf(index);
    BlockWalker walker(blocks_[b]);
    walker.seek(index - (b == 0 ? 0 : ends_[b - 1]));
    return std::string(walker.text());
}

LineHorses ResultList::horsesAt(std::uint64_t index) const {
    LineHorses line;
    if (index >= count()) return line;
    const std::size_t b = blockOf(index);
    PositionWalker walker(blocks_[b]);
    walker.seek(index - (b == 0 ? 0 : ends_[b - 1]));
    FillHorses(walker, blocks_[b], b, line);
    return line;
}

void ResultList::forEachLine(const std::function<bool(std::string_view)>& visit,
                             std::uint64_t first) const {
    for (std::size_t b = blockOf(first); b < blocks_.size(); ++b) {
        const std::uint64_t start = b == 0 ? 0 : ends_[b - 1];
        BlockWalker walker(blocks_[b]);
        walker.seek(first > start ? first - start : 0);
        do {
            if (!visit(walker.text())) return;
        } while (walker.next());
    }
}

void ResultList::forEachHorses(const std::function<bool(const LineHorses&)>& visit, std::uint64_t first) const {
    LineHorses line;
    for (std::size_t b = blockOf(first); b < blocks_.size(); ++b) {
        const std::uint64_t start = b == 0 ? 0 : ends_[b - 1];
        PositionWalker walker(blocks_[b]);
        walker.seek(first > start ? first - start : 0);
        std::size_t changed = 0;
        do {
            FillHorses(walker, blocks_[b], b, line);
            if (!visit(line)) return;
            changed = walker.next();
        } while (changed < walker.take());
    }
}

}  // namespace torvanel
