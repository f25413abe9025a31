#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "acquisition/download_starter.h"
#include "dataservice/jvlink.h"

// The part every stored-data fetch shares: JVInit, the open with its messages and its followed
// download, and the bounded read loop with the repair of damaged files.
namespace acquisition {

/// Read codes of a damaged file that a fetch repairs (delete the file, close, open again). The
/// weekly fetch repairs both; the odds fetches repair -403 only and report -402 like any read
/// error.
inline constexpr int kRepairDamagedAndCorrupt[] = {dataservice::kRcDamagedFile, dataservice::kRcCorruptFile};
inline constexpr int kRepairCorruptOnly[] = {dataservice::kRcCorruptFile};

/// What one stored-data fetch asks for.
struct StoredFetch {
    std::string_view step;      ///< name under which failures are logged
    std::string_view sid;       ///< software id for JVInit
    std::string_view dataspec;  ///< data spec of the open
    std::span<const int> repairs;  ///< read codes repaired by deleting the file and opening again
    /// Runs once when the download is done and the reads are about to start (the weekly fetch
    /// opens its week files here).
    std::function<void()> beforeReads = {};
    /// Records come as views into the service's own bytes (JVReadView) rather than copied out of
    /// it (JVRead): quicker for a fetch that passes most records over after a look at their kind.
    /// One that decodes every record is quicker on the copy, which brings the record in whole.
    bool viewRecords = false;
};

/// Runs a stored-data fetch on the starter's control, up to but not including JVClose:
/// 1. JVInit (a result other than 0: "JVInitエラー。RC=" and the result; goes on);
/// 2. JVOpen (dataspec, "00000000000000", option 2) into the starter's DownloadCount; a negative
///    result ("JVOpenエラー。RC=") or nothing to read ("該当するデータがありません。") ends here;
/// 3. a download (DownloadCount > 0): DialogResult <- 0, `runProgress` follows it, and a cancel
///    (DialogResult -1) ends here;
/// 4. reads until 0: `keep` gets exactly the bytes of every read that returned a positive length,
///    good until it returns, with the name of the file the read named;
///    -1 reads on; a code of `fetch.repairs` deletes the named file and repeats the open (at most
///    kMaxReopensPerFile times per file name, then reported like any read error); any other
///    code: "JVReadエラー。 RC=" and the code. The loop gives up (logged) after kMaxReadsPerFetch
///    reads, or kMaxReadsWithoutRecord reads in a row that bring no record.
/// Messages go through the starter's host. Returns true when the reads ended at 0.
bool RunStoredFetch(DownloadStarter& starter, const ProgressRunner& runProgress, const StoredFetch& fetch,
                    const std::function<void(std::string_view record, std::string_view fileName)>& keep);

}  // namespace acquisition
