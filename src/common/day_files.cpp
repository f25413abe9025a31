#include "common/day_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "common/file_faults.h"
#include "common/record_file.h"

namespace common {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const char* what, const fs::path& path) {
    throw std::system_error(errno, std::generic_category(), std::string(what) + " " + path.string());
}

/// Appends `bytes` at the end of the file (made again if it went away); on a failed write the file is cut back to
/// its old length.
void AppendBlock(const fs::path& path, std::string_view bytes) {
    const int fd = FileCallAllowed() ? ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644) : -1;
    if (fd < 0) Fail("cannot open", path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        Fail("cannot read the size of", path);
    }
    std::size_t done = 0;
    const bool writable = FileCallAllowed();
    while (done < bytes.size()) {
        const ssize_t n = writable ? ::write(fd, bytes.data() + done, bytes.size() - done) : -1;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            // Best effort: a half block would read as a torn race.
            [[maybe_unused]] const int cut = ::ftruncate(fd, st.st_size);
            ::close(fd);
            errno = saved;
            Fail("cannot write", path);
        }
        done += static_cast<std::size_t>(n);
    }
    const bool closable = FileCallAllowed();
    if (::close(fd) != 0 || !closable) Fail("cannot close", path);
}

}  // namespace

std::string DayFiles::Key(const fs::path& path) { return path.lexically_normal().string(); }

bool DayFiles::IsNew(const fs::path& path) const { return !met_.contains(Key(path)); }

void DayFiles::Append(const fs::path& path, std::string_view bytes) {
    if (IsNew(path)) {
        Replace(path, bytes);
        return;
    }
    AppendBlock(path, bytes);
}

void DayFiles::Replace(const fs::path& path, std::string_view bytes) {
    WriteFileAtomically(path, bytes);
    met_.insert(Key(path));
}

void DayFiles::Replace(const fs::path& path, std::span<const std::string_view> pieces) {
    WriteFileAtomically(path, pieces);
    met_.insert(Key(path));
}

}  // namespace common
