#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The application folder: the folder that holds the program file, where every file lives.
namespace common {

/// The program file's folder with exactly one trailing separator, computed on the first call
/// and cached for the rest of the run.
const std::string& GetAppFolder();

/// The application folder the steps work in (set by the main menu from GetAppFolder, by tests to
/// a temporary folder). Ends in one separator.
const std::string& AppFolder();
void SetAppFolder(std::string folder);

/// AppFolder / relative, where `relative` may use "/" or "\" between its parts.
std::filesystem::path AppPath(std::string_view relative);

/// The entry of `folder` whose name equals `name` without regard to ASCII letter case;
/// folder / name when there is none.
std::filesystem::path FindNoCase(const std::filesystem::path& folder, std::string_view name);

/// OPTION1N/<name> and JRACODE/<name> under AppFolder, matched without regard to letter case.
std::filesystem::path Option1nPath(std::string_view name);
std::filesystem::path JraCodePath(std::string_view name);

/// True when a key that becomes part of a file name holds only ASCII letters and digits.
bool IsSafeKey(std::string_view key);

/// True when a name (UTF-8, the form file names have on disk) can stand inside one file name
/// without reaching another folder: no "/" or "\", no control character (C0, DEL or C1), and not
/// "." or "..". The empty text is true: it adds nothing to the name it stands in (a course name
/// that the code table lacks gives the file name without it). Check CP932 bytes only after
/// converting them: a CP932 trail byte can be 0x5C.
bool IsPlainFileNamePart(std::string_view name);

}  // namespace common
