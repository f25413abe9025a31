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
    std::string buffer;
    std::exception_ptr failure;
    common::WrittenFieldReader values = ReadStoredDay(key, suffix, step, buffer, failure);
    if (LogReadFailure(step, failure)) ++unreadable;
    return values;
}

common::WrittenFieldReader ReadStoredDay(std::string_view key, std::string_view suffix, std::string_view step,
                                         std::string& buffer, std::exception_ptr& failure) {
    const std::string relative = Relative(key, suffix);
    std::size_t size = 0;
    failure = nullptr;
    try {
        size = common::ReadFileBytes(common::AppPath(relative), buffer).size();
    } catch (...) {
        failure = std::current_exception();
    }
    common::WrittenFieldReader values(std::move(buffer), size);
    values.LogUnreadableFields(step, relative);
    return values;
}

bool LogReadFailure(std::string_view step, const std::exception_ptr& failure) {
    return failure && !common::PassOver(step, [&] { std::rethrow_exception(failure); });
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
