#include "common/error_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "common/file_faults.h"
#include "common/paths.h"

namespace common {

namespace {

// One line per failure: a line break, tab or other control character in a field (a path, a
// record's bytes) is written as an escape, so that it cannot start a false entry.
void AppendEscaped(std::string& out, std::string_view field) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
}

// Entries the log could not take, until the program shows them another way.
std::mutex unwrittenLock;
std::vector<std::string> unwritten;

}  // namespace

void LogError(std::string_view step, std::string_view reason) noexcept {
    try {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &local);
        std::string entry = stamp;
        entry += " [";
        AppendEscaped(entry, step);
        entry += "] ";
        AppendEscaped(entry, reason);
        bool written = false;
        if (FileCallAllowed()) {
            std::ofstream out(AppPath("ERRORLOG.txt"), std::ios::binary | std::ios::app);
            out << entry << "\r\n";
            out.close();
            written = static_cast<bool>(out);
        }
        if (!written) {
            // A full disk or a read-only folder: the failure must still reach the user.
            std::lock_guard lock(unwrittenLock);
            unwritten.push_back(std::move(entry));
        }
    } catch (...) {
        // Out of memory while logging: nothing further to report to.
    }
}

std::vector<std::string> TakeUnwrittenLogEntries() {
    std::lock_guard lock(unwrittenLock);
    return std::exchange(unwritten, {});
}

}  // namespace common
