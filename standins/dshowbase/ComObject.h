// A reference-counted COM object with one interface besides IUnknown, counted
// among the live objects while it exists. `Count` names the count: the
// module's (LiveObjects) unless a class keeps counts of its own, in which case
// it passes a type with static Created() and Destroyed().
#pragma once
#include "ComPtr.h"
#include <new>

namespace ds {

struct ModuleObjectCount {
    static void Created() { ObjectCreated(); }
    static void Destroyed() { ObjectDestroyed(); }
};

template <class I, class Count = ModuleObjectCount>
class ComObject : public I {
public:
    // The creator holds the first reference.
    explicit ComObject(REFIID iid) : refs_(1), iid_(iid) { Count::Created(); }
    virtual ~ComObject() { Count::Destroyed(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = NULL;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = static_cast<IUnknown*>(this);
        } else if (IsEqualIID(iid, iid_)) {
            HRESULT hr = AdmitQuery();
            if (FAILED(hr)) return hr;
            *out = static_cast<I*>(this);
        } else {
            return E_NOINTERFACE;
        }
        this->AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

protected:
    // A last say on handing out the interface itself (IUnknown always goes).
    virtual HRESULT AdmitQuery() { return S_OK; }

private:
    volatile LONG refs_;
    IID iid_;
};

// In a class that adds interfaces to an object that already has its IUnknown
// (a filter or a pin): the added interfaces' IUnknown is that object's.
#define DS_IUNKNOWN_OF(Base)                                                        \
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {                  \
        return Base::QueryInterface(iid, out);                                      \
    }                                                                               \
    STDMETHODIMP_(ULONG) AddRef() override { return Base::AddRef(); }               \
    STDMETHODIMP_(ULONG) Release() override { return Base::Release(); }

// Hands out an interface of an object just made with `new (std::nothrow)`,
// whose creator's reference then goes: the object lives on only if the query
// succeeded. NULL means the allocation failed.
template <class T>
HRESULT QueryNew(T* object, REFIID iid, void** out) {
    if (!out) {
        if (object) object->Release();
        return E_POINTER;
    }
    *out = NULL;
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
}

}  // namespace ds
