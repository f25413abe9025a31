#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "record_bytes.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/keys.h"
#include "records/odds.h"

namespace {

using namespace records;
using recordtest::At;
using recordtest::Put;
using recordtest::RaceRecord;

std::string Digits(long value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*ld", width, value);
    return buffer;
}

struct Triple {
    int a, b, c;
};

TEST(DecodeO6, EveryEntryOfAFullRecordReadsByOffset) {
    std::string o6 = RaceRecord(83285, "O6", '1', "20250831", "2025083105020311");
    Put(o6, 28, "08311022");  // HappyoTime
    Put(o6, 36, "1818");
    Put(o6, 40, "7");
    std::vector<Triple> order;
    for (int a = 1; a <= 18; ++a)
        for (int b = 1; b <= 18; ++b)
            for (int c = 1; c <= 18; ++c)
                if (a != b && b != c && a != c) order.push_back({a, b, c});
    ASSERT_EQ(order.size(), 4896u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Triple& t = order[i];
        const std::string entry = Digits(t.a, 2) + Digits(t.b, 2) + Digits(t.c, 2) +
                                  Digits(static_cast<long>(i) + 10, 7) + Digits(static_cast<long>(i) + 1, 4);
        Put(o6, 41 + i * 17, entry);
    }
    Put(o6, 83273, "00012345678");
    ASSERT_EQ(At(o6, 83256, 6), "181716");  // the last entry where the layout puts it

    RecordO6 rec;
    DecodeO6(o6, rec);
    const auto kumi = kOddsKumi<LayoutO6>;
    const auto odds = kOddsOdds<LayoutO6>;
    int wrong = 0;
    for (int i = 0; i < LayoutO6::kEntryCount; ++i) {
        const Triple& t = order[static_cast<std::size_t>(i)];
        const std::string_view k = rec.Get(kumi, i);
        if (KumiNumber(k, 0) != t.a || KumiNumber(k, 1) != t.b || KumiNumber(k, 2) != t.c) ++wrong;
        if (OddsValue(rec.Get(odds, i)) != (i + 10) / 10.0) ++wrong;
        if (rec.Get(kOddsNinki<LayoutO6>, i) != Digits(i + 1, 4)) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(rec.Get(kOddsEntry<LayoutO6>, 4895), At(o6, 83256, 17));
    EXPECT_EQ(rec.Get(kOddsEntry<LayoutO6>, 4896), "");
    EXPECT_EQ(rec.Get(kTotalHyosu<LayoutO6>), "00012345678");
    EXPECT_EQ(rec.ByName("HatubaiFlag"), "7");
    EXPECT_EQ(rec.ByName("HappyoTime.Hour"), "10");
    EXPECT_EQ(RaceKey12Of(rec), "202508310511");
}

TEST(DecodeO2, QuinellaKumiForHorses3And11) {
    std::string o2 = RaceRecord(2042, "O2", '1', "20250831", "2025083105020311");
    // Pairs in ascending order: (1,2)..(1,18) are entries 0-16, (2,3)..(2,18) 17-32,
    // (3,4)..(3,18) from 33, so (3,11) is entry 40.
    Put(o2, 41 + 40 * 13, "0311" "000123" "004");
    Put(o2, 2030, "00000098765");

    RecordO2 rec;
    DecodeO2(o2, rec);
    EXPECT_EQ(rec.Get(kOddsKumi<LayoutO2>, 40), "0311");
    EXPECT_EQ(KumiNumber(rec.Get(kOddsKumi<LayoutO2>, 40), 1), 11);
    EXPECT_DOUBLE_EQ(OddsValue(rec.Get(kOddsOdds<LayoutO2>, 40)), 12.3);
    EXPECT_EQ(rec.Get(kOddsNinki<LayoutO2>, 40), "004");
    EXPECT_EQ(rec.Get(kTotalHyosu<LayoutO2>), "00000098765");
    EXPECT_EQ(KumiNumber(rec.Get(kOddsKumi<LayoutO2>, 0), 0), 0);  // a blank pair reads as 0
}

TEST(Odds, FieldsWithoutOdds) {
    struct Case {
        std::string_view field;
        bool has;
        double value;
    };
    for (const Case& c : std::vector<Case>{
             {"000123", true, 12.3},
             {"0012345", true, 1234.5},
             {"000010", true, 1.0},
             {"      ", false, 0},
             {"------", false, 0},
             {"*******", false, 0},
             {"000000", false, 0},
             {"", false, 0},
         }) {
        SCOPED_TRACE(std::string(c.field));
        EXPECT_EQ(HasOdds(c.field), c.has);
        EXPECT_DOUBLE_EQ(OddsValue(c.field), c.value);
    }
}

TEST(DecodeO4, BlankOrDashedOddsCarryNone) {
    std::string o4 = RaceRecord(4031, "O4", '1', "20250831", "2025083105020311");
    Put(o4, 41, "0102" "      " "   ");
    Put(o4, 54, "0103" "------" "---");
    Put(o4, 67, "0104" "000456" "002");

    RecordO4 rec;
    DecodeO4(o4, rec);
    EXPECT_FALSE(HasOdds(rec.Get(kOddsOdds<LayoutO4>, 0)));
    EXPECT_FALSE(HasOdds(rec.Get(kOddsOdds<LayoutO4>, 1)));
    EXPECT_DOUBLE_EQ(OddsValue(rec.Get(kOddsOdds<LayoutO4>, 2)), 45.6);
    EXPECT_EQ(rec.Get(kOddsKumi<LayoutO4>, 1), "0103");
}

TEST(DecodeO1, AllTwentyEightWinEntriesForTwelveStarters) {
    std::string o1 = RaceRecord(962, "O1", '1', "20250831", "2025083105020311");
    Put(o1, 36, "1212");
    for (int h = 1; h <= 12; ++h)
        Put(o1, 44 + static_cast<std::size_t>(h - 1) * 8, Digits(h, 2) + Digits(h * 15, 4) + Digits(h, 2));
    Put(o1, 604, "12" "00345" "03");  // first bracket-quinella entry

    RecordO1 rec;
    DecodeO1(o1, rec);
    EXPECT_EQ(rec.Get(o1::TansyoUmaban, 11), "12");
    EXPECT_DOUBLE_EQ(OddsValue(rec.Get(o1::TansyoOdds, 11)), 18.0);
    EXPECT_EQ(rec.Get(o1::TansyoNinki, 0), "01");
    for (int e = 12; e < 28; ++e) EXPECT_EQ(rec.Get(o1::TansyoUmaban, e), "  ") << e;
    EXPECT_EQ(rec.Get(o1::TansyoUmaban, 28), "");
    EXPECT_EQ(rec.Get(o1::WakurenKumi, 0), "12");
    EXPECT_DOUBLE_EQ(OddsValue(rec.Get(o1::WakurenOdds, 0)), 34.5);
}

}  // namespace
