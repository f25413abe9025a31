#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_table.h"
#include "common/encoding.h"
#include "workbench/ranking.h"

// The two races of the golden files: three runners valued 60, 61 and 62 on turf over 1600 m, and
// five runners valued 60.5, 61.2, 59.8, 61.2 and 58.0 over hurdles (track 51) over 3000 m.
namespace fixtures {

inline constexpr std::string_view kThreeKey = "202508310511";
inline constexpr std::string_view kFiveKey = "202509070603";

/// CP932 bytes of a UTF-8 text, blank-padded to the field's width.
inline std::string Field(std::string_view utf8, std::size_t width) {
    std::string bytes = common::ToCp932(utf8);
    bytes.resize(width, ' ');
    return bytes;
}

struct Runner {
    float speed;
    float agari;
    const char* waku;
    const char* bamei;
    const char* kisyu;
    const char* chokyosi;
    const char* futan;
    const char* sexCD;
    const char* barei;
    std::array<const char*, 5> samples;
};

inline workbench::RunnerFields Fields(const Runner& r, std::string_view trackCD, std::string_view kyori) {
    workbench::RunnerFields f;
    f.CombinedSoha = r.speed;
    f.PredictedAgari = r.agari;
    f.Wakuban = r.waku;
    f.Bamei = Field(r.bamei, 36);
    f.KisyuRyakusyo = Field(r.kisyu, 8);
    f.ChokyosiRyakusyo = Field(r.chokyosi, 8);
    f.Futan = r.futan;
    f.SexCD = r.sexCD;
    f.Barei = r.barei;
    f.Kyori = std::string(kyori);
    f.TrackCD = std::string(trackCD);
    f.SohaTime = "0000";  // before the race
    f.HaronTimeL3 = "000";
    f.NyusenJyuni = "00";
    f.KakuteiJyuni = "00";
    f.Ninki = "00";
    for (std::size_t i = 0; i < 5; ++i) f.SampleCounts[i] = r.samples[i];
    return f;
}

inline std::vector<workbench::RunnerFields> ThreeRunners() {
    const Runner runners[] = {
        {60.0f, 60.0f, "1", "アオゾラテスト", "山田太郎", "田中次郎", "550", "1", "04",
         {"0000073", "0000177", "0000000", "0000005", "       "}},
        {61.0f, 58.5f, "2", "ヒダリマワリノウマ", "佐藤一", "高橋三", "560", "2", "05",
         {"0000074", "0000050", "0000011", "0000076", "0000077"}},
        {62.0f, 62.5f, "3", "サンプルホースナンバーワン", "鈴木花子", "伊藤四郎", "540", "1", "03",
         {"0000006", "0000101", "0000020", "0000021", "0000078"}},
    };
    std::vector<workbench::RunnerFields> out;
    for (const Runner& r : runners) out.push_back(Fields(r, "10", "1600"));
    return out;
}

inline std::vector<workbench::RunnerFields> FiveRunners() {
    const Runner runners[] = {
        {60.5f, 60.0f, "1", "アオゾラテスト", "山田太郎", "田中次郎", "600", "1", "06",
         {"0000073", "0000087", "0000070", "0000061", "0000046"}},
        {61.2f, 61.5f, "2", "ヒダリマワリノウマ", "佐藤一", "高橋三", "610", "1", "07",
         {"0000074", "0000086", "0000069", "0000060", "0000045"}},
        {59.8f, 59.0f, "3", "サンプルホースナンバーワン", "鈴木花子", "伊藤四郎", "590", "2", "05",
         {"0000089", "0000010", "0000001", "0000000", "0000021"}},
        {61.2f, 62.0f, "4", "ミドリノカゼ", "山田太郎", "田中次郎", "600", "1", "08",
         {"0000020", "0000011", "0000005", "0000006", "0000088"}},
        {58.0f, 57.5f, "5", "ユウヤケコマチ", "佐藤一", "高橋三", "580", "2", "04",
         {"       ", "0000000", "0000100", "0000050", "0000030"}},
    };
    std::vector<workbench::RunnerFields> out;
    for (const Runner& r : runners) out.push_back(Fields(r, "51", "3000"));
    return out;
}

/// Sex names in column 2 of kind 2202.
inline common::CodeTable Codes() {
    return common::CodeTable::FromCp932(common::ToCp932("2202,1,牡馬,,,,,\r\n2202,2,牝馬,,,,,\r\n"));
}

}  // namespace fixtures
