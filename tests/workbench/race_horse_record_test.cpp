#include "workbench/race_horse_record.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "support/temp_folder.h"
#include "workbench/race_state.h"

namespace {

using batchtest::At;
using batchtest::FloatBytes;
namespace rh = workbench::rh;

// Element stepping: where the last element of each kind of field lands.
TEST(RaceHorseRecord, ElementsStepByTheirWidth) {
    struct Case {
        rh::Ref ref;
        int element;
        std::string value;
        std::size_t at;
    };
    const std::vector<Case> cases = {
        {rh::RunRaceId, 64, "2025060705030101", 1 + 64 * 16},
        {rh::RaceNum, 64, "11", 1 + 64 * 16 + 14},
        {rh::KettoNum, 64, "2021100001", 1236 + 64 * 10},
        {rh::HaronTimeL3, 64, "345", 3872 + 64 * 3},
        {rh::DirtBabaCD, 64, "3", 4736 + 64 * 3 + 2},
        {rh::SampleCounts, 4, "0000074", 4942 + 4 * 7},
        {rh::Bamei, 0, "NAME", 1886},
    };
    for (const Case& c : cases) {
        workbench::RaceHorseRecord r;
        r.Set(c.ref, c.value, c.element);
        EXPECT_EQ(At(std::string(r.Bytes()), c.at, c.value.size()), c.value) << c.at;
        EXPECT_EQ(r.Get(c.ref, c.element), c.value + std::string(static_cast<std::size_t>(c.ref.width) - c.value.size(), ' '));
    }
    workbench::RaceHorseRecord r;
    EXPECT_THROW(r.Set(rh::Kyori, "1600", 65), std::out_of_range);
    EXPECT_THROW(r.Set(rh::Bamei, "NAME", 1), std::out_of_range);
}

// Copying many elements at once lands every element where copying them one by one does, walking
// the source forwards or backwards; more elements than the field has are refused.
TEST(RaceHorseRecord, ElementsCopiedAtOnceAsOneByOne) {
    std::string source;
    for (int i = 0; i < 70 * 100; ++i) source += static_cast<char>('0' + i % 75);
    for (const rh::Ref ref : {rh::RunRaceId, rh::Wakuban, rh::HaronTimeL3, rh::AgariWeight, rh::SpeedBlock}) {
        for (const std::ptrdiff_t stride : {std::ptrdiff_t{100}, std::ptrdiff_t{-100}}) {
            SCOPED_TRACE(std::to_string(ref.offset) + " " + std::to_string(stride));
            const char* first = source.data() + (stride < 0 ? 64 * 100 : 0);
            workbench::RaceHorseRecord all;
            workbench::RaceHorseRecord each;
            all.CopyRawElements(ref, first, stride, 65);
            for (int e = 0; e < 65; ++e) each.CopyRaw(ref, first + e * stride, e);
            EXPECT_EQ(all.Bytes(), each.Bytes());
            EXPECT_NE(all.Bytes(), workbench::RaceHorseRecord().Bytes());
        }
    }
    workbench::RaceHorseRecord r;
    EXPECT_THROW(r.CopyRawElements(rh::Kyori, source.data(), 4, 66), std::out_of_range);
    EXPECT_THROW(r.CopyRawElements(rh::Bamei, source.data(), 36, 2), std::out_of_range);
    EXPECT_EQ(r.Bytes(), workbench::RaceHorseRecord().Bytes());
}

TEST(RaceHorseRecord, FloatsOfTheBlocksAndTheCorrection) {
    workbench::RaceHorseRecord r;
    r.SetFloat(rh::AgariValue, 61.25f, 69, 23);
    r.SetFloat(rh::PaceValue, 58.5f, 1, 0);
    r.SetFloat(rh::SpeedValue, 60.75f, 0, 6);
    r.SetFloat(rh::Correction, -1.5f);
    const std::string bytes(r.Bytes());
    EXPECT_EQ(At(bytes, 4977 + 69 * 96 + 23 * 4, 4), FloatBytes(61.25f));
    EXPECT_EQ(At(bytes, 11697 + 96, 4), FloatBytes(58.5f));
    EXPECT_EQ(At(bytes, 18417 + 6 * 4, 4), FloatBytes(60.75f));
    EXPECT_EQ(At(bytes, 24017, 4), FloatBytes(-1.5f));
    EXPECT_EQ(r.Float(rh::SpeedValue, 0, workbench::speed_block::kCombinedSoha), 60.75f);
    EXPECT_THROW(r.Float(rh::SpeedValue, 70, 0), std::out_of_range);
    EXPECT_THROW(r.Float(rh::SpeedValue, 0, 20), std::out_of_range);
    EXPECT_THROW(r.Float(rh::Kyori, 0), std::invalid_argument);
}

TEST(RaceHorseRecord, RunnerFileHoldsOneRecordPerHorseNumber) {
    testsupport::TempAppFolder folder;
    std::filesystem::create_directories(folder / "RACE");
    workbench::RaceHorseRecord one, three;
    one.Set(rh::Umaban, "01", 0);
    one.SetCrLf();
    three.Set(rh::Umaban, "03", 0);
    three.SetCrLf();
    workbench::WriteRaceHorseFile("202506070501", {one, workbench::RaceHorseRecord(), three});

    const std::string file = folder.Read("RACE/202506070501.dat");
    ASSERT_EQ(file.size(), 3 * batchtest::kRhLength);
    EXPECT_EQ(At(file, batchtest::kRhLength + 1, batchtest::kRhLength), std::string(batchtest::kRhLength, '\0'));
    EXPECT_EQ(At(file, 2 * batchtest::kRhLength + 1106, 2), "03");
    EXPECT_EQ(At(file, 2 * batchtest::kRhLength + 24021, 2), "\r\n");
    const auto back = workbench::ReadRaceHorseFile("202506070501", "test");
    ASSERT_EQ(back.size(), 3u);
    EXPECT_FALSE(back[0].IsBlank());
    EXPECT_TRUE(back[1].IsBlank());

    // No runners: an empty file, written over the old one.
    workbench::WriteRaceHorseFile("202506070501", {});
    EXPECT_TRUE(folder.Exists("RACE/202506070501.dat"));
    EXPECT_EQ(folder.Read("RACE/202506070501.dat"), "");

    for (const char* key : {"2025/6070501", "../../../../x", "20250607050", "20250607050A"})
        EXPECT_THROW(workbench::RaceHorseFilePath(key), std::invalid_argument) << key;
    EXPECT_THROW(workbench::RaceHorseRecord::FromBytes("short"), std::invalid_argument);
}

// The state of a race starts afresh: its own identity, payout and runners, never the previous
// race's.
TEST(RaceState, BuiltFromTheRacesOwnRecords) {
    workbench::ListedRace withRace;
    withRace.RaceKey12 = "202506070501";
    withRace.RaceId = "2025060705030101";
    batchtest::Race race = batchtest::RaceOf("2025060705030101");
    race.toroku = "14";
    race.track = "24";
    race.kyori = "1400";
    race.hasso = "1005";
    withRace.Ra.emplace();
    withRace.Ra->Assign(batchtest::RaRecord(race));
    workbench::RaceHorseRecord last;
    last.Set(rh::Umaban, "02", 0);
    const workbench::RaceState a =
        workbench::BuildRaceState(1, 0, withRace, workbench::KeyOnlyTitle("202506070501"), {workbench::RaceHorseRecord(), last});
    EXPECT_EQ(a.MeetingKey, "20250607050301");
    EXPECT_EQ(a.RaceNum, "01");
    EXPECT_EQ(a.TorokuTosu, "14");
    EXPECT_EQ(a.TrackCD, "24");
    EXPECT_EQ(a.Kyori, "1400");
    EXPECT_EQ(a.HassoTime, "1005");
    EXPECT_FALSE(a.CurHr.has_value());
    EXPECT_EQ(a.RunnerCount, 2);
    EXPECT_EQ(a.CurRaceHorse().Get(rh::Umaban, 0), "02");
    EXPECT_TRUE(a.Runner(0).IsBlank());
    EXPECT_TRUE(a.Runner(3).IsBlank());

    workbench::ListedRace payoutOnly;
    payoutOnly.RaceKey12 = "202506080601";
    payoutOnly.RaceId = "2025060806030101";
    payoutOnly.Hr.emplace();
    payoutOnly.Hr->Assign(batchtest::HrRecord("2025060806030101", "20250609", "000000700", "08"));
    const workbench::RaceState b = workbench::BuildRaceState(2, 1, payoutOnly, workbench::KeyOnlyTitle("202506080601"), {});
    EXPECT_EQ(b.TorokuTosu, "08");
    EXPECT_EQ(b.TrackCD, "");
    EXPECT_TRUE(b.CurHr.has_value());
    EXPECT_EQ(b.RunnerCount, 0);
    EXPECT_EQ(b.CurRaceHorse().Bytes(), std::string(batchtest::kRhLength, '\0'));
}

}  // namespace
