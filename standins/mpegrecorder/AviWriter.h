// AVI files: hdrl, then movi with the video ('00dc') and audio ('01wb')
// chunks interleaved, then idx1. Past the size limit of one RIFF (1 GB) the
// file goes on in OpenDML 'AVIX' RIFFs; every RIFF's movi carries standard
// indexes (ix00, ix01) listed by the streams' super indexes (indx), so long
// recordings play whole.
#pragma once
#include "ByteSink.h"
#include <stdint.h>
#include <string>
#include <vector>

namespace rec {

struct AviParams {
    int width = 640, height = 480;
    uint32_t rate = 25, scale = 1;  // frames per second = rate / scale
    uint32_t fourcc = 0;            // video compression
    int bitCount = 24;
    bool audio = false;
    int channels = 2, sampleRate = 44100, bits = 16;
    uint64_t riffLimit = 1ULL << 30;
};

class AviWriter {
public:
    bool Start(const AviParams& params, ByteSink* sink);
    void AddVideo(const uint8_t* data, size_t size);
    void AddAudio(const uint8_t* data, size_t size);
    // A 'JUNK' chunk of this many bytes in all, which readers skip.
    void AddPadding(size_t size);
    void Finish();
    int Riffs() const { return riffs_; }
    uint32_t Frames() const { return frames_; }

private:
    struct Entry {
        uint64_t offset;  // of the chunk's header
        uint32_t size;
    };
    static const int kSuperEntries = 256;
    void Chunk(uint32_t fcc, const uint8_t* data, size_t size, int stream);
    void OpenRiff();
    void CloseRiff();
    void Patch32(uint64_t at, uint32_t v);

    AviParams p_;
    ByteSink* sink_ = nullptr;
    int riffs_ = 0;
    uint64_t riffStart_ = 0, moviStart_ = 0;  // of the RIFF and movi size fields
    std::vector<Entry> entries_[2];            // this RIFF's chunks per stream
    std::vector<Entry> idx1_[2];               // the first RIFF's, for idx1
    struct Super {
        uint64_t offset;
        uint32_t size, duration;
    };
    std::vector<Super> supers_[2];
    uint64_t avihAt_ = 0, strhLengthAt_[2] = {0, 0}, indxAt_[2] = {0, 0}, dmlhAt_ = 0;
    uint32_t frames_ = 0, firstRiffFrames_ = 0;
    uint64_t audioBytes_ = 0;
    uint32_t maxVideo_ = 0, maxAudio_ = 0;
    bool open_ = false;
};

}  // namespace rec
