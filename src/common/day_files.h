#pragma once

#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <string_view>

// Day files (one per meeting day, date or race, written race by race): the first write of a run
// empties the file, every later write of the same run appends, even when other days' races came
// in between. A file counts as met only once that first write has succeeded, so a failed first
// write never makes the next race append to last week's file. One DayFiles lives for one run of
// the batch; running the batch again empties each day file once more.
namespace common {

class DayFiles {
public:
    /// True when the next write to `path` will be the run's first (the writer then starts the
    /// file with its head lines).
    bool IsNew(const std::filesystem::path& path) const;

    /// Writes a whole block: the file's whole content when the path is new (through a scratch
    /// file and a rename), else appended with one write; an append that fails part way is cut
    /// back, so the file never holds half a block. Throws std::runtime_error (std::system_error)
    /// naming the path on failure.
    void Append(const std::filesystem::path& path, std::string_view bytes);

    /// Rewrites the whole file through a scratch file and a rename and marks the path met, for
    /// writers that keep a day's text and rewrite their file at every race. Throws on failure.
    void Replace(const std::filesystem::path& path, std::string_view bytes);
    /// The same with the content in pieces, written one after another (no copy that joins them).
    void Replace(const std::filesystem::path& path, std::span<const std::string_view> pieces);

private:
    static std::string Key(const std::filesystem::path& path);
    std::set<std::string> met_;
};

}  // namespace common
