#include "webexport/day_texts.h"

#include <exception>
#include <stdexcept>

#include "common/numbers.h"

namespace webexport {
namespace {

// The same key the run's day files take, so that two names of one file are one day file.
std::string KeyOf(const std::filesystem::path& path) { return path.lexically_normal().string(); }

}  // namespace

const DayText* DayTexts::Written(const common::DayFiles& files, const std::filesystem::path& path) const {
    if (files.IsNew(path)) return nullptr;
    const auto it = texts_.find(KeyOf(path));
    return it == texts_.end() ? nullptr : &it->second;
}

void DayTexts::Write(common::DayFiles& files, const std::filesystem::path& path, DayText added) {
    // The body written before goes out as it stands and is only added to: a day's text is rewritten
    // at every race, and copying it each time would cost more than the race's own text.
    const auto kept = files.IsNew(path) ? texts_.end() : texts_.find(KeyOf(path));
    const std::string_view before = kept == texts_.end() ? std::string_view() : kept->second.Body;
    const std::string_view pieces[] = {before, added.Body, added.Tail};
    files.Replace(path, pieces);
    if (kept == texts_.end()) {
        texts_.insert_or_assign(KeyOf(path), std::move(added));
    } else {
        kept->second.Body += added.Body;
        kept->second.Tail = std::move(added.Tail);
    }
}

void WriteDayFile(workbench::RaceContext& context, DayTexts& texts, std::string (*fileName)(const PageValues&),
                  const NextDayText& next) {
    const workbench::RaceState& race = context.race;
    std::string name;
    try {
        if (race.MeetingKey.size() != 14 || !common::IsDigits(race.MeetingKey))
            throw std::runtime_error("the meeting key \"" + race.MeetingKey + "\" is not 14 digits");
        const PageValues page = ComputePageValues(race, context.codes);
        name = fileName(page);
        const std::filesystem::path path = WebFilePath(name);
        texts.Write(context.dayFiles, path, next(page, texts.Written(context.dayFiles, path)));
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(context.writer) + " " + race.MeetingKey +
                                 (name.empty() ? std::string() : " " + name) + ": " + e.what());
    }
}

}  // namespace webexport
