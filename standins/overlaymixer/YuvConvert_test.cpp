// The converters against each other and against the matrix they implement.
#include "YuvConvert.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
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

// Every Y, U and V through every row. The SSE2 row stays within 1 of the
// scalar one, and the wide rows give its bytes exactly. The digest is that of
// the SSE2 row's output, as the pictures on screen and the tests' expected
// frames have always been made: a row that drifts by one step of rounding
// anywhere changes it.
TEST(YuvConvert, EveryRowOverEveryValue) {
    std::vector<std::pair<const char*, yuv::Rgb32RowFn>> wide;
    if (yuv::HasAvx2()) wide.push_back({"avx2", yuv::Yuy2ToRgb32RowAvx2});
    if (yuv::HasAvx512()) wide.push_back({"avx512", yuv::Yuy2ToRgb32RowAvx512});
    std::vector<BYTE> a(1024), b(1024), c(1024);
    int worst = 0;
    DWORD digest = 2166136261u;  // FNV-1a over the pixels
    std::vector<int> differing(wide.size());
    for (int u = 0; u < 256; u++)
        for (int v = 0; v < 256; v++) {
            std::vector<BYTE> row = AllValuesRow(u, v);
            yuv::Yuy2ToRgb32RowScalar(row.data(), a.data(), 256);
            yuv::Yuy2ToRgb32RowSse2(row.data(), b.data(), 256);
            for (int i = 0; i < 1024; i++) {
                int d = abs(a[i] - b[i]);
                if (d > worst) worst = d;
            }
            const DWORD* px = reinterpret_cast<const DWORD*>(b.data());
            for (int i = 0; i < 256; i++) digest = (digest ^ px[i]) * 16777619u;
            for (size_t k = 0; k < wide.size(); k++) {
                wide[k].second(row.data(), c.data(), 256);
                differing[k] += memcmp(b.data(), c.data(), 1024) != 0;
            }
        }
    EXPECT_LE(worst, 1);
    EXPECT_EQ(0x0396c4c5u, digest);
    for (size_t k = 0; k < wide.size(); k++) EXPECT_EQ(0, differing[k]) << wide[k].first << ": rows differing";

    // Rows ending anywhere within a step, up to past a frame's width: the
    // narrower rows finish each row, and nothing is written beyond its end.
    std::vector<BYTE> in(2 * 800), want(4 * 800), got(4 * 800 + 64);
    srand(27);
    for (BYTE& x : in) x = static_cast<BYTE>(rand());
    for (int pixels = 2; pixels <= 800; pixels += pixels < 100 ? 2 : 62) {
        yuv::Yuy2ToRgb32RowSse2(in.data(), want.data(), pixels);
        for (auto& row : wide) {
            memset(got.data(), 0xCC, got.size());
            row.second(in.data(), got.data(), pixels);
            EXPECT_EQ(0, memcmp(want.data(), got.data(), 4 * pixels)) << row.first << " " << pixels;
            EXPECT_EQ(0xCC, got[4 * pixels]) << row.first << " " << pixels;
        }
    }
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
