// Stand-in for the platform's Overlay Mixer, which Wine lacks: YUY2 in, RGB
// out for the Video Renderer, which takes RGB only. The output offers RGB32,
// then RGB24, then RGB565, bottom-up, so that a renderer refusing one gets
// the next. Its input pin answers IMixerPinConfig. The card's log gets its
// calls and its failure table can refuse them ("Mixer.Create",
// "Mixer.Connect" for output connections, "Mixer.AspectRatio").
#pragma once
#include "MixerInterfaces.h"
#include "TransformFilter.h"
#include "YuvConvert.h"

namespace mixer {

extern const wchar_t kFilterName[];

// The output type of that format for a YUY2 input of width x |height|.
ds::MediaType RgbType(yuv::RgbFormat format, LONG width, LONG height, REFERENCE_TIME frameTime);
// Which RGB format a type is; false for none of the three (or top-down).
bool RgbFormatOf(const AM_MEDIA_TYPE* mt, yuv::RgbFormat* format);

class MixerFilter : public ds::TransformFilter {
public:
    MixerFilter();
    ~MixerFilter() override;

    AM_ASPECT_RATIO_MODE AspectRatioMode();

protected:
    HRESULT CheckInputType(const AM_MEDIA_TYPE* mt) override;
    HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) override;
    HRESULT GetOutputType(int index, const AM_MEDIA_TYPE* in, AM_MEDIA_TYPE* out) override;
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override;
    HRESULT AdmitOutputConnection() override;
    HRESULT QueryInputExtra(REFIID iid, void** out) override;

private:
    class PinConfig;
    PinConfig* config_;
    yuv::Rgb32RowFn row_;
};

}  // namespace mixer
