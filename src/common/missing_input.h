#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A step that finds nothing to work on must not end as if it had worked: it names the input files
// it missed in ERRORLOG.txt, and its end text says so.
namespace common {

/// Parts of an end text's note (PassedOverNote) for inputs that held nothing.
inline constexpr std::string_view kNoInputPart = "入力ファイルがありません";
inline constexpr std::string_view kSomeInputsMissingPart = "入力ファイルの一部がありません";

/// The input files of one run of a step, and whether each held anything to work on.
class InputCheck {
public:
    /// Whether a step needs every one of its inputs, or works on whichever holds something.
    enum class Need { Every, Any };

    InputCheck(std::string_view step, Need need) : step_(step), need_(need) {}

    /// Notes an input file. One that holds nothing is logged, as missing or as empty, when the
    /// step needs it: with Need::Every at once, with Need::Any once every input has been noted
    /// empty (Report).
    void Note(const std::filesystem::path& file, bool holdsSomething);

    /// After the last Note: the part of the end text's note, "" when the step had its input.
    /// Need::Every: kNoInputPart when no input held anything, kSomeInputsMissingPart when some
    /// did not. Need::Any: kNoInputPart when none did (each then logged here).
    std::string_view Report();

    bool NothingToWorkOn() const { return !files_.empty() && empty_.size() == files_.size(); }

private:
    void Log(const std::filesystem::path& file) const;

    std::string step_;
    Need need_;
    std::vector<std::filesystem::path> files_;
    std::vector<std::filesystem::path> empty_;
    bool reported_ = false;
};

/// Before an output would be rewritten from an input that held nothing: an output that holds
/// something (a file with bytes, a folder with an entry) is kept as it is rather than emptied, and
/// that is logged under `step`, naming the input. Returns true when it was such an output.
bool KeepOutput(std::string_view step, const std::filesystem::path& output, const std::filesystem::path& input);

/// The part of an end text's note for outputs kept by KeepOutput.
std::string KeptOutputsPart(std::int64_t outputs);

/// The note a step's end text gets when something was passed over or missing: the parts joined
/// by "、" in "（…。ERRORLOG.txtを確認して下さい。）"; "" when there is no part. `runFirst`, when
/// given, is a sentence of its own after the parts (what to run before the step, RunFirstPart).
std::string PassedOverNote(const std::vector<std::string>& parts, std::string_view runFirst = {});

}  // namespace common
