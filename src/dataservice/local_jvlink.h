#pragma once

#include <chrono>
#include <cstdint>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_file.h"
#include "dataservice/jvlink.h"
#include "dataservice/local_settings.h"

// The stand-in for the data service: serves record files from a root folder.
//
//   <root>/stored/<ID>/<files>       stored data of one four-character id ("RACE", "TCVN", ...)
//   <root>/realtime/0B12/<yyyymmdd>  breaking race, runner and payout records of a date
//   <root>/realtime/0B30/<RaceId>    breaking odds of a race
//
// Each file holds records as delivered: Shift-JIS, each ending in CR LF. A record of a kind the
// record layer knows is cut at its kind's length and checked (records::CheckRecord); a damaged
// one is passed over and logged (file, record number, what was wrong) and never merged with the
// record after it. Files of a folder are
// served in byte order of their names; names starting with "." are left out. A file whose name
// ends in ".damaged" reads as -402, one ending in ".corrupt" as -403, until JVFiledelete names it.
// The stand-in never writes into its root: deletions and downloads are remembered in memory for
// the life of the instance. Files are read one at a time, when the reads reach them. With a
// budget for it (Config::keptBytes), the bytes of the files an open served are kept in memory
// for the next open, as the service keeps what it downloaded: a file still of the same size and
// modification time is served from them without being read again.
namespace dataservice {

/// The name under which the stand-in logs the damaged records it passes over.
inline constexpr std::string_view kStandInStep = "LocalJVLink";

class LocalJVLink : public JVLink {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Config {
        /// Where the settings are kept; JVInit rereads them, JVSetUIProperties writes them.
        /// Empty: the application folder's settings file (DefaultSettingsFile).
        std::filesystem::path settingsFile;
        /// Shows the settings dialog; without one JVSetUIProperties returns -1.
        SettingsEditor editor;
        /// Time source of the simulated download; the steady clock when empty.
        Clock clock;
        /// Most bytes of served files kept for the next open; 0 keeps none. Worth it for a caller
        /// that opens the same files again soon after.
        std::size_t keptBytes = 0;
    };

    LocalJVLink();
    explicit LocalJVLink(Config config);

    using JVLink::JVOpen;

    /// Always 0. Rereads the settings (another instance may have changed them) and ends
    /// whatever was open.
    int JVInit(std::string_view sid) override;
    /// Opens the settings dialog; saves on OK. 0 on OK or cancel, -1 when saving fails.
    /// Works before JVInit.
    int JVSetUIProperties() override;
    /// Read count = files served; a missing root or id folder has no files (read count 0).
    /// Download count = served files not yet "downloaded" by this instance (0 at pace 0).
    /// Repeating an open after JVFiledelete of the file it stopped at resumes at that file.
    int JVOpen(std::string_view dataspec, std::string_view fromtime, int option, int& readCount,
               int& downloadCount, std::string& lastFileTimestamp) override;
    /// Files downloaded so far: advances with the clock at the set pace and never passes the
    /// download count.
    int JVStatus() override;
    /// Stops the download and ends the open; later reads give -203 until the next open.
    int JVCancel() override;
    int JVRead(std::string& buff, int& size, std::string& fileName) override;
    /// A view into the bytes of the file being served.
    int JVReadView(std::string_view& record, std::string& fileName) override;
    /// Marks every file of that name in the last open as deleted: it serves as sound from now
    /// on and will be downloaded again. 0, or -1 when the last open has no such file.
    int JVFiledelete(std::string_view fileName) override;
    /// Reads then end in -203 for "0B12" and -1 for "0B30". A key with nothing stored gives -1
    /// (the reads then end at once).
    int JVRTOpen(std::string_view dataspec, std::string_view key) override;
    int JVClose() override;
    /// Damaged records passed over so far (each logged under kStandInStep).
    long long RecordsPassedOver() const override { return passedOver_; }
    /// Bytes of served files held for the next open (at most Config::keptBytes).
    std::size_t KeptBytes() const { return keptSize_; }

    /// The settings in use (as read at construction or the last JVInit).
    const LocalSettings& Settings() const { return settings_; }

private:
    enum class Stream { None, Stored, Realtime };

    struct OpenArgs {
        std::string dataspec;
        std::string fromtime;
        int option = 0;
        bool operator==(const OpenArgs&) const = default;
    };

    struct ServedFile {
        std::filesystem::path path;
        std::string name;
    };

    std::filesystem::path SettingsFile() const;
    void EndStream();
    std::chrono::steady_clock::time_point Now() const;
    void AdvanceDownload(std::size_t doneTarget);
    void AdvanceDownloadByClock();
    int DamageCode(const ServedFile& file) const;
    bool LoadCurrentFile(int& rc);
    std::string_view KeptOrRead(const std::filesystem::path& file);
    void KeepOnlyFilesOfThisOpen();
    bool NextRecord(std::string_view& record);
    std::size_t PassOverDamaged(std::string_view rest, std::string_view kind, std::size_t length);

    Config config_;
    LocalSettings settings_;
    bool initialised_ = false;

    Stream stream_ = Stream::None;
    int endCode_ = kRcEnd;           // what reads return once every record has been served
    OpenArgs args_;
    std::vector<ServedFile> files_;  // files of the current (or last) open, in serving order
    std::size_t current_ = 0;        // index of the file being read
    bool loaded_ = false;            // content_ holds files_[current_]
    std::string_view content_;       // in readBuffer_ or kept_
    std::string readBuffer_;         // kept from file to file and open to open: reused, not refilled
    std::uintmax_t largestFile_ = 0; // of the current open: the room readBuffer_ takes once
    std::size_t pos_ = 0;            // next byte of content_ to serve
    std::int64_t recordInFile_ = 0;  // number of the record last cut from content_, from 1
    long long passedOver_ = 0;       // damaged records passed over since the instance was made
    std::optional<std::size_t> damagedAt_;  // file the last open stopped at with -402/-403

    // Simulated download of the current open.
    std::vector<std::size_t> pending_;  // indexes into files_ still to download, in order
    std::size_t done_ = 0;              // how many of pending_ are downloaded
    std::chrono::steady_clock::time_point openedAt_{};

    // Remembered for the life of the instance.
    std::set<std::filesystem::path> downloaded_;
    std::set<std::filesystem::path> deleted_;  // damaged files JVFiledelete has named
    struct Resume {
        OpenArgs args;
        std::filesystem::path file;
    };
    std::optional<Resume> resume_;

    // Bytes of the files the last open served (and of those this one served so far), as they
    // were when read, for the next open.
    struct KeptFile {
        std::uintmax_t size;
        std::filesystem::file_time_type modified;
        common::LoadedFile bytes;
    };
    std::map<std::filesystem::path, KeptFile> kept_;
    std::size_t keptSize_ = 0;  // bytes held in kept_
};

}  // namespace dataservice
