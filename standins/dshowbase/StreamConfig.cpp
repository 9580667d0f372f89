#include "StreamConfig.h"
#include "Filter.h"
#include "Pin.h"
#include <string.h>

namespace ds {

StreamConfig::StreamConfig(Pin* pin) : pin_(pin), hasChosen_(false) {}

void StreamConfig::AddCaps(const AM_MEDIA_TYPE& mt, const void* caps, int capsSize) {
    Entry e;
    e.mt = mt;
    e.caps.assign(static_cast<const BYTE*>(caps), static_cast<const BYTE*>(caps) + capsSize);
    entries_.push_back(e);
}

HRESULT StreamConfig::QueryInterface(REFIID iid, void** out) { return pin_->QueryInterface(iid, out); }
ULONG StreamConfig::AddRef() { return pin_->AddRef(); }
ULONG StreamConfig::Release() { return pin_->Release(); }

HRESULT StreamConfig::SetFormat(AM_MEDIA_TYPE* mt) {
    Filter* filter = pin_->Owner();
    AutoLock lock(filter->Lock());
    if (!mt) {
        // Back to the device's default.
        if (pin_->IsConnected()) return VFW_E_ALREADY_CONNECTED;
        chosen_.Clear();
        hasChosen_ = false;
        return S_OK;
    }
    if (pin_->CheckMediaType(mt) != S_OK) return VFW_E_INVALIDMEDIATYPE;
    if (pin_->IsConnected()) {
        if (filter->State() != State_Stopped) return VFW_E_NOT_STOPPED;
        if (pin_->Peer()->QueryAccept(mt) != S_OK) return VFW_E_INVALIDMEDIATYPE;
    }
    chosen_ = *mt;
    hasChosen_ = true;
    if (pin_->IsConnected() && filter->Graph())
        return Check(filter->Graph()->Reconnect(static_cast<IPin*>(pin_)), "IFilterGraph::Reconnect");
    return S_OK;
}

MediaType StreamConfig::Current() const {
    if (pin_->IsConnected()) return pin_->ConnectionType();
    if (hasChosen_) return chosen_;
    if (!entries_.empty()) return entries_[0].mt;
    return MediaType();
}

HRESULT StreamConfig::GetFormat(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    AutoLock lock(pin_->Owner()->Lock());
    MediaType current = Current();
    if (IsEqualGUID(current.majortype, GUID_NULL)) return E_FAIL;
    *mt = CreateMediaType(&current);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

HRESULT StreamConfig::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = static_cast<int>(entries_.size());
    *size = entries_.empty() ? 0 : static_cast<int>(entries_[0].caps.size());
    return S_OK;
}

HRESULT StreamConfig::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    if (index < 0) return E_INVALIDARG;
    if (index >= static_cast<int>(entries_.size())) return S_FALSE;
    *mt = CreateMediaType(&entries_[index].mt);
    if (!*mt) return E_OUTOFMEMORY;
    memcpy(caps, entries_[index].caps.data(), entries_[index].caps.size());
    return S_OK;
}

HRESULT StreamConfig::OfferedType(int index, AM_MEDIA_TYPE* mt) const {
    if (!mt) return E_POINTER;
    if (index < 0) return E_INVALIDARG;
    if (hasChosen_) return index == 0 ? CopyMediaType(mt, &chosen_) : VFW_S_NO_MORE_ITEMS;
    if (index >= static_cast<int>(entries_.size())) return VFW_S_NO_MORE_ITEMS;
    return CopyMediaType(mt, &entries_[index].mt);
}

}  // namespace ds
