// Owning holders for COM interface pointers and a critical section lock, so
// that no early return leaks a reference or leaves a lock taken.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace ds {

template <class T>
class ComPtr {
public:
    ComPtr() : p_(NULL) {}
    explicit ComPtr(T* p, bool addRef = true) : p_(p) { if (p_ && addRef) p_->AddRef(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& o) {
        if (o.p_) o.p_->AddRef();
        Reset();
        p_ = o.p_;
        return *this;
    }
    void Reset() { if (p_) { T* p = p_; p_ = NULL; p->Release(); } }
    // Takes over a reference the caller already owns.
    void Attach(T* p) { Reset(); p_ = p; }
    T* Detach() { T* p = p_; p_ = NULL; return p; }
    T** Out() { Reset(); return &p_; }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != NULL; }
    // QueryInterface into this holder.
    template <class U>
    HRESULT QueryFrom(U* from, REFIID iid) {
        Reset();
        if (!from) return E_POINTER;
        return from->QueryInterface(iid, reinterpret_cast<void**>(&p_));
    }
    // A new reference for an out parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return p_ ? S_OK : E_FAIL;
    }
private:
    T* p_;
};

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
