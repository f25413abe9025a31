#include "history/stored_day_file.h"

#include <filesystem>
#include <system_error>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace history {

common::WrittenFieldReader StoredDayFile(std::string_view key, std::string_view suffix, std::string_view step,
                                         int& unreadable) {
    std::string buffer;
    return StoredDayFile(key, suffix, step, unreadable, buffer);
}

common::WrittenFieldReader StoredDayFile(std::string_view key, std::string_view suffix, std::string_view step,
                                         int& unreadable, std::string& buffer) {
    std::string content = std::move(buffer);
    std::size_t size = 0;
    const std::string relative = "TEKICHU/" + std::string(key) + std::string(suffix);
    if (!common::PassOver(step, [&] { size = common::ReadWholeFile(common::AppPath(relative), content).size(); }))
        ++unreadable;
    common::WrittenFieldReader values(std::move(content), size);
    values.LogUnreadableFields(step, relative);
    return values;
}

bool StoredDayFileExists(std::string_view key, std::string_view suffix) {
    std::error_code ec;
    return std::filesystem::exists(common::AppPath("TEKICHU/" + std::string(key) + std::string(suffix)), ec);
}

std::string Shown(std::string_view cp932) {
    bool ascii = true;
    for (char c : cp932) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    return ascii ? std::string(cp932) : common::FromCp932(cp932);
}

}  // namespace history
