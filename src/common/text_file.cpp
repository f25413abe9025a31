#include "common/text_file.h"

#include <system_error>

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

WrittenFieldReader::WrittenFieldReader(std::string content) : content_(std::move(content)) {}

WrittenFieldReader WrittenFieldReader::FromFile(const fs::path& path) { return WrittenFieldReader(ReadWholeFile(path)); }

void WrittenFieldReader::SkipSeparators() {
    while (pos_ < content_.size()) {
        char c = content_[pos_];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') ++pos_;
        else break;
    }
}

bool WrittenFieldReader::AtEnd() const {
    for (std::size_t i = pos_; i < content_.size(); ++i) {
        char c = content_[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    }
    return true;
}

bool WrittenFieldReader::Next(std::string& value) {
    SkipSeparators();
    if (pos_ >= content_.size()) return false;
    value.clear();
    if (content_[pos_] == '"') {
        std::size_t close = content_.find('"', pos_ + 1);
        if (close == std::string::npos) close = content_.size();
        value.assign(content_, pos_ + 1, close - pos_ - 1);
        pos_ = std::min(close + 1, content_.size());
        while (pos_ < content_.size() && (content_[pos_] == ' ' || content_[pos_] == '\t')) ++pos_;
        if (pos_ < content_.size() && content_[pos_] == ',') ++pos_;
        return true;
    }
    std::size_t end = pos_;
    while (end < content_.size() && content_[end] != ',' && content_[end] != '\r' && content_[end] != '\n') ++end;
    std::size_t last = end;
    while (last > pos_ && (content_[last - 1] == ' ' || content_[last - 1] == '\t')) --last;
    value.assign(content_, pos_, last - pos_);
    pos_ = end;
    if (pos_ < content_.size() && content_[pos_] == ',') ++pos_;
    return true;
}

double WrittenFieldReader::NextNumber() {
    std::string v;
    return Next(v) ? Val(v) : 0.0;
}

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
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
