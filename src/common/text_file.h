#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <span>
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
/// The same, added to the end of `out`.
void AppendWrittenFields(std::string& out, std::span<const Field> fields);

/// ERRORLOG.txt's reason for a value on `line` of `file` that cannot be read.
std::string UnreadableFieldReason(std::string_view file, int line);

/// How a file spreads its values over lines.
enum class FieldLines {
    /// The program's comma-separated files: every line is a record, a field ends at a comma or at
    /// the line end, and a comma before the line end leaves an empty last field ("…,0," holds
    /// "0" and "").
    Records,
    /// Values spread over lines in any mix of commas and line ends (the supplied model files): a
    /// line end after a comma adds no value.
    Spread,
};

/// Reads written-field values one by one across lines, as they were written: a value is a
/// quoted text (quotes removed) or the bare text up to the next comma or line end; a read that
/// asks for more values than a line holds goes on into the next line. Lines holding nothing are
/// passed over. A field that cannot be read (something other than blanks between its closing
/// quote and the next comma or line end, or a quote that the line never closes) reads as an
/// empty text and moves no other field.
class WrittenFieldReader {
public:
    explicit WrittenFieldReader(std::string content, FieldLines lines = FieldLines::Records);
    /// Reads the first `size` bytes of `buffer` only, as ReadFileBytes(path, buffer) leaves a
    /// file in it: a caller that reads file after file hands one buffer on from reader to reader
    /// (Release), so that no file costs fresh memory or filling the memory before the read.
    WrittenFieldReader(std::string buffer, std::size_t size, FieldLines lines = FieldLines::Records);
    /// Reads a whole file; a missing file gives no values.
    static WrittenFieldReader FromFile(const std::filesystem::path& path, FieldLines lines = FieldLines::Records);

    /// Next value's text, as a view into the content that lasts as long as the reader; false at
    /// the end of the content (`value` is then left as it was).
    bool Next(std::string_view& value);
    /// The same, copied into `value`.
    bool Next(std::string& value) {
        std::string_view read;
        if (!Next(read)) return false;
        value.assign(read);
        return true;
    }
    /// Reads on as Next does up to the first value that is one of `tags` (non-empty texts), and
    /// gives it in `value`; false when the content ends first (`value` then holds nothing of use).
    /// `budget` counts down by every value read, the tag's too: at 0 the read stops, false unless
    /// the last value was a tag. Lines and unreadable fields come out as from a loop of Next, but
    /// a run of whole lines of plain quoted values ("a","b" and CR LF, no quote, comma or line end
    /// inside a value) that holds none of the tags is passed over without taking its values one by
    /// one (for up to three tags).
    bool NextTag(std::span<const std::string_view> tags, std::string_view& value, int& budget);
    bool NextTag(std::span<const std::string_view> tags, std::string_view& value) {
        int budget = std::numeric_limits<int>::max();
        return NextTag(tags, value, budget);
    }
    /// Passes over the next `count` values as as many reads of Next would (lines and unreadable
    /// fields alike); false when the content ends first. Plain quoted values each followed by a
    /// comma are passed over without giving their texts.
    bool Skip(int count);
    /// Next value read as a number (Val); 0 at the end.
    double NextNumber();
    bool AtEnd() const;

    /// Whether the value read last could not be read (it reads as an empty text).
    bool Unreadable() const { return unreadable_; }
    /// The line, counted from 1, of the value read last.
    int Line() const { return fieldLine_; }
    /// How many values read so far could not be read.
    int UnreadableFields() const { return unreadableFields_; }
    /// From now on every value that cannot be read is logged under `step`, naming `file` and the
    /// line; `firstLine` is the file's line number of the content's first line.
    void LogUnreadableFields(std::string_view step, std::string_view file, int firstLine = 1);

    /// The buffer that held the content, for the next file's read; the reader is left empty.
    std::string Release() &&;

private:
    int SkipPlainLines(std::span<const std::string_view> tags, int budget);
    bool LineRead() const;

    std::string content_;
    std::size_t size_;  // the content is content_'s first size_ bytes
    FieldLines lines_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool fieldOwed_ = false;  // a comma was read: a field follows it, empty when the line ends
    bool unreadable_ = false;
    int fieldLine_ = 0;
    int unreadableFields_ = 0;
    std::string logStep_;
    std::string logFile_;
    int lineOffset_ = 0;
};

/// Splits content into lines at CR LF (or a lone LF); the line ends are not kept.
std::vector<std::string> SplitLines(std::string_view content);

/// The same lines as views into `content`, for a reader that keeps the content while it reads them.
std::vector<std::string_view> LineViews(std::string_view content);

}  // namespace common
