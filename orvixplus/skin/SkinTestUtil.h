// Helpers of the skin toolkit's tests: memory bitmaps with known pixels,
// pixel read-back and the generated default skin.
#pragma once
#include "Afx.h"
#include <functional>
#include <string>
#include "TestSupport.h"
#include "IniFile.h"
#include "SkinValue.h"
#include "BitmapUtil.h"
#include <vector>

namespace skintest {

// A top-down 32-bit section whose pixel (x, y) is colour(x, y).
inline HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    DWORD* p = NULL;
    HBITMAP hbm = CreateDib32(w, h, &p);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return hbm;
}

inline HBITMAP SolidBitmap(int w, int h, COLORREF c)
{
    return MakeBitmap(w, h, [c](int, int) { return c; });
}

// A memory context with a bitmap selected, for drawing tests.
class Surface {
public:
    Surface(int w, int h, COLORREF fill) : w_(w), h_(h)
    {
        dc_ = CreateCompatibleDC(NULL);
        bmp_ = SolidBitmap(w, h, fill);
        old_ = SelectObject(dc_, bmp_);
    }
    ~Surface()
    {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bmp_; }
    // Device coordinates, whatever the context's origin.
    COLORREF At(int x, int y) const
    {
        POINT org;
        GetViewportOrgEx(dc_, &org);
        POINT worg;
        GetWindowOrgEx(dc_, &worg);
        return GetPixel(dc_, x - org.x + worg.x, y - org.y + worg.y) & 0xffffff;
    }
private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
};

// Pixel of a bitmap that is not selected anywhere.
inline COLORREF PixelOf(HBITMAP hbm, int x, int y)
{
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, hbm);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c & 0xffffff;
}

inline std::string SkinDir() { return ts::ExeDir() + "skins\\elegance\\"; }

inline bool WriteFile(const std::string& path, const void* data, size_t n)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(h, data, (DWORD)n, &written, NULL);
    CloseHandle(h);
    return ok && written == n;
}

// One element of the skin's numbered sections, its tokens parsed.
struct SkinElement {
    CString name, tip, cursor, orientation;
    CRect rect;
    BOOL hasCursor = FALSE, shaped = FALSE;
    COLORREF key = 0;
    int number = 0;
};

// The elements of [ShapeButtonInfo], [ShapeProgressInfo] or [TimerInfo] of
// skin.ini, in key order.
inline std::vector<SkinElement> ReadElements(const std::string& ini, const char* section)
{
    const char* prefix = !strcmp(section, "ShapeButtonInfo") ? "Button"
        : !strcmp(section, "ShapeProgressInfo") ? "Progress" : "Timer";
    CIniFile file(ini.c_str());
    CStringArray keys;
    file.GetKeyNames(section, keys);
    std::vector<SkinElement> out;
    for (int n = 1; n <= keys.GetSize(); ++n) {
        CString key;
        key.Format("%s%d", prefix, n);
        CString v = file.GetString(section, key, "");
        if (v.IsEmpty())
            continue;
        SkinElement e;
        e.number = n;
        e.name = GetNextToken(v);
        if (!strcmp(prefix, "Progress"))
            e.tip = GetNextToken(v);
        e.rect = ParseRect(v);
        if (!strcmp(prefix, "Timer")) {
            out.push_back(e);
            continue;
        }
        if (!strcmp(prefix, "Button"))
            e.tip = GetNextToken(v);
        else
            e.orientation = GetNextToken(v);
        e.hasCursor = ParseBool(GetNextToken(v));
        if (e.hasCursor)
            e.cursor = GetNextToken(v);
        e.shaped = ParseBool(GetNextToken(v));
        if (e.shaped)
            e.key = ParseColor(v);
        out.push_back(e);
    }
    return out;
}

inline const SkinElement* FindElement(const std::vector<SkinElement>& all, const char* name)
{
    for (const SkinElement& e : all)
        if (e.name == name)
            return &e;
    return NULL;
}

}  // namespace skintest
