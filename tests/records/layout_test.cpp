#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record_bytes.h"
#include "records/decoders.h"
#include "records/fields.h"

namespace {

using namespace records;

// A record whose every byte tells its position, so a field cut at the wrong place shows.
std::string Numbered(std::size_t length) {
    std::string record(length, ' ');
    for (std::size_t i = 0; i < length; ++i) record[i] = static_cast<char>('!' + (i * 7) % 90);
    return record;
}

struct Where {
    std::string_view path;
    int i, j, k;
    std::size_t at;  // 1-based, worked out by hand from the record documentation
    std::size_t width;
};

template <class L>
void ExpectPlaces(const std::vector<Where>& cases) {
    const std::string record = Numbered(static_cast<std::size_t>(kLength<L>));
    const RecordView<L> view(record);
    for (const Where& w : cases) {
        SCOPED_TRACE(std::string(L::kName) + " " + std::string(w.path) + " " + std::to_string(w.i) +
                     "," + std::to_string(w.j) + "," + std::to_string(w.k));
        EXPECT_EQ(view.ByName(w.path, w.i, w.j, w.k), recordtest::At(record, w.at, w.width));
    }
}

TEST(Layout, FieldsLieWhereTheRecordsPutThem) {
    ExpectPlaces<LayoutRA>({
        {"RecordSpec", 0, 0, 0, 1, 2},
        {"MakeDate.Month", 0, 0, 0, 8, 2},
        {"RaceId.RaceNum", 0, 0, 0, 26, 2},
        {"YoubiCD", 0, 0, 0, 28, 1},
        {"JyokenInfo.JyokenCD", 4, 0, 0, 635, 3},
        {"JyokenName", 0, 0, 0, 638, 60},
        {"Kyori", 0, 0, 0, 698, 4},
        {"KyoriBefore", 0, 0, 0, 702, 4},
        {"Honsyokin", 6, 0, 0, 762, 8},
        {"FukasyokinBefore", 2, 0, 0, 866, 8},
        {"HassoTime", 0, 0, 0, 874, 4},
        {"TenkoBaba.DirtBabaCD", 0, 0, 0, 890, 1},
        {"LapTime", 24, 0, 0, 963, 3},
        {"CornerInfo.Jyuni", 3, 0, 0, 1200, 70},
        {"RecordUpKubun", 0, 0, 0, 1270, 1},
        {"CrLf", 0, 0, 0, 1271, 2},
    });
    ExpectPlaces<LayoutSE>({
        {"KettoNum", 0, 0, 0, 31, 10},
        {"Bamei", 0, 0, 0, 41, 36},
        {"KisyuCode", 0, 0, 0, 297, 5},
        {"Odds", 0, 0, 0, 360, 4},
        {"ChakuUmaInfo.Bamei", 2, 0, 0, 496, 36},
        {"TimeDiff", 0, 0, 0, 532, 4},
        {"KyakusituKubun", 0, 0, 0, 553, 1},
    });
    ExpectPlaces<LayoutHR>({
        {"HenkanUma", 27, 0, 0, 86, 1},
        {"PayFukusyo.Umaban", 0, 0, 0, 142, 2},
        {"PayFukusyo.Ninki", 4, 0, 0, 205, 2},
        {"PayWakuren.Kumi", 0, 0, 0, 207, 2},
        {"PayWide.Pay", 6, 0, 0, 394, 9},
        {"PaySanrentan.Ninki", 5, 0, 0, 714, 4},
    });
    ExpectPlaces<LayoutUM>({
        {"BirthDate.Day", 0, 0, 0, 45, 2},
        {"Ketto3Info.HansyokuNum", 1, 0, 0, 251, 10},
        {"Ketto3Info.Bamei", 13, 0, 0, 813, 36},
        {"ChakuKaisuJyotai.ChakuKaisu", 11, 5, 0, 1482, 3},
        {"Kyakusitu", 0, 0, 0, 1593, 3},
        {"Kyakusitu", 3, 0, 0, 1602, 3},
        {"RaceCount", 0, 0, 0, 1605, 3},
    });
    ExpectPlaces<LayoutKS>({
        {"HatuKiJyo.RaceId.Year", 1, 0, 0, 332, 4},
        {"HatuSyori.RaceId.RaceNum", 1, 0, 0, 477, 2},
        {"SaikinJyusyo.Bamei", 2, 0, 0, 980, 36},
        {"HonZenRuikei.SetYear", 1, 0, 0, 2068, 4},
        {"HonZenRuikei.HonSyokinHeichi", 0, 0, 0, 1020, 10},
        {"HonZenRuikei.FukaSyokinSyogai", 2, 0, 0, 3154, 10},
        {"HonZenRuikei.ChakuKaisuJyo.ChakuKaisu", 2, 19, 5, 3950, 6},
        {"CrLf", 0, 0, 0, 4172, 2},
    });
    ExpectPlaces<LayoutKSStored>({
        {"HonZenRuikei.HonSyokinHeichi", 0, 0, 0, 1020, 9},
        {"HonZenRuikei.HonSyokinSyogai", 0, 0, 0, 1029, 9},
        {"HonZenRuikei.ChakuKaisuHeichi", 0, 0, 0, 1056, 6},
        {"HonZenRuikei.SetYear", 1, 0, 0, 2064, 4},
        {"HonZenRuikei.SetYear", 2, 0, 0, 3112, 4},
        {"HonZenRuikei.ChakuKaisuJyo.ChakuKaisu", 2, 19, 5, 3938, 6},
        {"CrLf", 0, 0, 0, 4160, 2},
    });
    ExpectPlaces<LayoutO1>({
        {"HappyoTime.Minute", 0, 0, 0, 34, 2},
        {"OddsTansyoInfo.Odds", 27, 0, 0, 262, 4},
        {"OddsFukusyoInfo.OddsHigh", 0, 0, 0, 274, 4},
        {"OddsWakurenInfo.Ninki", 35, 0, 0, 926, 2},
        {"TotalHyosuWakuren", 0, 0, 0, 950, 11},
    });
    ExpectPlaces<LayoutO5>({
        {"OddsSanrenInfo.Kumi", 815, 0, 0, 41 + 815 * 15, 6},
        {"TotalHyosu", 0, 0, 0, 12281, 11},
    });
}

template <class L>
void ExpectCutCoversRecord(std::size_t fields) {
    SCOPED_TRACE(std::string(L::kName));
    const std::string record = Numbered(static_cast<std::size_t>(kLength<L>));
    const auto cut = CutFields<L>(record);
    EXPECT_EQ(cut.size(), fields);
    std::string joined;
    for (std::string_view f : cut) joined += f;
    EXPECT_EQ(joined, record);  // no gap, no overlap, nothing past the end
}

TEST(Layout, EveryKindCutsIntoItsFieldsEndToEnd) {
    ExpectCutCoversRecord<LayoutRA>(113);
    ExpectCutCoversRecord<LayoutSE>(76);
    ExpectCutCoversRecord<LayoutHR>(202);
    ExpectCutCoversRecord<LayoutUM>(236);
    // The race identifiers inside the jockey's first rides, first wins and graded wins are cut
    // into their six parts: 630 fields.
    ExpectCutCoversRecord<LayoutKS>(630);
    ExpectCutCoversRecord<LayoutKSStored>(630);
    ExpectCutCoversRecord<LayoutO1>(329);
    ExpectCutCoversRecord<LayoutO6>(14708);
}

TEST(Layout, IndexOutsideItsGroupOrUnknownNameGivesNothing) {
    const std::string record = Numbered(719);
    const RecordView<LayoutHR> hr(record);
    EXPECT_EQ(hr.Get(hr::PayFukusyoPay, 4), recordtest::At(record, 142 + 4 * 13 + 2, 9));
    EXPECT_EQ(hr.Get(hr::PayFukusyoPay, 5), "");  // not the first quinella entry's bytes
    EXPECT_EQ(hr.Get(hr::PayFukusyoPay, -1), "");
    EXPECT_EQ(hr.Get(hr::TorokuTosu, 1), "");     // a single field has only index 0
    EXPECT_EQ(hr.ByName("PayFukusyo.Nope"), "");
    EXPECT_EQ(hr.ByName("Pay"), "");               // a member is found only under its group
    EXPECT_EQ(hr.ByName("PayFukusyo", 1), recordtest::At(record, 155, 13));  // a whole entry
}

TEST(NextField, CutsOnePositionedFieldAndAdvances) {
    struct Case {
        std::int32_t position, width;
        std::string_view bytes;
        std::int32_t after;
    };
    const std::string_view record = "ABCDEFG";
    for (const Case& c : std::vector<Case>{
             {1, 3, "ABC", 4},
             {4, 4, "DEFG", 8},
             {6, 5, "FG", 11},      // cut at the end of the record
             {8, 2, "", 10},        // past the end
             {0, 2, "", 2},         // before the start
             {-5, 3, "", -2},
             {3, 0, "", 3},
             {INT32_MAX, 5, "", INT32_MAX},  // no overflow
         }) {
        std::int32_t position = c.position;
        SCOPED_TRACE(std::to_string(c.position) + "/" + std::to_string(c.width));
        EXPECT_EQ(NextField(record, position, c.width), c.bytes);
        EXPECT_EQ(position, c.after);
    }
}

}  // namespace
