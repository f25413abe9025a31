#include "history/past_results.h"

#include "history/told_failures.h"

namespace history {

PastResultsLoad LoadPastResults(common::Host& host) {
    PastResultsLoad load;
    load.days = ScanTekichuDays(host);
    load.rebuild = RebuildSokudoFiles(host);
    return load;
}

std::string PastResultsEndText(int failures, const std::vector<std::string>& unfinished) {
    return EndTextWithFailures("過去の予想成績終了", failures, unfinished);
}

}  // namespace history
