// MPEG-1 system stream and MPEG-2 program stream multiplexer: 2048-byte
// packs at a constant mux rate, each with its SCR; a system header in the
// first; video (0xE0) and audio (0xC0) packets with a PTS wherever a picture
// or an audio frame starts; padding where neither has data due; the end code.
// Times are 100 ns units from the first video frame; every PTS is a fixed
// delay ahead of the clock the packs are written against.
#pragma once
#include "ByteSink.h"
#include <stdint.h>
#include <deque>
#include <vector>

namespace rec {

struct MuxParams {
    bool mpeg2 = false;
    int videoBitRate = 0;
    int audioBitRate = 0;  // 0: no audio stream
};

class SystemMux {
public:
    static const int kPackSize = 2048;
    static const int64_t kDelay = 3000000;  // PTS ahead of the clock: 0.3 s

    void Configure(const MuxParams& params, ByteSink* sink);
    // One access unit (a coded picture or an audio frame); a negative time
    // adds the bytes to the unit before (the end code).
    void AddVideo(const uint8_t* data, size_t size, int64_t time);
    void AddAudio(const uint8_t* data, size_t size, int64_t time);
    // The inputs are complete up to this time: packs are written up to it.
    void Advance(int64_t now);
    // Writes everything still queued, then the end code.
    void Finish();
    int MuxRate() const { return muxRate_; }  // bytes per second
    int64_t Packs() const { return packs_; }

private:
    struct Unit {
        uint64_t start;  // stream offset of its first byte
        int64_t pts;     // 90 kHz
    };
    struct Stream {
        uint8_t id = 0;
        std::deque<uint8_t> data;
        uint64_t sent = 0;  // stream offset of data.front()
        std::deque<Unit> units;
        bool bufferSent = false;
    };
    void Add(Stream* s, const uint8_t* data, size_t size, int64_t time);
    void WritePack();
    Stream* Due();
    void PackHeader(std::vector<uint8_t>* p);
    void SystemHeader(std::vector<uint8_t>* p);
    // A padding packet of this many bytes in all.
    void Padding(std::vector<uint8_t>* p, size_t bytes);

    MuxParams p_;
    ByteSink* sink_ = nullptr;
    // Packs' bytes in 90 kHz ticks times the mux rate, and the SCR of the
    // next pack (90 kHz).
    int64_t PackBytesTicks(int64_t packs) const;
    int64_t Scr() const;

    int muxRate_ = 0;
    int64_t packs_ = 0;
    Stream video_, audio_;
};

}  // namespace rec
