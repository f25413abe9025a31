#pragma once

#include <array>
#include <string_view>

#include "common/host.h"

// What the main menu does while it loads.
namespace app {

/// Breaking-news files: they live only until the next start, which deletes them in this order.
inline constexpr std::array<std::string_view, 8> kBreakingNewsFiles{
    "SERIALTIME.dat", "HRRIALTIME.dat", "RARIALTIME.dat", "O1RIALTIME.dat",
    "O2RIALTIME.dat", "O4RIALTIME.dat", "O5RIALTIME.dat", "O6RIALTIME.dat",
};

/// Weights older than this many days (by the marker's date) get an advisory message.
inline constexpr long kWeightsMaxAgeDays = 1000;

/// Message texts of the start-up; the message boxes put AppFolder directly before them.
inline constexpr std::string_view kUnpackWeightsMessage =
    "自己解凍EXEにある展開先の指定をクリックして予想因子パラメータをセットして下さい。";
inline constexpr std::string_view kOldWeightsMessage =
    "予想因子ウエイトが最新ではありません。さらに高精度の予想を望まれる場合、最新予想ウエイトを取得して下さい。";
inline constexpr std::string_view kWeightsMissingLabel =
    "まだ、予想因子ウエイトが展開されていません。自己解凍EXEにある展開先の指定をクリックして起動させて下さい。";
inline constexpr std::string_view kStartUpReminder =
    "今週の結果は必ず前に今週の予想の3つの操作を行って下さい。";

/// The two web pages of the main menu: the blog that checks return and hit rates, and the site
/// that offers new model weights.
inline constexpr std::string_view kResultsBlogUrl = "https://talmor7.example.jp/blog/";
inline constexpr std::string_view kWeightsUpdateUrl = "https://talmor7.example.jp/weights/";

/// The main menu's load, after AppFolder has been set: creates the working folders, reports the
/// weights and their age, deletes the breaking-news files, names in a message each step whose
/// mark stands (common::StepMark::unfinished: the step did not end) and writes the reminder into
/// Text2.
/// Every step passes its failures over (into ERRORLOG.txt) and the next step runs.
void MainMenuStartUp(common::Host& host);

}  // namespace app
