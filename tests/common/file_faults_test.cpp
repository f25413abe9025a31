#include "common/file_faults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "common/day_files.h"
#include "common/error_log.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "support/temp_folder.h"

namespace {

// Turns the switch off whatever a test left behind.
struct SwitchOff {
    ~SwitchOff() { common::FailNthFileCall(0); }
};

// Every kind of file call: the chosen one fails as an I/O error, and the file it was to change is
// left as it was.
TEST(FileFaults, EachCallCanBeMadeToFailAndLeavesTheOldFileWhole) {
    struct Case {
        const char* name;
        std::function<void(const testsupport::TempAppFolder&)> call;
        // What F.txt may hold after a failure: the old content, or whole pieces of the new one.
        std::vector<std::string> allowed = {"OLDOLD"};
    };
    const std::vector<Case> cases = {
        {"rewrite", [](const auto& d) { common::WriteFileAtomically(d / "F.txt", "new content"); }},
        {"record write", [](const auto& d) { common::RecordFile(d / "F.txt", 3).Write(1, "NEW"); },
         {"OLDOLD", "NEWOLD"}},
        {"record append", [](const auto& d) { common::RecordFile(d / "F.txt", 3).Append("NEW"); },
         {"OLDOLD", "OLDOLDNEW"}},
        {"appender", [](const auto& d) {
             common::RecordAppender a(d / "F.txt", 3, false);
             a.Append("NEW");
             a.Close();
         }, {"OLDOLD", "OLDOLDNEW"}},
        {"text appender", [](const auto& d) {
             common::TextAppender a(d / "F.txt");
             a.Line("NEW");
             a.Close();
         }, {"OLDOLD", "OLDOLDNEW\r\n"}},
        {"day file append", [](const auto& d) {
             common::DayFiles days;
             days.Replace(d / "G.txt", "x");
             days.Append(d / "F.txt", "a");  // new for this run: a rewrite
             days.Append(d / "F.txt", "b");  // then appended, or cut back to the block before
         }, {"OLDOLD", "a", "ab"}},
        {"read", [](const auto& d) { (void)common::ReadFileBytes(d / "F.txt"); }},
        {"read into a buffer", [](const auto& d) {
             std::string buffer;
             (void)common::ReadFileBytes(d / "F.txt", buffer);
         }},
        {"whole-file read", [](const auto& d) { (void)common::LoadedFile(d / "F.txt"); }},
        {"record read", [](const auto& d) { (void)common::RecordFile(d / "F.txt", 3).ReadAll(); }},
        {"remove", [](const auto& d) { common::RemoveFile(d / "F.txt"); }},
        {"folder", [](const auto& d) { common::CreateFolders(d / "SUB" / "DEEP"); }},
    };
    SwitchOff off;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // How many calls the operation makes when nothing fails.
        std::int64_t calls = 0;
        {
            testsupport::TempAppFolder dir;
            dir.Write("F.txt", "OLDOLD");
            common::FailNthFileCall(0);
            c.call(dir);
            calls = common::FileCallCount();
        }
        ASSERT_GT(calls, 0);
        for (std::int64_t n = 1; n <= calls; ++n) {
            SCOPED_TRACE(n);
            testsupport::TempAppFolder dir;
            dir.Write("F.txt", "OLDOLD");
            common::FailNthFileCall(n);
            try {
                c.call(dir);
                ADD_FAILURE() << "no failure";
            } catch (const std::system_error& e) {
                EXPECT_EQ(e.code().value(), EIO);
            } catch (const std::exception& e) {
                EXPECT_NE(std::string(e.what()).find("F.txt"), std::string::npos) << e.what();
            }
            EXPECT_TRUE(common::FileCallFailed());
            common::FailNthFileCall(0);
            const std::string after = dir.Read("F.txt");
            EXPECT_NE(std::find(c.allowed.begin(), c.allowed.end(), after), c.allowed.end()) << after;
            EXPECT_FALSE(dir.Exists("F.txt.partial"));
        }
    }
}

// A file that is there but cannot be opened must not read as a missing (empty) one.
TEST(FileFaults, AFileThatCannotBeOpenedIsNotReadAsMissing) {
    SwitchOff off;
    testsupport::TempAppFolder dir;
    dir.Write("F.txt", "ABCABC");
    for (const auto& read : std::vector<std::function<void()>>{
             [&] { (void)common::ReadFileBytes(dir / "F.txt"); },
             [&] {
                 std::string buffer;
                 (void)common::ReadFileBytes(dir / "F.txt", buffer);
             },
             [&] { (void)common::RecordFile(dir / "F.txt", 3).Read(1); },
             [&] { (void)common::RecordFile(dir / "F.txt", 3).ReadRange(1, 2); },
             [&] {
                 std::string buffer;
                 (void)common::RecordFile(dir / "F.txt", 3).ReadRange(1, 2, buffer);
             },
             [&] { common::RecordFile(dir / "F.txt", 3).ForEach([](std::int64_t, std::string_view) {}); },
             [&] { (void)common::LoadedFile(dir / "F.txt"); },
         }) {
        common::FailNthFileCall(1);
        EXPECT_THROW(read(), std::system_error);
    }
    common::FailNthFileCall(0);
    EXPECT_EQ(common::ReadFileBytes(dir / "MISSING.txt"), "");
    EXPECT_EQ(common::RecordFile(dir / "MISSING.txt", 3).ReadAll().size(), 0u);
}

TEST(FileFaults, AnEntryTheLogCannotTakeIsKeptForTheCaller) {
    SwitchOff off;
    testsupport::TempAppFolder dir;
    (void)common::TakeUnwrittenLogEntries();
    common::LogError("StepA", "first");
    common::FailNthFileCall(1);
    common::LogError("StepB", "second");
    common::FailNthFileCall(0);
    const std::vector<std::string> kept = common::TakeUnwrittenLogEntries();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NE(kept[0].find("[StepB] second"), std::string::npos);
    EXPECT_EQ(dir.Read("ERRORLOG.txt").find("StepB"), std::string::npos);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("[StepA] first"), std::string::npos);
    EXPECT_TRUE(common::TakeUnwrittenLogEntries().empty());
}

}  // namespace
