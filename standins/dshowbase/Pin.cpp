#include "Pin.h"
#include "Enumerators.h"
#include "Filter.h"
#include <string.h>

namespace ds {

// ---------------------------------------------------------------- Pin

Pin::Pin(Filter* filter, PIN_DIRECTION dir, const wchar_t* name, const wchar_t* id)
    : filter_(filter), dir_(dir), name_(name ? name : L""), id_(id ? id : (name ? name : L"")),
      hasCategory_(false), category_(GUID_NULL) {}

Pin::~Pin() {}

void Pin::SetCategory(REFGUID category) {
    hasCategory_ = true;
    category_ = category;
}

HRESULT Pin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) return HandOut<IPin>(this, out);
    if (IsEqualIID(iid, IID_IKsPropertySet)) {
        if (!hasCategory_) return E_NOINTERFACE;
        return HandOut<IKsPropertySet>(this, out);
    }
    return QueryExtra(iid, out);
}

ULONG Pin::AddRef() { return filter_->AddRef(); }
ULONG Pin::Release() { return filter_->Release(); }

void Pin::SetConnection(IPin* peer, const AM_MEDIA_TYPE* mt) {
    AutoLock lock(filter_->ConnectionLock());
    peer_ = ComPtr<IPin>(peer);
    mt_ = *mt;
}

void Pin::ClearConnection() {
    ComPtr<IPin> old;
    {
        AutoLock lock(filter_->ConnectionLock());
        old = peer_;
        peer_.Reset();
        mt_.Clear();
    }
    // The last reference to the peer goes outside the lock.
}

HRESULT Pin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    AutoLock lock(filter_->ConnectionLock());
    *pin = peer_.Get();
    if (!*pin) return VFW_E_NOT_CONNECTED;
    (*pin)->AddRef();
    return S_OK;
}

HRESULT Pin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    AutoLock lock(filter_->ConnectionLock());
    if (!peer_) {
        memset(mt, 0, sizeof(*mt));
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &mt_);
}

HRESULT Pin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = dir_;
    lstrcpynW(info->achName, name_.c_str(), MAX_PIN_NAME);
    return S_OK;
}

HRESULT Pin::QueryDirection(PIN_DIRECTION* dir) {
    if (!dir) return E_POINTER;
    *dir = dir_;
    return S_OK;
}

HRESULT Pin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    size_t bytes = (id_.size() + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    memcpy(*id, id_.c_str(), bytes);
    return S_OK;
}

HRESULT Pin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    return CheckMediaType(mt) == S_OK ? S_OK : S_FALSE;
}

HRESULT Pin::EnumMediaTypes(IEnumMediaTypes** out) { return CreateMediaTypeEnumerator(this, 0, out); }

HRESULT Pin::GetMediaType(int, AM_MEDIA_TYPE*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT Pin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT Pin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

HRESULT Pin::Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) { return E_PROP_ID_UNSUPPORTED; }

HRESULT Pin::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD dataSize,
                 DWORD* returned) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!data) return E_POINTER;
    if (dataSize < sizeof(GUID)) return E_UNEXPECTED;
    memcpy(data, &category_, sizeof(GUID));
    if (returned) *returned = sizeof(GUID);
    return S_OK;
}

HRESULT Pin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// ---------------------------------------------------------------- OutputPin

OutputPin::OutputPin(Filter* filter, const wchar_t* name, const wchar_t* id)
    : Pin(filter, PINDIR_OUTPUT, name, id) {}

static bool FullySpecified(const AM_MEDIA_TYPE* mt) {
    return mt && !IsEqualGUID(mt->majortype, GUID_NULL) && !IsEqualGUID(mt->subtype, GUID_NULL) &&
           !IsEqualGUID(mt->formattype, GUID_NULL);
}

HRESULT OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) {
    if (!receiver) return E_POINTER;
    AutoLock lock(filter_->Lock());
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION dir;
    if (FAILED(receiver->QueryDirection(&dir)) || dir != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;

    if (FullySpecified(mt)) return TryConnect(receiver, mt);

    // Our own types first, then the receiver's.
    for (int i = 0;; i++) {
        MediaType own;
        if (GetMediaType(i, &own) != S_OK) break;
        if (!MatchesPartial(mt, own)) continue;
        if (SUCCEEDED(TryConnect(receiver, &own))) return S_OK;
    }
    ComPtr<IEnumMediaTypes> types;
    if (SUCCEEDED(receiver->EnumMediaTypes(types.Out()))) {
        AM_MEDIA_TYPE* theirs = NULL;
        ULONG got = 0;
        while (types->Next(1, &theirs, &got) == S_OK && got == 1) {
            bool ok = MatchesPartial(mt, *theirs) && SUCCEEDED(TryConnect(receiver, theirs));
            DeleteMediaType(theirs);
            if (ok) return S_OK;
        }
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::TryConnect(IPin* receiver, const AM_MEDIA_TYPE* mt) {
    if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    SetConnection(receiver, mt);
    HRESULT hr = receiver->ReceiveConnection(this, mt);
    if (FAILED(hr)) {
        ClearConnection();
        return hr;
    }
    if (CarriesSamples()) {
        ComPtr<IMemInputPin> input;
        hr = input.QueryFrom(receiver, IID_IMemInputPin);
        if (SUCCEEDED(hr)) hr = DecideAllocator(input.Get());
        if (SUCCEEDED(hr)) input_ = input;
    }
    if (SUCCEEDED(hr)) hr = OnConnected();
    if (FAILED(hr)) {
        Check(hr, "OutputPin::TryConnect");
        receiver->Disconnect();
        input_.Reset();
        allocator_.Reset();
        ClearConnection();
    }
    return hr;
}

HRESULT OutputPin::DecideBufferSize(ALLOCATOR_PROPERTIES* props) {
    if (props->cBuffers < 1) props->cBuffers = 1;
    if (props->cbBuffer < 1 && mt_.lSampleSize) props->cbBuffer = mt_.lSampleSize;
    if (props->cbAlign < 1) props->cbAlign = 1;
    return props->cbBuffer > 0 ? S_OK : E_FAIL;
}

HRESULT OutputPin::SetUpAllocator(IMemInputPin* input, IMemAllocator* allocator,
                                  ALLOCATOR_PROPERTIES* wanted) {
    ALLOCATOR_PROPERTIES props = *wanted, actual;
    HRESULT hr = DecideBufferSize(&props);
    if (FAILED(hr)) return hr;
    hr = allocator->SetProperties(&props, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cbBuffer < props.cbBuffer || actual.cBuffers < 1) return E_FAIL;
    hr = input->NotifyAllocator(allocator, FALSE);
    if (FAILED(hr)) return hr;
    allocator_ = ComPtr<IMemAllocator>(allocator);
    return S_OK;
}

HRESULT OutputPin::DecideAllocator(IMemInputPin* input) {
    ALLOCATOR_PROPERTIES wanted;
    memset(&wanted, 0, sizeof(wanted));
    input->GetAllocatorRequirements(&wanted);

    ComPtr<IMemAllocator> allocator;
    if (OwnAllocatorFirst()) {
        if (SUCCEEDED(CoCreateInstance(CLSID_MemoryAllocator, NULL, CLSCTX_INPROC_SERVER,
                                       IID_IMemAllocator, allocator.OutVoid()))) {
            ALLOCATOR_PROPERTIES props = wanted;
            if (SUCCEEDED(SetUpAllocator(input, allocator.Get(), &props))) return S_OK;
        }
        allocator.Reset();
    }
    if (SUCCEEDED(input->GetAllocator(allocator.Out())) && allocator) {
        ALLOCATOR_PROPERTIES props = wanted;
        if (SUCCEEDED(SetUpAllocator(input, allocator.Get(), &props))) return S_OK;
    }
    HRESULT hr = Check(CoCreateInstance(CLSID_MemoryAllocator, NULL, CLSCTX_INPROC_SERVER,
                                        IID_IMemAllocator, allocator.OutVoid()),
                       "CoCreateInstance(MemoryAllocator)");
    if (FAILED(hr)) return hr;
    return Check(SetUpAllocator(input, allocator.Get(), &wanted), "SetUpAllocator");
}

HRESULT OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

HRESULT OutputPin::Disconnect() {
    AutoLock lock(filter_->Lock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!peer_) return S_FALSE;
    if (allocator_) allocator_->Decommit();
    allocator_.Reset();
    input_.Reset();
    ClearConnection();
    OnDisconnected();
    return S_OK;
}

HRESULT OutputPin::Active() {
    if (!allocator_) return CarriesSamples() ? VFW_E_NO_ALLOCATOR : S_OK;
    return Check(allocator_->Commit(), "IMemAllocator::Commit");
}

HRESULT OutputPin::Inactive() {
    if (!allocator_) return S_OK;
    return Check(allocator_->Decommit(), "IMemAllocator::Decommit");
}

HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample) {
    if (!sample) return E_POINTER;
    *sample = NULL;
    IMemAllocator* allocator = allocator_.Get();
    if (!allocator) return VFW_E_NO_ALLOCATOR;
    return allocator->GetBuffer(sample, NULL, NULL, 0);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) {
    IMemInputPin* input = input_.Get();
    if (!input) return VFW_E_NOT_CONNECTED;
    return input->Receive(sample);
}

HRESULT OutputPin::DeliverEndOfStream() {
    IPin* peer = peer_.Get();
    if (!peer) return VFW_E_NOT_CONNECTED;
    return peer->EndOfStream();
}

HRESULT OutputPin::DeliverBeginFlush() {
    IPin* peer = peer_.Get();
    if (!peer) return VFW_E_NOT_CONNECTED;
    return peer->BeginFlush();
}

HRESULT OutputPin::DeliverEndFlush() {
    IPin* peer = peer_.Get();
    if (!peer) return VFW_E_NOT_CONNECTED;
    return peer->EndFlush();
}

HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    IPin* peer = peer_.Get();
    if (!peer) return VFW_E_NOT_CONNECTED;
    return peer->NewSegment(start, stop, rate);
}

// ---------------------------------------------------------------- InputPin

InputPin::InputPin(Filter* filter, const wchar_t* name, const wchar_t* id)
    : Pin(filter, PINDIR_INPUT, name, id), flushing_(0) {}

HRESULT InputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IMemInputPin)) return HandOut<IMemInputPin>(this, out);
    return Pin::QueryInterface(iid, out);
}

HRESULT InputPin::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

HRESULT InputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    AutoLock lock(filter_->Lock());
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION dir;
    if (FAILED(connector->QueryDirection(&dir)) || dir != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    SetConnection(connector, mt);
    HRESULT hr = OnConnected();
    if (FAILED(hr)) ClearConnection();
    return hr;
}

HRESULT InputPin::Disconnect() {
    AutoLock lock(filter_->Lock());
    if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!peer_) return S_FALSE;
    allocator_.Reset();
    ClearConnection();
    OnDisconnected();
    return S_OK;
}

HRESULT InputPin::EndOfStream() { return Flushing() ? S_FALSE : OnEndOfStream(); }

HRESULT InputPin::BeginFlush() {
    InterlockedExchange(&flushing_, 1);
    OnBeginFlush();
    return S_OK;
}

HRESULT InputPin::EndFlush() {
    OnEndFlush();
    InterlockedExchange(&flushing_, 0);
    return S_OK;
}

HRESULT InputPin::GetAllocator(IMemAllocator** allocator) {
    if (!allocator) return E_POINTER;
    AutoLock lock(filter_->Lock());
    if (!allocator_) {
        HRESULT hr = Check(CoCreateInstance(CLSID_MemoryAllocator, NULL, CLSCTX_INPROC_SERVER,
                                            IID_IMemAllocator, allocator_.OutVoid()),
                           "CoCreateInstance(MemoryAllocator)");
        if (FAILED(hr)) return hr;
    }
    return allocator_.CopyTo(allocator);
}

HRESULT InputPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    if (!allocator) return E_POINTER;
    AutoLock lock(filter_->Lock());
    allocator_ = ComPtr<IMemAllocator>(allocator);
    return S_OK;
}

HRESULT InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT InputPin::Receive(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    if (filter_->State() == State_Stopped) return VFW_E_WRONG_STATE;
    if (Flushing()) return S_FALSE;
    return OnReceive(sample);
}

HRESULT InputPin::ReceiveMultiple(IMediaSample** samples, long count, long* done) {
    if (!samples || !done) return E_POINTER;
    *done = 0;
    HRESULT hr = S_OK;
    while (*done < count) {
        hr = Receive(samples[*done]);
        if (hr != S_OK) break;
        (*done)++;
    }
    return hr;
}

HRESULT InputPin::ReceiveCanBlock() { return S_FALSE; }

}  // namespace ds
