#include "workbench/race_writing.h"

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/record_file.h"
#include "common/text_file.h"
#include "race_writing_fixtures.h"
#include "support/temp_folder.h"
#include "workbench/day_rates.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using workbench::PcTicketKind;
using workbench::RaceContext;
using workbench::Tier;
using workbench::TierKind;
using writertest::kNames;
using writertest::Race;

std::string Golden(const std::string& name) {
    return common::ReadFileBytes(std::string(TALMOR_TEST_DATA) + "/workbench/rates/" + name);
}

// Line n (from 1) of a file, without its line end.
std::string LineOf(const std::string& content, std::size_t n) {
    const auto lines = common::SplitLines(content);
    return n <= lines.size() ? lines[n - 1] : std::string();
}

// RaceIds of race r of two meeting days of 31 August 2025: day A at course 05 (meeting 2, day 8),
// day B at course 09, which the code table lacks (meeting 10, day 3).
std::string DayA(int race) { return "20250831050208" + std::string(race < 10 ? "0" : "") + std::to_string(race); }
std::string DayB(int race) { return "20250831091003" + std::string(race < 10 ? "0" : "") + std::to_string(race); }

TEST(RaceWriting, CallsTheWritersInTableOrderPassingOverAnEntryWithoutMaker) {
    testsupport::TempAppFolder dir;
    dir.Write("TEKICHU/20250831050208kaiteki.txt", "last week\r\n");
    const common::CodeTable codes = writertest::Codes();
    workbench::BatchLog log;

    struct Call {
        std::string race;
        std::string writer;
        const workbench::DayTallies* day;
    };
    std::vector<Call> calls;
    const auto table = writertest::Table(
        [&](std::size_t, RaceContext& c) { calls.push_back({c.race.RaceKey12, std::string(c.writer), &c.tallies}); },
        {3});
    workbench::RaceWriting writing(table, codes, log);
    const std::vector<workbench::RaceState> races{Race(1, DayA(1), 0), Race(2, DayB(2), 0), Race(3, DayA(2), 0)};
    for (const auto& race : races) writing.WriteRace(race);

    std::vector<std::string> expected;
    for (const auto& race : races)
        for (std::size_t i = 0; i < kNames.size(); ++i)
            if (i != 3) expected.push_back(race.RaceKey12 + " " + kNames[i]);
    std::vector<std::string> seen;
    for (const Call& c : calls) seen.push_back(c.race + " " + c.writer);
    EXPECT_THAT(seen, ElementsAreArray(expected));

    // Each race gets the tallies of its own day: day A's two races share them, day B has its own.
    ASSERT_EQ(calls.size(), 30u);
    EXPECT_EQ(calls[0].day, calls[20].day);
    EXPECT_NE(calls[0].day, calls[10].day);
    EXPECT_EQ(calls[0].day, writing.Day("20250831050208"));
    EXPECT_EQ(calls[10].day, writing.Day("20250831091003"));

    // Prediction mode writes no rate file and leaves last week's alone.
    EXPECT_EQ(dir.Read("TEKICHU/20250831050208kaiteki.txt"), "last week\r\n");
    EXPECT_FALSE(dir.Exists("TEKICHU/20250831050208kaitekiPC.txt"));
    EXPECT_FALSE(dir.Exists("TEKICHU/20250831091003kaiteki.txt"));
    EXPECT_EQ(log.StepsPassedOver(), 0);
    EXPECT_FALSE(dir.Exists("ERRORLOG.txt"));
}

TEST(RaceWriting, AFailingWriterStopsNeitherTheLaterWritersNorTheRates) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "TEKICHU");
    const common::CodeTable codes = writertest::Codes();
    workbench::BatchLog log;

    std::vector<std::string> calls;
    const auto table = writertest::Table([&](std::size_t i, RaceContext& c) {
        calls.push_back(c.race.RaceNum + " " + std::string(c.writer));
        if (i == 1) {
            if (c.race.RaceNum == "01") {
                // A hit, then a failure: the hit is real and stays.
                c.tallies.Kaiteki.TierHits(TierKind::Umaren, Tier::Honsen) += 1;
                c.tallies.Kaiteki.AllHits(TierKind::Umaren) += 1;
                c.tallies.Kaiteki.TierPayout(TierKind::Umaren, Tier::Honsen) += 1230;
                c.PassedOver("an AT line left out");
                throw std::runtime_error("boom");
            }
            throw 42;
        }
        if (i == 4) {
            c.PassedOver("first");
            c.PassedOver("second");
        }
    });
    workbench::RaceWriting writing(table, codes, log);
    writing.WriteRace(Race(1, DayA(1), 1));
    // After the failing writer: the later writers and the rates of the race.
    EXPECT_EQ(calls.size(), 11u);
    EXPECT_EQ(LineOf(dir.Read("TEKICHU/20250831050208kaiteki.txt"), 4), "\"\x94\x6e\x98\x41\",205,0,0,100,0,0");  // 馬連
    writing.WriteRace(Race(2, DayA(2), 1));

    std::vector<std::string> expected;
    for (const char* race : {"01", "02"})
        for (const std::string& name : kNames) expected.push_back(std::string(race) + " " + name);
    EXPECT_THAT(calls, ElementsAreArray(expected));
    // 1230 yen and one hit over two races.
    EXPECT_EQ(LineOf(dir.Read("TEKICHU/20250831050208kaiteki.txt"), 4), "\"\x94\x6e\x98\x41\",102.5,0,0,50,0,0");

    const std::string errors = dir.Read("ERRORLOG.txt");
    EXPECT_THAT(errors, HasSubstr("race 202508310501, WriteLupRace: an AT line left out"));
    EXPECT_THAT(errors, HasSubstr("race 202508310501, WriteLupRace: boom"));
    EXPECT_THAT(errors, HasSubstr("race 202508310502, WriteLupRace: unknown failure"));
    EXPECT_THAT(errors, HasSubstr("race 202508310502, WriteTanfuku1: second"));
    // Once per race and writer: WriteLupRace and WriteTanfuku1 in each of the two races.
    EXPECT_EQ(log.StepsPassedOver(), 4);
    EXPECT_EQ(log.RacesPassedOver(), 0);
}

// A writer that keeps the key of the day it wrote last, as the day-file writers do.
class KeyedWriter final : public workbench::RaceWriter {
public:
    explicit KeyedWriter(std::vector<std::string>& seen) : seen_(seen) {}
    void WriteRace(RaceContext& c) override {
        seen_.push_back(lastKey_.empty() ? "new" : lastKey_);
        lastKey_ = c.race.MeetingKey;
    }

private:
    std::vector<std::string>& seen_;
    std::string lastKey_;
};

TEST(RaceWriting, WritersAreMadeFreshForEveryRun) {
    testsupport::TempAppFolder dir;
    const common::CodeTable codes = writertest::Codes();
    workbench::BatchLog log;
    int made = 0;
    std::vector<std::string> seen;
    std::vector<workbench::RaceWriterEntry> table;
    for (const std::string& name : kNames)
        table.push_back({name, [&] {
                             ++made;
                             return std::make_unique<KeyedWriter>(seen);
                         }});
    for (int run = 1; run <= 2; ++run) {
        seen.clear();
        workbench::RaceWriting writing(table, codes, log);
        EXPECT_EQ(made, 11 * run);
        writing.WriteRace(Race(1, DayA(1), 0));
        writing.WriteRace(Race(2, DayA(2), 0));
        std::vector<std::string> expected(11, "new");
        expected.insert(expected.end(), 11, "20250831050208");
        EXPECT_THAT(seen, ElementsAreArray(expected)) << "run " << run;
    }
}

// Hits that the writers of the golden days add, as the lup writer and the PC writer would.
struct TierHit {
    std::string race;  // RaceId
    TierKind kind;
    std::optional<Tier> tier;  // none: a hit beyond the tiers
    std::int64_t pay;
};
struct PcHit {
    std::string race;
    PcTicketKind kind;
    std::int64_t pay;
};

TEST(RaceWriting, RateFilesOfTwoInterleavedDays) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "TEKICHU");
    const common::CodeTable codes = writertest::Codes();
    workbench::BatchLog log;

    // Day A: races 01 to 12 without 03. 馬連 本線 3 hits in 12 races (25); 12340 yen of 3連単
    // 本線 (24.4); two ワイド hits in one race; a ワイド hit beyond the tiers, which no rate counts;
    // no trio hit at all. Day B: races 02 to 07, no race 01, visited between day A's races.
    const std::vector<TierHit> tierHits{
        {DayA(1), TierKind::Umaren, Tier::Honsen, 500},       {DayA(5), TierKind::Umaren, Tier::Honsen, 1200},
        {DayA(9), TierKind::Umaren, Tier::Honsen, 860},       {DayA(6), TierKind::Sanrentan, Tier::Honsen, 12340},
        {DayA(2), TierKind::Wide, Tier::Junhonsen, 310},      {DayA(2), TierKind::Wide, Tier::Junhonsen, 450},
        {DayA(10), TierKind::Wide, Tier::Junhonsen, 180},     {DayA(11), TierKind::Wide, std::nullopt, 990},
        {DayA(12), TierKind::UmatanOmote, Tier::Fukuhei, 4560}, {DayA(7), TierKind::UmatanUra, Tier::Junhonsen, 2210},
        {DayB(3), TierKind::Umaren, Tier::Fukuhei, 1500},     {DayB(5), TierKind::Sanrenpuku, Tier::Honsen, 3400},
    };
    // 馬連F: 3000 yen over 60 tickets (50); 3連単13 buys nothing all day A (an empty return rate).
    const std::vector<PcHit> pcHits{
        {DayA(1), PcTicketKind::Tansho1, 250},     {DayA(4), PcTicketKind::Tansho1, 180},
        {DayA(8), PcTicketKind::Tansho1, 530},     {DayA(1), PcTicketKind::Fukusho1, 110},
        {DayA(2), PcTicketKind::Fukusho1, 120},    {DayA(4), PcTicketKind::Fukusho1, 130},
        {DayA(5), PcTicketKind::Fukusho1, 140},    {DayA(6), PcTicketKind::Fukusho1, 150},
        {DayA(9), PcTicketKind::Fukusho2, 200},    {DayA(2), PcTicketKind::UmarenF, 1200},
        {DayA(6), PcTicketKind::UmarenF, 1800},    {DayA(7), PcTicketKind::UmatanF, 2970},
        {DayA(10), PcTicketKind::SanrenpukuB, 2210}, {DayA(11), PcTicketKind::Sanrentan12, 25000},
        {DayB(4), PcTicketKind::Tansho1, 340},
    };
    auto ticketsOf = [](const workbench::RaceState& race, PcTicketKind kind) -> std::int64_t {
        const bool dayA = race.MeetingKey == "20250831050208";
        switch (kind) {
            case PcTicketKind::UmarenF: return !dayA || race.RaceNum <= "06" ? 12 : 0;
            case PcTicketKind::UmarenB: return 15;
            case PcTicketKind::UmatanF: return 18;
            case PcTicketKind::SanrenpukuB: return 20;
            case PcTicketKind::Sanrentan12: return 42;
            case PcTicketKind::Sanrentan23: return 36;
            case PcTicketKind::Sanrentan13: return dayA ? 0 : 36;
            default: return 0;
        }
    };

    const auto table = writertest::Table([&](std::size_t i, RaceContext& c) {
        if (i == 1) {
            for (const TierHit& h : tierHits) {
                if (h.race != c.race.RaceId) continue;
                c.tallies.Kaiteki.AllHits(h.kind) += 1;
                if (!h.tier) continue;
                c.tallies.Kaiteki.TierHits(h.kind, *h.tier) += 1;
                c.tallies.Kaiteki.TierPayout(h.kind, *h.tier) += h.pay;
            }
        } else if (i == 2) {
            for (int k = 0; k < workbench::kPcTicketKinds; ++k) {
                const auto kind = static_cast<PcTicketKind>(k);
                workbench::PcKindTally& t = c.tallies.Pc(kind);
                t.HitKumi.clear();
                t.HitPay.clear();
                if (!workbench::IsSingleTicketKind(kind)) {
                    t.RaceTickets = ticketsOf(c.race, kind);
                    t.TicketTotal += t.RaceTickets;
                }
                for (const PcHit& h : pcHits) {
                    if (h.race != c.race.RaceId || h.kind != kind) continue;
                    t.HitPay = std::to_string(h.pay);
                    t.HitCount += 1;
                    t.PayTotal += h.pay;
                }
            }
        }
    });

    workbench::RaceWriting writing(table, codes, log);
    std::vector<std::string> order{DayA(1), DayA(2), DayB(2), DayB(3), DayA(4), DayA(5), DayA(6), DayB(4)};
    for (int r = 7; r <= 12; ++r) order.push_back(DayA(r));
    for (int r = 5; r <= 7; ++r) order.push_back(DayB(r));
    int idx = 0;
    for (const std::string& raceId : order) {
        writing.WriteRace(Race(++idx, raceId, 1));
        if (raceId == DayB(3)) {
            // Day B so far: races 02 and 03, counted as 3 races.
            EXPECT_EQ(LineOf(dir.Read("TEKICHU/20250831091003kaitekiPC.txt"), 3),
                      "\"\x97\x5c\x91\x7a\x52\x90\x94\",3,3,3,3,3,3,3,3,3,3,3");  // 予想R数
        }
    }

    EXPECT_EQ(dir.Read("TEKICHU/20250831050208kaiteki.txt"), Golden("20250831050208kaiteki.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/20250831050208kaitekiPC.txt"), Golden("20250831050208kaitekiPC.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/20250831091003kaiteki.txt"), Golden("20250831091003kaiteki.txt"));
    EXPECT_EQ(dir.Read("TEKICHU/20250831091003kaitekiPC.txt"), Golden("20250831091003kaitekiPC.txt"));
    EXPECT_EQ(writing.Day("20250831050208")->DayRaceCount, 12);
    EXPECT_EQ(writing.Day("20250831091003")->DayRaceCount, 7);
    EXPECT_EQ(log.StepsPassedOver() + log.RacesPassedOver(), 0);
    // Nothing but the four rate files, no scratch file left.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / "TEKICHU")) ++files;
    EXPECT_EQ(files, 4);
}

TEST(DayTallies, TheTallyFunctionsAreTheNamedFieldsOfTheSixKinds) {
    using T = workbench::TierTally;
    const std::pair<TierKind, T workbench::KaitekiTally::*> kinds[] = {
        {TierKind::Umaren, &workbench::KaitekiTally::Umaren},
        {TierKind::Wide, &workbench::KaitekiTally::Wide},
        {TierKind::UmatanOmote, &workbench::KaitekiTally::UmatanOmote},
        {TierKind::UmatanUra, &workbench::KaitekiTally::UmatanUra},
        {TierKind::Sanrenpuku, &workbench::KaitekiTally::Sanrenpuku},
        {TierKind::Sanrentan, &workbench::KaitekiTally::Sanrentan},
    };
    const std::tuple<Tier, std::int64_t T::*, std::int64_t T::*> tiers[] = {
        {Tier::Honsen, &T::HitsH, &T::PayH}, {Tier::Junhonsen, &T::HitsJ, &T::PayJ}, {Tier::Fukuhei, &T::HitsF, &T::PayF}};
    workbench::KaitekiTally tally;
    std::int64_t value = 0;
    for (const auto& [kind, member] : kinds) {
        (tally.*member).HitsAll = ++value;
        for (const auto& [tier, hits, pay] : tiers) {
            (tally.*member).*hits = ++value;
            (tally.*member).*pay = ++value;
        }
    }
    value = 0;
    for (const auto& [kind, member] : kinds) {
        EXPECT_EQ(tally.AllHits(kind), ++value);
        for (const auto& [tier, hits, pay] : tiers) {
            EXPECT_EQ(tally.TierHits(kind, tier), ++value);
            EXPECT_EQ(tally.TierPayout(kind, tier), ++value);
        }
    }
}

TEST(DayRates, RatesAreTruncatedToTenthsAndNoneWithoutADivisor) {
    struct Case {
        const char* what;
        std::int64_t races;
        std::function<void(workbench::DayTallies&)> set;
        std::function<workbench::RateTenths(const workbench::DayTallies&)> rate;
        workbench::RateTenths expected;
    };
    auto tierHit = [](TierKind kind, Tier tier) {
        return [=](const workbench::DayTallies& d) {
            return d.Rates(kind).HitRate[static_cast<std::size_t>(tier)];
        };
    };
    auto tierReturn = [](TierKind kind, Tier tier) {
        return [=](const workbench::DayTallies& d) {
            return d.Rates(kind).ReturnRate[static_cast<std::size_t>(tier)];
        };
    };
    auto pcReturn = [](PcTicketKind kind) { return [=](const workbench::DayTallies& d) { return d.Pc(kind).ReturnRate; }; };
    auto pcHit = [](PcTicketKind kind) { return [=](const workbench::DayTallies& d) { return d.Pc(kind).HitRate; }; };
    const Case cases[] = {
        {"1 hit in 3 races", 3, [](auto& d) { d.Kaiteki.TierHits(TierKind::Wide, Tier::Fukuhei) = 1; },
         tierHit(TierKind::Wide, Tier::Fukuhei), 333},
        {"2 hits in 3 races", 3, [](auto& d) { d.Kaiteki.TierHits(TierKind::Wide, Tier::Fukuhei) = 2; },
         tierHit(TierKind::Wide, Tier::Fukuhei), 666},
        {"1520 yen in 4 races at 600", 4, [](auto& d) { d.Kaiteki.TierPayout(TierKind::UmatanUra, Tier::Junhonsen) = 1520; },
         tierReturn(TierKind::UmatanUra, Tier::Junhonsen), 633},
        {"trios stake 700", 2, [](auto& d) { d.Kaiteki.TierPayout(TierKind::Sanrenpuku, Tier::Honsen) = 1400; },
         tierReturn(TierKind::Sanrenpuku, Tier::Honsen), 1000},
        {"12340 yen of 3連単 in 12 races", 12, [](auto& d) { d.Kaiteki.TierPayout(TierKind::Sanrentan, Tier::Honsen) = 12340; },
         tierReturn(TierKind::Sanrentan, Tier::Honsen), 244},
        {"no race: no hit rate", 0, [](auto& d) { d.Kaiteki.TierHits(TierKind::Umaren, Tier::Honsen) = 1; },
         tierHit(TierKind::Umaren, Tier::Honsen), std::nullopt},
        {"no race: no return rate", 0, [](auto&) {}, tierReturn(TierKind::Umaren, Tier::Honsen), std::nullopt},
        {"単勝1 over the races", 4, [](auto& d) { d.Pc(PcTicketKind::Tansho1).PayTotal = 150; },
         pcReturn(PcTicketKind::Tansho1), 375},
        {"単勝1 ignores tickets", 4, [](auto& d) { d.Pc(PcTicketKind::Fukusho2).TicketTotal = 1; },
         pcReturn(PcTicketKind::Fukusho2), 0},
        {"馬連F 3000 yen over 60 tickets", 12, [](auto& d) {
             d.Pc(PcTicketKind::UmarenF).PayTotal = 3000;
             d.Pc(PcTicketKind::UmarenF).TicketTotal = 60;
         }, pcReturn(PcTicketKind::UmarenF), 500},
        {"a formation kind without tickets", 12, [](auto& d) { d.Pc(PcTicketKind::Sanrentan13).PayTotal = 0; },
         pcReturn(PcTicketKind::Sanrentan13), std::nullopt},
        {"PC hit rate", 7, [](auto& d) { d.Pc(PcTicketKind::SanrenpukuB).HitCount = 1; },
         pcHit(PcTicketKind::SanrenpukuB), 142},
        {"sums past 32 bits", 1, [](auto& d) { d.Pc(PcTicketKind::Fukusho1).PayTotal = 5'000'000'000; },
         pcReturn(PcTicketKind::Fukusho1), 50'000'000'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        workbench::DayTallies day;
        day.DayRaceCount = c.races;
        c.set(day);
        workbench::ComputeDayRates(day);
        EXPECT_EQ(c.rate(day), c.expected);
    }

    // A rate without a divisor is none again, not the value of an earlier race.
    workbench::DayTallies day;
    day.DayRaceCount = 1;
    day.Pc(PcTicketKind::UmarenB).TicketTotal = 10;
    workbench::ComputeDayRates(day);
    EXPECT_EQ(day.Pc(PcTicketKind::UmarenB).ReturnRate, std::optional<std::int64_t>(0));
    day.Pc(PcTicketKind::UmarenB).TicketTotal = 0;
    workbench::ComputeDayRates(day);
    EXPECT_EQ(day.Pc(PcTicketKind::UmarenB).ReturnRate, std::nullopt);
}

TEST(DayRates, DayRaceCountIsTheHighestRaceNumberMetSoFar) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "TEKICHU");
    const common::CodeTable codes = writertest::Codes();
    workbench::DayTallies day;
    for (const auto& [race, count] : std::vector<std::pair<int, std::int64_t>>{{5, 5}, {3, 5}, {12, 12}, {1, 12}}) {
        workbench::WriteDayRates(Race(1, DayA(race), 1), day, codes);
        EXPECT_EQ(day.DayRaceCount, count) << "race " << race;
    }
}

TEST(DayRates, AKeyThatCannotNameAFileWritesNothing) {
    testsupport::TempAppFolder dir;
    std::filesystem::create_directories(dir / "TEKICHU");
    workbench::DayTallies day;
    workbench::RaceState race = Race(1, "2025083105020801", 1);
    race.MeetingKey = "../../202508310";
    EXPECT_THROW(workbench::WriteDayRates(race, day, writertest::Codes()), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "TEKICHU"));
    EXPECT_FALSE(dir.Exists("202508310kaiteki.txt"));
}

}  // namespace
