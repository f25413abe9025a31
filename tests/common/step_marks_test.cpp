#include "common/step_marks.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/file_faults.h"
#include "common/missing_input.h"
#include "support/temp_folder.h"

namespace {

using common::MarkedStep;
using ::testing::HasSubstr;

// Every step has a mark of its own, and the computation's kept the name and texts it had.
TEST(StepMarks, EachStepHasItsOwnMarkAndTheComputationKeepsItsOwn) {
    std::set<std::string_view> files, names;
    for (const common::StepMark& mark : common::kStepMarks) {
        EXPECT_TRUE(files.insert(mark.markFile).second) << mark.markFile;
        EXPECT_TRUE(names.insert(mark.name).second) << mark.name;
        EXPECT_TRUE(std::string_view(mark.markFile).ends_with(".mark")) << mark.markFile;
    }
    const common::StepMark& computation = common::MarkOf(MarkedStep::Computation);
    EXPECT_EQ(computation.markFile, "COMPUTING.mark");
    EXPECT_EQ(computation.unfinished, "前回の計算が終了していません。⑤計算をもう一度実行して下さい。");
}

// A step whose input an earlier step writes names, when it finds it missing, the steps to run
// first, in the order of the week; the note gives it a sentence of its own after what was missing.
TEST(StepMarks, AStepMissingItsInputNamesTheStepsToRunFirst) {
    struct Case {
        MarkedStep reader;
        std::string part;
    };
    const std::vector<Case> cases = {
        {MarkedStep::WeeklyFetch, ""},
        {MarkedStep::Structures, "先に①を実行して下さい"},
        {MarkedStep::Cancellation, "先に①を実行して下さい"},
        {MarkedStep::DayBeforeFix, "先に①②を実行して下さい"},
        {MarkedStep::Computation, "先に①②を実行して下さい"},
        {MarkedStep::WeeklyBatch, "先に①②⑤を実行して下さい"},
        {MarkedStep::OddsFetch, ""},
        {MarkedStep::TrifectaFetch, ""},
        {MarkedStep::WeekOddsTables, "先に今週オッズ取得を実行して下さい"},
        {MarkedStep::BreakingOddsTables, "先にⅡ速報オッズ情報を実行して下さい"},
        {MarkedStep::BreakingPayouts, "先に①②⑤⑥を実行して下さい"},
        {MarkedStep::IndexRebuild, ""},
        {MarkedStep::AtariList, ""},
    };
    ASSERT_EQ(cases.size(), common::kStepMarks.size());
    for (const Case& c : cases) EXPECT_EQ(common::RunFirstPart(c.reader), c.part) << common::MarkOf(c.reader).name;

    const std::string runFirst = common::RunFirstPart(MarkedStep::WeeklyBatch);
    EXPECT_EQ(common::PassedOverNote({"対象のレースがありません"}, runFirst),
              "（対象のレースがありません。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(common::PassedOverNote({"入力ファイルの一部がありません", "処理できなかった手順 1 件"}, runFirst),
              "（入力ファイルの一部がありません、処理できなかった手順 1 件。先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(common::PassedOverNote({}, runFirst), "（先に①②⑤を実行して下さい。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(common::PassedOverNote({"処理できなかった手順 1 件"}), "（処理できなかった手順 1 件。ERRORLOG.txtを確認して下さい。）");
    EXPECT_EQ(common::PassedOverNote({}), "");
}

TEST(StepMarks, SetStandsUntilClearedAndAMarkThatCannotBeWrittenThrows) {
    testsupport::TempAppFolder folder;
    for (const common::StepMark& mark : common::kStepMarks) {
        SCOPED_TRACE(mark.markFile);
        common::SetStepMark(mark.step);
        EXPECT_TRUE(common::StepMarkStands(mark.step));
        EXPECT_THAT(folder.Read(mark.markFile), ::testing::StartsWith(std::string(mark.markText) + " started "));
        EXPECT_THAT(common::StandingStepMarks(), ::testing::ElementsAre(mark.step));
        common::ClearStepMark(mark.step);
        EXPECT_FALSE(common::StepMarkStands(mark.step));

        common::FailNthFileCall(1);
        EXPECT_THROW(common::SetStepMark(mark.step), std::exception);
        common::FailNthFileCall(0);
        EXPECT_FALSE(common::StepMarkStands(mark.step));
        EXPECT_FALSE(folder.Exists(std::string(mark.markFile) + ".partial"));
    }
}

// A reader names the marked steps whose files it reads, in the order of the week, each once in
// its end text and once in the log; marks of steps it does not read are no business of its own.
TEST(StepMarks, ReadersNameTheStandingMarksOfWhatTheyRead) {
    struct Case {
        MarkedStep reader;
        std::vector<std::string> parts;
    };
    const std::string fetch = "①今週開催取得が途中で終了しています";
    const std::vector<Case> cases = {
        {MarkedStep::WeeklyFetch, {}},
        {MarkedStep::Structures, {fetch}},
        {MarkedStep::Cancellation, {"②構造・中止処理が途中で終了しています"}},
        {MarkedStep::DayBeforeFix, {fetch, "②構造・中止処理が途中で終了しています", "②中止処理が途中で終了しています"}},
        {MarkedStep::Computation,
         {fetch, "②構造・中止処理が途中で終了しています", "②中止処理が途中で終了しています",
          "④前日固定が途中で終了しています"}},
        {MarkedStep::WeeklyBatch,
         {fetch, "②構造・中止処理が途中で終了しています", "②中止処理が途中で終了しています",
          "④前日固定が途中で終了しています", "⑤計算が途中で終了しています"}},
        {MarkedStep::OddsFetch, {}},
        {MarkedStep::TrifectaFetch, {}},
        {MarkedStep::WeekOddsTables, {"今週のオッズが途中で終了しています", "今週の3連単が途中で終了しています"}},
        {MarkedStep::BreakingOddsTables, {}},
        {MarkedStep::BreakingPayouts,
         {fetch, "②構造・中止処理が途中で終了しています", "②中止処理が途中で終了しています",
          "④前日固定が途中で終了しています", "⑥予想・結果が途中で終了しています"}},
        {MarkedStep::IndexRebuild, {"⑥予想・結果が途中で終了しています"}},
        {MarkedStep::AtariList, {"⑥予想・結果が途中で終了しています"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(common::MarkOf(c.reader).markFile);
        testsupport::TempAppFolder folder;
        EXPECT_THAT(common::UnfinishedInputParts(c.reader, "Reader"), ::testing::IsEmpty());
        for (const common::StepMark& mark : common::kStepMarks) common::SetStepMark(mark.step);

        EXPECT_EQ(common::UnfinishedInputParts(c.reader, "Reader"), c.parts);
        const std::string log = folder.Exists("ERRORLOG.txt") ? folder.Read("ERRORLOG.txt") : "";
        EXPECT_EQ(static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')), c.parts.size()) << log;
        for (MarkedStep input : common::MarkedInputsOf(c.reader))
            EXPECT_THAT(log, HasSubstr("[Reader] " + std::string(common::MarkOf(input).markFile) + " stands"));
    }
}

}  // namespace
