#include "acquisition/odds_line_file.h"

#include <exception>
#include <utility>

#include "common/error_log.h"
#include "common/paths.h"
#include "common/record_file.h"
#include "records/layouts.h"
#include "records/record_check.h"

namespace acquisition {

std::string_view OddsKindTag(OddsKind kind) {
    switch (kind) {
        case OddsKind::O1: return "O1";
        case OddsKind::O2: return "O2";
        case OddsKind::O4: return "O4";
        case OddsKind::O5: return "O5";
        case OddsKind::O6: return "O6";
    }
    return {};
}

std::string NoOddsPart(OddsKind kind) {
    std::string_view bet;
    switch (kind) {
        case OddsKind::O1: bet = "単勝・複勝"; break;
        case OddsKind::O2: bet = "馬連"; break;
        case OddsKind::O4: bet = "馬単"; break;
        case OddsKind::O5: bet = "3連複"; break;
        case OddsKind::O6: bet = "3連単"; break;
    }
    return std::string(bet) + "オッズがありません";
}

std::optional<OddsKind> OddsKindOf(std::string_view record) {
    // Most records a fetch reads are of other kinds (races, runners): their first byte tells.
    if (!record.starts_with('O')) return std::nullopt;
    for (OddsKind kind : {OddsKind::O1, OddsKind::O2, OddsKind::O4, OddsKind::O5, OddsKind::O6})
        if (record.starts_with(OddsKindTag(kind))) return kind;
    return std::nullopt;
}

std::string OddsLineFileName(OddsKind kind, OddsStem stem) {
    std::string name(OddsKindTag(kind));
    name += stem == OddsStem::ThisWeek ? "THISWEEKN" : "RIALTIME";
    name += ".dat";
    return name;
}

std::filesystem::path OddsLineFilePath(OddsKind kind, OddsStem stem) {
    return common::AppPath(OddsLineFileName(kind, stem));
}

std::int64_t ForEachOddsRecord(OddsKind kind, std::string_view step, const std::filesystem::path& file,
                               std::string_view bytes, const std::function<void(std::string_view)>& visit) {
    const auto each = [&](std::int64_t, std::string_view record) { visit(record); };
    switch (kind) {
        case OddsKind::O1: return records::ForEachSoundRecord<records::LayoutO1>(step, file, bytes, each);
        case OddsKind::O2: return records::ForEachSoundRecord<records::LayoutO2>(step, file, bytes, each);
        case OddsKind::O4: return records::ForEachSoundRecord<records::LayoutO4>(step, file, bytes, each);
        case OddsKind::O5: return records::ForEachSoundRecord<records::LayoutO5>(step, file, bytes, each);
        case OddsKind::O6: return records::ForEachSoundRecord<records::LayoutO6>(step, file, bytes, each);
    }
    return 0;
}

void WriteOddsLine(common::TextAppender& out, std::string_view record) {
    std::string line;
    AppendOddsLine(line, record);
    out.Raw(line);
}

void AppendOddsLine(std::string& out, std::string_view record) {
    out += record;
    // A record always arrives with its CR LF; one that lost it still gets a line of its own, or
    // it would spoil the record after it as well.
    if (!record.ends_with("\r\n")) out += "\r\n";
}

OddsLineWriter::OddsLineWriter(OddsStem stem, std::vector<OddsKind> kinds, std::string step)
    : step_(std::move(step)) {
    outputs_.reserve(kinds.size());
    // Each file is written to a scratch file that replaces it when all its lines are in: a fetch
    // cut short leaves the last fetch's file whole, never one emptied or cut in place.
    for (OddsKind kind : kinds) {
        Output output{kind, OddsLineFilePath(kind, stem), nullptr};
        if (!common::PassOver(step_, [&] {
                output.file = std::make_unique<common::TextAppender>(common::ScratchPathFor(output.target), true);
            }))
            ++failures_;
        outputs_.push_back(std::move(output));
    }
}

OddsLineWriter::~OddsLineWriter() { Close(); }

OddsLineWriter::Output* OddsLineWriter::Find(OddsKind kind) {
    for (Output& output : outputs_)
        if (output.kind == kind) return &output;
    return nullptr;
}

bool OddsLineWriter::Append(std::string_view record) {
    const auto kind = OddsKindOf(record);
    if (!kind) return false;
    Output* output = Find(*kind);
    if (output == nullptr || output->file == nullptr) return false;
    if (common::PassOver(step_, [&] { WriteOddsLine(*output->file, record); })) return true;
    output->failed = true;
    return false;
}

void OddsLineWriter::Close() {
    for (Output& output : outputs_) {
        if (output.file == nullptr) continue;
        if (!common::PassOver(step_, [&] { output.file->Close(); })) output.failed = true;
        output.file.reset();
        const std::filesystem::path scratch = common::ScratchPathFor(output.target);
        if (output.failed) {
            ++failures_;
            common::LogError(step_, output.target.string() + " left as it was: the new lines could not all be written");
            common::PassOver(step_, [&] { common::RemoveFile(scratch); });
        } else if (!common::PassOver(step_, [&] { common::RenameFile(scratch, output.target); })) {
            ++failures_;
        }
    }
}

}  // namespace acquisition
