// A filter that takes YUY2 frames (VIDEOINFOHEADER, even width, top-down
// rows of width x 2 bytes) and gives out frames of the very same type: the
// maker's picture filters between the capture device and the renderer.
#pragma once
#include "TransformFilter.h"

namespace ds {

class Yuy2Filter : public TransformFilter {
public:
    explicit Yuy2Filter(REFCLSID clsid) : TransformFilter(clsid) {}

protected:
    // One frame: `in` and `out` hold width x rows x 2 bytes each.
    virtual void ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) = 0;

    HRESULT CheckInputType(const AM_MEDIA_TYPE* mt) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) override;
    HRESULT GetOutputType(int index, const AM_MEDIA_TYPE* in, AM_MEDIA_TYPE* out) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
};

// One YUY2 input and one YUY2 output, as the filter mapper lists them.
extern const REGFILTERPINS2 kYuy2FilterPins[2];

// Whether this is a YUY2 type the picture filters take.
bool IsYuy2FrameType(const AM_MEDIA_TYPE* mt);

}  // namespace ds
