// MSB-first bit packing for the video and audio elementary streams. JPEG
// entropy data needs a zero byte after every 0xFF; the other streams do not.
#pragma once
#include <stdint.h>
#include <stddef.h>
#include <vector>

namespace rec {

class BitWriter {
public:
    explicit BitWriter(bool jpegStuffing = false) : acc_(0), n_(0), stuff_(jpegStuffing) {}

    // Up to 32 bits of value, high bits first.
    void Put(uint32_t value, int bits) {
        if (bits <= 0) return;
        acc_ = (acc_ << bits) | (value & (bits == 32 ? 0xFFFFFFFFu : ((1u << bits) - 1)));
        n_ += bits;
        while (n_ >= 8) {
            n_ -= 8;
            Emit(static_cast<uint8_t>(acc_ >> n_));
        }
    }
    void PutBit(int bit) { Put(bit ? 1 : 0, 1); }
    // Zero bits up to the next byte (MPEG) or one bits (JPEG's fill).
    void Align() {
        if (n_) Put(stuff_ ? 0xFF : 0, 8 - n_);
    }
    bool Aligned() const { return n_ == 0; }
    void StartCode(uint8_t code) {
        Align();
        RawByte(0);
        RawByte(0);
        RawByte(1);
        RawByte(code);
    }
    // A byte that bypasses stuffing (markers); the writer must be aligned.
    void RawByte(uint8_t b) { buf_.push_back(b); }
    uint64_t BitCount() const { return static_cast<uint64_t>(buf_.size()) * 8 + n_; }
    std::vector<uint8_t>& Bytes() { return buf_; }
    const std::vector<uint8_t>& Bytes() const { return buf_; }
    void Clear() {
        buf_.clear();
        acc_ = 0;
        n_ = 0;
    }

private:
    void Emit(uint8_t b) {
        buf_.push_back(b);
        if (stuff_ && b == 0xFF) buf_.push_back(0);
    }
    std::vector<uint8_t> buf_;
    uint64_t acc_;
    int n_;
    bool stuff_;
};

}  // namespace rec
