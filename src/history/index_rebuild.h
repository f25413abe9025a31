#pragma once

#include <string>
#include <vector>

#include "common/host.h"

// The external index of the outside race-analysis program, rebuilt for every stored day at once
// from the result reports that earlier runs left in TEKICHU.
namespace history {

struct IndexRebuild {
    int races = 0;       // lines written to SOKUDO/RACEID.txt
    int speedLines = 0;  // lines written to the SOKUDO/HR<date>.csv files
    int dates = 0;       // speed files written
    int passedOver = 0;  // failures written to ERRORLOG.txt
    std::vector<std::string> unfinishedInputs;  // end-text parts: marked steps whose files were read unfinished
};

/// Rewrites SOKUDO/RACEID.txt with the races of the days in TEKICHU/RACEIDYMDLKN.txt, in its
/// order, and the SOKUDO/HR<yyyymmdd>.csv of every date that has a race there, each from the
/// day's lupRCM.txt; other dates' files stay untouched. Each file is built whole and written once.
/// A listed day whose report is there but holds no race is logged and counted, and its date's
/// file stays as it was; one whose report is missing keeps RACEID.txt as well. A day-key list that
/// cannot be read, or that is missing or holds no key while TEKICHU holds stored days, is logged
/// and counted, and RACEID.txt stays as it was. Text6 shows the start and every race. INDEXREBUILD.mark stands from the
/// start of the rebuild to its end.
IndexRebuild RebuildSokudoFiles(common::Host& host);

}  // namespace history
