// Tests that run OrvixPlus.exe itself: a scratch program folder with the
// program and its default skin, and reading the screen.
#pragma once
#include <windows.h>
#include <string.h>
#include <string>
#include <utility>
#include <vector>
#include "TestSupport.h"

namespace tv {

inline HWND FindMainWindow() { return FindWindowA("#32770", "Orvix Plus"); }
inline HWND FindVideoWindow() { return FindWindowA("Orvix Plus", "KESTOR ORVIX"); }

namespace detail {
inline BOOL CALLBACK FindSplashIn(HWND hwnd, LPARAM lp)
{
    auto* args = (std::pair<DWORD, HWND>*)lp;
    DWORD pid = 0;
    char cls[8] = "", text[8] = "";
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != args->first || !IsWindowVisible(hwnd) || GetWindowTextA(hwnd, text, sizeof(text)) > 0)
        return TRUE;
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (strncmp(cls, "Fw:", 3) != 0 || (GetWindowLongA(hwnd, GWL_STYLE) & WS_POPUP) == 0)
        return TRUE;
    args->second = hwnd;
    return FALSE;
}
}  // namespace detail

// The start-up's splash of the process while it shows: an untitled popup of
// a class the program registered. It goes when the start is through.
inline HWND FindSplash(DWORD pid)
{
    std::pair<DWORD, HWND> args(pid, NULL);
    EnumWindows(detail::FindSplashIn, (LPARAM)&args);
    return args.second;
}

inline DWORD FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &fa) ? fa.nFileSizeLow : (DWORD)-1;
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::string data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char buf[4096];
    DWORD n;
    while (ReadFile(h, buf, sizeof(buf), &n, NULL) && n > 0)
        data.append(buf, n);
    CloseHandle(h);
    return data;
}

// The program folder: OrvixPlus.exe with the frequency-table library beside
// it and, unless left out, skins\elegance.
inline std::string MakeProgramFolder(const char* tag, bool withSkin = true)
{
    std::string dir = ts::FreshTempDir(tag);
    for (const char* file : {"OrvixPlus.exe", "Bandatlas.dll"})
        if (!CopyFileA((ts::ExeDir() + file).c_str(), (dir + file).c_str(), FALSE))
            return "";
    if (!withSkin)
        return dir;
    std::string from = ts::ExeDir() + "skins\\elegance\\";
    std::string to = dir + "skins\\";
    CreateDirectoryA(to.c_str(), NULL);
    to += "elegance\\";
    CreateDirectoryA(to.c_str(), NULL);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + fd.cFileName).c_str(), (to + fd.cFileName).c_str(), FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return dir;
}

// Screen pixels of a rectangle, row by row, as 0x00RRGGBB.
inline std::vector<DWORD> ScreenPixels(const RECT& r)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> out;
    if (w <= 0 || h <= 0)
        return out;
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD* p = (const DWORD*)bits;
    out.assign(p, p + (size_t)w * h);
    for (DWORD& px : out)
        px &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return out;
}

// Grid of sample points: enough to tell the test pictures apart, cheap enough
// to take every few milliseconds.
const int kGridX = 32, kGridY = 24;

inline POINT GridPoint(int i, int j, int cx, int cy)
{
    POINT p = {(2 * i + 1) * cx / (2 * kGridX), (2 * j + 1) * cy / (2 * kGridY)};
    return p;
}

// The grid of the window's client area as the screen shows it now; empty
// while the window is not shown.
inline std::vector<DWORD> ScreenGrid(HWND hwnd)
{
    RECT rc;
    if (!hwnd || !IsWindowVisible(hwnd) || !GetClientRect(hwnd, &rc) || rc.right < kGridX ||
        rc.bottom < kGridY)
        return {};
    POINT o = {0, 0};
    ClientToScreen(hwnd, &o);
    RECT box = {o.x, o.y, o.x + rc.right, o.y + rc.bottom};
    std::vector<DWORD> screen = ScreenPixels(box);
    std::vector<DWORD> grid;
    for (int j = 0; j < kGridY; ++j)
        for (int i = 0; i < kGridX; ++i) {
            POINT p = GridPoint(i, j, rc.right, rc.bottom);
            grid.push_back(screen[(size_t)p.y * rc.right + p.x]);
        }
    return grid;
}

// Which of the grid's points of a window's client area lie inside its shape
// (the others show what is beneath it): all of them without a shape.
inline std::vector<bool> GridInShape(HWND hwnd)
{
    std::vector<bool> inside((size_t)kGridX * kGridY, true);
    RECT rc, wr;
    if (!hwnd || !GetClientRect(hwnd, &rc) || !GetWindowRect(hwnd, &wr))
        return inside;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(hwnd, rgn) != ERROR) {
        POINT o = {0, 0};
        ClientToScreen(hwnd, &o);
        for (int j = 0; j < kGridY; ++j)
            for (int i = 0; i < kGridX; ++i) {
                POINT p = GridPoint(i, j, rc.right, rc.bottom);
                inside[(size_t)j * kGridX + i] =
                    PtInRegion(rgn, p.x + o.x - wr.left, p.y + o.y - wr.top) != FALSE;
            }
    }
    DeleteObject(rgn);
    return inside;
}

// The share of the points inside the shape where two grids are equal; 0 when
// either is missing. A window painted as it settled scores 1 but for the few
// points its changing texts cover.
inline double ShareInShape(const std::vector<DWORD>& a, const std::vector<DWORD>& b,
                           const std::vector<bool>& inside)
{
    if (a.empty() || a.size() != b.size() || inside.size() != a.size())
        return 0.0;
    size_t points = 0, same = 0;
    for (size_t k = 0; k < a.size(); ++k)
        if (inside[k]) {
            points++;
            same += a[k] == b[k];
        }
    return points ? (double)same / points : 0.0;
}

// A skin image's pixels (same layout as ScreenPixels), empty when unreadable.
inline std::vector<DWORD> BitmapPixels(const std::string& path, SIZE* size)
{
    std::vector<DWORD> out;
    HBITMAP bmp = (HBITMAP)LoadImageA(NULL, path.c_str(), IMAGE_BITMAP, 0, 0,
                                      LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bmp)
        return out;
    BITMAP bm;
    GetObjectA(bmp, sizeof(bm), &bm);
    size->cx = bm.bmWidth;
    size->cy = bm.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    out.resize((size_t)bm.bmWidth * bm.bmHeight);
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bmp, 0, bm.bmHeight, out.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    DeleteObject(bmp);
    for (DWORD& px : out)
        px &= 0xFFFFFF;
    return out;
}

namespace detail {

struct OpenDialogSearch {
    DWORD pid;
    HWND main;
    HWND found;
};

inline BOOL CALLBACK FindOpenDialogIn(HWND hwnd, LPARAM lp)
{
    auto* s = (OpenDialogSearch*)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == s->pid && hwnd != s->main && strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The file name box: edt1, or the edit inside the name combo cmb13.
inline BOOL CALLBACK FindFileNameEdit(HWND hwnd, LPARAM lp)
{
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    int id = GetDlgCtrlID(hwnd);
    HWND parent = GetParent(hwnd);
    if (strcmp(cls, "Edit") == 0 && (id == 1152 || (parent && GetDlgCtrlID(parent) == 1148))) {
        *(HWND*)lp = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace detail

// A shown dialog of the program's process other than its main window: the
// open-file dialog of "PLAY_MOVIE" while it runs; NULL when none shows.
inline HWND FindOpenFileDialog(DWORD pid, HWND main)
{
    detail::OpenDialogSearch search = {pid, main, NULL};
    EnumWindows(detail::FindOpenDialogIn, (LPARAM)&search);
    return search.found;
}

// Types the path into the dialog's name box and confirms; TRUE once it is gone.
inline bool ChooseInOpenFileDialog(HWND dialog, const std::string& path)
{
    HWND edit = NULL;
    EnumChildWindows(dialog, detail::FindFileNameEdit, (LPARAM)&edit);
    if (!edit)
        return false;
    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)path.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return ts::PumpUntil([&] { return !IsWindow(dialog); }, 10000);
}

}  // namespace tv
