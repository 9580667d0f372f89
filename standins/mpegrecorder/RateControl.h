// One quantiser per picture, refined per slice, from the bits spent against
// the bits one picture may take (bit rate / frame rate). A picture too rich
// even for the coarsest quantiser (noise off-station at low rates) loses its
// high-frequency coefficients instead: the coders keep only the first
// Cutoff() positions in scan order.
#pragma once
#include <stdint.h>

namespace rec {

class RateControl {
public:
    void Configure(double bitsPerPicture, int minQ, int maxQ, int startQ);
    int PictureQuant() const { return q_; }
    int Cutoff() const { return cutoff_; }
    // The quantiser for the next slice (and its cutoff), given the bits this
    // picture has spent so far.
    int SliceQuant(int slice, int slices, uint64_t bitsSoFar, int* cutoff) const;
    void PictureDone(uint64_t bits, double meanQ);
    double Target() const;
    // Coarsest quantiser, DC only, and still over the budget so far.
    bool AtFloor() const { return cutoff_ <= 1 && q_ >= maxQ_ && excess_ > 0; }

private:
    double perPicture_ = 0;
    double excess_ = 0;      // bits spent beyond the budget so far
    double complexity_ = 0;  // bits x quantiser of the last picture
    int minQ_ = 1, maxQ_ = 31, q_ = 8, cutoff_ = 64;
};

}  // namespace rec
