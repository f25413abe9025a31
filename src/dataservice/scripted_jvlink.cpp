#include "dataservice/scripted_jvlink.h"

#include <utility>

namespace dataservice {

namespace {

template <class T>
T Take(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string line;
    for (std::string_view p : parts) {
        if (!line.empty()) line += ' ';
        line += p;
    }
    return line;
}

}  // namespace

ScriptedJVLink& ScriptedJVLink::QueueOpen(int result, int readCount, int downloadCount,
                                          std::string lastFileTimestamp) {
    openResults.push_back({result, readCount, downloadCount, std::move(lastFileTimestamp)});
    return *this;
}

ScriptedJVLink& ScriptedJVLink::QueueRecord(std::string bytes, std::string fileName) {
    const int code = static_cast<int>(bytes.size());
    reads.push_back({code, std::move(bytes), std::move(fileName)});
    return *this;
}

ScriptedJVLink& ScriptedJVLink::QueueRecords(const std::vector<std::string>& records, std::string fileName) {
    for (const std::string& r : records) QueueRecord(r, fileName);
    return *this;
}

ScriptedJVLink& ScriptedJVLink::QueueNextFile() { return QueueReadCode(kRcNextFile); }

ScriptedJVLink& ScriptedJVLink::QueueEnd() { return QueueReadCode(kRcEnd); }

ScriptedJVLink& ScriptedJVLink::QueueReadCode(int code, std::string fileName) {
    reads.push_back({code, {}, std::move(fileName)});
    return *this;
}

ScriptedJVLink& ScriptedJVLink::QueueStatus(std::initializer_list<int> statuses) {
    statusResults.insert(statusResults.end(), statuses);
    return *this;
}

ScriptedJVLink& ScriptedJVLink::QueueRTOpen(int result) {
    rtOpenResults.push_back(result);
    return *this;
}

std::size_t ScriptedJVLink::Count(std::string_view prefix) const {
    std::size_t n = 0;
    for (const std::string& line : log)
        if (std::string_view(line).starts_with(prefix)) ++n;
    return n;
}

std::vector<std::string> ScriptedJVLink::Operations() const {
    std::vector<std::string> ops;
    ops.reserve(log.size());
    for (const std::string& line : log) ops.push_back(line.substr(0, line.find(' ')));
    return ops;
}

int ScriptedJVLink::JVInit(std::string_view sid) {
    log.push_back(Joined({"JVInit", sid}));
    return Take(initResults, 0);
}

int ScriptedJVLink::JVSetUIProperties() {
    log.push_back("JVSetUIProperties");
    return Take(uiResults, 0);
}

int ScriptedJVLink::JVOpen(std::string_view dataspec, std::string_view fromtime, int option, int& readCount,
                           int& downloadCount, std::string& lastFileTimestamp) {
    log.push_back(Joined({"JVOpen", dataspec, fromtime, std::to_string(option)}));
    OpenResult r = Take(openResults, OpenResult{});
    readCount = r.readCount;
    downloadCount = r.downloadCount;
    lastFileTimestamp = r.lastFileTimestamp;
    lastDownloadCount_ = r.downloadCount;
    return r.result;
}

int ScriptedJVLink::JVStatus() {
    log.push_back("JVStatus");
    return Take(statusResults, lastDownloadCount_);
}

int ScriptedJVLink::JVCancel() {
    log.push_back("JVCancel");
    return Take(cancelResults, 0);
}

int ScriptedJVLink::JVRead(std::string& buff, int& size, std::string& fileName) {
    log.push_back("JVRead");
    ReadStep step = Take(reads, ReadStep{});
    if (step.code > 0 || !step.bytes.empty()) {
        buff = std::move(step.bytes);
        size = static_cast<int>(buff.size());
    }
    if (!step.fileName.empty()) fileName = std::move(step.fileName);
    return step.code;
}

int ScriptedJVLink::JVFiledelete(std::string_view fileName) {
    log.push_back(Joined({"JVFiledelete", fileName}));
    return Take(filedeleteResults, 0);
}

int ScriptedJVLink::JVRTOpen(std::string_view dataspec, std::string_view key) {
    log.push_back(Joined({"JVRTOpen", dataspec, key}));
    return Take(rtOpenResults, 0);
}

int ScriptedJVLink::JVClose() {
    log.push_back("JVClose");
    return Take(closeResults, 0);
}

}  // namespace dataservice
