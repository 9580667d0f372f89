// Stand-in for the maker's video invert filter. Nothing in the product says
// what it inverts or switches it, so the picture passes unchanged; the card's
// shared state (`cardctl invert flip|negative`) turns it upside down or into
// its negative, read anew for every frame.
#pragma once
#include "Yuy2Filter.h"

namespace vinvert {

// {DC3B1C46-3437-4848-9480-A4DFA28FA7A4}
inline const CLSID CLSID_BrinmarchVideoInvert =
    {0xDC3B1C46, 0x3437, 0x4848, {0x94, 0x80, 0xA4, 0xDF, 0xA2, 0x8F, 0xA7, 0xA4}};
extern const wchar_t kFilterName[];

// One YUY2 frame in a CardInvertModeKind mode: off copies; flip reverses the
// rows; negative turns luma Y into 255 - Y and mirrors chroma about 128
// (256 - C, 255 at most), so that grey stays colourless.
void InvertYuy2(const BYTE* in, BYTE* out, int width, int rows, int mode);

class VideoInvertFilter : public ds::Yuy2Filter {
public:
    VideoInvertFilter();

protected:
    void ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) override;
};

}  // namespace vinvert
