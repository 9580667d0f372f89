// The value syntax of skin.ini: comma-separated tokens, flags, rectangles and
// colours, shared by the shaped dialog, the frame and the colour theme.
#pragma once
#include "Afx.h"

// Takes the text before the first comma off the value (the rest is trimmed).
// A value without a comma is returned whole and left as it is, so the last
// token repeats on every further call; a leading comma is an empty token.
CString GetNextToken(CString& value);
// "TRUE" in any letter case.
BOOL ParseBool(const CString& token);
// The leading decimal digits (with a sign); 0 for anything else.
int ParseInt(const CString& token);
// Four tokens: left, top, right, bottom.
CRect ParseRect(CString& value);
// Three tokens red, green, blue, each cut to 8 bits.
COLORREF ParseColor(CString& value);
