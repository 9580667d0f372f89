// IAMStreamConfig for an output pin: the capabilities it lists and the format
// chosen by SetFormat, which the pin then offers first when it connects.
// Lives inside the pin and shares its reference count.
#pragma once
#include "MediaType.h"
#include <dshow.h>
#include <vector>

namespace ds {

class Pin;

class StreamConfig : public IAMStreamConfig {
public:
    explicit StreamConfig(Pin* pin);

    // One capability: the type it stands for and its caps structure
    // (VIDEO_STREAM_CONFIG_CAPS or AUDIO_STREAM_CONFIG_CAPS).
    void AddCaps(const AM_MEDIA_TYPE& mt, const void* caps, int capsSize);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** mt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;

    // The types the pin offers, in order: the chosen format alone once one
    // was set, else every capability. For Pin::GetMediaType.
    HRESULT OfferedType(int index, AM_MEDIA_TYPE* mt) const;
    // The format now in force: connected, chosen, or the first capability.
    MediaType Current() const;

private:
    struct Entry {
        MediaType mt;
        std::vector<BYTE> caps;
    };
    Pin* pin_;
    std::vector<Entry> entries_;
    MediaType chosen_;
    bool hasChosen_;
};

}  // namespace ds
