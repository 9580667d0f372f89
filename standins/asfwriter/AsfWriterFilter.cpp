#include "AsfWriterFilter.h"
#include "CardState.h"

namespace asf {

class AsfWriterFilter::InPin : public ds::InputPin {
public:
    explicit InPin(AsfWriterFilter* f) : InputPin(f, L"Audio Input 01"), writer_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        ds::MediaType type(*mt);
        const WAVEFORMATEX* wf = type.Wave();
        return IsEqualGUID(mt->majortype, MEDIATYPE_Audio) && IsEqualGUID(mt->subtype, MEDIASUBTYPE_PCM) && wf &&
                       wf->wFormatTag == WAVE_FORMAT_PCM && wf->nBlockAlign > 0
                   ? S_OK
                   : S_FALSE;
    }

protected:
    HRESULT OnReceive(IMediaSample* sample) override { return writer_->Receive(sample); }
    HRESULT OnEndOfStream() override { return writer_->EndOfStream(); }

private:
    AsfWriterFilter* writer_;
};

AsfWriterFilter::AsfWriterFilter()
    : Filter(CLSID_WMAsfWriterFilter), mode_(0), profile_(GUID_NULL), index_(TRUE) {
    in_ = new InPin(this);
    AddPin(in_);
}

AsfWriterFilter::~AsfWriterFilter() {
    ds::AutoLock lock(fileLock_);
    file_.Close();
}

HRESULT AsfWriterFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IFileSinkFilter) || IsEqualIID(iid, IID_IFileSinkFilter2))
        return ds::HandOut<IFileSinkFilter2>(this, out);
    if (IsEqualIID(iid, IID_IConfigAsfWriter)) return ds::HandOut<IConfigAsfWriter>(this, out);
    if (IsEqualIID(iid, IID_IAMFilterMiscFlags)) return ds::HandOut<IAMFilterMiscFlags>(this, out);
    return Filter::QueryExtra(iid, out);
}

HRESULT AsfWriterFilter::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) {
    if (!name) return E_POINTER;
    ds::AutoLock lock(Lock());
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    fileName_ = name;
    return S_OK;
}

HRESULT AsfWriterFilter::GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) {
    if (!name) return E_POINTER;
    ds::AutoLock lock(Lock());
    *name = NULL;
    if (mt) memset(mt, 0, sizeof(*mt));
    if (fileName_.empty()) return S_OK;
    size_t bytes = (fileName_.size() + 1) * sizeof(WCHAR);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*name) return E_OUTOFMEMORY;
    memcpy(*name, fileName_.c_str(), bytes);
    return S_OK;
}

HRESULT AsfWriterFilter::SetMode(DWORD flags) {
    if (CardShouldFail("AsfWriterSetMode")) return E_FAIL;
    if (flags & ~static_cast<DWORD>(AM_FILE_OVERWRITE)) return E_INVALIDARG;
    return ds::PutLocked(Lock(), mode_, flags);
}

HRESULT AsfWriterFilter::GetMode(DWORD* flags) { return ds::GetLocked(Lock(), mode_, flags); }

// Only the one system profile a recording asks for is known here.
HRESULT AsfWriterFilter::ConfigureFilterUsingProfileId(DWORD) { return E_NOTIMPL; }
HRESULT AsfWriterFilter::GetCurrentProfileId(DWORD*) { return E_NOTIMPL; }

HRESULT AsfWriterFilter::ConfigureFilterUsingProfileGuid(REFGUID profile) {
    if (CardShouldFail("AsfWriterProfile")) return E_FAIL;
    if (!IsEqualGUID(profile, WMProfile_AudioCapture)) return E_INVALIDARG;
    ds::AutoLock lock(Lock());
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    profile_ = profile;
    return S_OK;
}

HRESULT AsfWriterFilter::GetCurrentProfileGuid(GUID* profile) { return ds::GetLocked(Lock(), profile_, profile); }
HRESULT AsfWriterFilter::ConfigureFilterUsingProfile(IUnknown*) { return E_NOTIMPL; }

HRESULT AsfWriterFilter::GetCurrentProfile(IUnknown** profile) {
    if (profile) *profile = NULL;
    return E_NOTIMPL;
}

HRESULT AsfWriterFilter::SetIndexMode(BOOL index) { return ds::PutLocked(Lock(), index_, index); }
HRESULT AsfWriterFilter::GetIndexMode(BOOL* index) { return ds::GetLocked(Lock(), index_, index); }

HRESULT AsfWriterFilter::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
    ds::AutoLock lock(fileLock_);
    if (from == State_Stopped) {
        if (fileName_.empty()) return E_FAIL;
        const WAVEFORMATEX* wf = in_->ConnectionType().Wave();
        if (!wf) return VFW_E_NOT_CONNECTED;
        if (!file_.Open(fileName_.c_str(), *wf)) return HRESULT_FROM_WIN32(GetLastError());
    } else if (to == State_Stopped) {
        file_.Close();
    }
    return S_OK;
}

HRESULT AsfWriterFilter::Receive(IMediaSample* sample) {
    BYTE* data = NULL;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    ds::AutoLock lock(fileLock_);
    if (!file_.IsOpen()) return S_FALSE;
    return file_.Write(data, sample->GetActualDataLength()) ? S_OK : E_FAIL;
}

HRESULT AsfWriterFilter::EndOfStream() {
    {
        ds::AutoLock lock(fileLock_);
        file_.Close();
    }
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    return S_OK;
}

}  // namespace asf
