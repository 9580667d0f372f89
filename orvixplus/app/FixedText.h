// Text in fixed-width fields (file records, driver structures) is GBK: a cut
// in the middle of a two-byte character leaves a lead byte that swallows the
// terminating zero's neighbour when the text is shown.
#pragma once
#include <stddef.h>

// Copies at most srcMax bytes of src (stopping at its NUL) into dst[dstSize],
// cut to fit on a whole character, zero-filled behind. dstSize must be > 0.
void CopyFixedText(char* dst, size_t dstSize, const char* src, size_t srcMax = (size_t)-1);

template <size_t N>
inline void SetFixedText(char (&dst)[N], const char* src)
{
    CopyFixedText(dst, N, src);
}
