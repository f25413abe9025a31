#include "engine/prediction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/ex_record.h"
#include "prediction_fixtures.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"

namespace {

using namespace predictionfixtures;
using engine::ExRecord;
using engine::Surface;

constexpr int kMeasuredAgari = 93, kCombined = 99, kSpread = 105;

std::string Blank(int width) { return std::string(static_cast<std::size_t>(width), ' '); }
std::string Zeros(int width) { return std::string(static_cast<std::size_t>(width), '\0'); }
std::string Index(std::string_view n) { return Padded(n, 4); }
// The 1-based position of the first byte where two records differ, 0 when they are equal.
int FirstDifference(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return static_cast<int>(i + 1);
    return a.size() == b.size() ? 0 : static_cast<int>(n + 1);
}

// A measured speed as the weight sums read it back from its seven digits.
float Measured(int digits) { return static_cast<float>(digits / 100000.0); }

// Turf: item 1 carries the base level (category 2 has no training runs, category 3 is the blank
// label); item 2 has a label for the second try; items 5 and 7 have weights beyond 20, item 6
// exactly 20; items 6, 18 and 21 have counts that the speed texts keep.
ModelItems TurfModel() {
    return {
        {1, {{"201905", 1200, 58.0f, 57.0f, 59.0f}, {"201906", 0, 70.0f, 71.0f, 72.0f}, {"", 5, 50.0f, 51.0f, 52.0f}}},
        {2, {{"0512345678K", 40, 0.5f, -0.25f, 0.25f}, {"6XYZW123456", 41, 1.5f, 1.5f, 1.5f}}},
        {5, {{"35", 10, 20.5f, 3.0f, -21.0f}}},
        {6, {{"A1", 777, 20.0f, -20.0f, 1.0f}}},
        {7, {{"11", 3, -20.5f, 0.5f, 0.5f}}},
        {18, {{"0301", 4242, 0.25f, 0.25f, 0.25f}}},
        {21, {{"G1A", 31, 1.0f, 1.0f, 1.0f}}},
    };
}

// Hurdles: one file of weights for all three targets (the Agari and Pace values here are never read).
ModelItems HurdleModel() { return {{1, {{"201905", 10, 1.0f, 2.0f, 61.25f}}}}; }

class Prediction : public ::testing::Test {
protected:
    void SetUp() override {
        WriteModel(folder, Surface::Siba, TurfModel());
        WriteModel(folder, Surface::Shog, HurdleModel());
        // No dirt model: its runs cannot be predicted.
    }

    testsupport::TempAppFolder folder;
};

// The weight sums of a turf run outside the newest four: every field the passes write, the rest
// of the record untouched.
TEST_F(Prediction, WeightSumsOfATurfRunWithLimitsAndCounts) {
    std::string a = RecordOf({});
    for (auto [k, label] : std::vector<std::pair<int, std::string>>{
             {1, "201905"}, {2, "0512345678K"}, {3, "ZZ"}, {5, "35"}, {6, "A1"}, {7, "11"}, {18, "0301"}, {21, "G1A"}})
        PutLabel(a, k, label);
    Put(a, SpeedAt(0), "626086960000006095238");  // measured speeds as an earlier computation left them

    std::vector<ExRecord> runs;
    runs.push_back(ExRecord::FromBytes(a));
    for (int i = 0; i < 4; ++i) runs.push_back(ExRecord::FromBytes(RecordOf({.date = "20200105"})));
    const engine::PredictionModel model = engine::PredictionModel::Load();
    const engine::HorsePrediction out = engine::PredictHorseRuns(runs, model, "2016100001");
    EXPECT_EQ(out.records, 5);
    EXPECT_EQ(out.runsFailed, 0);

    std::string expected = a;
    for (int k = 1; k <= 30; ++k) Put(expected, IndexAt(k), Index("0"));
    for (int k : {1, 2, 5, 6, 7, 18, 21}) Put(expected, IndexAt(k), Index("1"));
    // Agari 58 + .5 + 20 + .25 + 1 (item 5's 20.5 and item 7's -20.5 left out); Pace 57 - .25 + 3
    // - 20 + .5 + .25 + 1; Soha 59 + .25 + 1 + .5 + .25 + 1 (item 5's -21 left out).
    Put(expected, SpeedAt(3), "797500041500006200000");
    Put(expected, SpeedAt(6), "00007770004242000000000000000000031");
    const std::map<int, std::array<float, 3>> weights = {
        {1, {58, 57, 59}}, {2, {0.5f, -0.25f, 0.25f}}, {5, {20.5f, 3, -21}}, {6, {20, -20, 1}},
        {7, {-20.5f, 0.5f, 0.5f}}, {18, {0.25f, 0.25f, 0.25f}}, {21, {1, 1, 1}}};
    for (int k = 1; k <= 30; ++k) {
        const auto found = weights.find(k);
        const std::array<float, 3> fw = found == weights.end() ? std::array<float, 3>{} : found->second;
        PutFloat(expected, k, fw[0]);
        PutFloat(expected, 31 + k, fw[1]);
        PutFloat(expected, 62 + k, fw[2]);
    }
    const float mA = Measured(6260869), mP = Measured(6000000), mS = Measured(6095238), pA = 79.75f, pP = 41.5f, pS = 62.0f;
    const float combined = 1600.0f / ((1600.0f - 600.0f) / pP + 600.0f / pA);
    const float floats[] = {mA, mP, mS, pA, pP, pS, combined, mS - combined, pS - combined,
                            mA - pA, mP - pP, mS - pS, (mS - pA) * 100.0f / (pP - pA)};
    for (int i = 0; i < 13; ++i) PutFloat(expected, kMeasuredAgari + i, floats[i]);
    EXPECT_EQ(FirstDifference(std::string(runs[0].Bytes()), expected), 0);
    EXPECT_NEAR(FloatOf(expected, kCombined), 50.60f, 0.01f);
}

// Item 1 weighs a label the model lacks, and a category without training runs, as category 1;
// an item-2 label the model lacks is tried as course "6" on its first five characters.
TEST_F(Prediction, ItemOneFallbacksAndTheSecondTryOfItemTwo) {
    struct Case {
        const char* name;
        std::string item1, item2, index1, index2;
        float agari, pace, soha, itemOneAgari;
    };
    const Case cases[] = {
        {"item-1 count 0", "201906", "", "2", "0", 58, 57, 59, 58},
        {"item-1 label unknown", "209912", "", "0", "0", 58, 57, 59, 58},
        {"blank item-1 label", "", "", "3", "0", 50, 51, 52, 50},
        {"item 2 as course 6", "201905", "7XYZW000000", "1", "2", 59.5f, 58.5f, 60.5f, 58},
        {"item 2 unknown", "201905", "7XYZV000000", "1", "0", 58, 57, 59, 58},
    };
    std::vector<ExRecord> runs;
    for (const Case& c : cases) {
        std::string r = RecordOf({});
        PutLabel(r, 1, c.item1);
        PutLabel(r, 2, c.item2);
        runs.push_back(ExRecord::FromBytes(r));
    }
    for (int i = 0; i < 4; ++i) runs.push_back(ExRecord::FromBytes(RecordOf({})));
    engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string r(runs[i].Bytes());
        EXPECT_EQ(At(r, IndexAt(1), 4), Index(c.index1)) << c.name;
        EXPECT_EQ(At(r, IndexAt(2), 4), Index(c.index2)) << c.name;
        EXPECT_EQ(FloatOf(r, 96), c.agari) << c.name;
        EXPECT_EQ(FloatOf(r, 97), c.pace) << c.name;
        EXPECT_EQ(FloatOf(r, 98), c.soha) << c.name;
        EXPECT_EQ(FloatOf(r, 1), c.itemOneAgari) << c.name << ": item 1's stored weight is the one summed";
    }
}

// Runs whose labels were never written fall in the same categories within a surface. A model's
// labels of zero bytes are labels like any other (item 3 here, item 18 with its training count,
// and item 2's second try at course "6"); each surface weighs with its own tables; and what
// follows from a run's own distance and measured speeds stays its own.
TEST_F(Prediction, RunsWithoutLabelsWeighAsTheirSurfaceSays) {
    ModelItems turf = TurfModel();
    turf[2].push_back({"6" + Zeros(4) + "QQQQQQ", 5, 0.5f, 0.5f, 0.5f});
    turf[3] = {{"ZZ", 1, 9.0f, 9.0f, 9.0f}, {Zeros(9), 12, 2.0f, 4.0f, 5.0f}};
    turf[18].push_back({Zeros(6), 4242, 0.25f, -0.5f, 0.75f});
    WriteModel(folder, Surface::Siba, turf);

    std::string measured = RecordOf({.kyori = "2000"});
    Put(measured, SpeedAt(0), "626086960000006095238");  // as an earlier computation left them
    const std::string in[] = {measured, RecordOf({}), RecordOf({.track = "54", .kyori = "3000"})};
    std::vector<ExRecord> runs;
    for (const std::string& r : in) runs.push_back(ExRecord::FromBytes(r));
    for (int i = 0; i < 4; ++i) runs.push_back(ExRecord::FromBytes(RecordOf({.date = "20200105"})));
    const engine::HorsePrediction out = engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001");
    EXPECT_EQ(out.runsFailed, 0);

    // Item 1 weighs as category 1; items 2, 3 and 18 find their zero-byte labels.
    const float pA = 58 + 0.5f + 2 + 0.25f, pP = 57 + 0.5f + 4 - 0.5f, pS = 59 + 0.5f + 5 + 0.75f;
    const struct {
        std::size_t run;
        float kyori, mA, mP, mS;
    } turfRuns[] = {{0, 2000, Measured(6260869), Measured(6000000), Measured(6095238)}, {1, 1600, 0, 0, 0}};
    for (const auto& t : turfRuns) {
        const std::string r(runs[t.run].Bytes());
        EXPECT_EQ(At(r, 1, kSpeedText + 20), At(in[t.run], 1, kSpeedText + 20)) << "run " << t.run;
        for (int k = 1; k <= 30; ++k)
            EXPECT_EQ(At(r, IndexAt(k), 4), Index(k == 2 ? "3" : k == 3 || k == 18 ? "2" : "0")) << "run " << t.run;
        EXPECT_EQ(At(r, SpeedAt(6), 35), "00000000004242000000000000000000000") << "run " << t.run;
        const std::map<int, std::array<float, 3>> weights = {
            {1, {58, 57, 59}}, {2, {0.5f, 0.5f, 0.5f}}, {3, {2, 4, 5}}, {18, {0.25f, -0.5f, 0.75f}}};
        for (int k = 1; k <= 30; ++k) {
            const auto found = weights.find(k);
            const std::array<float, 3> fw = found == weights.end() ? std::array<float, 3>{} : found->second;
            EXPECT_EQ(FloatOf(r, k), fw[0]) << "run " << t.run << " item " << k;
            EXPECT_EQ(FloatOf(r, 31 + k), fw[1]) << "run " << t.run << " item " << k;
            EXPECT_EQ(FloatOf(r, 62 + k), fw[2]) << "run " << t.run << " item " << k;
        }
        EXPECT_EQ(FloatOf(r, 31), 0.0f);
        EXPECT_EQ(FloatOf(r, 62), 0.0f);
        const float combined = t.kyori / ((t.kyori - 600.0f) / pP + 600.0f / pA);
        const float floats[] = {t.mA, t.mP, t.mS, pA, pP, pS, combined, t.mS - combined, pS - combined,
                                t.mA - pA, t.mP - pP, t.mS - pS, (t.mS - pA) * 100.0f / (pP - pA)};
        for (int i = 0; i < 13; ++i) EXPECT_EQ(FloatOf(r, kMeasuredAgari + i), floats[i]) << "run " << t.run << " float " << i;
        EXPECT_EQ(At(r, SpeedAt(3), 21), "607500061000006525000") << "run " << t.run;
    }

    // The hurdle run weighs with the hurdle model, which has no zero-byte labels.
    const std::string hurdle(runs[2].Bytes());
    for (int k = 1; k <= 30; ++k) EXPECT_EQ(At(hurdle, IndexAt(k), 4), Index("0")) << "item " << k;
    EXPECT_EQ(At(hurdle, SpeedAt(3), 21), "612500061250006125000");
    EXPECT_EQ(At(hurdle, SpeedAt(6), 35), std::string(35, '0'));
    EXPECT_EQ(FloatOf(hurdle, 1), 61.25f);
    EXPECT_EQ(FloatOf(hurdle, 3), 0.0f);
}

// A hurdle run's three predicted speeds are equal; its spread value is 0 and its combined speed is
// the predicted speed again.
TEST_F(Prediction, HurdleRunHasThreeEqualSpeeds) {
    std::string d = RecordOf({.track = "54", .kyori = "3000"});
    PutLabel(d, 1, "201905");
    std::vector<ExRecord> runs{ExRecord::FromBytes(d)};
    for (int i = 0; i < 4; ++i) runs.push_back(ExRecord::FromBytes(RecordOf({})));
    engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001");
    const std::string r(runs[0].Bytes());
    EXPECT_EQ(At(r, SpeedAt(3), 21), "612500061250006125000");
    EXPECT_EQ(At(r, IndexAt(1), 4), Index("1"));
    EXPECT_EQ(FloatOf(r, 1), 61.25f);
    EXPECT_EQ(FloatOf(r, 32), 61.25f);
    EXPECT_EQ(FloatOf(r, 63), 61.25f);
    EXPECT_EQ(FloatOf(r, kSpread), 0.0f);
    EXPECT_NEAR(FloatOf(r, kCombined), 61.25f, 1e-4f);
    EXPECT_EQ(FloatOf(r, kCombined), 3000.0f / (2400.0f / 61.25f + 600.0f / 61.25f));
}

// The newest four of ten records: a run of 2015 and a run abroad get blanks, a run on track "35"
// gets speeds and labels but no categories, a normal run everything; records 1 to 6 keep their
// speed and label fields. The bar of the records moves for the runs from 2016 on.
TEST_F(Prediction, NewestFourRunsGetSpeedsAndLabels) {
    std::vector<std::string> in;
    for (int i = 1; i <= 6; ++i) {
        std::string r = RecordOf({});
        Put(r, SpeedAt(0), "1111111222222233333334444444");
        PutLabel(r, 1, "201905");
        PutLabel(r, 2, "KEEP" + std::to_string(i));
        in.push_back(r);
    }
    in.push_back(RecordOf({.date = "20151227"}));  // 7
    std::string abroad = RecordOf({.jyo = "44"});   // 8
    Put(abroad, SpeedAt(3), "SENTIN3");
    Put(abroad, SpeedAt(10), "SENTI10");
    PutFloat(abroad, 1, 9.0f);
    PutFloat(abroad, kCombined, 12.5f);
    in.push_back(abroad);
    in.push_back(RecordOf({.track = "35"}));  // 9
    in.push_back(RecordOf({}));               // 10

    std::vector<ExRecord> runs;
    for (const std::string& r : in) runs.push_back(ExRecord::FromBytes(r));
    std::vector<int> bar;
    engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001", [&](int v) { bar.push_back(v); });
    EXPECT_EQ(bar, (std::vector<int>{80, 90, 100}));

    for (int i = 0; i < 6; ++i) {
        const std::string r(runs[static_cast<std::size_t>(i)].Bytes());
        EXPECT_EQ(At(r, SpeedAt(0), 21), "111111122222223333333") << i + 1;
        EXPECT_EQ(At(r, kItemAt[2], 11), Padded("KEEP" + std::to_string(i + 1), 11)) << i + 1;
        EXPECT_EQ(At(r, IndexAt(1), 4), Index("1")) << i + 1;
    }
    const std::string old(runs[6].Bytes());
    EXPECT_EQ(At(old, SpeedAt(0), 21), Blank(21));
    EXPECT_EQ(At(old, kItemAt[1], 176), Blank(176));
    EXPECT_EQ(At(old, IndexAt(1), 4), Index("3")) << "its blank label is looked up all the same";
    EXPECT_EQ(At(old, SpeedAt(3), 21), "500000051000005200000");

    const std::string far(runs[7].Bytes());
    EXPECT_EQ(At(far, SpeedAt(0), 21), Blank(21));
    EXPECT_EQ(At(far, kItemAt[1], 176), Blank(176));
    EXPECT_EQ(At(far, IndexAt(1), 120), Blank(120));
    EXPECT_EQ(At(far, SpeedAt(3), 7), "SENTIN3");
    EXPECT_EQ(At(far, SpeedAt(6), 28), Blank(28));
    EXPECT_EQ(At(far, SpeedAt(10), 7), "SENTI10");
    EXPECT_EQ(FloatOf(far, 1), 0.0f);
    EXPECT_EQ(FloatOf(far, kCombined), 12.5f);
    EXPECT_EQ(FloatOf(far, kMeasuredAgari), 0.0f);

    const std::string t35(runs[8].Bytes());
    EXPECT_EQ(At(t35, SpeedAt(0), 21), "000000000000006095238");
    EXPECT_EQ(At(t35, kItemAt[1], 9), "201905   ");
    EXPECT_EQ(At(t35, IndexAt(1), 120), Blank(120));
    EXPECT_EQ(At(t35, SpeedAt(3), 21), Zeros(21));

    const std::string last(runs[9].Bytes());
    EXPECT_EQ(At(last, SpeedAt(0), 21), "626086960000006095238");
    EXPECT_EQ(At(last, kItemAt[1], 9), "201905   ");
    EXPECT_EQ(At(last, IndexAt(1), 4), Index("1"));
    EXPECT_EQ(FloatOf(last, 1), 58.0f);
    EXPECT_EQ(FloatOf(last, kMeasuredAgari), Measured(6260869));
}

TEST_F(Prediction, TwoRecordsBothGetSpeedsAndLabels) {
    std::vector<ExRecord> runs{ExRecord::FromBytes(RecordOf({.date = "20180303", .time = "1352", .l3 = "350"})),
                               ExRecord::FromBytes(RecordOf({}))};
    engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001");
    // 21600 / 350 = 61.714285; 1000 / (952 - 350) x 36 = 59.800664; 1600 / 952 x 36 = 60.504201.
    EXPECT_EQ(At(std::string(runs[0].Bytes()), SpeedAt(0), 21), "617142859800666050420");
    EXPECT_EQ(At(std::string(runs[0].Bytes()), kItemAt[1], 9), "201803   ");
    EXPECT_EQ(At(std::string(runs[1].Bytes()), SpeedAt(0), 21), "626086960000006095238");
}

// A run that cannot be predicted gets zeros in every prediction field and is counted; the runs
// around it go on.
TEST_F(Prediction, AFailingRunGetsZerosAndTheOthersGoOn) {
    std::string badKyori = RecordOf({.kyori = "16X0"});
    PutLabel(badKyori, 1, "201905");
    Put(badKyori, SpeedAt(0), "1111111");
    PutFloat(badKyori, 1, 3.0f);
    std::string dirt = RecordOf({.track = "24"});  // its model is missing
    std::string badTime = RecordOf({.time = "1X45"});
    std::vector<ExRecord> runs;
    for (const std::string& r : {RecordOf({}), badKyori, dirt, RecordOf({}), RecordOf({}), badTime})
        runs.push_back(ExRecord::FromBytes(r));
    const engine::HorsePrediction out = engine::PredictHorseRuns(runs, engine::PredictionModel::Load(), "2016100001");
    EXPECT_EQ(out.runsFailed, 3);
    ASSERT_GE(out.failures.size(), 3u);
    int named = 0;
    for (const std::string& f : out.failures)
        if (f.find("2016100001 record ") == 0 && f.find("not predicted") != std::string::npos) ++named;
    EXPECT_EQ(named, 3);

    for (int i : {1, 2, 5}) {
        const std::string r(runs[static_cast<std::size_t>(i)].Bytes());
        const std::string in = i == 1 ? badKyori : (i == 2 ? dirt : badTime);
        std::string expected = in;
        std::memset(expected.data() + kSpeedText - 1, 0, 2601 - kSpeedText + 1);
        EXPECT_EQ(FirstDifference(r, expected), 0) << "record " << i + 1;
    }
    for (int i : {0, 3, 4}) EXPECT_EQ(FloatOf(std::string(runs[static_cast<std::size_t>(i)].Bytes()), 1), 58.0f);
}

TEST(CombinedSoha, FormulaAndZeroSums) {
    EXPECT_EQ(engine::CombinedSoha(1600, 60, 60), 1600.0f / (1000.0f / 60.0f + 600.0f / 60.0f));
    EXPECT_EQ(engine::CombinedSoha(1200, 0, 60), 0.0f);
    EXPECT_EQ(engine::CombinedSoha(1200, 60, 0), 0.0f);
    EXPECT_EQ(engine::CombinedSoha(600, 62.5f, 1), 600.0f / (600.0f / 62.5f));
    // (0 - 600) / 60 + 600 / 60 = 0: no speed rather than infinity.
    EXPECT_EQ(engine::CombinedSoha(0, 60, 60), 0.0f);
}

TEST(TrainingCountText, SevenDigits) {
    EXPECT_EQ(engine::TrainingCountText(0), "0000000");
    EXPECT_EQ(engine::TrainingCountText(4242), "0004242");
    EXPECT_EQ(engine::TrainingCountText(9999999), "9999999");
    EXPECT_EQ(engine::TrainingCountText(12345678), "9999999");
    EXPECT_EQ(engine::TrainingCountText(-5), "0000000");
}

// The files of a list of horses are completed in place, each read and written once; a horse
// without records is passed over, a bad key is logged and the next horse goes on.
TEST_F(Prediction, PredictAllRunnersCompletesEachFileInPlace) {
    std::string one = RecordOf({});
    PutLabel(one, 1, "201906");
    std::string content;
    for (const std::string& r : {one, RecordOf({}), RecordOf({}), RecordOf({}), RecordOf({})}) content += r;
    folder.Write("UMAGOTOEXTHISWEEKN/2016100001EX.dat", content);
    folder.Write("UMAGOTOEXTHISWEEKN/2016100002EX.dat", "");

    testsupport::RecordingHost host;
    std::vector<int> bar3;
    const engine::PredictionSummary s = engine::PredictAllRunners(
        {"2016100001", "2016100002", "bad/key", "2016100003"}, engine::PredictionModel::Load(), host,
        {[&](int v) { bar3.push_back(v); }, {}});
    EXPECT_EQ(s.horses, 4);
    EXPECT_EQ(s.records, 5);
    EXPECT_EQ(s.horsesPassedOver, 1);
    EXPECT_EQ(bar3, (std::vector<int>{25, 50, 75, 100}));
    const std::string after = folder.Read("UMAGOTOEXTHISWEEKN/2016100001EX.dat");
    ASSERT_EQ(after.size(), 5u * 2603);
    EXPECT_EQ(At(after, IndexAt(1), 4), Index("2"));
    EXPECT_EQ(FloatOf(after, 96), 58.0f);
    EXPECT_EQ(folder.Read("UMAGOTOEXTHISWEEKN/2016100002EX.dat"), "");
    EXPECT_FALSE(folder.Exists("UMAGOTOEXTHISWEEKN/2016100003EX.dat"));
    EXPECT_NE(folder.Read("ERRORLOG.txt").find("bad/key"), std::string::npos);
}

}  // namespace
