#pragma once
// The lines a list shows: a full result list, or the lines a selection keeps
// of it. A cheap value (two shared pointers), so that a worker thread can read
// the lines while the window goes on; nothing it points to ever changes.

#include "generators/LineSelection.h"
#include "generators/ResultList.h"

#include <memory>

namespace torvanel {

class ShownLines {
public:
    ShownLines();
    // `kept` null: every line of `full`.
    ShownLines(std::shared_ptr<const ResultList> full, std::shared_ptr<const LineSelection> kept);
    // Every line of a copy of `full`.
    ShownLines(ResultList full);  // NOLINT(google-explicit-constructor): a full list is shown whole

    std::uint64_t count() const;
    WideCount exactCount() const;
    bool empty() const { return count() == 0; }
    bool isFull() const { return kept_ == nullptr; }
    const ResultList& full() const { return *full_; }
    const LineSelection* kept() const { return kept_.get(); }

    // Index in the full list of shown line `index`.
    std::uint64_t fullIndex(std::uint64_t index) const;
    // Shown line `index`, as text and as numbers (empty past the end).
    std::string lineAt(std::uint64_t index) const;
    LineHorses horsesAt(std::uint64_t index) const;

    // Walks the shown lines from `first` on, in list order; false from the
    // callback stops.
    void forEachLine(const std::function<bool(std::string_view)>& visit, std::uint64_t first = 0) const;
    void forEachHorses(const std::function<bool(const LineHorses&)>& visit, std::uint64_t first = 0) const;

private:
    std::shared_ptr<const ResultList> full_;
    std::shared_ptr<const LineSelection> kept_;
};

}  // namespace torvanel
