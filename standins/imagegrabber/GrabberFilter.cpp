#include "GrabberFilter.h"
#include "MediaType.h"
#include <string.h>

namespace grabber {

const wchar_t kFilterName[] = L"Kestor_Image Grabber";

namespace {

struct SlotFailure {
    HRESULT hr;
    int mode;  // 0 none, 1 once, 2 always
};
ds::CritSec g_hookLock;
SlotFailure g_failures[9];
bool g_refuse = false;

// The failure a test asked for at this slot, or S_OK.
HRESULT Injected(int slot) {
    ds::AutoLock lock(g_hookLock);
    SlotFailure& f = g_failures[slot];
    if (f.mode == 0) return S_OK;
    HRESULT hr = f.hr;
    if (f.mode == 1) f.mode = 0;
    return hr;
}

bool IsGrabberType(const AM_MEDIA_TYPE* mt) {
    if (!IsEqualGUID(mt->majortype, MEDIATYPE_Video) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_YUY2) ||
        !IsEqualGUID(mt->formattype, FORMAT_VideoInfo) || !mt->pbFormat ||
        mt->cbFormat < sizeof(VIDEOINFOHEADER))
        return false;
    const VIDEOINFOHEADER* v = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
    return v->bmiHeader.biWidth > 0 && (v->bmiHeader.biWidth & 1) == 0 && v->bmiHeader.biHeight != 0;
}

}  // namespace

void FailSlot(int slot, HRESULT hr, bool always) {
    if (slot < 3 || slot > 8) return;
    ds::AutoLock lock(g_hookLock);
    g_failures[slot].hr = hr;
    g_failures[slot].mode = hr == S_OK ? 0 : always ? 2 : 1;
}

void RefuseInterface(bool refuse) {
    ds::AutoLock lock(g_hookLock);
    g_refuse = refuse;
}

void ResetHooks() {
    ds::AutoLock lock(g_hookLock);
    memset(g_failures, 0, sizeof(g_failures));
    g_refuse = false;
}

class GrabberFilter::InPin : public ds::InputPin {
public:
    explicit InPin(GrabberFilter* f) : InputPin(f, L"Input", L"In"), grabber_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        return IsGrabberType(mt) ? S_OK : S_FALSE;
    }
    HRESULT OnConnected() override {
        grabber_->ForgetFrame();
        return S_OK;
    }
    void OnDisconnected() override { grabber_->ForgetFrame(); }
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    // A renderer downstream may hold a sample until its time comes.
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    void OnBeginFlush() override;
    void OnEndFlush() override;

private:
    GrabberFilter* grabber_;
};

class GrabberFilter::OutPin : public ds::OutputPin {
public:
    explicit OutPin(GrabberFilter* f) : OutputPin(f, L"Output", L"Out"), grabber_(f) {}

    // The output carries exactly what the input does.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        if (!grabber_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        return ds::EqualMediaType(*mt, grabber_->in_->ConnectionType()) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (!grabber_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        if (index != 0) return VFW_S_NO_MORE_ITEMS;
        return ds::CopyMediaType(mt, &grabber_->in_->ConnectionType());
    }

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override {
        LONG w = 0, h = 0;
        grabber_->ConnectedSize(&w, &h);
        if (props->cbBuffer < w * (h < 0 ? -h : h) * 2) props->cbBuffer = w * (h < 0 ? -h : h) * 2;
        return OutputPin::DecideBufferSize(props);
    }

private:
    GrabberFilter* grabber_;
};

HRESULT GrabberFilter::InPin::OnReceive(IMediaSample* sample) {
    BYTE* data = NULL;
    if (SUCCEEDED(sample->GetPointer(&data)) && data)
        grabber_->KeepFrame(data, sample->GetActualDataLength());
    // The sample goes on as it came, time stamps and all.
    if (!grabber_->out_->IsConnected()) return S_OK;
    return grabber_->out_->Deliver(sample);
}

HRESULT GrabberFilter::InPin::OnEndOfStream() {
    if (!grabber_->out_->IsConnected()) return S_OK;
    return grabber_->out_->DeliverEndOfStream();
}

void GrabberFilter::InPin::OnBeginFlush() {
    if (grabber_->out_->IsConnected()) grabber_->out_->DeliverBeginFlush();
}

void GrabberFilter::InPin::OnEndFlush() {
    if (grabber_->out_->IsConnected()) grabber_->out_->DeliverEndFlush();
}

HRESULT GrabberFilter::InPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!grabber_->out_->IsConnected()) return S_OK;
    return grabber_->out_->DeliverNewSegment(start, stop, rate);
}

GrabberFilter::GrabberFilter()
    : Filter(CLSID_KestorImageGrabber), hasFrame_(false), lastBufferSize_(0) {
    in_ = new InPin(this);
    out_ = new OutPin(this);
    AddPin(in_);
    AddPin(out_);
}

GrabberFilter::~GrabberFilter() {}

IPin* GrabberFilter::Input() const { return static_cast<IPin*>(in_); }
IPin* GrabberFilter::Output() const { return static_cast<IPin*>(out_); }

HRESULT GrabberFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IKestorImageGrabber)) {
        {
            ds::AutoLock lock(g_hookLock);
            if (g_refuse) return E_NOINTERFACE;
        }
        return ds::HandOut<IKestorImageGrabber>(this, out);
    }
    return Filter::QueryExtra(iid, out);
}

HRESULT GrabberFilter::OnStateChange(FILTER_STATE, FILTER_STATE to) {
    if (to == State_Stopped) ForgetFrame();
    return S_OK;
}

bool GrabberFilter::ConnectedSize(LONG* width, LONG* height) {
    ds::AutoLock lock(ConnectionLock());
    if (!in_->IsConnected()) return false;
    const VIDEOINFOHEADER* v = in_->ConnectionType().Video();
    if (!v) return false;
    *width = v->bmiHeader.biWidth;
    *height = v->bmiHeader.biHeight;
    return true;
}

void GrabberFilter::KeepFrame(const BYTE* data, long size) {
    LONG w = 0, h = 0;
    if (!ConnectedSize(&w, &h)) return;
    size_t frameSize = static_cast<size_t>(w) * (h < 0 ? -h : h) * 2;
    ds::AutoLock lock(frameLock_);
    frame_.assign(frameSize, 0);
    memcpy(frame_.data(), data, size < 0 ? 0 : (static_cast<size_t>(size) < frameSize ? size : frameSize));
    hasFrame_ = true;
}

void GrabberFilter::ForgetFrame() {
    ds::AutoLock lock(frameLock_);
    hasFrame_ = false;
}

STDMETHODIMP GrabberFilter::GetFrameSize(int* width, int* height, int* third) {
    HRESULT hr = Injected(3);
    if (hr != S_OK) return hr;
    if (!width || !height || !third) return E_POINTER;
    LONG w, h;
    if (!ConnectedSize(&w, &h)) return VFW_E_NOT_CONNECTED;
    *width = w;
    *height = h;
    *third = 16;
    return S_OK;
}

STDMETHODIMP GrabberFilter::GetBufferSize(long* bytes) {
    HRESULT hr = Injected(4);
    if (hr != S_OK) return hr;
    if (!bytes) return E_POINTER;
    LONG w, h;
    if (!ConnectedSize(&w, &h)) return VFW_E_NOT_CONNECTED;
    *bytes = w * (h < 0 ? -h : h) * 2;
    ds::AutoLock lock(frameLock_);
    lastBufferSize_ = *bytes;
    return S_OK;
}

STDMETHODIMP GrabberFilter::GetBitmapHeader(BITMAPINFOHEADER* header) {
    HRESULT hr = Injected(5);
    if (hr != S_OK) return hr;
    if (!header) return E_POINTER;
    LONG w, h;
    if (!ConnectedSize(&w, &h)) return VFW_E_NOT_CONNECTED;
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof(bih);
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 16;
    bih.biCompression = MAKEFOURCC('Y', 'U', 'Y', '2');
    bih.biSizeImage = w * (h < 0 ? -h : h) * 2;
    *header = bih;
    return S_OK;
}

STDMETHODIMP GrabberFilter::Unused06() {
    HRESULT hr = Injected(6);
    return hr != S_OK ? hr : E_NOTIMPL;
}

STDMETHODIMP GrabberFilter::Unused07() {
    HRESULT hr = Injected(7);
    return hr != S_OK ? hr : E_NOTIMPL;
}

STDMETHODIMP GrabberFilter::GetCurrentFrame(BYTE* buffer, int) {
    HRESULT hr = Injected(8);
    if (hr != S_OK) return hr;
    if (!buffer) return E_POINTER;
    LONG w, h;
    if (!ConnectedSize(&w, &h)) return VFW_E_NOT_CONNECTED;
    ds::AutoLock lock(frameLock_);
    if (!hasFrame_) return VFW_E_WRONG_STATE;
    // The caller's buffer has no length: only the size slot 4 last gave out
    // is known to fit.
    if (static_cast<long>(frame_.size()) != lastBufferSize_) return E_UNEXPECTED;
    memcpy(buffer, frame_.data(), frame_.size());
    return S_OK;
}

}  // namespace grabber
