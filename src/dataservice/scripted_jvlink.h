#pragma once

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "dataservice/jvlink.h"

// A data service that plays back queued results and logs every call, for tests of the fetches.
// Each operation takes the front of its own queue; an empty queue gives the default named at
// the queue. The log holds one line per call, the operation and its arguments joined by blanks:
//   "JVInit <sid>", "JVSetUIProperties", "JVOpen <dataspec> <fromtime> <option>", "JVStatus",
//   "JVCancel", "JVRead", "JVFiledelete <name>", "JVRTOpen <dataspec> <key>", "JVClose".
namespace dataservice {

class ScriptedJVLink : public JVLink {
public:
    struct OpenResult {
        int result = 0;
        int readCount = 0;
        int downloadCount = 0;
        std::string lastFileTimestamp;
    };

    /// One JVRead. For code > 0 the buffer receives `bytes` and the size the code; for other
    /// codes the buffer is left alone unless `bytes` is given (to mimic a service that leaves
    /// something in it). `fileName` is handed out when it is not empty.
    struct ReadStep {
        int code = 0;
        std::string bytes;
        std::string fileName;
    };

    // Queues; the default when empty is in the comment.
    std::deque<int> initResults;          // 0
    std::deque<int> uiResults;            // 0
    std::deque<OpenResult> openResults;   // {0, 0, 0, ""}
    std::deque<int> statusResults;        // the last open's download count (download done)
    std::deque<int> cancelResults;        // 0
    std::deque<ReadStep> reads;           // {0}: end
    std::deque<int> filedeleteResults;    // 0
    std::deque<int> rtOpenResults;        // 0
    std::deque<int> closeResults;         // 0

    /// Every call, in order.
    std::vector<std::string> log;

    // Helpers that queue and return *this, so a script reads as one chain.
    ScriptedJVLink& QueueOpen(int result, int readCount = 0, int downloadCount = 0,
                              std::string lastFileTimestamp = "");
    /// A record: code = its length. `bytes` should end in CR LF as delivered records do.
    ScriptedJVLink& QueueRecord(std::string bytes, std::string fileName = "");
    /// Several records of one file.
    ScriptedJVLink& QueueRecords(const std::vector<std::string>& records, std::string fileName = "");
    /// -1: the next file begins (or, for "0B30", the race has no more records).
    ScriptedJVLink& QueueNextFile();
    /// 0: end of the data.
    ScriptedJVLink& QueueEnd();
    /// Any other read code, e.g. -402 with the damaged file's name, or -203.
    ScriptedJVLink& QueueReadCode(int code, std::string fileName = "");
    /// Results of successive JVStatus calls.
    ScriptedJVLink& QueueStatus(std::initializer_list<int> statuses);
    ScriptedJVLink& QueueRTOpen(int result);

    /// Number of logged calls whose line starts with `prefix` ("JVRead", "JVOpen TOKU").
    std::size_t Count(std::string_view prefix) const;
    /// The logged operations only (first word of every line), in order.
    std::vector<std::string> Operations() const;

    using JVLink::JVOpen;
    int JVInit(std::string_view sid) override;
    int JVSetUIProperties() override;
    int JVOpen(std::string_view dataspec, std::string_view fromtime, int option, int& readCount,
               int& downloadCount, std::string& lastFileTimestamp) override;
    int JVStatus() override;
    int JVCancel() override;
    int JVRead(std::string& buff, int& size, std::string& fileName) override;
    int JVFiledelete(std::string_view fileName) override;
    int JVRTOpen(std::string_view dataspec, std::string_view key) override;
    int JVClose() override;

private:
    int lastDownloadCount_ = 0;
};

}  // namespace dataservice
