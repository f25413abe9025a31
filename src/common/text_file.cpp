#include "common/text_file.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
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
    line.reserve(fields.size() * 8);
    AppendWrittenFields(line, fields);
    return line;
}

void AppendWrittenFields(std::string& line, std::span<const Field> fields) {
    char number[kSingleTextMax];
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
                    line.append(number, SingleTextTo(number, v.value));
                } else if constexpr (std::is_same_v<T, double>) {
                    line += NumberText(v);
                } else if constexpr (std::is_same_v<T, NoValue>) {
                    // nothing between the commas
                } else {
                    line.append(number, std::to_chars(number, number + sizeof number, static_cast<std::int64_t>(v)).ptr);
                }
            },
            f);
    }
}

std::string UnreadableFieldReason(std::string_view file, int line) {
    return std::string(file) + " line " + std::to_string(line) +
           ": a value that cannot be read (text after its closing quote, or no closing quote) is left empty";
}

WrittenFieldReader::WrittenFieldReader(std::string content, FieldLines lines)
    : content_(std::move(content)), size_(content_.size()), lines_(lines) {}

WrittenFieldReader::WrittenFieldReader(std::string buffer, std::size_t size, FieldLines lines)
    : content_(std::move(buffer)), size_(std::min(size, content_.size())), lines_(lines) {}

std::string WrittenFieldReader::Release() && {
    size_ = 0;
    pos_ = 0;
    fieldOwed_ = false;
    return std::move(content_);
}

WrittenFieldReader WrittenFieldReader::FromFile(const fs::path& path, FieldLines lines) {
    return WrittenFieldReader(ReadFileBytes(path), lines);
}

void WrittenFieldReader::LogUnreadableFields(std::string_view step, std::string_view file, int firstLine) {
    logStep_ = step;
    logFile_ = file;
    lineOffset_ = firstLine - 1;
}

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }
bool LineEnd(char c) { return c == '\r' || c == '\n'; }

// The first of [p, end) that is `a`, a CR or an LF; `end` when none is. Eight bytes at a time:
// the files hold many short fields, and a loop of one byte at a time pays a mispredicted branch
// at the end of every one.
const char* FindOrLineEnd(const char* p, const char* end, char a) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
        // The high bit of every zero byte of `w`. A byte above the first zero byte may be marked
        // wrongly, so only the lowest mark counts.
        const auto zeros = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
        const std::uint64_t wa = kOnes * static_cast<unsigned char>(a);
        for (; end - p >= 8; p += 8) {
            std::uint64_t w;
            std::memcpy(&w, p, 8);
            const std::uint64_t found = zeros(w ^ wa) | zeros(w ^ (kOnes * '\r')) | zeros(w ^ (kOnes * '\n'));
            if (found != 0) return p + std::countr_zero(found) / 8;
        }
    }
    while (p < end && *p != a && !LineEnd(*p)) ++p;
    return p;
}

// The first of [p, end) that is a comma or a line end; `end` when none is.
const char* FieldEnd(const char* p, const char* end) { return FindOrLineEnd(p, end, ','); }

}  // namespace

bool WrittenFieldReader::AtEnd() const {
    bool owed = fieldOwed_ && lines_ == FieldLines::Records;
    for (std::size_t i = pos_; i < size_; ++i) {
        const char c = content_[i];
        if (Blank(c)) continue;
        if (!LineEnd(c)) return false;
        if (owed) return false;  // the line ends in an empty field
    }
    return !owed;
}

// The read works on local pointers and stores its place once: the files hold many short fields,
// and going through the members at every byte kept each field waiting on the last store.
bool WrittenFieldReader::Next(std::string_view& value) {
    const char* const begin = content_.data();
    const char* const end = begin + size_;
    const char* p = begin + pos_;
    for (;;) {
        while (p < end && Blank(*p)) ++p;
        if (p < end && !LineEnd(*p)) break;
        if (fieldOwed_ && lines_ == FieldLines::Records) {
            // "…,0," ends in an empty field; the line end stays for the next read.
            pos_ = static_cast<std::size_t>(p - begin);
            fieldOwed_ = false;
            unreadable_ = false;
            fieldLine_ = line_ + lineOffset_;
            value = {};
            return true;
        }
        fieldOwed_ = false;
        if (p == end) {
            pos_ = size_;
            return false;
        }
        // CR LF, a lone LF or a lone CR.
        if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
        ++p;
        ++line_;
    }

    std::string_view read;
    bool unreadable = false;
    if (*p == '"') {
        const char* const close = FindOrLineEnd(p + 1, end, '"');
        if (close < end && *close == '"') {
            read = std::string_view(p + 1, static_cast<std::size_t>(close - p - 1));
            p = close + 1;
            while (p < end && Blank(*p)) ++p;
            unreadable = p < end && *p != ',' && !LineEnd(*p);
        } else {
            ++p;
            unreadable = true;
        }
        if (unreadable) {
            // Text after the closing quote, or a quote the line never closes: this field is lost,
            // and the next one starts after the next comma, where it was written.
            read = {};
            p = FieldEnd(p, end);
        }
    } else {
        const char* const stop = FieldEnd(p, end);
        const char* last = stop;
        while (last > p && Blank(last[-1])) --last;
        read = std::string_view(p, static_cast<std::size_t>(last - p));
        p = stop;
    }
    // A comma ends the field and owes the next one; a line end or the end of the content is left
    // for the next read.
    fieldOwed_ = p < end && *p == ',';
    if (fieldOwed_) ++p;
    pos_ = static_cast<std::size_t>(p - begin);
    unreadable_ = unreadable;
    fieldLine_ = line_ + lineOffset_;
    value = read;
    if (unreadable) {
        ++unreadableFields_;
        if (!logStep_.empty()) LogError(logStep_, UnreadableFieldReason(logFile_, fieldLine_));
    }
    return true;
}

namespace {

// Tags that NextTag looks for while it passes plain runs over.
constexpr std::size_t kMostTags = 3;

// The first two bytes after the opening quote of each tag's quoted text ("RC" starts RC, "A"
// starts A"). As many as the tags, so that the rules test no more than there are.
template <std::size_t Count>
struct TagStarts {
    unsigned char first[Count];
    unsigned char second[Count];
};

// Whether the byte at `s` breaks a run of plain lines, or may start one of the tags: read from
// s[-1] to s[2]. Each rule looks at the byte and its neighbours only, so a run is plain up to
// the first byte that breaks it, and the lines before that byte's line can be passed over:
// - a byte after a comma or an LF opens a value, a byte before a comma or a CR closes one; a
//   byte is a quote exactly when it opens or closes a value, and it does not do both (so every
//   value is in quotes, and holds no quote, comma or line end);
// - a byte is a CR exactly when an LF follows it.
// Bytes and bitwise operators, no branches: the compiler looks at many bytes at once.
template <std::size_t Count>
inline unsigned char BreaksPlainLines(const unsigned char* s, const TagStarts<Count>& tags) {
    const unsigned char before = s[-1], c = s[0], after = s[1];
    const unsigned char opens = (before == ',') | (before == '\n');
    const unsigned char closes = (after == ',') | (after == '\r');
    unsigned char breaks = ((opens | closes) ^ (c == '"')) | (opens & closes) | ((c == '\r') ^ (after == '\n'));
    for (std::size_t t = 0; t < Count; ++t) breaks |= opens & (after == tags.first[t]) & (s[2] == tags.second[t]);
    return breaks;
}

// The first byte of [p, end) that breaks a run of plain lines, or where the rules could read past
// the end. 64 bytes at a time, their rules stored and then read eight at a time.
template <std::size_t Count>
const unsigned char* FirstBreak(const unsigned char* p, const unsigned char* end, std::span<const std::string_view> tags) {
    TagStarts<Count> starts;
    for (std::size_t t = 0; t < Count; ++t) {
        starts.first[t] = static_cast<unsigned char>(tags[t][0]);
        starts.second[t] = static_cast<unsigned char>(tags[t].size() > 1 ? tags[t][1] : '"');
    }
    constexpr std::ptrdiff_t kBlock = 64;
    for (; end - p >= kBlock + 3; p += kBlock) {
        unsigned char breaks[kBlock];
        for (std::ptrdiff_t i = 0; i < kBlock; ++i) breaks[i] = BreaksPlainLines(p + i, starts);
        for (std::ptrdiff_t i = 0; i < kBlock; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, breaks + i, 8);
            if (eight == 0) continue;
            if constexpr (std::endian::native == std::endian::little) return p + i + std::countr_zero(eight) / 8;
            return p + i + std::countl_zero(eight) / 8;
        }
    }
    while (end - p >= 3 && BreaksPlainLines(p, starts) == 0) ++p;
    return p;
}

const unsigned char* FirstBreak(const unsigned char* p, const unsigned char* end, std::span<const std::string_view> tags) {
    static_assert(kMostTags == 3);
    switch (tags.size()) {
        case 1: return FirstBreak<1>(p, end, tags);
        case 2: return FirstBreak<2>(p, end, tags);
        default: return FirstBreak<3>(p, end, tags);
    }
}

// Adds the commas and the LFs of `text` to the counts: 64 bytes at a time, counted in bytes.
void CountCommasAndLineEnds(std::string_view text, std::int64_t& commas, std::int64_t& lineEnds) {
    constexpr std::size_t kBlock = 64;
    std::size_t i = 0;
    for (; text.size() - i >= kBlock; i += kBlock) {
        unsigned char blockCommas = 0, blockLineEnds = 0;
        for (std::size_t k = 0; k < kBlock; ++k) {
            blockCommas += text[i + k] == ',';
            blockLineEnds += text[i + k] == '\n';
        }
        commas += blockCommas;
        lineEnds += blockLineEnds;
    }
    for (; i < text.size(); ++i) {
        commas += text[i] == ',';
        lineEnds += text[i] == '\n';
    }
}

}  // namespace

// Read through Next, every value of a plain run is the text between its quotes, readable, and
// the values of a line are its commas and one more: the run is passed over by counting them.
int WrittenFieldReader::SkipPlainLines(std::span<const std::string_view> tags, int budget) {
    const auto* const begin = reinterpret_cast<const unsigned char*>(content_.data());
    const auto* const end = begin + size_;
    const auto* start = begin + pos_;
    int leadingLineEnd = 0;  // the CR LF of the line read last, which Next would pass first
    if (!fieldOwed_ && end - start >= 2 && start[0] == '\r' && start[1] == '\n') {
        start += 2;
        leadingLineEnd = 1;
    }
    // The run starts where a value does: after a comma, or at the start of a line.
    if (start == begin || (start[-1] != ',' && start[-1] != '\n')) return 0;

    const unsigned char* const p = FirstBreak(start, end, tags);

    // The run ends with the last line end before the byte that breaks it, and holds at most
    // `budget` values.
    const std::string_view looked(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
    std::size_t runEnd = looked.rfind('\n');
    if (runEnd == std::string_view::npos) return 0;
    ++runEnd;
    std::int64_t commas = 0, newLines = 0;
    CountCommasAndLineEnds(looked.substr(0, runEnd), commas, newLines);
    std::int64_t values = commas + newLines;
    if (values > budget) {
        runEnd = 0;
        values = 0;
        newLines = 0;
        for (;;) {
            const std::size_t lineEnd = looked.find('\n', runEnd) + 1;
            const auto line = looked.substr(runEnd, lineEnd - runEnd);
            const auto lineValues = static_cast<std::int64_t>(std::count(line.begin(), line.end(), ',')) + 1;
            if (values + lineValues > budget) break;
            values += lineValues;
            runEnd = lineEnd;
            ++newLines;
        }
        if (runEnd == 0) return 0;
    }
    pos_ = static_cast<std::size_t>(start - begin) + runEnd;
    line_ += leadingLineEnd + static_cast<int>(newLines);
    fieldOwed_ = false;
    unreadable_ = false;
    fieldLine_ = line_ - 1 + lineOffset_;
    return static_cast<int>(values);
}

// The value read last was the last of its line.
bool WrittenFieldReader::LineRead() const { return !fieldOwed_ && (pos_ == size_ || LineEnd(content_[pos_])); }

bool WrittenFieldReader::NextTag(std::span<const std::string_view> tags, std::string_view& value, int& budget) {
    const bool plainRuns = !tags.empty() && tags.size() <= kMostTags &&
                           std::none_of(tags.begin(), tags.end(), [](std::string_view tag) { return tag.empty(); });
    for (;;) {
        if (budget <= 0) return false;
        if (plainRuns) budget -= SkipPlainLines(tags, budget);
        if (budget <= 0) return false;
        // The rest of this line value by value: it may hold a tag, or it is not plain.
        do {
            if (!Next(value)) return false;
            --budget;
            for (const std::string_view tag : tags)
                if (value == tag) return true;
        } while (budget > 0 && !LineRead());
    }
}

bool WrittenFieldReader::Skip(int count) {
    // A run of "text", values reads through Next as readable texts on the line of the value read
    // last: the run is passed over by finding their closing quotes, then the rest value by value.
    const char* const begin = content_.data();
    const char* const end = begin + size_;
    const char* p = begin + pos_;
    int passed = 0;
    while (passed < count && p < end && *p == '"') {
        const char* const close = FindOrLineEnd(p + 1, end, '"');
        if (end - close < 2 || close[0] != '"' || close[1] != ',') break;
        p = close + 2;
        ++passed;
    }
    if (passed > 0) {
        pos_ = static_cast<std::size_t>(p - begin);
        fieldOwed_ = true;
        unreadable_ = false;
        fieldLine_ = line_ + lineOffset_;
    }
    std::string_view value;
    for (; passed < count; ++passed)
        if (!Next(value)) return false;
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
