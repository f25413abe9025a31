#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Text files of lines ending in CR LF. Lines are bytes (CP932 where they hold text).
namespace common {

/// Creates the file empty, or cuts an existing one to empty.
void TruncateFile(const std::filesystem::path& path);

/// Appends one line and CR LF (opens and closes the file; use TextAppender for many lines).
void AppendLine(const std::filesystem::path& path, std::string_view line);

/// Keeps a file open for appending lines, so that a step opens each output once.
class TextAppender {
public:
    /// `truncate` empties the file first.
    explicit TextAppender(const std::filesystem::path& path, bool truncate = false);
    void Line(std::string_view line);
    void Raw(std::string_view bytes);
    void Close();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
    std::ofstream out_;
};

/// One value of a written-field line: a text (written in double quotes, CP932 bytes as given),
/// a single- or double-precision number, a whole number (all written bare), or no value at all
/// (written as nothing, so two commas follow each other).
struct Single { float value; };
struct NoValue {};
using Field = std::variant<std::string, Single, double, std::int64_t, int, NoValue>;

/// Fields joined by commas: texts in double quotes, numbers bare (number text without a
/// leading blank; singles with at most 7 significant digits, doubles with at most 15), no value
/// as nothing.
std::string WrittenFields(const std::vector<Field>& fields);

/// Reads written-field values one by one across lines, as they were written: a value is a
/// quoted text (quotes removed) or the bare text up to the next comma or line end.
class WrittenFieldReader {
public:
    explicit WrittenFieldReader(std::string content);
    /// Reads a whole file; a missing file gives no values.
    static WrittenFieldReader FromFile(const std::filesystem::path& path);

    /// Next value's text; false at the end of the content.
    bool Next(std::string& value);
    /// Next value read as a number (Val); 0 at the end.
    double NextNumber();
    bool AtEnd() const;

private:
    void SkipSeparators();
    std::string content_;
    std::size_t pos_ = 0;
};

/// Splits content into lines at CR LF (or a lone LF); the line ends are not kept.
std::vector<std::string> SplitLines(std::string_view content);

}  // namespace common
