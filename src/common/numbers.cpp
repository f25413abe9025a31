#include "common/numbers.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace common {

double Val(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;

    std::string number;
    if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool digits = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == '.') {
        number += text[i++];
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits) return 0.0;
    // An exponent counts only when digits follow it.
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool expDigits = false;
        while (j < n && text[j] >= '0' && text[j] <= '9') {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    double v = std::strtod(number.c_str(), nullptr);
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

    // Round to the significant digits first, then lay the digits out without an exponent.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    std::string s(buf);
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    std::size_t e = s.find('e');
    int exponent = std::atoi(s.c_str() + e + 1);
    std::string mantissa;
    for (std::size_t k = 0; k < e; ++k)
        if (s[k] != '.') mantissa += s[k];
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
    if (mantissa == "0") return "0";

    std::string out;
    if (exponent < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    } else if (static_cast<std::size_t>(exponent) + 1 >= mantissa.size()) {
        out = mantissa + std::string(static_cast<std::size_t>(exponent) + 1 - mantissa.size(), '0');
    } else {
        out = mantissa.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
              mantissa.substr(static_cast<std::size_t>(exponent) + 1);
    }
    return negative ? "-" + out : out;
}

std::string SingleText(float value) { return NumberText(static_cast<double>(value), 7); }

std::string NumberText(std::int64_t value) { return std::to_string(value); }

std::string StrText(double value, int digits) {
    std::string t = NumberText(value, digits);
    return t[0] == '-' ? t : " " + t;
}

std::string StrText(std::int64_t value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

std::string TwoDigits(std::int64_t n) {
    std::string t = NumberText(n + 100);
    return t.size() <= 2 ? t : t.substr(t.size() - 2);
}

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<std::int64_t> DigitsValue(std::string_view text) {
    if (text.size() > 18 || !IsDigits(text)) return std::nullopt;
    std::int64_t v = 0;
    for (char c : text) v = v * 10 + (c - '0');
    return v;
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
