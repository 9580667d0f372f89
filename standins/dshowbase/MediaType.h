// AM_MEDIA_TYPE helpers: copying, freeing, comparing, and the two kinds of
// type our live sources offer (uncompressed video and PCM sound).
#pragma once
#include <windows.h>
#include <dshow.h>

namespace ds {

// Deep copy; the format block is allocated with CoTaskMemAlloc.
HRESULT CopyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);
// Frees the format block and the IUnknown the type may hold.
void FreeMediaType(AM_MEDIA_TYPE* mt);
// Copy into a block of its own (as IEnumMediaTypes and GetFormat hand out).
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* src);
void DeleteMediaType(AM_MEDIA_TYPE* mt);

// Same major type, subtype, format type and format bytes.
bool EqualMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);
// Whether a partly specified type (GUID_NULL fields match anything) admits mt.
bool MatchesPartial(const AM_MEDIA_TYPE* partial, const AM_MEDIA_TYPE& mt);

// An AM_MEDIA_TYPE that frees itself.
class MediaType : public AM_MEDIA_TYPE {
public:
    MediaType();
    MediaType(const MediaType& o);
    explicit MediaType(const AM_MEDIA_TYPE& o);
    ~MediaType();
    MediaType& operator=(const MediaType& o);
    MediaType& operator=(const AM_MEDIA_TYPE& o);
    void Clear();
    // Allocates a zeroed format block of the given size and type.
    BYTE* AllocFormat(REFGUID type, ULONG size);
    VIDEOINFOHEADER* Video() const;
    WAVEFORMATEX* Wave() const;
};

// Uncompressed packed video with a VIDEOINFOHEADER (fourcc e.g. YUY2).
MediaType MakeVideoType(REFGUID subtype, DWORD fourcc, WORD bitCount, LONG width, LONG height,
                        REFERENCE_TIME frameTime);
MediaType MakePcmType(DWORD sampleRate, WORD bits, WORD channels);

}  // namespace ds
