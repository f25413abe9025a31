#include "history/past_runs.h"

#include <array>
#include <vector>

#include "common/encoding.h"
#include "common/error_log.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "engine/ex_record.h"

namespace history {

namespace {

constexpr std::size_t kNameLength = 16;  // <KettoNum>EX.dat
constexpr std::string_view kExSuffix = "EX.dat";
constexpr int kDesignedCols = 2;

// The fields shown so far, by row: each a stored text of the run, joined.
struct ShownRow {
    int row;
    std::string_view caption;
    std::vector<records::Ref<engine::LayoutEx>> fields;
};

const std::array<ShownRow, 6>& ShownRows() {
    static const std::array<ShownRow, 6> rows = {{
        {1, "レコードスペック", {engine::ex::RecordSpec}},
        {2, "データ区分", {engine::ex::DataKubun}},
        {3, "作成年月日", {engine::ex::MakeDate}},
        {4, "レース年月日", {engine::ex::Year, engine::ex::MonthDay}},
        {6, "枠馬番血統番号", {engine::ex::Wakuban, engine::ex::Umaban, engine::ex::KettoNum}},
        {7, "馬名", {engine::ex::Bamei}},
    }};
    return rows;
}

std::string RunLabel(int k) { return "前" + std::to_string(k - 1) + "走"; }

}  // namespace

std::optional<std::string> PastRunsFileName(std::string_view selected) {
    std::string name = common::RightChars(selected, kNameLength);
    if (name.size() != kNameLength || !name.ends_with(kExSuffix)) return std::nullopt;
    if (!common::IsDigits(std::string_view(name).substr(0, kNameLength - kExSuffix.size()))) return std::nullopt;
    return name;
}

common::GridCells ListAllPastRuns(std::string_view selected) {
    if (selected.empty()) return common::GridCells(kPastRunsRows, kDesignedCols);
    std::vector<engine::ExRecord> runs;
    if (const auto name = PastRunsFileName(selected)) {
        // A file that cannot be read shows as a horse without runs; the log says why.
        common::PassOver(kPastRunsStep, [&] {
            runs = engine::ExRecordFile(common::AppPath(std::string(engine::kExFolder) + "/" + *name)).ReadAll();
        });
    }
    const int n = static_cast<int>(runs.size());
    common::GridCells grid(kPastRunsRows, n + 1);
    for (int k = 1; k <= n; ++k) {
        const engine::ExRecord& run = runs[static_cast<std::size_t>(n - k)];  // the newest first
        grid.SetText(0, k, RunLabel(k));
        for (const ShownRow& r : ShownRows()) {
            std::string text;
            for (const auto& field : r.fields) text += run.Get(field);
            grid.SetText(r.row, k, common::FromCp932(common::BlankZeros(text)));
        }
        grid.SetColWidth(k, 1500);
    }
    grid.SetColWidth(0, 2000);
    // The captions come after the runs, so that a file without runs still shows them.
    for (const ShownRow& r : ShownRows()) grid.SetText(r.row, 0, std::string(r.caption));
    return grid;
}

}  // namespace history
