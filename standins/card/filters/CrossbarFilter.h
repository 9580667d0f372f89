// The card's crossbar: picks which input (tuner, composite or S-Video, and
// the tuner's or the line's sound) reaches the decoder. The routing is the
// card's, kept in the shared card state, so a crossbar object that has left
// its graph, or one in another process, still switches the same card.
#pragma once
#include "Filter.h"
#include "Pin.h"

namespace card {

class CrossbarFilter : public ds::Filter, public IAMCrossbar {
public:
    enum { kInputs = 5, kOutputs = 2 };
    enum { kOutVideoDecoder = 0, kOutAudioDecoder = 1 };

    CrossbarFilter();

    DS_IUNKNOWN_OF(Filter)

    // IAMCrossbar
    STDMETHODIMP get_PinCounts(LONG* outputs, LONG* inputs) override;
    STDMETHODIMP CanRoute(LONG output, LONG input) override;
    STDMETHODIMP Route(LONG output, LONG input) override;
    STDMETHODIMP get_IsRoutedTo(LONG output, LONG* input) override;
    STDMETHODIMP get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* related, LONG* type) override;

    // The output that stands for the cable to the video decoder.
    ds::OutputPin* VideoDecoderOut() const;

private:
    HRESULT QueryExtra(REFIID iid, void** out) override;
};

}  // namespace card
