#pragma once

#include <memory>
#include <string>

#include "webexport/day_texts.h"
#include "webexport/page_template.h"
#include "webexport/page_values.h"
#include "webexport/site_config.h"
#include "workbench/race_state.h"
#include "workbench/race_writer.h"

// The print page of a meeting day, tarnel_paddy_wp/<yyyymmdd>_<romaji>_pdf.txt: one whole page in
// the race page's template, with a section per race and no advertising, analytics or sub-navigation.
namespace webexport {

/// The page head, with the values of the race that starts the day file.
std::string ComposePrintHead(const Placeholders& raceValues);

/// The race's section (the race navigation, the race line, the tickets and the race card); empty
/// when no runner of the race is ranked first.
std::string ComposePrintSection(const workbench::RaceState& race, const Placeholders& raceValues);

/// The page foot.
std::string ComposePrintFoot(const Placeholders& raceValues);

/// WriteDayPrintPage of the weekly batch: adds the race's section to its day's page of this run
/// and rewrites the day file whole, head, sections so far and foot.
class DayPrintPageWriter final : public workbench::RaceWriter {
public:
    explicit DayPrintPageWriter(std::shared_ptr<const SiteConfig> config);
    void WriteRace(workbench::RaceContext& context) override;

private:
    std::shared_ptr<const SiteConfig> config_;
    DayTexts texts_;
};

}  // namespace webexport
