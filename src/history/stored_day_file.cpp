#include "history/stored_day_file.h"

#include <filesystem>
#include <system_error>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace history {

namespace {

std::string Relative(std::string_view key, std::string_view suffix) {
    return "TEKICHU/" + std::string(key) + std::string(suffix);
}

}  // namespace

common::WrittenFieldReader StoredDayFile(std::string_view key, std::string_view suffix, std::string_view step,
                                         int& unreadable) {
    std::string content;
    std::size_t size = 0;
    const std::string relative = Relative(key, suffix);
    if (!common::PassOver(step, [&] { size = common::ReadFileBytes(common::AppPath(relative), content).size(); }))
        ++unreadable;
    common::WrittenFieldReader values(std::move(content), size);
    values.LogUnreadableFields(step, relative);
    return values;
}

void ParseStoredDays(const std::vector<std::string>& keys, std::string_view suffix,
                     const std::function<void(std::size_t day, StoredDayRead& read)>& parse,
                     const std::function<void(std::size_t day, StoredDayRead& read)>& take) {
    StoredDayRead read;
    for (std::size_t day = 0; day < keys.size(); ++day) {
        read.size = 0;
        read.failure = nullptr;
        try {
            read.size = common::ReadFileBytes(common::AppPath(Relative(keys[day], suffix)), read.buffer).size();
        } catch (...) {
            read.failure = std::current_exception();
        }
        parse(day, read);
        take(day, read);
    }
}

common::WrittenFieldReader StoredDayValues(std::string_view key, std::string_view suffix, StoredDayRead& read,
                                           std::vector<std::string>& reasons) {
    common::WrittenFieldReader values(std::move(read.buffer), read.size);
    values.KeepUnreadableFields(reasons, Relative(key, suffix));
    return values;
}

void ReleaseStoredDay(common::WrittenFieldReader&& values, StoredDayRead& read) { read.buffer = std::move(values).Release(); }

bool LogReadFailure(std::string_view step, const StoredDayRead& read) {
    return read.failure && !common::PassOver(step, [&] { std::rethrow_exception(read.failure); });
}

bool StoredDayFileExists(std::string_view key, std::string_view suffix) {
    std::error_code ec;
    return std::filesystem::exists(common::AppPath(Relative(key, suffix)), ec);
}

std::string Shown(std::string_view cp932) {
    bool ascii = true;
    for (char c : cp932) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    return ascii ? std::string(cp932) : common::FromCp932(cp932);
}

}  // namespace history
