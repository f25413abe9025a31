// The generated week served by the folder-backed data service, as the weekly and odds fetches
// and the breaking-news fetches open it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dataservice/local_jvlink.h"
#include "generator.h"
#include "records/fields.h"
#include "support/temp_folder.h"

namespace {

std::map<std::string, int> ReadAll(dataservice::LocalJVLink& link, int& reads) {
    std::map<std::string, int> kinds;
    std::string buff, file;
    int size = 0;
    for (reads = 0; reads < 200000; ++reads) {
        const int rc = link.JVRead(buff, size, file);
        if (rc == 0 || rc == dataservice::kRcNotOpen) break;
        if (rc == dataservice::kRcNextFile) continue;
        EXPECT_GT(rc, 0) << file;
        if (rc <= 0) break;
        ++kinds[buff.substr(0, 2)];
        EXPECT_EQ(buff.substr(buff.size() - 2), "\r\n") << file;
    }
    return kinds;
}

TEST(DemoWeekStandIn, ServesTheWeekForEachFetch) {
    testsupport::TempAppFolder app;
    demoweek::Options options;
    options.folder = app.Path();
    options.scale = demoweek::SmallScale();
    options.state = demoweek::WeekState::After;
    demoweek::GenerateWeek(options);

    dataservice::LocalJVLink::Config config;
    config.settingsFile = app / "no-settings";  // defaults: serve AppFolder/jvdata at once
    dataservice::LocalJVLink link(config);
    ASSERT_EQ(link.JVInit("test"), 0);
    int readCount = 0, downloadCount = 0, reads = 0;
    std::string last;
    ASSERT_EQ(link.JVOpen("TOKURACETCVNRCVN", "00000000000000", 2, readCount, downloadCount, last), 0);
    EXPECT_GT(readCount, 3);
    auto kinds = ReadAll(link, reads);
    link.JVClose();
    for (const char* kind : {"RA", "SE", "HR", "UM", "KS"}) EXPECT_GT(kinds[kind], 0) << kind;
    EXPECT_EQ(kinds["O6"], 0);
    EXPECT_EQ(kinds["HR"], 12);  // twelve races, one cancelled, one payout record delivered twice

    ASSERT_EQ(link.JVOpen("TOKURACETCOVRCOV", "00000000000000", 2, readCount, downloadCount, last), 0);
    kinds = ReadAll(link, reads);
    link.JVClose();
    for (const char* kind : {"O1", "O2", "O4", "O5", "O6"}) EXPECT_EQ(kinds[kind], 11) << kind;

    ASSERT_EQ(link.JVRTOpen("0B12", "20250607"), 0);
    kinds = ReadAll(link, reads);
    link.JVClose();
    EXPECT_EQ(kinds["RA"], 6);
    EXPECT_GT(kinds["SE"], 6 * 7);
    EXPECT_EQ(kinds["HR"], 6);  // the first day holds the cancelled race and the doubled payout
}

}  // namespace
