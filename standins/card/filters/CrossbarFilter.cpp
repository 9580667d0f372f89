#include "CrossbarFilter.h"
#include "CardFilterIds.h"
#include "CardState.h"
#include <new>

namespace card {

namespace {

struct PinInfo {
    const wchar_t* name;
    LONG type;
    LONG related;
};

const PinInfo kInputPins[CrossbarFilter::kInputs] = {
    {L"0: Video Tuner", PhysConn_Video_Tuner, 3},
    {L"1: Video Composite", PhysConn_Video_Composite, 4},
    {L"2: Video SVideo", PhysConn_Video_SVideo, 4},
    {L"3: Audio Tuner", PhysConn_Audio_Tuner, 0},
    {L"4: Audio Line", PhysConn_Audio_Line, 1},
};

const PinInfo kOutputPins[CrossbarFilter::kOutputs] = {
    {L"0: Video Decoder", PhysConn_Video_VideoDecoder, 1},
    {L"1: Audio Decoder", PhysConn_Audio_AudioDecoder, 0},
};

bool IsVideo(LONG type) { return type < PhysConn_Audio_Tuner; }

HRESULT CheckAnalogType(const AM_MEDIA_TYPE* mt, bool video) {
    return IsEqualGUID(mt->majortype, video ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio) ? S_OK : S_FALSE;
}

// Crossbar pins stand for the card's sockets and the cables on the board:
// they agree analog types and pass no samples.
class SocketPin : public ds::InputPin {
public:
    SocketPin(ds::Filter* f, const PinInfo& info) : InputPin(f, info.name), video_(IsVideo(info.type)) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override { return CheckAnalogType(mt, video_); }
private:
    bool video_;
};

class CablePin : public ds::OutputPin {
public:
    CablePin(ds::Filter* f, const PinInfo& info) : OutputPin(f, info.name), video_(IsVideo(info.type)) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override { return CheckAnalogType(mt, video_); }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (index != 0) return VFW_S_NO_MORE_ITEMS;
        ds::MediaType t;
        t.majortype = video_ ? MEDIATYPE_AnalogVideo : MEDIATYPE_AnalogAudio;
        t.subtype = video_ ? MEDIASUBTYPE_AnalogVideo_PAL_D : GUID_NULL;
        t.formattype = FORMAT_None;
        return ds::CopyMediaType(mt, &t);
    }
protected:
    bool CarriesSamples() const override { return false; }
private:
    bool video_;
};

}  // namespace

CrossbarFilter::CrossbarFilter() : Filter(CLSID_CardCrossbar) {
    for (const PinInfo& p : kInputPins) AddPin(new SocketPin(this, p));
    for (const PinInfo& p : kOutputPins) AddPin(new CablePin(this, p));
}

ds::OutputPin* CrossbarFilter::VideoDecoderOut() const {
    return static_cast<ds::OutputPin*>(PinAt(kInputs + kOutVideoDecoder));
}

HRESULT CrossbarFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IAMCrossbar)) return ds::HandOut<IAMCrossbar>(this, out);
    return Filter::QueryExtra(iid, out);
}

HRESULT CrossbarFilter::get_PinCounts(LONG* outputs, LONG* inputs) {
    if (!outputs || !inputs) return E_POINTER;
    *outputs = kOutputs;
    *inputs = kInputs;
    return S_OK;
}

HRESULT CrossbarFilter::CanRoute(LONG output, LONG input) {
    if (output < 0 || output >= kOutputs) return E_INVALIDARG;
    // -1 mutes the sound; the picture always has a source.
    if (input == -1) return output == kOutAudioDecoder ? S_OK : S_FALSE;
    if (input < 0 || input >= kInputs) return E_INVALIDARG;
    return IsVideo(kInputPins[input].type) == IsVideo(kOutputPins[output].type) ? S_OK : S_FALSE;
}

HRESULT CrossbarFilter::Route(LONG output, LONG input) {
    HRESULT hr = CanRoute(output, input);
    if (hr != S_OK) return FAILED(hr) ? hr : E_INVALIDARG;
    if (output == kOutVideoDecoder)
        CardSetVideoInput(input);  // inputs 0..2 are the card's video inputs in order
    else
        CardSetAudioInput(input == -1 ? static_cast<int>(CARD_AUDIO_NONE) : input - 3);
    return S_OK;
}

HRESULT CrossbarFilter::get_IsRoutedTo(LONG output, LONG* input) {
    if (!input) return E_POINTER;
    if (output < 0 || output >= kOutputs) return E_INVALIDARG;
    if (output == kOutVideoDecoder) {
        *input = CardVideoInput();
    } else {
        int audio = CardAudioInput();
        *input = audio == CARD_AUDIO_NONE ? -1L : static_cast<LONG>(audio + 3);
    }
    return S_OK;
}

HRESULT CrossbarFilter::get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* related, LONG* type) {
    if (!related || !type) return E_POINTER;
    const PinInfo* table = isInput ? kInputPins : kOutputPins;
    LONG count = isInput ? kInputs : kOutputs;
    if (index < 0 || index >= count) return E_INVALIDARG;
    *related = table[index].related;
    *type = table[index].type;
    return S_OK;
}

}  // namespace card
