#include "common/error_log.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "common/paths.h"

namespace common {

void LogError(std::string_view step, std::string_view reason) noexcept {
    try {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &local);
        std::ofstream out(AppPath("ERRORLOG.txt"), std::ios::binary | std::ios::app);
        out << stamp << " [" << step << "] " << reason << "\r\n";
    } catch (...) {
        // The log is the last resort: nothing further to report to.
    }
}

}  // namespace common
