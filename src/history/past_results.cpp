#include "history/past_results.h"

namespace history {

PastResultsLoad LoadPastResults(common::Host& host) {
    PastResultsLoad load;
    load.days = ScanTekichuDays(host);
    load.rebuild = RebuildSokudoFiles(host);
    return load;
}

std::string PastResultsEndText(int failures) {
    std::string text = "過去の予想成績終了";
    if (failures > 0) text += "　エラー" + std::to_string(failures) + "件（ERRORLOG.txt）";
    return text;
}

}  // namespace history
