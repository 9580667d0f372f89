// Stand-in for the maker's deinterlacer: YUY2 in and out, every line blended
// with the lines above and below it (1:2:1), so that the comb of two fields
// taken at different moments goes while flat areas stay exactly as they were.
#pragma once
#include "Yuy2Filter.h"

namespace deint {

// {335D166F-BDCF-4B7E-B360-6A59617C8036}
inline const CLSID CLSID_BrinmarchDeinterlacer =
    {0x335D166F, 0xBDCF, 0x4B7E, {0xB3, 0x60, 0x6A, 0x59, 0x61, 0x7C, 0x80, 0x36}};
extern const wchar_t kFilterName[];

// Each byte := (above + 2 x itself + below + 2) / 4, the first and last rows
// counting themselves as their missing neighbour. rowBytes per row, no gaps.
void Deinterlace(const BYTE* in, BYTE* out, int rowBytes, int rows);

class DeinterlaceFilter : public ds::Yuy2Filter {
public:
    DeinterlaceFilter();

protected:
    void ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) override;
};

}  // namespace deint
