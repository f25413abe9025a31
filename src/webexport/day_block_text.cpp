#include "webexport/day_block_text.h"

#include <string_view>

#include "webexport/html.h"

namespace webexport {
namespace {

void Line(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

// The table block's opening (lines 4 to 7) and closing (lines 11 to 14), twice in every block.
void OpenTable(std::string& out) {
    Line(out, "<!-- wp:table -->");
    Line(out, "<figure class=\"wp-block-Table\">");
    Line(out, "<table class=\"\">");
    Line(out, "<tbody>");
}

void CloseTable(std::string& out) {
    Line(out, "</tbody>");
    Line(out, "</table>");
    Line(out, "</figure>");
    Line(out, "<!-- /wp:table -->");
}

// A cell's value, escaped, between two fixed texts.
void Cell(std::string& out, std::string_view value, std::string_view after) {
    AppendEscaped(out, value);
    out += after;
}

}  // namespace

std::string ComposeRaceBlock(const workbench::RaceState& race, const PageValues& page) {
    if (!HasTopRankedRunner(race)) return {};
    const RaceTitleTexts title = RaceTitle(race);
    std::string out;
    out.reserve(2048);
    Line(out, "<!-- wp:heading -->");
    out += "<h2><strong>";
    Cell(out, title.RaceNumber, "R ");
    Cell(out, title.Track, " ");
    Cell(out, title.Distance, "m 発走 ");
    Cell(out, title.PostHour, "：");
    Cell(out, title.PostMinute, "</strong></h2>\r\n");
    Line(out, "<!-- /wp:heading -->");

    OpenTable(out);
    Line(out, "<tr><th>単勝・複勝</th><td>出馬表の予想順位を参考にして下さい</td></tr>");
    Line(out, "<tr><th>馬連・馬単</th><td>" + JoinedPairTickets(page, "・") + "</td></tr>");
    Line(out, "<tr><th>3連複・3連単</th><td>" + JoinedTrioTickets(page, "・") + "</td></tr>");
    CloseTable(out);

    OpenTable(out);
    Line(out, "<tr><th>枠</th><th>馬番</th><th>予想</th><th>馬名</th><th>性齢</th><th>負担重量</th><th>騎手</th>"
              "<th>調教師</th></tr>");
    for (const RaceCardRow& row : RaceCardRows(race)) {
        out += "<tr><td><strong>";
        Cell(out, row.GateText, "</strong></td><td>");
        Cell(out, std::to_string(row.HorseNo), "</td><td>");
        Cell(out, row.RankText, "</td><td>");
        Cell(out, row.HorseName, "</td><td>");
        AppendEscaped(out, row.Sex);
        Cell(out, row.AgeText, "</td><td>");
        Cell(out, row.Weight, "kg</td><td>");
        Cell(out, row.Jockey, "</td><td>");
        Cell(out, row.Trainer, "</td></tr>\r\n");
    }
    CloseTable(out);
    return out;
}

void DayBlockTextWriter::WriteRace(workbench::RaceContext& context) {
    WriteDayFile(context, texts_, DayBlockFile, [&](const PageValues& page, const DayText* before) {
        DayText added{ComposeRaceBlock(context.race, page), before ? before->Tail : std::string()};
        // "Finish" follows race 12 of the day, and stays last when the day's races go on after it.
        if (page.PageRaceNo == "12") added.Tail = kDayFinishLine;
        return added;
    });
}

}  // namespace webexport
