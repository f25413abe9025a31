#include "dataservice/local_jvlink.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <system_error>

#include "common/error_log.h"
#include "common/file_time.h"
#include "common/numbers.h"
#include "common/record_file.h"
#include "records/record_check.h"

namespace dataservice {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kIdLength = 4;

/// "TOKURACETCVNRCVN" -> TOKU, RACE, TCVN, RCVN. Ids become folder names, so only upper-case
/// letters and digits pass; a repeated id is served once.
bool SplitDataSpec(std::string_view dataspec, std::vector<std::string>& ids) {
    if (dataspec.empty() || dataspec.size() % kIdLength != 0) return false;
    for (std::size_t i = 0; i < dataspec.size(); i += kIdLength) {
        std::string id(dataspec.substr(i, kIdLength));
        bool plain = std::all_of(id.begin(), id.end(),
                                 [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
        if (!plain) return false;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(std::move(id));
    }
    return true;
}

/// "yyyymmddhhmmss" or "yyyymmddhhmmss-yyyymmddhhmmss". The stand-in serves everything it holds
/// whatever the time, so only the form is checked.
bool IsFromTime(std::string_view fromtime) {
    if (fromtime.size() == 14) return common::IsDigits(fromtime);
    return fromtime.size() == 29 && fromtime[14] == '-' && common::IsDigits(fromtime.substr(0, 14)) &&
           common::IsDigits(fromtime.substr(15));
}

/// "yyyymmddhhmmss" of a file's modification time ("" when it cannot be read).
std::string TimestampOf(const fs::path& file) {
    std::string out;
    if (auto text = common::FileDateTimeText(file)) {
        for (char c : *text)
            if (c >= '0' && c <= '9') out += c;
    }
    return out;
}

}  // namespace

LocalJVLink::LocalJVLink() : LocalJVLink(Config{}) {}

LocalJVLink::LocalJVLink(Config config) : config_(std::move(config)) {
    // A settings file that cannot be read is told by JVInit, which every fetch starts with and
    // which reads it again; nothing is served before it.
    try {
        settings_ = LoadSettings(SettingsFile());
    } catch (const std::exception&) {
    }
}

fs::path LocalJVLink::SettingsFile() const {
    return config_.settingsFile.empty() ? DefaultSettingsFile() : config_.settingsFile;
}

std::chrono::steady_clock::time_point LocalJVLink::Now() const {
    return config_.clock ? config_.clock() : std::chrono::steady_clock::now();
}

int LocalJVLink::JVInit(std::string_view /*sid*/) {
    // Settings are reread here: every fetch starts with JVInit, and the user may have changed
    // them through another window's instance. Settings that cannot be read end what was open
    // and throw: nothing is served from another folder than the one the user chose.
    EndStream();
    initialised_ = false;
    settings_ = LoadSettings(SettingsFile());
    initialised_ = true;
    return kRcOk;
}

int LocalJVLink::JVSetUIProperties() {
    if (!config_.editor) return kRcSettingsFailed;
    try {
        const fs::path file = SettingsFile();
        LocalSettings edited = LoadSettings(file);
        if (!config_.editor(edited)) return kRcOk;
        if (!SaveSettings(file, edited)) return kRcSettingsFailed;
        settings_ = edited;
        return kRcOk;
    } catch (const std::exception&) {
        return kRcSettingsFailed;
    }
}

int LocalJVLink::JVOpen(std::string_view dataspec, std::string_view fromtime, int option, int& readCount,
                        int& downloadCount, std::string& lastFileTimestamp) {
    readCount = 0;
    downloadCount = 0;
    if (!initialised_) return kRcNotInitialised;
    if (stream_ != Stream::None) return kRcAlreadyOpen;
    std::vector<std::string> ids;
    if (!SplitDataSpec(dataspec, ids)) return kRcBadDataSpec;
    if (!IsFromTime(fromtime)) return kRcBadFromTime;
    if (option < 1 || option > 4) return kRcBadOption;

    const fs::path root = RootFolderOf(settings_);
    std::vector<ServedFile> files;
    for (const std::string& id : ids) {
        const fs::path folder = root / "stored" / id;
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) continue;  // nothing stored for this id
        std::vector<ServedFile> these;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeEc;
            if (!it->is_regular_file(typeEc)) continue;
            std::string name = it->path().filename().string();
            if (name.starts_with('.')) continue;  // editor and system leftovers are not data
            these.push_back({it->path(), std::move(name)});
        }
        if (ec) return kRcInternal;
        std::sort(these.begin(), these.end(),
                  [](const ServedFile& a, const ServedFile& b) { return a.name < b.name; });
        files.insert(files.end(), these.begin(), these.end());
    }

    OpenArgs args{std::string(dataspec), std::string(fromtime), option};
    std::size_t start = 0;
    if (resume_ && resume_->args == args) {
        auto at = std::find_if(files.begin(), files.end(),
                               [&](const ServedFile& f) { return f.path == resume_->file; });
        if (at != files.end()) start = static_cast<std::size_t>(at - files.begin());
    }
    resume_.reset();
    files.erase(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(start));

    EndStream();
    files_ = std::move(files);
    args_ = std::move(args);
    damagedAt_.reset();
    stream_ = Stream::Stored;
    endCode_ = kRcEnd;
    current_ = 0;
    openedAt_ = Now();

    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (settings_.filesPerSecond > 0 && !downloaded_.contains(files_[i].path)) {
            pending_.push_back(i);
        } else {
            downloaded_.insert(files_[i].path);
        }
    }

    readCount = static_cast<int>(files_.size());
    downloadCount = static_cast<int>(pending_.size());
    lastFileTimestamp.clear();
    std::optional<fs::file_time_type> newest;
    const fs::path* newestPath = nullptr;
    std::uintmax_t largest = 0;
    for (const ServedFile& f : files_) {
        std::error_code ec;
        auto t = fs::last_write_time(f.path, ec);
        if (!ec && (!newest || t > *newest)) {
            newest = t;
            newestPath = &f.path;
        }
        if (const auto size = fs::file_size(f.path, ec); !ec) largest = std::max(largest, size);
    }
    if (newestPath) lastFileTimestamp = TimestampOf(*newestPath);
    largestFile_ = largest;
    KeepOnlyFilesOfThisOpen();
    return kRcOk;
}

void LocalJVLink::AdvanceDownload(std::size_t doneTarget) {
    doneTarget = std::min(doneTarget, pending_.size());
    for (; done_ < doneTarget; ++done_) downloaded_.insert(files_[pending_[done_]].path);
}

void LocalJVLink::AdvanceDownloadByClock() {
    if (done_ >= pending_.size()) return;
    const double pace = settings_.filesPerSecond;
    if (pace <= 0) {
        AdvanceDownload(pending_.size());
        return;
    }
    const double elapsed = std::chrono::duration<double>(Now() - openedAt_).count();
    const double files = std::floor(std::max(0.0, elapsed) * pace);
    AdvanceDownload(files >= static_cast<double>(pending_.size()) ? pending_.size()
                                                                    : static_cast<std::size_t>(files));
}

int LocalJVLink::JVStatus() {
    if (!initialised_) return kRcNotInitialised;
    switch (stream_) {
        case Stream::Stored:
            AdvanceDownloadByClock();
            return static_cast<int>(done_);
        case Stream::Realtime:
            return 0;
        case Stream::None:
            break;
    }
    return kRcNotOpen;
}

int LocalJVLink::JVCancel() {
    if (stream_ == Stream::Stored) AdvanceDownloadByClock();  // what came in so far stays downloaded
    EndStream();
    return kRcOk;
}

int LocalJVLink::DamageCode(const ServedFile& file) const {
    if (deleted_.contains(file.path)) return 0;
    if (file.name.ends_with(".damaged")) return kRcDamagedFile;
    if (file.name.ends_with(".corrupt")) return kRcCorruptFile;
    return 0;
}

bool LocalJVLink::LoadCurrentFile(int& rc) {
    const ServedFile& file = files_[current_];
    try {
        content_ = KeptOrRead(file.path);
    } catch (const std::exception&) {
        rc = kRcFileUnreadable;
        return false;
    }
    pos_ = 0;
    recordInFile_ = 0;
    loaded_ = true;
    return true;
}

// The bytes kept of `file` while it is as it was when they were read (same size and modification
// time); else the file read now, and kept for the next open while the budget allows.
std::string_view LocalJVLink::KeptOrRead(const fs::path& file) {
    if (config_.keptBytes > 0) {
        std::error_code sizeEc, timeEc;
        const std::uintmax_t size = fs::file_size(file, sizeEc);
        const fs::file_time_type modified = fs::last_write_time(file, timeEc);
        const bool known = !sizeEc && !timeEc;
        if (auto at = kept_.find(file); at != kept_.end()) {
            if (known && at->second.size == size && at->second.modified == modified) return at->second.bytes.Bytes();
            keptSize_ -= at->second.bytes.Bytes().size();
            kept_.erase(at);
        }
        if (known && keptSize_ + size <= config_.keptBytes) {
            // Taken before the read: a file changed while it is read has a newer time than this,
            // and is read again next time.
            auto [at, added] = kept_.emplace(file, KeptFile{size, modified, common::LoadedFile(file)});
            keptSize_ += at->second.bytes.Bytes().size();
            return at->second.bytes.Bytes();
        }
    }
    // Room for the largest file, taken once: grown file by file, the buffer would take fresh
    // memory again and again, and fresh pages cost more than the bytes read into them.
    readBuffer_.reserve(static_cast<std::size_t>(largestFile_));
    return common::ReadFileBytes(file, readBuffer_);
}

// Kept bytes of files this open does not serve are of no more use.
void LocalJVLink::KeepOnlyFilesOfThisOpen() {
    std::map<fs::path, KeptFile> kept;
    for (const ServedFile& f : files_)
        if (auto node = kept_.extract(f.path)) kept.insert(std::move(node));
    kept_ = std::move(kept);
    keptSize_ = 0;
    for (const auto& [path, file] : kept_) keptSize_ += file.bytes.Bytes().size();
}

bool LocalJVLink::NextRecord(std::string_view& record) {
    while (pos_ < content_.size()) {
        const std::string_view rest = content_.substr(pos_);
        if (rest.starts_with("\r\n")) {  // a blank line holds no record
            pos_ += 2;
            continue;
        }
        ++recordInFile_;
        const std::string_view kind = rest.substr(0, 2);
        const std::size_t length = records::DeliveredLength(kind);
        if (length == 0) {
            // A kind the record layer has no layout of: served up to its line end, as it stands.
            const std::size_t crlf = rest.find("\r\n");
            const std::size_t stop = crlf == std::string_view::npos ? rest.size() : crlf + 2;
            record = rest.substr(0, stop);
            pos_ += stop;
            return true;
        }
        if (records::CheckRecord(rest.substr(0, length), kind, length) == records::RecordFault::None) {
            record = rest.substr(0, length);
            pos_ += length;
            return true;
        }
        pos_ += PassOverDamaged(rest, kind, length);
    }
    return false;
}

namespace {

// True when `bytes` are a whole record of a known kind: its tag, its line end at its length, and
// a data kind of one letter or digit after the tag. What tells where the record after a damaged
// one begins.
bool IsSoundRecordOfItsKind(std::string_view bytes) {
    const std::string_view kind = bytes.substr(0, 2);
    const std::size_t length = records::DeliveredLength(kind);
    if (length != bytes.size() || records::CheckRecord(bytes, kind, length) != records::RecordFault::None) return false;
    const char dataKind = bytes[2];
    return (dataKind >= '0' && dataKind <= '9') || (dataKind >= 'A' && dataKind <= 'Z') ||
           (dataKind >= 'a' && dataKind <= 'z');
}

}  // namespace

// The damaged record at the start of `rest` runs to the first line end. A record cut short
// before its line end runs into the next record up to that one's line end: when the bytes there
// end in a whole record of a known kind, that record is the next one and is served after. Returns
// the bytes passed over.
std::size_t LocalJVLink::PassOverDamaged(std::string_view rest, std::string_view kind, std::size_t length) {
    const std::size_t crlf = rest.find("\r\n");
    std::string reason;
    std::size_t end = rest.size();
    if (crlf == std::string_view::npos) {
        reason = "no CR LF up to the end of the file: the rest of the file (" + std::to_string(rest.size()) +
                 " bytes) was not served";
    } else {
        end = crlf + 2;
        std::size_t longestNext = 0;
        for (std::string_view next : {"O6", "O5", "KS", "O4", "O2", "UM", "RA", "O1", "HR", "SE"}) {
            const std::size_t nextLength = records::DeliveredLength(next);
            if (nextLength >= end || nextLength <= longestNext) continue;
            const std::string_view candidate = rest.substr(end - nextLength, nextLength);
            if (candidate.starts_with(next) && IsSoundRecordOfItsKind(candidate)) longestNext = nextLength;
        }
        end -= longestNext;
        const std::string_view damaged = rest.substr(0, end);
        reason = records::FaultReason(records::CheckRecord(damaged, kind, length), kind, length, damaged) +
                 ": passed over";
    }
    ++passedOver_;
    const std::string file = current_ < files_.size() ? files_[current_].path.string() : std::string();
    common::LogError(kStandInStep, file + " record " + std::to_string(recordInFile_) + ": " + reason);
    return end;
}

int LocalJVLink::JVRead(std::string& buff, int& size, std::string& fileName) {
    std::string_view record;
    const int rc = JVReadView(record, fileName);
    if (rc > 0) {
        buff.assign(record);
        size = rc;
    }
    return rc;
}

int LocalJVLink::JVReadView(std::string_view& served, std::string& fileName) {
    if (!initialised_) return kRcNotInitialised;
    if (stream_ == Stream::None) return kRcNotOpen;

    if (!loaded_) {
        if (current_ >= files_.size()) return endCode_;
        const ServedFile& file = files_[current_];
        fileName = file.name;
        if (int damage = DamageCode(file)) {
            damagedAt_ = current_;
            return damage;
        }
        // Reading a file waits for its download: everything before it is in as well.
        auto at = std::find(pending_.begin() + static_cast<std::ptrdiff_t>(done_), pending_.end(), current_);
        if (at != pending_.end()) AdvanceDownload(static_cast<std::size_t>(at - pending_.begin()) + 1);
        int rc = kRcOk;
        if (!LoadCurrentFile(rc)) {
            ++current_;  // reported once; the next read goes on with the next file
            return rc;
        }
    }

    std::string_view record;
    if (NextRecord(record)) {
        served = record;
        fileName = files_[current_].name;
        return static_cast<int>(record.size());
    }

    loaded_ = false;
    content_ = {};
    ++current_;
    return current_ < files_.size() ? kRcNextFile : endCode_;
}

int LocalJVLink::JVFiledelete(std::string_view fileName) {
    if (!initialised_) return kRcNotInitialised;
    bool found = false;
    for (const ServedFile& f : files_) {
        if (f.name != fileName) continue;
        found = true;
        deleted_.insert(f.path);
        downloaded_.erase(f.path);  // a deleted file comes down again on the next open
    }
    if (!found) return kRcNoData;
    if (damagedAt_ && files_[*damagedAt_].name == fileName && !args_.dataspec.empty())
        resume_ = Resume{args_, files_[*damagedAt_].path};
    return kRcOk;
}

int LocalJVLink::JVRTOpen(std::string_view dataspec, std::string_view key) {
    if (!initialised_) return kRcNotInitialised;
    if (stream_ != Stream::None) return kRcAlreadyOpen;
    int endCode = kRcEnd;
    std::size_t digits = 0;
    if (dataspec == "0B12") {
        endCode = kRcNothingMoreForDate;
        digits = 8;   // yyyymmdd
    } else if (dataspec == "0B30") {
        endCode = kRcNextFile;
        digits = 16;  // RaceId
    } else {
        return kRcBadDataSpec;
    }
    // The key names a file: only the expected digits ever reach the path.
    if (key.size() != digits || !common::IsDigits(key)) return kRcBadKey;

    const fs::path file = RootFolderOf(settings_) / "realtime" / std::string(dataspec) / std::string(key);
    std::error_code ec;
    const bool present = fs::is_regular_file(file, ec);

    EndStream();
    files_.clear();
    if (present) files_.push_back({file, std::string(key)});
    KeepOnlyFilesOfThisOpen();
    args_ = {};
    damagedAt_.reset();
    resume_.reset();
    stream_ = Stream::Realtime;
    endCode_ = endCode;
    current_ = 0;
    return present ? kRcOk : kRcNoData;
}

int LocalJVLink::JVClose() {
    if (stream_ == Stream::Stored) AdvanceDownloadByClock();
    EndStream();
    return kRcOk;
}

void LocalJVLink::EndStream() {
    // files_, args_ and damagedAt_ stay: JVFiledelete may name a file of the last open after it closed.
    stream_ = Stream::None;
    loaded_ = false;
    content_ = {};
    // readBuffer_ keeps its size from open to open: made smaller, it would be filled again as it
    // grows back on the next open.
    pos_ = 0;
    pending_.clear();
    done_ = 0;
}

}  // namespace dataservice
