#include "AudioPrep.h"

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
    inRate_ = inRate;
    outRate_ = outRate;
    same_ = inRate == outRate || inRate <= 0 || outRate <= 0;
    pos_ = 0;
    primed_ = false;
}

namespace {

// num / den (den > 0) to the nearest whole number, halves to the even one.
int64_t RoundedQuotient(int64_t num, int64_t den) {
    int64_t q = num / den, r = num % den;
    if (r < 0) {
        q--;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1))) q++;
    return q;
}

}  // namespace

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
    // Input index -1 is prev_, 0..frames-1 the buffer; pos_ counts from -1,
    // in 1/outRate steps of an input sample. A double step (0.91875 from
    // 44.1 to 48 kHz) is not exact: where an output falls just on a buffer's
    // end, its sum could come a hair short and make that output with this
    // buffer instead of the next, so that the count of a buffer's outputs
    // depended on the rounding of the build's arithmetic.
    const int64_t end = static_cast<int64_t>(frames) * outRate_;
    while (pos_ < end) {
        const int i = static_cast<int>(pos_ / outRate_);
        const int64_t part = pos_ % outRate_;
        for (int c = 0; c < channels_; c++) {
            const int64_t a = i == 0 ? prev_[c] : in[(i - 1) * channels_ + c];
            const int64_t b = in[i * channels_ + c];
            out->push_back(static_cast<int16_t>(RoundedQuotient(a * outRate_ + (b - a) * part, outRate_)));
        }
        pos_ += inRate_;
    }
    pos_ -= end;
    for (int c = 0; c < channels_; c++) prev_[c] = in[(frames - 1) * channels_ + c];
}

}  // namespace rec
