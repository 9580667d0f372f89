#include "MixerFilter.h"
#include "CardState.h"
#include "Yuy2Filter.h"
#include <string.h>

namespace mixer {

const wchar_t kFilterName[] = L"Overlay Mixer";

namespace {

const GUID* const kSubtypes[] = {&MEDIASUBTYPE_RGB32, &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB565};

HRESULT Logged(HRESULT hr, const char* call, int value) {
    CardLog("Mixer.%s(%d) = 0x%08lX", call, value, static_cast<unsigned long>(hr));
    return hr;
}

}  // namespace

// The input pin's IMixerPinConfig: the pin's identity and reference count,
// the values kept for the asking.
class MixerFilter::PinConfig final : public IMixerPinConfig {
public:
    explicit PinConfig(MixerFilter* f) : f_(f) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return f_->Input()->QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return f_->Input()->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return f_->Input()->Release(); }

    STDMETHODIMP SetRelativePosition(DWORD l, DWORD t, DWORD r, DWORD b) override {
        if (l >= r || t >= b || r > 10000 || b > 10000) return E_INVALIDARG;
        ds::AutoLock lock(lock_);
        rect_ = {static_cast<LONG>(l), static_cast<LONG>(t), static_cast<LONG>(r), static_cast<LONG>(b)};
        return S_OK;
    }
    STDMETHODIMP GetRelativePosition(DWORD* l, DWORD* t, DWORD* r, DWORD* b) override {
        if (!l || !t || !r || !b) return E_POINTER;
        ds::AutoLock lock(lock_);
        *l = rect_.left;
        *t = rect_.top;
        *r = rect_.right;
        *b = rect_.bottom;
        return S_OK;
    }
    STDMETHODIMP SetZOrder(DWORD z) override { return ds::PutLocked(lock_, z_, z); }
    STDMETHODIMP GetZOrder(DWORD* z) override { return ds::GetLocked(lock_, z_, z); }
    STDMETHODIMP SetColorKey(COLORKEY*) override { return E_NOTIMPL; }
    STDMETHODIMP GetColorKey(COLORKEY*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetBlendingParameter(DWORD v) override {
        if (v > 255) return E_INVALIDARG;
        return ds::PutLocked(lock_, blending_, v);
    }
    STDMETHODIMP GetBlendingParameter(DWORD* v) override { return ds::GetLocked(lock_, blending_, v); }
    STDMETHODIMP SetAspectRatioMode(AM_ASPECT_RATIO_MODE mode) override {
        if (CardShouldFail("Mixer.AspectRatio")) return Logged(E_FAIL, "AspectRatio", mode);
        if (mode < AM_ARMODE_STRETCHED || mode > AM_ARMODE_STRETCHED_AS_PRIMARY)
            return Logged(E_INVALIDARG, "AspectRatio", mode);
        ds::PutLocked(lock_, mode_, mode);
        return Logged(S_OK, "AspectRatio", mode);
    }
    STDMETHODIMP GetAspectRatioMode(AM_ASPECT_RATIO_MODE* mode) override { return ds::GetLocked(lock_, mode_, mode); }
    STDMETHODIMP SetStreamTransparent(BOOL t) override { return ds::PutLocked(lock_, transparent_, t); }
    STDMETHODIMP GetStreamTransparent(BOOL* t) override { return ds::GetLocked(lock_, transparent_, t); }

    AM_ASPECT_RATIO_MODE Mode() {
        ds::AutoLock lock(lock_);
        return mode_;
    }

private:
    MixerFilter* f_;
    ds::CritSec lock_;
    RECT rect_ = {0, 0, 10000, 10000};
    DWORD z_ = 0;
    DWORD blending_ = 255;
    AM_ASPECT_RATIO_MODE mode_ = AM_ARMODE_LETTER_BOX;
    BOOL transparent_ = FALSE;
};

ds::MediaType RgbType(yuv::RgbFormat format, LONG width, LONG height, REFERENCE_TIME frameTime) {
    LONG rows = height < 0 ? -height : height;
    ds::MediaType mt = ds::MakeVideoType(*kSubtypes[format], format == yuv::RGB_565 ? BI_BITFIELDS : BI_RGB,
                                         static_cast<WORD>(yuv::BitsOf(format)), width, rows, frameTime);
    if (format == yuv::RGB_565) {
        // 5-6-5 needs its three masks after the header.
        ds::MediaType withMasks = mt;
        BYTE* block = withMasks.AllocFormat(FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER) + 3 * sizeof(DWORD));
        if (block) {
            memcpy(block, mt.pbFormat, sizeof(VIDEOINFOHEADER));
            DWORD* masks = reinterpret_cast<DWORD*>(block + sizeof(VIDEOINFOHEADER));
            masks[0] = 0xF800;
            masks[1] = 0x07E0;
            masks[2] = 0x001F;
        }
        return withMasks;
    }
    return mt;
}

bool RgbFormatOf(const AM_MEDIA_TYPE* mt, yuv::RgbFormat* format) {
    for (int i = 0; i < 3; i++) {
        if (!ds::IsVideoInfoType(mt, *kSubtypes[i])) continue;
        const BITMAPINFOHEADER& b = ds::VideoHeader(mt)->bmiHeader;
        if (b.biHeight <= 0 || b.biBitCount != yuv::BitsOf(static_cast<yuv::RgbFormat>(i))) return false;
        *format = static_cast<yuv::RgbFormat>(i);
        return true;
    }
    return false;
}

MixerFilter::MixerFilter()
    : TransformFilter(CLSID_OverlayMixerStandin), config_(new PinConfig(this)), row_(yuv::FastestRgb32Row()) {}

MixerFilter::~MixerFilter() { delete config_; }

AM_ASPECT_RATIO_MODE MixerFilter::AspectRatioMode() { return config_->Mode(); }

HRESULT MixerFilter::QueryInputExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IMixerPinConfig)) return ds::HandOut<IMixerPinConfig>(config_, out);
    return E_NOINTERFACE;
}

HRESULT MixerFilter::CheckInputType(const AM_MEDIA_TYPE* mt) {
    return ds::IsYuy2FrameType(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT MixerFilter::CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) {
    yuv::RgbFormat format;
    if (!RgbFormatOf(out, &format)) return VFW_E_TYPE_NOT_ACCEPTED;
    const BITMAPINFOHEADER& a = ds::VideoHeader(in)->bmiHeader;
    const BITMAPINFOHEADER& b = ds::VideoHeader(out)->bmiHeader;
    LONG rows = a.biHeight < 0 ? -a.biHeight : a.biHeight;
    return b.biWidth == a.biWidth && b.biHeight == rows ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT MixerFilter::GetOutputType(int index, const AM_MEDIA_TYPE* in, AM_MEDIA_TYPE* out) {
    if (index >= 3) return VFW_S_NO_MORE_ITEMS;
    const VIDEOINFOHEADER* v = ds::VideoHeader(in);
    ds::MediaType mt = RgbType(static_cast<yuv::RgbFormat>(index), v->bmiHeader.biWidth, v->bmiHeader.biHeight,
                               v->AvgTimePerFrame);
    return ds::CopyMediaType(out, &mt);
}

HRESULT MixerFilter::AdmitOutputConnection() {
    if (CardShouldFail("Mixer.Connect")) return Logged(VFW_E_NO_ACCEPTABLE_TYPES, "Connect", 0);
    return Logged(S_OK, "Connect", 0);
}

HRESULT MixerFilter::Transform(IMediaSample* in, IMediaSample* out) {
    ds::MediaType inType = InputType(), outType = OutputType();
    yuv::RgbFormat format;
    if (!ds::IsYuy2FrameType(&inType) || !RgbFormatOf(&outType, &format)) return VFW_E_NOT_CONNECTED;
    const BITMAPINFOHEADER& b = inType.Video()->bmiHeader;
    int width = b.biWidth, rows = b.biHeight < 0 ? -b.biHeight : b.biHeight;
    int stride = yuv::RgbStride(width, format);
    long bytes = static_cast<long>(stride) * rows;
    BYTE *src = NULL, *dst = NULL;
    if (FAILED(in->GetPointer(&src)) || FAILED(out->GetPointer(&dst)) || !src || !dst) return E_POINTER;
    if (in->GetActualDataLength() < static_cast<long>(width) * rows * 2) return S_FALSE;
    if (out->GetSize() < bytes) return VFW_E_BUFFER_OVERFLOW;
    yuv::Yuy2ToRgbFrame(src, width, rows, dst, stride, format, row_);
    return out->SetActualDataLength(bytes);
}

}  // namespace mixer
