#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace common {

/// A file of fixed-length records numbered from 1.
/// - Count is size / length rounded down: a torn last record is not a record.
/// - Reading never creates the file: a missing file has no records.
/// - Writing beyond the end extends the file; skipped records read back as zero bytes.
/// - Full and filtered rewrites go through a scratch file and a rename, so a failure leaves
///   the old file whole.
/// Errors of the file system throw std::runtime_error (std::system_error) naming the path.
class RecordFile {
public:
    RecordFile(std::filesystem::path path, std::size_t recordLength);

    const std::filesystem::path& Path() const { return path_; }
    std::size_t RecordLength() const { return length_; }

    /// Number of whole records (0 for a missing file).
    std::int64_t Count() const;

    /// Size of the file in bytes, a torn tail included (0 for a missing file).
    std::uint64_t Size() const;

    /// Record n (1-based). A record past the end reads as an empty string.
    std::string Read(std::int64_t n) const;

    /// Records first..first+count-1 as one block of bytes, read at once; the block stops at the
    /// last whole record of the file (empty for a first record past it or below 1).
    std::string ReadRange(std::int64_t first, std::int64_t count) const;
    /// The same, read into `buffer` (as ReadFileBytes(path, buffer) reads): the block is a view
    /// into it, good until the next read into it; the buffer only grows and is not filled first.
    std::string_view ReadRange(std::int64_t first, std::int64_t count, std::string& buffer) const;

    /// Every whole record, in order, read with one pass over the file.
    std::vector<std::string> ReadAll() const;

    /// Calls visit(n, bytes) for every whole record, reading the file in large blocks.
    void ForEach(const std::function<void(std::int64_t, std::string_view)>& visit) const;

    /// Writes record n (1-based); the bytes are cut or padded with blanks to the record length.
    void Write(std::int64_t n, std::string_view bytes) const;

    /// Writes record Count() + 1 and returns its number.
    std::int64_t Append(std::string_view bytes) const;

    /// Replaces the whole file with these records (each cut or padded to the length).
    /// `scratch` names the scratch file; empty means the target's name with ".partial" added.
    void RewriteAll(const std::vector<std::string>& records,
                    const std::filesystem::path& scratch = {}) const;

    /// Keeps only the records for which keep(bytes) is true, in order, through the scratch file.
    /// Returns the number of records kept.
    std::int64_t RewriteFiltered(const std::function<bool(std::string_view)>& keep,
                                 const std::filesystem::path& scratch = {}) const;

    /// Deletes the file; a missing file is no error.
    void Remove() const;

private:
    std::string Fit(std::string_view bytes) const;

    std::filesystem::path path_;
    std::size_t length_;
};

/// Appends records to one record file held open, for steps that write many records in a row.
/// The records are gathered and written a block at a time (one system call per record would cost
/// more than the records themselves). When a write fails, the records it held are dropped: the
/// count goes back to the records written whole and the file is cut back to them, so the next
/// record goes where they would have stood, and no torn record is ever counted.
class RecordAppender {
public:
    /// Opens the file; `truncate` makes it a new, empty file, otherwise records follow the
    /// whole records already there. Throws when it cannot be opened.
    RecordAppender(std::filesystem::path path, std::size_t recordLength, bool truncate);
    /// Writes what is held and closes the file, telling no failure: call Close to be told.
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    /// Takes record Count() + 1 (cut or padded with blanks to the length) and returns its number.
    /// Throws when the block it completes cannot be written (see above).
    std::int64_t Append(std::string_view bytes);
    std::int64_t Count() const { return count_; }
    /// Writes the records held and closes the file; throws when either fails.
    void Close();

private:
    void Flush();

    std::filesystem::path path_;
    std::size_t length_;
    int fd_ = -1;
    std::int64_t count_ = 0;    // records taken
    std::int64_t written_ = 0;  // records in the file
    std::string held_;          // records taken, not yet written
};

/// The scratch file a rewrite of `target` goes through when it names none: the target's name
/// with ".partial" added, in the same folder.
std::filesystem::path ScratchPathFor(const std::filesystem::path& target);

/// Writes `content` to `target` through a scratch file in the same folder and a rename.
/// `scratch` empty means the target's name with ".partial" added.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                         const std::filesystem::path& scratch = {});

/// The same with the content in pieces, written one after another as they are (no copy that joins
/// them first).
void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::string_view> pieces,
                         const std::filesystem::path& scratch = {});

/// Renames `from` over `to` (replacing it). Throws std::system_error naming `to`.
void RenameFile(const std::filesystem::path& from, const std::filesystem::path& to);

/// Deletes a file (or an empty folder); a missing one is no error. Returns true when it was there.
/// Throws std::system_error naming the path.
bool RemoveFile(const std::filesystem::path& path);

/// Creates a folder and the folders above it; existing ones are no error. Throws
/// std::system_error naming the folder.
void CreateFolders(const std::filesystem::path& folder);

/// Whole content of a file; a missing file reads as empty (and is not created). A file that is
/// there but cannot be opened or read (or is a folder) throws.
std::string ReadFileBytes(const std::filesystem::path& path);

/// The same, read into `buffer`, for a caller that reads many files one after another, each
/// done with before the next: the content is a view into `buffer`, good until the next read into
/// it. The buffer only grows, and the bytes past the content are left as they were, so that a file
/// no larger than one before costs no fresh memory and nothing is filled before the read (fresh
/// pages cost more to fault in than the bytes cost to copy).
std::string_view ReadFileBytes(const std::filesystem::path& path, std::string& buffer);

/// The whole records of `bytes` (records of `length` one after another), in order, as views into
/// them; a torn tail is not a record.
std::vector<std::string_view> WholeRecords(std::string_view bytes, std::size_t length);

/// A file's whole content read into memory of its own, held until destroyed, for a step that
/// reads a large file once whole and works on views into it: nothing is filled before the read,
/// and what another program does to the file afterwards cannot reach the bytes held (a mapping
/// would fault in every page afresh on each read, and die on a file cut short under it). A missing
/// file reads as empty (and is not created); one that is there but cannot be opened or read (or is
/// a folder) throws.
class LoadedFile {
public:
    explicit LoadedFile(const std::filesystem::path& path);
    ~LoadedFile();
    LoadedFile(LoadedFile&& other) noexcept;
    LoadedFile& operator=(LoadedFile&& other) noexcept;
    LoadedFile(const LoadedFile&) = delete;
    LoadedFile& operator=(const LoadedFile&) = delete;

    std::string_view Bytes() const { return {data_, size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace common
