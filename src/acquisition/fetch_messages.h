#pragma once

#include <string_view>

// Texts and limits shared by the data-service fetches. A return code follows the "RC=" texts
// directly, as the data service returned it.
namespace acquisition {

inline constexpr std::string_view kJVInitError = "JVInitエラー。RC=";
inline constexpr std::string_view kJVOpenError = "JVOpenエラー。RC=";
/// With a blank before RC, as the users have always seen it.
inline constexpr std::string_view kJVReadError = "JVReadエラー。 RC=";
inline constexpr std::string_view kNoData = "該当するデータがありません。";
inline constexpr std::string_view kDownloadFailed = "ダウンロード失敗。RC=";
inline constexpr std::string_view kSettingsFailed = "エラーのためJV-Linkの設定に失敗しました。";

/// Stored-data opens: from the beginning of time, option 2 (this week's data).
inline constexpr std::string_view kFromTimeAll = "00000000000000";
inline constexpr int kOpenOptionThisWeek = 2;

/// The read buffer handed to every JVRead: 128000 NUL characters and that size.
inline constexpr int kReadBufferSize = 128000;

/// A damaged file is deleted and the open repeated at most this often per file name; after that
/// the damage is reported like a read error, so a file that never comes down sound cannot keep
/// the fetch going round.
inline constexpr int kMaxReopensPerFile = 3;
/// Reads in a row that deliver no record (next-file marks, reopens) before a read loop gives up:
/// far more files than any week has.
inline constexpr long kMaxReadsWithoutRecord = 100000;
/// Reads of one fetch before its loop gives up: many times a full week's records.
inline constexpr long kMaxReadsPerFetch = 20000000;

}  // namespace acquisition
