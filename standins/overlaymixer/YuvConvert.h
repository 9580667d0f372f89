// YUY2 to RGB for the picture on screen: the mixer stand-in and the YUY2
// codec convert every frame with these. Studio-range YUV (Y 16..235, chroma
// about 128), y = (Y - 16) x 1.1644, R = y + 1.596 v, G = y - 0.3918 u -
// 0.813 v, B = y + 2.0172 u, each pixel with its own pair's chroma. The
// scalar row is the reference in 16.16 fixed point; the SSE2 row computes in
// 16-bit lanes and stays within 1 of it (black and white exact).
#pragma once
#include <windows.h>

namespace yuv {

// `pixels` (even) pixels of YUY2 to blue, green, red, 0 bytes.
typedef void (*Rgb32RowFn)(const BYTE* yuy2, BYTE* bgrx, int pixels);
void Yuy2ToRgb32RowScalar(const BYTE* yuy2, BYTE* bgrx, int pixels);
void Yuy2ToRgb32RowSse2(const BYTE* yuy2, BYTE* bgrx, int pixels);
void Yuy2ToRgb32RowAvx2(const BYTE* yuy2, BYTE* bgrx, int pixels);
void Yuy2ToRgb32RowAvx512(const BYTE* yuy2, BYTE* bgrx, int pixels);
// Whether the processor and the system can run the AVX2 (AVX-512 BW) row.
bool HasAvx2();
bool HasAvx512();
// The widest row the processor and the system can run: AVX-512, AVX2, SSE2,
// else the scalar one.
Rgb32RowFn FastestRgb32Row();

enum RgbFormat { RGB_32, RGB_24, RGB_565 };
int BitsOf(RgbFormat format);
// Bytes in one output row: whole DWORDs, as DIBs have them.
int RgbStride(int width, RgbFormat format);

// A top-down YUY2 frame (width x 2 bytes a row) to a bottom-up RGB frame of
// `stride` bytes a row. RGB24 and RGB565 are packed from the RGB32 row.
void Yuy2ToRgbFrame(const BYTE* yuy2, int width, int rows, BYTE* out, int stride, RgbFormat format,
                    Rgb32RowFn row);

}  // namespace yuv
