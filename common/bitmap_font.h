#pragma once
#include <array>
#include <cstdint>

namespace pelk {

// The picture's built-in font: 5 x 7 glyphs, one byte per row from the top, bit 4 the leftmost
// column. It covers A-Z (lower case drawn as upper case), 0-9, the blank and a few signs; any
// other character is drawn as "?".
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// A text is drawn over a box one pixel wider than its glyphs on every side; glyphs are one
// column apart.
inline constexpr int kCharAdvance = kGlyphWidth + 1;
inline constexpr int kTextBoxHeight = kGlyphHeight + 2;

using Glyph = std::array<std::uint8_t, kGlyphHeight>;

const Glyph& glyphFor(char c);

}  // namespace pelk
