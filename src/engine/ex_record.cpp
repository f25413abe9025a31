#include "engine/ex_record.h"

#include <cstring>
#include <stdexcept>

#include "common/numbers.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "records/record_check.h"

namespace engine {

namespace {

using Ref = records::Ref<LayoutEx>;

constexpr auto kSpeedText = records::Locate<LayoutEx>("SpeedText");
constexpr auto kCategoryIndex = records::Locate<LayoutEx>("CategoryIndex");
constexpr auto kExFloats = records::Locate<LayoutEx>("ExFloats");

static_assert(kExFloats.offset == static_cast<int>(ExRecord::kFloatsOffset));
static_assert(kSpeedText.Occurrences() == speed_text::kCount && kExFloats.Occurrences() == ex_float::kCount);

/// The fields the builder writes as blanks and nothing else sets.
constexpr Ref kReserved[] = {
    records::Locate<LayoutEx>("ExReserved1"),
    records::Locate<LayoutEx>("SaleBlock"),
    records::Locate<LayoutEx>("ExPedigree.Block1.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block1.SanchiName"),
    records::Locate<LayoutEx>("ExPedigree.Block2.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block2.SanchiName"),
    records::Locate<LayoutEx>("ExPedigree.Block4.HansyokuNum"),
    records::Locate<LayoutEx>("ExPedigree.Block4.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block4.SanchiName"),
    records::Locate<LayoutEx>("ExPedigree.Block5.HansyokuNum"),
    records::Locate<LayoutEx>("ExPedigree.Block5.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block5.SanchiName"),
    records::Locate<LayoutEx>("ExPedigree.Block6.HansyokuNum"),
    records::Locate<LayoutEx>("ExPedigree.Block6.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block6.SanchiName"),
    records::Locate<LayoutEx>("ExPedigree.Block7.HansyokuNum"),
    records::Locate<LayoutEx>("ExPedigree.Block7.BirthYear"),
    records::Locate<LayoutEx>("ExPedigree.Block7.SanchiName"),
};

}  // namespace

int ItemLabelWidth(int k) {
    if (k < 1 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    return ex::ItemLabel[static_cast<std::size_t>(k)].width;
}

std::string_view ItemName(int k) {
    if (k < 1 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    return LayoutEx::kItems[static_cast<std::size_t>(ex::ItemLabel[static_cast<std::size_t>(k)].item)].name;
}

ExRecord::ExRecord() : bytes_(kLength, '\0') {}

namespace {

void CheckLength(std::size_t length) {
    if (length != ExRecord::kLength)
        throw std::invalid_argument("an expanded record has " + std::to_string(ExRecord::kLength) + " bytes, not " +
                                    std::to_string(length));
}

}  // namespace

ExRecord ExRecord::FromBytes(std::string_view bytes) {
    CheckLength(bytes.size());
    ExRecord record;
    record.bytes_.assign(bytes);
    return record;
}

ExRecord ExRecord::FromBytes(std::string&& bytes) {
    CheckLength(bytes.size());
    return ExRecord(std::move(bytes));
}

int ExRecord::OffsetOf(Ref ref, int i, int j, int k) const {
    const int at = ref.Offset(i, j, k);
    if (at < 0 || ref.item < 0) throw std::out_of_range("field index outside the expanded record");
    return at;
}

int ExRecord::Item(int k) {
    if (k < 0 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    return k;
}

void ExRecord::Set(Ref ref, std::string_view value, int i, int j, int k) {
    const int at = OffsetOf(ref, i, j, k);
    records::FitInto(value, bytes_.data() + at, static_cast<std::size_t>(ref.width));
}

void ExRecord::Clear(Ref ref, int i, int j, int k) {
    const int at = OffsetOf(ref, i, j, k);
    std::memset(bytes_.data() + at, 0, static_cast<std::size_t>(ref.width));
}

void ExRecord::CopyElements(const ExRecord& from, Ref ref, int first, int last) {
    if (ref.dims != 1 || ref.strides[0] != ref.width || first > last)
        throw std::out_of_range("elements that do not lie back to back");
    const int at = OffsetOf(ref, first, 0, 0);
    const int end = OffsetOf(ref, last, 0, 0) + ref.width;
    std::memcpy(bytes_.data() + at, from.bytes_.data() + at, static_cast<std::size_t>(end - at));
}

void ExRecord::BlankReservedFields() {
    for (const Ref& ref : kReserved) std::memset(bytes_.data() + ref.offset, ' ', static_cast<std::size_t>(ref.width));
}

std::string_view ExRecord::SpeedText(int i) const {
    return std::string_view(bytes_).substr(static_cast<std::size_t>(OffsetOf(kSpeedText, i, 0, 0)), 7);
}

void ExRecord::SetSpeedText(int i, std::string_view text) { Set(kSpeedText, text, i); }

std::string_view ExRecord::ItemLabel(int k) const {
    if (k < 1 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    const Ref& ref = ex::ItemLabel[static_cast<std::size_t>(k)];
    return std::string_view(bytes_).substr(static_cast<std::size_t>(ref.offset), static_cast<std::size_t>(ref.width));
}

void ExRecord::SetItemLabel(int k, std::string_view label) {
    if (k < 1 || k > 30) throw std::out_of_range("model item " + std::to_string(k));
    Set(ex::ItemLabel[static_cast<std::size_t>(k)], label);
}

std::string_view ExRecord::CategoryIndex(int k) const {
    return std::string_view(bytes_).substr(static_cast<std::size_t>(OffsetOf(kCategoryIndex, k, 0, 0)), 4);
}

void ExRecord::SetCategoryIndex(int k, std::string_view text) { Set(kCategoryIndex, text, k); }

float ExRecord::Float(int i) const {
    return common::FloatFromLittleEndian(bytes_.data() + OffsetOf(kExFloats, i, 0, 0));
}

void ExRecord::SetFloat(int i, float value) {
    common::FloatToLittleEndian(value, bytes_.data() + OffsetOf(kExFloats, i, 0, 0));
}

ExRecordFile::ExRecordFile(std::filesystem::path path) : file_(std::move(path), ExRecord::kLength) {}

ExRecordFile ExRecordFile::OfHorse(std::string_view kettoNum) {
    if (!common::IsSafeKey(kettoNum))
        throw std::invalid_argument("KettoNum \"" + std::string(kettoNum) + "\" cannot name a file");
    return ExRecordFile(common::AppPath(std::string(kExFolder) + "/" + std::string(kettoNum) + "EX.dat"));
}

ExRecord ExRecordFile::Read(std::int64_t n) const {
    const std::string bytes = file_.Read(n);
    if (bytes.size() != ExRecord::kLength)
        throw std::out_of_range("no record " + std::to_string(n) + " in " + file_.Path().string());
    return ExRecord::FromBytes(bytes);
}

std::vector<ExRecord> ExRecordFile::ReadAll(std::string_view step, std::int64_t* passedOver) const {
    std::vector<ExRecord> records;
    records::RecordFileCheck check(step, file_.Path(), kExKind, ExRecord::kLength, file_.Size());
    file_.ForEach([&](std::int64_t n, std::string_view bytes) {
        if (check.Sound(n, bytes)) records.push_back(ExRecord::FromBytes(bytes));
    });
    check.Finish();
    if (passedOver) *passedOver = check.PassedOver();
    return records;
}

void ExRecordFile::Write(std::int64_t n, const ExRecord& record) const { file_.Write(n, record.Bytes()); }

std::int64_t ExRecordFile::Append(const ExRecord& record) const { return file_.Append(record.Bytes()); }

void ExRecordFile::MakeEmpty() const { common::TruncateFile(file_.Path()); }

}  // namespace engine
