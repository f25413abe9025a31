#pragma once

#include <array>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A step that rewrites many files leaves a mark in the application folder while it works. A mark
// that stands when no step works was left by a run that did not end (the program was ended, or a
// failure escaped the step): that step's files are then partly new and partly old. The start-up
// names every such step, and a step that reads what one of them writes says so in its end text.
namespace common {

enum class MarkedStep {
    Structures,          // structure building (②)
    Cancellation,        // race cancellation (② with the cancellation option)
    DayBeforeFix,        // ④
    Computation,         // ⑤
    WeeklyBatch,         // ⑥
    WeekOddsTables,      // "オッズ処理"
    BreakingOddsTables,  // Ⅳ
    BreakingPayouts,     // Ⅲ
    IndexRebuild,        // the external index, rebuilt by "過去予想成績"
    AtariList,           // "万馬券リスト"
};

struct StepMark {
    MarkedStep step;
    std::string_view markFile;    // under AppFolder
    std::string_view name;        // the user's name of the step, as its button says it
    std::string_view markText;    // the mark's content, before the time the run started
    std::string_view unfinished;  // what the start-up says while the mark stands
    std::string_view runFirst;    // the steps that write what this one reads, as their buttons say, in order
};

/// Every marked step, in the order of the week.
inline constexpr std::array<StepMark, 10> kStepMarks{{
    {MarkedStep::Structures, "STRUCTURES.mark", "②構造・中止処理", "structure building",
     "前回の構造体処理が終了していません。②構造・中止処理をもう一度実行して下さい。", "①"},
    // Its sorted race file comes from structure building in the same click: missing, ① has not run.
    {MarkedStep::Cancellation, "CANCELLATION.mark", "②中止処理", "race cancellation",
     "前回の中止処理が終了していません。中止処理を選択して②構造・中止処理をもう一度実行して下さい。", "①"},
    {MarkedStep::DayBeforeFix, "DAYBEFOREFIX.mark", "④前日固定", "day-before fix",
     "前回の前日固定が終了していません。④前日固定をもう一度実行して下さい。", "①②"},
    // The computation's mark kept its name and its texts from before the other steps had marks.
    {MarkedStep::Computation, "COMPUTING.mark", "⑤計算", "computation",
     "前回の計算が終了していません。⑤計算をもう一度実行して下さい。", "①②"},
    {MarkedStep::WeeklyBatch, "WEEKLYBATCH.mark", "⑥予想・結果", "weekly batch",
     "前回の予想・結果が終了していません。⑥予想・結果をもう一度実行して下さい。", "①②⑤"},
    {MarkedStep::WeekOddsTables, "ODDSTABLES.mark", "オッズ処理", "odds tables",
     "前回のオッズ処理が終了していません。オッズ処理をもう一度実行して下さい。", "今週オッズ取得"},
    {MarkedStep::BreakingOddsTables, "BREAKINGODDSTABLES.mark", "Ⅳ速報処理", "breaking odds tables",
     "前回の速報オッズ処理が終了していません。Ⅳ速報処理(一括）をもう一度実行して下さい。", "Ⅱ速報オッズ情報"},
    // The race files of ① and ②, and the runner files of ⑥ it writes the results into.
    {MarkedStep::BreakingPayouts, "BREAKINGPAYOUTS.mark", "Ⅲ速報着順等情報", "breaking payouts",
     "前回の速報払戻等取得が終了していません。Ⅲ速報着順等情報をもう一度実行して下さい。", "①②⑤⑥"},
    // Past weeks' result reports: no step of this week writes what they miss.
    {MarkedStep::IndexRebuild, "INDEXREBUILD.mark", "過去予想成績", "external index",
     "前回のTGFの外部指数作成が終了していません。過去予想成績をもう一度実行して下さい。", ""},
    {MarkedStep::AtariList, "ATARILIST.mark", "万馬券リスト", "hit list",
     "前回の過去の的中リストが終了していません。万馬券リストをもう一度実行して下さい。", ""},
}};

constexpr const StepMark& MarkOf(MarkedStep step) {
    for (const StepMark& mark : kStepMarks)
        if (mark.step == step) return mark;
    throw std::invalid_argument("not a marked step");
}

/// Sets the step's mark ("<markText> started yyyy/mm/dd hh:mm:ss", CR LF), through a scratch file
/// and a rename. Throws when it cannot be written: the caller passes that over as one of its
/// failures.
void SetStepMark(MarkedStep step);
/// Removes the step's mark once its run has ended, whatever it passed over. Throws when it cannot.
void ClearStepMark(MarkedStep step);

/// True when the step's mark is in the application folder.
bool StepMarkStands(MarkedStep step);
/// The steps whose marks stand, in table order.
std::vector<MarkedStep> StandingStepMarks();

/// The marked steps whose outputs `reader` reads.
std::span<const MarkedStep> MarkedInputsOf(MarkedStep reader);

/// What an end text's note says when `reader` found the input another step writes missing or
/// empty: the steps to run first, "先に①②⑤を実行して下さい" ("" for a step no step of the week
/// feeds). Its place is after the note's other parts (common::PassedOverNote).
std::string RunFirstPart(MarkedStep reader);

/// For each marked step whose outputs `reader` reads and whose mark stands: the part of the end
/// text's note that names it ("<name>が途中で終了しています"), logged under `logStep`.
std::vector<std::string> UnfinishedInputParts(MarkedStep reader, std::string_view logStep);

}  // namespace common
