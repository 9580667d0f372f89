// Intra MPEG-1 and MPEG-2 (main profile at main level) video: every coded
// picture an I-picture (a repeated or dropped frame is a P-picture that
// skips every macroblock), closed GOPs of at most 15 pictures each led by the
// sequence header and a time code, one slice per macroblock row, 4:2:0.
#pragma once
#include "BitWriter.h"
#include "Picture.h"
#include "RateControl.h"
#include <stdint.h>
#include <vector>

namespace rec {

struct MpegVideoParams {
    bool mpeg2 = false;
    int width = 720, height = 576;
    int frameRateCode = 3;
    int bitRate = 6000000;
};

// Frames per second of an MPEG frame-rate code (1-8).
double FrameRateOfCode(int code);

class MpegVideoEncoder {
public:
    void Configure(const MpegVideoParams& params);
    // The next picture in coded order; the bytes are appended to out.
    void Encode(const Picture& pic, std::vector<uint8_t>* out);
    // The last picture again as the next one (a repeated frame).
    void Repeat(std::vector<uint8_t>* out);
    void End(std::vector<uint8_t>* out);
    int Pictures() const { return count_; }
    double LastMeanQuant() const { return lastQ_; }

private:
    void Headers(BitWriter* bw, bool predicted);
    void Skipped(std::vector<uint8_t>* out);
    void EncodeSlices(const Picture& pic);
    void EncodeBlock(BitWriter* bw, const uint8_t* src, int stride, int comp, int q, int cutoff);

    MpegVideoParams p_;
    int mbw_ = 0, mbh_ = 0;
    int count_ = 0;
    double lastQ_ = 0;
    int dcPred_[3] = {128, 128, 128};
    RateControl rc_;
    float mult_[32][64];  // DCT descale / (quantiser step), per quantiser code
    BitWriter slices_;
    std::vector<uint8_t> last_;  // slice data of the last picture
};

}  // namespace rec
