// A 5x7 bitmap font of our own for the texts the card burns into its
// pictures (station names, the clock). Covers digits, Latin letters (lower
// case drawn as upper case) and common punctuation; anything else shows as a
// box so that a missing glyph is visible rather than silently dropped.
#pragma once

namespace card {

enum { kGlyphWidth = 5, kGlyphHeight = 7 };

// Seven rows, the top first; bit 4 is the leftmost column.
const unsigned char* GlyphRows(char c);

}  // namespace card
