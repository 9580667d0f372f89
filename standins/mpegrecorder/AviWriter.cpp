#include "AviWriter.h"
#include <string.h>
#include <algorithm>

namespace rec {

namespace {

uint32_t Fcc(const char* s) {
    return static_cast<uint32_t>(s[0]) | (static_cast<uint32_t>(s[1]) << 8) |
           (static_cast<uint32_t>(s[2]) << 16) | (static_cast<uint32_t>(s[3]) << 24);
}

class Bytes {
public:
    void U8(uint8_t v) { b.push_back(v); }
    void U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void F(const char* s) { U32(Fcc(s)); }
    void Zeros(size_t n) { b.insert(b.end(), n, 0); }
    size_t Size() const { return b.size(); }
    void Set32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    std::vector<uint8_t> b;
};

const uint32_t kStreamIds[2] = {Fcc("00dc"), Fcc("01wb")};
const char* const kIxIds[2] = {"ix00", "ix01"};

}  // namespace

void AviWriter::Patch32(uint64_t at, uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    sink_->Overwrite(at, b, 4);
}

bool AviWriter::Start(const AviParams& params, ByteSink* sink) {
    p_ = params;
    sink_ = sink;
    const int streams = p_.audio ? 2 : 1;
    const int blockAlign = p_.channels * p_.bits / 8;
    Bytes h;
    h.F("RIFF");
    h.U32(0);
    h.F("AVI ");
    h.F("LIST");
    size_t hdrlSize = h.Size();
    h.U32(0);
    h.F("hdrl");
    h.F("avih");
    h.U32(56);
    avihAt_ = h.Size();
    h.U32(static_cast<uint32_t>(1000000ULL * p_.scale / p_.rate));
    h.U32(0);  // max bytes per second, patched
    h.U32(0);
    h.U32(0x10 | 0x100);  // has index, interleaved
    h.U32(0);             // frames in the first RIFF, patched
    h.U32(0);
    h.U32(streams);
    h.U32(0);
    h.U32(p_.width);
    h.U32(p_.height);
    h.Zeros(16);
    for (int s = 0; s < streams; s++) {
        h.F("LIST");
        size_t strlSize = h.Size();
        h.U32(0);
        h.F("strl");
        h.F("strh");
        h.U32(56);
        if (s == 0) {
            h.F("vids");
            h.U32(p_.fourcc);
            h.U32(0);
            h.U32(0);
            h.U32(0);
            h.U32(p_.scale);
            h.U32(p_.rate);
            h.U32(0);
            strhLengthAt_[0] = h.Size();
            h.U32(0);
            h.U32(0);
            h.U32(0xFFFFFFFF);
            h.U32(0);
            h.U16(0);
            h.U16(0);
            h.U16(static_cast<uint16_t>(p_.width));
            h.U16(static_cast<uint16_t>(p_.height));
            h.F("strf");
            h.U32(40);
            h.U32(40);
            h.U32(p_.width);
            h.U32(p_.height);
            h.U16(1);
            h.U16(static_cast<uint16_t>(p_.bitCount));
            h.U32(p_.fourcc);
            h.U32(p_.width * p_.height * p_.bitCount / 8);
            h.Zeros(16);
        } else {
            h.F("auds");
            h.U32(0);
            h.U32(0);
            h.U32(0);
            h.U32(0);
            h.U32(blockAlign);
            h.U32(p_.sampleRate * blockAlign);
            h.U32(0);
            strhLengthAt_[1] = h.Size();
            h.U32(0);
            h.U32(p_.sampleRate * blockAlign);
            h.U32(0xFFFFFFFF);
            h.U32(blockAlign);
            h.Zeros(8);
            h.F("strf");
            h.U32(18);
            h.U16(1);  // PCM
            h.U16(static_cast<uint16_t>(p_.channels));
            h.U32(p_.sampleRate);
            h.U32(p_.sampleRate * blockAlign);
            h.U16(static_cast<uint16_t>(blockAlign));
            h.U16(static_cast<uint16_t>(p_.bits));
            h.U16(0);
        }
        // Super index, filled in at the end.
        h.F("indx");
        h.U32(24 + 16 * kSuperEntries);
        indxAt_[s] = h.Size();
        h.U16(4);
        h.U8(0);
        h.U8(0);  // an index of indexes
        h.U32(0);
        h.U32(kStreamIds[s]);
        h.Zeros(12);
        h.Zeros(16 * kSuperEntries);
        h.Set32(strlSize, static_cast<uint32_t>(h.Size() - strlSize - 4));
    }
    h.F("LIST");
    h.U32(4 + 8 + 248);
    h.F("odml");
    h.F("dmlh");
    h.U32(248);
    dmlhAt_ = h.Size();
    h.Zeros(248);
    h.Set32(hdrlSize, static_cast<uint32_t>(h.Size() - hdrlSize - 4));
    h.F("LIST");
    moviStart_ = h.Size();
    h.U32(0);
    h.F("movi");
    h.Set32(4, 0);
    riffStart_ = 4;
    riffs_ = 1;
    frames_ = firstRiffFrames_ = 0;
    audioBytes_ = 0;
    maxVideo_ = maxAudio_ = 0;
    for (int s = 0; s < 2; s++) {
        entries_[s].clear();
        idx1_[s].clear();
        supers_[s].clear();
    }
    open_ = sink_->Append(h.b.data(), h.b.size());
    return open_;
}

void AviWriter::OpenRiff() {
    Bytes h;
    h.F("RIFF");
    h.U32(0);
    h.F("AVIX");
    h.F("LIST");
    h.U32(0);
    h.F("movi");
    uint64_t at = sink_->Size();
    if (!sink_->Append(h.b.data(), h.b.size())) return;
    riffStart_ = at + 4;
    moviStart_ = at + 16;
    riffs_++;
}

void AviWriter::CloseRiff() {
    // Standard indexes of this movi's chunks, one per stream.
    const int streams = p_.audio ? 2 : 1;
    for (int s = 0; s < streams; s++) {
        const std::vector<Entry>& e = entries_[s];
        if (e.empty()) continue;
        uint64_t base = e.front().offset;
        Bytes ix;
        ix.F(kIxIds[s]);
        ix.U32(static_cast<uint32_t>(24 + 8 * e.size()));
        ix.U16(2);
        ix.U8(0);
        ix.U8(1);  // an index of chunks
        ix.U32(static_cast<uint32_t>(e.size()));
        ix.U32(kStreamIds[s]);
        ix.U64(base);
        ix.U32(0);
        uint32_t duration = 0;
        for (const Entry& x : e) {
            ix.U32(static_cast<uint32_t>(x.offset + 8 - base));
            ix.U32(x.size);  // every frame a key frame
            duration += s == 0 ? 1 : x.size / (p_.channels * p_.bits / 8);
        }
        uint64_t at = sink_->Size();
        if (sink_->Append(ix.b.data(), ix.b.size()) && supers_[s].size() < kSuperEntries)
            supers_[s].push_back({at, static_cast<uint32_t>(ix.Size()), duration});
    }
    uint64_t end = sink_->Size();
    Patch32(moviStart_, static_cast<uint32_t>(end - moviStart_ - 4));
    if (riffs_ == 1) {
        // The legacy index of the first RIFF, offsets from the 'movi' tag,
        // in file order.
        std::vector<std::pair<Entry, int>> all;
        for (int s = 0; s < streams; s++)
            for (const Entry& x : idx1_[s]) all.push_back({x, s});
        std::sort(all.begin(), all.end(),
                  [](const std::pair<Entry, int>& a, const std::pair<Entry, int>& b) {
                      return a.first.offset < b.first.offset;
                  });
        Bytes idx;
        idx.F("idx1");
        idx.U32(static_cast<uint32_t>(16 * all.size()));
        for (const auto& x : all) {
            idx.U32(kStreamIds[x.second]);
            idx.U32(0x10);  // key frame
            idx.U32(static_cast<uint32_t>(x.first.offset - (moviStart_ + 4)));
            idx.U32(x.first.size);
        }
        sink_->Append(idx.b.data(), idx.b.size());
        firstRiffFrames_ = frames_;
        end = sink_->Size();
    }
    Patch32(riffStart_, static_cast<uint32_t>(end - riffStart_ - 4));
    entries_[0].clear();
    entries_[1].clear();
}

void AviWriter::Chunk(uint32_t fcc, const uint8_t* data, size_t size, int stream) {
    if (!open_) return;
    // Room for this chunk, the indexes and (first RIFF) idx1.
    uint64_t pending = 8 + size + 64 + 8 * (entries_[0].size() + entries_[1].size());
    if (riffs_ == 1) pending += 16 * (idx1_[0].size() + idx1_[1].size() + 1);
    if (sink_->Size() - (riffStart_ - 4) + pending > p_.riffLimit &&
        !(entries_[0].empty() && entries_[1].empty())) {
        CloseRiff();
        OpenRiff();
    }
    uint64_t at = sink_->Size();
    if (!data) {
        // Padding: zeros, written from a block of them.
        static const uint8_t zeros[65536] = {};
        uint8_t head[8];
        for (int i = 0; i < 4; i++) {
            head[i] = static_cast<uint8_t>(fcc >> (8 * i));
            head[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        }
        if (!sink_->Append(head, 8)) return;
        for (size_t left = size; left;) {
            size_t n = std::min(left, sizeof(zeros));
            if (!sink_->Append(zeros, n)) return;
            left -= n;
        }
        return;
    }
    std::vector<uint8_t> c(8 + size + (size & 1), 0);
    for (int i = 0; i < 4; i++) {
        c[i] = static_cast<uint8_t>(fcc >> (8 * i));
        c[4 + i] = static_cast<uint8_t>(size >> (8 * i));
    }
    if (size) memcpy(&c[8], data, size);
    if (!sink_->Append(c.data(), c.size())) return;
    Entry e = {at, static_cast<uint32_t>(size)};
    entries_[stream].push_back(e);
    if (riffs_ == 1) idx1_[stream].push_back(e);
}

void AviWriter::AddVideo(const uint8_t* data, size_t size) {
    Chunk(kStreamIds[0], data, size, 0);
    frames_++;
    maxVideo_ = std::max(maxVideo_, static_cast<uint32_t>(size));
}

void AviWriter::AddAudio(const uint8_t* data, size_t size) {
    if (!p_.audio || !size) return;
    Chunk(kStreamIds[1], data, size, 1);
    audioBytes_ += size;
    maxAudio_ = std::max(maxAudio_, static_cast<uint32_t>(size));
}

void AviWriter::AddPadding(size_t size) {
    if (size < 8) return;
    Chunk(Fcc("JUNK"), NULL, (size - 8) & ~static_cast<size_t>(1), -1);
}

void AviWriter::Finish() {
    if (!open_) return;
    CloseRiff();
    const int streams = p_.audio ? 2 : 1;
    const int blockAlign = p_.channels * p_.bits / 8;
    Patch32(avihAt_ + 4, static_cast<uint32_t>((static_cast<uint64_t>(maxVideo_) * p_.rate / p_.scale) +
                                               (p_.audio ? p_.sampleRate * blockAlign : 0)));
    Patch32(avihAt_ + 16, firstRiffFrames_);
    Patch32(avihAt_ + 28, maxVideo_ + maxAudio_ + 16);
    Patch32(strhLengthAt_[0], frames_);
    Patch32(strhLengthAt_[0] + 4, maxVideo_);
    if (p_.audio) Patch32(strhLengthAt_[1], static_cast<uint32_t>(audioBytes_ / blockAlign));
    Patch32(dmlhAt_, frames_);
    for (int s = 0; s < streams; s++) {
        Patch32(indxAt_[s] + 4, static_cast<uint32_t>(supers_[s].size()));
        Bytes e;
        for (const Super& x : supers_[s]) {
            e.U64(x.offset);
            e.U32(x.size);
            e.U32(x.duration);
        }
        if (e.Size()) sink_->Overwrite(indxAt_[s] + 24, e.b.data(), e.Size());
    }
    open_ = false;
}

}  // namespace rec
