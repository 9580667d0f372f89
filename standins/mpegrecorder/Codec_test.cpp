// The recorder's coders and muxers without a graph: the transform against
// its definition, the code tables, scaling, the audio frame layout, pack
// and RIFF structure, and the rate control's convergence.
#include "AudioPrep.h"
#include "AviWriter.h"
#include "MpegVideo.h"
#include "BitWriter.h"
#include "Dct.h"
#include "Layer2.h"
#include "MpegVlc.h"
#include "Picture.h"
#include "RateControl.h"
#include "SystemMux.h"
#include <gtest/gtest.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <string>

using namespace rec;

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
std::string Fcc(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

TEST(Dct, FastTransformMatchesTheDefinition) {
    srand(7);
    for (int trial = 0; trial < 20; trial++) {
        float in[64], fast[64];
        for (int i = 0; i < 64; i++) in[i] = fast[i] = static_cast<float>(rand() % 256 - (trial & 1 ? 128 : 0));
        double ref[64];
        ReferenceDct(in, ref);
        ForwardDct(fast);
        for (int i = 0; i < 64; i++) EXPECT_NEAR(ref[i], fast[i] * DctDescale()[i], 0.01) << i;
    }
}

TEST(Dct, ZigzagVisitsEveryPositionOnceAlongAntiDiagonals) {
    bool seen[64] = {};
    for (int i = 0; i < 64; i++) {
        ASSERT_FALSE(seen[kZigzag[i]]);
        seen[kZigzag[i]] = true;
        if (i) {
            int d0 = kZigzag[i - 1] / 8 + kZigzag[i - 1] % 8, d1 = kZigzag[i] / 8 + kZigzag[i] % 8;
            EXPECT_LE(abs(d1 - d0), 1) << i;
        }
    }
}

TEST(MpegVlc, CoefficientCodesArePrefixFreeWithEscapeAndEndOfBlock) {
    const RunLevelEntry* e;
    int n = RunLevelEntries(&e);
    EXPECT_EQ(111, n);
    std::vector<std::string> codes = {"10", "000001"};  // end of block, escape
    for (int i = 0; i < n; i++) {
        std::string s;
        for (int b = e[i].len - 1; b >= 0; b--) s += ((e[i].code >> b) & 1) ? '1' : '0';
        codes.push_back(s + "s");  // the sign bit belongs to the code
        EXPECT_EQ(e[i].code, RunLevelCode(e[i].run, e[i].level).code);
    }
    for (size_t i = 0; i < codes.size(); i++)
        for (size_t j = 0; j < codes.size(); j++) {
            if (i == j) continue;
            const std::string& a = codes[i];
            const std::string& b = codes[j];
            bool prefix = a.size() <= b.size() && b.compare(0, a.size(), a) == 0;
            if (a.back() == 's') prefix = a.size() <= b.size() && b.compare(0, a.size() - 1, a, 0, a.size() - 1) == 0;
            EXPECT_FALSE(prefix) << a << " / " << b;
        }
    // Kraft: with the sign bits, escape and end of block the table is complete
    // except for the forbidden all-zero prefix.
    double kraft = 0;
    for (const std::string& c : codes) kraft += pow(2.0, -static_cast<double>(c.size() - (c.back() == 's' ? 1 : 0)));
    EXPECT_NEAR(1.0, kraft + pow(2.0, -6) * 0 + 1.0 / 32, 1.0 / 32);
}

TEST(BitWriter, PacksHighBitsFirstAndStuffsJpegData) {
    BitWriter bw;
    bw.Put(1, 1);
    bw.Put(0, 2);
    bw.Put(0x1F, 5);
    bw.Put(0xABCD, 16);
    bw.Put(1, 1);
    bw.Align();
    ASSERT_EQ(4u, bw.Bytes().size());
    EXPECT_EQ(0x9F, bw.Bytes()[0]);
    EXPECT_EQ(0xAB, bw.Bytes()[1]);
    EXPECT_EQ(0xCD, bw.Bytes()[2]);
    EXPECT_EQ(0x80, bw.Bytes()[3]);
    BitWriter jpeg(true);
    jpeg.Put(0xFF, 8);
    jpeg.Put(1, 1);
    jpeg.Align();  // JPEG fills with ones, and the fill byte is stuffed too
    ASSERT_EQ(4u, jpeg.Bytes().size());
    EXPECT_EQ(0x00, jpeg.Bytes()[1]);
    EXPECT_EQ(0xFF, jpeg.Bytes()[2]);
    EXPECT_EQ(0x00, jpeg.Bytes()[3]);
}

TEST(Picture, ShrinksByAreaAndEnlargesBilinearly) {
    // YUY2 720x576: luma columns alternate 0 and 200, chroma flat.
    std::vector<uint8_t> src(720 * 576 * 2);
    for (int i = 0; i < 720 * 576; i++) {
        src[2 * i] = (i % 2) ? 200 : 0;
        src[2 * i + 1] = 90;
    }
    PictureConverter c;
    c.Configure(720, 576, 360, 288, kChroma420, 16, 16);
    Picture p;
    c.Convert(src.data(), 720 * 2, &p);
    EXPECT_EQ(368, p.y.stride);  // whole macroblocks
    for (int y = 0; y < 288; y += 37)
        for (int x = 0; x < 360; x += 13) EXPECT_EQ(100, p.y.Row(y)[x]);
    EXPECT_EQ(100, p.y.Row(287)[365]);  // padding repeats the edge
    EXPECT_EQ(90, p.cb.Row(143)[179]);

    // A ramp enlarged stays a ramp and keeps its ends.
    std::vector<uint8_t> ramp(320 * 240 * 2);
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) {
            ramp[(y * 320 + x) * 2] = static_cast<uint8_t>(x * 255 / 319);
            ramp[(y * 320 + x) * 2 + 1] = 128;
        }
    c.Configure(320, 240, 720, 576, kChroma422, 16, 8);
    c.Convert(ramp.data(), 320 * 2, &p);
    EXPECT_EQ(576, p.cb.height);
    const uint8_t* row = p.y.Row(300);
    EXPECT_EQ(0, row[0]);
    EXPECT_EQ(255, row[719]);
    for (int x = 1; x < 720; x++) EXPECT_GE(row[x], row[x - 1]);
}

// 441 frames at 44.1 kHz are 480 at 48 kHz exactly: every such buffer gives
// that many (with a double step the first gave 481, one of the next
// buffer's), and a ramp comes out on its levels where an output falls on an
// input sample.
TEST(Resampler, WholeBuffersGiveTheirExactShareAndARampStaysOnIt) {
    struct { int in, out, frames, made; } cases[] = {{44100, 48000, 441, 480}, {48000, 44100, 480, 441}};
    for (const auto& c : cases) {
        Resampler r;
        r.Configure(c.in, c.out, 2);
        std::vector<int16_t> buffer(c.frames * 2);
        for (int i = 0; i < c.frames; i++) buffer[2 * i] = buffer[2 * i + 1] = static_cast<int16_t>(1000 + 8 * i);
        for (int b = 0; b < 50; b++) {
            std::vector<int16_t> out;
            r.Process(buffer.data(), c.frames, &out);
            ASSERT_EQ(static_cast<size_t>(c.made * 2), out.size()) << c.in << " buffer " << b;
            if (b)
                continue;
            // Output k stands k x in / out input samples after the one
            // before the buffer (the first sample again).
            for (int k = 1; k < c.made; k++) {
                EXPECT_GE(out[2 * k], out[2 * k - 2]) << c.in << " " << k;
                if (static_cast<int64_t>(k) * c.in % c.out == 0) {
                    int at = static_cast<int>(static_cast<int64_t>(k) * c.in / c.out);
                    EXPECT_EQ(1000 + 8 * (at - 1), out[2 * k]) << c.in << " " << k;
                    EXPECT_EQ(out[2 * k], out[2 * k + 1]);
                }
            }
        }
    }
}

TEST(Layer2, FramesKeepTheNominalRateWithPaddingAt44k) {
    Layer2Encoder enc;
    ASSERT_TRUE(enc.Configure(44100, 2, 224000));
    EXPECT_FALSE(Layer2Encoder().Configure(32000, 2, 224000));
    EXPECT_FALSE(Layer2Encoder().Configure(44100, 2, 225000));
    std::vector<int16_t> pcm(1152 * 2 * 49, 0);
    for (size_t i = 0; i < pcm.size(); i++) pcm[i] = static_cast<int16_t>(8000 * sin(i * 0.07));
    std::vector<uint8_t> out;
    std::vector<int> sizes;
    enc.Feed(pcm.data(), 1152 * 49, &out, &sizes);
    ASSERT_EQ(49u, sizes.size());
    size_t at = 0, total = 0;
    for (int s : sizes) {
        EXPECT_TRUE(s == 731 || s == 732);
        EXPECT_EQ(0xFF, out[at]);
        EXPECT_EQ(0xFD, out[at + 1]);                      // MPEG-1 Layer II, no CRC
        EXPECT_EQ(0xB0 | (s == 732 ? 2 : 0), out[at + 2]);  // 224 kbit/s, 44.1 kHz, padding
        at += s;
        total += s;
    }
    EXPECT_NEAR(144.0 * 224000 / 44100 * 49, static_cast<double>(total), 1.0);

    Layer2Encoder mono;
    ASSERT_TRUE(mono.Configure(48000, 1, 112000));
    out.clear();
    sizes.clear();
    mono.Feed(pcm.data(), 1152 * 3 + 100, &out, &sizes);
    mono.Flush(&out, &sizes);
    ASSERT_EQ(4u, sizes.size());
    for (int s : sizes) EXPECT_EQ(336, s);
    EXPECT_EQ(0xC4, out[3] & 0xCF);  // mono, original
}

// Walks the packs of a program stream.
struct PackScan {
    int packs = 0, videoPts = 0, audioPts = 0;
    bool monotonic = true, endCode = false;
    double lastScr = -1;
    std::vector<uint64_t> scrs;
};
PackScan Scan(const std::vector<uint8_t>& b, bool mpeg2) {
    PackScan s;
    size_t at = 0;
    while (at + 4 <= b.size()) {
        if (b[at] == 0 && b[at + 1] == 0 && b[at + 2] == 1 && b[at + 3] == 0xB9) {
            s.endCode = at + 4 == b.size();
            break;
        }
        EXPECT_EQ(0xBA, b[at + 3]) << at;
        if (b[at + 3] != 0xBA) break;
        uint64_t scr;
        if (mpeg2)
            scr = (static_cast<uint64_t>(b[at + 4] & 0x38) << 27) | (static_cast<uint64_t>(b[at + 4] & 3) << 28) |
                  (b[at + 5] << 20) | ((b[at + 6] & 0xF8) << 12) | ((b[at + 6] & 3) << 13) | (b[at + 7] << 5) |
                  (b[at + 8] >> 3);
        else
            scr = (static_cast<uint64_t>(b[at + 4] & 0x0E) << 29) | (b[at + 5] << 22) | ((b[at + 6] >> 1) << 15) |
                  (b[at + 7] << 7) | (b[at + 8] >> 1);
        if (static_cast<double>(scr) <= s.lastScr) s.monotonic = false;
        s.lastScr = static_cast<double>(scr);
        s.scrs.push_back(scr);
        size_t p = at + (mpeg2 ? 14 : 12);
        while (p < at + 2048) {
            int id = b[p + 3], len = (b[p + 4] << 8) | b[p + 5];
            if (id == 0xE0 || id == 0xC0) {
                bool pts;
                if (mpeg2) {
                    pts = (b[p + 7] & 0x80) != 0;
                } else {
                    size_t q = p + 6;
                    while (b[q] == 0xFF) q++;
                    if ((b[q] & 0xC0) == 0x40) q += 2;
                    pts = (b[q] & 0xF0) == 0x20;
                }
                if (pts) (id == 0xE0 ? s.videoPts : s.audioPts)++;
            }
            p += 6 + len;
        }
        EXPECT_EQ(at + 2048, p) << "pack " << s.packs;
        s.packs++;
        at += 2048;
    }
    return s;
}

TEST(SystemMux, WholePacksAtTheMuxRateWithPtsAtUnitStarts) {
    for (bool mpeg2 : {false, true}) {
        MemorySink sink;
        SystemMux mux;
        MuxParams p;
        p.mpeg2 = mpeg2;
        p.videoBitRate = 1150000;
        p.audioBitRate = 224000;
        mux.Configure(p, &sink);
        std::vector<uint8_t> picture(5000, 0x11), frame(731, 0x22);
        int audioFrames = 0;
        for (int i = 0; i < 50; i++) {
            mux.AddVideo(picture.data(), picture.size(), i * 400000LL);
            while (audioFrames * 1152 * 10000000LL / 44100 < (i + 1) * 400000LL) {
                mux.AddAudio(frame.data(), frame.size(), audioFrames * 1152 * 10000000LL / 44100);
                audioFrames++;
            }
            mux.Advance((i + 1) * 400000LL);
        }
        mux.Finish();
        PackScan s = Scan(sink.bytes, mpeg2);
        EXPECT_TRUE(s.monotonic);
        EXPECT_TRUE(s.endCode);
        EXPECT_EQ(50, s.videoPts);  // each picture starts in a packet of its own
        EXPECT_GT(s.audioPts, 30);
        // Two seconds at the mux rate, give or take the last pack's flush.
        EXPECT_NEAR(2.0 * mux.MuxRate(), static_cast<double>(sink.bytes.size()), 3 * 2048.0);
        // Worked out by hand: (1150000 + 224000) / 8 = 171750 bytes a second,
        // x 1.03 = 176902.5, up to whole 50 bytes 176950. A 2048-byte pack
        // then lasts 2048 x 90000 / 176950 = 1041.65 ticks of 90 kHz, and the
        // SCR of pack n is n of those cut to a tick: packs 3, 123 and 163 at
        // 3124.95, 128122.97 and 169788.98 lie just short of the next tick,
        // packs 20 and 160 at 20833.004 and 166664.03 just past theirs.
        EXPECT_EQ(176950, mux.MuxRate());
        ASSERT_EQ(static_cast<size_t>(s.packs), s.scrs.size());
        ASSERT_GT(s.packs, 163);
        const struct { int pack; uint64_t scr; } scrs[] = {
            {0, 0}, {1, 1041}, {2, 2083}, {3, 3124}, {20, 20833}, {123, 128122}, {160, 166664}, {163, 169788}};
        for (const auto& e : scrs) EXPECT_EQ(e.scr, s.scrs[e.pack]) << "pack " << e.pack;
        for (int i = 1; i < s.packs; i++) {
            const uint64_t step = s.scrs[i] - s.scrs[i - 1];
            ASSERT_TRUE(step == 1041 || step == 1042) << "pack " << i << " " << step << " ticks after the last";
        }
    }
}

TEST(AviWriter, GoesOnInAvixRiffsWithIndexesPastTheLimit) {
    MemorySink sink;
    AviWriter avi;
    AviParams p;
    p.audio = true;
    p.riffLimit = 200000;
    p.fourcc = 'M' | ('J' << 8) | ('P' << 16) | ('G' << 24);
    ASSERT_TRUE(avi.Start(p, &sink));
    std::vector<uint8_t> frame(20001, 0x5A), pcm(7056, 0);
    for (int i = 0; i < 30; i++) {
        avi.AddAudio(pcm.data(), pcm.size());
        avi.AddVideo(frame.data(), frame.size());
    }
    avi.Finish();
    const std::vector<uint8_t>& b = sink.bytes;
    EXPECT_GE(avi.Riffs(), 3);
    // RIFFs follow one another, each within the limit.
    size_t at = 0;
    int riffs = 0;
    while (at < b.size()) {
        ASSERT_EQ("RIFF", Fcc(b, at));
        EXPECT_EQ(riffs ? "AVIX" : "AVI ", Fcc(b, at + 8));
        uint32_t size = Le32(b, at + 4);
        EXPECT_LE(size + 8, p.riffLimit);
        at += 8 + size;
        riffs++;
    }
    EXPECT_EQ(b.size(), at);
    EXPECT_EQ(avi.Riffs(), riffs);
    // The video super index lists one standard index per RIFF; each of them
    // points at '00dc' chunks of the odd frame size.
    size_t indx = 0;
    for (size_t i = 0; i + 4 < 4096; i++)
        if (Fcc(b, i) == "indx") {
            indx = i;
            break;
        }
    ASSERT_NE(0u, indx);
    ASSERT_EQ(static_cast<uint32_t>(riffs), Le32(b, indx + 12));
    uint32_t frames = 0;
    for (int r = 0; r < riffs; r++) {
        size_t e = indx + 32 + 16 * r;
        size_t ix = static_cast<size_t>(Le32(b, e));
        ASSERT_EQ("ix00", Fcc(b, ix));
        uint32_t n = Le32(b, ix + 12);
        uint64_t base = Le32(b, ix + 20);
        size_t first = static_cast<size_t>(base + Le32(b, ix + 32));
        EXPECT_EQ("00dc", Fcc(b, first - 8));
        EXPECT_EQ(20001u, Le32(b, ix + 36));
        frames += n;
    }
    EXPECT_EQ(30u, frames);
}

TEST(RateControl, SettlesOnTheBudgetAndShedsCoefficientsWhenTheCoarsestIsNotEnough) {
    RateControl rc;
    rc.Configure(46000, 2, 31, 8);
    double spent = 0;
    for (int i = 0; i < 100; i++) {
        double bits = 1.0e6 / rc.PictureQuant();  // a picture with this complexity
        spent += bits;
        rc.PictureDone(static_cast<uint64_t>(bits), rc.PictureQuant());
    }
    EXPECT_NEAR(46000 * 100, spent, 46000 * 100 * 0.1);
    EXPECT_EQ(64, rc.Cutoff());
    // Noise: even quantiser 31 spends four times the budget.
    for (int i = 0; i < 30; i++) {
        double bits = 31 * 4 * 46000.0 / rc.PictureQuant() * rc.Cutoff() / 64;
        rc.PictureDone(static_cast<uint64_t>(bits), rc.PictureQuant());
    }
    EXPECT_EQ(31, rc.PictureQuant());
    EXPECT_LT(rc.Cutoff(), 24);
}

}  // namespace

namespace {

// Noise off-station and a flat picture in turns, a second each, at the VCD
// rate: every second's video stays within half of the rate, the whole
// within a fifth.
TEST(MpegVideo, HoldsTheRateOverEverySecondThroughNoiseAndFlatScenes) {
    MpegVideoEncoder enc;
    MpegVideoParams p;
    p.width = 352;
    p.height = 288;
    p.frameRateCode = 3;
    p.bitRate = 1150000;
    enc.Configure(p);
    Picture noise, flat;
    for (Picture* pic : {&noise, &flat}) {
        pic->y.Allocate(352, 288, 352, 288);
        pic->cb.Allocate(176, 144, 176, 144);
        pic->cr.Allocate(176, 144, 176, 144);
    }
    uint32_t seed = 1;
    for (Plane* pl : {&noise.y, &noise.cb, &noise.cr})
        for (uint8_t& v : pl->pix) {
            seed = seed * 1664525u + 1013904223u;
            v = static_cast<uint8_t>(seed >> 24);
        }
    for (Plane* pl : {&flat.y, &flat.cb, &flat.cr}) std::fill(pl->pix.begin(), pl->pix.end(), 100);
    double total = 0;
    for (int second = 0; second < 6; second++) {
        std::vector<uint8_t> out;
        for (int i = 0; i < 25; i++) enc.Encode(second % 2 ? flat : noise, &out);
        double bits = out.size() * 8.0;
        total += bits;
        // Flat pictures cost little whatever the quantiser: only an excess
        // is a fault there.
        EXPECT_LT(bits, 1150000 * 1.5) << "second " << second;
        if (second % 2 == 0) {
            EXPECT_GT(bits, 1150000 * 0.5) << "second " << second;
        }
    }
    EXPECT_LT(total, 6 * 1150000 * 1.2);
}

}  // namespace
