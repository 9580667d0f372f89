// Pictures as the encoders take them: planar Y, Cb, Cr, converted from the
// capture pin's packed YUY2 and scaled to the preset's size (area average
// when shrinking, bilinear when enlarging). Planes are allocated to whole
// macroblocks with the edge pixels repeated, so the block coders never look
// outside them.
#pragma once
#include <stdint.h>
#include <vector>

namespace rec {

struct Plane {
    int width = 0, height = 0;   // the visible part
    int stride = 0, rows = 0;    // allocated: whole blocks
    std::vector<uint8_t> pix;
    void Allocate(int w, int h, int allocW, int allocH);
    uint8_t* Row(int y) { return pix.data() + static_cast<size_t>(y) * stride; }
    const uint8_t* Row(int y) const { return pix.data() + static_cast<size_t>(y) * stride; }
    // Repeats the last column and row into the allocated margin.
    void PadEdges();
};

enum ChromaFormat { kChroma420, kChroma422 };

struct Picture {
    Plane y, cb, cr;
};

// Separable resampling weights for one axis, 14-bit fixed point.
class ResampleAxis {
public:
    void Configure(int src, int dst);
    bool Identity() const { return src_ == dst_; }
    int Taps() const { return taps_; }
    const int* First() const { return first_.data(); }
    const int* Weights() const { return weights_.data(); }

private:
    int src_ = 0, dst_ = 0, taps_ = 0;
    std::vector<int> first_;    // first source index per output
    std::vector<int> weights_;  // taps_ per output
};

// Resamples an 8-bit plane (src w x h, any stride) into dst's visible part.
void ResamplePlane(const uint8_t* src, int srcStride, int srcW, int srcH, const ResampleAxis& hor,
                   const ResampleAxis& ver, Plane* dst, std::vector<uint8_t>* scratch);

class PictureConverter {
public:
    // align: the block size the planes are allocated in (16 for MPEG
    // macroblocks, 16x8 for JPEG's 4:2:2 units: pass 16 and 8).
    void Configure(int srcW, int srcH, int dstW, int dstH, ChromaFormat format, int alignW,
                   int alignH);
    // YUY2 rows top-down, srcStride bytes apart.
    void Convert(const uint8_t* yuy2, int srcStride, Picture* out);
    int SrcWidth() const { return srcW_; }
    int SrcHeight() const { return srcH_; }

private:
    int srcW_ = 0, srcH_ = 0, dstW_ = 0, dstH_ = 0;
    ChromaFormat format_ = kChroma420;
    int alignW_ = 16, alignH_ = 16;
    ResampleAxis yh_, yv_, ch_, cv_;
    std::vector<uint8_t> srcY_, srcU_, srcV_, scratch_;
};

}  // namespace rec
