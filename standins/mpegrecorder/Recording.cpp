#include "Recording.h"
#include <algorithm>

namespace rec {

bool StreamKindOfType(int type, StreamKind* kind) {
    switch (type) {
    case 1: case 3: case 4: *kind = kMpeg1System; return true;
    case 2: case 7: case 8: case 9: case 10: *kind = kMpeg2Program; return true;
    case 6: *kind = kAvi; return true;
    default: return false;
    }
}

int64_t Recording::FrameTime() const {
    return static_cast<int64_t>(10000000.0 / FrameRateOfCode(c_.frameRateCode) + 0.5);
}

bool Recording::Start(const RecordingConfig& config, ByteSink* sink) {
    c_ = config;
    sink_ = sink;
    if (!StreamKindOfType(c_.type, &kind_)) return false;
    haveZero_ = false;
    framesIn_ = framesOut_ = 0;
    aviVideoBytes_ = 0;
    videoEnded_ = false;
    audioEnded_ = !c_.audio;
    audioStarted_ = false;
    audioSamples_ = 0;
    held_.clear();
    const double fps = FrameRateOfCode(c_.frameRateCode);
    if (kind_ == kAvi) {
        conv_.Configure(c_.srcWidth, c_.srcHeight, c_.width, c_.height, kChroma422, 16, 8);
        jpeg_.Configure(c_.width, c_.height, c_.bitRate, fps);
        AviParams a;
        a.width = c_.width;
        a.height = c_.height;
        static const uint32_t rates[9][2] = {{25, 1},    {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001},
                                             {30, 1},    {50, 1},       {60000, 1001}, {60, 1}};
        int code = (c_.frameRateCode >= 1 && c_.frameRateCode <= 8) ? c_.frameRateCode : 3;
        a.rate = rates[code][0];
        a.scale = rates[code][1];
        a.fourcc = 'M' | ('J' << 8) | ('P' << 16) | ('G' << 24);
        a.audio = c_.audio;
        a.channels = c_.audioChannels;
        a.sampleRate = c_.audioRate;
        a.bits = c_.audioBits;
        a.riffLimit = c_.riffLimit;
        outRate_ = c_.audioRate;
        return avi_.Start(a, sink);
    }
    conv_.Configure(c_.srcWidth, c_.srcHeight, c_.width, c_.height, kChroma420, 16, 16);
    MpegVideoParams v;
    v.mpeg2 = kind_ == kMpeg2Program;
    v.width = c_.width;
    v.height = c_.height;
    v.frameRateCode = c_.frameRateCode;
    v.bitRate = c_.bitRate;
    mpeg_.Configure(v);
    int audioRate = 0;
    if (c_.audio) {
        outRate_ = (c_.type == 7 || c_.type == 8) ? 48000 : 44100;
        audioRate = c_.audioChannels == 2 ? 224000 : 112000;
        layer2_.Configure(outRate_, c_.audioChannels, audioRate);
        resampler_.Configure(c_.audioRate, outRate_, c_.audioChannels);
    }
    MuxParams m;
    m.mpeg2 = v.mpeg2;
    m.videoBitRate = c_.bitRate;
    m.audioBitRate = audioRate;
    mux_.Configure(m, sink);
    return true;
}

void Recording::Video(const uint8_t* yuy2, int stride, int64_t start) {
    if (videoEnded_) return;
    if (!haveZero_) {
        haveZero_ = true;
        zero_ = start;
        std::vector<Held> held;
        held.swap(held_);
        for (Held& h : held) Audio(h.pcm.data(), h.pcm.size(), h.start);
    }
    framesIn_++;
    const int64_t rel = start - zero_;
    const int64_t out = FrameTime();
    bool coded = false;
    // Every grid time before this frame's end shows this frame.
    while (framesOut_ * out < rel + c_.srcFrameTime - out / 8 || framesOut_ == 0) {
        if (kind_ == kAvi) {
            if (!coded) {
                conv_.Convert(yuy2, stride, &pic_);
                coded_.clear();
                jpeg_.Encode(pic_, &coded_);
                coded = true;
            }
            if (!aviAudio_.empty()) {
                avi_.AddAudio(aviAudio_.data(), aviAudio_.size());
                aviAudio_.clear();
            }
            avi_.AddVideo(coded_.data(), coded_.size());
            // Easy pictures come out far below the preset's rate even with
            // the finest tables; the file keeps the preset's rate all the
            // same (as the MPEG types do with padding packets), so that the
            // size estimate of a recording holds.
            aviVideoBytes_ += coded_.size();
            double budget = (framesOut_ + 1) * (c_.bitRate / 8.0) / FrameRateOfCode(c_.frameRateCode);
            if (budget - aviVideoBytes_ > 65536) {
                size_t pad = static_cast<size_t>(budget - aviVideoBytes_);
                avi_.AddPadding(pad);
                aviVideoBytes_ += pad;
            }
        } else {
            coded_.clear();
            if (!coded) {
                conv_.Convert(yuy2, stride, &pic_);
                mpeg_.Encode(pic_, &coded_);
                coded = true;
            } else {
                mpeg_.Repeat(&coded_);
            }
            mux_.AddVideo(coded_.data(), coded_.size(), framesOut_ * out);
        }
        framesOut_++;
    }
    Pump();
}

void Recording::Audio(const uint8_t* pcm, size_t bytes, int64_t start) {
    if (audioEnded_ || !c_.audio) return;
    if (!haveZero_) {
        // Kept until the first frame fixes time zero (two seconds at most).
        held_.push_back({std::vector<uint8_t>(pcm, pcm + bytes), start});
        size_t total = 0;
        for (const Held& h : held_) total += h.pcm.size();
        const size_t perSecond = static_cast<size_t>(c_.audioRate) * c_.audioChannels * c_.audioBits / 8;
        while (total > 2 * perSecond && !held_.empty()) {
            total -= held_.front().pcm.size();
            held_.erase(held_.begin());
        }
        return;
    }
    const int frameBytes = c_.audioChannels * c_.audioBits / 8;
    // Untimed buffers follow on from the ones before.
    int64_t rel = start < 0 ? 0 : start - zero_;
    if (!audioStarted_) {
        // Sound from before the first frame is left out.
        if (rel < 0) {
            int64_t skip = (-rel * c_.audioRate + 9999999) / 10000000;
            size_t skipBytes = static_cast<size_t>(skip) * frameBytes;
            if (skipBytes >= bytes) return;
            pcm += skipBytes;
            bytes -= skipBytes;
            rel = 0;
        }
        audioStarted_ = true;
        audioStart_ = rel;
        if (kind_ == kAvi && rel > 0) {
            // AVI has no time stamps: silence keeps the sound in step.
            size_t gap = static_cast<size_t>(rel * c_.audioRate / 10000000) * frameBytes;
            aviAudio_.insert(aviAudio_.end(), gap, c_.audioBits == 8 ? 0x80 : 0);
        }
    }
    TakeAudio(pcm, bytes);
    Pump();
}

void Recording::TakeAudio(const uint8_t* pcm, size_t bytes) {
    if (kind_ == kAvi) {
        aviAudio_.insert(aviAudio_.end(), pcm, pcm + bytes);
        audioSamples_ += bytes / (c_.audioChannels * c_.audioBits / 8);
        return;
    }
    wide_.clear();
    WidenPcm(pcm, bytes, c_.audioBits, &wide_);
    resampled_.clear();
    resampler_.Process(wide_.data(), static_cast<int>(wide_.size() / c_.audioChannels), &resampled_);
    coded_.clear();
    sizes_.clear();
    layer2_.Feed(resampled_.data(), static_cast<int>(resampled_.size() / c_.audioChannels), &coded_, &sizes_);
    CodeAudio(false);
}

void Recording::CodeAudio(bool flush) {
    if (flush) {
        coded_.clear();
        sizes_.clear();
        layer2_.Flush(&coded_, &sizes_);
    }
    size_t at = 0;
    for (int size : sizes_) {
        int64_t t = audioStart_ + audioSamples_ * 10000000 / outRate_;
        mux_.AddAudio(coded_.data() + at, size, t);
        at += size;
        audioSamples_ += Layer2Encoder::kFrameSamples;
    }
    sizes_.clear();
}

void Recording::Pump() {
    if (kind_ == kAvi) return;
    int64_t now = framesOut_ * FrameTime();
    if (videoEnded_ && c_.audio) now = INT64_MAX;
    if (c_.audio && !audioEnded_) {
        int64_t audioNow = audioStarted_ ? audioStart_ + audioSamples_ * 10000000 / outRate_ : 0;
        now = std::min(now, audioNow);
    }
    if (now != INT64_MAX) mux_.Advance(now);
}

void Recording::VideoEnded() {
    videoEnded_ = true;
    Pump();
}

void Recording::AudioEnded() {
    audioEnded_ = true;
    Pump();
}

void Recording::Finish() {
    if (kind_ == kAvi) {
        if (!aviAudio_.empty()) avi_.AddAudio(aviAudio_.data(), aviAudio_.size());
        aviAudio_.clear();
        avi_.Finish();
        return;
    }
    if (c_.audio && audioStarted_) CodeAudio(true);
    if (framesOut_) {
        coded_.clear();
        mpeg_.End(&coded_);
        // The end code rides with the last picture's data.
        mux_.AddVideo(coded_.data(), coded_.size(), -1);
    }
    mux_.Finish();
}

}  // namespace rec
