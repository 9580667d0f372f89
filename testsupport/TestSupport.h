// Helpers for tests that run under Wine: windows and message pumping, screen
// captures for a person to look at, message boxes seen instead of shown, and
// child processes.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace ts {

// How much slower than the machine's own speed the build under test runs: 1,
// or the factor scripts/test measured on this machine and passed in
// ORVIX_TIME_SCALE (the 32-bit build under emulation). Time limits of tests
// are multiplied by it; what a test asks of the program stays the same.
double TimeScale();
// A time limit in milliseconds, scaled.
DWORD Scaled(DWORD ms);
// Whether this 32-bit build runs under user-mode emulation (ORVIX_EMULATED=1
// from scripts/test): tests whose work is mostly arithmetic then do less of the
// same kind of it, checking the same things.
bool UnderEmulation();

// Pumps this thread's messages until cond() holds or the scaled timeoutMs
// passes.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000);
// Pumps this thread's messages for ms milliseconds.
void PumpFor(DWORD ms);

// Creates a plain visible top-level window, runs fn with it, destroys it.
void WithTestWindow(const std::function<void(HWND)>& fn, int width = 320, int height = 240);

// Folder for files a test leaves for a person (captures): <bin>\test-output,
// created on demand. Returned with a trailing backslash.
std::string OutputDir();
// Folder a test may scribble in: a fresh, empty folder under %TEMP% per call.
std::string FreshTempDir(const char* tag);

// Saves a window's (or the whole screen's, hwnd NULL) current pixels as a
// 24-bit BMP file. Paths without a folder go into OutputDir().
bool CaptureToBmp(HWND hwnd, const std::string& path);

// A message box as the seam saw it.
struct MessageBoxCall {
    std::string text;      // GBK, as the program passed it
    std::string caption;
    UINT flags;
};

// While it lives, every message box of this process is recorded and answered
// from the queue of answers (then with the box's first button).
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    void Answer(int id) { answers_.push_back(id); }
    const std::vector<MessageBoxCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
private:
    static int Hook(HWND, LPCSTR, LPCSTR, UINT);
    std::vector<MessageBoxCall> calls_;
    std::vector<int> answers_;
    void* previous_;
};

// Reads a file that the environment seam (ORVIX_MSGBOX_LOG or ORVIX_POWER_LOG)
// wrote: one entry a line.
std::vector<std::string> ReadLines(const std::string& path);

// A child process started with extra environment variables ("NAME=value").
class ChildProcess {
public:
    ChildProcess() : process_(NULL), pid_(0) {}
    ~ChildProcess();
    bool Start(const std::string& commandLine, const std::vector<std::string>& env = {},
               const std::string& folder = "");
    // Exit code, or STILL_ACTIVE when it has not ended within timeoutMs.
    DWORD Wait(DWORD timeoutMs);
    bool Running() const;
    void Kill();
    DWORD Pid() const { return pid_; }
private:
    HANDLE process_;
    DWORD pid_;
};

// Folder of the running test executable, with a trailing backslash.
std::string ExeDir();

// The text as UTF-8 for readable assertion messages (input is GBK).
std::string Gbk(const std::string& gbk);

}  // namespace ts
