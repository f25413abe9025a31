#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace testsupport {

/// A fresh temporary folder that becomes AppFolder for the test; removed with its content after.
class TempAppFolder {
public:
    TempAppFolder();
    ~TempAppFolder();
    TempAppFolder(const TempAppFolder&) = delete;
    TempAppFolder& operator=(const TempAppFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view relative) const;

    /// Writes bytes to a file under the folder (creating parent folders).
    void Write(std::string_view relative, std::string_view bytes) const;
    /// Reads a file under the folder ("" when missing).
    std::string Read(std::string_view relative) const;
    bool Exists(std::string_view relative) const;
    /// Every file under a sub-folder ("" for the whole folder), by its path relative to the
    /// folder ('/' separated), with its bytes; empty when the sub-folder is missing.
    std::map<std::string, std::string> Files(std::string_view relative = "") const;

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
