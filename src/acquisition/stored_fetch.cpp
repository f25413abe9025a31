#include "acquisition/stored_fetch.h"

#include <algorithm>
#include <map>
#include <string>

#include "acquisition/fetch_messages.h"
#include "common/error_log.h"

namespace acquisition {

namespace {

struct OpenArgs {
    int readCount = 0;
    std::string lastFileTimestamp;
};

int Open(DownloadStarter& starter, const StoredFetch& fetch, OpenArgs& args) {
    return starter.JVLink1.JVOpen(fetch.dataspec, kFromTimeAll, kOpenOptionThisWeek, args.readCount,
                                  starter.DownloadCount, args.lastFileTimestamp);
}

bool ReadToEnd(DownloadStarter& starter, const StoredFetch& fetch, OpenArgs& args,
               const std::function<void(std::string_view, std::string_view)>& keep) {
    dataservice::JVLink& link = starter.JVLink1;
    std::string buff(static_cast<std::size_t>(kReadBufferSize), '\0');
    int size = kReadBufferSize;
    std::string_view record;
    std::string fileName;
    std::map<std::string, int> reopens;
    long readsWithoutRecord = 0;
    for (long reads = 1; reads <= kMaxReadsPerFetch; ++reads) {
        const int rc = fetch.viewRecords ? link.JVReadView(record, fileName) : link.JVRead(buff, size, fileName);
        if (rc > 0) {
            readsWithoutRecord = 0;
            // Only the bytes this read delivered: the buffer may hold more from an earlier one.
            if (!fetch.viewRecords) record = std::string_view(buff).substr(0, static_cast<std::size_t>(rc));
            keep(record, fileName);
            continue;
        }
        if (++readsWithoutRecord > kMaxReadsWithoutRecord) {
            common::LogError(fetch.step, "read loop stopped after " + std::to_string(kMaxReadsWithoutRecord) +
                                             " reads without a record");
            return false;
        }
        if (rc == dataservice::kRcNextFile) continue;
        if (rc == dataservice::kRcEnd) return true;
        if (std::ranges::find(fetch.repairs, rc) != fetch.repairs.end()) {
            int& done = reopens[fileName];
            if (done < kMaxReopensPerFile) {
                ++done;
                // The damaged file goes and the same open comes again; what was kept so far stays
                // and the reads go on after it.
                link.JVFiledelete(fileName);
                link.JVClose();
                Open(starter, fetch, args);
                continue;
            }
        }
        starter.host.messageBox(std::string(kJVReadError) + std::to_string(rc));
        return false;
    }
    common::LogError(fetch.step, "read loop stopped after " + std::to_string(kMaxReadsPerFetch) + " reads");
    return false;
}

}  // namespace

bool RunStoredFetch(DownloadStarter& starter, const ProgressRunner& runProgress, const StoredFetch& fetch,
                    const std::function<void(std::string_view record, std::string_view fileName)>& keep) {
    common::Host& host = starter.host;
    if (const int rc = starter.JVLink1.JVInit(fetch.sid); rc != dataservice::kRcOk)
        host.messageBox(std::string(kJVInitError) + std::to_string(rc));

    OpenArgs args;
    if (const int rc = Open(starter, fetch, args); rc < 0) {
        host.messageBox(std::string(kJVOpenError) + std::to_string(rc));
        return false;
    }
    if (args.readCount == 0) {
        host.messageBox(kNoData);
        return false;
    }
    // A download count below 0 is no download: there is nothing for the window to follow.
    if (starter.DownloadCount > 0) {
        starter.DialogResult = kDownloadDone;
        if (runProgress) runProgress(starter);
        if (starter.DialogResult == kDownloadCancelled) return false;
    }
    if (fetch.beforeReads) fetch.beforeReads();
    return ReadToEnd(starter, fetch, args, keep);
}

}  // namespace acquisition
