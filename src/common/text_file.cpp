#include "common/text_file.h"

#include <system_error>

#include "common/error_log.h"
#include "common/file_faults.h"
#include "common/numbers.h"
#include "common/record_file.h"

namespace common {

namespace fs = std::filesystem;

void TruncateFile(const fs::path& path) {
    CountFileCall("cannot create", path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::system_error(errno, std::generic_category(), "cannot create " + path.string());
}

void AppendLine(const fs::path& path, std::string_view line) {
    TextAppender out(path);
    out.Line(line);
    out.Close();
}

TextAppender::TextAppender(const fs::path& path, bool truncate)
    : path_(path) {
    CountFileCall("cannot open", path);
    out_.open(path, std::ios::binary | (truncate ? std::ios::trunc : std::ios::app));
    if (!out_) throw std::system_error(errno, std::generic_category(), "cannot open " + path.string());
}

void TextAppender::Line(std::string_view line) {
    CountFileCall("cannot write", path_);
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
    out_.write("\r\n", 2);
    if (!out_) throw std::runtime_error("cannot write " + path_.string());
}

void TextAppender::Raw(std::string_view bytes) {
    CountFileCall("cannot write", path_);
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out_) throw std::runtime_error("cannot write " + path_.string());
}

void TextAppender::Close() {
    if (!out_.is_open()) return;
    const bool allowed = FileCallAllowed();
    out_.close();
    if (!out_ || !allowed) throw std::runtime_error("cannot close " + path_.string());
}

std::string WrittenFields(const std::vector<Field>& fields) {
    std::string line;
    bool first = true;
    for (const auto& f : fields) {
        if (!first) line += ',';
        first = false;
        std::visit(
            [&](const auto& v) {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, std::string>) {
                    line += '"';
                    line += v;
                    line += '"';
                } else if constexpr (std::is_same_v<T, Single>) {
                    line += SingleText(v.value);
                } else if constexpr (std::is_same_v<T, double>) {
                    line += NumberText(v);
                } else if constexpr (std::is_same_v<T, NoValue>) {
                    // nothing between the commas
                } else {
                    line += NumberText(static_cast<std::int64_t>(v));
                }
            },
            f);
    }
    return line;
}

std::string UnreadableFieldReason(std::string_view file, int line) {
    return std::string(file) + " line " + std::to_string(line) +
           ": a value that cannot be read (text after its closing quote, or no closing quote) is left empty";
}

WrittenFieldReader::WrittenFieldReader(std::string content, FieldLines lines)
    : content_(std::move(content)), lines_(lines) {}

WrittenFieldReader WrittenFieldReader::FromFile(const fs::path& path, FieldLines lines) {
    return WrittenFieldReader(ReadWholeFile(path), lines);
}

void WrittenFieldReader::LogUnreadableFields(std::string_view step, std::string_view file, int firstLine) {
    logStep_ = step;
    logFile_ = file;
    lineOffset_ = firstLine - 1;
}

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

bool WrittenFieldReader::AtLineEnd(std::size_t at) const {
    return at < content_.size() && (content_[at] == '\r' || content_[at] == '\n');
}

void WrittenFieldReader::SkipBlanks() {
    while (pos_ < content_.size() && Blank(content_[pos_])) ++pos_;
}

// CR LF, a lone LF or a lone CR.
void WrittenFieldReader::SkipLineEnd() {
    if (content_[pos_] == '\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
}

bool WrittenFieldReader::AtEnd() const {
    bool owed = fieldOwed_ && lines_ == FieldLines::Records;
    for (std::size_t i = pos_; i < content_.size(); ++i) {
        const char c = content_[i];
        if (Blank(c)) continue;
        if (c != '\r' && c != '\n') return false;
        if (owed) return false;  // the line ends in an empty field
    }
    return !owed;
}

// A comma ends the field and owes the next one; a line end or the end of the content is left for
// the next read.
void WrittenFieldReader::EndField() {
    if (pos_ < content_.size() && content_[pos_] == ',') {
        ++pos_;
        fieldOwed_ = true;
    }
}

void WrittenFieldReader::ReadQuoted(std::string_view& value) {
    std::size_t close = pos_ + 1;
    while (close < content_.size() && content_[close] != '"' && !AtLineEnd(close)) ++close;
    const bool closed = close < content_.size() && content_[close] == '"';
    if (closed) {
        value = std::string_view(content_).substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        SkipBlanks();
    } else {
        ++pos_;
    }
    if (!closed || (pos_ < content_.size() && content_[pos_] != ',' && !AtLineEnd(pos_))) {
        // Text after the closing quote, or a quote the line never closes: this field is lost, and
        // the next one starts after the next comma, where it was written.
        unreadable_ = true;
        value = {};
        while (pos_ < content_.size() && content_[pos_] != ',' && !AtLineEnd(pos_)) ++pos_;
    }
    EndField();
}

void WrittenFieldReader::ReadBare(std::string_view& value) {
    std::size_t end = pos_;
    while (end < content_.size() && content_[end] != ',' && !AtLineEnd(end)) ++end;
    std::size_t last = end;
    while (last > pos_ && Blank(content_[last - 1])) --last;
    value = std::string_view(content_).substr(pos_, last - pos_);
    pos_ = end;
    EndField();
}

bool WrittenFieldReader::Next(std::string_view& value) {
    for (;;) {
        SkipBlanks();
        const bool lineEnds = pos_ >= content_.size() || AtLineEnd(pos_);
        if (!lineEnds) break;
        if (fieldOwed_ && lines_ == FieldLines::Records) {
            // "…,0," ends in an empty field; the line end stays for the next read.
            fieldOwed_ = false;
            unreadable_ = false;
            fieldLine_ = line_ + lineOffset_;
            value = {};
            return true;
        }
        fieldOwed_ = false;
        if (pos_ >= content_.size()) return false;
        SkipLineEnd();
    }
    fieldOwed_ = false;
    unreadable_ = false;
    fieldLine_ = line_ + lineOffset_;
    value = {};
    if (content_[pos_] == '"') ReadQuoted(value);
    else ReadBare(value);
    if (unreadable_) {
        ++unreadableFields_;
        if (!logStep_.empty()) LogError(logStep_, UnreadableFieldReason(logFile_, fieldLine_));
    }
    return true;
}

double WrittenFieldReader::NextNumber() {
    std::string_view v;
    return Next(v) ? Val(v) : 0.0;
}

std::vector<std::string> SplitLines(std::string_view content) {
    const std::vector<std::string_view> lines = LineViews(content);
    return {lines.begin(), lines.end()};
}

std::vector<std::string_view> LineViews(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t nl = content.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? content.size() : nl;
        std::size_t cut = end;
        if (cut > start && content[cut - 1] == '\r') --cut;
        lines.emplace_back(content.substr(start, cut - start));
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

}  // namespace common
