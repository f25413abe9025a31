#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The data-service seam: the operations of the JV-Link control, on bytes. Records are Shift-JIS
// bytes exactly as delivered, each ending in CR LF. Every window that fetches owns its own
// instance; the program uses LocalJVLink, tests use ScriptedJVLink.
namespace dataservice {

/// Return codes. Zero and positive values are results (a record length, a count); the
/// negative ones below are what every implementation here returns for these situations.
inline constexpr int kRcOk = 0;
/// JVRead: no more records of this open.
inline constexpr int kRcEnd = 0;
/// JVRead: the next file begins; for "0B30" the race has no more records.
/// JVRTOpen: nothing stored for that key. JVFiledelete: no such file in the last open.
/// JVSetUIProperties: the settings could not be kept.
inline constexpr int kRcNextFile = -1;
inline constexpr int kRcNoData = -1;
inline constexpr int kRcSettingsFailed = -1;
/// JVOpen / JVRTOpen: the data spec is not a run of four-character ids (or not a breaking-news spec).
inline constexpr int kRcBadDataSpec = -111;
/// JVOpen: the from-time is not "yyyymmddhhmmss" (or two of them joined by "-").
inline constexpr int kRcBadFromTime = -112;
/// JVRTOpen: the key is not the digits its data spec expects (8 for "0B12", 16 for "0B30").
inline constexpr int kRcBadKey = -114;
/// JVOpen: the option is not 1 to 4.
inline constexpr int kRcBadOption = -115;
/// Any operation but JVSetUIProperties, JVCancel and JVClose before JVInit.
inline constexpr int kRcNotInitialised = -201;
/// JVOpen / JVRTOpen while an earlier open has not been closed.
inline constexpr int kRcAlreadyOpen = -202;
/// JVRead / JVStatus without an open; also "0B12": nothing more for the date.
inline constexpr int kRcNotOpen = -203;
inline constexpr int kRcNothingMoreForDate = -203;
/// JVOpen: a data folder exists but cannot be listed.
inline constexpr int kRcInternal = -401;
/// JVRead: the file named in the file name is damaged; JVFiledelete it and open again.
inline constexpr int kRcDamagedFile = -402;
inline constexpr int kRcCorruptFile = -403;
/// JVRead: a served file could not be read.
inline constexpr int kRcFileUnreadable = -503;

/// Counts and time stamp that JVOpen gives back by reference.
struct OpenCounts {
    int readCount = 0;          ///< files this open will serve
    int downloadCount = 0;      ///< files still to download before they can all be read
    std::string lastFileTimestamp;  ///< "yyyymmddhhmmss" of the newest file served, or ""
};

class JVLink {
public:
    virtual ~JVLink() = default;

    /// Starts a session with a software id. 0 = ready.
    virtual int JVInit(std::string_view sid) = 0;

    /// Shows the data service's own settings dialog. 0 = kept or cancelled, -1 = failure.
    virtual int JVSetUIProperties() = 0;

    /// Opens stored data: `dataspec` is a run of four-character ids ("TOKURACETCVNRCVN"),
    /// `fromtime` "00000000000000", `option` 1 to 4. Negative = error; otherwise readCount 0
    /// means nothing to read, downloadCount > 0 means a download now runs (see JVStatus).
    virtual int JVOpen(std::string_view dataspec, std::string_view fromtime, int option,
                       int& readCount, int& downloadCount, std::string& lastFileTimestamp) = 0;

    /// Same as above with the by-reference outputs gathered in one struct.
    int JVOpen(std::string_view dataspec, std::string_view fromtime, int option, OpenCounts& counts) {
        return JVOpen(dataspec, fromtime, option, counts.readCount, counts.downloadCount,
                      counts.lastFileTimestamp);
    }

    /// Files downloaded so far by the current open; equals its downloadCount when done.
    /// Negative = failure.
    virtual int JVStatus() = 0;

    /// Stops the download of the current open.
    virtual int JVCancel() = 0;

    /// Reads the next record. > 0: `buff` holds exactly the record (CR LF included) and `size`
    /// its length; 0: end; -1: next file; -402/-403: the file named in `fileName` is damaged;
    /// other negative: error. On results <= 0 `buff` and `size` are left as they were.
    /// `fileName` is the name of the file the record (or the damage) belongs to.
    virtual int JVRead(std::string& buff, int& size, std::string& fileName) = 0;

    /// JVRead without the copy, for a caller that looks at most records only briefly: the same
    /// results, and on a result > 0 `record` is the record (CR LF included), good until the next
    /// call on this control; on results <= 0 `record` is left as it was. A control that holds
    /// its records in memory serves views into them; this one reads into a buffer of its own.
    virtual int JVReadView(std::string_view& record, std::string& fileName) {
        int size = 0;
        const int rc = JVRead(viewBuffer_, size, fileName);
        if (rc > 0) record = std::string_view(viewBuffer_).substr(0, static_cast<std::size_t>(rc));
        return rc;
    }

    /// Removes a damaged file named by JVRead, so that the same open can be repeated.
    virtual int JVFiledelete(std::string_view fileName) = 0;

    /// Opens breaking news: "0B12" with a date yyyymmdd, "0B30" with a 16-digit RaceId.
    virtual int JVRTOpen(std::string_view dataspec, std::string_view key) = 0;

    /// Ends the current open. Harmless when nothing is open.
    virtual int JVClose() = 0;

    /// Records of the served files that this control found damaged and did not serve (each
    /// logged), since it was made. A control that serves every record as it has it returns 0;
    /// the stand-in counts, so that a fetch can tell that it did not get everything.
    virtual long long RecordsPassedOver() const { return 0; }

private:
    std::string viewBuffer_;  // what JVReadView reads into, when the control has no records of its own
};

}  // namespace dataservice
