#include "acquisition/weekly_fetch.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <system_error>

#include "acquisition/message_note.h"
#include "acquisition/scratch_file.h"
#include "acquisition/stored_fetch.h"
#include "acquisition/weights_installer.h"
#include "common/error_log.h"
#include "common/missing_input.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/decoders.h"
#include "records/record_check.h"
#include "records/week_record_file.h"

namespace acquisition {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStep = "FetchThisWeek";

// One week file, written through its scratch file: only a fetch that ends normally puts it in
// the week file's place.
class WeekFileWriter : public ScratchFile<common::RecordAppender> {
public:
    WeekFileWriter(std::string_view name, int recordLength)
        : ScratchFile(kStep, common::AppPath(name)), length_(static_cast<std::size_t>(recordLength)) {}

    /// Opens the scratch file as a new, empty record file.
    void Open() { ScratchFile::Open(length_); }

    /// Writes a stored record as record count + 1.
    void Append(std::string_view stored) {
        ScratchFile::Append([&](common::RecordAppender& file) { file.Append(stored); });
    }

private:
    std::size_t length_;
};

// The five week files, in the order they are opened; they close in reverse.
struct WeekFiles {
    WeekFileWriter ra{records::kRaThisWeek, records::WeekFileRA::kRecordLength};
    WeekFileWriter se{records::kSeThisWeek, records::WeekFileSE::kRecordLength};
    WeekFileWriter um{records::kUmThisWeek, records::WeekFileUM::kRecordLength};
    WeekFileWriter ks{records::kKsThisWeek, records::WeekFileKS::kRecordLength};
    WeekFileWriter hr{records::kHrThisWeek, records::WeekFileHR::kRecordLength};

    /// Opens the five as new, empty scratch files, once; each failure is passed over on its own.
    void OpenAll() {
        if (opened_) return;
        opened_ = true;
        for (WeekFileWriter* f : All()) common::PassOver(kStep, [&] { f->Open(); });
    }
    void CloseAll() {
        const auto all = All();
        for (auto f = all.rbegin(); f != all.rend(); ++f) common::PassOver(kStep, [&] { (*f)->Close(); });
    }
    /// True when all five hold the whole week.
    bool Sound() {
        const auto all = All();
        return opened_ && std::all_of(all.begin(), all.end(), [](const WeekFileWriter* f) { return f->Sound(); });
    }
    /// The new week in place of the old. Each rename is its own sub-step; false when one failed.
    bool ReplaceAll() {
        bool all = true;
        for (WeekFileWriter* f : All()) all = common::PassOver(kStep, [&] { f->Replace(); }) && all;
        return all;
    }
    void DiscardAll() {
        for (WeekFileWriter* f : All()) common::PassOver(kStep, [&] { f->Discard(); });
    }

private:
    std::array<WeekFileWriter*, 5> All() { return {&ra, &se, &um, &ks, &hr}; }
    bool opened_ = false;
};

// Decodes a delivered record, packs it into its stored form and appends it to its week file.
// A service may deliver a kind at another version's length: a record shorter than its layout is
// stored with blanks in place of the bytes it lacks, one longer without the bytes beyond the
// layout, each with its line end where the layout has it (Fit). A record that is not one line
// (CR LF at its end and nowhere before) is damaged: it is passed over and logged with the data
// service's file and its number there, never stored.
// The decoded and stored records are kept between calls so that their buffers are reused.
class RecordStore {
public:
    explicit RecordStore(WeekFiles& files) : files_(files) {}

    void Store(std::string_view record, std::string_view fileName) {
        if (fileName != fileName_) {
            fileName_.assign(fileName);
            recordInFile_ = 0;
        }
        ++recordInFile_;
        const std::string_view kind = record.substr(0, 2);
        if (kind == "RA") {
            if (!Fit<records::LayoutRA>(record)) return;
            records::DecodeRA(record, ra_);
            records::PackRecordRA(ra_, storedRa_);
            files_.ra.Append(storedRa_.Bytes());
        } else if (kind == "SE") {
            if (!Fit<records::LayoutSE>(record)) return;
            records::DecodeSE(record, se_);
            records::PackRecordSE(se_, storedSe_);
            files_.se.Append(storedSe_.Bytes());
        } else if (kind == "UM") {
            if (!Fit<records::LayoutUM>(record)) return;
            // A horse of data kind "9" has been deregistered: it is dropped and takes no number.
            if (record[2] == '9') return;
            records::DecodeUM(record, um_);
            records::PackRecordUM(um_, storedUm_);
            files_.um.Append(storedUm_.Bytes());
        } else if (kind == "KS") {
            if (!Fit<records::LayoutKS>(record)) return;
            records::DecodeKS(record, ks_);
            records::PackRecordKS(ks_, storedKs_);
            files_.ks.Append(storedKs_.Bytes());
        } else if (kind == "HR") {
            if (!Fit<records::LayoutHR>(record)) return;
            records::DecodeHR(record, hr_);
            records::PackRecordHR(hr_, storedHr_);
            files_.hr.Append(storedHr_.Bytes());
        }
        // Every other kind the data spec brings is not kept.
    }

    /// Delivered records passed over as damaged.
    std::int64_t PassedOver() const { return passedOver_; }

private:
    // Makes `record` (of L's tag) one of L's length; false when it is damaged (logged).
    template <class L>
    bool Fit(std::string_view& record) {
        constexpr auto length = static_cast<std::size_t>(records::kLength<L>);
        const records::RecordFault fault = records::CheckRecord<L>(record);
        if (fault == records::RecordFault::None) return true;
        const std::size_t size = record.size();
        const std::size_t lineBreak = record.find_first_of("\r\n");
        const bool oneLine = size >= 4 && lineBreak == size - 2 && record[size - 1] == '\n';
        if (size != length && oneLine) {
            fitted_.assign(record.substr(0, std::min(size, length) - 2));
            fitted_.resize(length - 2, ' ');
            fitted_ += "\r\n";
            record = fitted_;
            return true;
        }
        std::string reason;
        if (size == length) reason = records::FaultReason(fault, L::kName, length, record);
        else if (lineBreak >= size - 2)
            reason = "no CR LF at its end (" + std::to_string(size) + " bytes; " + std::string(L::kName) + " has " +
                     std::to_string(length) + ")";
        else reason = "a line break at byte " + std::to_string(lineBreak + 1) + " of " + std::to_string(size) + ": not one record";
        ++passedOver_;
        common::LogError(kStep, fileName_ + " record " + std::to_string(recordInFile_) + ": " + reason + ": passed over");
        return false;
    }

    WeekFiles& files_;
    std::string fileName_;
    std::int64_t recordInFile_ = 0;
    std::int64_t passedOver_ = 0;
    std::string fitted_;
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

WeeklyFetchOutcome FetchThisWeek(DownloadStarter& starter, const ProgressRunner& runProgress) {
    common::Host& host = starter.host;

    std::error_code ec;
    if (!fs::exists(common::Option1nPath("STALLION.dat"), ec))
        AskForFirstWeights(host, kFetchWeightsMissingLabel);

    host.setStatus(common::StatusBox::Text1, kFetchStartText);
    host.pumpEvents();

    // The new week goes into scratch files, opened once the download is done; last week's files
    // are replaced only by a fetch that ends normally.
    WeekFiles files;
    RecordStore store(files);
    MessageNote note(host);
    DownloadStarter noted{starter.JVLink1, starter.DownloadCount, starter.DialogResult, note};
    bool cancelled = false;
    const ProgressRunner followed = [&](DownloadStarter& s) {
        if (runProgress) runProgress(s);
        cancelled = s.DialogResult == kDownloadCancelled;
    };
    bool readToEnd = false;
    const long long passedOverBefore = starter.JVLink1.RecordsPassedOver();
    // The data service reports by return codes; anything it throws ends the reading (logged),
    // and the fetch still closes the files and the service and writes its end text.
    const bool ran = common::PassOver(kStep, [&] {
        readToEnd = RunStoredFetch(noted, followed,
                                   {kStep, kWeeklyFetchSid, kWeeklyDataSpec, kRepairDamagedAndCorrupt, [&] { files.OpenAll(); }},
                                   [&](std::string_view record, std::string_view fileName) { store.Store(record, fileName); });
    });
    files.CloseAll();
    common::PassOver(kStep, [&] { starter.JVLink1.JVClose(); });

    // Damaged records passed over, by the fetch or by the data service: the week is not whole.
    const std::int64_t damaged = store.PassedOver() + (starter.JVLink1.RecordsPassedOver() - passedOverBefore);
    WeeklyFetchOutcome outcome = WeeklyFetchOutcome::Failed;
    std::string reason;
    Replacement replaced = Replacement::Whole;
    if (ran && readToEnd && damaged == 0 && files.Sound()) {
        replaced = ReplaceUnderMark(kStep, common::MarkedStep::WeeklyFetch, [&] { return files.ReplaceAll(); });
        if (replaced == Replacement::NotMarked) files.DiscardAll();
        if (replaced == Replacement::Whole || replaced == Replacement::MarkLeft) outcome = WeeklyFetchOutcome::Done;
        else reason = ReplacementFailure(replaced, common::MarkedStep::WeeklyFetch, "week");
    } else {
        files.DiscardAll();
        if (ran && cancelled) outcome = WeeklyFetchOutcome::Cancelled;
        else if (ran && readToEnd && damaged > 0)
            reason = std::to_string(damaged) + " damaged records passed over (see above): the week files were kept";
        else if (ran && readToEnd) reason = "not every record could be written (see above): the week files were kept";
        else if (note.Last().empty()) reason = "the fetch did not end normally: the week files were kept";
        else reason = "the fetch ended with \"" + note.Last() + "\": the week files were kept";
    }
    switch (outcome) {
        case WeeklyFetchOutcome::Done:
            host.setStatus(common::StatusBox::Text1, std::string(kFetchEndText) + common::PassedOverNote(MarkLeftParts(replaced)));
            break;
        case WeeklyFetchOutcome::Cancelled: host.setStatus(common::StatusBox::Text1, kFetchCancelledText); break;
        case WeeklyFetchOutcome::Failed:
            common::LogError(kStep, reason);
            host.setStatus(common::StatusBox::Text1, kFetchFailedText);
            break;
    }
    return outcome;
}

}  // namespace acquisition
