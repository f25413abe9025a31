#pragma once

#include <optional>
#include <string>
#include <string_view>

// Payout fields of the data service (and ticket keys of the same form) as the reports show them.
// Each takes one fixed-width field of CP932 bytes and gives CP932 bytes. The exact blank form of
// the formatter's own width is an empty entry and gives ""; otherwise every piece must be digits
// with blanks around them only, and anything else (the empty text, a blank form of another
// width, a sign, other characters, a number out of range) gives nothing, which the caller
// handles. Pieces are cut at fixed positions and joined in the order they stand, never sorted.
namespace common {

/// Three horses of 6 characters joined by "-": "010203" gives " 1- 2- 3".
std::optional<std::string> FmtKumi3(std::string_view kumi);

/// Three horses of 6 characters in their order, joined by the arrow: " 1→ 2→ 3".
std::optional<std::string> FmtKumi3Jun(std::string_view kumi);

/// Two horses of 4 characters joined by "-": "0112" gives " 1-12".
std::optional<std::string> FmtKumi2(std::string_view kumi);

/// Two horses of 4 characters in their order, joined by the arrow: "1201" gives "12→ 1".
std::optional<std::string> FmtKumi2Jun(std::string_view kumi);

/// One horse number of 2 characters right-aligned in two: "07" gives " 7".
std::optional<std::string> FmtUmaban(std::string_view umaban);

/// A payout of 9 characters without its leading zeros: "000012340" gives "12340".
std::optional<std::string> FmtHaraimodoshi(std::string_view pay);

/// A bracket pair of 2 characters, one digit each, joined by "-": "36" gives "3-6".
std::optional<std::string> FmtWakuKumi(std::string_view kumi);

}  // namespace common
