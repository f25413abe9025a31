#include "common/payout_keys.h"

#include <cstdint>
#include <limits>

#include "common/numbers.h"

namespace common {

namespace {

constexpr std::string_view kArrow = "\x81\xA8";  // "→" in CP932

/// A piece read as a whole number: digits with blanks before or after them only, within
/// [0, limit]. Blanks alone, a sign or any other character give nothing.
std::optional<std::int64_t> PieceNumber(std::string_view piece, std::int64_t limit) {
    std::size_t i = 0;
    const std::size_t n = piece.size();
    while (i < n && piece[i] == ' ') ++i;
    const std::size_t first = i;
    std::int64_t value = 0;
    while (i < n && piece[i] >= '0' && piece[i] <= '9') {
        value = value * 10 + (piece[i] - '0');
        if (value > limit) return std::nullopt;
        ++i;
    }
    if (i == first) return std::nullopt;
    while (i < n && piece[i] == ' ') ++i;
    if (i != n) return std::nullopt;
    return value;
}

constexpr std::int64_t kShortMax = std::numeric_limits<std::int16_t>::max();
constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

/// Characters [start, start + length) of the field (1-based start); shorter or empty when the
/// field ends before, which the reading then refuses.
std::string_view Piece(std::string_view field, std::size_t start, std::size_t length) {
    if (start - 1 >= field.size()) return {};
    return field.substr(start - 1, length);
}

bool IsBlankForm(std::string_view field, std::size_t width) {
    return field.size() == width && field.find_first_not_of(' ') == std::string_view::npos;
}

/// Two-character horse pieces from position 1, joined by `separator`.
std::optional<std::string> HorseKey(std::string_view kumi, std::size_t horses, std::string_view separator) {
    if (IsBlankForm(kumi, 2 * horses)) return std::string();
    std::string out;
    for (std::size_t k = 0; k < horses; ++k) {
        const auto number = PieceNumber(Piece(kumi, 2 * k + 1, 2), kShortMax);
        if (!number) return std::nullopt;
        if (k > 0) out += separator;
        out += RightAlignedTwo(*number);
    }
    return out;
}

}  // namespace

std::optional<std::string> FmtKumi3(std::string_view kumi) { return HorseKey(kumi, 3, "-"); }
std::optional<std::string> FmtKumi3Jun(std::string_view kumi) { return HorseKey(kumi, 3, kArrow); }
std::optional<std::string> FmtKumi2(std::string_view kumi) { return HorseKey(kumi, 2, "-"); }
std::optional<std::string> FmtKumi2Jun(std::string_view kumi) { return HorseKey(kumi, 2, kArrow); }

std::optional<std::string> FmtUmaban(std::string_view umaban) {
    if (IsBlankForm(umaban, 2)) return std::string();
    const auto number = PieceNumber(umaban, kShortMax);
    if (!number) return std::nullopt;
    return RightAlignedTwo(*number);
}

std::optional<std::string> FmtHaraimodoshi(std::string_view pay) {
    if (IsBlankForm(pay, 9)) return std::string();
    const auto amount = PieceNumber(pay, kLongMax);
    if (!amount) return std::nullopt;
    return NumberText(*amount);
}

std::optional<std::string> FmtWakuKumi(std::string_view kumi) {
    if (IsBlankForm(kumi, 2)) return std::string();
    const auto first = PieceNumber(Piece(kumi, 1, 1), kShortMax);
    const auto second = PieceNumber(Piece(kumi, 2, 1), kShortMax);
    if (!first || !second) return std::nullopt;
    return NumberText(*first) + "-" + NumberText(*second);
}

}  // namespace common
