// The converters against each other and against the matrix they implement.
#include "YuvConvert.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <vector>

namespace {

// Every Y with every U, V pair: one row of 256 pixels per (U, V).
std::vector<BYTE> AllValuesRow(int u, int v) {
    std::vector<BYTE> row(512);
    for (int x = 0; x < 256; x += 2) {
        row[2 * x] = static_cast<BYTE>(x);
        row[2 * x + 1] = static_cast<BYTE>(u);
        row[2 * x + 2] = static_cast<BYTE>(x + 1);
        row[2 * x + 3] = static_cast<BYTE>(v);
    }
    return row;
}

int Exact(double value) {
    int i = static_cast<int>(value);
    return i < 0 ? 0 : i > 255 ? 255 : i;
}

}  // namespace

TEST(YuvConvert, Sse2StaysWithinOneOfScalarOverEveryValue) {
    std::vector<BYTE> a(1024), b(1024);
    int worst = 0;
    for (int u = 0; u < 256; u++)
        for (int v = 0; v < 256; v++) {
            std::vector<BYTE> row = AllValuesRow(u, v);
            yuv::Yuy2ToRgb32RowScalar(row.data(), a.data(), 256);
            yuv::Yuy2ToRgb32RowSse2(row.data(), b.data(), 256);
            for (int i = 0; i < 1024; i++) {
                int d = abs(a[i] - b[i]);
                if (d > worst) worst = d;
            }
        }
    EXPECT_LE(worst, 1);
}

TEST(YuvConvert, ScalarFollowsTheMatrixBlackAndWhiteExact) {
    std::vector<BYTE> out(1024);
    int worst = 0;
    for (int u = 0; u < 256; u += 5)
        for (int v = 0; v < 256; v += 3) {
            std::vector<BYTE> row = AllValuesRow(u, v);
            yuv::Yuy2ToRgb32RowScalar(row.data(), out.data(), 256);
            for (int x = 0; x < 256; x++) {
                double y = (x - 16) * 1.1644, du = u - 128, dv = v - 128;
                int want[3] = {Exact(y + 2.0172 * du), Exact(y - 0.3918 * du - 0.813 * dv), Exact(y + 1.596 * dv)};
                for (int k = 0; k < 3; k++) worst = std::max(worst, abs(want[k] - out[4 * x + k]));
            }
        }
    EXPECT_LE(worst, 1);

    // Black and white, 8 pixels and a tail of 2 so that both paths of the
    // SSE2 row run.
    BYTE yuy2[20];
    for (int i = 0; i < 20; i += 4) {
        yuy2[i] = yuy2[i + 2] = i < 8 ? 16 : 235;
        yuy2[i + 1] = yuy2[i + 3] = 128;
    }
    for (yuv::Rgb32RowFn fn : {yuv::Yuy2ToRgb32RowScalar, yuv::Yuy2ToRgb32RowSse2}) {
        BYTE rgb[40];
        fn(yuy2, rgb, 10);
        for (int p = 0; p < 10; p++)
            for (int k = 0; k < 3; k++) EXPECT_EQ(p < 4 ? 0 : 255, rgb[4 * p + k]) << p;
    }
}

TEST(YuvConvert, FramesGoBottomUpInEachFormat) {
    // Two rows of two pixels: white on top, black below.
    const BYTE yuy2[8] = {235, 128, 235, 128, 16, 128, 16, 128};
    BYTE out[16];
    yuv::Yuy2ToRgbFrame(yuy2, 2, 2, out, 8, yuv::RGB_32, yuv::FastestRgb32Row());
    EXPECT_EQ(0, out[0]);      // the bottom row comes first
    EXPECT_EQ(255, out[8]);
    EXPECT_EQ(8, yuv::RgbStride(2, yuv::RGB_24));
    memset(out, 0xCC, sizeof(out));
    yuv::Yuy2ToRgbFrame(yuy2, 2, 2, out, 8, yuv::RGB_24, yuv::Yuy2ToRgb32RowScalar);
    EXPECT_EQ(0, out[5]);
    EXPECT_EQ(0, out[6]);  // the row's padding is cleared
    EXPECT_EQ(255, out[8 + 5]);
    yuv::Yuy2ToRgbFrame(yuy2, 2, 2, out, 4, yuv::RGB_565, yuv::Yuy2ToRgb32RowScalar);
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(0xFF, out[4]);
    EXPECT_EQ(0xFF, out[5]);
}
