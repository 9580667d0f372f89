#include "Dct.h"
#include <math.h>

namespace rec {

const unsigned char kZigzag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

static inline void Dct8(float* d, int step) {
    float tmp0 = d[0] + d[7 * step], tmp7 = d[0] - d[7 * step];
    float tmp1 = d[step] + d[6 * step], tmp6 = d[step] - d[6 * step];
    float tmp2 = d[2 * step] + d[5 * step], tmp5 = d[2 * step] - d[5 * step];
    float tmp3 = d[3 * step] + d[4 * step], tmp4 = d[3 * step] - d[4 * step];

    float tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
    float tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    d[0] = tmp10 + tmp11;
    d[4 * step] = tmp10 - tmp11;
    float z1 = (tmp12 + tmp13) * 0.707106781f;
    d[2 * step] = tmp13 + z1;
    d[6 * step] = tmp13 - z1;

    tmp10 = tmp4 + tmp5;
    tmp11 = tmp5 + tmp6;
    tmp12 = tmp6 + tmp7;
    float z5 = (tmp10 - tmp12) * 0.382683433f;
    float z2 = 0.541196100f * tmp10 + z5;
    float z4 = 1.306562965f * tmp12 + z5;
    float z3 = tmp11 * 0.707106781f;
    float z11 = tmp7 + z3, z13 = tmp7 - z3;
    d[5 * step] = z13 + z2;
    d[3 * step] = z13 - z2;
    d[1 * step] = z11 + z4;
    d[7 * step] = z11 - z4;
}

void ForwardDct(float* block) {
    for (int r = 0; r < 8; r++) Dct8(block + r * 8, 1);
    for (int c = 0; c < 8; c++) Dct8(block + c, 8);
}

namespace {
struct Descale {
    float f[64];
    Descale() {
        double s[8];
        s[0] = 1.0;
        for (int k = 1; k < 8; k++) s[k] = cos(k * M_PI / 16) * sqrt(2.0);
        for (int v = 0; v < 8; v++)
            for (int u = 0; u < 8; u++) f[v * 8 + u] = static_cast<float>(1.0 / (8.0 * s[u] * s[v]));
    }
};
const Descale g_descale;
}  // namespace

const float* DctDescale() { return g_descale.f; }

void ReferenceDct(const float* in, double* out) {
    for (int v = 0; v < 8; v++)
        for (int u = 0; u < 8; u++) {
            double sum = 0;
            for (int y = 0; y < 8; y++)
                for (int x = 0; x < 8; x++)
                    sum += in[y * 8 + x] * cos((2 * x + 1) * u * M_PI / 16) * cos((2 * y + 1) * v * M_PI / 16);
            double cu = u ? 1.0 : 1.0 / sqrt(2.0), cv = v ? 1.0 : 1.0 / sqrt(2.0);
            out[v * 8 + u] = cu * cv / 4 * sum;
        }
}

}  // namespace rec
