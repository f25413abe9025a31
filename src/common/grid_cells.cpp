#include "common/grid_cells.h"

#include <algorithm>

namespace common {

namespace {
const std::string kNoText;
}  // namespace

GridCells::GridCells(int rows, int cols)
    : rows_(std::max(rows, 0)),
      cols_(std::max(cols, 0)),
      colour_(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(cols_), qb::kNone),
      width_(static_cast<std::size_t>(cols_), -1),
      alignment_(static_cast<std::size_t>(cols_), flex_align::kNone) {}

const std::string& GridCells::Text(int row, int col) const {
    return Inside(row, col) && Index(row, col) < text_.size() ? text_[Index(row, col)] : kNoText;
}

std::int8_t GridCells::Colour(int row, int col) const { return Inside(row, col) ? colour_[Index(row, col)] : qb::kNone; }

void GridCells::SetText(int row, int col, std::string text) {
    if (!Inside(row, col)) return;
    // The texts reach as far as the last row written: a large grid that lists a few rows never
    // fills memory for the empty ones.
    if (Index(row, col) >= text_.size()) text_.resize(static_cast<std::size_t>(row + 1) * static_cast<std::size_t>(cols_));
    text_[Index(row, col)] = std::move(text);
}

void GridCells::SetColour(int row, int col, std::int8_t qbIndex) {
    if (Inside(row, col)) colour_[Index(row, col)] = qbIndex;
}

std::int8_t GridCells::TextColour(int row, int col) const {
    return Inside(row, col) && !textColour_.empty() ? textColour_[Index(row, col)] : qb::kNone;
}

void GridCells::SetTextColour(int row, int col, std::int8_t qbIndex) {
    if (!Inside(row, col)) return;
    if (textColour_.empty()) {
        if (qbIndex == qb::kNone) return;
        textColour_.assign(colour_.size(), qb::kNone);
    }
    textColour_[Index(row, col)] = qbIndex;
}

int GridCells::ColWidth(int col) const { return col >= 0 && col < cols_ ? width_[static_cast<std::size_t>(col)] : -1; }

void GridCells::SetColWidth(int col, int twips) {
    if (col >= 0 && col < cols_) width_[static_cast<std::size_t>(col)] = twips;
}

std::int8_t GridCells::ColAlignment(int col) const {
    return col >= 0 && col < cols_ ? alignment_[static_cast<std::size_t>(col)] : flex_align::kNone;
}

void GridCells::SetColAlignment(int col, std::int8_t flexAlign) {
    if (col < 0 || col >= cols_) return;
    const bool known = flexAlign >= flex_align::kLeftTop && flexAlign <= flex_align::kRightBottom;
    alignment_[static_cast<std::size_t>(col)] = known ? flexAlign : flex_align::kNone;
}

}  // namespace common
