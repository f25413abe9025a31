#pragma once

#include <string_view>

#include "records/layouts.h"
#include "records/record.h"

// The decoded records of every kind, their stored forms, and the decoders and packers that the
// fetches use. Decoding copies the received bytes once; fields are found by offset afterwards.
namespace records {

using RecordHeader = RecordView<LayoutHeader>;
using RaceId = RecordView<LayoutRaceId>;

using RecordRA = Record<LayoutRA>;
using RecordSE = Record<LayoutSE>;
using RecordHR = Record<LayoutHR>;
using RecordUM = Record<LayoutUM>;
using RecordKS = Record<LayoutKS>;
using RecordO1 = Record<LayoutO1>;
using RecordO2 = Record<LayoutO2>;
using RecordO4 = Record<LayoutO4>;
using RecordO5 = Record<LayoutO5>;
using RecordO6 = Record<LayoutO6>;

using StoredRA = StoredRecord<LayoutRA>;
using StoredSE = StoredRecord<LayoutSE>;
using StoredHR = StoredRecord<LayoutHR>;
using StoredUM = StoredRecord<LayoutUM>;
using StoredKS = StoredRecord<LayoutKSStored>;

/// Sets every field of `out` from the received record bytes (Shift-JIS). Bytes past the layout
/// are ignored; a short record leaves the later fields short or empty. Never fails.
void DecodeRA(std::string_view record, RecordRA& out);
void DecodeSE(std::string_view record, RecordSE& out);
void DecodeHR(std::string_view record, RecordHR& out);
void DecodeUM(std::string_view record, RecordUM& out);
void DecodeKS(std::string_view record, RecordKS& out);
void DecodeO1(std::string_view record, RecordO1& out);
void DecodeO2(std::string_view record, RecordO2& out);
void DecodeO4(std::string_view record, RecordO4& out);
void DecodeO5(std::string_view record, RecordO5& out);
void DecodeO6(std::string_view record, RecordO6& out);

/// Sets every field of the stored record from the decoded one, field by field at the stored
/// widths: a received record's bytes come back unchanged, missing bytes as blanks; the twelve
/// KS money fields keep their left 9 bytes.
void PackRecordRA(const RecordRA& decoded, StoredRA& stored);
void PackRecordSE(const RecordSE& decoded, StoredSE& stored);
void PackRecordHR(const RecordHR& decoded, StoredHR& stored);
void PackRecordUM(const RecordUM& decoded, StoredUM& stored);
void PackRecordKS(const RecordKS& decoded, StoredKS& stored);

}  // namespace records
