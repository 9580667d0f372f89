// The audio capture device's pins: the input lines, each with its mixer
// controls, and the PCM output.
#pragma once
#include "PushPin.h"
#include "StreamConfig.h"
#include <vector>

namespace card {

class AudioLinePin : public ds::InputPin, public IAMAudioInputMixer {
public:
    AudioLinePin(ds::Filter* filter, const wchar_t* name, const wchar_t* id, bool enabled);

    DS_IUNKNOWN_OF(InputPin)
    HRESULT QueryExtra(REFIID iid, void** out) override;
    // Lines are the card's sockets: nothing is plugged into them in a graph.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;

    // IAMAudioInputMixer
    STDMETHODIMP put_Enable(BOOL enable) override;
    STDMETHODIMP get_Enable(BOOL* enable) override;
    STDMETHODIMP put_Mono(BOOL mono) override;
    STDMETHODIMP get_Mono(BOOL* mono) override;
    STDMETHODIMP put_MixLevel(double level) override;
    STDMETHODIMP get_MixLevel(double* level) override;
    STDMETHODIMP put_Pan(double pan) override;
    STDMETHODIMP get_Pan(double* pan) override;
    STDMETHODIMP put_Loudness(BOOL on) override;
    STDMETHODIMP get_Loudness(BOOL* on) override;
    STDMETHODIMP put_Treble(double treble) override;
    STDMETHODIMP get_Treble(double* treble) override;
    STDMETHODIMP get_TrebleRange(double* range) override;
    STDMETHODIMP put_Bass(double bass) override;
    STDMETHODIMP get_Bass(double* bass) override;
    STDMETHODIMP get_BassRange(double* range) override;

    // The gain the line adds to the output now (0 when disabled).
    double Gain();

private:
    ds::CritSec lock_;
    BOOL enabled_;
    BOOL mono_;
    double level_;  // AMF_AUTOMATICGAIN or 0..1
    double pan_;
};

class AudioOutPin : public ds::PushPin, public IAMBufferNegotiation {
public:
    AudioOutPin(ds::Filter* filter, const std::vector<AudioLinePin*>& lines);

    DS_IUNKNOWN_OF(PushPin)
    HRESULT QueryExtra(REFIID iid, void** out) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override;

    // IAMBufferNegotiation
    STDMETHODIMP SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) override;

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override;
    HRESULT FillSample(IMediaSample* sample, REFERENCE_TIME start, REFERENCE_TIME* duration) override;

private:
    ds::StreamConfig config_;
    std::vector<AudioLinePin*> lines_;
    ALLOCATOR_PROPERTIES suggested_;
    double phase_[3];
};

}  // namespace card
