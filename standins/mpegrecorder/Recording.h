// One recording from Pause to Stop, without COM: frames and PCM in, time
// stamped as captured, the file's bytes out through a ByteSink. Pictures are
// put on the preset's frame grid by their time stamps (repeated or dropped),
// converted and scaled, coded as MPEG video or Motion-JPEG; sound is coded
// as Layer II or kept as PCM; the muxer or the AVI writer lays them out.
#pragma once
#include "AudioPrep.h"
#include "AviWriter.h"
#include "ByteSink.h"
#include "Jpeg.h"
#include "Layer2.h"
#include "MpegVideo.h"
#include "Picture.h"
#include "SystemMux.h"
#include <stdint.h>
#include <vector>

namespace rec {

enum StreamKind { kMpeg1System, kMpeg2Program, kAvi };

// What a type code records; false for a code the recorder does not have.
bool StreamKindOfType(int type, StreamKind* kind);

struct RecordingConfig {
    int type = 8;
    int bitRate = 6000000;
    int frameRateCode = 3;
    int width = 720, height = 576;
    int srcWidth = 720, srcHeight = 576;
    int64_t srcFrameTime = 400000;
    bool audio = false;
    int audioRate = 44100, audioChannels = 2, audioBits = 16;
    uint64_t riffLimit = 1ULL << 30;
};

class Recording {
public:
    bool Start(const RecordingConfig& config, ByteSink* sink);
    // One YUY2 frame starting at 'start' (100 ns, the capture's clock).
    void Video(const uint8_t* yuy2, int stride, int64_t start);
    void Audio(const uint8_t* pcm, size_t bytes, int64_t start);
    void VideoEnded();
    void AudioEnded();
    void Finish();

    StreamKind Kind() const { return kind_; }
    int64_t FramesOut() const { return framesOut_; }
    int64_t FramesIn() const { return framesIn_; }
    const Picture& LastPicture() const { return pic_; }

private:
    void TakeAudio(const uint8_t* pcm, size_t bytes);
    void CodeAudio(bool flush);
    void Pump();
    int64_t FrameTime() const;

    RecordingConfig c_;
    StreamKind kind_ = kMpeg1System;
    ByteSink* sink_ = nullptr;
    PictureConverter conv_;
    Picture pic_;
    MpegVideoEncoder mpeg_;
    JpegEncoder jpeg_;
    Layer2Encoder layer2_;
    Resampler resampler_;
    SystemMux mux_;
    AviWriter avi_;

    bool haveZero_ = false;
    int64_t zero_ = 0;          // capture time of the first frame
    int64_t framesIn_ = 0, framesOut_ = 0;
    double aviVideoBytes_ = 0;  // pictures and padding so far
    bool videoEnded_ = false, audioEnded_ = false;
    bool audioStarted_ = false;
    int64_t audioStart_ = 0;    // stream time of the first coded sample
    int64_t audioSamples_ = 0;  // at the coder's rate
    int outRate_ = 44100;
    struct Held {
        std::vector<uint8_t> pcm;
        int64_t start;
    };
    std::vector<Held> held_;    // sound that came before the first frame
    std::vector<int16_t> wide_, resampled_;
    std::vector<uint8_t> coded_, aviAudio_;
    std::vector<int> sizes_;
};

}  // namespace rec
