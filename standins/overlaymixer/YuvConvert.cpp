#include "YuvConvert.h"
#include <string.h>
#include <vector>

namespace yuv {

namespace {

inline BYTE Clamp(int v) { return static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

void Yuy2ToRgb32RowScalar(const BYTE* in, BYTE* out, int pixels) {
    // The matrix in 16.16: 1.1644, 1.596, 0.3918, 0.813, 2.0172.
    const int kY = 76310, kRv = 104595, kGu = 25677, kGv = 53281, kBu = 132199;
    for (int i = 0; i + 1 < pixels; i += 2, in += 4, out += 8) {
        int u = in[1] - 128, v = in[3] - 128;
        int r = kRv * v, g = -kGu * u - kGv * v, b = kBu * u;
        for (int k = 0; k < 2; k++) {
            int y = (in[2 * k] - 16) * kY;
            out[4 * k] = Clamp((y + b) >> 16);
            out[4 * k + 1] = Clamp((y + g) >> 16);
            out[4 * k + 2] = Clamp((y + r) >> 16);
            out[4 * k + 3] = 0;
        }
    }
}

// The compiler's own check asks the processor and whether the system saves
// the wide registers across switches (XGETBV), which IsProcessorFeaturePresent
// does not tell for AVX-512.
bool HasAvx2() { return __builtin_cpu_supports("avx2"); }
bool HasAvx512() { return __builtin_cpu_supports("avx512bw") && HasAvx2(); }

Rgb32RowFn FastestRgb32Row() {
    if (HasAvx512()) return Yuy2ToRgb32RowAvx512;
    if (HasAvx2()) return Yuy2ToRgb32RowAvx2;
    return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) ? Yuy2ToRgb32RowSse2
                                                                       : Yuy2ToRgb32RowScalar;
}

int BitsOf(RgbFormat format) { return format == RGB_32 ? 32 : format == RGB_24 ? 24 : 16; }

int RgbStride(int width, RgbFormat format) { return (width * BitsOf(format) / 8 + 3) & ~3; }

void Yuy2ToRgbFrame(const BYTE* yuy2, int width, int rows, BYTE* out, int stride, RgbFormat format,
                    Rgb32RowFn row) {
    std::vector<BYTE> line(format == RGB_32 ? 0 : static_cast<size_t>(width) * 4);
    int used = width * BitsOf(format) / 8;
    for (int r = 0; r < rows; r++) {
        const BYTE* src = yuy2 + static_cast<size_t>(r) * width * 2;
        BYTE* dst = out + static_cast<size_t>(rows - 1 - r) * stride;
        if (format == RGB_32) {
            row(src, dst, width);
        } else {
            row(src, line.data(), width);
            const BYTE* p = line.data();
            if (format == RGB_24) {
                for (int c = 0; c < width; c++, p += 4) {
                    dst[3 * c] = p[0];
                    dst[3 * c + 1] = p[1];
                    dst[3 * c + 2] = p[2];
                }
            } else {
                for (int c = 0; c < width; c++, p += 4) {
                    WORD w = static_cast<WORD>(((p[2] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[0] >> 3));
                    dst[2 * c] = static_cast<BYTE>(w);
                    dst[2 * c + 1] = static_cast<BYTE>(w >> 8);
                }
            }
        }
        if (used < stride) memset(dst + used, 0, stride - used);
    }
}

}  // namespace yuv
