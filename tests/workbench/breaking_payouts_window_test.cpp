#include <memory>
#include <string>

#include <QLabel>
#include <QPushButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "batch_fixtures.h"
#include "dataservice/scripted_jvlink.h"
#include "support/record_bytes.h"
#include "support/recording_host.h"
#include "support/temp_folder.h"
#include "workbench/breaking_payouts_window.h"

// The breaking-payouts window offscreen: its controls, and its load on a scripted data service.
namespace {

using testsupport::Put;

constexpr std::string_view kRaceId = "2025060705030211";
const std::string kRaceFile = "RACE/202506070511.dat";

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

TEST(BreakingPayoutsWindow, LoadFetchesAndMergesThenOnlyStandsOpen) {
    testsupport::TempAppFolder folder;
    testsupport::RecordingHost host;
    const std::string ra = batchtest::RaRecord(batchtest::RaceOf(std::string(kRaceId)));
    folder.Write("RATHISWEEKN.dat", ra);
    folder.Write("RATHISWEEKNNEW.dat", ra);
    std::string runner(24022, 'r');
    Put(runner, 24021, "\r\n");
    folder.Write(kRaceFile, runner);

    // Win odds line: RaceId at 12, first win entry at 44; runner record: Umaban 29, NyusenJyuni
    // 333, Time 339, Odds 360, Ninki 364, HaronTimeL3 391.
    std::string o1(962, ' ');
    Put(o1, 1, "O11");
    Put(o1, 12, kRaceId);
    Put(o1, 44, "01034507");
    Put(o1, 961, "\r\n");
    std::string se = batchtest::SeRecord(kRaceId, "01", "2021100001", "NAME");
    Put(se, 333, "03");
    Put(se, 339, "1359");
    Put(se, 360, "0100");
    Put(se, 364, "01");
    Put(se, 391, "351");
    auto link = std::make_unique<dataservice::ScriptedJVLink>();
    link->initResults = {0, -301};
    link->QueueRecord(o1).QueueNextFile().QueueRecord(se).QueueEnd();
    dataservice::ScriptedJVLink* scripted = link.get();

    workbench::TLMHRRIALTIME window(host, nullptr, std::move(link));
    window.setAttribute(Qt::WA_DeleteOnClose, false);

    EXPECT_EQ(window.objectName(), "TLMHRRIALTIME");
    EXPECT_EQ(window.windowTitle(), Q("2024.6.29Z"));
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), Q("速報払戻・単勝･着順取得"));
    EXPECT_EQ(window.findChild<QPushButton*>("Command1")->text(), Q("速報払戻単勝着順所得完了"));

    EXPECT_EQ(scripted->Count("JVRTOpen 0B30 2025060705030211"), 1u);
    EXPECT_EQ(scripted->Count("JVRTOpen 0B12 20250607"), 1u);
    EXPECT_THAT(host.Messages(), ::testing::ElementsAre("JVInitエラー。RC=-301"));
    // Element 0: NyusenJyuni 2962, SohaTime 3222, Ninki 3482, TanOdds 3612, HaronTimeL3 3872.
    std::string merged = runner;
    Put(merged, 2962, "03");
    Put(merged, 3222, "1359");
    Put(merged, 3482, "07");
    Put(merged, 3612, "0345");
    Put(merged, 3872, "351");
    EXPECT_EQ(folder.Read(kRaceFile), merged);
    EXPECT_EQ(window.Loaded().Failures(), 0);

    window.show();
    window.findChild<QPushButton*>("Command1")->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
