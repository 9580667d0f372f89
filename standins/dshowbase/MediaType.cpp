#include "MediaType.h"
#include <string.h>

namespace ds {

HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src) {
    if (!dst || !src) return E_POINTER;
    *dst = *src;
    if (src->cbFormat && src->pbFormat) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (!dst->pbFormat) {
            // Nothing of the source is held: freeing the copy must not
            // release the source's object.
            dst->cbFormat = 0;
            dst->pUnk = NULL;
            return E_OUTOFMEMORY;
        }
        memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
    } else {
        dst->pbFormat = NULL;
        dst->cbFormat = 0;
    }
    if (dst->pUnk) dst->pUnk->AddRef();
    return S_OK;
}

void FreeMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    if (mt->pbFormat) CoTaskMemFree(mt->pbFormat);
    mt->pbFormat = NULL;
    mt->cbFormat = 0;
    if (mt->pUnk) mt->pUnk->Release();
    mt->pUnk = NULL;
}

AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src) {
    AM_MEDIA_TYPE* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt) return NULL;
    if (FAILED(CopyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return NULL;
    }
    return mt;
}

void DeleteMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return;
    FreeMediaType(mt);
    CoTaskMemFree(mt);
}

bool EqualMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    return IsEqualGUID(a.majortype, b.majortype) && IsEqualGUID(a.subtype, b.subtype) &&
           IsEqualGUID(a.formattype, b.formattype) && a.cbFormat == b.cbFormat &&
           (a.cbFormat == 0 || (a.pbFormat && b.pbFormat &&
                                memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0));
}

bool MatchesPartial(const AM_MEDIA_TYPE* partial, const AM_MEDIA_TYPE& mt) {
    if (!partial) return true;
    if (!IsEqualGUID(partial->majortype, GUID_NULL) && !IsEqualGUID(partial->majortype, mt.majortype))
        return false;
    if (!IsEqualGUID(partial->subtype, GUID_NULL) && !IsEqualGUID(partial->subtype, mt.subtype))
        return false;
    if (!IsEqualGUID(partial->formattype, GUID_NULL)) {
        if (!IsEqualGUID(partial->formattype, mt.formattype)) return false;
        if (partial->cbFormat && !EqualMediaType(*partial, mt)) return false;
    }
    return true;
}

MediaType::MediaType() { memset(static_cast<AM_MEDIA_TYPE*>(this), 0, sizeof(AM_MEDIA_TYPE)); }

MediaType::MediaType(const MediaType& o) : MediaType() { CopyMediaType(this, &o); }

MediaType::MediaType(const AM_MEDIA_TYPE& o) : MediaType() { CopyMediaType(this, &o); }

MediaType::~MediaType() { FreeMediaType(this); }

MediaType& MediaType::operator=(const MediaType& o) {
    return *this = static_cast<const AM_MEDIA_TYPE&>(o);
}

MediaType& MediaType::operator=(const AM_MEDIA_TYPE& o) {
    if (&o == this) return *this;
    AM_MEDIA_TYPE copy;
    if (FAILED(CopyMediaType(&copy, &o))) return *this;
    FreeMediaType(this);
    *static_cast<AM_MEDIA_TYPE*>(this) = copy;
    return *this;
}

void MediaType::Clear() {
    FreeMediaType(this);
    memset(static_cast<AM_MEDIA_TYPE*>(this), 0, sizeof(AM_MEDIA_TYPE));
}

BYTE* MediaType::AllocFormat(REFGUID type, ULONG size) {
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    cbFormat = pbFormat ? size : 0;
    if (pbFormat) memset(pbFormat, 0, size);
    formattype = type;
    return pbFormat;
}

VIDEOINFOHEADER* MediaType::Video() const {
    if (!IsEqualGUID(formattype, FORMAT_VideoInfo) || cbFormat < sizeof(VIDEOINFOHEADER) || !pbFormat)
        return NULL;
    return reinterpret_cast<VIDEOINFOHEADER*>(pbFormat);
}

WAVEFORMATEX* MediaType::Wave() const {
    if (!IsEqualGUID(formattype, FORMAT_WaveFormatEx) || cbFormat < sizeof(WAVEFORMATEX) || !pbFormat)
        return NULL;
    return reinterpret_cast<WAVEFORMATEX*>(pbFormat);
}

MediaType MakeVideoType(REFGUID subtype, DWORD fourcc, WORD bitCount, LONG width, LONG height,
                        REFERENCE_TIME frameTime) {
    MediaType mt;
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = subtype;
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    VIDEOINFOHEADER* vih = reinterpret_cast<VIDEOINFOHEADER*>(
        mt.AllocFormat(FORMAT_VideoInfo, sizeof(VIDEOINFOHEADER)));
    if (!vih) return mt;
    DWORD stride = ((width * bitCount + 31) / 32) * 4;
    vih->AvgTimePerFrame = frameTime;
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = width;
    vih->bmiHeader.biHeight = height;
    vih->bmiHeader.biPlanes = 1;
    vih->bmiHeader.biBitCount = bitCount;
    vih->bmiHeader.biCompression = fourcc;
    vih->bmiHeader.biSizeImage = stride * (height < 0 ? -height : height);
    vih->dwBitRate = frameTime ? static_cast<DWORD>(vih->bmiHeader.biSizeImage * 8.0 * 10000000.0 / frameTime) : 0;
    mt.lSampleSize = vih->bmiHeader.biSizeImage;
    return mt;
}

MediaType MakePcmType(DWORD sampleRate, WORD bits, WORD channels) {
    MediaType mt;
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.bFixedSizeSamples = TRUE;
    WAVEFORMATEX* wf = reinterpret_cast<WAVEFORMATEX*>(
        mt.AllocFormat(FORMAT_WaveFormatEx, sizeof(WAVEFORMATEX)));
    if (!wf) return mt;
    wf->wFormatTag = WAVE_FORMAT_PCM;
    wf->nChannels = channels;
    wf->nSamplesPerSec = sampleRate;
    wf->wBitsPerSample = bits;
    wf->nBlockAlign = static_cast<WORD>(channels * bits / 8);
    wf->nAvgBytesPerSec = sampleRate * wf->nBlockAlign;
    mt.lSampleSize = wf->nBlockAlign;
    return mt;
}

}  // namespace ds
