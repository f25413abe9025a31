#include "writers/race_writers.h"

#include "reports/lup_race.h"
#include "reports/shutsubahyo_race.h"
#include "webexport/race_page.h"
#include "supplementary/labelled_report.h"
#include "supplementary/pc_day_report.h"
#include "supplementary/speed_writer.h"
#include "supplementary/win_bet_csv.h"
#include "supplementary/win_place_csv.h"

namespace writers {

const std::array<workbench::RaceWriterEntry, kRaceWriterCount> kRaceWriters{{
    {"WriteShutsubahyoRace", [] { return std::make_unique<reports::ShutsubahyoRaceWriter>(); }},  // race card, SHUTSUBAHYO
    {"WriteLupRace", [] { return std::make_unique<reports::LupRaceWriter>(); }},  // result report, TEKICHU; adds to the tiered tally
    {"WriteLupPcRace", [] { return std::make_unique<supplementary::LupPcRaceWriter>(); }},  // PC-variant report, TEKICHU; adds to the PC tally
    {"WriteTwiRace", [] { return std::make_unique<supplementary::TwiRaceWriter>(); }},  // labelled report, TEKICHU
    {"WriteTanfuku1", [] { return std::make_unique<supplementary::TanfukuWriter>(1); }},  // win/place csv of the first-ranked horse, TANFUKU
    {"WriteTanfuku2", [] { return std::make_unique<supplementary::TanfukuWriter>(2); }},  // the same of the second-ranked horse, TANFUKU2
    {"WriteTanshoCsv", [] { return std::make_unique<supplementary::TanshoCsvWriter>(); }},  // win betting file, TANSHO
    {"WriteDayBlockText", {}},     // the day's block-editor text, tarnel_paddy_wp
    {"WriteRacePage", [] { return std::make_unique<webexport::RacePageWriter>(webexport::RunSiteConfig()); }},  // the race's web page, tarnel_paddy_yosou
    {"WriteDayPrintPage", {}},     // the day's print page, tarnel_paddy_wp
    {"WriteSokudoHrCsv", [] { return std::make_unique<supplementary::SokudoHrCsvWriter>(); }},  // the day's speed file, SOKUDO
}};

}  // namespace writers
