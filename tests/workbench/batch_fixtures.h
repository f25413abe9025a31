#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/record_bytes.h"
#include "support/temp_folder.h"

// Fixtures of the weekly batch: race, runner, payout and expanded records built byte by byte at
// the 1-based positions their layouts document, and two small hand-made weeks.
namespace batchtest {

using testsupport::At;
using testsupport::Put;

inline constexpr std::size_t kRaLength = 1272;
inline constexpr std::size_t kSeLength = 555;
inline constexpr std::size_t kHrLength = 719;
inline constexpr std::size_t kExLength = 2603;
inline constexpr std::size_t kRhLength = 24022;

// Shift-JIS bytes written out, so that fixtures do not lean on the converter.
inline constexpr std::string_view kDerby = "\x93\xfa\x96\x7b\x83\x5f\x81\x5b\x83\x72\x81\x5b";  // 日本ダービー
inline constexpr std::string_view kOldName = "\x8c\xc3\x82\xa2\x96\xbc\x91\x4f";              // 古い名前
inline constexpr std::string_view kEStakes = "\x82\x64\x83\x58\x83\x65\x81\x5b\x83\x4e\x83\x58";  // Ｅステークス
// ａ to ｍ: thirteen full-width letters.
inline constexpr std::string_view kThirteenLetters =
    "\x82\x81\x82\x82\x82\x83\x82\x84\x82\x85\x82\x86\x82\x87\x82\x88\x82\x89\x82\x8a\x82\x8b\x82\x8c\x82\x8d";
inline constexpr std::string_view kFullWidthBlank = "\x81\x40";  // 　
inline constexpr std::string_view kHanako = "\x89\xd4\x8e\x71";   // 花子

/// A file of tests/data, whole.
inline std::string TestData(std::string_view relative) {
    std::ifstream in(std::string(TALMOR_TEST_DATA) + "/" + std::string(relative), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

/// A race record (stored form): blanks, the head, the RaceId at 12, CR LF at 1271.
struct Race {
    std::string raceId;  // 16 digits
    char kind = '2';
    std::string made = "20250605";
    std::string hondai;  // bytes from 33
    std::string grade = " ";
    std::string syubetu = "11";
    std::string jyoken5 = "701";  // the fifth JyokenCD
    std::string kyori = "1600";
    std::string track = "11";
    std::string hasso = "1000";
    std::string toroku = "16";
    std::string baba = "111";  // TenkoCD, SibaBabaCD, DirtBabaCD
};

inline Race RaceOf(std::string raceId, char kind = '2') {
    Race r;
    r.raceId = std::move(raceId);
    r.kind = kind;
    return r;
}

inline std::string RaRecord(const Race& r) {
    std::string record(kRaLength, ' ');
    Put(record, 1, "RA");
    record[2] = r.kind;
    Put(record, 4, r.made);
    Put(record, 12, r.raceId);
    Put(record, 33, r.hondai);
    Put(record, 615, r.grade);
    Put(record, 617, r.syubetu);
    Put(record, 635, r.jyoken5);
    Put(record, 698, r.kyori);
    Put(record, 706, r.track);
    Put(record, 874, r.hasso);
    Put(record, 882, r.toroku);
    Put(record, 888, r.baba);
    Put(record, 1271, "\r\n");
    return record;
}

/// A runner record: Wakuban 28, Umaban 29, KettoNum 31, Bamei 41.
inline std::string SeRecord(std::string_view raceId, std::string_view umaban, std::string_view kettoNum,
                            std::string_view bamei, char kind = '2', char wakuban = '1') {
    std::string record(kSeLength, ' ');
    Put(record, 1, "SE");
    record[2] = kind;
    Put(record, 4, "20250605");
    Put(record, 12, raceId);
    record[27] = wakuban;
    Put(record, 29, umaban);
    Put(record, 31, kettoNum);
    Put(record, 41, bamei);
    Put(record, 554, "\r\n");
    return record;
}

/// A payout record: TorokuTosu 28, the first win payout's Umaban 103 and Pay 105.
inline std::string HrRecord(std::string_view raceId, std::string_view made, std::string_view winPay,
                            std::string_view toroku = "16") {
    std::string record(kHrLength, ' ');
    Put(record, 1, "HR");
    record[2] = '2';
    Put(record, 4, made);
    Put(record, 12, raceId);
    Put(record, 28, toroku);
    Put(record, 103, "01");
    Put(record, 105, winPay);
    Put(record, 718, "\r\n");
    return record;
}

/// An expanded run: zero bytes but for the fields the join copies, each marked with the run's
/// number `run` so that a test can tell which run an element came from.
struct ExRun {
    std::string raceId;  // 16 digits
    std::string kettoNum = "2021100001";
    std::string umaban = "01";
    std::string birthDate = "20210401";
    std::string track = "11";
    std::string baba = "111";
    int run = 1;
};

inline std::string Digits(long value, int width) {
    std::string text = std::to_string(value);
    return text.size() >= static_cast<std::size_t>(width) ? text.substr(text.size() - static_cast<std::size_t>(width))
                                                          : std::string(static_cast<std::size_t>(width) - text.size(), '0') + text;
}

using testsupport::FloatBytes;

inline std::string ExRecord(const ExRun& r) {
    std::string record(kExLength, '\0');
    Put(record, 1, "SE7");
    Put(record, 12, r.raceId);
    Put(record, 28, "3");
    Put(record, 29, r.umaban);
    Put(record, 31, r.kettoNum);
    Put(record, 207, r.birthDate);
    Put(record, 243, "BREEDER" + Digits(r.run, 3) + std::string(62, ' '));  // 72 bytes
    Put(record, 345, "SIRE" + Digits(r.run, 3) + std::string(29, ' '));     // 36 bytes
    Put(record, 828, "2");
    Put(record, 838, "TR" + Digits(r.run, 6));
    Put(record, 976, "550");
    Put(record, 1024, "JK" + Digits(r.run, 6));
    Put(record, 1042, "480");
    Put(record, 1045, "+");
    Put(record, 1046, "004");
    Put(record, 1049, "0");
    Put(record, 1050, Digits(r.run, 2));  // NyusenJyuni
    Put(record, 1052, Digits(r.run + 1, 2));  // KakuteiJyuni
    Put(record, 1056, Digits(1000 + r.run, 4));  // Time
    Put(record, 1077, Digits(2000 + r.run, 4));  // Odds
    Put(record, 1081, Digits(r.run + 2, 2));  // Ninki
    Put(record, 1108, Digits(300 + r.run, 3));  // HaronTimeL3
    Put(record, 1138, Digits(r.run, 4));  // Kyori
    Put(record, 1146, r.track);
    Put(record, 1314, Digits(1500 + r.run, 4));  // HassoTime
    Put(record, 1322, Digits(r.run + 3, 2));  // TorokuTosu
    Put(record, 1328, r.baba);
    // SpeedText 6 to 10: the training counts of items 6, 18, 19, 20 and 21.
    for (int i = 6; i <= 10; ++i) Put(record, 1710 + 7 * static_cast<std::size_t>(i), "00000" + Digits(i, 2));
    for (int i = 0; i < 113; ++i)
        Put(record, 2150 + 4 * static_cast<std::size_t>(i), FloatBytes(static_cast<float>(r.run * 1000 + i)));
    Put(record, 2602, "\r\n");
    return record;
}

/// The folders the ranking and the tickets write into: KAIME and the five betting folders.
inline void CreateTicketFolders(const testsupport::TempAppFolder& folder) {
    for (const char* name : {"KAIME", "UMAREN", "WIDE", "UMATAN", "SANRENPUKU", "SANRENTAN"})
        std::filesystem::create_directories(folder / name);
}

/// The hand-made prediction week behind the golden files in tests/data/workbench/prediction:
/// races 05-01 (kinds "2" and "4"), 05-02 and 09-11 listed; kinds "1", "7" and "9" not.
inline void WritePredictionWeek(const testsupport::TempAppFolder& folder) {
    std::string ra;
    Race a{"2025060705030101", '2', "20250605", std::string(kOldName), "A", "11", "701", "2400", "11", "1000", "16", "111"};
    Race early = a;
    early.kind = '1';
    early.made = "20250603";
    ra += RaRecord(early);
    ra += RaRecord(a);
    std::string blanks12;
    for (int i = 0; i < 12; ++i) blanks12 += kFullWidthBlank;
    ra += RaRecord({"2025060705030102", '2', "20250605", blanks12, " ", "12", "703", "1400", "24", "1030", "10", "213"});
    Race aNewer = a;
    aNewer.kind = '4';
    aNewer.made = "20250606";
    aNewer.hondai = std::string(kDerby);
    aNewer.hasso = "1005";
    aNewer.baba = "221";
    ra += RaRecord(aNewer);
    ra += RaRecord({"2025060705030103", '7', "20250606", "", " ", "11", "701", "1600", "11", "1100", "12", "111"});
    ra += RaRecord({"2025060809020211", '2', "20250606", std::string(kThirteenLetters), "B", "13", "999", "3000", "51",
                    "1540", "14", "124"});
    ra += RaRecord({"2025060809020212", '9', "20250606", "", " ", "13", "999", "1200", "11", "1610", "14", "111"});
    folder.Write("RATHISWEEKNNEW.dat", ra);

    // Race 05-01: horses 1 to 3 (3 without expanded runs; its kind-4 record replaces the kind-2
    // one); race 05-02: one horse before the draw and horse 1; race 09-11: no runners.
    std::string se;
    se += SeRecord("2025060705030101", "01", "2021100001", "HORSE ONE");
    se += SeRecord("2025060705030101", "02", "2021100002", "HORSE TWO");
    se += SeRecord("2025060705030101", "03", "2021100003", "HORSE THREE");
    se += SeRecord("2025060705030102", "00", "2022100009", "NOT DRAWN");
    se += SeRecord("2025060705030102", "01", "2022100001", kHanako);
    se += SeRecord("2025060705030101", "03", "2021100003", "HORSE THREE B", '4');
    folder.Write("SETHISWEEKNNEW.dat", se);

    folder.Write("UMAGOTOEXTHISWEEKN/2021100001EX.dat",
                 ExRecord({"2024120105020101", "2021100001", "05", "20210401", "11", "111", 1}) +
                     ExRecord({"2025060705030101", "2021100001", "01", "20210401", "11", "111", 2}));
    folder.Write("UMAGOTOEXTHISWEEKN/2021100002EX.dat",
                 ExRecord({"2025060705030101", "2021100002", "02", "20210315", "11", "111", 1}));
    folder.Write("UMAGOTOEXTHISWEEKN/2022100001EX.dat",
                 ExRecord({"2025060705030102", "2022100001", "01", "20220301", "24", "213", 1}));
    folder.Write("JRACODE/CodeTable.csv", TestData("workbench/CodeTable.csv"));
}

/// The hand-made results week behind the golden files in tests/data/workbench/result: payouts of
/// races 09-02, 05-01 (twice, the later one newer), 05-02 and 06-01 (no race record), in another
/// order than the race file's 05-01 (kinds "2" and "7"), 05-02, 09-01 (no payout) and 09-02.
inline void WriteResultWeek(const testsupport::TempAppFolder& folder) {
    std::string blanks12;
    for (int i = 0; i < 12; ++i) blanks12 += kFullWidthBlank;
    std::string ra;
    ra += RaRecord({"2025060705030101", '2', "20250605", std::string(kOldName), "A", "11", "701", "2000", "11", "1000", "16", "111"});
    ra += RaRecord({"2025060705030101", '7', "20250609", std::string(kDerby), "A", "11", "701", "2400", "11", "1005", "16", "221"});
    ra += RaRecord({"2025060705030102", '7', "20250609", blanks12, " ", "12", "703", "1400", "24", "1030", "10", "213"});
    ra += RaRecord({"2025060709040101", '7', "20250609", "", " ", "11", "701", "1200", "11", "1000", "12", "111"});
    ra += RaRecord({"2025060709040102", '7', "20250609", std::string(kEStakes), " ", "13", "999", "1800", "11", "1210", "12", "111"});
    folder.Write("RATHISWEEKNNEW.dat", ra);
    folder.Write("HRTHISWEEKN.dat", HrRecord("2025060709040102", "20250609", "000000300", "12") +
                                        HrRecord("2025060705030101", "20250608", "000001000") +
                                        HrRecord("2025060705030101", "20250609", "000001200") +
                                        HrRecord("2025060705030102", "20250609", "000000500", "10") +
                                        HrRecord("2025060806030101", "20250609", "000000700", "08"));
    folder.Write("SETHISWEEKNNEW.dat", SeRecord("2025060705030101", "01", "2021100001", "HORSE ONE", '7'));
    folder.Write("UMAGOTOEXTHISWEEKN/2021100001EX.dat",
                 ExRecord({"2025060705030101", "2021100001", "01", "20210401", "11", "111", 1}));
    folder.Write("JRACODE/CodeTable.csv", TestData("workbench/CodeTable.csv"));
}

}  // namespace batchtest
