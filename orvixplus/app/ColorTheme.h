// The look of the video window's menu from the skin: section [COLORTHEME] of
// skin.ini, read when the video window loads its skin and handed to the
// owner-drawn menus (whose colours every menu of the process shares).
#pragma once
#include "Afx.h"

enum {
    THEME_LOGO_COLOR = 0,   // the logo band; the eleven menu colour slots follow
    THEME_COLOR_COUNT = 12,
};

struct ColorTheme {
    CString strLogoText;
    CString strLogoImage;       // kept, not drawn
    CString strBackground;      // kept, not drawn
    COLORREF colors[THEME_COLOR_COUNT];
};

// "R,G,B" in decimal as a COLORREF; missing or non-numeric pieces are 0.
COLORREF ParseThemeColor(const CString& value);
// The section's keys. A key the file does not have keeps the menu's default
// colour (a skin without the section stays readable); a key present is taken
// as written.
void ReadColorTheme(LPCSTR pszSkinIni, ColorTheme* pTheme);
// Hooks the menu drawing on hWnd and gives the theme to the menus.
void ApplyColorTheme(HWND hWnd, const ColorTheme& theme);
// Both of the above.
void LoadColorTheme(HWND hWnd, LPCSTR pszSkinIni, ColorTheme* pTheme);
