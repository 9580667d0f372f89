// Output pin of a live source: a thread of its own fills samples and delivers
// them, paced by the stream time, while the filter runs. Paused, a live source
// delivers nothing.
#pragma once
#include "Pin.h"

namespace ds {

class PushPin : public OutputPin {
public:
    PushPin(Filter* filter, const wchar_t* name, const wchar_t* id = NULL);
    ~PushPin() override;

    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT Run(REFERENCE_TIME start) override;

    // Samples delivered since the pin last became active.
    LONG Delivered() const { return delivered_; }

protected:
    // Fills one sample that starts at stream time 'start' and says how long
    // it lasts (100 ns units). Runs on the push thread; must not take the
    // filter's lock.
    virtual HRESULT FillSample(IMediaSample* sample, REFERENCE_TIME start,
                               REFERENCE_TIME* duration) = 0;

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Loop();
    // Waits for a wake-up or the time, whichever comes first.
    void Sleep(DWORD ms);

    HANDLE thread_;
    HANDLE wake_;
    volatile LONG quit_;
    volatile LONG delivered_;
};

}  // namespace ds
