// The row the AVX2 and AVX-512 builds share, written once for both register
// widths. The including file defines VEC (the register type), MM(name) (that
// width's intrinsic of the name), and Load (arranged, see below),
// Store, Broadcast (one 128-bit pattern to every half) and Zero, then
// includes this file once.
//
// The arithmetic is the SSE2 row's lane for lane, regrouped so that each
// pair's chroma is multiplied once and then spread to its two pixels: the
// same floors and wrapping 16-bit sums in another order, so the same bytes.
//   - (Y - 16) x 64 and (C - 128) x 64 each come from one multiply-add of the
//     bytes (Y x 64 + C x 0, Y x 0 + C x 64) less the offset.
//   - Blue's high half of u x 64 x 16666 plus u x 16 is exactly the high half
//     of u x 128 x 16525 (16666 + 16384 = 2 x 16525). Even lanes hold u and
//     odd lanes v, so one multiply gives blue's and red's chroma parts.
//   - Green's two parts are added across each pair's lanes before spreading.
// The per-half packing at the end leaves each half's first four pixels in
// one register and its last four in the other: Load arranges the input so
// that the two stores come out in pixel order.
#pragma once

namespace yuv {
namespace {

inline void WideStep(const BYTE* in, BYTE* out) {
    const VEC toY64 = MM(set1_epi16)(64), toC64 = MM(set1_epi16)(64 << 8);
    const VEC black64 = MM(set1_epi16)(16 * 64), mid64 = MM(set1_epi16)(128 * 64);
    const VEC kY = MM(set1_epi16)(19078);
    const VEC uTwice = MM(set1_epi32)((1 << 16) | 2);
    const VEC kBuRv = MM(set1_epi32)((26149 << 16) | 16525);
    const VEC kGuGv = MM(set1_epi32)((13320 << 16) | 6419);
    const VEC evenLanes = Broadcast(_mm_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
    const VEC oddLanes = Broadcast(_mm_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15));

    VEC px = Load(in);
    VEC ys = MM(mulhi_epi16)(MM(sub_epi16)(MM(maddubs_epi16)(px, toY64), black64), kY);
    VEC c6 = MM(sub_epi16)(MM(maddubs_epi16)(px, toC64), mid64);
    VEC br = MM(mulhi_epi16)(MM(mullo_epi16)(c6, uTwice), kBuRv);
    VEC gg = MM(mulhi_epi16)(c6, kGuGv);
    gg = MM(add_epi16)(gg, MM(srli_epi32)(gg, 16));
    VEC b = MM(add_epi16)(ys, MM(shuffle_epi8)(br, evenLanes));
    VEC r = MM(add_epi16)(ys, MM(shuffle_epi8)(br, oddLanes));
    VEC g = MM(sub_epi16)(ys, MM(shuffle_epi8)(gg, evenLanes));
    VEC b8r8 = MM(packus_epi16)(MM(srai_epi16)(b, 4), MM(srai_epi16)(r, 4));
    VEC g8 = MM(packus_epi16)(MM(srai_epi16)(g, 4), Zero());
    VEC bg = MM(unpacklo_epi8)(b8r8, g8), rx = MM(unpackhi_epi8)(b8r8, g8);
    Store(out, MM(unpacklo_epi16)(bg, rx));
    Store(out + sizeof(VEC), MM(unpackhi_epi16)(bg, rx));
}

// Whole steps here, the rest by the narrower row.
inline void WideRow(const BYTE* in, BYTE* out, int pixels, Rgb32RowFn narrower) {
    const int step = static_cast<int>(sizeof(VEC)) / 2;
    int i = 0;
    for (; i + step <= pixels; i += step) WideStep(in + 2 * i, out + 4 * i);
    if (i < pixels) narrower(in + 2 * i, out + 4 * i, pixels - i);
}

}  // namespace
}  // namespace yuv
