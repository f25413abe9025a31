#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number helpers with the semantics the stored files and reports were made with.
namespace common {

/// Lenient reading: leading blanks skipped, optional sign, digits, optional point and digits,
/// optional exponent; stops at the first character that does not fit; no number gives 0.
/// " 12abc" gives 12, "" gives 0, "1e3" gives 1000, "----" gives 0.
double Val(std::string_view text);

/// Numbers that must be numbers: the whole text, blanks removed at both ends, is one decimal
/// number (optional sign, digits with an optional point, an optional exponent). Anything else,
/// the empty text included, gives nothing, where the lenient Val would read a prefix or give 0.
std::optional<double> StrictNumber(std::string_view text);

/// The same, read into single precision straight from the decimal text (one rounding).
std::optional<float> StrictSingle(std::string_view text);

/// StrictNumber, throwing std::runtime_error naming `what` when the text is not a number.
double StrictNumberOf(std::string_view text, std::string_view what);

/// Round half to even into 16-bit / 32-bit range (CInt) and 32/64-bit (CLng).
/// Values outside the range are clamped rather than trapped.
std::int32_t CInt(double value);
std::int64_t CLng(double value);

/// Largest whole number not above the value (-2.5 gives -3).
double Int(double value);

/// The value with its fraction dropped (-2.5 gives -2).
double Fix(double value);

/// Shortest decimal text of a value with at most `digits` significant digits: no exponent,
/// no trailing zeros or point, "0" before a leading point, "-" for negatives, "0" for zero.
std::string NumberText(double value, int digits = 15);

/// Number text of a single-precision value: at most 7 significant digits.
std::string SingleText(float value);

/// Room SingleText's text needs at most: a negative subnormal's, "-0.000...1401298", is the
/// longest (54 characters).
inline constexpr std::size_t kSingleTextMax = 64;

/// SingleText written at `out` (room for kSingleTextMax characters), for texts made by the
/// hundred thousand; returns the end of the text.
char* SingleTextTo(char* out, float value);

/// Number text of a field of `Width` digits (6 or 7) that holds tenths, made from the digits
/// themselves: "0001234" gives "123.4", "0000120" gives "12", "0000005" gives "0.5". It is
/// SingleText's text of their single, for the odds tables' cells. Writes eight bytes at `out`, of
/// which the text is the first; returns the end of the text.
template <int Width>
char* TenthsDigitsTextTo(char* out, const char* digits);

/// A single-precision value floored to `decimals` decimals, as its number text: Int(v x 10^d) / 10^d
/// taken in double on the stored value, back to single precision (57.1 to 4 gives "57.0999",
/// -0.00005 gives "-0.0001", 1234.56789 gives "1234.568").
std::string FlooredSingleText(float value, int decimals);

/// FlooredSingleText to 3 decimals (56.1 gives "56.099", -1.2 gives "-1.201", 0.7 "0.699").
std::string WeightText(float value);

/// Number text of a whole number.
std::string NumberText(std::int64_t value);
inline std::string NumberText(int value) { return NumberText(static_cast<std::int64_t>(value)); }

/// Number text as the classic Str does it: a blank before a number that is not negative
/// (" 12", "-3", " 0.5").
std::string StrText(double value, int digits = 15);
std::string StrText(std::int64_t value);
inline std::string StrText(int value) { return StrText(static_cast<std::int64_t>(value)); }

/// The last two characters of the number text of n + 100: 1 gives "01", 12 gives "12".
std::string TwoDigits(std::int64_t n);

/// A whole number right-aligned in two characters: a blank in front of its number text and the
/// last two characters kept (7 gives " 7", 12 gives "12", 123 gives "23").
std::string RightAlignedTwo(std::int64_t n);

/// Running time of `speed` km/h over `distance` metres as "m.ss.hh" (whole minutes, seconds and
/// hundredths, each truncated): 1600 m at 60 km/h gives "1.35.99". Every step is stored in single
/// precision, as the stored reports were made, so a time can come out one hundredth short.
/// Nothing when the distance is not a number (blanks around it are allowed), the speed is 0 or
/// not finite, or a step overflows or gives no number.
std::optional<std::string> FormatYosoTime(float speed, std::string_view distance);

/// A single-precision float stored as 4 little-endian bytes (IEEE 754), as the record files hold them.
float FloatFromLittleEndian(const char* bytes);
void FloatToLittleEndian(float value, char* bytes);

/// The single nearest to tenths / 10, as static_cast<float>(tenths / 10.0) gives it. Up to seven
/// digits either way (odds fields among them) the product by 0.1 in double gives the same single,
/// every such value checked, without a division's wait; past them the division is kept.
inline float SingleOfTenths(std::int64_t tenths) {
    const auto t = static_cast<double>(tenths);
    return static_cast<float>(tenths >= -9999999 && tenths <= 9999999 ? t * 0.1 : t / 10.0);
}

/// Digits-only check of a whole text (empty is not digits).
bool IsDigits(std::string_view text);

/// The whole number a text of 1 to 18 digits writes ("0512" gives 512); nothing for any other
/// text. Where such a text is read leniently, this is the same value without the parse.
/// Read by the million (odds tables): inline, and the digits are checked and added up in one
/// pass without a branch per character.
inline std::optional<std::int64_t> DigitsValue(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    bool digits = true;
    std::uint64_t v = 0;
    for (char c : text) {
        const std::uint64_t digit = static_cast<unsigned char>(c) - std::uint64_t{'0'};
        digits &= digit <= 9;
        v = v * 10 + digit;
    }
    if (!digits) return std::nullopt;
    return static_cast<std::int64_t>(v);
}

}  // namespace common
