#pragma once

#include <array>
#include <cstddef>
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

/// The length of the run key of a whole runner record.
inline constexpr std::size_t kRunKeyLength = 30;

/// The run key of a runner record (30 characters): MakeDate, Year, MonthDay, RaceNum, Umaban,
/// KettoNum. Characters 9 to 30 identify the run, characters 1 to 8 are its version date.
/// Written into `buffer` and returned as a view of it: a pass that keys every runner record of
/// the week pays no allocation per record. A short record gives a shorter key.
template <class R>
std::string_view RunKeyIn(const R& runner, std::array<char, kRunKeyLength>& buffer) {
    using L = typename R::Layout;
    static_assert(std::is_same_v<L, LayoutSE>, "a run key is made from a runner record");
    static_assert(static_cast<std::size_t>(kMakeDate<L>.width + kYear<L>.width + kMonthDay<L>.width +
                                           kRaceNum<L>.width + se::Umaban.width + se::KettoNum.width) ==
                      kRunKeyLength,
                  "the fields of a run key fill it");
    std::size_t size = 0;
    for (const std::string_view field : {runner.Get(kMakeDate<L>), runner.Get(kYear<L>), runner.Get(kMonthDay<L>),
                                         runner.Get(kRaceNum<L>), runner.Get(se::Umaban), runner.Get(se::KettoNum)})
        size += field.copy(buffer.data() + size, field.size());
    return {buffer.data(), size};
}

/// The same key as a string.
template <class R>
std::string RunKey(const R& runner) {
    std::array<char, kRunKeyLength> buffer;
    return std::string(RunKeyIn(runner, buffer));
}

/// Characters 9 to 30 of a run key: which run it is, whatever the version.
std::string_view RunIdentity(std::string_view runKey);

/// Characters 1 to 8 of a run key read as a whole number (yyyymmdd): the version of the run.
std::int64_t RunVersion(std::string_view runKey);

}  // namespace records
