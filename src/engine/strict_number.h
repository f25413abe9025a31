#pragma once

#include <optional>
#include <string_view>

// Numbers that must be numbers: the whole text, blanks removed at both ends, is one decimal number
// (optional sign, digits with an optional point, an optional exponent). Anything else is not a
// number, where the lenient common::Val would read a prefix or give 0.
namespace engine {

/// The number, or nothing when the trimmed text is empty or not a number as a whole.
std::optional<double> StrictNumber(std::string_view text);

/// The same, read into single precision straight from the decimal text (one rounding).
std::optional<float> StrictSingle(std::string_view text);

/// StrictNumber, throwing std::runtime_error naming `what` when the text is not a number.
double StrictNumberOf(std::string_view text, std::string_view what);

}  // namespace engine
