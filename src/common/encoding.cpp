#include "common/encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include <iconv.h>

namespace common {

namespace {

// One converter per direction, opened once; iconv descriptors are not thread-safe, so each use
// is serialised. Conversion is a short, rare part of every step.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; at a sequence it cannot convert it writes `replacement`, skips `skip(in)`
    // bytes and goes on.
    template <class Skip>
    std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
        std::lock_guard lock(mutex_);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(in.size() * 2 + 4);
        char buffer[4096];
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a sequence cut at the end): replace and step over it.
            out.append(replacement);
            std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte offset of character `n` (or the end) in a UTF-8 text.
std::size_t OffsetOfChar(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    while (i < s.size() && n > 0) {
        ++i;
        while (i < s.size() && IsUtf8Continuation(static_cast<unsigned char>(s[i]))) ++i;
        --n;
    }
    return i;
}

}  // namespace

bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

namespace {
/// Text of ASCII characters only (NUL excepted, which reads as a blank), the same bytes in both
/// encodings: numbers, codes and the like, most of what is converted, need no converter.
bool IsPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c != 0 && c < 0x80; });
}
}  // namespace

std::string ToCp932(std::string_view utf8) {
    if (IsPlainAscii(utf8)) return std::string(utf8);
    static Converter conv("CP932", "UTF-8");
    return conv.Run(utf8, "?", [](std::string_view rest) {
        // Skip the whole character that cannot be held.
        std::size_t n = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
        std::size_t i = 1;
        while (i < n && i < rest.size() && IsUtf8Continuation(static_cast<unsigned char>(rest[i]))) ++i;
        return i;
    });
}

std::string FromCp932(std::string_view cp932) {
    if (IsPlainAscii(cp932)) return std::string(cp932);
    static Converter conv("UTF-8", "CP932");
    std::string blanked;
    if (cp932.find('\0') != std::string_view::npos) {
        blanked = BlankZeros(cp932);
        cp932 = blanked;
    }
    return conv.Run(cp932, "\xEF\xBF\xBD", [](std::string_view rest) -> std::size_t {
        // A lead byte whose trail byte is bad: drop only the lead byte, so the next byte is
        // read again on its own and nothing after the fault is lost.
        (void)rest;
        return 1;
    });
}

std::size_t CharCount(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8)
        if (!IsUtf8Continuation(c)) ++n;
    return n;
}

std::string LeftChars(std::string_view utf8, std::size_t n) {
    return std::string(utf8.substr(0, OffsetOfChar(utf8, n)));
}

std::string MidChars(std::string_view utf8, std::size_t start, std::size_t n) {
    std::size_t from = OffsetOfChar(utf8, start);
    std::string_view rest = utf8.substr(from);
    if (n == std::string_view::npos) return std::string(rest);
    return std::string(rest.substr(0, OffsetOfChar(rest, n)));
}

std::string RightChars(std::string_view utf8, std::size_t n) {
    std::size_t count = CharCount(utf8);
    if (n >= count) return std::string(utf8);
    return std::string(utf8.substr(OffsetOfChar(utf8, count - n)));
}

std::string_view LeftCp932Chars(std::string_view cp932, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t chars = 0; chars < n && at < cp932.size(); ++chars) {
        const bool pair = IsCp932LeadByte(static_cast<unsigned char>(cp932[at])) && at + 1 < cp932.size();
        at += pair ? 2 : 1;
    }
    return cp932.substr(0, at);
}

std::string BlankZeros(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out)
        if (c == '\0') c = ' ';
    return out;
}

std::string_view TrimRightBlanks(std::string_view bytes) {
    std::size_t end = bytes.size();
    while (end > 0 && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0')) --end;
    return bytes.substr(0, end);
}

}  // namespace common
