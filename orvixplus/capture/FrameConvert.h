// Video frames to 24-bit RGB for snapshots and bitmaps.
#pragma once
#include <windows.h>

// Bytes in one BMP row of 24-bit pixels: rows are padded to 4 bytes.
inline int Rgb24Stride(int width) { return (width * 3 + 3) & ~3; }

// Whether a YUY2 frame of this size can be converted out of a buffer of
// bufferSize bytes: width above 0, height not 0, both even, the frame inside
// the buffer. A negative height counts by its size.
BOOL Yuy2FrameFits(int width, int height, long bufferSize);

// A top-down YUY2 frame to bottom-up RGB (blue, green, red), stride bytes a
// row. The chroma of the second row of each pair is dropped (4:2:0), as the
// snapshots always did. width and height must be even and positive.
void Yuy2ToRgb24(const BYTE* yuy2, int width, int height, BYTE* rgb, int stride);

