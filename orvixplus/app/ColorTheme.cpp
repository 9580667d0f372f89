#include "ColorTheme.h"
#include "IniFile.h"
#include "SkinMenu.h"
#include "SkinValue.h"

namespace {

const char kSection[] = "COLORTHEME";

// In the order of the theme's colours.
static_assert(THEME_COLOR_COUNT == SKINMENU_COLOR_COUNT + 1, "one logo colour, then the slots");

const char* const kColorKeys[THEME_COLOR_COUNT] = {
    "LogoTextEndColor", "MenuColor", "IconBarColor", "LightBarColor", "LightBarStartColor",
    "LightBarEndColor", "TextColor", "HighLightColor", "Frame0Color", "Frame1Color",
    "Frame2Color", "Frame3Color",
};

COLORREF DefaultColor(int index)
{
    return index == THEME_LOGO_COLOR ? SKINMENU_DEFAULT_LOGO_COLOR
                                     : SkinMenu_GetDefaultColor(index - 1);
}

BOOL HasKey(const CStringArray& keys, LPCSTR pszKey)
{
    for (int i = 0; i < keys.GetSize(); i++)
        if (keys[i].CompareNoCase(pszKey) == 0)
            return TRUE;
    return FALSE;
}

}  // namespace

COLORREF ParseThemeColor(const CString& value)
{
    CString rest = value;
    return ParseColor(rest);
}

void ReadColorTheme(LPCSTR pszSkinIni, ColorTheme* pTheme)
{
    CIniFile ini(pszSkinIni);
    CStringArray keys;
    ini.GetKeyNames(kSection, keys);
    pTheme->strLogoImage = ini.GetString(kSection, "LogoImage", "");
    pTheme->strBackground = ini.GetString(kSection, "BackGrndBmp", "");
    pTheme->strLogoText = ini.GetString(kSection, "LogoText", "");
    for (int i = 0; i < THEME_COLOR_COUNT; i++) {
        pTheme->colors[i] = HasKey(keys, kColorKeys[i])
                                ? ParseThemeColor(ini.GetString(kSection, kColorKeys[i], ""))
                                : DefaultColor(i);
    }
}

void ApplyColorTheme(HWND hWnd, const ColorTheme& theme)
{
    CSkinMenuManager::Install(hWnd);
    SkinMenu_SetLogo(theme.strLogoText, theme.colors[THEME_LOGO_COLOR]);
    SkinMenu_SetFlags(SkinMenu_GetFlags() & ~(DWORD)SKINMENU_FLAG_ICONBAR);
    for (int slot = 0; slot < SKINMENU_COLOR_COUNT; slot++)
        SkinMenu_SetColor(slot, theme.colors[slot + 1]);
}

void LoadColorTheme(HWND hWnd, LPCSTR pszSkinIni, ColorTheme* pTheme)
{
    ReadColorTheme(pszSkinIni, pTheme);
    ApplyColorTheme(hWnd, *pTheme);
}
