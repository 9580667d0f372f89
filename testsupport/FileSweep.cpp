#include "FileSweep.h"
#include <map>
#include "StoredFile.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>

namespace ts {

namespace {

uint32_t NextRandom(uint32_t& state)
{
    // xorshift32: the same sequence on every machine and in both builds.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// What the watchdog and the crash filter report: the case now running.
struct RunningCase {
    char name[160];
    LARGE_INTEGER start;
    volatile LONG active;
    volatile LONG stop;
    DWORD limitMs;
};
RunningCase g_running;

double MsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)freq.QuadPart;
}

DWORD WINAPI Watchdog(void*)
{
    while (!g_running.stop) {
        Sleep(50);
        if (g_running.active && MsSince(g_running.start) > g_running.limitMs) {
            fprintf(stderr, "sweep case \"%s\" still running after %lu ms: hung\n",
                    g_running.name, (unsigned long)g_running.limitMs);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
    return 0;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* info)
{
    if (g_running.active) {
        fprintf(stderr, "sweep case \"%s\" crashed (exception 0x%08lx)\n", g_running.name,
                (unsigned long)info->ExceptionRecord->ExceptionCode);
        fflush(stderr);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Offsets and lengths of the numbers of a text (a minus sign included).
std::vector<std::pair<size_t, size_t>> NumbersOf(const std::string& text)
{
    std::vector<std::pair<size_t, size_t>> found;
    for (size_t i = 0; i < text.size();) {
        if (!IsDigit(text[i])) {
            i++;
            continue;
        }
        size_t begin = i > 0 && text[i - 1] == '-' ? i - 1 : i;
        while (i < text.size() && IsDigit(text[i]))
            i++;
        found.push_back({begin, i - begin});
    }
    return found;
}

std::vector<std::pair<size_t, size_t>> LinesOf(const std::string& text)
{
    std::vector<std::pair<size_t, size_t>> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back({begin, end - begin});
        begin = end;
    }
    return lines;
}

}  // namespace

FileSweep::FileSweep(const std::string& valid, uint32_t seed) : valid_(valid), seed_(seed)
{
    char text[32] = "";
    if (GetEnvironmentVariableA("ORVIX_SWEEP_SHARD", text, sizeof(text)) && text[0])
        shard_ = ShardOf(text);
}

FileSweep::Shard FileSweep::ShardOf(const char* text)
{
    // Anything but "k/n" with k < n runs everything here rather than nothing:
    // a mistyped variable must not pass a sweep that never ran.
    Shard shard;
    char* end = NULL;
    unsigned long part = strtoul(text, &end, 10);
    if (end == text || *end != '/')
        return shard;
    const char* rest = end + 1;
    unsigned long parts = strtoul(rest, &end, 10);
    if (end == rest || *end != '\0' || parts == 0 || part >= parts)
        return shard;
    shard.part = part;
    shard.parts = parts;
    return shard;
}

FileSweep& FileSweep::Truncations()
{
    for (size_t n = 0; n < valid_.size(); n++)
        cases_.push_back({Recipe::CUT, n, 0, 0, {}});
    return *this;
}

FileSweep& FileSweep::RandomBytes(int n)
{
    uint32_t state = seed_ ? seed_ : 0x9E3779B9u;
    for (int i = 0; i < n && !valid_.empty(); i++)
        cases_.push_back({Recipe::BYTES, (size_t)i, 0, NextRandom(state), {}});
    return *this;
}

FileSweep& FileSweep::Int32Fields(const std::vector<size_t>& offsets)
{
    static const int64_t values[] = {0, -1, 0x7FFFFFFF};
    for (size_t at : offsets)
        for (int64_t v : values)
            if (at + 4 <= valid_.size())
                cases_.push_back({Recipe::INT32, at, v, 0, {}});
    return *this;
}

FileSweep& FileSweep::Int16Fields(const std::vector<size_t>& offsets)
{
    static const int64_t values[] = {0, 0xFFFF, 0x7FFF};
    for (size_t at : offsets)
        for (int64_t v : values)
            if (at + 2 <= valid_.size())
                cases_.push_back({Recipe::INT16, at, v, 0, {}});
    return *this;
}

FileSweep& FileSweep::TextNumbers()
{
    static const int64_t values[] = {0, -1, 2147483647};
    size_t count = NumbersOf(valid_).size();
    for (size_t i = 0; i < count; i++)
        for (int64_t v : values)
            cases_.push_back({Recipe::NUMBER, i, v, 0, {}});
    return *this;
}

FileSweep& FileSweep::DroppedLines()
{
    size_t count = LinesOf(valid_).size();
    for (size_t i = 0; i < count; i++)
        cases_.push_back({Recipe::LINE, i, 0, 0, {}});
    return *this;
}

FileSweep& FileSweep::Add(const std::string& name, const std::string& bytes)
{
    cases_.push_back({Recipe::OWN, 0, 0, 0, name + "\n" + bytes});
    return *this;
}

SweepCase FileSweep::Make(const Recipe& r) const
{
    char name[96];
    SweepCase c;
    switch (r.kind) {
    case Recipe::CUT:
        snprintf(name, sizeof(name), "cut at %u", (unsigned)r.at);
        c.bytes = valid_.substr(0, r.at);
        break;
    case Recipe::BYTES: {
        uint32_t state = r.seed | 1;
        c.bytes = valid_;
        int n = 1 + (int)(NextRandom(state) % 4);
        std::string what;
        for (int i = 0; i < n; i++) {
            size_t at = NextRandom(state) % c.bytes.size();
            char value = (char)(NextRandom(state) & 0xFF);
            c.bytes[at] = value;
            char one[24];
            snprintf(one, sizeof(one), " @%u=%02x", (unsigned)at, (unsigned char)value);
            what += one;
        }
        snprintf(name, sizeof(name), "bytes%s", what.c_str());
        break;
    }
    case Recipe::INT32: {
        c.bytes = valid_;
        uint32_t v = (uint32_t)r.value;
        for (int i = 0; i < 4; i++)
            c.bytes[r.at + i] = (char)((v >> (8 * i)) & 0xFF);
        snprintf(name, sizeof(name), "int32 @%u = %d", (unsigned)r.at, (int)v);
        break;
    }
    case Recipe::INT16: {
        c.bytes = valid_;
        uint32_t v = (uint32_t)r.value;
        c.bytes[r.at] = (char)(v & 0xFF);
        c.bytes[r.at + 1] = (char)((v >> 8) & 0xFF);
        snprintf(name, sizeof(name), "int16 @%u = %u", (unsigned)r.at, (unsigned)v);
        break;
    }
    case Recipe::NUMBER: {
        std::pair<size_t, size_t> number = NumbersOf(valid_)[r.at];
        char text[24];
        snprintf(text, sizeof(text), "%lld", (long long)r.value);
        c.bytes = valid_.substr(0, number.first) + text + valid_.substr(number.first + number.second);
        snprintf(name, sizeof(name), "number %u (%s) = %s", (unsigned)r.at,
                 valid_.substr(number.first, std::min<size_t>(number.second, 20)).c_str(), text);
        break;
    }
    case Recipe::LINE: {
        std::pair<size_t, size_t> line = LinesOf(valid_)[r.at];
        c.bytes = valid_.substr(0, line.first) + valid_.substr(line.first + line.second);
        snprintf(name, sizeof(name), "line %u dropped", (unsigned)r.at + 1);
        break;
    }
    case Recipe::OWN: {
        size_t nl = r.own.find('\n');
        c.name = r.own.substr(0, nl);
        c.bytes = r.own.substr(nl + 1);
        return c;
    }
    }
    c.name = name;
    return c;
}

std::vector<std::string> FileSweep::Run(const std::function<std::string(const SweepCase&)>& fn,
                                        DWORD limitMs, size_t maxFailures) const
{
    std::vector<std::string> failures;
    size_t failed = 0;
    slowestMs_ = 0;
    g_running.active = 0;
    g_running.stop = 0;
    g_running.limitMs = limitMs;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(CrashFilter);
    HANDLE hWatchdog = CreateThread(NULL, 0, Watchdog, NULL, 0, NULL);
    // ORVIX_SWEEP_CASES=n runs the first n cases only (a quick look while
    // working on a loader).
    char cap[16] = "";
    size_t ran = 0;
    size_t limit = GetEnvironmentVariableA("ORVIX_SWEEP_CASES", cap, sizeof(cap)) ? strtoul(cap, NULL, 10)
                                                                                  : cases_.size();
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    size_t index = 0, chosen = 0;
    for (const Recipe& r : cases_) {
        if (index++ % every_ != 0)
            continue;
        if (chosen++ % shard_.parts != shard_.part)
            continue;
        if (ran++ == limit)
            break;
        SweepCase c = Make(r);
        c.index = index - 1;
        snprintf(g_running.name, sizeof(g_running.name), "%s", c.name.c_str());
        QueryPerformanceCounter(&g_running.start);
        InterlockedExchange(&g_running.active, 1);
        std::string problem = fn(c);
        InterlockedExchange(&g_running.active, 0);
        slowestMs_ = std::max(slowestMs_, MsSince(g_running.start));
        if (!problem.empty()) {
            failed++;
            if (failures.size() < maxFailures)
                failures.push_back(c.name + ": " + problem);
        }
    }
    ran = ran < limit ? ran : limit;
    ran_ = ran;
    averageMs_ = ran == 0 ? 0 : MsSince(begin) / (double)ran;
    if (failed > failures.size())
        failures.push_back("... " + std::to_string(failed - failures.size()) + " more");
    InterlockedExchange(&g_running.stop, 1);
    if (hWatchdog) {
        WaitForSingleObject(hWatchdog, INFINITE);
        CloseHandle(hWatchdog);
    }
    SetUnhandledExceptionFilter(previous);
    return failures;
}

void FileSweep::Sample(size_t n)
{
    char full[8] = "";
    every_ = GetEnvironmentVariableA("ORVIX_SWEEP_FULL", full, sizeof(full)) && full[0] == '1' ? 1 : n;
}

void FileSweep::Report(const char* what) const
{
    std::string why;
    if (every_ > 1)
        why = "every " + std::to_string(every_) + "-th; ORVIX_SWEEP_FULL=1 runs all";
    if (shard_.parts > 1)
        why += (why.empty() ? "" : "; ") + std::string("share ") + std::to_string(shard_.part + 1) + " of " +
               std::to_string(shard_.parts);
    if (ran_ == Count())
        printf("[ sweep    ] %s: %u cases, %.3f ms each, slowest %.1f ms\n", what, (unsigned)Count(),
               averageMs_, slowestMs_);
    else
        printf("[ sweep    ] %s: %u of %u cases (%s), %.3f ms each, slowest %.1f ms\n", what, (unsigned)ran_,
               (unsigned)Count(), why.empty() ? "ORVIX_SWEEP_CASES" : why.c_str(), averageMs_, slowestMs_);
    fflush(stdout);
}

ScratchFile::ScratchFile(const std::string& path)
    : path_(path),
      handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_ALWAYS,
                          0, NULL))
{
}

ScratchFile::~ScratchFile()
{
    if (handle_ != INVALID_HANDLE_VALUE)
        CloseHandle(handle_);
}

bool ScratchFile::Write(const std::string& bytes)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    SetFilePointer(handle_, 0, NULL, FILE_BEGIN);
    bool ok = bytes.empty() || (WriteFile(handle_, bytes.data(), (DWORD)bytes.size(), &done, NULL) &&
                                done == bytes.size());
    ok = SetEndOfFile(handle_) && ok;
    // The platform's INI reader keeps a file it has read until its time of
    // last write changes; writes closer together than the clock's step would
    // leave it the old text.
    static ULONGLONG stamp = 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG t = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
    stamp = t > stamp ? t : stamp + 10;
    FILETIME written = {(DWORD)stamp, (DWORD)(stamp >> 32)};
    return SetFileTime(handle_, NULL, NULL, &written) && ok;
}

namespace {

std::map<std::string, std::string> g_memoryFiles;

std::string PathKey(const std::string& path)
{
    std::string key = path;
    for (char& c : key)
        c = c == '/' ? '\\' : (char)tolower((unsigned char)c);
    // A doubled backslash names the same file as a single one.
    std::string single;
    for (char c : key)
        if (!(c == '\\' && !single.empty() && single.back() == '\\'))
            single += c;
    return single;
}

BOOL ReadFromMemory(LPCSTR path, size_t maxBytes, std::string& bytes, BOOL bPrefix)
{
    auto it = path ? g_memoryFiles.find(PathKey(path)) : g_memoryFiles.end();
    if (it == g_memoryFiles.end())
        return ReadStoredFileFromDisk(path, maxBytes, bytes, bPrefix);
    bytes.clear();
    if (it->second.size() > maxBytes && !bPrefix)
        return FALSE;
    bytes = it->second.substr(0, maxBytes);
    return TRUE;
}

}  // namespace

MemoryFiles::MemoryFiles() : previous_((void*)SetStoredFileReader(ReadFromMemory)) {}

MemoryFiles::~MemoryFiles()
{
    g_memoryFiles.clear();
    SetStoredFileReader((StoredFileReader)previous_);
}

void MemoryFiles::Set(const std::string& path, const std::string& bytes)
{
    g_memoryFiles[PathKey(path)] = bytes;
}

void MemoryFiles::Remove(const std::string& path)
{
    g_memoryFiles.erase(PathKey(path));
}

bool CaseFile::Put(const SweepCase& c)
{
    if (diskEvery_ == 0 || c.index % diskEvery_ != 0) {
        memory_.Set(scratch_.Path(), c.bytes);
        return true;
    }
    memory_.Remove(scratch_.Path());
    return scratch_.Write(c.bytes);
}

std::string MakeBmp24(int w, int h, const std::function<COLORREF(int, int)>& colour)
{
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * h;
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = stride * h;
    std::string bytes((const char*)&fh, sizeof(fh));
    bytes.append((const char*)&ih, sizeof(ih));
    for (int y = h - 1; y >= 0; y--) {
        std::string row(stride, '\0');
        for (int x = 0; x < w; x++) {
            COLORREF c = colour(x, y);
            row[x * 3] = (char)GetBValue(c);
            row[x * 3 + 1] = (char)GetGValue(c);
            row[x * 3 + 2] = (char)GetRValue(c);
        }
        bytes += row;
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = bytes.empty() || (WriteFile(h, bytes.data(), (DWORD)bytes.size(), &done, NULL) &&
                                done == bytes.size());
    return CloseHandle(h) && ok;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, NULL) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

std::string FolderSnapshot(const std::string& folder)
{
    std::vector<std::string> entries;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            entries.push_back(std::string(fd.cFileName) + "\n" + ReadWholeFile(folder + fd.cFileName));
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::sort(entries.begin(), entries.end());
    std::string all;
    for (const std::string& e : entries)
        all += e + "\n--\n";
    return all;
}

}  // namespace ts
