#pragma once

#include <string_view>

#include "records/fields.h"

// Where each bet's entries lie in the payout record, for every writer that reads them.
namespace records {

/// A bet's entries: the horse number or combination, the payout and the popularity of each, and
/// how many entries the record holds.
struct PayoutBlock {
    Ref<LayoutHR> kumi, pay, ninki;
    int entries;
};

namespace payout {

/// The block of a top-level group; its entry count is the group's repeat count.
consteval PayoutBlock Block(std::string_view group, std::string_view key) {
    const auto kumi = Locate<LayoutHR>(group, key);
    return {kumi, Locate<LayoutHR>(group, "Pay"), Locate<LayoutHR>(group, "Ninki"),
            kumi.counts[0]};
}

inline constexpr PayoutBlock kTansyo = Block("PayTansyo", "Umaban");
inline constexpr PayoutBlock kFukusyo = Block("PayFukusyo", "Umaban");
inline constexpr PayoutBlock kWakuren = Block("PayWakuren", "Kumi");
inline constexpr PayoutBlock kUmaren = Block("PayUmaren", "Kumi");
inline constexpr PayoutBlock kWide = Block("PayWide", "Kumi");
inline constexpr PayoutBlock kUmatan = Block("PayUmatan", "Kumi");
inline constexpr PayoutBlock kSanrenpuku = Block("PaySanrenpuku", "Kumi");
inline constexpr PayoutBlock kSanrentan = Block("PaySanrentan", "Kumi");

}  // namespace payout

}  // namespace records
