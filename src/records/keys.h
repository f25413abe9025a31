#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "records/fields.h"
#include "records/record.h"

// The keys the steps build from record fields, always as the fields' own bytes joined.
namespace records {

/// Year, MonthDay, JyoCD and RaceNum of a 16-byte race identifier (12 characters): names the
/// race files, the odds and ticket files, and ends every race-list line.
std::string RaceKey12(std::string_view raceId);

/// Year, MonthDay, JyoCD, Kaiji and Nichiji of a race identifier (14 characters): names the
/// day files of the reports.
std::string MeetingKey(std::string_view raceId);

/// The keys of any record that carries a race identifier (RA, SE, HR, O1 to O6).
template <class R>
std::string RaceKey12Of(const R& record) {
    return RaceKey12(record.Get(kRaceId<typename R::Layout>));
}
template <class R>
std::string MeetingKeyOf(const R& record) {
    return MeetingKey(record.Get(kRaceId<typename R::Layout>));
}

/// The run key of a runner record (30 characters): MakeDate, Year, MonthDay, RaceNum, Umaban,
/// KettoNum. Characters 9 to 30 identify the run, characters 1 to 8 are its version date.
template <class R>
std::string RunKey(const R& runner) {
    using L = typename R::Layout;
    static_assert(std::is_same_v<L, LayoutSE>, "a run key is made from a runner record");
    std::string key;
    key.reserve(30);
    key.append(runner.Get(kMakeDate<L>));
    key.append(runner.Get(kYear<L>));
    key.append(runner.Get(kMonthDay<L>));
    key.append(runner.Get(kRaceNum<L>));
    key.append(runner.Get(se::Umaban));
    key.append(runner.Get(se::KettoNum));
    return key;
}

/// Characters 9 to 30 of a run key: which run it is, whatever the version.
std::string_view RunIdentity(std::string_view runKey);

/// Characters 1 to 8 of a run key read as a whole number (yyyymmdd): the version of the run.
std::int64_t RunVersion(std::string_view runKey);

}  // namespace records
