#include <gtest/gtest.h>

#include <string>

#include "common/encoding.h"
#include "record_bytes.h"
#include "records/decoders.h"
#include "records/fields.h"

namespace {

using namespace records;
using recordtest::At;
using recordtest::Blanks;
using recordtest::Put;
using recordtest::RaceRecord;

// アイウエオカキクケ in Shift-JIS: nine double-byte characters, 18 bytes.
const std::string kNineKana =
    "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e\x83\x50";
const std::string kReplacement = "\xef\xbf\xbd";  // U+FFFD

TEST(DecodeRA, AsciiRecordPutsDistancePostTimeAndCrLfWhereExpected) {
    std::string ra = RaceRecord(1272, "RA", '7', "20250829", "2025083105020311");
    Put(ra, 697, "X");     // last byte of JyokenName
    Put(ra, 698, "2400");  // Kyori
    Put(ra, 702, "Y");     // first byte of KyoriBefore
    Put(ra, 874, "1540");  // HassoTime
    Put(ra, 878, "1545");  // HassoTimeBefore
    Put(ra, 888, "123");   // TenkoBaba

    RecordRA rec;
    DecodeRA(ra + "trailing bytes", rec);  // bytes past the layout are ignored

    EXPECT_EQ(rec.Bytes(), ra);
    EXPECT_FALSE(rec.IsShort());
    EXPECT_EQ(rec.Get(ra::Kyori), "2400");
    EXPECT_EQ(rec.Text(ra::HassoTime), "1540");
    EXPECT_EQ(rec.Get(ra::CrLf), "\r\n");
    EXPECT_EQ(rec.Get(ra::TenkoBaba), "123");
    EXPECT_EQ(rec.Get(ra::SibaBabaCD), "2");
    EXPECT_EQ(rec.Get(kDataKubun<LayoutRA>), "7");
    EXPECT_EQ(rec.Get(kMakeDate<LayoutRA>), "20250829");
    EXPECT_EQ(rec.ByName("MakeDate.Month"), "08");
    EXPECT_EQ(rec.Get(kJyoCD<LayoutRA>), "05");
    EXPECT_EQ(rec.Get(kNichiji<LayoutRA>), "03");
    EXPECT_EQ(rec.ByName("KyoriBefore"), "Y   ");
    EXPECT_EQ(rec.ByName("JyokenName").back(), 'X');

    // The head of any record reads through the header layout.
    const RecordHeader head(ra);
    EXPECT_EQ(head.Get(kRecordSpec<LayoutHeader>), "RA");
    EXPECT_EQ(RecordSpecOf(ra), "RA");
}

TEST(DecodeSE, NameOfNineDoubleByteCharactersIs27CharactersAnd36Bytes) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    Put(se, 41, kNineKana);  // Bamei, 18 blanks after it
    Put(se, 77, "01");       // UmaKigoCD

    RecordSE rec;
    DecodeSE(se, rec);
    const std::string text = rec.Text(se::Bamei);
    EXPECT_EQ(text, "アイウエオカキクケ" + std::string(18, ' '));
    EXPECT_EQ(common::CharCount(text), 27u);
    EXPECT_EQ(common::ToCp932(text), At(se, 41, 36));  // back in Shift-JIS: 36 bytes again
    EXPECT_EQ(rec.ByName("UmaKigoCD"), "01");
}

TEST(DecodeSE, HalfWidthKatakanaCountsOneByte) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    Put(se, 41, std::string(recordtest::kHalfSaKuRa) + std::string(recordtest::kSjisHana));
    Put(se, 77, "03");

    RecordSE rec;
    DecodeSE(se, rec);
    const std::string text = rec.Text(se::Bamei);
    EXPECT_EQ(text, "ｻｸﾗ花" + std::string(31, ' '));  // 3 + 2 bytes, then 31 blanks
    EXPECT_EQ(common::CharCount(text), 35u);
    EXPECT_EQ(rec.ByName("UmaKigoCD"), "03");
}

TEST(DecodeSE, RecordCutShortAfter300BytesLeavesLaterFieldsEmpty) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    Put(se, 31, "2021104567");
    Put(se, 297, "01234");  // KisyuCode, of which bytes 297-300 arrive
    Put(se, 360, "0123");

    RecordSE rec;
    DecodeSE(se.substr(0, 300), rec);
    EXPECT_TRUE(rec.IsShort());
    EXPECT_EQ(rec.Get(se::KettoNum), "2021104567");
    EXPECT_EQ(rec.Get(se::KisyuCode), "0123");
    EXPECT_EQ(rec.Get(Locate<LayoutSE>("KisyuCodeBefore")), "");
    EXPECT_EQ(rec.Get(se::Odds), "");
    EXPECT_EQ(rec.Get(se::CrLf), "");
    EXPECT_EQ(rec.Text(se::Odds), "");

    // The decoded record is reused: a full record afterwards fills every field again.
    DecodeSE(se, rec);
    EXPECT_EQ(rec.Get(se::Odds), "0123");
    EXPECT_EQ(rec.Get(se::CrLf), "\r\n");
}

TEST(DecodeSE, SplitOrBrokenCharactersKeepTheirBytes) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    // 35 bytes of name, then ア whose lead byte is Bamei's last byte and whose trail byte is
    // the first byte of UmaKigoCD.
    Put(se, 41, std::string(35, 'A'));
    Put(se, 76, recordtest::kSjisA);
    Put(se, 78, "1");
    // A lead byte followed by a blank: not Shift-JIS at all.
    Put(se, 91, "\x81 ABCDE");  // ChokyosiRyakusyo (8 bytes)

    RecordSE rec;
    DecodeSE(se, rec);
    EXPECT_EQ(rec.Get(se::Bamei), At(se, 41, 36));
    EXPECT_EQ(rec.ByName("UmaKigoCD"), At(se, 77, 2));
    EXPECT_EQ(rec.Text(se::Bamei), std::string(35, 'A') + kReplacement);
    EXPECT_EQ(rec.TextByName("UmaKigoCD"), "A1");  // the lone trail byte 0x41 reads as "A"
    EXPECT_EQ(rec.Get(Locate<LayoutSE>("ChokyosiRyakusyo")), "\x81 ABCDE ");
    const std::string trainer = rec.TextByName("ChokyosiRyakusyo");
    EXPECT_NE(trainer.find(kReplacement), std::string::npos);
    EXPECT_NE(trainer.find("ABCDE"), std::string::npos);  // decoding goes on after the fault

    StoredSE stored;
    PackRecordSE(rec, stored);
    EXPECT_EQ(stored.Bytes(), se);  // nothing lost on the way to the file
}

TEST(DecodeHR, PlacePayoutsAreFiveEntriesFromByte142) {
    std::string hr = RaceRecord(719, "HR", '2', "20250831", "2025083105020311");
    Put(hr, 28, "1212");
    // Three places paid; entries 4 and 5 stay blank.
    Put(hr, 142, "03000000150" "01");
    Put(hr, 155, "07000000280" "04");
    Put(hr, 168, "11000001230" "09");
    Put(hr, 207, "12");  // first bracket-quinella Kumi follows the fifth place entry

    RecordHR rec;
    DecodeHR(hr, rec);
    const auto umaban = hr::PayFukusyoUmaban;
    const auto pay = hr::PayFukusyoPay;
    EXPECT_EQ(umaban.Occurrences(), 5);
    EXPECT_EQ(rec.Get(umaban, 0), "03");
    EXPECT_EQ(rec.Get(pay, 1), "000000280");
    EXPECT_EQ(rec.ByName("PayFukusyo.Ninki", 2), "09");
    EXPECT_EQ(rec.Get(umaban, 3), "  ");
    EXPECT_EQ(rec.Get(pay, 4), std::string(9, ' '));
    EXPECT_EQ(rec.ByName("PayFukusyo", 4), std::string(13, ' '));
    EXPECT_EQ(rec.Get(hr::PayWakurenKumi, 0), "12");
    EXPECT_EQ(rec.Get(hr::TorokuTosu), "12");
}

TEST(DecodeUM, DamNumberAndRunningStyleCounts) {
    std::string um = Blanks(1609);
    Put(um, 1, "UM1");
    Put(um, 12, "2021104567");
    Put(um, 205, "1100001111");  // sire
    Put(um, 251, "1200002222");  // dam
    Put(um, 1593, "001002003004" "017");
    Put(um, 1608, "\r\n");

    RecordUM rec;
    DecodeUM(um, rec);
    EXPECT_EQ(rec.Get(um::KettoNum), "2021104567");
    EXPECT_EQ(rec.Get(um::Ketto3InfoHansyokuNum, 1), "1200002222");
    EXPECT_EQ(rec.Get(um::Ketto3InfoHansyokuNum, 0), "1100001111");
    EXPECT_EQ(rec.Get(um::Kyakusitu, 0), "001");
    EXPECT_EQ(rec.Get(um::Kyakusitu, 3), "004");
    EXPECT_EQ(rec.Get(um::RaceCount), "017");
}

}  // namespace
