#include "common/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace common {

double Val(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;

    // The number's extent first, then one conversion of exactly those characters. from_chars
    // takes no leading '+', which changes nothing of the value.
    const bool plus = i < n && text[i] == '+';
    if (plus) ++i;
    const std::size_t start = i;
    const bool negative = !plus && i < n && text[i] == '-';
    if (negative) ++i;
    bool digits = false;
    // The whole part's value as it is read: most texts read are whole numbers (record fields),
    // and one of at most 15 digits is exact in a double, so it needs no conversion.
    std::uint64_t whole = 0;
    const std::size_t wholeStart = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++i;
        digits = true;
    }
    const std::size_t wholeDigits = i - wholeStart;
    bool wholeOnly = true;
    if (i < n && text[i] == '.') {
        wholeOnly = false;
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            ++i;
            digits = true;
        }
    }
    if (!digits) return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        const std::size_t expDigits = j;
        while (j < n && text[j] >= '0' && text[j] <= '9') ++j;
        if (j > expDigits) {
            i = j;
            wholeOnly = false;
        }
    }
    if (wholeOnly && wholeDigits <= 15) return negative ? -static_cast<double>(whole) : static_cast<double>(whole);
    const char* first = text.data() + start;
    const char* last = text.data() + i;
    double v = 0.0;
    const auto [end, ec] = std::from_chars(first, last, v);
    // Out of range (an overflow, or an underflow that strtod may give as a subnormal or a signed
    // zero): strtod's own answer.
    if (ec != std::errc{} || end != last) v = std::strtod(std::string(first, last).c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

namespace {
template <class T>
T RoundHalfEven(double value) {
    if (std::isnan(value)) return 0;
    // nearbyint rounds half to even in the default rounding mode.
    double r = std::nearbyint(value);
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}
}  // namespace

std::int32_t CInt(double value) { return RoundHalfEven<std::int32_t>(value); }
std::int64_t CLng(double value) { return RoundHalfEven<std::int64_t>(value); }

double Int(double value) { return std::floor(value); }
double Fix(double value) { return std::trunc(value); }

std::string NumberText(double value, int digits) {
    if (!std::isfinite(value) || value == 0.0) return "0";
    if (digits < 1) digits = 1;
    if (digits > 17) digits = 17;

    // Round to the significant digits first (to_chars rounds as printf's %.*e does), then lay the
    // digits out without an exponent.
    char sci[40];
    const char* const end = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1).ptr;
    const char* p = sci;
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* e = std::find(p, end, 'e');
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
    char mantissa[24];
    std::size_t m = 0;
    for (; p < e; ++p)
        if (*p != '.') mantissa[m++] = *p;
    while (m > 1 && mantissa[m - 1] == '0') --m;
    if (m == 1 && mantissa[0] == '0') return "0";

    std::string out;
    if (negative) out += '-';
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(mantissa, m);
    } else if (static_cast<std::size_t>(exponent) + 1 >= m) {
        out.append(mantissa, m);
        out.append(static_cast<std::size_t>(exponent) + 1 - m, '0');
    } else {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        out.append(mantissa, whole);
        out += '.';
        out.append(mantissa + whole, m - whole);
    }
    return out;
}

template <int Width>
char* TenthsDigitsTextTo(char* out, const char* digits) {
    static_assert(Width >= 2 && Width <= 7, "the whole part, a point and the tenth fit in a word");
    static_assert(std::endian::native == std::endian::little, "the first digit is the lowest byte");
    // The field as one word, its first digit lowest: its leading zeros are found and shifted out
    // at once, keeping one whole digit, and the point and the tenth go behind the whole part.
    std::uint64_t word = 0;
    std::memcpy(&word, digits, Width);
    constexpr int kWhole = Width - 1;
    constexpr std::uint64_t kZeros = 0x3030303030303030ull >> (8 * (8 - kWhole));
    const std::uint64_t whole = word & ((std::uint64_t{1} << (8 * kWhole)) - 1);
    const std::uint64_t nonZero = (whole ^ kZeros) | std::uint64_t{0xFF} << (8 * (kWhole - 1));
    const int zeros = std::countr_zero(nonZero) / 8;
    const int wholeLength = kWhole - zeros;
    std::uint64_t text = whole >> (8 * zeros);
    const auto tenth = static_cast<unsigned char>(digits[kWhole]);
    int length = wholeLength;
    if (tenth != '0') {
        text |= (std::uint64_t{'.'} | std::uint64_t{tenth} << 8) << (8 * wholeLength);
        length += 2;
    }
    std::memcpy(out, &text, 8);
    return out + length;
}

template char* TenthsDigitsTextTo<6>(char* out, const char* digits);
template char* TenthsDigitsTextTo<7>(char* out, const char* digits);

namespace {
/// Number text of a single from 0.001 up to (not including) ten million at `out`, or nullptr for
/// another. Such a single is m x 2^e with m below 2^24 and e from -33 to 0, so its value times
/// 10^k (k up to 9) is m x 10^k, below 2^54, over a power of two: its seven significant digits
/// are that quotient rounded half to even, exactly as the general conversion rounds them.
char* SevenDigitTextTo(char* out, float value) {
    static constexpr double kPowers[] = {1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    static constexpr std::uint64_t kScales[] = {1'000'000'000, 100'000'000, 10'000'000, 1'000'000, 100'000,
                                                10'000,        1'000,       100,        10,        1};
    const double magnitude = std::abs(static_cast<double>(value));
    if (!(magnitude >= kPowers[0] && magnitude < kPowers[10])) return nullptr;
    int decade = 0;  // 10^(decade - 3) <= magnitude < 10^(decade - 2)
    while (magnitude >= kPowers[decade + 1]) ++decade;
    // A normal single: (2^23 + its 23 stored bits) x 2^(its biased exponent - 150).
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const std::uint64_t m = (bits & 0x7FFFFFu) | 0x800000u;
    const int shift = 150 - static_cast<int>((bits >> 23) & 0xFFu);  // 0 to 33
    const std::uint64_t scaled = m * kScales[decade];
    std::uint64_t digits = shift == 0 ? scaled : scaled >> shift;
    if (shift > 0) {
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
    }
    int exponent = decade - 3;
    if (digits == 10'000'000) {  // rounded up into the next decade
        digits = 1'000'000;
        ++exponent;
    }
    char mantissa[8];
    std::to_chars(mantissa, mantissa + 7, digits);
    std::size_t count = 7;
    while (mantissa[count - 1] == '0') --count;
    if (value < 0) *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy_n(mantissa, count, out);
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (whole >= count) return std::fill_n(std::copy_n(mantissa, count, out), whole - count, '0');
    out = std::copy_n(mantissa, whole, out);
    *out++ = '.';
    return std::copy_n(mantissa + whole, count - whole, out);
}
}  // namespace

char* SingleTextTo(char* out, float value) {
    // Nearly every single written (speeds and their sums, odds, weights) lies from 0.001 up to
    // ten million; zero and the rest take the general way.
    if (char* end = SevenDigitTextTo(out, value)) return end;
    const std::string text = NumberText(static_cast<double>(value), 7);
    return std::copy(text.begin(), text.end(), out);
}

std::string SingleText(float value) {
    char text[kSingleTextMax];
    return std::string(text, SingleTextTo(text, value));
}

std::string FlooredSingleText(float value, int decimals) {
    // A float read from a record shows its binary value: 56.1 is 56.0999985 and floors to 56.099.
    const double scale = std::pow(10.0, decimals);
    const double floored = std::floor(static_cast<double>(value) * scale) / scale;
    return SingleText(static_cast<float>(floored));
}

std::string WeightText(float value) { return FlooredSingleText(value, 3); }

std::string NumberText(std::int64_t value) { return std::to_string(value); }

std::string StrText(double value, int digits) {
    std::string t = NumberText(value, digits);
    return t[0] == '-' ? t : " " + t;
}

std::string StrText(std::int64_t value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

std::string TwoDigits(std::int64_t n) {
    if (n >= 0) return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
    std::string t = NumberText(n + 100);
    return t.size() <= 2 ? t : t.substr(t.size() - 2);
}

namespace {
/// A quantity stored in single precision: one rounding of the double-precision result, which
/// must be a finite number.
std::optional<float> Stored(double value) {
    const float f = static_cast<float>(value);
    if (!std::isfinite(f)) return std::nullopt;
    return f;
}
}  // namespace

std::optional<std::string> FormatYosoTime(float speed, std::string_view distance) {
    const auto d = StrictSingle(distance);
    if (!d || !std::isfinite(speed) || speed == 0.0f) return std::nullopt;
    const auto q = Stored(static_cast<double>(*d) / speed);
    if (!q) return std::nullopt;
    const auto m = Stored(static_cast<double>(*q) * 60.0 / 1000.0);  // minutes
    if (!m) return std::nullopt;
    const float wholeMinutes = std::floor(*m);
    const auto f = Stored(static_cast<double>(*m) - wholeMinutes);
    if (!f) return std::nullopt;
    const auto s = Stored(static_cast<double>(*f) * 60.0);  // seconds
    if (!s) return std::nullopt;
    const float wholeSeconds = std::floor(*s);
    const auto g = Stored(static_cast<double>(*s) - wholeSeconds);
    if (!g) return std::nullopt;
    const auto h = Stored(static_cast<double>(*g) * 100.0);  // hundredths
    if (!h) return std::nullopt;
    // Truncated parts, so no carry: the seconds never read "60".
    return NumberText(static_cast<double>(wholeMinutes), 7) + "." +
           TwoDigits(static_cast<std::int64_t>(wholeSeconds)) + "." +
           TwoDigits(static_cast<std::int64_t>(std::floor(*h)));
}

std::string RightAlignedTwo(std::int64_t n) {
    if (n >= 0) return {n < 10 ? ' ' : static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
    const std::string text = " " + NumberText(n);
    return text.substr(text.size() - 2);
}

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// The trimmed text without a leading '+', when it is one decimal number as a whole.
std::optional<std::string_view> NumberBody(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && text[i] == '-') ++i;
    bool digits = false;
    while (i < n && IsDigit(text[i])) ++i, digits = true;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, digits = true;
    }
    if (!digits) return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        bool exponentDigits = false;
        while (i < n && IsDigit(text[i])) ++i, exponentDigits = true;
        if (!exponentDigits) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    return text;
}

template <class T>
std::optional<T> Parse(std::string_view text) {
    const auto body = NumberBody(text);
    if (!body) return std::nullopt;
    // A whole number of no more digits than T holds exactly, counted up: what from_chars gives,
    // without the copy and the general parse (horse numbers and ranks come by the ten thousand).
    if (body->size() <= static_cast<std::size_t>(std::numeric_limits<T>::digits10) && IsDigits(*body)) {
        std::int64_t whole = 0;
        for (const char c : *body) whole = whole * 10 + (c - '0');
        return static_cast<T>(whole);
    }
    // from_chars takes no '+' after 'e' in every library version; the body's own '+' is gone.
    std::string digits(*body);
    T value{};
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> StrictNumber(std::string_view text) { return Parse<double>(text); }

std::optional<float> StrictSingle(std::string_view text) { return Parse<float>(text); }

double StrictNumberOf(std::string_view text, std::string_view what) {
    const auto value = StrictNumber(text);
    if (!value) throw std::runtime_error(std::string(what) + " is not a number: \"" + std::string(text) + "\"");
    return *value;
}

float FloatFromLittleEndian(const char* bytes) {
    std::uint32_t bits = 0;
    for (int b = 3; b >= 0; --b) bits = (bits << 8) | static_cast<unsigned char>(bytes[b]);
    return std::bit_cast<float>(bits);
}

void FloatToLittleEndian(float value, char* bytes) {
    std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    for (int b = 0; b < 4; ++b, bits >>= 8) bytes[b] = static_cast<char>(bits & 0xFFu);
}

}  // namespace common
