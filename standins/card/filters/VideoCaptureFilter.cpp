#include "VideoCaptureFilter.h"
#include "CardFilterIds.h"
#include "CardState.h"
#include "CrossbarFilter.h"
#include "ProcAmpPage.h"
#include "VideoCapturePins.h"

namespace card {

const wchar_t kVideoCaptureName[] = L"Kestor TV Arden WDM Video CaptureA";
const wchar_t kCrossbarName[] = L"Kestor TV Arden WDM Crossbar";

namespace {

struct ProcAmpRange {
    LONG min, max, step, def;
};

// Brightness, contrast, hue, saturation, sharpness: the decoder's registers.
const ProcAmpRange kProcAmp[VideoCaptureFilter::kProcAmpProperties] = {
    {0, 255, 1, 128}, {0, 127, 1, 68}, {-128, 127, 1, 0}, {0, 127, 1, 64}, {-8, 7, 1, 0}};

const LONG kTvFormats =
    AnalogVideo_NTSC_M | AnalogVideo_NTSC_M_J | AnalogVideo_NTSC_433 | AnalogVideo_PAL_B |
    AnalogVideo_PAL_D | AnalogVideo_PAL_G | AnalogVideo_PAL_H | AnalogVideo_PAL_I | AnalogVideo_PAL_M |
    AnalogVideo_PAL_N | AnalogVideo_PAL_60 | AnalogVideo_SECAM_B | AnalogVideo_SECAM_D |
    AnalogVideo_SECAM_G | AnalogVideo_SECAM_H | AnalogVideo_SECAM_K | AnalogVideo_SECAM_K1 |
    AnalogVideo_SECAM_L | AnalogVideo_SECAM_L1 | AnalogVideo_PAL_N_COMBO;

const LONG kLines525 = AnalogVideo_NTSC_M | AnalogVideo_NTSC_M_J | AnalogVideo_NTSC_433 |
                       AnalogVideo_PAL_M | AnalogVideo_PAL_60;

}  // namespace

VideoCaptureFilter::VideoCaptureFilter() : VideoCaptureFilter(CardPreviewPinEnabled() != FALSE) {}

VideoCaptureFilter::VideoCaptureFilter(bool withPreview)
    : Filter(CLSID_CardVideoCapture), tvFormat_(AnalogVideo_PAL_D), vcrLocking_(0), outputEnable_(1) {
    for (int i = 0; i < kProcAmpProperties; i++) {
        procAmp_[i] = kProcAmp[i].def;
        procAmpFlags_[i] = VideoProcAmp_Flags_Manual;
    }
    AddPin(new AnalogVideoInPin(this));
    AddPin(new VideoOutPin(this, L"Capture", PIN_CATEGORY_CAPTURE));
    if (withPreview) AddPin(new VideoOutPin(this, L"Preview", PIN_CATEGORY_PREVIEW));
}

HRESULT VideoCaptureFilter::QueryExtra(REFIID iid, void** out) {
    // No IAMStreamConfig here: the outputs each have their own, and a caller
    // that asks the filter first must be sent on to the pins.
    if (IsEqualIID(iid, IID_IAMVideoProcAmp)) return ds::HandOut<IAMVideoProcAmp>(this, out);
    if (IsEqualIID(iid, IID_IAMAnalogVideoDecoder)) return ds::HandOut<IAMAnalogVideoDecoder>(this, out);
    if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) return ds::HandOut<ISpecifyPropertyPages>(this, out);
    return Filter::QueryExtra(iid, out);
}

HRESULT VideoCaptureFilter::OnJoinGraph() {
    // The card's crossbar belongs in front of the analog input; a graph
    // builder that does not bring it along finds it there already.
    ds::Pin* analogIn = PinAt(0);
    if (analogIn->IsConnected()) return S_OK;
    ds::ComPtr<IBaseFilter> crossbar;
    HRESULT hr = ds::CreateFilterObject<CrossbarFilter>(IID_IBaseFilter, crossbar.OutVoid());
    if (FAILED(hr)) return hr;
    hr = ds::Check(Graph()->AddFilter(crossbar.Get(), kCrossbarName), "AddFilter(crossbar)");
    if (FAILED(hr)) return hr;
    CrossbarFilter* xbar = static_cast<CrossbarFilter*>(crossbar.Get());
    return ds::Check(xbar->VideoDecoderOut()->Connect(static_cast<IPin*>(analogIn), NULL),
                     "Connect(crossbar, analog in)");
}

// ---------------------------------------------------------------- IAMVideoProcAmp

HRESULT VideoCaptureFilter::GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* def,
                                     LONG* caps) {
    if (!min || !max || !step || !def || !caps) return E_POINTER;
    if (property < 0 || property >= kProcAmpProperties) return E_PROP_ID_UNSUPPORTED;
    const ProcAmpRange& r = kProcAmp[property];
    *min = r.min;
    *max = r.max;
    *step = r.step;
    *def = r.def;
    *caps = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT VideoCaptureFilter::Set(LONG property, LONG value, LONG flags) {
    if (property < 0 || property >= kProcAmpProperties) return E_PROP_ID_UNSUPPORTED;
    if (flags != VideoProcAmp_Flags_Manual) return E_INVALIDARG;
    const ProcAmpRange& r = kProcAmp[property];
    if (value < r.min || value > r.max) {
        CardLog("VideoProcAmp Set %ld %ld -> out of range", property, value);
        return E_INVALIDARG;
    }
    CardLog("VideoProcAmp Set %ld %ld", property, value);
    ds::AutoLock lock(settingsLock_);
    procAmp_[property] = value;
    procAmpFlags_[property] = flags;
    return S_OK;
}

HRESULT VideoCaptureFilter::Get(LONG property, LONG* value, LONG* flags) {
    if (!value || !flags) return E_POINTER;
    if (property < 0 || property >= kProcAmpProperties) return E_PROP_ID_UNSUPPORTED;
    ds::AutoLock lock(settingsLock_);
    *value = procAmp_[property];
    *flags = procAmpFlags_[property];
    return S_OK;
}

// ---------------------------------------------------------------- IAMAnalogVideoDecoder

HRESULT VideoCaptureFilter::get_AvailableTVFormats(LONG* formats) {
    if (!formats) return E_POINTER;
    *formats = kTvFormats;
    return S_OK;
}

HRESULT VideoCaptureFilter::put_TVFormat(LONG format) {
    // One standard at a time, and only one the decoder knows.
    if (format == 0 || (format & (format - 1)) != 0 || (format & kTvFormats) == 0) {
        CardLog("put_TVFormat %08lX -> refused", format);
        return E_INVALIDARG;
    }
    CardLog("put_TVFormat %08lX", format);
    return ds::PutLocked(settingsLock_, tvFormat_, format);
}

HRESULT VideoCaptureFilter::get_TVFormat(LONG* format) { return ds::GetLocked(settingsLock_, tvFormat_, format); }

HRESULT VideoCaptureFilter::get_HorizontalLocked(LONG* locked) {
    if (!locked) return E_POINTER;
    *locked = CardSignalLocked() ? 1 : 0;
    return S_OK;
}

HRESULT VideoCaptureFilter::put_VCRHorizontalLocking(LONG on) {
    return ds::PutLocked(settingsLock_, vcrLocking_, on ? 1 : 0);
}

HRESULT VideoCaptureFilter::get_VCRHorizontalLocking(LONG* on) { return ds::GetLocked(settingsLock_, vcrLocking_, on); }

HRESULT VideoCaptureFilter::get_NumberOfLines(LONG* lines) {
    if (!lines) return E_POINTER;
    ds::AutoLock lock(settingsLock_);
    *lines = (tvFormat_ & kLines525) ? 525 : 625;
    return S_OK;
}

HRESULT VideoCaptureFilter::put_OutputEnable(LONG on) {
    return ds::PutLocked(settingsLock_, outputEnable_, on ? 1 : 0);
}

HRESULT VideoCaptureFilter::get_OutputEnable(LONG* on) { return ds::GetLocked(settingsLock_, outputEnable_, on); }

// ---------------------------------------------------------------- ISpecifyPropertyPages

HRESULT VideoCaptureFilter::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->cElems = 1;
    pages->pElems[0] = CLSID_CardProcAmpPage;
    return S_OK;
}

}  // namespace card
