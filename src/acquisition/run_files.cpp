#include "acquisition/run_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unordered_map>

#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "common/text_file.h"
#include "records/keys.h"
#include "records/layouts.h"
#include "records/record_check.h"
#include "records/record.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

using records::LayoutSE;
constexpr std::size_t kSeLength = static_cast<std::size_t>(records::kLength<LayoutSE>);

// True when `path` is a file whose bytes are `content`. The file is read into `buffer`, reused
// from file to file.
bool HoldsExactly(const fs::path& path, std::string_view content, std::string& buffer) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) != content.size())
        return false;
    return common::ReadFileBytes(path, buffer) == content;
}

}  // namespace

// Only the rare record that holds a zero byte is copied.
std::string_view RecordAsRead(std::string_view record, std::string& buffer) {
    if (record.find('\0') == std::string_view::npos) return record;
    buffer.assign(record);
    BlankZeros(buffer);
    return buffer;
}

void BlankZeros(std::span<char> bytes) {
    std::replace(bytes.begin(), bytes.end(), '\0', ' ');
}

std::vector<std::string_view> JoinAdjacent(std::span<const std::string_view> records) {
    std::vector<std::string_view> pieces;
    for (const std::string_view record : records) {
        if (!pieces.empty() && pieces.back().data() + pieces.back().size() == record.data())
            pieces.back() = std::string_view(pieces.back().data(), pieces.back().size() + record.size());
        else
            pieces.push_back(record);
    }
    return pieces;
}

bool IsValidKettoNum(std::string_view kettoNum) {
    return kettoNum.size() == 10 && common::IsSafeKey(kettoNum);
}

fs::path HorseRunFilePath(std::string_view kettoNum) {
    std::string name(kettoNum);
    name += ".dat";
    return common::AppPath(kHorseRunFolder) / name;
}

std::vector<std::string> ReadKeyList(const fs::path& path) {
    std::vector<std::string> keys;
    common::WrittenFieldReader reader = common::WrittenFieldReader::FromFile(path);
    std::string value;
    while (reader.Next(value)) keys.push_back(value);
    return keys;
}

void WriteKeyList(const fs::path& path, const std::vector<std::string>& keys) {
    std::string content;
    content.reserve(keys.size() * 14);
    for (const std::string& key : keys) {
        content += '"';
        content += key;
        content += "\"\r\n";
    }
    common::WriteFileAtomically(path, content);
}

HorseRuns::Run::Run(std::string_view runner) : record(runner) {
    std::array<char, records::kRunKeyLength> keyBuffer;
    const std::string_view key = records::RunKeyIn(records::RecordView<LayoutSE>(runner), keyBuffer);
    BlankZeros(std::span(keyBuffer).first(key.size()));
    const std::string_view identityText = records::RunIdentity(key);
    identityText.copy(identity.data(), identityText.size());
    version = records::RunVersion(key);
}

void HorseRuns::Place(const Run& placed) {
    for (Run& run : runs_) {
        // memcmp of the fixed length, which the compiler does in a few instructions.
        if (std::memcmp(run.identity.data(), placed.identity.data(), placed.identity.size()) == 0 &&
            run.version <= placed.version) {
            run.version = placed.version;  // the identity is the same
            run.record = placed.record;
            return;
        }
    }
    runs_.push_back(placed);
}

std::string HorseRuns::Bytes() const {
    std::string bytes;
    AppendBytes(bytes);
    return bytes;
}

void HorseRuns::AppendBytes(std::string& out) const {
    out.reserve(out.size() + runs_.size() * kSeLength);
    for (const Run& run : runs_) out.append(run.record);
}

PeriodicPump::PeriodicPump(common::Host& host, std::chrono::milliseconds interval)
    : host_(host), interval_(interval), last_(std::chrono::steady_clock::now()) {}

void PeriodicPump::Tick() {
    if (++calls_ % 64 != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < interval_) return;
    host_.pumpEvents();
    last_ = std::chrono::steady_clock::now();
}

RunFileSummary RebuildHorseRunFiles(common::Host& host, std::string_view step) {
    const std::vector<std::string> list = ReadKeyList(common::AppPath(kHorseList));
    const common::LoadedFile runners(common::AppPath(records::kSeThisWeekNew));
    return WriteHorseRunFiles(list, common::WholeRecords(runners.Bytes(), kSeLength), runners.Bytes().size(), host,
                              step);
}

void UnmadeOutputs::Keep(std::string_view output, std::string_view input) {
    common::LogError(step_, std::string(output) + " left as it was: " + std::string(input) +
                                " was not made in this run, and the one there is the last run's");
    outputs_.emplace_back(output);
}

std::string UnmadeOutputs::Part() const {
    if (outputs_.empty()) return {};
    std::string part = "作成できなかった出力 ";
    for (std::size_t i = 0; i < outputs_.size(); ++i) part += (i == 0 ? "" : "・") + outputs_[i];
    return part;
}

RunFileSummary WriteHorseRunFiles(const std::vector<std::string>& horseList,
                                  std::span<const std::string_view> sortedRunners, std::uint64_t fileBytes,
                                  common::Host& host, std::string_view step) {
    RunFileSummary summary;

    // The horses of the list, each once (a second entry of one horse would place every record
    // twice, which changes nothing: placing a record again finds itself first).
    summary.listedHorses = static_cast<std::int64_t>(horseList.size());
    std::vector<std::string> horses;
    std::unordered_map<std::string, std::size_t> indexOf;
    indexOf.reserve(horseList.size());
    for (const std::string& kettoNum : horseList) {
        if (!IsValidKettoNum(kettoNum)) {
            // It would name a file outside the folder, or no file at all.
            common::LogError(step, "registration number \"" + kettoNum + "\" of " + std::string(kHorseList) +
                                       " is not ten letters or digits: no run file");
            ++summary.horsesPassedOver;
            continue;
        }
        if (indexOf.emplace(kettoNum, horses.size()).second) horses.push_back(kettoNum);
    }

    // Every whole record of the sorted runner file, in order, goes to its horse; a damaged one is
    // passed over (logged), and a shifted one ends the pass.
    const std::size_t count = sortedRunners.size();
    summary.runnerRecords = static_cast<std::int64_t>(count);
    PeriodicPump pump(host);
    host.pumpEvents();
    std::string kettoNum;
    std::vector<std::pair<std::size_t, HorseRuns::Run>> placed;  // horse, run
    placed.reserve(count);
    records::RecordFileCheck check(step, common::AppPath(records::kSeThisWeekNew), LayoutSE::kName, kSeLength,
                                   fileBytes);
    for (std::size_t r = 0; r < count && !check.Stopped(); ++r) {
        const std::string_view record = sortedRunners[r];
        if (!check.Sound(static_cast<std::int64_t>(r) + 1, record)) continue;
        kettoNum.assign(records::RecordView<LayoutSE>(record).Get(records::se::KettoNum));
        BlankZeros(kettoNum);
        const auto found = indexOf.find(kettoNum);
        if (found != indexOf.end()) placed.emplace_back(found->second, HorseRuns::Run(record));
        pump.Tick();
    }
    summary.recordsPlaced = static_cast<std::int64_t>(placed.size());

    // The records of each horse together, in file order (a counting sort): each horse's runs are
    // placed shortly before its file is written, in lists of runs used again from horse to horse.
    std::vector<std::size_t> first(horses.size() + 1, 0);
    for (const auto& [horse, run] : placed) ++first[horse + 1];
    for (std::size_t h = 0; h < horses.size(); ++h) first[h + 1] += first[h];
    std::vector<std::size_t> byHorse(placed.size());  // indices into placed
    {
        std::vector<std::size_t> next(first.begin(), first.end() - 1);
        for (std::size_t i = 0; i < placed.size(); ++i) byHorse[next[placed[i].first]++] = i;
    }

    check.Finish();
    summary.recordsPassedOver = check.PassedOver();

    // Each listed horse's file once; one that cannot be written leaves the others to go on.
    // A folder that cannot be made fails each horse's file below.
    common::PassOver(step, [] { common::CreateFolders(common::AppPath(kHorseRunFolder)); });
    // The lists of runs and the bytes are used again from horse to horse.
    HorseRuns runs;
    std::string content;
    std::string held;
    for (std::size_t h = 0; h < horses.size(); ++h) {
        runs.Clear();
        for (std::size_t k = first[h]; k < first[h + 1]; ++k) runs.Place(placed[byHorse[k]].second);
        content.clear();
        runs.AppendBytes(content);
        bool unchanged = false;
        const bool written = common::PassOver(step, [&] {
            const fs::path path = HorseRunFilePath(horses[h]);
            // A file that holds these bytes already is left as it is: a rebuild right after the
            // last one (race cancellation) changes few horses, and each new file costs a file
            // creation and a rename.
            unchanged = HoldsExactly(path, content, held);
            if (!unchanged) common::WriteFileAtomically(path, content);
        });
        if (unchanged) ++summary.filesUnchanged;
        if (written)
            ++summary.filesWritten;
        else
            ++summary.horsesPassedOver;
        pump.Tick();
    }
    return summary;
}

}  // namespace acquisition
