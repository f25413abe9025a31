#include "acquisition/weekly_fetch.h"

#include <cerrno>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <string>
#include <optional>
#include <system_error>


#include "acquisition/stored_fetch.h"
#include "acquisition/weights_installer.h"
#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/decoders.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStep = "FetchThisWeek";

// One week file held open for the whole fetch: a full week brings some 150 000 runner records,
// and opening the file once per record would cost more than the records themselves.
// A failed write is passed over: the first of a file is logged, the rest are counted and logged
// when the file closes.
class WeekFileWriter {
public:
    WeekFileWriter(std::string_view name, int recordLength)
        : name_(name), length_(static_cast<std::size_t>(recordLength)) {}

    /// Opens the file as a new, empty record file.
    void Open() { file_.emplace(common::AppPath(name_), length_, /*truncate=*/true); }

    /// Writes a stored record as record count + 1.
    void Append(std::string_view stored) {
        if (!file_) {
            ++lost_;  // the failed open was logged
            return;
        }
        try {
            file_->Append(stored);
        } catch (const std::exception& e) {
            if (lost_++ == 0) common::LogError(kStep, e.what());
        }
    }

    /// Closes the file (a file that never opened has nothing to close).
    void Close() {
        if (lost_ > 0) {
            common::LogError(kStep, std::to_string(lost_) + " records not written to " + name_);
            lost_ = 0;
        }
        if (!file_) return;
        // Closed once, even when the close fails.
        struct Reset {
            std::optional<common::RecordAppender>& f;
            ~Reset() { f.reset(); }
        } reset{file_};
        file_->Close();
    }

private:
    std::string name_;
    std::size_t length_;
    std::optional<common::RecordAppender> file_;
    std::int64_t lost_ = 0;
};

// The five week files, in the order they are deleted and opened; they close in reverse.
struct WeekFiles {
    WeekFileWriter ra{records::kRaThisWeek, records::WeekFileRA::kRecordLength};
    WeekFileWriter se{records::kSeThisWeek, records::WeekFileSE::kRecordLength};
    WeekFileWriter um{records::kUmThisWeek, records::WeekFileUM::kRecordLength};
    WeekFileWriter ks{records::kKsThisWeek, records::WeekFileKS::kRecordLength};
    WeekFileWriter hr{records::kHrThisWeek, records::WeekFileHR::kRecordLength};

    /// Opens the five as new, empty files, once; each failure is passed over on its own.
    void OpenAll() {
        if (opened_) return;
        opened_ = true;
        for (WeekFileWriter* f : {&ra, &se, &um, &ks, &hr}) common::PassOver(kStep, [&] { f->Open(); });
    }
    void CloseAll() {
        for (WeekFileWriter* f : {&hr, &ks, &um, &se, &ra}) common::PassOver(kStep, [&] { f->Close(); });
    }

private:
    bool opened_ = false;
};

// Decodes a delivered record, packs it into its stored form and appends it to its week file.
// The decoded and stored records are kept between calls so that their buffers are reused.
class RecordStore {
public:
    explicit RecordStore(WeekFiles& files) : files_(files) {}

    void Store(std::string_view record) {
        const std::string_view kind = record.substr(0, 2);
        if (kind == "RA") {
            records::DecodeRA(record, ra_);
            records::PackRecordRA(ra_, storedRa_);
            files_.ra.Append(storedRa_.Bytes());
        } else if (kind == "SE") {
            records::DecodeSE(record, se_);
            records::PackRecordSE(se_, storedSe_);
            files_.se.Append(storedSe_.Bytes());
        } else if (kind == "UM") {
            // A horse of data kind "9" has been deregistered: it is dropped and takes no number.
            if (record.size() >= 3 && record[2] == '9') return;
            records::DecodeUM(record, um_);
            records::PackRecordUM(um_, storedUm_);
            files_.um.Append(storedUm_.Bytes());
        } else if (kind == "KS") {
            records::DecodeKS(record, ks_);
            records::PackRecordKS(ks_, storedKs_);
            files_.ks.Append(storedKs_.Bytes());
        } else if (kind == "HR") {
            records::DecodeHR(record, hr_);
            records::PackRecordHR(hr_, storedHr_);
            files_.hr.Append(storedHr_.Bytes());
        }
        // Every other kind the data spec brings is not kept.
    }

private:
    WeekFiles& files_;
    records::RecordRA ra_;
    records::RecordSE se_;
    records::RecordUM um_;
    records::RecordKS ks_;
    records::RecordHR hr_;
    records::StoredRA storedRa_;
    records::StoredSE storedSe_;
    records::StoredUM storedUm_;
    records::StoredKS storedKs_;
    records::StoredHR storedHr_;
};

}  // namespace

void FetchThisWeek(DownloadStarter& starter, const ProgressRunner& runProgress) {
    common::Host& host = starter.host;

    std::error_code ec;
    if (!fs::exists(common::Option1nPath("STALLION.dat"), ec))
        AskForFirstWeights(host, kFetchWeightsMissingLabel);

    host.setStatus(common::StatusBox::Text1, kFetchStartText);
    host.pumpEvents();

    // The old week goes first, even when the data service then has nothing new to give.
    common::PassOver(kStep, [] { records::WeekFileRA(common::AppPath(records::kRaThisWeek)).Remove(); });
    common::PassOver(kStep, [] { records::WeekFileSE(common::AppPath(records::kSeThisWeek)).Remove(); });
    common::PassOver(kStep, [] { records::WeekFileUM(common::AppPath(records::kUmThisWeek)).Remove(); });
    common::PassOver(kStep, [] { records::WeekFileKS(common::AppPath(records::kKsThisWeek)).Remove(); });
    common::PassOver(kStep, [] { records::WeekFileHR(common::AppPath(records::kHrThisWeek)).Remove(); });

    // The week files are opened as new, empty files once the download is done; after a failed
    // open, an empty result or a cancel they stay deleted.
    WeekFiles files;
    RecordStore store(files);
    // The data service reports by return codes; anything it throws ends the reading (logged),
    // and the fetch still closes the files and the service and writes its end text.
    common::PassOver(kStep, [&] {
        RunStoredFetch(starter, runProgress,
                       {kStep, kWeeklyFetchSid, kWeeklyDataSpec, kRepairDamagedAndCorrupt, [&] { files.OpenAll(); }},
                       [&](std::string_view record) { store.Store(record); });
    });
    files.CloseAll();
    common::PassOver(kStep, [&] { starter.JVLink1.JVClose(); });
    host.setStatus(common::StatusBox::Text1, kFetchEndText);
}

}  // namespace acquisition
