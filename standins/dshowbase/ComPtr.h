// Owning holders for COM interface pointers and a critical section lock, so
// that no early return leaks a reference or leaves a lock taken.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "AfxComPtr.h"

namespace ds {

using ::ComPtr;

class CritSec {
public:
    CritSec() { InitializeCriticalSection(&cs_); }
    ~CritSec() { DeleteCriticalSection(&cs_); }
    CritSec(const CritSec&) = delete;
    CritSec& operator=(const CritSec&) = delete;
    void Enter() { EnterCriticalSection(&cs_); }
    void Leave() { LeaveCriticalSection(&cs_); }
private:
    CRITICAL_SECTION cs_;
};

class AutoLock {
public:
    explicit AutoLock(CritSec& cs) : cs_(cs) { cs_.Enter(); }
    ~AutoLock() { cs_.Leave(); }
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;
private:
    CritSec& cs_;
};

// A COM property read or written under the lock that guards it: a NULL
// destination is E_POINTER, anything else S_OK.
template <class T, class U>
HRESULT GetLocked(CritSec& cs, const T& field, U* out) {
    if (!out) return E_POINTER;
    AutoLock lock(cs);
    *out = field;
    return S_OK;
}
template <class T, class U>
HRESULT PutLocked(CritSec& cs, T& field, const U& value) {
    AutoLock lock(cs);
    field = value;
    return S_OK;
}

class AutoHandle {
public:
    explicit AutoHandle(HANDLE h = NULL) : h_(h) {}
    ~AutoHandle() { Close(); }
    AutoHandle(const AutoHandle&) = delete;
    AutoHandle& operator=(const AutoHandle&) = delete;
    void Close() { if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_); h_ = NULL; }
    void Reset(HANDLE h) { Close(); h_ = h; }
    HANDLE Get() const { return h_; }
private:
    HANDLE h_;
};

// Count of live objects of the module, for DllCanUnloadNow and for tests that
// check every object went away.
LONG LiveObjects();
void ObjectCreated();
void ObjectDestroyed();

// One line on the debugger output naming a failed call and its result.
void Trace(const char* what, HRESULT hr);
// Tests the result of a call; traces a failure. Returns hr unchanged.
inline HRESULT Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) Trace(what, hr);
    return hr;
}

}  // namespace ds
