// The forward 8x8 DCT of the block coders: the separable fast float
// factorisation (five multiplications per eight points), whose outputs come
// out scaled per frequency; DctDescale() undoes that scale, and the coders
// fold it into their quantiser tables.
#pragma once

namespace rec {

// In place, rows then columns; block[v * 8 + u].
void ForwardDct(float* block);
// out = ForwardDct's output times DctDescale() is the DCT of the standards:
// F(u,v) = C(u)C(v)/4 * sum f(x,y) cos((2x+1)u pi/16) cos((2y+1)v pi/16).
const float* DctDescale();
// The definition itself, slow, for checking.
void ReferenceDct(const float* in, double* out);

// Zig-zag position -> raster index, and the inverse.
extern const unsigned char kZigzag[64];

}  // namespace rec
