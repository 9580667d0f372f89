// The capture devices found through the system device enumerator, and the
// wrapper that opens the video capture device by its friendly name.
#pragma once
#include "AfxCore.h"
#include "FilterWrapper.h"

class CDevicePair {
public:
    CDevicePair() {}
    CDevicePair(const CString& friendlyName, const CString& displayName)
        : m_strFriendlyName(friendlyName), m_strDisplayName(displayName) {}
    void SetFriendlyName(LPCSTR psz) { m_strFriendlyName = psz; }
    void SetDisplayName(LPCSTR psz) { m_strDisplayName = psz; }
    const CString& GetFriendlyName() const { return m_strFriendlyName; }
    const CString& GetDisplayName() const { return m_strDisplayName; }
private:
    CString m_strFriendlyName;
    CString m_strDisplayName;
};

typedef CArray<CDevicePair, const CDevicePair&> CDevicePairArray;

// Every device of the category that has a display name, a friendly name and
// binds to a filter, in the enumerator's order. FALSE only when the system
// device enumerator cannot be made.
BOOL EnumCaptureDevices(REFCLSID category, CDevicePairArray& list);
BOOL EnumVideoDevices(CDevicePairArray& list);
BOOL EnumAudioDevices(CDevicePairArray& list);

// The first device of the category whose friendly name equals pszName exactly,
// bound to a filter (one reference for the caller); NULL when there is none.
IBaseFilter* FindDeviceFilter(REFCLSID category, LPCSTR pszName);
IBaseFilter* FindVideoDevice(LPCSTR pszName);
IBaseFilter* FindAudioDevice(LPCSTR pszName);

// The process-wide device lists, filled once on first request.
class CDeviceList {
public:
    CDeviceList();
    int GetCount() const { return (int)m_list.GetSize(); }
    const CDevicePair& GetAt(int i) const { return m_list.GetData()[i]; }
    // The thread that enumerated the devices.
    DWORD GetMakerThreadId() const { return m_dwMakerThreadId; }
protected:
    explicit CDeviceList(bool) : m_dwMakerThreadId(GetCurrentThreadId()) {}
    CDevicePairArray m_list;
private:
    DWORD m_dwMakerThreadId;
};

class CAudioDeviceList : public CDeviceList {
public:
    CAudioDeviceList();
};

CDeviceList* GetDeviceList();
CAudioDeviceList* GetAudioDeviceList();
void FreeDeviceList();
void FreeAudioDeviceList();

// Starts making the audio list on a thread of its own, so that the first
// start of the system's sound stack runs beside the caller's work; the next
// GetAudioDeviceList takes the list over, waiting for it if need be. The same
// thread then loads the DirectShow libraries a preview graph is built from,
// which stay loaded until FreeAudioDeviceList. Does nothing when a list
// exists or is being made. The waits answer the COM calls made into the
// caller's apartment meanwhile: a device registered without a threading model
// is created in the process's main apartment, the caller's when it was the
// first to enter a single-threaded one. A thread that could not start COM hands over no list, and the
// first request enumerates on its own.
void BeginAudioDeviceList();

// For tests: how the list's thread starts COM (CoInitializeEx into the
// multithreaded apartment). Returns the previous one; NULL restores it.
typedef HRESULT (*AudioListComStart)();
AudioListComStart SetAudioListComStart(AudioListComStart start);
// For tests: the COM wait the waits for that thread make (CoWaitForMultipleHandles).
// Returns the previous one; NULL restores it.
typedef HRESULT(WINAPI* AudioListComWait)(DWORD dwFlags, DWORD dwTimeout, ULONG cHandles,
                                          LPHANDLE pHandles, LPDWORD lpdwIndex);
AudioListComWait SetAudioListComWait(AudioListComWait wait);

// Converts UTF-16 to the ANSI code page into buf, cut to fit.
void WideToAnsi(LPCWSTR src, char* buf, int size);
// Converts ANSI to UTF-16 into buf, cut to fit.
void AnsiToWide(LPCSTR src, WCHAR* buf, int size);

class CDeviceFilter : public CFilterWrapper {
public:
    CDeviceFilter(IGraphBuilder* pGraph, LPCSTR pszFriendlyName, LPCSTR pszFilterName);
    BOOL Create() override;
    LPCSTR GetFriendlyName() const { return m_szFriendlyName; }
private:
    char m_szFriendlyName[256];
    WCHAR m_wszFilterName[256];
};
