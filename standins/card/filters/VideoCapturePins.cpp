#include "VideoCapturePins.h"
#include "CardState.h"
#include "Filter.h"

namespace card {

const SIZE VideoOutPin::kSizes[4] = {{720, 576}, {720, 480}, {640, 480}, {320, 240}};
const REFERENCE_TIME VideoOutPin::kFrameTimes[2] = {400000, 333667};

static const DWORD kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');
static const LONG kStandards = AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_PAL_D |
                               AnalogVideo_PAL_G | AnalogVideo_PAL_I | AnalogVideo_SECAM_D |
                               AnalogVideo_SECAM_K;

PictureSource CurrentPicture() {
    PictureSource src;
    src.kind = kPictureSnow;
    src.pattern = 0;
    switch (CardVideoInput()) {
    case CARD_VIDEO_COMPOSITE:
        src.kind = kPictureComposite;
        break;
    case CARD_VIDEO_SVIDEO:
        src.kind = kPictureSVideo;
        break;
    default: {
        CardStation station;
        if (CardTunedStation(&station)) {
            src.kind = kPictureStation;
            src.pattern = station.pattern;
            src.name.assign(station.name, strnlen(station.name, sizeof(station.name)));
        }
        break;
    }
    }
    return src;
}

AnalogVideoInPin::AnalogVideoInPin(ds::Filter* filter) : InputPin(filter, L"Analog Video In") {
    SetCategory(PIN_CATEGORY_ANALOGVIDEOIN);
}

HRESULT AnalogVideoInPin::CheckMediaType(const AM_MEDIA_TYPE* mt) {
    return IsEqualGUID(mt->majortype, MEDIATYPE_AnalogVideo) ? S_OK : S_FALSE;
}

VideoOutPin::VideoOutPin(ds::Filter* filter, const wchar_t* name, REFGUID category)
    : PushPin(filter, name), config_(this) {
    SetCategory(category);
    for (const SIZE& size : kSizes) {
        for (REFERENCE_TIME frameTime : kFrameTimes) {
            ds::MediaType mt = ds::MakeVideoType(MEDIASUBTYPE_YUY2, kYuy2, 16, size.cx, size.cy, frameTime);
            VIDEO_STREAM_CONFIG_CAPS caps = {};
            caps.guid = FORMAT_VideoInfo;
            caps.VideoStandard = kStandards;
            caps.InputSize = size;
            caps.MinCroppingSize = caps.MaxCroppingSize = size;
            caps.CropGranularityX = caps.CropGranularityY = 1;
            caps.CropAlignX = caps.CropAlignY = 1;
            caps.MinOutputSize = caps.MaxOutputSize = size;
            caps.OutputGranularityX = caps.OutputGranularityY = 1;
            caps.MinFrameInterval = caps.MaxFrameInterval = frameTime;
            caps.MinBitsPerSecond = caps.MaxBitsPerSecond =
                static_cast<LONG>(static_cast<LONGLONG>(size.cx) * size.cy * 16 * 10000000 / frameTime);
            config_.AddCaps(mt, &caps, sizeof(caps));
        }
    }
}

HRESULT VideoOutPin::CheckMediaType(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    if (!IsEqualGUID(mt->majortype, MEDIATYPE_Video) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_YUY2) ||
        !IsEqualGUID(mt->formattype, FORMAT_VideoInfo) || mt->cbFormat < sizeof(VIDEOINFOHEADER) ||
        !mt->pbFormat)
        return S_FALSE;
    const VIDEOINFOHEADER* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
    const BITMAPINFOHEADER& bmi = vih->bmiHeader;
    if (bmi.biBitCount != 16 || bmi.biCompression != kYuy2) return S_FALSE;
    bool sizeOk = false;
    for (const SIZE& size : kSizes)
        if (bmi.biWidth == size.cx && bmi.biHeight == size.cy) sizeOk = true;
    if (!sizeOk) return S_FALSE;
    // 0 leaves the rate to the card; else anything between NTSC and PAL rates.
    if (vih->AvgTimePerFrame != 0 &&
        (vih->AvgTimePerFrame < kFrameTimes[1] || vih->AvgTimePerFrame > kFrameTimes[0]))
        return S_FALSE;
    return S_OK;
}

HRESULT VideoOutPin::GetMediaType(int index, AM_MEDIA_TYPE* mt) { return config_.OfferedType(index, mt); }

HRESULT VideoOutPin::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IAMStreamConfig)) return ds::HandOut<IAMStreamConfig>(&config_, out);
    return PushPin::QueryExtra(iid, out);
}

HRESULT VideoOutPin::DecideBufferSize(ALLOCATOR_PROPERTIES* props) {
    const VIDEOINFOHEADER* vih = ConnectionType().Video();
    if (!vih) return VFW_E_TYPE_NOT_ACCEPTED;
    long frameBytes = vih->bmiHeader.biWidth * vih->bmiHeader.biHeight * 2;
    if (props->cbBuffer < frameBytes) props->cbBuffer = frameBytes;
    if (props->cBuffers < 4) props->cBuffers = 4;
    if (props->cbAlign < 1) props->cbAlign = 1;
    return S_OK;
}

HRESULT VideoOutPin::FillSample(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME* duration) {
    const VIDEOINFOHEADER* vih = ConnectionType().Video();
    if (!vih) return VFW_E_NOT_CONNECTED;
    int width = vih->bmiHeader.biWidth, height = vih->bmiHeader.biHeight;
    REFERENCE_TIME frameTime = vih->AvgTimePerFrame ? vih->AvgTimePerFrame : kFrameTimes[0];
    long bytes = width * height * 2;
    BYTE* data = NULL;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    if (sample->GetSize() < bytes) return VFW_E_BUFFER_OVERFLOW;
    SYSTEMTIME now;
    GetLocalTime(&now);
    picture_.Draw(data, width, height, CurrentPicture(), start / frameTime, now);
    sample->SetActualDataLength(bytes);
    *duration = frameTime;
    return S_OK;
}

}  // namespace card
