#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a grid window shows, as the core computes it: the texts and background colours of every
// cell of an MSFlexGrid-style grid (row 0 and column 0 being the fixed caption cells) and the
// column widths set in twips. The windows only apply it.
namespace common {

/// Colours of the classic 16-colour palette, by index.
namespace qb {
inline constexpr std::int8_t kNone = -1;  // the grid's own colour: nothing was set
inline constexpr std::int8_t kNavy = 1;
inline constexpr std::int8_t kLightBlue = 9;
inline constexpr std::int8_t kLightGreen = 10;
inline constexpr std::int8_t kLightCyan = 11;
inline constexpr std::int8_t kLightRed = 12;
inline constexpr std::int8_t kLightMagenta = 13;
inline constexpr std::int8_t kLightYellow = 14;
inline constexpr std::int8_t kWhite = 15;
}  // namespace qb

/// Column alignments as the grid control numbers them: left, centre or right, each at the top,
/// centre or bottom of the cell (0 left top ... 8 right bottom).
namespace flex_align {
inline constexpr std::int8_t kNone = -1;  // the grid's own alignment: nothing was set
inline constexpr std::int8_t kLeftTop = 0;
inline constexpr std::int8_t kRightBottom = 8;
}  // namespace flex_align

class GridCells {
public:
    GridCells() = default;
    /// Every cell empty, no colour, every column as designed.
    GridCells(int rows, int cols);

    int Rows() const { return rows_; }
    int Cols() const { return cols_; }

    /// A cell's text (UTF-8); "" outside the grid.
    const std::string& Text(int row, int col) const;
    /// A cell's colour index (qb::kNone when none was set or outside the grid).
    std::int8_t Colour(int row, int col) const;
    /// Writes outside the grid are dropped: a grid is never written beyond its cells.
    void SetText(int row, int col, std::string text);
    void SetColour(int row, int col, std::int8_t qbIndex);
    /// A cell's text colour index (qb::kNone: the grid's own text colour).
    std::int8_t TextColour(int row, int col) const;
    void SetTextColour(int row, int col, std::int8_t qbIndex);
    /// Width of a column in twips; -1 when it keeps its designed width.
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);
    /// Alignment of every cell of a column (flex_align::kNone when none was set).
    std::int8_t ColAlignment(int col) const;
    void SetColAlignment(int col, std::int8_t flexAlign);

private:
    bool Inside(int row, int col) const { return row >= 0 && row < rows_ && col >= 0 && col < cols_; }
    std::size_t Index(int row, int col) const { return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(col); }

    int rows_ = 0;
    int cols_ = 0;
    std::vector<std::string> text_;        // the rows up to the last one written; the rest are empty
    std::vector<std::int8_t> colour_;
    std::vector<std::int8_t> textColour_;  // empty until a text colour is set: most grids set none
    std::vector<int> width_;
    std::vector<std::int8_t> alignment_;
};

}  // namespace common
