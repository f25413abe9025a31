#include "records/decoders.h"

#include <cstddef>
#include <cstdint>

namespace records {

void DecodeRA(std::string_view record, RecordRA& out) { out.Assign(record); }
void DecodeSE(std::string_view record, RecordSE& out) { out.Assign(record); }
void DecodeHR(std::string_view record, RecordHR& out) { out.Assign(record); }
void DecodeUM(std::string_view record, RecordUM& out) { out.Assign(record); }
void DecodeKS(std::string_view record, RecordKS& out) { out.Assign(record); }
void DecodeO1(std::string_view record, RecordO1& out) { out.Assign(record); }
void DecodeO2(std::string_view record, RecordO2& out) { out.Assign(record); }
void DecodeO4(std::string_view record, RecordO4& out) { out.Assign(record); }
void DecodeO5(std::string_view record, RecordO5& out) { out.Assign(record); }
void DecodeO6(std::string_view record, RecordO6& out) { out.Assign(record); }

namespace {

// Where the stored form has the received widths, every field lands where it was: the stored
// record is the received bytes, blank-padded where the record came short.
template <class L>
void PackSameWidths(const Record<L>& decoded, StoredRecord<L>& stored) {
    stored.Assign(decoded.Bytes());
}

}  // namespace

void PackRecordRA(const RecordRA& decoded, StoredRA& stored) { PackSameWidths(decoded, stored); }
void PackRecordSE(const RecordSE& decoded, StoredSE& stored) { PackSameWidths(decoded, stored); }
void PackRecordHR(const RecordHR& decoded, StoredHR& stored) { PackSameWidths(decoded, stored); }
void PackRecordUM(const RecordUM& decoded, StoredUM& stored) { PackSameWidths(decoded, stored); }

void PackRecordKS(const RecordKS& decoded, StoredKS& stored) {
    // The two forms share one table; walk the received fields in order and put each at the
    // next stored position in its stored width.
    std::string bytes(static_cast<std::size_t>(kLength<LayoutKSStored>), ' ');
    std::size_t at = 0;
    ForEachField<LayoutKS>(decoded.Bytes(), [&](int item, std::string_view field) {
        const auto width = static_cast<std::size_t>(LayoutKS::kItems[static_cast<std::size_t>(item)].storedWidth);
        FitInto(field, bytes.data() + at, width);
        at += width;
    });
    stored.Assign(bytes);
}

}  // namespace records
