// The card's audio capture device: input lines with their mixer controls and
// one PCM output (44.1 kHz, 16-bit, stereo). The tuner line carries a tone
// of its own for each station and silence when the tuner finds none. While
// in a graph it reports the card going away and coming back (EC_DEVICE_LOST
// with 0, then 1), as a removable device's driver does.
#pragma once
#include "Filter.h"
#include "Pin.h"

namespace card {

class AudioCaptureFilter : public ds::Filter {
public:
    AudioCaptureFilter();
    ~AudioCaptureFilter() override;

    enum Line { kLineIn = 0, kLineTuner = 1, kLineCd = 2, kLines = 3 };
    // What one line carries now: the tone's pitch in Hz, 0 for silence.
    static int LineTone(int line);

private:
    bool IsLive() const override { return true; }
    HRESULT OnJoinGraph() override;
    void OnLeaveGraph() override;
    void StopWatching();
    static DWORD WINAPI WatchMain(void* self);

    HANDLE watcher_;
    bool present_;
    HANDLE quit_;
};

}  // namespace card
