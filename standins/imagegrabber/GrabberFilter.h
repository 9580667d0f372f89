// Stand-in for the maker's image grabber: a YUY2 pass-through filter that
// keeps a copy of the newest frame and hands it out through the grabber's
// interface.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include "RecorderInterfaces.h"
#include <vector>

namespace grabber {

extern const wchar_t kFilterName[];

class GrabberFilter : public ds::Filter, public IKestorImageGrabber {
public:
    GrabberFilter();
    ~GrabberFilter() override;

    DS_IUNKNOWN_OF(Filter)
    // IKestorImageGrabber
    STDMETHODIMP GetFrameSize(int* width, int* height, int* third) override;
    STDMETHODIMP GetBufferSize(long* bytes) override;
    STDMETHODIMP GetBitmapHeader(BITMAPINFOHEADER* header) override;
    STDMETHODIMP Unused06() override;
    STDMETHODIMP Unused07() override;
    STDMETHODIMP GetCurrentFrame(BYTE* buffer, int flag) override;

    IPin* Input() const;
    IPin* Output() const;

private:
    class InPin;
    class OutPin;
    friend class InPin;
    friend class OutPin;
    HRESULT QueryExtra(REFIID iid, void** out) override;
    HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
    // Size of the connected input; false when it is not connected.
    bool ConnectedSize(LONG* width, LONG* height);
    void KeepFrame(const BYTE* data, long size);
    void ForgetFrame();

    InPin* in_;
    OutPin* out_;
    ds::CritSec frameLock_;
    std::vector<BYTE> frame_;
    bool hasFrame_;
    long lastBufferSize_;  // slot 4's last answer
};

// Test hooks, exported by the DLL.
// A slot (3 to 8) fails with hr: once, or on every call until cleared (hr S_OK).
void FailSlot(int slot, HRESULT hr, bool always);
// Whether the grabber's interface is refused by QueryInterface.
void RefuseInterface(bool refuse);
void ResetHooks();

}  // namespace grabber
