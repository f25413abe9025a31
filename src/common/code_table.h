#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The names of the data service's codes, supplied as JRACODE/CodeTable.csv: one row of eight
// fields per line (code kind, code, six written forms), Shift-JIS. The table is read once into
// UTF-8 cells and looked up by kind, code and column.
namespace common {

/// The supplied table's file name under JRACODE (matched without regard to letter case).
inline constexpr std::string_view kCodeTableFile = "CodeTable.csv";
/// The step name under which loading notes what it passed over in ERRORLOG.txt.
inline constexpr std::string_view kCodeTableStep = "CodeTable";

class CodeTable {
public:
    static constexpr int kRows = 501;
    static constexpr int kColumns = 8;

    /// An empty table: every lookup gives "".
    CodeTable() = default;

    /// Reads AppFolder/JRACODE/CodeTable.csv. A missing or unreadable file gives an empty table;
    /// that, a file that holds no row, rows past the 501st, fields that cannot be read and lines
    /// with fewer than eight fields are noted in ERRORLOG.txt.
    static CodeTable Load();
    /// Reads a code table file (missing: an empty table); logs nothing.
    static CodeTable FromFile(const std::filesystem::path& path);
    /// Parses the file's CP932 content, decoded once. Each line is one row: its fields are taken
    /// from that line only (quoted fields without their quotes, bare fields without surrounding
    /// blanks), so a line with too few or too many fields stays one row and later rows keep their
    /// places. Missing fields are empty, and so is a field that cannot be read (text after its
    /// closing quote); fields past the eighth are dropped; lines that hold nothing are skipped. Rows fill the table from row 0; lines past row 500 are not kept.
    static CodeTable FromCp932(std::string_view content);

    /// The text in `column` (0 to 7) of the last row whose kind (column 0) and code (column 1)
    /// equal `kind` and `code` exactly; "" when no row matches or the column is outside 0..7.
    std::string LookupCode(std::string_view kind, std::string_view code, int column) const;

    /// Cell of row 0..500, column 0..7 ("" for rows the file did not reach and outside the table).
    const std::string& Cell(int row, int column) const;
    /// Rows the file filled (at most 501).
    int RowCount() const { return static_cast<int>(rows_.size()); }
    /// Lines of the file that had no room left in the table.
    std::int64_t RowsDropped() const { return dropped_; }
    /// False when the file was missing or could not be read.
    bool FileFound() const { return found_; }
    /// True when the file is there but could not be read (as opposed to missing).
    bool Unreadable() const { return unreadable_; }
    /// Fields left empty because they could not be read.
    int UnreadableFields() const { return static_cast<int>(unreadableLines_.size()); }
    /// Lines with fewer than eight fields (a line cut short).
    int ShortLines() const { return static_cast<int>(shortLines_.size()); }
    /// True when the file is there but its names cannot all be taken from it: it cannot be read,
    /// holds no row, or has a line that cannot be read whole (a field that cannot be read, fewer
    /// than eight fields). Names looked up from it would be blank where the file meant a name.
    bool Damaged() const { return unreadable_ || (found_ && (rows_.empty() || !unreadableLines_.empty() || !shortLines_.empty())); }

private:
    using Row = std::array<std::string, kColumns>;
    static std::string KeyOf(std::string_view kind, std::string_view code);

    std::vector<Row> rows_;
    std::unordered_map<std::string, int> lastRow_;  // kind and code -> highest matching row
    std::int64_t dropped_ = 0;
    bool found_ = false;
    bool unreadable_ = false;
    std::vector<int> unreadableLines_;  // file lines, one entry per field that cannot be read
    std::vector<int> shortLines_;       // file lines with fewer than eight fields
};

}  // namespace common
