// Baseline JPEG pictures for Motion-JPEG AVI: 4:2:2, the standard's example
// Huffman tables written into every frame (a DHT per picture, as the format
// carries no default tables), and quantiser tables scaled per picture by
// the rate control.
#pragma once
#include "Picture.h"
#include "RateControl.h"
#include <stdint.h>
#include <vector>

namespace rec {

class JpegEncoder {
public:
    void Configure(int width, int height, int bitRate, double framesPerSecond);
    void Encode(const Picture& pic, std::vector<uint8_t>* out);
    int LastScale() const { return lastScale_; }

private:
    struct Huff {
        uint16_t code[256];
        uint8_t len[256];
    };
    void BuildTables(int scale);

    int width_ = 0, height_ = 0, lastScale_ = 0, builtScale_ = -1;
    RateControl rc_;
    uint8_t qt_[2][64];     // zig-zag order, as the DQT carries them
    float mult_[2][64];     // raster order: descale / step
    Huff dc_[2], ac_[2];
};

}  // namespace rec
