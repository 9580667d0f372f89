// Owning holder for a COM interface pointer, so that no early return leaks a
// reference.
#pragma once
#include <windows.h>
#include <unknwn.h>

template <class T>
class ComPtr {
public:
    ComPtr() : p_(NULL) {}
    explicit ComPtr(T* p, bool addRef = true) : p_(p) { if (p_ && addRef) p_->AddRef(); }
    ComPtr(const ComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& o)
    {
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
    // A new reference for an out parameter.
    HRESULT CopyTo(T** out) const
    {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return p_ ? S_OK : E_FAIL;
    }
    T* operator->() const { return p_; }
    operator T*() const { return p_; }
    // QueryInterface into this holder.
    template <class U>
    HRESULT QueryFrom(U* from, REFIID iid)
    {
        Reset();
        if (!from) return E_POINTER;
        return from->QueryInterface(iid, reinterpret_cast<void**>(&p_));
    }
private:
    T* p_;
};
