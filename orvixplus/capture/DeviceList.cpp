#include "DeviceList.h"
#include "AfxComPtr.h"
#include "FixedText.h"
#include <uuids.h>

void WideToAnsi(LPCWSTR src, char* buf, int size)
{
    if (size <= 0)
        return;
    buf[0] = '\0';
    if (!src)
        return;
    // Convert whole, then cut on a character boundary: a cut inside a GBK
    // double-byte character would leave a stray lead byte.
    int n = WideCharToMultiByte(CP_ACP, 0, src, -1, NULL, 0, NULL, NULL);
    if (n <= 0)
        return;
    char* full = new char[n];
    WideCharToMultiByte(CP_ACP, 0, src, -1, full, n, NULL, NULL);
    int len = 0;
    while (full[len]) {
        int step = IsDBCSLeadByte((BYTE)full[len]) && full[len + 1] ? 2 : 1;
        if (len + step > size - 1)
            break;
        len += step;
    }
    memcpy(buf, full, len);
    buf[len] = '\0';
    delete[] full;
}

void AnsiToWide(LPCSTR src, WCHAR* buf, int size)
{
    if (size <= 0)
        return;
    buf[0] = 0;
    if (!src)
        return;
    int n = MultiByteToWideChar(CP_ACP, 0, src, -1, NULL, 0);
    if (n <= 0)
        return;
    WCHAR* full = new WCHAR[n];
    MultiByteToWideChar(CP_ACP, 0, src, -1, full, n);
    int len = n - 1 < size - 1 ? n - 1 : size - 1;
    memcpy(buf, full, len * sizeof(WCHAR));
    buf[len] = 0;
    delete[] full;
}

// Walks the devices of a category; fn gets each moniker with its names and
// returns false to stop.
template <class Fn>
static BOOL ForEachDevice(REFCLSID category, Fn fn)
{
    ComPtr<ICreateDevEnum> pDevEnum;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_ALL, IID_ICreateDevEnum,
                                pDevEnum.OutVoid())))
        return FALSE;
    ComPtr<IEnumMoniker> pEnum;
    if (pDevEnum->CreateClassEnumerator(category, pEnum.Out(), 0) != S_OK || !pEnum)
        return TRUE;
    IMoniker* pRaw = NULL;
    while (pEnum->Next(1, &pRaw, NULL) == S_OK) {
        ComPtr<IMoniker> pMoniker(pRaw, false);
        ComPtr<IPropertyBag> pBag;
        if (FAILED(pMoniker->BindToStorage(NULL, NULL, IID_IPropertyBag, pBag.OutVoid())))
            continue;
        VARIANT var;
        VariantInit(&var);
        if (FAILED(pBag->Read(L"FriendlyName", &var, NULL)) || var.vt != VT_BSTR) {
            VariantClear(&var);
            continue;
        }
        char friendly[256];
        WideToAnsi(var.bstrVal, friendly, sizeof(friendly));
        VariantClear(&var);
        if (!fn(pMoniker.Get(), friendly))
            break;
    }
    return TRUE;
}

BOOL EnumCaptureDevices(REFCLSID category, CDevicePairArray& list)
{
    return ForEachDevice(category, [&](IMoniker* pMoniker, const char* friendly) {
        LPOLESTR pDisplay = NULL;
        if (FAILED(pMoniker->GetDisplayName(NULL, NULL, &pDisplay)) || !pDisplay)
            return true;
        char display[1024];
        WideToAnsi(pDisplay, display, sizeof(display));
        CoTaskMemFree(pDisplay);
        // Only a device that opens is worth offering.
        ComPtr<IBaseFilter> pFilter;
        if (FAILED(pMoniker->BindToObject(NULL, NULL, IID_IBaseFilter, pFilter.OutVoid())))
            return true;
        list.Add(CDevicePair(friendly, display));
        return true;
    });
}

BOOL EnumVideoDevices(CDevicePairArray& list)
{
    return EnumCaptureDevices(CLSID_VideoInputDeviceCategory, list);
}

BOOL EnumAudioDevices(CDevicePairArray& list)
{
    return EnumCaptureDevices(CLSID_AudioInputDeviceCategory, list);
}

IBaseFilter* FindDeviceFilter(REFCLSID category, LPCSTR pszName)
{
    IBaseFilter* pFound = NULL;
    if (!pszName)
        return NULL;
    ForEachDevice(category, [&](IMoniker* pMoniker, const char* friendly) {
        if (strcmp(friendly, pszName) != 0)
            return true;
        pMoniker->BindToObject(NULL, NULL, IID_IBaseFilter, (void**)&pFound);
        return pFound == NULL;
    });
    return pFound;
}

IBaseFilter* FindVideoDevice(LPCSTR pszName)
{
    return FindDeviceFilter(CLSID_VideoInputDeviceCategory, pszName);
}

IBaseFilter* FindAudioDevice(LPCSTR pszName)
{
    return FindDeviceFilter(CLSID_AudioInputDeviceCategory, pszName);
}

CDeviceList::CDeviceList() : m_dwMakerThreadId(GetCurrentThreadId())
{
    EnumVideoDevices(m_list);
}

CAudioDeviceList::CAudioDeviceList() : CDeviceList(true)
{
    EnumAudioDevices(m_list);
}

static CDeviceList* g_pDeviceList = NULL;
static CAudioDeviceList* g_pAudioDeviceList = NULL;

// The list made ahead: the thread hands it over through g_pAheadList and the
// event, and loads the graph's libraries after that.
static HANDLE g_hAheadThread = NULL;
static HANDLE g_hAheadListMade = NULL;
static CAudioDeviceList* g_pAheadList = NULL;
static const char* const kGraphLibraries[] = {"quartz.dll", "qcap.dll"};
static const size_t kGraphLibraryCount = sizeof(kGraphLibraries) / sizeof(kGraphLibraries[0]);
static HMODULE g_hGraphLibraries[kGraphLibraryCount];

static HRESULT StartComMultithreaded()
{
    return CoInitializeEx(NULL, COINIT_MULTITHREADED);
}

static AudioListComStart g_pfnAheadComStart = StartComMultithreaded;

AudioListComStart SetAudioListComStart(AudioListComStart start)
{
    AudioListComStart previous = g_pfnAheadComStart;
    g_pfnAheadComStart = start ? start : StartComMultithreaded;
    return previous;
}

static AudioListComWait g_pfnComWait = CoWaitForMultipleHandles;

AudioListComWait SetAudioListComWait(AudioListComWait wait)
{
    AudioListComWait previous = g_pfnComWait;
    g_pfnComWait = wait ? wait : CoWaitForMultipleHandles;
    return previous;
}

static DWORD WINAPI MakeAudioListAhead(LPVOID)
{
    HRESULT hr = g_pfnAheadComStart();
    // A list made without COM may lack every device, and once taken over it
    // would stand for the whole run: the first request enumerates instead.
    if (SUCCEEDED(hr))
        g_pAheadList = new CAudioDeviceList;
    SetEvent(g_hAheadListMade);
    // Loaded while this thread's apartment still holds them, so that its
    // end does not unload what the caller's graph is about to use.
    for (size_t i = 0; i < kGraphLibraryCount; ++i)
        g_hGraphLibraries[i] = LoadLibraryA(kGraphLibraries[i]);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return 0;
}

void BeginAudioDeviceList()
{
    if (g_pAudioDeviceList || g_hAheadThread)
        return;
    g_hAheadListMade = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (g_hAheadListMade)
        g_hAheadThread = CreateThread(NULL, 0, MakeAudioListAhead, NULL, 0, NULL);
    if (!g_hAheadThread && g_hAheadListMade) {
        CloseHandle(g_hAheadListMade);
        g_hAheadListMade = NULL;
    }
}

// Waits for h while answering the COM calls other threads make into this
// thread's apartment. The list's thread creates a device registered without a
// threading model through the process's main apartment, which the caller's is
// by then; a wait deaf to those calls would never end. Only a thread outside
// COM, whose apartment nobody can call into, is refused the COM wait and waits
// plainly.
static void WaitAnsweringCom(HANDLE h)
{
    // A refusal that repeats would otherwise turn the loop into a spin.
    const DWORD kRefusedPauseMs = 10;
    for (;;) {
        DWORD index = 0;
        HRESULT hr = g_pfnComWait(0, INFINITE, 1, &h, &index);
        if (hr == CO_E_NOTINITIALIZED) {
            WaitForSingleObject(h, INFINITE);
            return;
        }
        // Refused otherwise, the wait answers again after a short plain one
        // (a call into the apartment waits that long at most): a handle that
        // is signalled, or can no longer be waited for, ends it.
        if (SUCCEEDED(hr) || WaitForSingleObject(h, kRefusedPauseMs) != WAIT_TIMEOUT)
            return;
    }
}

static void WaitForAheadList()
{
    if (g_hAheadListMade)
        WaitAnsweringCom(g_hAheadListMade);
}

// The list made ahead, once waited for; NULL when none was begun, it was taken
// already or its thread could not start COM. Takes it without a wait of its
// own: a request answered in one could take it first.
static CAudioDeviceList* TakeAheadList()
{
    CAudioDeviceList* pList = g_pAheadList;
    g_pAheadList = NULL;
    return pList;
}

// Waits for the thread's end; what it made and no one took goes.
static void EndAheadThread()
{
    if (!g_hAheadThread)
        return;
    WaitAnsweringCom(g_hAheadThread);
    delete TakeAheadList();
    CloseHandle(g_hAheadThread);
    CloseHandle(g_hAheadListMade);
    g_hAheadThread = g_hAheadListMade = NULL;
}

CDeviceList* GetDeviceList()
{
    if (!g_pDeviceList)
        g_pDeviceList = new CDeviceList;
    return g_pDeviceList;
}

CAudioDeviceList* GetAudioDeviceList()
{
    if (!g_pAudioDeviceList) {
        WaitForAheadList();
        // Messages and COM calls are answered in the wait, and a request
        // among them may have taken the list over already.
        if (!g_pAudioDeviceList)
            g_pAudioDeviceList = TakeAheadList();
    }
    if (!g_pAudioDeviceList)
        g_pAudioDeviceList = new CAudioDeviceList;
    return g_pAudioDeviceList;
}

void FreeDeviceList()
{
    delete g_pDeviceList;
    g_pDeviceList = NULL;
}

void FreeAudioDeviceList()
{
    EndAheadThread();
    delete g_pAudioDeviceList;
    g_pAudioDeviceList = NULL;
    for (size_t i = 0; i < kGraphLibraryCount; ++i) {
        if (g_hGraphLibraries[i])
            FreeLibrary(g_hGraphLibraries[i]);
        g_hGraphLibraries[i] = NULL;
    }
}

CDeviceFilter::CDeviceFilter(IGraphBuilder* pGraph, LPCSTR pszFriendlyName,
                             LPCSTR pszFilterName)
    : CFilterWrapper(pGraph)
{
    CopyFixedText(m_szFriendlyName, sizeof(m_szFriendlyName), pszFriendlyName ? pszFriendlyName : "");
    AnsiToWide(pszFilterName, m_wszFilterName, 256);
}

BOOL CDeviceFilter::Create()
{
    return CreateFromDevice(CLSID_VideoInputDeviceCategory, m_szFriendlyName, m_wszFilterName);
}
