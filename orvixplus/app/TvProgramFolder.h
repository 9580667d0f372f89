// Tests that run OrvixPlus.exe itself: a scratch program folder with the
// program and its default skin, and reading the screen.
#pragma once
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "TestSupport.h"

namespace tv {

inline HWND FindMainWindow() { return FindWindowA("#32770", "Orvix Plus"); }
inline HWND FindVideoWindow() { return FindWindowA("Orvix Plus", "KESTOR ORVIX"); }

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
