#pragma once

#include <string>
#include <string_view>

// Text that stands in a web page.
namespace webexport {

/// `text` with & < > " written as character references, so that it stands as text in an element
/// or in a double-quoted attribute value and changes no markup.
std::string EscapeHtml(std::string_view text);

/// The same, appended to `out`.
void AppendEscaped(std::string& out, std::string_view text);

}  // namespace webexport
