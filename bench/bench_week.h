#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"
#include "workbench/race_state.h"

// What the benchmark programs share: a temporary application folder, a Host that shows nothing,
// fixed-width record building, and the demo week at full scale as the user fetches and builds it.
namespace bench {

/// The main menu's part in a step: nothing is shown; pumps are counted.
class QuietHost final : public common::Host {
public:
    long pumps = 0;
    void messageBox(std::string_view) override {}
    void setStatus(common::StatusBox, std::string_view) override {}
    void setLabelColour(std::uint32_t) override {}
    void pumpEvents() override { ++pumps; }
    std::chrono::year_month_day today() override { return common::LocalToday(); }
    void startProgram(const std::filesystem::path&) override {}
    void openUrl(std::string_view) override {}
};

/// A fresh folder `<temp>/<prefix>-XXXXXX` that becomes AppFolder; removed with its content at
/// the end.
class TempAppFolder {
public:
    explicit TempAppFolder(std::string_view prefix);
    ~TempAppFolder();
    TempAppFolder(const TempAppFolder&) = delete;
    TempAppFolder& operator=(const TempAppFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const { return path_ / relative; }
    /// Makes the folder AppFolder again: a benchmark set up before may have set its own.
    void Use() const;

private:
    std::filesystem::path path_;
};

/// `value` in `width` digits, with leading zeros.
std::string Number(long value, int width);

/// Writes `bytes` into `record` from the 1-based position `at`, as the record layouts count.
void Put(std::string& record, std::size_t at, std::string_view bytes);

/// The demo week at full scale (96 races of 18 runners, 65 past runs each) generated into its own
/// folder and fetched through the stand-in as button ① does, the download being instant; with
/// Stage::Built also built into its structures as button ② does, with Stage::Computed also
/// expanded and predicted as button ⑤ does. `after`: the week after the results, else before the
/// races.
struct DemoWeek {
    enum class Stage { Fetched, Built, Computed };

    DemoWeek(std::string_view prefix, Stage stage, bool after = false);

    TempAppFolder folder;
    /// This week's horses (Stage::Built only).
    std::vector<std::string> horses;
};

/// Reads each horse's run file whole and writes as many bytes as its expanded records take to the
/// horse's expanded file, through a scratch file and a rename: the file traffic of building and
/// computing the expanded records without the work, the floor that the file system sets. Returns
/// the bytes written.
std::int64_t ReadAndWriteSameBytes(const std::vector<std::string>& horses);

/// The race states one run of the weekly batch on AppFolder's week hands its writers, in the
/// order it hands them over.
std::vector<workbench::RaceState> CaptureRaceStates(common::Host& host);

/// The shortest of `rounds` runs of `run`, in seconds.
template <class F>
double BestOf(int rounds, F&& run) {
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace bench
