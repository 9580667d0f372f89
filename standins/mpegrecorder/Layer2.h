// MPEG-1 Layer II audio: the 32-band polyphase analysis, scale factors per
// third of a frame, a simple psychoacoustic bit allocation and the frame
// syntax. 44.1 or 48 kHz, mono or stereo, any of the layer's bit rates.
#pragma once
#include <stdint.h>
#include <vector>

namespace rec {

class Layer2Encoder {
public:
    // false for a rate or bit rate the layer does not have.
    bool Configure(int sampleRate, int channels, int bitRate);
    // Takes interleaved 16-bit samples; whole frames are appended to out,
    // each as one entry of the frame list (its byte count).
    void Feed(const int16_t* samples, int frames, std::vector<uint8_t>* out, std::vector<int>* sizes);
    // Pads the last partial frame with silence.
    void Flush(std::vector<uint8_t>* out, std::vector<int>* sizes);
    int SampleRate() const { return rate_; }
    int Channels() const { return channels_; }
    static const int kFrameSamples = 1152;
    // Frames encoded so far.
    int64_t FramesDone() const { return frames_; }

private:
    void EncodeFrame(std::vector<uint8_t>* out);
    void Analyse(int ch, const float* in, float sb[36][32]);

    int rate_ = 44100, channels_ = 2, bitRate_ = 224000, bitrateIndex_ = 11;
    int sblimit_ = 30, table_ = 1;
    // Whole slots a frame, and the rest of 144 x bit rate / rate carried
    // from frame to frame in the rate's units until it makes a slot.
    int slotsPerFrame_ = 0, slotRest_ = 0, slotCarry_ = 0;
    int64_t frames_ = 0;
    std::vector<float> pending_[2];  // samples not yet in a frame
    float fifo_[2][512];
    float sb_[2][36][32];  // the frame's subband samples
    int fifoPos_[2] = {0, 0};
};

}  // namespace rec
