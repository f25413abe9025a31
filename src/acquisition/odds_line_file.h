#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_file.h"

// Odds line files: one odds record per line, exactly as the data service delivered it (its own
// CR LF ends the line, nothing is added or removed), in the order of delivery.
namespace acquisition {

/// The odds kinds that are kept in line files, by the record kind tag they carry.
enum class OddsKind { O1, O2, O4, O5, O6 };

/// Which set of line files: this week's stored odds or the breaking odds of today.
enum class OddsStem { ThisWeek, Realtime };

/// "O2", "O4", ... : the first two bytes of a record of the kind.
std::string_view OddsKindTag(OddsKind kind);

/// The part of an end text's note (common::PassedOverNote) for a kind that has no odds: the bet
/// as the user knows it, "3連単オッズがありません" for O6, "馬連オッズがありません" for O2, ...
std::string NoOddsPart(OddsKind kind);

/// The kind whose tag starts `record`; nothing for any other record.
std::optional<OddsKind> OddsKindOf(std::string_view record);

/// File name of a line file under AppFolder: "O2THISWEEKN.dat", "O6RIALTIME.dat", ...
std::string OddsLineFileName(OddsKind kind, OddsStem stem);

/// AppFolder / OddsLineFileName(kind, stem).
std::filesystem::path OddsLineFilePath(OddsKind kind, OddsStem stem);

/// Calls visit(record) for each whole record of `bytes`, the content of the line file `file` of
/// `kind`, in order: each line is a record of the kind's fixed length, so the file goes through the
/// record check (records::ForEachSoundRecord). A damaged record (cut short, of another kind, a
/// torn tail) is passed over and logged under `step`, and after a line without its CR LF the rest
/// is shifted and not read. Returns the records passed over.
std::int64_t ForEachOddsRecord(OddsKind kind, std::string_view step, const std::filesystem::path& file,
                               std::string_view bytes, const std::function<void(std::string_view)>& visit);

/// Writes a record's bytes as delivered as one line of `out` (a record that arrived without its
/// CR LF gets one, so that it still is a line).
void WriteOddsLine(common::TextAppender& out, std::string_view record);
/// The same, added to the end of `out`, for a file that is written whole.
void AppendOddsLine(std::string& out, std::string_view record);

/// The line files of one fetch, each emptied when the writer is made and kept open for the whole
/// fetch, so that a fetch opens each file once. Records of a kind the writer does not keep are
/// skipped.
class OddsLineWriter {
public:
    /// Starts the files of `kinds` anew, in the order given, each in its scratch file; Close
    /// puts each in its file's place once all its lines are written, and a file any of whose
    /// lines failed stays as it was (logged). A scratch file that cannot be created is logged
    /// under `step`; records of its kind are then passed over.
    OddsLineWriter(OddsStem stem, std::vector<OddsKind> kinds, std::string step);
    ~OddsLineWriter();
    OddsLineWriter(const OddsLineWriter&) = delete;
    OddsLineWriter& operator=(const OddsLineWriter&) = delete;

    /// Appends the record's bytes as delivered to the file of its kind (a record that arrived
    /// without its CR LF gets one, so that it still is a line). Returns true when the
    /// record was written; false for a kind that is not kept here, or when writing failed (the
    /// failure is logged under the step).
    bool Append(std::string_view record);

    /// Closes every file and puts it in place (a failure is logged). Called by the destructor as
    /// well.
    void Close();

    /// Files that could not be started, written or put in place (each logged).
    int Failures() const { return failures_; }

private:
    struct Output {
        OddsKind kind;
        std::filesystem::path target;
        std::unique_ptr<common::TextAppender> file;  // the scratch file; null when it could not be opened
        bool failed = false;                          // a line could not be written
    };
    Output* Find(OddsKind kind);

    std::string step_;
    std::vector<Output> outputs_;
    int failures_ = 0;
};

}  // namespace acquisition
