// Captured PCM as the audio coder takes it: 8-bit samples widened to 16,
// and the rate changed by linear interpolation when the capture's differs
// from the stream's (44.1 or 48 kHz).
#pragma once
#include <stdint.h>
#include <stddef.h>
#include <vector>

namespace rec {

// Appends the samples of a PCM buffer (8 or 16 bits, interleaved) as 16-bit.
void WidenPcm(const uint8_t* data, size_t bytes, int bits, std::vector<int16_t>* out);

class Resampler {
public:
    void Configure(int inRate, int outRate, int channels);
    // Interleaved frames in, interleaved frames out (appended).
    void Process(const int16_t* in, int frames, std::vector<int16_t>* out);

private:
    int channels_ = 2, inRate_ = 1, outRate_ = 1;
    int64_t pos_ = 0;  // in 1/outRate_ of an input sample
    bool primed_ = false, same_ = true;
    int16_t prev_[2] = {0, 0};
};

}  // namespace rec
