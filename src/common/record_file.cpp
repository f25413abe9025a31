#include "common/record_file.h"

#include "common/file_faults.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace common {

namespace fs = std::filesystem;

namespace {

// What an appender gathers before it writes: large enough that the system calls cost little
// next to the bytes, small enough to stay in the caches.
constexpr std::size_t kAppendBlockBytes = 256 * 1024;

[[noreturn]] void Fail(const char* what, const fs::path& path) {
    throw std::system_error(errno, std::generic_category(), std::string(what) + " " + path.string());
}

// Writes all of `bytes` at `offset`: one file call, however many system calls it takes.
void WriteFully(int fd, std::string_view bytes, off_t offset, const fs::path& path) {
    CountFileCall("cannot write", path);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail("cannot write", path);
        }
        done += static_cast<std::size_t>(n);
    }
}

// A file descriptor closed on every path out.
class Fd {
public:
    Fd(const fs::path& path, int flags)
        : path_(path), fd_(FileCallAllowed() ? ::open(path.c_str(), flags | O_CLOEXEC, 0644) : -1) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    bool Ok() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    void WriteAt(std::string_view bytes, off_t offset) const { WriteFully(fd_, bytes, offset, path_); }
    // The pieces one after another from the start of the file, as few calls as the system allows.
    void WriteAll(std::span<const std::string_view> pieces) const {
        CountFileCall("cannot write", path_);
        std::vector<iovec> rest;
        rest.reserve(pieces.size());
        for (std::string_view p : pieces)
            if (!p.empty()) rest.push_back({const_cast<char*>(p.data()), p.size()});
        std::size_t first = 0;
        off_t offset = 0;
        while (first < rest.size()) {
            const int batch = static_cast<int>(std::min<std::size_t>(rest.size() - first, IOV_MAX));
            ssize_t n = ::pwritev(fd_, rest.data() + first, batch, offset);
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail("cannot write", path_);
            }
            if (n == 0) {
                errno = EIO;  // nothing taken: no use asking again
                Fail("cannot write", path_);
            }
            offset += n;
            // Past the pieces written whole; a piece written in part goes on from where it stopped.
            for (auto done = static_cast<std::size_t>(n); done > 0;) {
                iovec& v = rest[first];
                const std::size_t step = std::min(done, v.iov_len);
                v.iov_base = static_cast<char*>(v.iov_base) + step;
                v.iov_len -= step;
                done -= step;
                if (v.iov_len == 0) ++first;
            }
        }
    }
    std::size_t ReadAt(char* into, std::size_t size, off_t offset) const {
        CountFileCall("cannot read", path_);
        std::size_t done = 0;
        while (done < size) {
            ssize_t n = ::pread(fd_, into + done, size - done, offset + static_cast<off_t>(done));
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail("cannot read", path_);
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }
    void Close() {
        if (fd_ < 0) return;
        const bool allowed = FileCallAllowed();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 || !allowed) Fail("cannot close", path_);
    }

private:
    fs::path path_;
    int fd_;
};

// After a failed open: true when the file is simply not there (it then reads as empty); any other
// failure throws, so that a file that cannot be read never passes for an empty one.
bool Missing(const fs::path& path) {
    if (errno == ENOENT || errno == ENOTDIR) return true;
    Fail("cannot open", path);
}

fs::path ScratchFor(const fs::path& target, const fs::path& scratch) {
    return scratch.empty() ? ScratchPathFor(target) : scratch;
}

// Writes the scratch file with `produce` and renames it over the target; on any failure the
// scratch file is removed and the target is left as it was.
template <class Produce>
void ReplaceThroughScratch(const fs::path& target, const fs::path& scratchPath, Produce produce) {
    const fs::path scratch = ScratchFor(target, scratchPath);
    try {
        Fd out(scratch, O_WRONLY | O_CREAT | O_TRUNC);
        if (!out.Ok()) Fail("cannot create", scratch);
        produce(out);
        out.Close();
        RenameFile(scratch, target);
    } catch (...) {
        std::error_code ec;
        fs::remove(scratch, ec);
        throw;
    }
}

}  // namespace

RecordFile::RecordFile(fs::path path, std::size_t recordLength) : path_(std::move(path)), length_(recordLength) {
    if (length_ == 0) throw std::invalid_argument("record length 0 for " + path_.string());
}

std::int64_t RecordFile::Count() const { return static_cast<std::int64_t>(Size() / length_); }

std::uint64_t RecordFile::Size() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::string RecordFile::Read(std::int64_t n) const {
    if (n < 1) return {};
    Fd in(path_, O_RDONLY);
    if (!in.Ok() && Missing(path_)) return {};
    std::string out(length_, '\0');
    std::size_t got = in.ReadAt(out.data(), length_, static_cast<off_t>((n - 1) * static_cast<std::int64_t>(length_)));
    if (got < length_) return {};  // past the end, or the torn tail
    return out;
}

std::string RecordFile::ReadRange(std::int64_t first, std::int64_t count) const {
    std::string out;
    out.resize(ReadRange(first, count, out).size());
    return out;
}

std::string_view RecordFile::ReadRange(std::int64_t first, std::int64_t count, std::string& buffer) const {
    if (first < 1 || count < 1) return {};
    Fd in(path_, O_RDONLY);
    if (!in.Ok() && Missing(path_)) return {};
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0) Fail("cannot read", path_);
    const std::int64_t records = static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(length_);
    const std::int64_t whole = std::min(count, records - first + 1);
    if (whole < 1) return {};
    const std::size_t size = static_cast<std::size_t>(whole) * length_;
    if (buffer.size() < size) buffer.resize(size);
    const std::size_t got = in.ReadAt(buffer.data(), size, static_cast<off_t>((first - 1) * static_cast<std::int64_t>(length_)));
    return {buffer.data(), got / length_ * length_};  // the file shrank under us: whole records only
}

void RecordFile::ForEach(const std::function<void(std::int64_t, std::string_view)>& visit) const {
    Fd in(path_, O_RDONLY);
    if (!in.Ok() && Missing(path_)) return;
    const std::int64_t count = Count();
    // One block, reused, no larger than the file, and not filled before it is read into: a small
    // file costs a small buffer.
    const auto perBlock = static_cast<std::size_t>(
        std::clamp<std::int64_t>(static_cast<std::int64_t>((1u << 20) / length_), 1, std::max<std::int64_t>(count, 1)));
    const auto block = std::make_unique_for_overwrite<char[]>(perBlock * length_);
    std::int64_t n = 1;
    while (n <= count) {
        std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(perBlock, count - n + 1));
        std::size_t got = in.ReadAt(block.get(), want * length_, static_cast<off_t>((n - 1) * static_cast<std::int64_t>(length_)));
        std::size_t records = got / length_;
        for (std::size_t k = 0; k < records; ++k) visit(n++, std::string_view(block.get() + k * length_, length_));
        if (records < want) break;  // the file shrank under us
    }
}

std::vector<std::string> RecordFile::ReadAll() const {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(Count()));
    ForEach([&](std::int64_t, std::string_view r) { out.emplace_back(r); });
    return out;
}

std::string RecordFile::Fit(std::string_view bytes) const {
    std::string r(bytes.substr(0, length_));
    r.resize(length_, ' ');
    return r;
}

void RecordFile::Write(std::int64_t n, std::string_view bytes) const {
    if (n < 1) throw std::out_of_range("record number " + std::to_string(n) + " in " + path_.string());
    Fd out(path_, O_WRONLY | O_CREAT);
    if (!out.Ok()) Fail("cannot open", path_);
    out.WriteAt(Fit(bytes), static_cast<off_t>((n - 1) * static_cast<std::int64_t>(length_)));
    out.Close();
}

std::int64_t RecordFile::Append(std::string_view bytes) const {
    std::int64_t n = Count() + 1;
    Write(n, bytes);
    return n;
}

void RecordFile::RewriteAll(const std::vector<std::string>& records, const fs::path& scratch) const {
    ReplaceThroughScratch(path_, scratch, [&](const Fd& out) {
        std::string buffer;
        buffer.reserve(records.size() * length_);
        for (const auto& r : records) buffer += Fit(r);
        out.WriteAt(buffer, 0);
    });
}

std::int64_t RecordFile::RewriteFiltered(const std::function<bool(std::string_view)>& keep,
                                         const fs::path& scratch) const {
    std::string kept;
    std::int64_t count = 0;
    ForEach([&](std::int64_t, std::string_view r) {
        if (keep(r)) {
            kept.append(r);
            ++count;
        }
    });
    ReplaceThroughScratch(path_, scratch, [&](const Fd& out) { out.WriteAt(kept, 0); });
    return count;
}

void RecordFile::Remove() const { RemoveFile(path_); }

RecordAppender::RecordAppender(fs::path path, std::size_t recordLength, bool truncate)
    : path_(std::move(path)), length_(recordLength) {
    if (length_ == 0) throw std::invalid_argument("record length 0 for " + path_.string());
    CountFileCall("cannot open", path_);
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0644);
    if (fd_ < 0) Fail("cannot open", path_);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        ::close(fd_);
        fd_ = -1;
        Fail("cannot open", path_);
    }
    count_ = written_ = static_cast<std::int64_t>(st.st_size) / static_cast<std::int64_t>(length_);
    held_.reserve(kAppendBlockBytes);
}

RecordAppender::~RecordAppender() {
    if (fd_ < 0) return;
    try {
        Flush();
    } catch (const std::exception&) {
        // Not told here: Close is where a caller learns of a failure.
    }
    ::close(fd_);
}

std::int64_t RecordAppender::Append(std::string_view bytes) {
    if (fd_ < 0) throw std::runtime_error("not open: " + path_.string());
    if (held_.size() + length_ > kAppendBlockBytes) Flush();
    const std::size_t at = held_.size();
    held_.append(bytes.substr(0, length_));
    held_.resize(at + length_, ' ');
    return ++count_;
}

void RecordAppender::Flush() {
    if (held_.empty()) return;
    const off_t offset = static_cast<off_t>(written_) * static_cast<off_t>(length_);
    try {
        WriteFully(fd_, held_, offset, path_);
    } catch (...) {
        held_.clear();
        count_ = written_;
        // Best effort: whole records of a block that failed part way are not records taken.
        [[maybe_unused]] const int cut = ::ftruncate(fd_, offset);
        throw;
    }
    held_.clear();
    written_ = count_;
}

void RecordAppender::Close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    struct Closed {
        RecordAppender& a;
        ~Closed() { a.fd_ = -1; }
    } closed{*this};
    try {
        Flush();
    } catch (...) {
        ::close(fd);
        throw;
    }
    const bool allowed = FileCallAllowed();
    if (::close(fd) != 0 || !allowed) Fail("cannot close", path_);
}

fs::path ScratchPathFor(const fs::path& target) {
    fs::path s = target;
    s += ".partial";
    return s;
}

void WriteFileAtomically(const fs::path& target, std::string_view content, const fs::path& scratch) {
    ReplaceThroughScratch(target, scratch, [&](const Fd& out) { out.WriteAt(content, 0); });
}

void WriteFileAtomically(const fs::path& target, std::span<const std::string_view> pieces, const fs::path& scratch) {
    ReplaceThroughScratch(target, scratch, [&](const Fd& out) { out.WriteAll(pieces); });
}

void RenameFile(const fs::path& from, const fs::path& to) {
    CountFileCall("cannot replace", to);
    if (::rename(from.c_str(), to.c_str()) != 0) Fail("cannot replace", to);
}

bool RemoveFile(const fs::path& path) {
    CountFileCall("cannot delete", path);
    std::error_code ec;
    const bool removed = fs::remove(path, ec);
    if (ec) throw std::system_error(ec, "cannot delete " + path.string());
    return removed;
}

void CreateFolders(const fs::path& folder) {
    CountFileCall("cannot create the folder", folder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) throw std::system_error(ec, "cannot create the folder " + folder.string());
}

namespace {

// The size of a file opened for reading whole; a folder throws.
std::size_t SizeToRead(const Fd& in, const fs::path& path) {
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0) Fail("cannot read", path);
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        Fail("cannot read", path);
    }
    return static_cast<std::size_t>(st.st_size);
}

}  // namespace

std::string ReadFileBytes(const fs::path& path) {
    std::string out;
    out.resize(ReadFileBytes(path, out).size());
    return out;
}

std::string_view ReadFileBytes(const fs::path& path, std::string& buffer) {
    Fd in(path, O_RDONLY);
    if (!in.Ok() && Missing(path)) return {};
    const std::size_t size = SizeToRead(in, path);
    // Grown as a string grows (its room at least doubles), so that files that come larger and
    // larger take fresh memory only now and then.
    if (buffer.size() < size) buffer.resize(size);
    return {buffer.data(), in.ReadAt(buffer.data(), size, 0)};
}

std::vector<std::string_view> WholeRecords(std::string_view bytes, std::size_t length) {
    std::vector<std::string_view> records;
    records.reserve(bytes.size() / length);
    for (std::size_t at = 0; at + length <= bytes.size(); at += length) records.push_back(bytes.substr(at, length));
    return records;
}

LoadedFile::LoadedFile(const fs::path& path) {
    Fd in(path, O_RDONLY);
    if (!in.Ok() && Missing(path)) return;
    const std::size_t size = SizeToRead(in, path);
    if (size == 0) return;
    // Not a std::string: that would fill the memory before the read.
    std::unique_ptr<char[]> bytes(new char[size]);
    size_ = in.ReadAt(bytes.get(), size, 0);
    data_ = bytes.release();
}

LoadedFile::~LoadedFile() { delete[] data_; }

LoadedFile::LoadedFile(LoadedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

LoadedFile& LoadedFile::operator=(LoadedFile&& other) noexcept {
    if (this != &other) {
        delete[] data_;
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

}  // namespace common
