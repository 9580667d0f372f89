#include "Enumerators.h"
#include "ComObject.h"
#include "Filter.h"
#include "Pin.h"
#include <new>

namespace ds {

namespace {

// Both enumerators walk an index over their owner, which they keep alive.
template <class I, class T, class Owner>
class IndexEnumerator : public ComObject<I> {
public:
    IndexEnumerator(REFIID iid, Owner* owner, ULONG position)
        : ComObject<I>(iid), owner_(owner), position_(position) {
        owner_->AddRef();
    }
    ~IndexEnumerator() override { owner_->Release(); }
    STDMETHODIMP Next(ULONG count, T* items, ULONG* fetched) override {
        if (!items || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        while (n < count) {
            T item;
            if (Fetch(position_, &item) != S_OK) break;
            items[n++] = item;
            position_++;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        ULONG target = position_ + count;
        if (target > Size()) {
            position_ = Size();
            return S_FALSE;
        }
        position_ = target;
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(I** out) override {
        if (!out) return E_POINTER;
        *out = Make(owner_, position_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

protected:
    virtual HRESULT Fetch(ULONG index, T* item) = 0;
    virtual ULONG Size() = 0;
    virtual I* Make(Owner* owner, ULONG position) = 0;

    Owner* owner_;
    ULONG position_;
};

class PinEnumerator : public IndexEnumerator<IEnumPins, IPin*, Filter> {
public:
    PinEnumerator(Filter* owner, ULONG position) : IndexEnumerator(IID_IEnumPins, owner, position) {}
protected:
    HRESULT Fetch(ULONG index, IPin** item) override {
        Pin* pin = owner_->PinAt(static_cast<int>(index));
        if (!pin) return S_FALSE;
        *item = static_cast<IPin*>(pin);
        (*item)->AddRef();
        return S_OK;
    }
    ULONG Size() override { return static_cast<ULONG>(owner_->PinCount()); }
    IEnumPins* Make(Filter* owner, ULONG position) override {
        return new (std::nothrow) PinEnumerator(owner, position);
    }
};

class MediaTypeEnumerator : public IndexEnumerator<IEnumMediaTypes, AM_MEDIA_TYPE*, IPin> {
public:
    MediaTypeEnumerator(Pin* pin, ULONG position)
        : IndexEnumerator(IID_IEnumMediaTypes, static_cast<IPin*>(pin), position), pin_(pin) {}
protected:
    HRESULT Fetch(ULONG index, AM_MEDIA_TYPE** item) override {
        MediaType mt;
        if (pin_->GetMediaType(static_cast<int>(index), &mt) != S_OK) return S_FALSE;
        *item = CreateMediaType(&mt);
        return *item ? S_OK : E_OUTOFMEMORY;
    }
    ULONG Size() override {
        ULONG n = 0;
        MediaType mt;
        while (pin_->GetMediaType(static_cast<int>(n), &mt) == S_OK) {
            mt.Clear();
            n++;
        }
        return n;
    }
    IEnumMediaTypes* Make(IPin*, ULONG position) override {
        return new (std::nothrow) MediaTypeEnumerator(pin_, position);
    }
private:
    Pin* pin_;
};

}  // namespace

HRESULT CreatePinEnumerator(Filter* filter, ULONG position, IEnumPins** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) PinEnumerator(filter, position);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateMediaTypeEnumerator(Pin* pin, ULONG position, IEnumMediaTypes** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) MediaTypeEnumerator(pin, position);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace ds
