#include "Deinterlacer.h"

namespace deint {

const wchar_t kFilterName[] = L"Brinmarch Deinterlacer";

void Deinterlace(const BYTE* in, BYTE* out, int rowBytes, int rows) {
    for (int r = 0; r < rows; r++) {
        const BYTE* line = in + static_cast<size_t>(r) * rowBytes;
        const BYTE* above = r > 0 ? line - rowBytes : line;
        const BYTE* below = r + 1 < rows ? line + rowBytes : line;
        BYTE* dst = out + static_cast<size_t>(r) * rowBytes;
        for (int i = 0; i < rowBytes; i++)
            dst[i] = static_cast<BYTE>((above[i] + 2 * line[i] + below[i] + 2) >> 2);
    }
}

DeinterlaceFilter::DeinterlaceFilter() : Yuy2Filter(CLSID_BrinmarchDeinterlacer) {}

void DeinterlaceFilter::ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) {
    Deinterlace(in, out, width * 2, rows);
}

}  // namespace deint
