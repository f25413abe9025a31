#include "common/record_file.h"

#include "common/file_faults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "support/temp_folder.h"

namespace {

using common::RecordFile;

TEST(RecordFile, CountIgnoresATornLastRecordAndMissingFilesStayMissing) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 5);
    EXPECT_EQ(file.Count(), 0);
    EXPECT_EQ(file.Read(1), "");
    EXPECT_TRUE(file.ReadAll().empty());
    EXPECT_FALSE(dir.Exists("R.dat"));  // reading never creates

    dir.Write("R.dat", "AAAAABBBBBCC");  // two records and a torn third
    EXPECT_EQ(file.Count(), 2);
    EXPECT_EQ(file.Read(2), "BBBBB");
    EXPECT_EQ(file.Read(3), "");
    EXPECT_EQ(file.ReadAll(), (std::vector<std::string>{"AAAAA", "BBBBB"}));
}

TEST(RecordFile, ReadRangeGivesWholeRecordsUpToTheEnd) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 3);
    EXPECT_EQ(file.ReadRange(1, 2), "");
    EXPECT_FALSE(dir.Exists("R.dat"));
    dir.Write("R.dat", "AAABBBCCCDD");  // three records and a torn fourth
    EXPECT_EQ(file.ReadRange(2, 2), "BBBCCC");
    EXPECT_EQ(file.ReadRange(2, 5), "BBBCCC");
    EXPECT_EQ(file.ReadRange(4, 1), "");
    EXPECT_EQ(file.ReadRange(0, 2), "");
    EXPECT_EQ(file.ReadRange(1, 0), "");
}

// The form that reads into a caller's buffer gives the same blocks, one after another through the
// same buffer, larger and smaller, whatever the buffer held before.
TEST(RecordFile, ReadRangeIntoABufferGivesTheSameBlocks) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 3);
    std::string buffer = "left over";
    EXPECT_EQ(file.ReadRange(1, 2, buffer), "");
    EXPECT_FALSE(dir.Exists("R.dat"));
    dir.Write("R.dat", "AAABBBCCCDD");
    const std::pair<std::int64_t, std::int64_t> ranges[] = {{1, 3}, {2, 1}, {1, 9}, {3, 1}, {4, 1}, {0, 2}, {2, 0}, {2, 2}};
    for (const auto& [first, count] : ranges) {
        SCOPED_TRACE(std::to_string(first) + " " + std::to_string(count));
        const std::string_view block = file.ReadRange(first, count, buffer);
        EXPECT_EQ(block, file.ReadRange(first, count));
        if (!block.empty()) {
            EXPECT_EQ(static_cast<const void*>(block.data()), static_cast<const void*>(buffer.data()));
        }
    }
    EXPECT_GE(buffer.size(), 9u) << "the buffer only grows";
}

TEST(RecordFile, AppendWriteAndGaps) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 4);
    EXPECT_EQ(file.Append("ab"), 1);         // padded with blanks
    EXPECT_EQ(file.Append("cdefgh"), 2);     // cut to the length
    file.Write(4, "WXYZ");                   // beyond the end: record 3 reads as zero bytes
    EXPECT_EQ(dir.Read("R.dat"), std::string("ab  cdef\0\0\0\0WXYZ", 16));
    EXPECT_EQ(file.Count(), 4);
    EXPECT_EQ(file.Append("5"), 5);
    file.Write(1, "1111");
    EXPECT_EQ(file.Read(1), "1111");
    EXPECT_EQ(file.Read(5), "5   ");
    EXPECT_THROW(file.Write(0, "x"), std::out_of_range);
}

TEST(RecordFile, ForEachReadsEveryRecordAcrossBlocks) {
    testsupport::TempAppFolder dir;
    // Long enough that one read block does not hold the file.
    const std::size_t length = 1000;
    std::string content;
    for (int i = 0; i < 3000; ++i) content += std::string(length, static_cast<char>('A' + i % 26));
    dir.Write("big.dat", content + "torn");
    RecordFile file(dir / "big.dat", length);
    std::int64_t seen = 0;
    bool inOrder = true;
    file.ForEach([&](std::int64_t n, std::string_view r) {
        ++seen;
        inOrder = inOrder && n == seen && r.size() == length && r[0] == static_cast<char>('A' + (n - 1) % 26);
    });
    EXPECT_EQ(seen, 3000);
    EXPECT_TRUE(inOrder);
}

TEST(RecordFile, RewritesReplaceTheFileThroughAScratchFile) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 3);
    dir.Write("R.dat", "aaabbbcccddd");
    EXPECT_EQ(file.RewriteFiltered([](std::string_view r) { return r[0] != 'b' && r[0] != 'd'; }), 2);
    EXPECT_EQ(dir.Read("R.dat"), "aaaccc");
    EXPECT_FALSE(dir.Exists("R.dat.partial"));

    file.RewriteAll({"x", "yyyy"}, dir / "TEMPORARY");
    EXPECT_EQ(dir.Read("R.dat"), "x  yyy");
    EXPECT_FALSE(dir.Exists("TEMPORARY"));
}

TEST(RecordFile, AFailedRewriteLeavesTheOldFileWhole) {
    testsupport::TempAppFolder dir;
    RecordFile file(dir / "R.dat", 3);
    dir.Write("R.dat", "aaabbb");

    // The scratch file cannot be created.
    EXPECT_ANY_THROW(file.RewriteAll({"zzz"}, dir / "missing-folder" / "TEMPORARY"));
    EXPECT_EQ(dir.Read("R.dat"), "aaabbb");

    // The filter fails half way.
    EXPECT_ANY_THROW(file.RewriteFiltered([](std::string_view r) -> bool {
        if (r[0] == 'b') throw std::runtime_error("bad record");
        return true;
    }));
    EXPECT_EQ(dir.Read("R.dat"), "aaabbb");
    EXPECT_FALSE(dir.Exists("R.dat.partial"));

    // The target's folder is gone: the rename fails and the scratch file is cleaned up.
    RecordFile lost(dir / "gone" / "R.dat", 3);
    EXPECT_ANY_THROW(lost.RewriteAll({"zzz"}, dir / "TEMPORARY"));
    EXPECT_FALSE(dir.Exists("TEMPORARY"));
}

TEST(RecordAppender, AppendsAfterWholeRecordsOrStartsAnew) {
    testsupport::TempAppFolder dir;
    dir.Write("R.dat", "aaabbbc");  // two records and a torn third
    {
        common::RecordAppender out(dir / "R.dat", 3, /*truncate=*/false);
        EXPECT_EQ(out.Count(), 2);
        EXPECT_EQ(out.Append("x"), 3);  // over the torn tail
        EXPECT_EQ(out.Append("yyyy"), 4);
        out.Close();
    }
    EXPECT_EQ(dir.Read("R.dat"), "aaabbbx  yyy");
    {
        common::RecordAppender fresh(dir / "R.dat", 3, /*truncate=*/true);
        EXPECT_EQ(fresh.Count(), 0);
        EXPECT_EQ(fresh.Append("zzz"), 1);
    }
    EXPECT_EQ(dir.Read("R.dat"), "zzz");
    EXPECT_ANY_THROW(common::RecordAppender(dir / "missing-folder" / "R.dat", 3, true));
}

// A week brings some 150 000 records: the appender writes them a block at a time, and a block
// that cannot be written is dropped whole, leaving the file and the count at the records before it.
TEST(RecordAppender, WritesInBlocksAndDropsABlockThatFails) {
    struct SwitchOff {
        ~SwitchOff() { common::FailNthFileCall(0); }
    } off;
    testsupport::TempAppFolder dir;
    constexpr int kRecords = 100000;  // 300 000 bytes: more than one block
    common::FailNthFileCall(0);
    {
        common::RecordAppender out(dir / "R.dat", 3, /*truncate=*/true);
        for (int i = 0; i < kRecords; ++i) out.Append("abc");
        out.Close();
    }
    EXPECT_LE(common::FileCallCount(), 5);  // open, a few writes, close
    EXPECT_EQ(dir.Read("R.dat").size(), 3u * kRecords);

    // The first write fails (call 1 is the open): its block is dropped and told, the records that
    // follow take its place, and what Close writes is whole.
    common::FailNthFileCall(2);
    common::RecordAppender out(dir / "R.dat", 3, /*truncate=*/true);
    std::int64_t failedAt = 0;
    for (int i = 1; i <= kRecords && failedAt == 0; ++i) {
        try {
            out.Append("xyz");
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code().value(), EIO);
            failedAt = i;
        }
    }
    ASSERT_GT(failedAt, 1);
    EXPECT_EQ(out.Count(), 0);
    EXPECT_EQ(out.Append("123"), 1);
    EXPECT_EQ(out.Append("456"), 2);
    out.Close();
    EXPECT_EQ(dir.Read("R.dat"), "123456");
}

TEST(LoadedFiles, ALoadedFileReadsWhatReadFileBytesReads) {
    testsupport::TempAppFolder dir;
    dir.Write("a.txt", "records\r\n");
    dir.Write("empty.txt", "");
    EXPECT_EQ(common::LoadedFile(dir / "a.txt").Bytes(), "records\r\n");
    EXPECT_EQ(common::LoadedFile(dir / "empty.txt").Bytes(), "");
    EXPECT_EQ(common::LoadedFile(dir / "none.txt").Bytes(), "");
    EXPECT_FALSE(dir.Exists("none.txt"));
    dir.Write("folder/x", "x");
    EXPECT_THROW(common::LoadedFile(dir / "folder"), std::system_error);
    // Moved, the bytes stay where they were.
    common::LoadedFile first(dir / "a.txt");
    const char* at = first.Bytes().data();
    common::LoadedFile moved(std::move(first));
    EXPECT_EQ(moved.Bytes().data(), at);
    EXPECT_EQ(first.Bytes(), "");
    EXPECT_EQ(common::WholeRecords("aaabbbc", 3), (std::vector<std::string_view>{"aaa", "bbb"}));
}

// The bytes held are the file as it was read: cut short or rewritten in place afterwards by
// another program, the file reaches neither the bytes nor the reader (a mapping of it would fault
// on the pages cut away).
TEST(LoadedFiles, AFileCutShortAfterItsReadLeavesTheBytesHeld) {
    testsupport::TempAppFolder dir;
    const std::string content(3 * 4096 + 17, 'r');
    dir.Write("big.dat", content);
    const common::LoadedFile held(dir / "big.dat");
    std::filesystem::resize_file(dir / "big.dat", 10);
    dir.Write("big.dat", "new");
    EXPECT_EQ(held.Bytes(), content);
}

// One buffer read into again and again gives each file as a fresh read does: a smaller file after
// a larger one shows none of the larger one's tail, an empty or missing one shows nothing.
TEST(LoadedFiles, AReadIntoAKeptBufferReadsWhatReadFileBytesReads) {
    testsupport::TempAppFolder dir;
    const std::string big(300000, 'B');
    dir.Write("small.txt", "records\r\n");
    dir.Write("big.txt", big);
    dir.Write("empty.txt", "");
    dir.Write("mid.txt", std::string(1000, 'M') + "end");
    std::string buffer;
    for (const char* name : {"small.txt", "big.txt", "small.txt", "empty.txt", "none.txt", "mid.txt", "big.txt"}) {
        SCOPED_TRACE(name);
        const std::string_view read = common::ReadFileBytes(dir / name, buffer);
        EXPECT_EQ(read, common::ReadFileBytes(dir / name));
        if (!read.empty()) {
            EXPECT_EQ(read.data(), buffer.data());  // in the buffer, not a copy
        }
    }
    EXPECT_FALSE(dir.Exists("none.txt"));
    // The buffer kept its room: a smaller file took no fresh memory.
    EXPECT_GE(buffer.size(), big.size());
    const char* room = buffer.data();
    EXPECT_EQ(common::ReadFileBytes(dir / "mid.txt", buffer).data(), room);
    dir.Write("folder/x", "x");
    EXPECT_THROW((void)common::ReadFileBytes(dir / "folder", buffer), std::system_error);
}

TEST(LoadedFiles, AtomicWriteAndMissingRead) {
    testsupport::TempAppFolder dir;
    EXPECT_EQ(common::ReadFileBytes(dir / "none.txt"), "");
    EXPECT_FALSE(dir.Exists("none.txt"));
    common::WriteFileAtomically(dir / "a.txt", "one");
    common::WriteFileAtomically(dir / "a.txt", "two");
    EXPECT_EQ(common::ReadFileBytes(dir / "a.txt"), "two");

    // Something there that cannot be read is not an empty file.
    std::filesystem::create_directory(dir / "folder.dat");
    EXPECT_ANY_THROW(common::ReadFileBytes(dir / "folder.dat"));
    EXPECT_EQ(common::ReadFileBytes(dir / "no-folder" / "x.dat"), "");
}

// Pieces go out one after another as given, however many there are (more than one system call
// takes), empty ones included; a failed write leaves the old file whole.
TEST(LoadedFiles, AtomicWriteOfPieces) {
    testsupport::TempAppFolder dir;
    std::vector<std::string> parts;
    std::string joined;
    for (int i = 0; i < 2500; ++i) {
        parts.push_back(i % 7 == 3 ? "" : std::string(static_cast<std::size_t>(1 + i % 5), static_cast<char>('a' + i % 26)));
        joined += parts.back();
    }
    const std::vector<std::string_view> pieces(parts.begin(), parts.end());
    common::WriteFileAtomically(dir / "p.dat", std::string_view("old"));
    common::WriteFileAtomically(dir / "p.dat", pieces);
    EXPECT_EQ(dir.Read("p.dat"), joined);
    EXPECT_FALSE(dir.Exists("p.dat.partial"));

    common::WriteFileAtomically(dir / "p.dat", std::span<const std::string_view>{});
    EXPECT_TRUE(dir.Exists("p.dat"));
    EXPECT_EQ(dir.Read("p.dat"), "");

    dir.Write("q.dat", "kept");
    std::filesystem::create_directory(dir / "q.dat.partial");  // the scratch file cannot be made
    EXPECT_ANY_THROW(common::WriteFileAtomically(dir / "q.dat", pieces));
    EXPECT_EQ(dir.Read("q.dat"), "kept");
}

}  // namespace
