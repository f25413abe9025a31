#include "dataservice/local_jvlink.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "dataservice/local_settings.h"
#include "support/temp_folder.h"

namespace dataservice {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Records as delivered: Shift-JIS, CR LF at the end. 東京 = 93 8C 8B 9E; ソリ = 83 5C 83 8A
// (a trail byte that is a backslash); one record carries a zero byte. Their kinds have no layout
// in the record layer, so they are served as they stand, whatever their length: these tests are
// of the serving; records of the kinds with a layout are cut and checked (DamagedRecords below).
const std::string kT1 = "TK1\x93\x8c\x8b\x9e\r\n";
const std::string kT2 = "TK2\x83\x5c\x83\x8a\r\n";
const std::string kA1 = std::string("YS1\0X\r\n", 7);
const std::string kA2 = "YS2 \x83\x5c\r\n";
const std::string kB1 = "CK1\r\n";
const std::string kB2 = "CK2 no line end";

/// One JVRead as the caller sees it.
struct Step {
    int code;
    std::string bytes;  // the record for code > 0, else ""
    std::string file;
    bool operator==(const Step&) const = default;
};

void PrintTo(const Step& s, std::ostream* os) {
    *os << "{" << s.code << ", \"";
    for (unsigned char c : s.bytes) {
        if (c >= 0x20 && c < 0x7f) *os << c;
        else *os << "\\x" << std::hex << int(c) << std::dec;
    }
    *os << "\", " << s.file << "}";
}

Step Rec(const std::string& bytes, std::string file) { return {static_cast<int>(bytes.size()), bytes, std::move(file)}; }
Step Code(int code, std::string file = "") { return {code, "", std::move(file)}; }

/// Reads until a non-positive code other than -1 (or `limit` reads); the last step is that code.
/// File names are kept only for records and damage codes, where the caller relies on them.
std::vector<Step> ReadToStop(JVLink& link, int limit = 100) {
    std::vector<Step> steps;
    std::string buff(16, '\0');
    int size = 16;
    std::string file;
    for (int i = 0; i < limit; ++i) {
        int rc = link.JVRead(buff, size, file);
        if (rc > 0) {
            EXPECT_EQ(size, rc);
            steps.push_back({rc, buff, file});
            continue;
        }
        steps.push_back({rc, "", (rc == kRcDamagedFile || rc == kRcCorruptFile) ? file : ""});
        if (rc != kRcNextFile) break;
    }
    return steps;
}

/// The same through JVReadView. A view is taken up at once: it is good until the next call only.
/// A result <= 0 must leave the view of the record before it as it was.
std::vector<Step> ReadViewToStop(JVLink& link, int limit = 100) {
    std::vector<Step> steps;
    std::string_view record;
    std::string file;
    for (int i = 0; i < limit; ++i) {
        const std::string_view before = record;
        const int rc = link.JVReadView(record, file);
        if (rc > 0) {
            EXPECT_EQ(record.size(), static_cast<std::size_t>(rc));
            steps.push_back({rc, std::string(record), file});
            continue;
        }
        EXPECT_EQ(record.data(), before.data());
        EXPECT_EQ(record.size(), before.size());
        steps.push_back({rc, "", (rc == kRcDamagedFile || rc == kRcCorruptFile) ? file : ""});
        if (rc != kRcNextFile) break;
    }
    return steps;
}

/// Every path under a folder with its size and modification time, to show nothing was written.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> out;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        out[e.path().string()] = {e.is_regular_file() ? e.file_size() : 0, e.last_write_time()};
    }
    return out;
}

class LocalJVLinkTest : public ::testing::Test {
protected:
    testsupport::TempAppFolder app;
    fs::path root = app / "jv";
    fs::path settingsFile = app / "cfg" / "settings";
    std::chrono::steady_clock::time_point now{std::chrono::steady_clock::duration{1'000'000}};

    void Put(const std::string& relative, const std::string& bytes) { app.Write("jv/" + relative, bytes); }

    std::unique_ptr<LocalJVLink> Make(double filesPerSecond = 0, std::size_t keptBytes = 0) {
        EXPECT_TRUE(SaveSettings(settingsFile, {root.string(), filesPerSecond}));
        LocalJVLink::Config config;
        config.settingsFile = settingsFile;
        config.clock = [this] { return now; };
        config.keptBytes = keptBytes;
        auto link = std::make_unique<LocalJVLink>(std::move(config));
        EXPECT_EQ(link->JVInit("SA583920/SD271539/TALMOR7/ver.2020.7.21"), 0);
        return link;
    }
};

TEST_F(LocalJVLinkTest, ServesRecordsByteExactFileByFileInIdAndNameOrder) {
    Put("stored/TOKU/t.dat", kT1 + kT2);
    Put("stored/RACE/b1", kB1 + "\r\n" + kB2);  // a blank line is no record; the torn end is kept
    Put("stored/RACE/a0", kA1 + kA2);
    Put("stored/RACE/.hidden", "XX\r\n");
    fs::create_directories(root / "stored/RACE/sub");
    Put("stored/TCOV/o.dat", "O2\r\n");  // an id the data spec does not ask for
    auto link = Make();

    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("TOKURACETCVNRCVN", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 3);
    EXPECT_EQ(counts.downloadCount, 0);

    std::vector<Step> expected = {Rec(kT1, "t.dat"), Rec(kT2, "t.dat"), Code(-1),
                                  Rec(kA1, "a0"),    Rec(kA2, "a0"),    Code(-1),
                                  Rec(kB1, "b1"),    Rec(kB2, "b1"),    Code(0)};
    EXPECT_EQ(ReadToStop(*link), expected);

    // The end stays the end, and the buffer is not touched by non-record results.
    std::string buff = "keep";
    int size = 4;
    std::string file;
    EXPECT_EQ(link->JVRead(buff, size, file), 0);
    EXPECT_EQ(buff, "keep");
    EXPECT_EQ(size, 4);
    EXPECT_EQ(link->JVClose(), 0);
}

TEST_F(LocalJVLinkTest, EmptyFilesStillSeparateAndNothingStoredGivesReadCountZero) {
    Put("stored/RACE/1", kA1);
    Put("stored/RACE/2", "");
    Put("stored/RACE/3", kA2);
    auto link = Make();
    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 3);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "1"), Code(-1), Code(-1), Rec(kA2, "3"), Code(0)}));
    link->JVClose();

    ASSERT_EQ(link->JVOpen("TCOVRCOV", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 0);
    EXPECT_EQ(counts.lastFileTimestamp, "");
    EXPECT_EQ(ReadToStop(*link), std::vector<Step>{Code(0)});
}

// The files of an open are read one after another into the same memory: a shorter file after a
// longer one ends where it ends (its torn last record carries nothing of the file before), and a
// file that grew after the open is served whole.
TEST_F(LocalJVLinkTest, EachFileIsServedAsItIsWhateverWasReadBefore) {
    Put("stored/RACE/1", kA1 + kA2 + kT1 + kT2 + kB1);
    Put("stored/RACE/2", kB2);
    Put("stored/RACE/3", kT1);
    auto link = Make();
    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    const std::string grown = std::string(200, 'Z') + "\r\n";
    Put("stored/RACE/3", kT1 + grown);
    EXPECT_EQ(ReadToStop(*link),
              (std::vector<Step>{Rec(kA1, "1"), Rec(kA2, "1"), Rec(kT1, "1"), Rec(kT2, "1"), Rec(kB1, "1"), Code(-1),
                                 Rec(kB2, "2"), Code(-1), Rec(kT1, "3"), Rec(grown, "3"), Code(0)}));
    link->JVClose();

    // The next open starts from what its files hold, the longest one first.
    Put("stored/TCOV/a", kB1 + kB1 + kB1);
    Put("stored/TCOV/b", kB2);
    ASSERT_EQ(link->JVOpen("TCOV", "00000000000000", 2, counts), 0);
    EXPECT_EQ(ReadToStop(*link),
              (std::vector<Step>{Rec(kB1, "a"), Rec(kB1, "a"), Rec(kB1, "a"), Code(-1), Rec(kB2, "b"), Code(0)}));
}

TEST_F(LocalJVLinkTest, MissingRootFolderGivesReadCountZero) {
    auto link = Make();  // root was never created
    ASSERT_FALSE(fs::exists(root));
    int readCount = -9, downloadCount = -9;
    std::string stamp;
    EXPECT_EQ(link->JVOpen("TOKURACETCVNRCVN", "00000000000000", 2, readCount, downloadCount, stamp), 0);
    EXPECT_EQ(readCount, 0);
    EXPECT_EQ(downloadCount, 0);
    EXPECT_EQ(ReadToStop(*link), std::vector<Step>{Code(0)});
    EXPECT_FALSE(fs::exists(root));
}

TEST_F(LocalJVLinkTest, OpenRejectsBadArgumentsAndWrongOrder) {
    Put("stored/RACE/1", kA1);
    struct Case {
        const char* dataspec;
        const char* fromtime;
        int option;
        int expected;
    };
    const Case cases[] = {
        {"", "00000000000000", 2, kRcBadDataSpec},
        {"TOK", "00000000000000", 2, kRcBadDataSpec},
        {"RACETOK", "00000000000000", 2, kRcBadDataSpec},
        {"race", "00000000000000", 2, kRcBadDataSpec},
        {"../.", "00000000000000", 2, kRcBadDataSpec},
        {"RA/E", "00000000000000", 2, kRcBadDataSpec},
        {"RACE", "0000000000000", 2, kRcBadFromTime},
        {"RACE", "2024060100000x", 2, kRcBadFromTime},
        {"RACE", "00000000000000", 0, kRcBadOption},
        {"RACE", "00000000000000", 5, kRcBadOption},
        {"RACE", "20240601000000-20240602000000", 1, kRcOk},
    };
    auto link = Make();
    for (const Case& c : cases) {
        OpenCounts counts{7, 7, ""};
        EXPECT_EQ(link->JVOpen(c.dataspec, c.fromtime, c.option, counts), c.expected)
            << c.dataspec << " " << c.fromtime << " " << c.option;
        if (c.expected == kRcOk) {
            EXPECT_EQ(counts.readCount, 1);
            // A second open before JVClose is refused; after it, the open works again.
            EXPECT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), kRcAlreadyOpen);
            EXPECT_EQ(link->JVRTOpen("0B12", "20240601"), kRcAlreadyOpen);
            link->JVClose();
            EXPECT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), kRcOk);
            link->JVClose();
        } else {
            EXPECT_EQ(counts.readCount, 0);
        }
    }
}

TEST_F(LocalJVLinkTest, EverythingButSettingsCancelAndCloseWantsInitFirst) {
    Put("stored/RACE/1", kA1);
    SaveSettings(settingsFile, {root.string(), 0});
    LocalJVLink link(LocalJVLink::Config{settingsFile, {}, {}});
    std::string buff, file;
    int size = 0;
    OpenCounts counts;
    EXPECT_EQ(link.JVOpen("RACE", "00000000000000", 2, counts), kRcNotInitialised);
    EXPECT_EQ(link.JVRTOpen("0B12", "20240601"), kRcNotInitialised);
    EXPECT_EQ(link.JVRead(buff, size, file), kRcNotInitialised);
    EXPECT_EQ(link.JVStatus(), kRcNotInitialised);
    EXPECT_EQ(link.JVFiledelete("1"), kRcNotInitialised);
    EXPECT_EQ(link.JVCancel(), 0);
    EXPECT_EQ(link.JVClose(), 0);

    EXPECT_EQ(link.JVInit("UNKNOWN"), 0);
    EXPECT_EQ(link.JVRead(buff, size, file), kRcNotOpen);
    EXPECT_EQ(link.JVStatus(), kRcNotOpen);
}

TEST_F(LocalJVLinkTest, DamagedFileUntilDeletedThenTheSameOpenResumesAtIt) {
    Put("stored/RACE/01.dat", kA1);
    Put("stored/RACE/02.damaged", kB1 + kB2 + "\r\n");
    Put("stored/RACE/03.dat", kA2);
    const auto before = Snapshot(root);
    auto link = Make();

    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 3);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "01.dat"), Code(-1), Code(-402, "02.damaged")}));
    // Still damaged when read again: nothing moves on by itself.
    EXPECT_EQ(ReadToStop(*link), std::vector<Step>{Code(-402, "02.damaged")});

    EXPECT_EQ(link->JVFiledelete("no-such-file"), kRcNoData);
    EXPECT_EQ(link->JVFiledelete("02.damaged"), 0);
    link->JVClose();
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 2);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kB1, "02.damaged"), Rec(kB2 + "\r\n", "02.damaged"),
                                                    Code(-1), Rec(kA2, "03.dat"), Code(0)}));
    link->JVClose();

    // The resume served its purpose: the next open starts from the top, the file now sound.
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 3);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "01.dat"), Code(-1), Rec(kB1, "02.damaged"),
                                                    Rec(kB2 + "\r\n", "02.damaged"), Code(-1), Rec(kA2, "03.dat"),
                                                    Code(0)}));
    link->JVClose();

    // The deletion lives in memory only.
    EXPECT_EQ(Snapshot(root), before);
}

TEST_F(LocalJVLinkTest, DamageCodeFollowsTheNameAndOnlyTheSameOpenResumes) {
    Put("stored/TCOV/a.dat", kA1);
    Put("stored/TCOV/b.corrupt", kB1);
    auto link = Make();
    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("TCOV", "00000000000000", 2, counts), 0);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "a.dat"), Code(-1), Code(-403, "b.corrupt")}));
    EXPECT_EQ(link->JVFiledelete("b.corrupt"), 0);
    link->JVClose();
    // Another option is another open: it starts at the first file.
    ASSERT_EQ(link->JVOpen("TCOV", "00000000000000", 1, counts), 0);
    EXPECT_EQ(counts.readCount, 2);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "a.dat"), Code(-1), Rec(kB1, "b.corrupt"), Code(0)}));
}

TEST_F(LocalJVLinkTest, SimulatedDownloadAdvancesWithTheClockAndCancelStopsIt) {
    for (const char* name : {"1", "2", "3", "4", "5"}) Put(std::string("stored/RACE/") + name, kA1);
    auto link = Make(2.0);  // two files a second

    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.readCount, 5);
    EXPECT_EQ(counts.downloadCount, 5);
    EXPECT_EQ(link->JVStatus(), 0);
    now += 1100ms;
    EXPECT_EQ(link->JVStatus(), 2);
    EXPECT_EQ(link->JVCancel(), 0);
    EXPECT_EQ(link->JVStatus(), kRcNotOpen);
    std::string buff, file;
    int size = 0;
    EXPECT_EQ(link->JVRead(buff, size, file), kRcNotOpen);
    link->JVClose();

    // The two that came in before the cancel are not downloaded again.
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.downloadCount, 3);
    EXPECT_EQ(link->JVStatus(), 0);
    now += 1000ms;
    EXPECT_EQ(link->JVStatus(), 2);
    now += 10s;
    EXPECT_EQ(link->JVStatus(), 3);  // never past the download count
    link->JVClose();

    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.downloadCount, 0);
    EXPECT_EQ(link->JVStatus(), 0);
    EXPECT_EQ(link->JVFiledelete("4"), 0);  // a deleted file comes down again
    link->JVClose();
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.downloadCount, 1);
    link->JVClose();
}

TEST_F(LocalJVLinkTest, ReadingAFileWaitsForItsDownload) {
    for (const char* name : {"1", "2", "3"}) Put(std::string("stored/RACE/") + name, kA1);
    auto link = Make(0.001);
    OpenCounts counts;
    ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
    ASSERT_EQ(counts.downloadCount, 3);
    std::string buff, file;
    int size = 0;
    EXPECT_EQ(link->JVRead(buff, size, file), 7);
    EXPECT_EQ(link->JVStatus(), 1);
    EXPECT_EQ(link->JVRead(buff, size, file), -1);
    EXPECT_EQ(link->JVRead(buff, size, file), 7);
    EXPECT_EQ(link->JVStatus(), 2);
}

TEST_F(LocalJVLinkTest, LastFileTimestampIsTheNewestServedFile) {
    Put("stored/TOKU/a", kT1);
    Put("stored/RACE/b", kA1);
    const char* oldTz = std::getenv("TZ");
    std::string savedTz = oldTz ? oldTz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    auto setTime = [](const fs::path& p, time_t t) {
        struct timespec times[2] = {{t, 0}, {t, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
    };
    setTime(root / "stored/TOKU/a", 1717245296);  // 2024-06-01 12:34:56 UTC
    setTime(root / "stored/RACE/b", 1717158896);  // a day earlier
    auto link = Make();
    OpenCounts counts;
    EXPECT_EQ(link->JVOpen("TOKURACE", "00000000000000", 2, counts), 0);
    EXPECT_EQ(counts.lastFileTimestamp, "20240601123456");
    if (oldTz) ::setenv("TZ", savedTz.c_str(), 1);
    else ::unsetenv("TZ");
    ::tzset();
}

TEST_F(LocalJVLinkTest, BreakingNewsEndsInMinus203ForADateAndMinus1ForARace) {
    const std::string ra = "YS7 0B12\r\n", se = "CK7 0B12\r\n", o1 = "H1x\r\n", o2 = "H6y\r\n";
    Put("realtime/0B12/20240601", ra + se);
    Put("realtime/0B30/2024060105030211", o1 + o2);
    auto link = Make();

    EXPECT_EQ(link->JVRTOpen("0B12", "20240601"), 0);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(ra, "20240601"), Rec(se, "20240601"), Code(-203)}));
    EXPECT_EQ(ReadToStop(*link), std::vector<Step>{Code(-203)});
    link->JVClose();

    EXPECT_EQ(link->JVRTOpen("0B30", "2024060105030211"), 0);
    std::string buff, file;
    int size = 0;
    EXPECT_EQ(link->JVRead(buff, size, file), static_cast<int>(o1.size()));
    EXPECT_EQ(buff, o1);
    EXPECT_EQ(link->JVRead(buff, size, file), static_cast<int>(o2.size()));
    EXPECT_EQ(buff, o2);
    EXPECT_EQ(link->JVRead(buff, size, file), -1);
    EXPECT_EQ(link->JVRead(buff, size, file), -1);
    link->JVClose();

    // Nothing stored for the key: the open says so and the reads end at once.
    EXPECT_EQ(link->JVRTOpen("0B12", "20240602"), kRcNoData);
    EXPECT_EQ(ReadToStop(*link), std::vector<Step>{Code(-203)});
    link->JVClose();
    EXPECT_EQ(link->JVRTOpen("0B30", "2024060105030212"), kRcNoData);
    EXPECT_EQ(link->JVRead(buff, size, file), -1);
    link->JVClose();
}

// A whole record of a kind with a layout: its tag, data kind "2", a creation date, `marker` from
// byte 12, blanks, CR LF at its length.
std::string Whole(std::string_view kind, std::size_t length, std::string_view marker) {
    std::string record(length, ' ');
    record.replace(0, 2, kind);
    record[2] = '2';
    record.replace(3, 8, "20240601");
    record.replace(11, marker.size(), marker);
    record.replace(length - 2, 2, "\r\n");
    return record;
}

// The same record with LF alone at its end, one byte shorter.
std::string WithLf(std::string record) {
    record.erase(record.size() - 2, 1);
    return record;
}

// A record of a kind with a layout that does not have its kind's length, or no line end, is passed
// over and logged with the file, its number in the file and what was wrong; it is never merged with
// the record after it, which is served whole.
TEST_F(LocalJVLinkTest, DamagedRecordsArePassedOverAndLoggedNeverMergedWithTheNext) {
    const std::string ra = Whole("RA", 1272, "RACE-A"), ra2 = Whole("RA", 1272, "RACE-B");
    const std::string se = Whole("SE", 555, "RUNNER-A"), se2 = Whole("SE", 555, "RUNNER-B");
    const std::string hr = Whole("HR", 719, "PAYOUT");
    std::string longRa = ra;
    longRa.insert(1270, "EXTRA!!!");
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::string> served;
        std::string logged;  // what ERRORLOG.txt says of the passed-over record
    };
    const std::vector<Case> cases = {
        {"an HR cut short before its line end, then a race", ra + hr.substr(0, 300) + ra2 + se, {ra, ra2, se},
         "d.dat record 2: cut short: 300 of the 719 bytes of HR: passed over"},
        {"an HR cut short with its line end", hr.substr(0, 298) + "\r\n" + se, {se},
         "d.dat record 1: cut short: 300 of the 719 bytes of HR: passed over"},
        {"a race with bytes too many", longRa + se, {se},
         "d.dat record 1: too long: 1280 bytes instead of the 1272 bytes of RA: passed over"},
        {"LF line ends from the second record on", se + WithLf(se2) + WithLf(se), {se},
         "d.dat record 2: no CR LF up to the end of the file: the rest of the file (1108 bytes) was not served"},
        {"LF line ends throughout", WithLf(ra) + WithLf(ra2), {},
         "d.dat record 1: no CR LF up to the end of the file: the rest of the file (2542 bytes) was not served"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(app / "ERRORLOG.txt");
        Put("stored/RACE/d.dat", c.file);
        auto link = Make();
        OpenCounts counts;
        ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
        std::vector<Step> expected;
        for (const std::string& r : c.served) expected.push_back(Rec(r, "d.dat"));
        expected.push_back(Code(0));
        std::vector<Step> read;
        std::string buff;
        int size = 0;
        std::string file;
        for (int i = 0; i < 10; ++i) {
            const int rc = link->JVRead(buff, size, file);
            if (rc > 0) read.push_back(Rec(buff, file));
            if (rc <= 0) read.push_back(Code(rc));
            if (rc == 0) break;
        }
        EXPECT_EQ(read, expected);
        EXPECT_EQ(link->RecordsPassedOver(), 1);
        const std::string log = app.Read("ERRORLOG.txt");
        EXPECT_NE(log.find("[LocalJVLink] "), std::string::npos) << log;
        EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        link->JVClose();
    }
}

TEST_F(LocalJVLinkTest, BreakingNewsKeyThatIsNotTheDigitsNeverBecomesAPath) {
    // Files a key with separators would reach if it were joined to the path.
    Put("realtime/0B12/2024/601", "RAx\r\n");
    Put("realtime/0B12/20240601", "RAy\r\n");
    Put("secret", "RAz\r\n");
    struct Case {
        const char* dataspec;
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"0B12", "2024/601", kRcBadKey},
        {"0B12", "2024060", kRcBadKey},
        {"0B12", "202406011", kRcBadKey},
        {"0B12", "../secre", kRcBadKey},
        {"0B12", "", kRcBadKey},
        {"0B30", "../0B12/20240601", kRcBadKey},
        {"0B30", "20240601050302\\1", kRcBadKey},
        {"0B30", "20240601", kRcBadKey},
        {"0B31", "20240601", kRcBadDataSpec},
        {"../", "20240601", kRcBadDataSpec},
    };
    auto link = Make();
    for (const Case& c : cases) {
        EXPECT_EQ(link->JVRTOpen(c.dataspec, c.key), c.expected) << c.dataspec << " " << c.key;
        std::string buff, file;
        int size = 0;
        EXPECT_EQ(link->JVRead(buff, size, file), kRcNotOpen) << c.key;  // nothing was opened
        EXPECT_EQ(buff, "");
    }
}

// With a budget, the next open is served from the bytes an open read, for as long as a file has
// the size and modification time it had then; otherwise it is read again. The bytes held are of
// the files the last open served, within the budget.
TEST_F(LocalJVLinkTest, KeptBytesServeTheNextOpenWhileTheFileIsUnchanged) {
    const std::string other1 = "YS9\x83\x5c\r\n";  // as long as kA1
    const std::string other2 = "XX\r\n";
    ASSERT_EQ(other1.size(), kA1.size());
    const auto earlier = fs::file_time_type::clock::now() - 1h;
    struct Case {
        const char* name;
        std::string now;           // the file's bytes before the second open ("" removes it)
        bool sameTime;             // its modification time set back to what it was
        std::vector<Step> served;  // of it by the second open
    };
    const std::vector<Case> cases = {
        {"unchanged", kA1 + kA2, true, {Rec(kA1, "1"), Rec(kA2, "1"), Code(-1)}},
        // Rewritten with the same size and time, a file is taken as the one read: what shows that
        // the kept bytes are served, not the file.
        {"same size, same time", other1 + kA2, true, {Rec(kA1, "1"), Rec(kA2, "1"), Code(-1)}},
        {"same size, another time", other1 + kA2, false, {Rec(other1, "1"), Rec(kA2, "1"), Code(-1)}},
        {"another size, same time", other2, true, {Rec(other2, "1"), Code(-1)}},
        {"removed", "", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root / "stored");
        Put("stored/RACE/1", kA1 + kA2);
        Put("stored/RACE/2", kT1);
        fs::last_write_time(root / "stored/RACE/1", earlier);
        auto link = Make(0, 1000);
        OpenCounts counts;
        ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
        EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kA1, "1"), Rec(kA2, "1"), Code(-1), Rec(kT1, "2"), Code(0)}));
        link->JVClose();
        EXPECT_EQ(link->KeptBytes(), kA1.size() + kA2.size() + kT1.size());

        if (c.now.empty()) {
            fs::remove(root / "stored/RACE/1");
        } else {
            Put("stored/RACE/1", c.now);
            if (c.sameTime) fs::last_write_time(root / "stored/RACE/1", earlier);
        }
        ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
        std::vector<Step> expected = c.served;
        expected.insert(expected.end(), {Rec(kT1, "2"), Code(0)});
        EXPECT_EQ(ReadToStop(*link), expected);
        link->JVClose();
        EXPECT_EQ(link->KeptBytes(), c.now.size() + kT1.size());
    }
}

TEST_F(LocalJVLinkTest, KeptBytesStayWithinTheBudgetAndGoWithTheFilesOfTheLastOpen) {
    Put("stored/RACE/1", kA1);
    Put("stored/RACE/2", kT1);
    Put("stored/TCOV/3", kB1);
    auto link = Make(0, kA1.size() + kT1.size());
    OpenCounts counts;
    const std::vector<Step> all = {Rec(kA1, "1"), Code(-1), Rec(kT1, "2"), Code(-1), Rec(kB1, "3"), Code(0)};
    for (int open = 1; open <= 2; ++open) {
        SCOPED_TRACE(open);
        ASSERT_EQ(link->JVOpen("RACETCOV", "00000000000000", 2, counts), 0);
        EXPECT_EQ(ReadToStop(*link), all);  // 3 did not fit and is read each time
        link->JVClose();
        EXPECT_EQ(link->KeptBytes(), kA1.size() + kT1.size());
    }
    // An open of other files lets go of the bytes of the files it does not serve, and with the
    // room freed keeps what did not fit before.
    ASSERT_EQ(link->JVOpen("TCOV", "00000000000000", 2, counts), 0);
    EXPECT_EQ(link->KeptBytes(), 0u);
    EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(kB1, "3"), Code(0)}));
    EXPECT_EQ(link->KeptBytes(), kB1.size());
    link->JVClose();

    // Without a budget nothing is held.
    auto plain = Make();
    ASSERT_EQ(plain->JVOpen("RACETCOV", "00000000000000", 2, counts), 0);
    EXPECT_EQ(ReadToStop(*plain), all);
    EXPECT_EQ(plain->KeptBytes(), 0u);
}

// Served from kept bytes, a damaged record is passed over and logged again, as when it is read.
TEST_F(LocalJVLinkTest, KeptBytesPassOverDamagedRecordsAgain) {
    const std::string ra = Whole("RA", 1272, "RACE-A"), se = Whole("SE", 555, "RUNNER-A");
    const std::string hr = Whole("HR", 719, "PAYOUT");
    Put("stored/RACE/d.dat", ra + hr.substr(0, 300) + se);
    auto link = Make(0, 1 << 20);
    const std::string line = "d.dat record 2: cut short: 300 of the 719 bytes of HR: passed over";
    for (int open = 1; open <= 2; ++open) {
        SCOPED_TRACE(open);
        OpenCounts counts;
        ASSERT_EQ(link->JVOpen("RACE", "00000000000000", 2, counts), 0);
        EXPECT_EQ(ReadToStop(*link), (std::vector<Step>{Rec(ra, "d.dat"), Rec(se, "d.dat"), Code(0)}));
        link->JVClose();
        EXPECT_EQ(link->RecordsPassedOver(), open);
        const std::string log = app.Read("ERRORLOG.txt");
        std::size_t lines = 0;
        for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++lines;
        EXPECT_EQ(lines, static_cast<std::size_t>(open)) << log;
    }
}

// JVReadView serves what JVRead serves, code for code, from read files and from kept bytes alike:
// blank lines, torn ends and damaged records, a damaged file and the open resumed at it.
TEST_F(LocalJVLinkTest, ReadViewServesWhatReadServes) {
    const std::string ra = Whole("RA", 1272, "RACE-A"), se = Whole("SE", 555, "RUNNER-A");
    const std::string hr = Whole("HR", 719, "PAYOUT");
    Put("stored/TOKU/t.dat", kT1 + "\r\n" + kT2);
    Put("stored/RACE/01.dat", ra + hr.substr(0, 300) + se + kB2);
    Put("stored/RACE/02.damaged", kA1 + kA2);
    Put("stored/RACE/03.dat", "");
    Put("stored/RACE/04.dat", se + ra);

    std::vector<std::vector<Step>> opensOf[2];
    for (int twin = 0; twin < 2; ++twin) {
        SCOPED_TRACE(twin == 0 ? "JVRead" : "JVReadView");
        const auto read = twin == 0 ? ReadToStop : ReadViewToStop;
        auto link = Make(0, 1 << 20);
        OpenCounts counts;
        // Up to the damaged file; the open again resumes at it; the third is served from kept bytes.
        for (int open = 1; open <= 3; ++open) {
            ASSERT_EQ(link->JVOpen("TOKURACE", "00000000000000", 2, counts), 0);
            opensOf[twin].push_back(read(*link, 100));
            if (open == 1) {
                EXPECT_EQ(link->JVFiledelete("02.damaged"), 0);
            }
            link->JVClose();
        }
        EXPECT_EQ(link->RecordsPassedOver(), 2);  // the resumed open starts after 01.dat
    }
    EXPECT_EQ(opensOf[1], opensOf[0]);
    ASSERT_EQ(opensOf[0].size(), 3u);
    EXPECT_EQ(opensOf[0][0], (std::vector<Step>{Rec(kT1, "t.dat"), Rec(kT2, "t.dat"), Code(-1), Rec(ra, "01.dat"),
                                                Rec(se, "01.dat"), Rec(kB2, "01.dat"), Code(-1),
                                                Code(-402, "02.damaged")}));
    EXPECT_EQ(opensOf[0][1].front(), Rec(kA1, "02.damaged"));
    EXPECT_EQ(opensOf[0][2].back(), Code(0));
}

}  // namespace
}  // namespace dataservice
