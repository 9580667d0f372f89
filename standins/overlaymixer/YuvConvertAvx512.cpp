// The AVX-512 (BW) row, 32 pixels a step. Built with -mavx512bw and called
// only where HasAvx512() holds.
#include "YuvConvert.h"
// The masked forms behind several AVX-512 intrinsics take a deliberately
// undefined pass-through operand, which the i686 compiler reports as maybe
// uninitialised where they are inlined.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

namespace {

typedef __m512i VEC;
#define MM(name) _mm512_##name
// Each 128-bit lane k takes pixels 4k..4k+3 and 16+4k..16+4k+3.
inline VEC Load(const BYTE* p) {
    return _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 4, 1, 5, 2, 6, 3, 7), _mm512_loadu_si512(p));
}
inline void Store(BYTE* p, VEC v) { _mm512_storeu_si512(p, v); }
inline VEC Broadcast(__m128i v) { return _mm512_broadcast_i32x4(v); }
inline VEC Zero() { return _mm512_setzero_si512(); }

}  // namespace

#include "YuvConvertWide.h"

namespace yuv {

void Yuy2ToRgb32RowAvx512(const BYTE* in, BYTE* out, int pixels) { WideRow(in, out, pixels, Yuy2ToRgb32RowAvx2); }

}  // namespace yuv
