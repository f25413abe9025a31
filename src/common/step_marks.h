#pragma once

#include <array>
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
    WeeklyFetch,         // ①, while it puts the new week files in place of the old
    Structures,          // structure building (②)
    Cancellation,        // race cancellation (② with the cancellation option)
    DayBeforeFix,        // ④
    Computation,         // ⑤
    WeeklyBatch,         // ⑥
    OddsFetch,           // "今週のオッズ", while it puts the new odds files in place of the old
    TrifectaFetch,       // "今週の3連単", likewise
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
    std::string_view button;      // the button that runs it, as the run-first texts name it (RunFirstPart)
};

/// Every marked step, in the order of the week.
inline constexpr std::array<StepMark, 13> kStepMarks{{
    // A fetch reads into scratch files and marks only its renames: a fetch cut short before them
    // leaves last week's files whole.
    {MarkedStep::WeeklyFetch, "WEEKLYFETCH.mark", "①今週開催取得", "weekly fetch",
     "前回の今週開催取得が終了していません。①今週開催取得をもう一度実行して下さい。", "①"},
    {MarkedStep::Structures, "STRUCTURES.mark", "②構造・中止処理", "structure building",
     "前回の構造体処理が終了していません。②構造・中止処理をもう一度実行して下さい。", "②"},
    // Its sorted race file comes from structure building in the same click: missing, ① has not run.
    {MarkedStep::Cancellation, "CANCELLATION.mark", "②中止処理", "race cancellation",
     "前回の中止処理が終了していません。中止処理を選択して②構造・中止処理をもう一度実行して下さい。", "②"},
    {MarkedStep::DayBeforeFix, "DAYBEFOREFIX.mark", "④前日固定", "day-before fix",
     "前回の前日固定が終了していません。④前日固定をもう一度実行して下さい。", "④"},
    // The computation's mark kept its name and its texts from before the other steps had marks.
    {MarkedStep::Computation, "COMPUTING.mark", "⑤計算", "computation",
     "前回の計算が終了していません。⑤計算をもう一度実行して下さい。", "⑤"},
    {MarkedStep::WeeklyBatch, "WEEKLYBATCH.mark", "⑥予想・結果", "weekly batch",
     "前回の予想・結果が終了していません。⑥予想・結果をもう一度実行して下さい。", "⑥"},
    // Both buttons of the odds window, which the main menu's "今週オッズ取得" opens.
    {MarkedStep::OddsFetch, "ODDSFETCH.mark", "今週のオッズ", "odds fetch",
     "前回のオッズ取得が終了していません。今週オッズ取得の今週のオッズをもう一度実行して下さい。", "今週オッズ取得"},
    {MarkedStep::TrifectaFetch, "TRIFECTAFETCH.mark", "今週の3連単", "trifecta odds fetch",
     "前回の3連単オッズ取得が終了していません。今週オッズ取得の今週の3連単をもう一度実行して下さい。", "今週オッズ取得"},
    {MarkedStep::WeekOddsTables, "ODDSTABLES.mark", "オッズ処理", "odds tables",
     "前回のオッズ処理が終了していません。オッズ処理をもう一度実行して下さい。", "オッズ処理"},
    {MarkedStep::BreakingOddsTables, "BREAKINGODDSTABLES.mark", "Ⅳ速報処理", "breaking odds tables",
     "前回の速報オッズ処理が終了していません。Ⅳ速報処理(一括）をもう一度実行して下さい。", "Ⅳ"},
    {MarkedStep::BreakingPayouts, "BREAKINGPAYOUTS.mark", "Ⅲ速報着順等情報", "breaking payouts",
     "前回の速報払戻等取得が終了していません。Ⅲ速報着順等情報をもう一度実行して下さい。", "Ⅲ"},
    {MarkedStep::IndexRebuild, "INDEXREBUILD.mark", "過去予想成績", "external index",
     "前回のTGFの外部指数作成が終了していません。過去予想成績をもう一度実行して下さい。", "過去予想成績"},
    {MarkedStep::AtariList, "ATARILIST.mark", "万馬券リスト", "hit list",
     "前回の過去の的中リストが終了していません。万馬券リストをもう一度実行して下さい。", "万馬券リスト"},
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

/// The marked steps whose outputs `reader` reads, in table order.
std::vector<MarkedStep> MarkedInputsOf(MarkedStep reader);

/// What an end text's note says when `reader` found the input another step writes missing or
/// empty: the buttons of the steps it cannot do without, and of those they cannot do without, in
/// the order of the week, "先に①②⑤を実行して下さい" ("" for a step no step of the week feeds).
/// Its place is after the note's other parts (common::PassedOverNote).
std::string RunFirstPart(MarkedStep reader);

/// For each marked step whose outputs `reader` reads and whose mark stands: the part of the end
/// text's note that names it ("<name>が途中で終了しています"), logged under `logStep`.
std::vector<std::string> UnfinishedInputParts(MarkedStep reader, std::string_view logStep);

}  // namespace common
