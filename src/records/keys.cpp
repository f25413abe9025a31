#include "records/keys.h"

#include "common/numbers.h"

namespace records {

namespace {

using Id = LayoutRaceId;
constexpr auto kIdYear = Locate<Id>("Year");
constexpr auto kIdMonthDay = Locate<Id>("MonthDay");
constexpr auto kIdJyoCD = Locate<Id>("JyoCD");
constexpr auto kIdKaiji = Locate<Id>("Kaiji");
constexpr auto kIdNichiji = Locate<Id>("Nichiji");
constexpr auto kIdRaceNum = Locate<Id>("RaceNum");

}  // namespace

std::string RaceKey12(std::string_view raceId) {
    const RecordView<Id> id(raceId);
    std::string key;
    key.reserve(12);
    key.append(id.Get(kIdYear)).append(id.Get(kIdMonthDay)).append(id.Get(kIdJyoCD));
    key.append(id.Get(kIdRaceNum));
    return key;
}

std::string MeetingKey(std::string_view raceId) {
    const RecordView<Id> id(raceId);
    std::string key;
    key.reserve(14);
    key.append(id.Get(kIdYear)).append(id.Get(kIdMonthDay)).append(id.Get(kIdJyoCD));
    key.append(id.Get(kIdKaiji)).append(id.Get(kIdNichiji));
    return key;
}

std::string_view RunIdentity(std::string_view runKey) {
    return runKey.size() > 8 ? runKey.substr(8, 22) : std::string_view();
}

std::int64_t RunVersion(std::string_view runKey) {
    return static_cast<std::int64_t>(common::Val(runKey.substr(0, 8)));
}

}  // namespace records
