#include "common/code_table.h"

#include <exception>
#include <system_error>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"

namespace common {

namespace fs = std::filesystem;

namespace {

bool HoldsNothing(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::string CodeTable::KeyOf(std::string_view kind, std::string_view code) {
    // The kind's length first, so that no kind and code can run into another pair.
    std::string key = std::to_string(kind.size());
    key += ':';
    key += kind;
    key += code;
    return key;
}

CodeTable CodeTable::FromCp932(std::string_view content) {
    CodeTable table;
    table.found_ = true;
    int lineNumber = 0;
    for (const std::string& line : SplitLines(common::FromCp932(content))) {
        ++lineNumber;
        if (HoldsNothing(line)) continue;
        if (table.rows_.size() == static_cast<std::size_t>(kRows)) {
            ++table.dropped_;
            continue;
        }
        // One line is one row: a short line cannot pull the next line's fields into its row.
        Row row;
        WrittenFieldReader fields(line);
        int read = 0;
        for (std::string& cell : row) {
            if (!fields.Next(cell)) break;
            ++read;
            if (fields.Unreadable()) table.unreadableLines_.push_back(lineNumber);
        }
        if (read < kColumns) table.shortLines_.push_back(lineNumber);
        const int at = static_cast<int>(table.rows_.size());
        table.lastRow_[KeyOf(row[0], row[1])] = at;  // a later row of the same code wins
        table.rows_.push_back(std::move(row));
    }
    return table;
}

CodeTable CodeTable::FromFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return CodeTable();
    try {
        return FromCp932(ReadFileBytes(path));
    } catch (const std::exception&) {
        CodeTable unreadable;
        unreadable.unreadable_ = true;
        return unreadable;
    }
}

CodeTable CodeTable::Load() {
    const fs::path path = JraCodePath(kCodeTableFile);
    CodeTable table = FromFile(path);
    if (!table.found_) LogError(kCodeTableStep, "cannot read " + path.string() + ": every code name is blank");
    if (table.found_ && table.rows_.empty()) LogError(kCodeTableStep, path.string() + " holds no row: every code name would be blank");
    for (const int line : table.unreadableLines_) LogError(kCodeTableStep, UnreadableFieldReason(path.string(), line));
    for (const int line : table.shortLines_)
        LogError(kCodeTableStep, path.string() + " line " + std::to_string(line) + " holds fewer than " +
                                     std::to_string(kColumns) + " fields: it is cut short");
    if (table.dropped_ > 0)
        LogError(kCodeTableStep, std::to_string(table.dropped_) + " lines after row " + std::to_string(kRows) +
                                     " of " + path.string() + " not read");
    return table;
}

std::string CodeTable::LookupCode(std::string_view kind, std::string_view code, int column) const {
    if (column < 0 || column >= kColumns) return {};
    // Rows the file did not reach are empty and match an empty kind and code; being after every
    // filled row, they win and give "".
    if (kind.empty() && code.empty() && rows_.size() < static_cast<std::size_t>(kRows)) return {};
    const auto found = lastRow_.find(KeyOf(kind, code));
    if (found == lastRow_.end()) return {};
    return rows_[static_cast<std::size_t>(found->second)][static_cast<std::size_t>(column)];
}

const std::string& CodeTable::Cell(int row, int column) const {
    static const std::string kEmpty;
    if (row < 0 || column < 0 || column >= kColumns || row >= static_cast<int>(rows_.size())) return kEmpty;
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

}  // namespace common
