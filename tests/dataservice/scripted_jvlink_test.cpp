#include "dataservice/scripted_jvlink.h"

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace dataservice {
namespace {

// A loop shaped like the weekly fetch, so that the script, the log and the defaults are seen as
// a fetch will see them.
std::vector<std::string> RunFetchLike(JVLink& link) {
    std::vector<std::string> got;
    link.JVInit("SID");
    OpenCounts counts;
    if (link.JVOpen("TOKURACETCVNRCVN", "00000000000000", 2, counts) < 0) return got;
    while (link.JVStatus() < counts.downloadCount) {
    }
    std::string buff(8, '\0'), file;
    int size = 8;
    for (int guard = 0; guard < 50; ++guard) {
        int rc = link.JVRead(buff, size, file);
        if (rc > 0) {
            got.push_back(buff.substr(0, static_cast<std::size_t>(rc)) + "@" + file);
        } else if (rc == -402) {
            link.JVFiledelete(file);
            link.JVClose();
            link.JVOpen("TOKURACETCVNRCVN", "00000000000000", 2, counts);
        } else if (rc != -1) {
            got.push_back("rc " + std::to_string(rc) + " buff " + buff.substr(0, 3));
            break;
        }
    }
    link.JVClose();
    return got;
}

TEST(ScriptedJVLink, PlaysTheScriptAndLogsEveryCall) {
    ScriptedJVLink link;
    link.QueueOpen(0, 3, 2, "20240601000000")
        .QueueStatus({0, 1})
        .QueueRecords({"RA1\r\n", "SE1\r\n"}, "a.dat")
        .QueueNextFile()
        .QueueReadCode(-402, "b.dat")
        .QueueOpen(0, 1, 0)
        .QueueRecord("HR1\r\n", "b.dat");  // then the queue runs dry: 0

    EXPECT_EQ(RunFetchLike(link),
              (std::vector<std::string>{"RA1\r\n@a.dat", "SE1\r\n@a.dat", "HR1\r\n@b.dat", "rc 0 buff HR1"}));
    EXPECT_EQ(link.log, (std::vector<std::string>{
                            "JVInit SID",
                            "JVOpen TOKURACETCVNRCVN 00000000000000 2",
                            "JVStatus", "JVStatus", "JVStatus",  // 0, 1, then the default: done (2)
                            "JVRead", "JVRead", "JVRead", "JVRead",
                            "JVFiledelete b.dat",
                            "JVClose",
                            "JVOpen TOKURACETCVNRCVN 00000000000000 2",
                            "JVRead", "JVRead",
                            "JVClose",
                        }));
    EXPECT_EQ(link.Count("JVRead"), 6u);
    EXPECT_EQ(link.Count("JVOpen TOKU"), 2u);
    EXPECT_TRUE(link.reads.empty());
}

TEST(ScriptedJVLink, EmptyQueuesGiveTheirDefaults) {
    ScriptedJVLink link;
    int readCount = -1, downloadCount = -1;
    std::string stamp = "x", buff = "kept", file = "f";
    int size = 4;
    EXPECT_EQ(link.JVInit("UNKNOWN"), 0);
    EXPECT_EQ(link.JVSetUIProperties(), 0);
    EXPECT_EQ(link.JVOpen("RACE", "00000000000000", 2, readCount, downloadCount, stamp), 0);
    EXPECT_EQ(readCount, 0);
    EXPECT_EQ(downloadCount, 0);
    EXPECT_EQ(stamp, "");
    EXPECT_EQ(link.JVStatus(), 0);
    EXPECT_EQ(link.JVRead(buff, size, file), 0);
    EXPECT_EQ(buff, "kept");
    EXPECT_EQ(file, "f");
    EXPECT_EQ(link.JVRTOpen("0B30", "2024060105030211"), 0);
    EXPECT_EQ(link.JVCancel(), 0);
    EXPECT_EQ(link.JVFiledelete("a"), 0);
    EXPECT_EQ(link.JVClose(), 0);
    EXPECT_EQ(link.Operations(),
              (std::vector<std::string>{"JVInit", "JVSetUIProperties", "JVOpen", "JVStatus", "JVRead", "JVRTOpen",
                                        "JVCancel", "JVFiledelete", "JVClose"}));
    EXPECT_EQ(link.log[5], "JVRTOpen 0B30 2024060105030211");

    // A step may leave bytes in the buffer with a non-record code, like a service that does.
    link.reads.push_back({-203, "RA stale\r\n", ""});
    EXPECT_EQ(link.JVRead(buff, size, file), -203);
    EXPECT_EQ(buff, "RA stale\r\n");
}

// A control without records of its own serves JVReadView through its JVRead: the record is the
// bytes that read delivered, no more than the code says; other codes leave the view alone.
TEST(ScriptedJVLink, ReadViewIsTheReadItGoesThrough) {
    ScriptedJVLink link;
    link.reads = {{7, "RA ab\r\n", "a.dat"}, {-1, "", ""}, {3, "O1 xy\r\n", ""}, {9, "SE z\r\n", "b.dat"}, {-402, "", "c.dat"}};
    std::string_view record;
    std::string file;
    std::vector<std::string> got;
    for (int i = 0; i < 5; ++i) {
        const std::string_view before = record;
        const int rc = link.JVReadView(record, file);
        if (rc > 0) {
            got.push_back(std::to_string(rc) + " " + std::string(record) + "@" + file);
        } else {
            EXPECT_EQ(record.data(), before.data());
            got.push_back("rc " + std::to_string(rc) + "@" + file);
        }
    }
    EXPECT_EQ(got, (std::vector<std::string>{"7 RA ab\r\n@a.dat", "rc -1@a.dat", "3 O1 @a.dat", "9 SE z\r\n@b.dat",
                                             "rc -402@c.dat"}));
    EXPECT_EQ(link.Count("JVRead"), 5u);
}

}  // namespace
}  // namespace dataservice
