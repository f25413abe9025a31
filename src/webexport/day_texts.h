#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "common/day_files.h"
#include "webexport/page_values.h"
#include "workbench/race_writer.h"

// The day files of the web export hold a meeting day's races as one whole text: each writer keeps
// what it has written to each day file in this run and rewrites the file whole at every race, so
// that the file is always complete (its end mark after the races so far) and a race that fails
// leaves it as it was.
namespace webexport {

/// A day file's text: what the day's races added, then what every rewrite puts after them.
struct DayText {
    std::string Body;
    std::string Tail;
};

/// The texts one writer has written to its day files in one batch run, by file.
class DayTexts {
public:
    /// What this run wrote to `path` last; nullptr when the run's day files have not met the path
    /// yet, so that the day starts afresh.
    const DayText* Written(const common::DayFiles& files, const std::filesystem::path& path) const;

    /// Rewrites `path` whole through the run's day files (a scratch file and a rename): the body
    /// written before (none when Written gives nullptr), `added.Body` after it, then `added.Tail`.
    /// Keeps the text once the file holds it. Throws on failure, keeping what it had.
    void Write(common::DayFiles& files, const std::filesystem::path& path, DayText added);

private:
    std::map<std::string, DayText, std::less<>> texts_;
};

/// What the race adds to its day file, from what the run wrote before (nullptr: the day starts
/// afresh, and Body starts with the file's head): Body follows the body written before, Tail
/// replaces the tail.
using NextDayText = std::function<DayText(const PageValues& page, const DayText* before)>;

/// One call of a day writer: checks the race's MeetingKey (14 digits) and the web folder, names
/// the file with `fileName`, and rewrites it with the text `next` gives. A failure throws with the
/// writer's name, the MeetingKey and the file.
void WriteDayFile(workbench::RaceContext& context, DayTexts& texts, std::string (*fileName)(const PageValues&),
                  const NextDayText& next);

}  // namespace webexport
