#include <gtest/gtest.h>

#include <array>
#include <string>

#include "record_bytes.h"
#include "records/decoders.h"
#include "records/keys.h"

namespace {

using namespace records;
using recordtest::Put;
using recordtest::RaceRecord;

TEST(Keys, RaceAndMeetingKeysJoinTheRaceIdParts) {
    // Year 2025, 0831, course 05, meeting 02, day 03, race 11.
    EXPECT_EQ(RaceKey12("2025083105020311"), "202508310511");
    EXPECT_EQ(MeetingKey("2025083105020311"), "20250831050203");

    const std::string hr = RaceRecord(719, "HR", '2', "20250901", "2024122806050612");
    RecordHR rec;
    DecodeHR(hr, rec);
    EXPECT_EQ(RaceKey12Of(rec), "202412280612");
    EXPECT_EQ(MeetingKeyOf(rec), "20241228060506");
}

TEST(Keys, RunKeyIsVersionDateThenRunIdentity) {
    std::string se = RaceRecord(555, "SE", '4', "20250829", "2025083105020311");
    Put(se, 29, "07");          // Umaban
    Put(se, 31, "2021104567");  // KettoNum
    StoredSE stored;
    stored.Assign(se);

    const std::string key = RunKey(stored);
    EXPECT_EQ(key, "20250829" "2025" "0831" "11" "07" "2021104567");
    EXPECT_EQ(key.size(), 30u);
    EXPECT_EQ(RunIdentity(key), "2025" "0831" "11" "07" "2021104567");
    EXPECT_EQ(RunVersion(key), 20250829);

    // The same run at another course or meeting day has the same identity.
    std::string other = RaceRecord(555, "SE", '7', "20250901", "2025083109040511");
    Put(other, 29, "07");
    Put(other, 31, "2021104567");
    EXPECT_EQ(RunIdentity(RunKey(RecordView<LayoutSE>(other))), RunIdentity(key));
}

// A short record's key holds what its fields hold, in order: a field cut short ends it early.
TEST(Keys, RunKeyOfAShortRecordStopsWhereTheRecordDoes) {
    std::string se = RaceRecord(555, "SE", '4', "20250829", "2025083105020311");
    Put(se, 29, "07");
    Put(se, 31, "2021104567");
    const struct {
        std::size_t cut;
        const char* key;
    } cases[] = {
        {555, "20250829" "2025" "0831" "11" "07" "2021104567"},
        {40, "20250829" "2025" "0831" "11" "07" "2021104567"},
        {39, "20250829" "2025" "0831" "11" "07" "202110456"},
        {29, "20250829" "2025" "0831" "11" "0"},
        {25, "20250829" "2025" "0831"},  // the race number, after the course, is cut off
        {12, "20250829" "2"},
        {8, "20250"},                   // the version cut short
        {3, ""},
    };
    for (const auto& c : cases) {
        const RecordView<LayoutSE> view(std::string_view(se).substr(0, c.cut));
        std::array<char, kRunKeyLength> buffer;
        EXPECT_EQ(RunKeyIn(view, buffer), c.key) << c.cut;
        EXPECT_EQ(RunKey(view), c.key) << c.cut;
    }
}

}  // namespace
