#include "FrameConvert.h"
#include <vector>

BOOL Yuy2FrameFits(int width, int height, long bufferSize)
{
    if (width <= 0 || height == 0 || (width & 1) || (height & 1))
        return FALSE;
    LONGLONG rows = height < 0 ? -(LONGLONG)height : height;
    return (LONGLONG)width * rows * 2 <= bufferSize;
}

// The matrix in ten-thousandths, so that a level is cut exactly: in doubles
// the four-place factors lie a hair off, and sums that come out whole (0.3918
// x 110 + 0.813 x 54 is 87) were cut one lower in one build or the other.
const int kLuma = 11644, kBlueU = 20172, kGreenU = 3918, kGreenV = 8130, kRedV = 15960;

static BYTE Clamp(int tenThousandths)
{
    int i = tenThousandths / 10000;  // toward zero, then into range
    return (BYTE)(i < 0 ? 0 : i > 255 ? 255 : i);
}

// One row of pixels from luma and the row's chroma, padded to the stride.
static void ConvertRow(const BYTE* luma, const BYTE* cu, const BYTE* cv, int w, BYTE* out,
                       int stride)
{
    for (int c = 0; c < w; c++) {
        int y = (luma[c] - 16) * kLuma;
        int u = cu[c / 2] - 128;
        int v = cv[c / 2] - 128;
        out[3 * c] = Clamp(y + kBlueU * u);
        out[3 * c + 1] = Clamp(y - kGreenU * u - kGreenV * v);
        out[3 * c + 2] = Clamp(y + kRedV * v);
    }
    for (int pad = w * 3; pad < stride; pad++)
        out[pad] = 0;
}

void Yuy2ToRgb24(const BYTE* yuy2, int w, int h, BYTE* rgb, int stride)
{
    // Planes first: luma of every row, chroma of the first row of each pair.
    std::vector<BYTE> luma((size_t)w * h), cu((size_t)(w / 2) * (h / 2)), cv(cu.size());
    for (int r = 0; r < h; r++) {
        const BYTE* src = yuy2 + (size_t)r * w * 2;
        BYTE* y = &luma[(size_t)r * w];
        for (int c = 0; c < w / 2; c++) {
            y[2 * c] = src[4 * c];
            y[2 * c + 1] = src[4 * c + 2];
            if ((r & 1) == 0) {
                cu[(size_t)(r / 2) * (w / 2) + c] = src[4 * c + 1];
                cv[(size_t)(r / 2) * (w / 2) + c] = src[4 * c + 3];
            }
        }
    }
    for (int r = 0; r < h; r++) {
        size_t ci = (size_t)(r / 2) * (w / 2);
        ConvertRow(&luma[(size_t)r * w], &cu[ci], &cv[ci], w, rgb + (size_t)(h - 1 - r) * stride,
                   stride);
    }
}
