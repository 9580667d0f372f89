// A non-live source for recording tests and the benchmark: a known picture
// (colour bars, ramps, fine detail; or noise, as off-station) as YUY2 and a
// tone of 1 kHz left and 2 kHz right as PCM, time stamped on their own
// clocks and delivered as fast as the graph takes them, then end of stream.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include <stdint.h>
#include <vector>

namespace rec {

struct ClipParams {
    int width = 720, height = 576;
    int64_t frameTime = 400000;
    int frames = 150;
    bool noise = false;
    bool audio = true;
    int audioRate = 44100, channels = 2, bits = 16;
};

// The clip's picture number n (YUY2, top-down, width * 2 bytes a row).
void DrawClipPicture(const ClipParams& p, int n, uint8_t* yuy2);
// The clip's sound from sample 'first' on (interleaved PCM).
void MakeClipSound(const ClipParams& p, int64_t first, int frames, uint8_t* pcm);

class ClipSource : public ds::Filter {
public:
    explicit ClipSource(const ClipParams& params);
    ~ClipSource() override;
    IPin* Output(int index) const;

private:
    class OutPin;
    HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
    static DWORD WINAPI ThreadMain(void* self);
    void Deliver();
    void Join();

    ClipParams p_;
    OutPin* video_;
    OutPin* audio_;
    HANDLE thread_ = NULL;
    volatile LONG quit_ = 0;
};

}  // namespace rec
