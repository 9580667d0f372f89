// The video capture device's pins: the analog input fed by the crossbar and
// the live YUY2 outputs (capture and preview).
#pragma once
#include "PictureGenerator.h"
#include "PushPin.h"
#include "StreamConfig.h"

namespace card {

class AnalogVideoInPin : public ds::InputPin {
public:
    explicit AnalogVideoInPin(ds::Filter* filter);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;
};

class VideoOutPin : public ds::PushPin {
public:
    VideoOutPin(ds::Filter* filter, const wchar_t* name, REFGUID category);

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override;
    HRESULT QueryExtra(REFIID iid, void** out) override;

    // Sizes and frame times the card delivers.
    static const SIZE kSizes[4];
    static const REFERENCE_TIME kFrameTimes[2];

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override;
    HRESULT FillSample(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME* duration) override;

private:
    ds::StreamConfig config_;
    PictureGenerator picture_;
};

// What the decoder sees now, from the card state.
PictureSource CurrentPicture();

}  // namespace card
