#include "generators/ShownLines.h"

namespace torvanel {

ShownLines::ShownLines() : full_(std::make_shared<const ResultList>()) {}

ShownLines::ShownLines(std::shared_ptr<const ResultList> full, std::shared_ptr<const LineSelection> kept)
    : full_(full ? std::move(full) : std::make_shared<const ResultList>()), kept_(std::move(kept)) {}

ShownLines::ShownLines(ResultList full) : full_(std::make_shared<const ResultList>(std::move(full))) {}

std::uint64_t ShownLines::count() const { return kept_ ? kept_->count() : full_->count(); }

WideCount ShownLines::exactCount() const { return kept_ ? WideCount(kept_->count()) : full_->exactCount(); }

std::uint64_t ShownLines::fullIndex(std::uint64_t index) const { return kept_ ? kept_->select(index) : index; }

std::string ShownLines::lineAt(std::uint64_t index) const {
    if (index >= count()) return {};
    return full_->lineAt(fullIndex(index));
}

LineHorses ShownLines::horsesAt(std::uint64_t index) const {
    if (index >= count()) return {};
    return full_->horsesAt(fullIndex(index));
}

void ShownLines::forEachLine(const std::function<bool(std::string_view)>& visit, std::uint64_t first) const {
    if (!kept_) return full_->forEachLine(visit, first);
    kept_->forEach([&](std::uint64_t index) { return visit(full_->lineAt(index)); }, first);
}

void ShownLines::forEachHorses(const std::function<bool(const LineHorses&)>& visit, std::uint64_t first) const {
    if (!kept_) return full_->forEachHorses(visit, first);
    kept_->forEach([&](std::uint64_t index) { return visit(full_->horsesAt(index)); }, first);
}

}  // namespace torvanel
