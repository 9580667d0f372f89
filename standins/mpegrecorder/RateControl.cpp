#include "RateControl.h"
#include <algorithm>
#include <math.h>

namespace rec {

void RateControl::Configure(double bitsPerPicture, int minQ, int maxQ, int startQ) {
    perPicture_ = bitsPerPicture;
    excess_ = 0;
    complexity_ = 0;
    minQ_ = minQ;
    maxQ_ = maxQ;
    q_ = std::min(std::max(startQ, minQ), maxQ);
    cutoff_ = 64;
}

double RateControl::Target() const {
    // Pay back (or use up) what earlier pictures overspent over about ten
    // pictures, but never starve one picture entirely.
    double t = perPicture_ - excess_ / 10;
    return std::min(std::max(t, perPicture_ * 0.3), perPicture_ * 1.5);
}

int RateControl::SliceQuant(int slice, int slices, uint64_t bitsSoFar, int* cutoff) const {
    *cutoff = cutoff_;
    if (slice == 0 || slices <= 0) return q_;
    const double target = Target();
    double expected = target * slice / slices;
    double dev = (static_cast<double>(bitsSoFar) - expected) / target;
    double q = q_ * (1 + 3 * dev);
    q = std::max(q, q_ * 0.5);
    int qi = std::min(std::max(static_cast<int>(q + 0.5), minQ_), maxQ_);
    // Past the coarsest quantiser and still over: shed coefficients for the
    // rest of the picture.
    if (qi == maxQ_ && dev > 0.15) *cutoff = std::max(1, cutoff_ / (dev > 0.4 ? 4 : 2));
    return qi;
}

void RateControl::PictureDone(uint64_t bits, double meanQ) {
    const double target = Target();
    // Bits not spent are not saved up: the multiplexer has written padding
    // in their place already.
    excess_ = std::max(excess_ + static_cast<double>(bits) - perPicture_, -perPicture_);
    if (cutoff_ < 64 || (bits > target * 1.15 && q_ >= maxQ_)) {
        // Past the coarsest quantiser: the quantiser stays there and the
        // number of coefficients kept follows the budget (bits grow about
        // in proportion to it), until all of them fit again.
        q_ = maxQ_;
        double ratio = target / std::max(static_cast<double>(bits), 1.0);
        double next = ratio < 1 ? cutoff_ * ratio : cutoff_ * (0.5 + 0.5 * ratio);
        if (ratio > 1 && next < cutoff_ + 1) next = cutoff_ + 1;
        cutoff_ = std::min(64, std::max(1, static_cast<int>(next)));
        return;
    }
    complexity_ = static_cast<double>(bits) * meanQ;
    double next = complexity_ / Target();
    // Move at most a factor of two per picture: a scene cut should not swing
    // the quantiser from one end to the other.
    next = std::min(std::max(next, meanQ * 0.5), meanQ * 2.0);
    q_ = std::min(std::max(static_cast<int>(next + 0.5), minQ_), maxQ_);
}

}  // namespace rec
