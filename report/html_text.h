#pragma once
#include <string>
#include <string_view>

namespace pelk {

// Text made safe for HTML and SVG content and attribute values. Bytes that are not valid UTF-8
// (scan names are whatever the file system holds) become U+FFFD, so the page stays well formed.
std::string escapeHtml(std::string_view text);

// A figure for a report: fixed decimals, no "-0", "–" for a value that is not finite.
std::string figure(double value, int decimals);

}  // namespace pelk
