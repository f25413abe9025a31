#include "engine/ex_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

using engine::ExRecord;
using engine::LayoutEx;
using Ref = records::Ref<LayoutEx>;
namespace ex = engine::ex;

consteval Ref L(std::string_view path) { return records::Locate<LayoutEx>(path); }

// Every text field of the record with its 1-based position and width, as the record is documented.
struct Placed {
    Ref ref;
    int index;
    int position;
    int width;
};

std::vector<Placed> TextFields() {
    std::vector<Placed> f = {
        {ex::RecordSpec, 0, 1, 2}, {ex::DataKubun, 0, 3, 1},
        {L("MakeDate.Year"), 0, 4, 4}, {L("MakeDate.Month"), 0, 8, 2}, {L("MakeDate.Day"), 0, 10, 2},
        {ex::Year, 0, 12, 4}, {ex::MonthDay, 0, 16, 4}, {ex::JyoCD, 0, 20, 2}, {ex::Kaiji, 0, 22, 2},
        {ex::Nichiji, 0, 24, 2}, {ex::RaceNum, 0, 26, 2}, {ex::Wakuban, 0, 28, 1}, {ex::Umaban, 0, 29, 2},
        {ex::KettoNum, 0, 31, 10},
        {ex::FoalOrder, 0, 41, 2}, {ex::YoubiCD, 0, 43, 1}, {ex::ExReserved1, 0, 44, 10},
        {L("SaleBlock.MarketCode"), 0, 54, 6}, {L("SaleBlock.MarketHost"), 0, 60, 40},
        {L("SaleBlock.MarketName"), 0, 100, 80}, {L("SaleBlock.MarketStart"), 0, 180, 8},
        {L("SaleBlock.MarketEnd"), 0, 188, 8}, {L("SaleBlock.SaleAge"), 0, 196, 1},
        {L("SaleBlock.SalePrice"), 0, 197, 10},
        {L("ExHorse.BirthDate.Year"), 0, 207, 4}, {ex::BirthMonth, 0, 211, 2}, {L("ExHorse.BirthDate.Day"), 0, 213, 2},
        {ex::SyotaiChiiki, 0, 215, 20}, {ex::BreederCode, 0, 235, 8}, {ex::BreederName, 0, 243, 72},
        {ex::SanchiName, 0, 315, 20},
        {ex::SireHansyokuNum, 0, 335, 10}, {ex::SireBamei, 0, 345, 36},
        {L("ExPedigree.Block1.BirthYear"), 0, 381, 4}, {L("ExPedigree.Block1.SanchiName"), 0, 385, 20},
        {ex::DamHansyokuNum, 0, 405, 10}, {L("ExPedigree.Block2.BirthYear"), 0, 415, 4},
        {L("ExPedigree.Block2.SanchiName"), 0, 419, 20},
    };
    // Blocks 3 to 7: 70 bytes each from 439.
    for (int b = 3; b <= 7; ++b) {
        const std::string block = "ExPedigree.Block" + std::to_string(b) + ".";
        const int at = 439 + 70 * (b - 3);
        f.push_back({records::FindField<LayoutEx>(block + "HansyokuNum").value(), 0, at, 10});
        f.push_back({records::FindField<LayoutEx>(block + "Bamei").value(), 0, at + 10, 36});
        f.push_back({records::FindField<LayoutEx>(block + "BirthYear").value(), 0, at + 46, 4});
        f.push_back({records::FindField<LayoutEx>(block + "SanchiName").value(), 0, at + 50, 20});
    }
    const std::vector<Placed> run = {
        {ex::Bamei, 0, 789, 36}, {L("ExRun.ExReserved2"), 0, 825, 1}, {ex::UmaKigoCD, 0, 826, 2},
        {ex::SexCD, 0, 828, 1}, {ex::HinsyuCD, 0, 829, 1}, {ex::KeiroCD, 0, 830, 2}, {ex::TozaiCD, 0, 832, 1},
        {ex::ChokyosiCode, 0, 833, 5}, {ex::ChokyosiRyakusyo, 0, 838, 8}, {ex::BanusiCode, 0, 846, 6},
        {L("ExRun.ExReserved3"), 0, 852, 64}, {ex::Fukusyoku, 0, 916, 60}, {ex::Futan, 0, 976, 3},
        {ex::FutanBefore, 0, 979, 3}, {ex::Blinker, 0, 982, 1}, {ex::Reserved2, 0, 983, 1},
        {ex::KisyuCode, 0, 984, 5}, {ex::KisyuBirthYear, 0, 989, 4}, {L("ExRun.KisyuBirthDate.Month"), 0, 993, 2},
        {L("ExRun.KisyuBirthDate.Day"), 0, 995, 2}, {ex::KisyuSexCD, 0, 997, 1},
        {ex::KisyuSyotaiChiiki, 0, 998, 20}, {ex::KisyuSikakuCD, 0, 1018, 1}, {ex::KisyuCodeBefore, 0, 1019, 5},
        {ex::KisyuRyakusyo, 0, 1024, 8}, {ex::KisyuRyakusyoBefore, 0, 1032, 8}, {ex::MinaraiCD, 0, 1040, 1},
        {ex::MinaraiCDBefore, 0, 1041, 1}, {ex::BaTaijyu, 0, 1042, 3}, {ex::ZogenFugo, 0, 1045, 1},
        {ex::ZogenSa, 0, 1046, 3}, {ex::IJyoCD, 0, 1049, 1}, {ex::NyusenJyuni, 0, 1050, 2},
        {ex::KakuteiJyuni, 0, 1052, 2}, {ex::DochakuKubun, 0, 1054, 1}, {ex::DochakuTosu, 0, 1055, 1},
        {ex::Time, 0, 1056, 4}, {ex::ChakusaCD, 0, 1060, 3}, {ex::ChakusaCDP, 0, 1063, 3},
        {ex::ChakusaCDPP, 0, 1066, 3}, {ex::Jyuni1c, 0, 1069, 2}, {ex::Jyuni2c, 0, 1071, 2},
        {ex::Jyuni3c, 0, 1073, 2}, {ex::Jyuni4c, 0, 1075, 2}, {ex::Odds, 0, 1077, 4}, {ex::Ninki, 0, 1081, 2},
        {ex::Honsyokin, 0, 1083, 8}, {ex::Fukasyokin, 0, 1091, 8}, {ex::Reserved3a, 0, 1099, 3},
        {ex::Reserved3b, 0, 1102, 3}, {ex::HaronTimeL4, 0, 1105, 3}, {ex::HaronTimeL3, 0, 1108, 3},
        {ex::TimeDiff, 0, 1111, 4},
        {ex::GradeCD, 0, 1115, 1}, {ex::GradeCDBefore, 0, 1116, 1}, {ex::SyubetuCD, 0, 1117, 2},
        {ex::KigoCD, 0, 1119, 3}, {ex::JyuryoCD, 0, 1122, 1},
    };
    f.insert(f.end(), run.begin(), run.end());
    for (int i = 0; i < 5; ++i) f.push_back({ex::JyokenCD, i, 1123 + 3 * i, 3});
    const std::vector<Placed> race = {
        {ex::Kyori, 0, 1138, 4}, {ex::KyoriBefore, 0, 1142, 4}, {ex::TrackCD, 0, 1146, 2},
        {ex::TrackCDBefore, 0, 1148, 2}, {ex::CourseKubunCD, 0, 1150, 2}, {ex::CourseKubunCDBefore, 0, 1152, 2},
    };
    f.insert(f.end(), race.begin(), race.end());
    for (int i = 0; i < 7; ++i) f.push_back({ex::RaceHonsyokin, i, 1154 + 8 * i, 8});
    for (int i = 0; i < 5; ++i) f.push_back({ex::RaceHonsyokinBefore, i, 1210 + 8 * i, 8});
    for (int i = 0; i < 5; ++i) f.push_back({ex::RaceFukasyokin, i, 1250 + 8 * i, 8});
    for (int i = 0; i < 3; ++i) f.push_back({ex::RaceFukasyokinBefore, i, 1290 + 8 * i, 8});
    const std::vector<Placed> race2 = {
        {ex::HassoTime, 0, 1314, 4}, {ex::HassoTimeBefore, 0, 1318, 4}, {ex::TorokuTosu, 0, 1322, 2},
        {ex::SyussoTosu, 0, 1324, 2}, {ex::NyusenTosu, 0, 1326, 2}, {ex::TenkoCD, 0, 1328, 1},
        {ex::SibaBabaCD, 0, 1329, 1}, {ex::DirtBabaCD, 0, 1330, 1},
    };
    f.insert(f.end(), race2.begin(), race2.end());
    for (int i = 0; i < 25; ++i) f.push_back({ex::LapTime, i, 1331 + 3 * i, 3});
    const std::vector<Placed> race3 = {
        {ex::SyogaiMileTime, 0, 1406, 4}, {ex::RaceHaronTimeS3, 0, 1410, 3}, {ex::RaceHaronTimeS4, 0, 1413, 3},
        {ex::RaceHaronTimeL3, 0, 1416, 3}, {ex::RaceHaronTimeL4, 0, 1419, 3},
    };
    f.insert(f.end(), race3.begin(), race3.end());
    for (int i = 0; i < 4; ++i) {
        f.push_back({L("ExRace.CornerInfo.Corner"), i, 1422 + 72 * i, 1});
        f.push_back({L("ExRace.CornerInfo.Syukaisu"), i, 1423 + 72 * i, 1});
        f.push_back({L("ExRace.CornerInfo.Jyuni"), i, 1424 + 72 * i, 70});
    }
    for (int i = 0; i < 20; ++i) f.push_back({L("SpeedText"), i, 1710 + 7 * i, 7});
    const int itemAt[31] = {0,    1850, 1859, 1870, 1879, 1883, 1888, 1894, 1899, 1903, 1906,
                            1909, 1913, 1916, 1922, 1928, 1934, 1938, 1942, 1948, 1953,
                            1963, 1973, 1978, 1988, 1994, 1998, 2002, 2010, 2016, 2022};
    const int itemWidth[31] = {0, 9, 11, 9, 4, 5, 6, 5, 4, 3, 3, 4, 3, 6, 6, 6, 4, 4, 6, 5, 10, 10, 5, 10, 6, 4, 4, 8, 6, 6, 4};
    for (int k = 1; k <= 30; ++k) f.push_back({ex::ItemLabel[static_cast<std::size_t>(k)], 0, itemAt[k], itemWidth[k]});
    for (int k = 0; k <= 30; ++k) f.push_back({L("CategoryIndex"), k, 2026 + 4 * k, 4});
    return f;
}

// A distinct printable value for field n, so that a field found at a neighbour's place shows.
std::string ValueFor(std::size_t n, int width) {
    std::string v;
    for (int i = 0; i < width; ++i) v += static_cast<char>('!' + (n * 7 + static_cast<std::size_t>(i)) % 94);
    return v;
}

TEST(ExRecord, FieldsTileTheTextPartWithoutGapOrOverlap) {
    const auto fields = TextFields();
    std::vector<int> cover(2150, 0);
    for (const auto& p : fields)
        for (int b = p.position; b < p.position + p.width; ++b) ++cover[static_cast<std::size_t>(b)];
    for (int b = 1; b <= 2149; ++b) EXPECT_EQ(cover[static_cast<std::size_t>(b)], 1) << "byte " << b;
    for (const auto& p : fields) {
        EXPECT_EQ(p.ref.Offset(p.index) + 1, p.position) << p.position;
        EXPECT_EQ(p.ref.width, p.width) << p.position;
    }
    // The grouped names.
    EXPECT_EQ(ex::MakeDate.offset + 1, 4);
    EXPECT_EQ(ex::MakeDate.width, 8);
    EXPECT_EQ(ex::BirthDate.offset + 1, 207);
    EXPECT_EQ(ex::KisyuBirthDate.offset + 1, 989);
    EXPECT_EQ(ex::KisyuBirthDate.width, 8);
    EXPECT_EQ(ex::SaleBlock.offset + 1, 54);
    EXPECT_EQ(ex::SaleBlock.width, 153);
    EXPECT_EQ(ex::CornerInfo.Offset(3) + 1, 1422 + 72 * 3);
    EXPECT_EQ(ex::CrLf.offset + 1, 2602);
    EXPECT_EQ(engine::ItemLabelWidth(2), 11);
    EXPECT_EQ(engine::ItemName(30), "KyosobaArning");
}

// Little-endian bytes of a float, built from its IEEE bits by hand.
void PutFloat(std::string& bytes, std::size_t at, std::uint32_t bits) {
    for (int b = 0; b < 4; ++b) bytes[at + static_cast<std::size_t>(b)] = static_cast<char>((bits >> (8 * b)) & 0xFF);
}

TEST(ExRecord, GoldenRecord) {
    const auto fields = TextFields();
    std::string expected(2603, '\0');
    ExRecord r;
    for (std::size_t n = 0; n < fields.size(); ++n) {
        const auto& p = fields[n];
        const std::string v = ValueFor(n, p.width);
        expected.replace(static_cast<std::size_t>(p.position - 1), v.size(), v);
        r.Set(p.ref, v, p.index);
    }
    // Floats from byte 2150: element i holds i + 0.5, whose bits are written out for a few.
    for (int i = 0; i < 113; ++i) r.SetFloat(i, static_cast<float>(i) + 0.5f);
    PutFloat(expected, 2149 + 4 * 0, 0x3F000000);    // 0.5
    PutFloat(expected, 2149 + 4 * 1, 0x3FC00000);    // 1.5
    PutFloat(expected, 2149 + 4 * 93, 0x42BB0000);   // 93.5
    PutFloat(expected, 2149 + 4 * 112, 0x42E10000);  // 112.5
    for (int i = 0; i < 113; ++i) {
        if (i == 0 || i == 1 || i == 93 || i == 112) continue;
        float v = static_cast<float>(i) + 0.5f;
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        PutFloat(expected, 2149 + 4 * static_cast<std::size_t>(i), bits);
    }
    r.Set(ex::CrLf, "\r\n");
    expected[2601] = '\r';
    expected[2602] = '\n';
    ASSERT_EQ(r.Bytes().size(), 2603u);
    for (std::size_t b = 0; b < expected.size(); ++b)
        if (r.Bytes()[b] != expected[b]) {
            ADD_FAILURE() << "first difference at byte " << b + 1;
            break;
        }

    // Read back from the hand-made bytes: every field, every float.
    const ExRecord back = ExRecord::FromBytes(expected);
    for (std::size_t n = 0; n < fields.size(); ++n)
        EXPECT_EQ(back.Get(fields[n].ref, fields[n].index), ValueFor(n, fields[n].width)) << fields[n].position;
    for (int i = 0; i < 113; ++i) EXPECT_EQ(back.Float(i), static_cast<float>(i) + 0.5f) << i;
    EXPECT_EQ(back.AgariFW(30), 30.5f);
    EXPECT_EQ(back.PaceFW(1), 32.5f);
    EXPECT_EQ(back.SohaFW(30), 92.5f);
    EXPECT_EQ(back.Float(engine::ex_float::kCombinedSoha), 99.5f);
    EXPECT_EQ(back.SpeedText(19), ValueFor(fields.size() - 31 - 30 - 1, 7));
    EXPECT_EQ(back.ItemLabel(1), ValueFor(fields.size() - 31 - 30, 9));
    EXPECT_EQ(back.CategoryIndex(30), ValueFor(fields.size() - 1, 4));
    EXPECT_THROW(ExRecord::FromBytes(expected.substr(1)), std::invalid_argument);
}

TEST(ExRecord, FreshRecordIsZeroBytesAndReservedFieldsAreBlanks) {
    ExRecord r;
    EXPECT_EQ(r.Bytes(), std::string(2603, '\0'));
    EXPECT_EQ(r.Float(105), 0.0f);
    r.BlankReservedFields();
    std::string expected(2603, '\0');
    const int reserved[][2] = {{44, 10}, {54, 153}, {381, 24}, {415, 24}, {509, 10}, {555, 24}, {579, 10},
                               {625, 24}, {649, 10}, {695, 24}, {719, 10}, {765, 24}};
    for (const auto& [at, width] : reserved) expected.replace(static_cast<std::size_t>(at - 1), static_cast<std::size_t>(width), static_cast<std::size_t>(width), ' ');
    EXPECT_EQ(r.Bytes(), expected);
}

TEST(ExRecord, TextsArePaddedAndCutWhole) {
    ExRecord r;
    r.SetItemLabel(1, "201905");
    EXPECT_EQ(r.ItemLabel(1), "201905   ");
    r.SetItemLabel(22, "1600A ");
    EXPECT_EQ(r.ItemLabel(22), "1600A");
    r.SetCategoryIndex(3, "12");
    EXPECT_EQ(r.CategoryIndex(3), "12  ");
    r.SetSpeedText(5, "6260869");
    EXPECT_EQ(r.SpeedText(5), "6260869");
    // Five bytes: "ab", one double-byte character, and the half of the next that would not fit.
    r.Set(ex::ChokyosiCode, "ab\x93\x8C\x8B\x9E");
    EXPECT_EQ(r.Get(ex::ChokyosiCode), "ab\x93\x8C ");
    r.Clear(ex::ChokyosiCode);
    EXPECT_EQ(r.Get(ex::ChokyosiCode), std::string(5, '\0'));
    EXPECT_EQ(r.Text(ex::ChokyosiCode), "     ");  // zero bytes read as blanks as text
    EXPECT_THROW(r.SetSpeedText(20, "x"), std::out_of_range);
    EXPECT_THROW(r.SetItemLabel(0, "x"), std::out_of_range);
    EXPECT_THROW(r.Set(ex::LapTime, "123", 25), std::out_of_range);
    EXPECT_THROW(r.Float(113), std::out_of_range);
    EXPECT_THROW(r.AgariFW(31), std::out_of_range);
}

TEST(ExRecordFile, WritesAndReadsWholeRecords) {
    testsupport::TempAppFolder dir;
    const auto file = engine::ExRecordFile::OfHorse("2019100001");
    EXPECT_EQ(file.Path(), dir / "UMAGOTOEXTHISWEEKN/2019100001EX.dat");
    EXPECT_THROW(engine::ExRecordFile::OfHorse("../201910"), std::invalid_argument);
    EXPECT_EQ(file.Count(), 0);
    EXPECT_FALSE(dir.Exists("UMAGOTOEXTHISWEEKN/2019100001EX.dat"));

    std::filesystem::create_directories(dir / "UMAGOTOEXTHISWEEKN");
    ExRecord a, b;
    for (ExRecord* r : {&a, &b}) {
        r->Set(ex::RecordSpec, "SE");
        r->Set(ex::CrLf, "\r\n");
    }
    a.Set(ex::KettoNum, "2019100001");
    a.SetFloat(engine::ex_float::kPredictedSoha, 61.25f);
    b.Set(ex::Time, "1345");
    EXPECT_EQ(file.Append(a), 1);
    EXPECT_EQ(file.Append(b), 2);
    EXPECT_EQ(dir.Read("UMAGOTOEXTHISWEEKN/2019100001EX.dat").size(), 2u * 2603u);
    b.SetSpeedText(0, "6260869");
    file.Write(2, b);
    EXPECT_EQ(file.Read(1).Bytes(), a.Bytes());
    EXPECT_EQ(file.Read(2).Bytes(), b.Bytes());
    EXPECT_THROW(file.Read(3), std::out_of_range);

    // A torn tail is no record, and is told; the zero bytes of unset fields stay zero bytes.
    dir.Write("UMAGOTOEXTHISWEEKN/2019100001EX.dat", dir.Read("UMAGOTOEXTHISWEEKN/2019100001EX.dat") + "SE7");
    std::int64_t passedOver = 0;
    const auto all = file.ReadAll("Reading", &passedOver);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(passedOver, 1);
    EXPECT_NE(dir.Read("ERRORLOG.txt").find("3 bytes after record 2"), std::string::npos);
    EXPECT_EQ(all[0].Get(ex::Bamei), std::string(36, '\0'));
    EXPECT_EQ(all[0].Float(engine::ex_float::kPredictedSoha), 61.25f);

    file.MakeEmpty();
    EXPECT_EQ(file.Count(), 0);
    EXPECT_TRUE(dir.Exists("UMAGOTOEXTHISWEEKN/2019100001EX.dat"));
}

}  // namespace
