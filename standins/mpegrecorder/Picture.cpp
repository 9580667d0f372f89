#include "Picture.h"
#include <math.h>
#include <string.h>
#include <algorithm>

namespace rec {

void Plane::Allocate(int w, int h, int allocW, int allocH) {
    width = w;
    height = h;
    stride = allocW;
    rows = allocH;
    pix.assign(static_cast<size_t>(allocW) * allocH, 0);
}

void Plane::PadEdges() {
    for (int y = 0; y < height; y++) {
        uint8_t* row = Row(y);
        if (stride > width) memset(row + width, row[width - 1], stride - width);
    }
    for (int y = height; y < rows; y++) memcpy(Row(y), Row(height - 1), stride);
}

void ResampleAxis::Configure(int src, int dst) {
    src_ = src;
    dst_ = dst;
    const int one = 1 << 14;
    if (src == dst) {
        taps_ = 1;
        first_.resize(dst);
        weights_.assign(dst, one);
        for (int i = 0; i < dst; i++) first_[i] = i;
        return;
    }
    double r = static_cast<double>(src) / dst;
    taps_ = r > 1 ? static_cast<int>(ceil(r)) + 1 : 2;
    first_.assign(dst, 0);
    weights_.assign(static_cast<size_t>(dst) * taps_, 0);
    for (int o = 0; o < dst; o++) {
        int* w = &weights_[static_cast<size_t>(o) * taps_];
        std::vector<double> f(taps_, 0.0);
        int first;
        if (r > 1) {
            // Area average: every source pixel weighs by the part of it the
            // output pixel covers.
            double a = o * r, b = (o + 1) * r;
            first = static_cast<int>(floor(a));
            for (int t = 0; t < taps_; t++) {
                double lo = std::max(a, static_cast<double>(first + t));
                double hi = std::min(b, static_cast<double>(first + t + 1));
                if (hi > lo) f[t] = (hi - lo) / r;
            }
        } else {
            double pos = (o + 0.5) * r - 0.5;
            first = static_cast<int>(floor(pos));
            double frac = pos - first;
            f[0] = 1 - frac;
            f[1] = frac;
        }
        // Taps beyond the edges fold onto the edge pixel.
        std::vector<double> folded(taps_, 0.0);
        int base = std::min(std::max(first, 0), std::max(src - taps_, 0));
        for (int t = 0; t < taps_; t++) {
            int i = std::min(std::max(first + t, 0), src - 1);
            int k = std::min(std::max(i - base, 0), taps_ - 1);
            folded[k] += f[t];
        }
        first_[o] = base;
        int sum = 0, biggest = 0;
        for (int t = 0; t < taps_; t++) {
            w[t] = static_cast<int>(floor(folded[t] * one + 0.5));
            sum += w[t];
            if (w[t] > w[biggest]) biggest = t;
        }
        w[biggest] += one - sum;
    }
}

void ResamplePlane(const uint8_t* src, int srcStride, int srcW, int srcH, const ResampleAxis& hor,
                   const ResampleAxis& ver, Plane* dst, std::vector<uint8_t>* scratch) {
    const int dstW = dst->width, dstH = dst->height;
    // Horizontal pass into scratch (dstW x srcH), unless it is a copy.
    const uint8_t* mid = src;
    int midStride = srcStride;
    if (!hor.Identity()) {
        scratch->resize(static_cast<size_t>(dstW) * srcH);
        const int taps = hor.Taps();
        const int* first = hor.First();
        const int* weights = hor.Weights();
        for (int y = 0; y < srcH; y++) {
            const uint8_t* s = src + static_cast<size_t>(y) * srcStride;
            uint8_t* d = scratch->data() + static_cast<size_t>(y) * dstW;
            for (int x = 0; x < dstW; x++) {
                const uint8_t* p = s + first[x];
                const int* w = weights + x * taps;
                int acc = 1 << 13;
                for (int t = 0; t < taps; t++) acc += p[t] * w[t];
                d[x] = static_cast<uint8_t>(acc >> 14);
            }
        }
        mid = scratch->data();
        midStride = dstW;
    }
    if (ver.Identity()) {
        for (int y = 0; y < dstH; y++) memcpy(dst->Row(y), mid + static_cast<size_t>(y) * midStride, dstW);
    } else {
        const int taps = ver.Taps();
        const int* first = ver.First();
        const int* weights = ver.Weights();
        std::vector<int> acc(dstW);
        for (int y = 0; y < dstH; y++) {
            std::fill(acc.begin(), acc.end(), 1 << 13);
            const int* w = weights + y * taps;
            for (int t = 0; t < taps; t++) {
                if (!w[t]) continue;
                const uint8_t* s = mid + static_cast<size_t>(first[y] + t) * midStride;
                const int wt = w[t];
                for (int x = 0; x < dstW; x++) acc[x] += s[x] * wt;
            }
            uint8_t* d = dst->Row(y);
            for (int x = 0; x < dstW; x++) d[x] = static_cast<uint8_t>(acc[x] >> 14);
        }
    }
    dst->PadEdges();
}

static int RoundUp(int v, int a) { return (v + a - 1) / a * a; }

void PictureConverter::Configure(int srcW, int srcH, int dstW, int dstH, ChromaFormat format,
                                 int alignW, int alignH) {
    srcW_ = srcW;
    srcH_ = srcH;
    dstW_ = dstW;
    dstH_ = dstH;
    format_ = format;
    alignW_ = alignW;
    alignH_ = alignH;
    yh_.Configure(srcW, dstW);
    yv_.Configure(srcH, dstH);
    ch_.Configure(srcW / 2, dstW / 2);
    cv_.Configure(srcH, format == kChroma420 ? dstH / 2 : dstH);
    srcY_.resize(static_cast<size_t>(srcW) * srcH);
    srcU_.resize(static_cast<size_t>(srcW / 2) * srcH);
    srcV_.resize(static_cast<size_t>(srcW / 2) * srcH);
}

void PictureConverter::Convert(const uint8_t* yuy2, int srcStride, Picture* out) {
    const int cw = srcW_ / 2;
    for (int y = 0; y < srcH_; y++) {
        const uint8_t* s = yuy2 + static_cast<size_t>(y) * srcStride;
        uint8_t* py = &srcY_[static_cast<size_t>(y) * srcW_];
        uint8_t* pu = &srcU_[static_cast<size_t>(y) * cw];
        uint8_t* pv = &srcV_[static_cast<size_t>(y) * cw];
        for (int x = 0; x < cw; x++, s += 4) {
            py[2 * x] = s[0];
            pu[x] = s[1];
            py[2 * x + 1] = s[2];
            pv[x] = s[3];
        }
    }
    const int aw = RoundUp(dstW_, alignW_), ah = RoundUp(dstH_, alignH_);
    const int chromaH = format_ == kChroma420 ? dstH_ / 2 : dstH_;
    const int chromaAH = format_ == kChroma420 ? ah / 2 : ah;
    if (out->y.width != dstW_ || out->y.height != dstH_ || out->y.stride != aw ||
        out->cb.height != chromaH) {
        out->y.Allocate(dstW_, dstH_, aw, ah);
        out->cb.Allocate(dstW_ / 2, chromaH, aw / 2, chromaAH);
        out->cr.Allocate(dstW_ / 2, chromaH, aw / 2, chromaAH);
    }
    ResamplePlane(srcY_.data(), srcW_, srcW_, srcH_, yh_, yv_, &out->y, &scratch_);
    ResamplePlane(srcU_.data(), cw, cw, srcH_, ch_, cv_, &out->cb, &scratch_);
    ResamplePlane(srcV_.data(), cw, cw, srcH_, ch_, cv_, &out->cr, &scratch_);
}

}  // namespace rec
