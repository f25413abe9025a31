#include <gtest/gtest.h>

#include <string>

#include "common/encoding.h"
#include "record_bytes.h"
#include "records/decoders.h"
#include "records/fields.h"
#include "records/week_record_file.h"
#include "support/temp_folder.h"

namespace {

using namespace records;
using recordtest::At;
using recordtest::Blanks;
using recordtest::Put;
using recordtest::RaceRecord;

const std::string kNineKana =
    "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e\x83\x50";

TEST(PackRecordRA, PackedAndWrittenGivesBackTheReceivedBytes) {
    testsupport::TempAppFolder folder;
    std::string ra = RaceRecord(1272, "RA", '2', "20250829", "2025083105020311");
    Put(ra, 33, kNineKana);  // Hondai
    Put(ra, 573, std::string(recordtest::kHalfSaKuRa));
    Put(ra, 698, "1600");
    Put(ra, 874, "1540");

    RecordRA decoded;
    DecodeRA(ra, decoded);
    StoredRA stored;
    PackRecordRA(decoded, stored);
    const WeekFileRA file(folder / "RATHISWEEKN.dat");
    EXPECT_EQ(file.Append(stored), 1);
    EXPECT_EQ(folder.Read("RATHISWEEKN.dat"), ra);
}

TEST(PackRecordSE, ShortRecordIsStoredWithBlanksForTheMissingBytes) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    Put(se, 297, "01234");
    RecordSE decoded;
    DecodeSE(se.substr(0, 300), decoded);
    StoredSE stored;
    PackRecordSE(decoded, stored);

    std::string expected = se.substr(0, 300) + Blanks(255);
    EXPECT_EQ(stored.Bytes(), expected);
    EXPECT_EQ(stored.Get(se::KisyuCode), "0123 ");
}

TEST(PackRecordKS, MoneyFieldsKeepTheirFirstNineDigits) {
    // Received and expected stored records built side by side at their own positions.
    std::string received = Blanks(4173);
    std::string stored = Blanks(4161);
    for (std::string* r : {&received, &stored}) {
        Put(*r, 1, "KS120250829");
        Put(*r, 12, "01234");
        Put(*r, 42, "\x95\x90\x20\x96\x4c");  // KisyuName: 武 豊
        Put(*r, 265, "2025083105020311");     // first flat ride's RaceId
    }
    Put(received, 4172, "\r\n");
    Put(stored, 4160, "\r\n");
    const std::size_t receivedBlock[3] = {1016, 2068, 3120};
    const std::size_t storedBlock[3] = {1016, 2064, 3112};
    for (int b = 0; b < 3; ++b) {
        const std::string digit(1, static_cast<char>('1' + b));
        const std::size_t r = receivedBlock[b], s = storedBlock[b];
        Put(received, r, "2025");
        Put(stored, s, "2025");
        for (int m = 0; m < 4; ++m) {  // ten-digit money fields: "d000000m0" + the dropped last digit
            const std::string money = digit + "00000" + std::to_string(m) + "00" + "9";
            Put(received, r + 4 + static_cast<std::size_t>(m) * 10, money);
            Put(stored, s + 4 + static_cast<std::size_t>(m) * 9, money.substr(0, 9));
        }
        Put(received, r + 44, "000012");  // first flat placing count
        Put(stored, s + 40, "000012");
        Put(received, r + 1046, "000345");  // last count of the last distance band
        Put(stored, s + 1042, "000345");
    }

    RecordKS decoded;
    DecodeKS(received, decoded);
    EXPECT_EQ(decoded.Get(ks::HonSyokinHeichi, 0), "1000000009");  // decoded at full width
    StoredKS packed;
    PackRecordKS(decoded, packed);
    EXPECT_EQ(packed.Bytes().size(), 4161u);
    EXPECT_EQ(packed.Bytes(), stored);
    EXPECT_EQ(At(packed.Bytes(), 1020, 9), "100000000");
    EXPECT_EQ(packed.Get(ks_stored::HonSyokinHeichi, 2), "300000000");
    EXPECT_EQ(packed.Bytes().substr(4159), "\r\n");
}

TEST(PackRecordKS, ShortJockeyRecordStoresBlanks) {
    std::string received = Blanks(1030);
    Put(received, 1, "KS120250829");
    Put(received, 1016, "2025123456789");  // SetYear and the first 9 of HonSyokinHeichi
    RecordKS decoded;
    DecodeKS(received, decoded);
    StoredKS packed;
    PackRecordKS(decoded, packed);
    std::string expected = Blanks(4161);
    Put(expected, 1, "KS120250829");
    Put(expected, 1016, "2025123456789");
    EXPECT_EQ(packed.Bytes(), expected);
}

TEST(StoredRecord, ReadBackPadsTextToTheFieldWidthAndBlanksZeros) {
    std::string se = RaceRecord(555, "SE", '2', "20250829", "2025083105020311");
    Put(se, 41, kNineKana);
    se[400] = '\0';
    StoredSE stored;
    ReadStored(se, stored);
    EXPECT_EQ(stored.PaddedText(se::Bamei), "アイウエオカキクケ" + std::string(27, ' '));
    EXPECT_EQ(common::CharCount(stored.PaddedText(se::Bamei)), 36u);
    EXPECT_EQ(stored.Bytes()[400], ' ');
    EXPECT_EQ(stored.Bytes().size(), 555u);

    StoredSE fromShort;
    ReadStored(se.substr(0, 100), fromShort);
    EXPECT_EQ(fromShort.Bytes(), se.substr(0, 100) + Blanks(455));
}

TEST(StoredRecord, SetPadsCutsAndNeverSplitsACharacter) {
    StoredRA ra;
    ra.Set(ra::Kyori, "12");
    ra.Set(ra::HassoTime, "154099");
    ra.Set(ra::JyokenCD, "A03", 4);
    ra.Set(ra::JyokenCD, "ZZZ", 5);  // outside the group: nothing written
    // 3 bytes of 漢字 fit only the first character in a 3-byte field: blank-padded, not split.
    ra.Set(Locate<LayoutRA>("Ryakusyo3"), "\x8a\xbf\x8e\x9a");
    ra.Set(Locate<LayoutRA>("Nkai"), "\x8a\xbf\x8e\x9a");

    std::string expected = Blanks(1272);
    Put(expected, 698, "12  ");
    Put(expected, 874, "1540");
    Put(expected, 635, "A03");
    Put(expected, 605, "\x8a\xbf\x8e\x9a  ");  // Ryakusyo3 is 6 bytes: both fit
    Put(expected, 612, "\x8a\xbf ");
    EXPECT_EQ(ra.Bytes(), expected);
}

}  // namespace
