#include "TestSupport.h"
#include "Seams.h"
#include <stdio.h>
#include <stdlib.h>

namespace ts {

double TimeScale()
{
    static double scale = 0;
    if (scale == 0) {
        char text[32] = "";
        GetEnvironmentVariableA("ORVIX_TIME_SCALE", text, sizeof(text));
        double value = atof(text);
        scale = value > 1 ? (value < 20 ? value : 20) : 1;
    }
    return scale;
}

bool UnderEmulation()
{
    char text[8] = "";
    return GetEnvironmentVariableA("ORVIX_EMULATED", text, sizeof(text)) && text[0] == '1';
}

DWORD Scaled(DWORD ms)
{
    return (DWORD)(ms * TimeScale() + 0.5);
}

static bool PumpUntilUnscaled(const std::function<bool()>& cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    return PumpUntilUnscaled(cond, Scaled(timeoutMs));
}

void PumpFor(DWORD ms)
{
    PumpUntilUnscaled([] { return false; }, ms);
}

static LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void WithTestWindow(const std::function<void(HWND)>& fn, int width, int height)
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = "OrvixTestWindow";
        atom = RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowA("OrvixTestWindow", "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              10, 10, width, height, NULL, NULL, GetModuleHandleA(NULL), NULL);
    PumpFor(20);
    fn(hwnd);
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
}

std::string ExeDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

std::string OutputDir()
{
    std::string dir = ExeDir() + "test-output\\";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

static void DeleteTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string FreshTempDir(const char* tag)
{
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char name[MAX_PATH + 64];
    snprintf(name, sizeof(name), "%sorvix-%s-%lu-%d", temp, tag,
             (unsigned long)GetCurrentProcessId(), ++counter);
    DeleteTree(name);
    CreateDirectoryA(name, NULL);
    return std::string(name) + "\\";
}

bool CaptureToBmp(HWND hwnd, const std::string& path)
{
    std::string full = path;
    if (full.find_first_of("\\/") == std::string::npos)
        full = OutputDir() + full;
    RECT rc;
    if (hwnd) GetWindowRect(hwnd, &rc);
    else SetRect(&rc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return false;

    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY) != 0;
        SelectObject(mem, old);
        GdiFlush();
        DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
        DWORD size = stride * h;
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
        fh.bfSize = fh.bfOffBits + size;
        FILE* f = ok ? fopen(full.c_str(), "wb") : NULL;
        ok = f != NULL;
        if (f) {
            ok = fwrite(&fh, sizeof(fh), 1, f) == 1 &&
                 fwrite(&bi.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f) == 1 &&
                 fwrite(bits, size, 1, f) == 1;
            ok = (fclose(f) == 0) && ok;
        }
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return ok;
}

static MessageBoxRecorder* g_recorder = NULL;

MessageBoxRecorder::MessageBoxRecorder()
{
    previous_ = (void*)FwSetMessageBoxHook(&MessageBoxRecorder::Hook);
    g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    g_recorder = NULL;
    FwSetMessageBoxHook((FwMessageBoxHook)previous_);
}

int MessageBoxRecorder::Hook(HWND, LPCSTR text, LPCSTR caption, UINT flags)
{
    MessageBoxRecorder* self = g_recorder;
    if (!self)
        return FwDefaultAnswer(flags);
    self->calls_.push_back({text, caption, flags});
    if (!self->answers_.empty()) {
        int id = self->answers_.front();
        self->answers_.erase(self->answers_.begin());
        return id;
    }
    return FwDefaultAnswer(flags);
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return lines;
    std::string cur;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur.push_back((char)c);
        }
    }
    if (!cur.empty())
        lines.push_back(cur);
    fclose(f);
    return lines;
}

ChildProcess::~ChildProcess()
{
    if (process_) {
        if (Running())
            Kill();
        CloseHandle(process_);
    }
}

bool ChildProcess::Start(const std::string& commandLine, const std::vector<std::string>& env,
                         const std::string& folder)
{
    // The child's environment: ours, with the extra variables set over it.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const std::string& kv : env) {
        size_t eq = kv.find('=');
        std::string name = kv.substr(0, eq), value = kv.substr(eq + 1);
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof(old));
        saved.push_back({name, n ? std::string(old, n) : std::string("\x01")});
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    BOOL ok = CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL,
                             folder.empty() ? NULL : folder.c_str(), &si, &pi);
    for (auto& s : saved)
        SetEnvironmentVariableA(s.first.c_str(), s.second == "\x01" ? NULL : s.second.c_str());
    if (!ok)
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs)
{
    if (!process_)
        return (DWORD)-1;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool ChildProcess::Running() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill()
{
    if (process_) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
}

std::string Gbk(const std::string& gbk)
{
    int n = MultiByteToWideChar(936, 0, gbk.c_str(), (int)gbk.size(), NULL, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(936, 0, gbk.c_str(), (int)gbk.size(), &w[0], n);
    int m = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), n, NULL, 0, NULL, NULL);
    std::string u(m, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), n, &u[0], m, NULL, NULL);
    return u;
}

}  // namespace ts
