#include "WavetrapTestSupport.h"
#include "CardState.h"
#include <math.h>
#include <stdio.h>
#include <string.h>

namespace wt {

// The test program's name: its card and its log are its own, so that
// Wavetrap's test programs can run side by side.
static std::string ProgramName()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.find('.'));
}

// A card of this test program's own, shared with the clients it starts.
static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", ProgramName().c_str());

// Wavetrap.dll has its own copy of the message-box seam, which the test's
// recorder does not reach: its boxes go to this log rather than onto the
// screen, where nobody would answer them.
std::string DllBoxLog()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + ProgramName() + "_boxes.log";
}
static const BOOL g_boxLog = SetEnvironmentVariableA("ORVIX_MSGBOX_LOG", DllBoxLog().c_str());

void TuneTo(double mhz)
{
    (void)g_ownCard;
    (void)g_boxLog;
    int divider = (int)((mhz + 38.875) * 16 + 0.5);
    BYTE bytes[4] = {(BYTE)(divider >> 8), (BYTE)(divider & 0xFF), 0xCE, (BYTE)(mhz < 160 ? 0x01 : 0x02)};
    CardI2CWrite(0xC0, bytes, 4);
}

int StationTone(int pattern)
{
    return 330 + 110 * (pattern % 16);
}

std::string ReadFileBytes(const std::string& path)
{
    std::string data;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return data;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        data.append(buf, n);
    fclose(f);
    return data;
}

static DWORD U32(const std::string& d, size_t at)
{
    return (BYTE)d[at] | ((BYTE)d[at + 1] << 8) | ((BYTE)d[at + 2] << 16) | ((DWORD)(BYTE)d[at + 3] << 24);
}
static WORD U16(const std::string& d, size_t at)
{
    return (WORD)((BYTE)d[at] | ((BYTE)d[at + 1] << 8));
}

WavFile ReadWav(const std::string& path)
{
    WavFile w;
    std::string d = ReadFileBytes(path);
    w.fileSize = (DWORD)d.size();
    if (d.size() < 44 || d.compare(0, 4, "RIFF") || d.compare(8, 8, "WAVEfmt ") || d.compare(36, 4, "data")) {
        w.error = "not a 44-byte RIFF/WAVE header";
        return w;
    }
    w.riffSize = U32(d, 4);
    w.formatTag = U16(d, 20);
    w.channels = U16(d, 22);
    w.rate = U32(d, 24);
    w.bits = U16(d, 34);
    w.dataSize = U32(d, 40);
    w.samples.resize((d.size() - 44) / 2);
    memcpy(w.samples.data(), d.data() + 44, w.samples.size() * 2);
    w.ok = true;
    return w;
}

static double Goertzel(const std::vector<short>& s, int rate, double freq)
{
    double k = 2.0 * cos(2.0 * 3.14159265358979 * freq / rate), s1 = 0, s2 = 0;
    for (size_t i = 0; i + 1 < s.size(); i += 2) {
        double s0 = s[i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

int StrongestTone(const std::vector<short>& samples, int rate)
{
    // A second is plenty and keeps the sums small.
    std::vector<short> part(samples.begin(), samples.begin() + (samples.size() < 88200 ? samples.size() : 88200));
    int best = 0;
    double bestPower = 0, total = 0;
    for (int k = 0; k < 16; k++) {
        double p = Goertzel(part, rate, StationTone(k));
        total += p;
        if (p > bestPower) {
            bestPower = p;
            best = StationTone(k);
        }
    }
    // A tone stands out of the others; silence or noise does not.
    return bestPower > 0.5 * total && bestPower > 1e6 ? best : 0;
}

std::vector<std::wstring> FilterNames(IFilterGraph* graph)
{
    std::vector<std::wstring> names;
    IEnumFilters* pEnum = NULL;
    if (FAILED(graph->EnumFilters(&pEnum)))
        return names;
    IBaseFilter* f = NULL;
    while (pEnum->Next(1, &f, NULL) == S_OK) {
        FILTER_INFO info;
        if (SUCCEEDED(f->QueryFilterInfo(&info))) {
            names.push_back(info.achName);
            if (info.pGraph)
                info.pGraph->Release();
        }
        f->Release();
    }
    pEnum->Release();
    return names;
}

std::vector<std::wstring> RegisteredGraphFilters()
{
    std::vector<std::wstring> names;
    IRunningObjectTable* rot = NULL;
    if (FAILED(GetRunningObjectTable(0, &rot)))
        return names;
    IEnumMoniker* monikers = NULL;
    IBindCtx* ctx = NULL;
    CreateBindCtx(0, &ctx);
    wchar_t pid[32];
    swprintf(pid, 32, L" pid %08lx", (unsigned long)GetCurrentProcessId());
    if (ctx && SUCCEEDED(rot->EnumRunning(&monikers))) {
        IMoniker* m = NULL;
        while (names.empty() && monikers->Next(1, &m, NULL) == S_OK) {
            LPOLESTR display = NULL;
            if (SUCCEEDED(m->GetDisplayName(ctx, NULL, &display))) {
                std::wstring d = display;
                CoTaskMemFree(display);
                IUnknown* unk = NULL;
                IFilterGraph* graph = NULL;
                if (d.find(L"FilterGraph ") != std::wstring::npos && d.find(pid) != std::wstring::npos &&
                    SUCCEEDED(rot->GetObject(m, &unk))) {
                    if (SUCCEEDED(unk->QueryInterface(IID_IFilterGraph, (void**)&graph))) {
                        names = FilterNames(graph);
                        graph->Release();
                    }
                    unk->Release();
                }
            }
            m->Release();
        }
        monikers->Release();
    }
    if (ctx)
        ctx->Release();
    rot->Release();
    return names;
}

std::wstring Wide(const std::string& s)
{
    wchar_t buf[2048];
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buf, 2048);
    buf[2047] = 0;
    return buf;
}

}  // namespace wt
