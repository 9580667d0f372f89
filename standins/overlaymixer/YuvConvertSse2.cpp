// The SSE2 row. Built with -msse2 (and, for i686, stack realignment: callers
// there keep the stack 4-byte aligned only) and called only where the
// processor has SSE2.
#include "YuvConvert.h"
#include <emmintrin.h>

namespace yuv {

void Yuy2ToRgb32RowSse2(const BYTE* in, BYTE* out, int pixels) {
    // Eight pixels a step in 16-bit lanes, everything scaled by 16: luma and
    // chroma go in shifted left by 6, the coefficients in 2.14, and the high
    // half of each product keeps 4 bits below the point. 2.0172 does not fit
    // 2.14, so blue takes u x 16 plus u x 1.0172.
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i c16 = _mm_set1_epi16(16), c128 = _mm_set1_epi16(128);
    const __m128i kY = _mm_set1_epi16(19078), kRv = _mm_set1_epi16(26149);
    const __m128i kGu = _mm_set1_epi16(6419), kGv = _mm_set1_epi16(13320);
    const __m128i kBu = _mm_set1_epi16(16666);
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 8 <= pixels; i += 8) {
        __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
        __m128i y = _mm_sub_epi16(_mm_and_si128(px, lowBytes), c16);
        __m128i uv = _mm_sub_epi16(_mm_srli_epi16(px, 8), c128);  // u0 v0 u1 v1 ...
        __m128i u = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
        __m128i v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(uv, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
        __m128i ys = _mm_mulhi_epi16(_mm_slli_epi16(y, 6), kY);
        __m128i u6 = _mm_slli_epi16(u, 6), v6 = _mm_slli_epi16(v, 6);
        __m128i r = _mm_add_epi16(ys, _mm_mulhi_epi16(v6, kRv));
        __m128i g = _mm_sub_epi16(_mm_sub_epi16(ys, _mm_mulhi_epi16(u6, kGu)), _mm_mulhi_epi16(v6, kGv));
        __m128i b = _mm_add_epi16(_mm_add_epi16(ys, _mm_mulhi_epi16(u6, kBu)), _mm_slli_epi16(u, 4));
        __m128i r8 = _mm_packus_epi16(_mm_srai_epi16(r, 4), zero);
        __m128i g8 = _mm_packus_epi16(_mm_srai_epi16(g, 4), zero);
        __m128i b8 = _mm_packus_epi16(_mm_srai_epi16(b, 4), zero);
        __m128i bg = _mm_unpacklo_epi8(b8, g8);
        __m128i rx = _mm_unpacklo_epi8(r8, zero);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i), _mm_unpacklo_epi16(bg, rx));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * i + 16), _mm_unpackhi_epi16(bg, rx));
    }
    if (i < pixels) Yuy2ToRgb32RowScalar(in + 2 * i, out + 4 * i, pixels - i);
}

}  // namespace yuv
