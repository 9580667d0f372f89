#include "VideoInvert.h"
#include "CardState.h"
#include <string.h>

namespace vinvert {

const wchar_t kFilterName[] = L"Brinmarch Video Invert Filter";

void InvertYuy2(const BYTE* in, BYTE* out, int width, int rows, int mode) {
    size_t rowBytes = static_cast<size_t>(width) * 2;
    if (mode == CARD_INVERT_FLIP) {
        for (int r = 0; r < rows; r++) memcpy(out + r * rowBytes, in + (rows - 1 - r) * rowBytes, rowBytes);
    } else if (mode == CARD_INVERT_NEGATIVE) {
        size_t n = rowBytes * rows;
        for (size_t i = 0; i < n; i += 2) {
            out[i] = static_cast<BYTE>(255 - in[i]);
            int c = 256 - in[i + 1];
            out[i + 1] = static_cast<BYTE>(c > 255 ? 255 : c);
        }
    } else {
        memcpy(out, in, rowBytes * rows);
    }
}

VideoInvertFilter::VideoInvertFilter() : Yuy2Filter(CLSID_BrinmarchVideoInvert) {}

void VideoInvertFilter::ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) {
    InvertYuy2(in, out, width, rows, CardInvertMode());
}

}  // namespace vinvert
