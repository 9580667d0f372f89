// Base of our one-in, one-out video filters: an input pin that takes what
// CheckInputType admits, an output pin whose types follow from the input's,
// writing into the downstream pin's allocator when it offers one (a
// renderer's own buffers are drawn from without a copy) and into a small one
// of its own otherwise, and one call per sample that turns the input sample
// into a fresh output sample. A sample that comes with a type of its own
// switches the output to that type when CheckTransform admits it. Time stamps, media times, sync
// point, discontinuity and preroll go with each sample; flushes, new segments
// and the end of the stream are passed on.
#pragma once
#include "Filter.h"
#include "Pin.h"

namespace ds {

class TransformFilter : public Filter {
public:
    explicit TransformFilter(REFCLSID clsid);

    IPin* Input() const;
    IPin* Output() const;
    // The agreed types (empty while that side is not connected).
    MediaType InputType();
    MediaType OutputType();

protected:
    // S_OK when the input can take this type.
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* mt) = 0;
    // S_OK when the output can carry `out` while the input carries `in`.
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) = 0;
    // The output's types in order of preference for this input type;
    // VFW_S_NO_MORE_ITEMS past the last.
    virtual HRESULT GetOutputType(int index, const AM_MEDIA_TYPE* in, AM_MEDIA_TYPE* out) = 0;
    // Makes the output sample's data from the input sample's (both pointers
    // valid, out of the output type's sample size); sets the output length.
    // S_FALSE drops the sample without an error.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out) = 0;
    // The output pin's connection is about to be made: a refusal (an error)
    // leaves it unmade.
    virtual HRESULT AdmitOutputConnection() { return S_OK; }
    // Interfaces the input pin answers beyond its own (their IUnknown must be
    // the pin's).
    virtual HRESULT QueryInputExtra(REFIID iid, void** out) { return E_NOINTERFACE; }
    // Streaming starts (stopped -> paused) and ends (-> stopped).
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual void StopStreaming() {}

    HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;

private:
    class InPin;
    class OutPin;
    friend class InPin;
    friend class OutPin;
    HRESULT Receive(IMediaSample* sample);

    InPin* in_;
    OutPin* out_;
};

// Same subtype and format type, and for video a VIDEOINFOHEADER block.
bool IsVideoInfoType(const AM_MEDIA_TYPE* mt, REFGUID subtype);
// The video header of a type IsVideoInfoType admitted.
inline const VIDEOINFOHEADER* VideoHeader(const AM_MEDIA_TYPE* mt) {
    return reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
}

}  // namespace ds
