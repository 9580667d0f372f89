// The card's audio capture device: input lines with their mixer controls and
// one PCM output (44.1 kHz, 16-bit, stereo). The tuner line carries a tone
// of its own for each station and silence when the tuner finds none.
#pragma once
#include "Filter.h"
#include "Pin.h"

namespace card {

class AudioCaptureFilter : public ds::Filter {
public:
    AudioCaptureFilter();

    enum Line { kLineIn = 0, kLineTuner = 1, kLineCd = 2, kLines = 3 };
    // What one line carries now: the tone's pitch in Hz, 0 for silence.
    static int LineTone(int line);

private:
    bool IsLive() const override { return true; }
};

}  // namespace card
