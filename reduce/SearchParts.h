#pragma once
// Small pieces the cover searches share: a fast random generator, and a set
// of small ids with constant-time insert, erase and random pick (the
// uncovered events, the spare lines).

#include <cstdint>
#include <vector>

namespace torvanel::reduce {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 1) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1DULL;
    }
    std::uint32_t below(std::size_t bound) { return static_cast<std::uint32_t>(next() % bound); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t state_;
};

// Ids below `bound`; each id knows its place in the packed list.
class IdSet {
public:
    explicit IdSet(std::size_t bound) : at_(bound, kAbsent) {}

    bool empty() const { return ids_.empty(); }
    std::size_t size() const { return ids_.size(); }
    bool contains(std::uint32_t id) const { return at_[id] != kAbsent; }
    std::uint32_t pick(Random& random) const { return ids_[random.below(ids_.size())]; }

    void insert(std::uint32_t id) {
        at_[id] = static_cast<std::uint32_t>(ids_.size());
        ids_.push_back(id);
    }
    void erase(std::uint32_t id) {
        const std::uint32_t place = at_[id];
        ids_[place] = ids_.back();
        at_[ids_[place]] = place;
        ids_.pop_back();
        at_[id] = kAbsent;
    }

private:
    static constexpr std::uint32_t kAbsent = ~std::uint32_t{0};
    std::vector<std::uint32_t> ids_;
    std::vector<std::uint32_t> at_;
};

}  // namespace torvanel::reduce
