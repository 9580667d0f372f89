#include "SystemMux.h"
#include <algorithm>

namespace rec {

namespace {

void PutTime(std::vector<uint8_t>* p, int prefix, int64_t t) {
    uint64_t v = static_cast<uint64_t>(t) & 0x1FFFFFFFFULL;
    p->push_back(static_cast<uint8_t>((prefix << 4) | ((v >> 29) & 0x0E) | 1));
    p->push_back(static_cast<uint8_t>(v >> 22));
    p->push_back(static_cast<uint8_t>(((v >> 14) & 0xFE) | 1));
    p->push_back(static_cast<uint8_t>(v >> 7));
    p->push_back(static_cast<uint8_t>(((v << 1) & 0xFE) | 1));
}

void Put16(std::vector<uint8_t>* p, int v) {
    p->push_back(static_cast<uint8_t>(v >> 8));
    p->push_back(static_cast<uint8_t>(v));
}

void StartCode(std::vector<uint8_t>* p, uint8_t code) {
    p->push_back(0);
    p->push_back(0);
    p->push_back(1);
    p->push_back(code);
}

int64_t To90k(int64_t t) { return t * 9 / 1000; }

}  // namespace

void SystemMux::Configure(const MuxParams& params, ByteSink* sink) {
    p_ = params;
    sink_ = sink;
    // The packs' own headers take a little under 2% of each pack; the rest
    // of the margin is for the rate control's deviations.
    // In integers: bits / 8 x 1.03 is (bits x 103) / 800, brought up to
    // the next 50 bytes.
    const int64_t rate800 = (static_cast<int64_t>(params.videoBitRate) + params.audioBitRate) * 103;
    muxRate_ = static_cast<int>((rate800 + 49 * 800) / (50 * 800)) * 50;
    packs_ = 0;
    video_ = Stream();
    audio_ = Stream();
    video_.id = 0xE0;
    audio_.id = 0xC0;
}

void SystemMux::Add(Stream* s, const uint8_t* data, size_t size, int64_t time) {
    if (!size) return;
    uint64_t start = s->sent + s->data.size();
    if (time >= 0) s->units.push_back({start, To90k(time + kDelay)});
    s->data.insert(s->data.end(), data, data + size);
}

void SystemMux::AddVideo(const uint8_t* data, size_t size, int64_t time) { Add(&video_, data, size, time); }
void SystemMux::AddAudio(const uint8_t* data, size_t size, int64_t time) { Add(&audio_, data, size, time); }

SystemMux::Stream* SystemMux::Due() {
    Stream* best = nullptr;
    int64_t bestPts = 0;
    for (Stream* s : {&video_, &audio_}) {
        if (s->data.empty()) continue;
        // The unit the first unsent byte belongs to.
        while (s->units.size() > 1 && s->units[1].start <= s->sent) s->units.pop_front();
        int64_t pts = s->units.empty() ? 0 : s->units.front().pts;
        if (!best || pts < bestPts) {
            best = s;
            bestPts = pts;
        }
    }
    return best;
}

// The clock of pack n is n packs' bytes at the mux rate, in 90 kHz ticks.
// It is compared and cut as whole numbers (ticks times the rate), not as a
// double sum of each pack's ticks: that sum's rounding piles up pack by pack
// and goes the way of the build's arithmetic (extended precision in the
// 32-bit one), which decides when a pack falls due and where an SCR is cut.
int64_t SystemMux::PackBytesTicks(int64_t packs) const { return packs * kPackSize * 90000; }

int64_t SystemMux::Scr() const { return muxRate_ > 0 ? PackBytesTicks(packs_) / muxRate_ : 0; }

void SystemMux::Advance(int64_t now) {
    const int64_t clock = To90k(now);
    while (PackBytesTicks(packs_ + 1) <= clock * muxRate_) WritePack();
    // More data than the rate carries: write ahead rather than let data
    // reach the decoder after its time.
    for (;;) {
        Stream* s = Due();
        if (!s || (Due()->units.front().pts - To90k(kDelay) / 2) * muxRate_ > PackBytesTicks(packs_)) break;
        WritePack();
    }
}

void SystemMux::Finish() {
    while (Due()) WritePack();
    std::vector<uint8_t> end;
    StartCode(&end, 0xB9);
    sink_->Append(end.data(), end.size());
}

void SystemMux::PackHeader(std::vector<uint8_t>* p) {
    const int64_t scr = Scr();
    const int rate = muxRate_ / 50;
    StartCode(p, 0xBA);
    if (p_.mpeg2) {
        uint64_t v = static_cast<uint64_t>(scr);
        p->push_back(static_cast<uint8_t>(0x44 | ((v >> 27) & 0x38) | ((v >> 28) & 0x03)));
        p->push_back(static_cast<uint8_t>(v >> 20));
        p->push_back(static_cast<uint8_t>(((v >> 12) & 0xF8) | 0x04 | ((v >> 13) & 0x03)));
        p->push_back(static_cast<uint8_t>(v >> 5));
        p->push_back(static_cast<uint8_t>(((v << 3) & 0xF8) | 0x04));  // extension 0
        p->push_back(0x01);
        p->push_back(static_cast<uint8_t>(rate >> 14));
        p->push_back(static_cast<uint8_t>(rate >> 6));
        p->push_back(static_cast<uint8_t>(((rate << 2) & 0xFC) | 0x03));
        p->push_back(0xF8);  // no pack stuffing
    } else {
        PutTime(p, 2, scr);
        p->push_back(static_cast<uint8_t>(0x80 | (rate >> 15)));
        p->push_back(static_cast<uint8_t>(rate >> 7));
        p->push_back(static_cast<uint8_t>((rate << 1) | 1));
    }
}

void SystemMux::SystemHeader(std::vector<uint8_t>* p) {
    const int streams = p_.audioBitRate ? 2 : 1;
    const int rate = muxRate_ / 50;
    StartCode(p, 0xBB);
    Put16(p, 6 + 3 * streams);
    p->push_back(static_cast<uint8_t>(0x80 | (rate >> 15)));
    p->push_back(static_cast<uint8_t>(rate >> 7));
    p->push_back(static_cast<uint8_t>((rate << 1) | 1));
    p->push_back(static_cast<uint8_t>(((p_.audioBitRate ? 1 : 0) << 2)));  // audio bound, variable, no CSPS
    p->push_back(0x20 | 0x01);  // no locks, marker, one video stream
    p->push_back(p_.mpeg2 ? 0x7F : 0xFF);
    // Buffer bounds: a video buffer of 232 KB (1024-byte units), audio 32 KB.
    p->push_back(0xE0);
    Put16(p, 0xE000 | 232);
    if (p_.audioBitRate) {
        p->push_back(0xC0);
        Put16(p, 0xC000 | 256);
    }
}

void SystemMux::Padding(std::vector<uint8_t>* p, size_t bytes) {
    StartCode(p, 0xBE);
    int len = static_cast<int>(bytes) - 6;
    Put16(p, len);
    if (!p_.mpeg2) {
        p->push_back(0x0F);  // MPEG-1 packets carry the no-time-stamp byte
        len--;
    }
    p->insert(p->end(), len, 0xFF);
}

void SystemMux::WritePack() {
    std::vector<uint8_t> p;
    p.reserve(kPackSize);
    PackHeader(&p);
    if (packs_ == 0) SystemHeader(&p);

    Stream* s = Due();
    const size_t room = kPackSize - p.size();
    if (!s) {
        // Nothing due: the pack holds padding only.
        Padding(&p, room);
    } else {
        // Fixed header size (with a PTS); without one the PTS's bytes
        // become stuffing.
        const size_t header = p_.mpeg2 ? 14 : 13;
        size_t payload = std::min(room - header, s->data.size());
        size_t gap = room - header - payload;
        // A gap too small for a padding packet is stuffed in the header.
        size_t stuffing = gap < 7 ? gap : 0;
        size_t padding = gap - stuffing;
        // The first unit starting in this payload gives the packet its PTS.
        const Unit* unit = nullptr;
        for (const Unit& u : s->units)
            if (u.start >= s->sent && u.start < s->sent + payload) {
                unit = &u;
                break;
            }
        StartCode(&p, s->id);
        if (p_.mpeg2) {
            const size_t hdrData = 5 + stuffing;
            Put16(&p, static_cast<int>(3 + hdrData + payload));
            p.push_back(0x81);
            p.push_back(unit ? 0x80 : 0x00);
            p.push_back(static_cast<uint8_t>(hdrData));
            if (unit) PutTime(&p, 2, unit->pts);
            else p.insert(p.end(), 5, 0xFF);
            p.insert(p.end(), stuffing, 0xFF);
        } else {
            Put16(&p, static_cast<int>(7 + stuffing + payload));
            p.insert(p.end(), stuffing + (unit ? 0 : 4), 0xFF);
            // Buffer size: video in 1024-byte units, audio in 128-byte ones.
            if (s == &video_) Put16(&p, 0x6000 | 232);
            else Put16(&p, 0x4000 | 256);
            if (unit) PutTime(&p, 2, unit->pts);
            else p.push_back(0x0F);
        }
        p.insert(p.end(), s->data.begin(), s->data.begin() + payload);
        s->data.erase(s->data.begin(), s->data.begin() + payload);
        s->sent += payload;
        if (padding) Padding(&p, padding);
    }
    sink_->Append(p.data(), p.size());
    packs_++;
}

}  // namespace rec
