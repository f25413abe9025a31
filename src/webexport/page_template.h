#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "webexport/site_config.h"

// The page template of the race page, rows 1 to 153, which the day print page also writes from by
// row number. A row is its leading blanks, its text with named placeholders in braces, and whether
// an empty line follows it. Lines end in CR LF.
namespace webexport {

struct TemplateRow {
    int Blanks;
    std::string_view Text;
    bool EmptyLineAfter;
};

inline constexpr int kTemplateRows = 153;
/// The row group of one runner of the race card.
inline constexpr int kRunnerRowFirst = 99;
inline constexpr int kRunnerRowLast = 108;
/// The rows that stand for fragments of several lines.
inline constexpr int kSideAdRow = 137;
inline constexpr int kMainAdRow = 140;
inline constexpr int kAnalyticsRow = 151;

/// Row 1 to 153; throws std::out_of_range outside.
const TemplateRow& PageTemplateRow(int row);

/// Placeholder names and their values, the values already fit to stand in the page (escaped).
using Placeholders = std::vector<std::pair<std::string_view, std::string>>;

/// Appends row `row` with its placeholders replaced, CR LF, and the empty line it may have.
/// Throws std::logic_error for a placeholder that `values` lacks.
void AppendRow(std::string& out, int row, const Placeholders& values);

/// The same for a row given whole rather than by number (a row that a page changes).
void AppendRowText(std::string& out, const TemplateRow& row, const Placeholders& values);

/// The fragments, eleven lines each with CR LF; empty when their settings are incomplete.
std::string SideAdFragment(const SiteConfig& config);
std::string MainAdFragment(const SiteConfig& config);
std::string AnalyticsFragment(const SiteConfig& config);

}  // namespace webexport
