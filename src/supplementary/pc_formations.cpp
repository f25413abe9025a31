#include "supplementary/pc_formations.h"

#include <vector>

#include "common/numbers.h"
#include "reports/report_lines.h"
#include "supplementary/pc_ticket_counts.h"
#include "workbench/race_info_table.h"

namespace supplementary {

PcWidths PcKaimeWidths(std::string_view torokuTosu, std::string_view spread) {
    const double v = common::Val(torokuTosu);
    if (v >= 1 && v <= 4) return {4, 4, 4, 4};
    if (v == 5) return {5, 5, 5, 5};
    if (v == 6) return {6, 5, 6, 5};
    if (v == 7) return {6, 5, 7, 5};
    const bool narrow = common::Val(spread) > 30;
    if (v == 8) return narrow ? PcWidths{6, 5, 8, 5} : PcWidths{7, 6, 8, 6};
    return narrow ? PcWidths{6, 5, 8, 5} : PcWidths{7, 6, 9, 6};
}

std::string WriteLupPcKaime(const workbench::RaceState& race) {
    const PcWidths w = PcKaimeWidths(race.TorokuTosu, race.RaceInfo[workbench::info::kSpread]);
    struct Line {
        const char* tag;
        int first, last;
    };
    const Line lines[] = {{"TF1", 1, 1}, {"TF2", 2, 2}, {"UF1", 1, 3}, {"UF2", 1, w.E}, {"UBX", 1, w.G},
                          {"S11", 1, 1}, {"S12", 2, 2}, {"S1A", 3, w.X}, {"S21", 2, 2}, {"S22", 3, 3},
                          {"S2A", 4, w.X}, {"S31", 1, 1}, {"S32", 3, 3}, {"S3A", 4, w.X}, {"SBX", 1, w.U}};
    std::string out;
    for (const Line& line : lines) {
        std::vector<common::Field> horses;
        for (int k = line.first; k <= line.last; ++k)
            if (const int h = HorseAtRank(race, k)) horses.emplace_back(reports::HorseText(h));
        out += reports::ReportLine(line.tag, horses);
    }
    return out;
}

}  // namespace supplementary
