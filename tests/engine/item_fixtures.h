#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/ex_record.h"
#include "engine/model_items.h"

// Fixtures of the model-item tests: expanded records written byte by byte at the field positions
// of the record layout, statistics records likewise, and the label an item stores for the last
// run of a list.
namespace itemfix {

// 1-based byte positions in the expanded record.
namespace pos {
inline constexpr int DataKubun = 3, Year = 12, MonthDay = 16, JyoCD = 20, Kaiji = 22, Nichiji = 24, Wakuban = 28,
                     Umaban = 29, KettoNum = 31, BirthDate = 207, Sire = 335, Dam = 405, UmaKigoCD = 826, SexCD = 828,
                     ChokyosiCode = 833, Futan = 976, KisyuCode = 984, KisyuBirthDate = 989, MinaraiCD = 1040,
                     BaTaijyu = 1042, IJyoCD = 1049, NyusenJyuni = 1050, ChakusaCD = 1060, Odds = 1077,
                     Honsyokin = 1083, TimeDiff = 1111, GradeCD = 1115, KigoCD = 1119, JyokenCD5 = 1135, Kyori = 1138,
                     TrackCD = 1146, CourseKubunCD = 1150, HassoTime = 1314, TorokuTosu = 1322, TenkoCD = 1328,
                     SibaBabaCD = 1329, DirtBabaCD = 1330;
}  // namespace pos

/// Label fields of items 1 to 30: position and width (entry 0 unused).
inline constexpr int kLabelAt[31] = {0,    1850, 1859, 1870, 1879, 1883, 1888, 1894, 1899, 1903, 1906,
                                     1909, 1913, 1916, 1922, 1928, 1934, 1938, 1942, 1948, 1953,
                                     1963, 1973, 1978, 1988, 1994, 1998, 2002, 2010, 2016, 2022};
inline constexpr int kLabelWidth[31] = {0, 9, 11, 9, 4, 5, 6, 5, 4, 3, 3, 4, 3, 6, 6, 6,
                                        4, 4, 6, 5, 10, 10, 5, 10, 6, 4, 4, 8, 6, 6, 4};

using Fields = std::vector<std::pair<int, std::string>>;

/// A run on turf (track 17) at course 05 on 19 May 2024: a colt born 10 April 2021, 55.0 kg on
/// 470 kg, horse 7 in bracket 4, 1600 m, sixteen runners, fine and good going at 12:15.
inline Fields BaseFields() {
    return {{pos::DataKubun, "7"},       {pos::Year, "2024"},          {pos::MonthDay, "0519"},
            {pos::JyoCD, "05"},          {pos::Kaiji, "03"},           {pos::Nichiji, "04"},
            {pos::Wakuban, "4"},         {pos::Umaban, "07"},          {pos::KettoNum, "2021100001"},
            {pos::BirthDate, "20210410"}, {pos::Sire, "1100000001"},   {pos::Dam, "1200000001"},
            {pos::UmaKigoCD, "00"},      {pos::SexCD, "1"},            {pos::ChokyosiCode, "01001"},
            {pos::Futan, "550"},         {pos::KisyuCode, "00666"},    {pos::KisyuBirthDate, "19900101"},
            {pos::MinaraiCD, "0"},       {pos::BaTaijyu, "470"},       {pos::IJyoCD, "0"},
            {pos::NyusenJyuni, "03"},    {pos::ChakusaCD, "   "},      {pos::Odds, "0035"},
            {pos::Honsyokin, "00000000"}, {pos::TimeDiff, "+003"},     {pos::GradeCD, " "},
            {pos::KigoCD, "A01"},        {pos::JyokenCD5, "703"},      {pos::Kyori, "1600"},
            {pos::TrackCD, "17"},        {pos::CourseKubunCD, "A "},   {pos::HassoTime, "1215"},
            {pos::TorokuTosu, "16"},     {pos::TenkoCD, "1"},          {pos::SibaBabaCD, "1"},
            {pos::DirtBabaCD, "1"}};
}

/// The base run with some fields changed: text part blank as the builder leaves it, floats 0.
inline engine::ExRecord MakeRun(const Fields& changes = {}) {
    std::string bytes(engine::ExRecord::kLength, '\0');
    std::fill(bytes.begin(), bytes.begin() + engine::ExRecord::kTextLength, ' ');
    bytes[engine::ExRecord::kLength - 2] = '\r';
    bytes[engine::ExRecord::kLength - 1] = '\n';
    auto put = [&](const std::pair<int, std::string>& f) { bytes.replace(f.first - 1, f.second.size(), f.second); };
    for (const auto& f : BaseFields()) put(f);
    for (const auto& f : changes) put(f);
    return engine::ExRecord::FromBytes(bytes);
}

/// A statistics record of `length` bytes: blanks, the texts at their 1-based positions, CR LF.
inline std::string StatsRecord(std::size_t length, const Fields& fields) {
    std::string r(length, ' ');
    for (const auto& [at, text] : fields) r.replace(static_cast<std::size_t>(at - 1), text.size(), text);
    r[length - 2] = '\r';
    r[length - 1] = '\n';
    return r;
}

/// What an item left in the last run of `runs` (the current run; the others are runs 1 to r - 1).
struct Outcome {
    std::string label;  // the stored field, full width
    bool failed = false;
};

inline Outcome LabelOf(int k, std::vector<engine::ExRecord> runs, const engine::ItemStatistics& stats = {}) {
    const auto failures = engine::ComputeItemLabels(std::span<engine::ExRecord>(runs), static_cast<int>(runs.size()), stats);
    Outcome out;
    out.label = std::string(runs.back().Bytes().substr(static_cast<std::size_t>(kLabelAt[k] - 1),
                                                       static_cast<std::size_t>(kLabelWidth[k])));
    for (const auto& f : failures) out.failed = out.failed || f.item == k;
    return out;
}

/// Marks a case whose rule cannot be computed: the item fails and its field is blank.
inline constexpr const char* kFails = "<fails>";

inline void ExpectLabel(int k, const std::vector<engine::ExRecord>& runs, const std::string& expected,
                        const engine::ItemStatistics& stats = {}) {
    const Outcome out = LabelOf(k, runs, stats);
    if (expected == kFails) {
        EXPECT_TRUE(out.failed) << "item " << k << " gave '" << out.label << "'";
        EXPECT_EQ(out.label, std::string(static_cast<std::size_t>(kLabelWidth[k]), ' '));
    } else {
        EXPECT_FALSE(out.failed) << "item " << k;
        EXPECT_EQ(out.label, expected) << "item " << k;
    }
}

/// One case of an item that reads the current run only.
struct Case {
    const char* why;
    Fields fields;
    std::string label;
};

inline void ExpectCases(int k, const std::vector<Case>& cases, const engine::ItemStatistics& stats = {}) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ExpectLabel(k, {MakeRun(c.fields)}, c.label, stats);
    }
}

}  // namespace itemfix
