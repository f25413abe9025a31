#pragma once

#include <filesystem>

// JRACODE/CodeTable.csv: names of the data service's codes, eight fields a line, Shift-JIS.
namespace demoweek {

void WriteCodeTable(const std::filesystem::path& file);

}  // namespace demoweek
