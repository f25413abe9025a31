#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "history/index_rebuild.h"
#include "history/meeting_scan.h"

// What the past-results window does while it loads, and what the main menu says around it.
namespace history {

inline constexpr std::string_view kPastResultsStartText =
    "過去の予想成績を開始しました。しばらくお待ちください。。。。。。。";

struct PastResultsLoad {
    PastDayList days;
    IndexRebuild rebuild;
    int Failures() const { return days.passedOver + rebuild.passedOver; }
};

/// The load of the past-results window: the stored-day scan, then the rebuild of the external
/// index over the days it found. No window events run.
PastResultsLoad LoadPastResults(common::Host& host);

/// The main menu's end text: "過去の予想成績終了", and "　エラー" n "件（ERRORLOG.txt）" when the load
/// passed failures over, and the note that names the marked steps whose files the load read
/// unfinished.
std::string PastResultsEndText(int failures, const std::vector<std::string>& unfinished = {});

}  // namespace history
