#include "Jpeg.h"
#include "BitWriter.h"
#include "Dct.h"
#include <string.h>
#include <algorithm>

namespace rec {

namespace {

// The standard's example quantiser tables (raster order), luminance and
// chrominance.
const uint8_t kLumaQ[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                            14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                            18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                            49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const uint8_t kChromaQ[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                              24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Code counts per length (1..16) and the symbols in code order.
const uint8_t kDcBits[2][16] = {{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                                {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}};
const uint8_t kAcBits[2][16] = {{0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
                                {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77}};
// The leading symbols of the AC lists; the rest follow in ascending order.
const uint8_t kAcHead[2][52] = {
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13,
     0x51, 0x61, 0x07, 0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42,
     0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0a,
     0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51,
     0x07, 0x61, 0x71, 0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1,
     0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16, 0x24,
     0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a}};

struct HuffmanSymbols {
    uint8_t dcVals[12];
    uint8_t acVals[2][162];
    HuffmanSymbols() {
        for (int i = 0; i < 12; i++) dcVals[i] = static_cast<uint8_t>(i);
        for (int t = 0; t < 2; t++) {
            bool used[256] = {};
            int n = 0;
            for (uint8_t v : kAcHead[t]) {
                if (used[v]) continue;
                acVals[t][n++] = v;
                used[v] = true;
            }
            for (int run = 0; run < 16; run++)
                for (int size = 1; size <= 10; size++) {
                    int v = (run << 4) | size;
                    if (!used[v]) acVals[t][n++] = static_cast<uint8_t>(v);
                }
        }
    }
};
const HuffmanSymbols& S() {
    static const HuffmanSymbols s;
    return s;
}

inline int RoundToInt(float v) { return static_cast<int>(v < 0 ? v - 0.5f : v + 0.5f); }

void Put16(std::vector<uint8_t>* p, int v) {
    p->push_back(static_cast<uint8_t>(v >> 8));
    p->push_back(static_cast<uint8_t>(v));
}

}  // namespace

void JpegEncoder::Configure(int width, int height, int bitRate, double fps) {
    width_ = width;
    height_ = height;
    // The scale is a percentage of the example tables (50 = as printed).
    rc_.Configure(bitRate / fps, 1, 800, 25);
    builtScale_ = -1;
    const HuffmanSymbols& s = S();
    for (int t = 0; t < 2; t++) {
        // Canonical codes from the counts.
        auto build = [](const uint8_t* bits, const uint8_t* vals, Huff* h) {
            memset(h, 0, sizeof(*h));
            int code = 0, k = 0;
            for (int len = 1; len <= 16; len++) {
                for (int i = 0; i < bits[len - 1]; i++, k++) {
                    h->code[vals[k]] = static_cast<uint16_t>(code++);
                    h->len[vals[k]] = static_cast<uint8_t>(len);
                }
                code <<= 1;
            }
        };
        build(kDcBits[t], s.dcVals, &dc_[t]);
        build(kAcBits[t], s.acVals[t], &ac_[t]);
    }
}

void JpegEncoder::BuildTables(int scale) {
    if (scale == builtScale_) return;
    builtScale_ = scale;
    const float* descale = DctDescale();
    for (int t = 0; t < 2; t++) {
        const uint8_t* base = t ? kChromaQ : kLumaQ;
        for (int i = 0; i < 64; i++) {
            int k = kZigzag[i];
            int q = (base[k] * scale + 25) / 50;
            q = std::min(std::max(q, 1), 255);
            qt_[t][i] = static_cast<uint8_t>(q);
            mult_[t][k] = descale[k] / q;
        }
    }
}

void JpegEncoder::Encode(const Picture& pic, std::vector<uint8_t>* out) {
    int scale = rc_.PictureQuant();
    BuildTables(scale);
    lastScale_ = scale;
    const size_t begin = out->size();
    std::vector<uint8_t>& o = *out;
    o.push_back(0xFF);
    o.push_back(0xD8);
    // DQT: both tables.
    o.push_back(0xFF);
    o.push_back(0xDB);
    Put16(&o, 2 + 2 * 65);
    for (int t = 0; t < 2; t++) {
        o.push_back(static_cast<uint8_t>(t));
        o.insert(o.end(), qt_[t], qt_[t] + 64);
    }
    // SOF0: 8 bits, three components, luma sampled 2x1.
    o.push_back(0xFF);
    o.push_back(0xC0);
    Put16(&o, 17);
    o.push_back(8);
    Put16(&o, height_);
    Put16(&o, width_);
    o.push_back(3);
    const uint8_t comps[3][3] = {{1, 0x21, 0}, {2, 0x11, 1}, {3, 0x11, 1}};
    for (auto& c : comps) o.insert(o.end(), c, c + 3);
    // DHT: the four tables.
    const HuffmanSymbols& s = S();
    o.push_back(0xFF);
    o.push_back(0xC4);
    Put16(&o, 2 + 2 * (17 + 12) + 2 * (17 + 162));
    for (int t = 0; t < 2; t++) {
        o.push_back(static_cast<uint8_t>(t));
        o.insert(o.end(), kDcBits[t], kDcBits[t] + 16);
        o.insert(o.end(), s.dcVals, s.dcVals + 12);
        o.push_back(static_cast<uint8_t>(0x10 | t));
        o.insert(o.end(), kAcBits[t], kAcBits[t] + 16);
        o.insert(o.end(), s.acVals[t], s.acVals[t] + 162);
    }
    // SOS
    o.push_back(0xFF);
    o.push_back(0xDA);
    Put16(&o, 12);
    o.push_back(3);
    const uint8_t scan[3][2] = {{1, 0x00}, {2, 0x11}, {3, 0x11}};
    for (auto& c : scan) o.insert(o.end(), c, c + 2);
    o.push_back(0);
    o.push_back(63);
    o.push_back(0);

    BitWriter bw(true);
    int pred[3] = {0, 0, 0};
    auto block = [&](const uint8_t* src, int stride, int comp) {
        const int t = comp ? 1 : 0;
        float b[64];
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) b[y * 8 + x] = static_cast<float>(src[y * stride + x]) - 128.0f;
        ForwardDct(b);
        const float* m = mult_[t];
        int dc = RoundToInt(b[0] * m[0]);
        int diff = dc - pred[comp];
        pred[comp] = dc;
        int mag = diff < 0 ? -diff : diff, size = 0;
        while (mag >> size) size++;
        bw.Put(dc_[t].code[size], dc_[t].len[size]);
        if (size) bw.Put(diff > 0 ? diff : diff + (1 << size) - 1, size);
        int run = 0;
        for (int i = 1; i < 64; i++) {
            const int k = kZigzag[i];
            int v = RoundToInt(b[k] * m[k]);
            if (!v) {
                run++;
                continue;
            }
            v = std::min(std::max(v, -1023), 1023);
            while (run > 15) {
                bw.Put(ac_[t].code[0xF0], ac_[t].len[0xF0]);
                run -= 16;
            }
            int a = v < 0 ? -v : v, sz = 0;
            while (a >> sz) sz++;
            int sym = (run << 4) | sz;
            bw.Put(ac_[t].code[sym], ac_[t].len[sym]);
            bw.Put(v > 0 ? v : v + (1 << sz) - 1, sz);
            run = 0;
        }
        if (run) bw.Put(ac_[t].code[0], ac_[t].len[0]);
    };
    const int mcuw = (width_ + 15) / 16, mcuh = (height_ + 7) / 8;
    for (int my = 0; my < mcuh; my++)
        for (int mx = 0; mx < mcuw; mx++) {
            const uint8_t* y = pic.y.Row(my * 8) + mx * 16;
            block(y, pic.y.stride, 0);
            block(y + 8, pic.y.stride, 0);
            block(pic.cb.Row(my * 8) + mx * 8, pic.cb.stride, 1);
            block(pic.cr.Row(my * 8) + mx * 8, pic.cr.stride, 2);
        }
    bw.Align();
    o.insert(o.end(), bw.Bytes().begin(), bw.Bytes().end());
    o.push_back(0xFF);
    o.push_back(0xD9);
    rc_.PictureDone((out->size() - begin) * 8, scale);
}

}  // namespace rec
