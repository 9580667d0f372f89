#include "AudioPrep.h"
#include <math.h>

namespace rec {

void WidenPcm(const uint8_t* data, size_t bytes, int bits, std::vector<int16_t>* out) {
    if (bits == 8) {
        size_t at = out->size();
        out->resize(at + bytes);
        for (size_t i = 0; i < bytes; i++) (*out)[at + i] = static_cast<int16_t>((data[i] - 128) << 8);
    } else {
        size_t n = bytes / 2, at = out->size();
        out->resize(at + n);
        for (size_t i = 0; i < n; i++)
            (*out)[at + i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
}

void Resampler::Configure(int inRate, int outRate, int channels) {
    channels_ = channels;
    step_ = static_cast<double>(inRate) / outRate;
    same_ = inRate == outRate;
    pos_ = 0;
    primed_ = false;
}

void Resampler::Process(const int16_t* in, int frames, std::vector<int16_t>* out) {
    if (frames <= 0) return;
    if (same_) {
        out->insert(out->end(), in, in + static_cast<size_t>(frames) * channels_);
        return;
    }
    if (!primed_) {
        // The first sample stands before the buffer, so output starts on it.
        for (int c = 0; c < channels_; c++) prev_[c] = in[c];
        primed_ = true;
    }
    // Input index -1 is prev_, 0..frames-1 the buffer; pos_ counts from -1.
    while (pos_ < frames) {
        int i = static_cast<int>(floor(pos_));
        double f = pos_ - i;
        for (int c = 0; c < channels_; c++) {
            double a = i == 0 ? prev_[c] : in[(i - 1) * channels_ + c];
            double b = in[i * channels_ + c];
            out->push_back(static_cast<int16_t>(lrint(a + (b - a) * f)));
        }
        pos_ += step_;
    }
    pos_ -= frames;
    for (int c = 0; c < channels_; c++) prev_[c] = in[(frames - 1) * channels_ + c];
}

}  // namespace rec
