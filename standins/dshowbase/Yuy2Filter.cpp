#include "Yuy2Filter.h"
#include <string.h>

namespace ds {

static const REGPINTYPES kYuy2 = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
const REGFILTERPINS2 kYuy2FilterPins[2] = {
    {0, 1, 1, &kYuy2, 0, NULL, NULL},
    {REG_PINFLAG_B_OUTPUT, 1, 1, &kYuy2, 0, NULL, NULL},
};

bool IsYuy2FrameType(const AM_MEDIA_TYPE* mt) {
    if (!IsVideoInfoType(mt, MEDIASUBTYPE_YUY2)) return false;
    const BITMAPINFOHEADER& b = VideoHeader(mt)->bmiHeader;
    return b.biWidth > 0 && (b.biWidth & 1) == 0 && b.biHeight != 0 && b.biWidth <= 8192 &&
           b.biHeight >= -8192 && b.biHeight <= 8192;
}

HRESULT Yuy2Filter::CheckInputType(const AM_MEDIA_TYPE* mt) {
    return IsYuy2FrameType(mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Yuy2Filter::CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) {
    if (!IsYuy2FrameType(out)) return VFW_E_TYPE_NOT_ACCEPTED;
    const BITMAPINFOHEADER& a = VideoHeader(in)->bmiHeader;
    const BITMAPINFOHEADER& b = VideoHeader(out)->bmiHeader;
    return a.biWidth == b.biWidth && a.biHeight == b.biHeight ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT Yuy2Filter::GetOutputType(int index, const AM_MEDIA_TYPE* in, AM_MEDIA_TYPE* out) {
    if (index > 0) return VFW_S_NO_MORE_ITEMS;
    HRESULT hr = CopyMediaType(out, in);
    if (FAILED(hr)) return hr;
    const BITMAPINFOHEADER& b = VideoHeader(in)->bmiHeader;
    out->lSampleSize = b.biWidth * (b.biHeight < 0 ? -b.biHeight : b.biHeight) * 2;
    out->bFixedSizeSamples = TRUE;
    return S_OK;
}

HRESULT Yuy2Filter::Transform(IMediaSample* in, IMediaSample* out) {
    MediaType type = InputType();
    if (!IsYuy2FrameType(&type)) return VFW_E_NOT_CONNECTED;
    const BITMAPINFOHEADER& b = type.Video()->bmiHeader;
    int width = b.biWidth, rows = b.biHeight < 0 ? -b.biHeight : b.biHeight;
    long bytes = static_cast<long>(width) * rows * 2;
    BYTE *src = NULL, *dst = NULL;
    if (FAILED(in->GetPointer(&src)) || FAILED(out->GetPointer(&dst)) || !src || !dst) return E_POINTER;
    // A short frame is dropped rather than read past its end.
    if (in->GetActualDataLength() < bytes) return S_FALSE;
    if (out->GetSize() < bytes) return VFW_E_BUFFER_OVERFLOW;
    ProcessFrame(src, dst, width, rows);
    return out->SetActualDataLength(bytes);
}

}  // namespace ds
