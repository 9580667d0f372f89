// The AVX2 row, sixteen pixels a step. Built with -mavx2 and called only
// where HasAvx2() holds.
#include "YuvConvert.h"
#include <immintrin.h>

namespace {

typedef __m256i VEC;
#define MM(name) _mm256_##name
// Pixels 0-3 and 8-11 in the low half, 4-7 and 12-15 in the high one.
inline VEC Load(const BYTE* p) {
    return _mm256_permute4x64_epi64(_mm256_loadu_si256(reinterpret_cast<const VEC*>(p)), _MM_SHUFFLE(3, 1, 2, 0));
}
inline void Store(BYTE* p, VEC v) { _mm256_storeu_si256(reinterpret_cast<VEC*>(p), v); }
inline VEC Broadcast(__m128i v) { return _mm256_broadcastsi128_si256(v); }
inline VEC Zero() { return _mm256_setzero_si256(); }

}  // namespace

#include "YuvConvertWide.h"

namespace yuv {

void Yuy2ToRgb32RowAvx2(const BYTE* in, BYTE* out, int pixels) { WideRow(in, out, pixels, Yuy2ToRgb32RowSse2); }

}  // namespace yuv
