#include "engine/strict_number.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace engine {

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

}  // namespace engine
