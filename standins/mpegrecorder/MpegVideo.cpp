#include "MpegVideo.h"
#include "Dct.h"
#include "MpegVlc.h"
#include <math.h>
#include <string.h>
#include <algorithm>

namespace rec {

namespace {

// The default intra quantiser matrix, raster order.
const uint8_t kIntraMatrix[64] = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37,
    19, 22, 26, 27, 29, 34, 34, 38, 22, 22, 26, 27, 29, 34, 37, 40,
    22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32, 35, 40, 48, 58,
    26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83};

const double kFrameRates[9] = {0, 24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};

const int kGopLength = 15;

// MPEG-1 gives the pixel shape, not the picture's: the code whose ratio
// comes nearest a 4:3 picture of this size.
int Mpeg1AspectCode(int w, int h) {
    static const double ratios[15] = {0,      1.0,    0.6735, 0.7031, 0.7615, 0.8055, 0.8437, 0.8935,
                                      0.9157, 0.9815, 1.0255, 1.0695, 1.0950, 1.1575, 1.2015};
    double want = (static_cast<double>(w) / h) / (4.0 / 3.0);
    int best = 1;
    for (int c = 1; c < 15; c++)
        if (fabs(ratios[c] - want) < fabs(ratios[best] - want)) best = c;
    return best;
}

inline int RoundToInt(float v) { return static_cast<int>(v < 0 ? v - 0.5f : v + 0.5f); }

}  // namespace

double FrameRateOfCode(int code) { return (code >= 1 && code <= 8) ? kFrameRates[code] : 25.0; }

void MpegVideoEncoder::Configure(const MpegVideoParams& params) {
    p_ = params;
    mbw_ = (p_.width + 15) / 16;
    mbh_ = (p_.height + 15) / 16;
    count_ = 0;
    lastQ_ = 0;
    last_.clear();
    double perPicture = p_.bitRate / FrameRateOfCode(p_.frameRateCode);
    // MPEG-1's escape holds levels up to 255 only: a quantiser of 1 would
    // clip the strongest coefficients.
    // The first picture's quantiser from the bits a macroblock may take.
    double perMacroblock = perPicture / (mbw_ * mbh_);
    int startQ = static_cast<int>(8 * 200 / std::max(perMacroblock, 1.0));
    rc_.Configure(perPicture, p_.mpeg2 ? 1 : 2, 31, std::min(std::max(startQ, 2), 31));
    const float* descale = DctDescale();
    for (int q = 1; q < 32; q++)
        for (int i = 0; i < 64; i++) mult_[q][i] = descale[i] * 8.0f / (kIntraMatrix[i] * q);
    for (int i = 0; i < 64; i++) mult_[0][i] = 0;
}

void MpegVideoEncoder::Headers(BitWriter* bw, bool predicted) {
    const int inGop = count_ % kGopLength;
    if (inGop == 0) {
        bw->StartCode(0xB3);  // sequence header
        bw->Put(p_.width & 0xFFF, 12);
        bw->Put(p_.height & 0xFFF, 12);
        bw->Put(p_.mpeg2 ? 2 : Mpeg1AspectCode(p_.width, p_.height), 4);
        bw->Put(p_.frameRateCode, 4);
        bw->Put(std::min((p_.bitRate + 399) / 400, 0x3FFFF), 18);
        bw->PutBit(1);
        // Intra pictures need a decoder buffer of about two of them.
        int vbv = p_.mpeg2 ? 112 : std::min(1023, std::max(20, static_cast<int>(rc_.Target() * 3 / 16384)));
        bw->Put(vbv, 10);
        bw->PutBit(0);  // not constrained
        bw->PutBit(0);  // default intra matrix
        bw->PutBit(0);  // default non-intra matrix
        if (p_.mpeg2) {
            bw->StartCode(0xB5);  // sequence extension
            bw->Put(1, 4);
            bw->Put(0x48, 8);  // main profile, main level
            bw->PutBit(1);     // progressive sequence
            bw->Put(1, 2);     // 4:2:0
            bw->Put(0, 2);
            bw->Put(0, 2);
            bw->Put(0, 12);  // bit rate extension
            bw->PutBit(1);
            bw->Put(0, 8);   // vbv extension
            bw->PutBit(1);   // low delay: no B-pictures
            bw->Put(0, 2);
            bw->Put(0, 5);
        }
        // GOP header with the time code of its first picture.
        int fps = static_cast<int>(FrameRateOfCode(p_.frameRateCode) + 0.5);
        int frames = count_;
        int pictures = frames % fps, seconds = frames / fps;
        bw->StartCode(0xB8);
        bw->PutBit(0);  // no drop frame
        bw->Put((seconds / 3600) % 24, 5);
        bw->Put((seconds / 60) % 60, 6);
        bw->PutBit(1);
        bw->Put(seconds % 60, 6);
        bw->Put(pictures, 6);
        bw->PutBit(1);  // closed
        bw->PutBit(0);
    }
    bw->StartCode(0x00);  // picture header
    bw->Put(inGop, 10);
    bw->Put(predicted ? 2 : 1, 3);
    bw->Put(0xFFFF, 16);
    if (predicted) {
        bw->PutBit(0);                    // half-pel vectors
        bw->Put(p_.mpeg2 ? 7 : 1, 3);     // forward f_code (MPEG-2: in the extension)
    }
    bw->PutBit(0);
    if (p_.mpeg2) {
        bw->StartCode(0xB5);  // picture coding extension
        bw->Put(8, 4);
        bw->Put(predicted ? 0x11FF : 0xFFFF, 16);  // forward vectors only in P
        bw->Put(0, 2);        // 8-bit DC
        bw->Put(3, 2);        // frame picture
        bw->PutBit(0);        // top field first
        bw->PutBit(1);        // frame DCT only
        bw->PutBit(0);        // concealment vectors
        bw->PutBit(0);        // linear quantiser scale
        bw->PutBit(0);        // intra VLC table zero
        bw->PutBit(0);        // zig-zag scan
        bw->PutBit(0);        // repeat first field
        bw->PutBit(1);        // chroma 4:2:0 type
        bw->PutBit(1);        // progressive frame
        bw->PutBit(0);
    }
    bw->Align();
}

void MpegVideoEncoder::EncodeBlock(BitWriter* bw, const uint8_t* src, int stride, int comp, int q,
                                   int cutoff) {
    float b[64];
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) b[y * 8 + x] = src[y * stride + x];
    ForwardDct(b);
    const float* m = mult_[q];
    // DC: eight-bit precision, coded as the difference from the last block
    // of the same component.
    int dc = RoundToInt(b[0] * DctDescale()[0] * 0.125f);
    dc = std::min(std::max(dc, 0), 255);
    int diff = dc - dcPred_[comp];
    dcPred_[comp] = dc;
    int mag = diff < 0 ? -diff : diff, size = 0;
    while (mag >> size) size++;
    const Vlc& dcv = DcSizeCode(comp != 0, size);
    bw->Put(dcv.code, dcv.len);
    if (size) bw->Put(diff > 0 ? diff : diff + (1 << size) - 1, size);

    const int maxLevel = p_.mpeg2 ? 2047 : 255;
    int run = 0;
    for (int i = 1; i < cutoff; i++) {
        const int k = kZigzag[i];
        int level = RoundToInt(b[k] * m[k]);
        if (!level) {
            run++;
            continue;
        }
        level = std::min(std::max(level, -maxLevel), maxLevel);
        int a = level < 0 ? -level : level;
        const Vlc* v = (run < 32 && a <= 40) ? &RunLevelCode(run, a) : NULL;
        if (v && v->len) {
            bw->Put((static_cast<uint32_t>(v->code) << 1) | (level < 0), v->len + 1);
        } else {
            bw->Put(1, 6);  // escape
            bw->Put(run, 6);
            if (p_.mpeg2) {
                bw->Put(level & 0xFFF, 12);
            } else if (a < 128) {
                bw->Put(level & 0xFF, 8);
            } else {
                bw->Put(level < 0 ? 0x80 : 0x00, 8);
                bw->Put(level & 0xFF, 8);
            }
        }
        run = 0;
    }
    bw->Put(2, 2);  // end of block
}

void MpegVideoEncoder::EncodeSlices(const Picture& pic) {
    slices_.Clear();
    double qSum = 0;
    for (int row = 0; row < mbh_; row++) {
        int cutoff;
        int q = rc_.SliceQuant(row, mbh_, slices_.BitCount(), &cutoff);
        qSum += q;
        slices_.StartCode(static_cast<uint8_t>(row + 1));
        slices_.Put(q, 5);
        slices_.PutBit(0);
        dcPred_[0] = dcPred_[1] = dcPred_[2] = 128;
        for (int col = 0; col < mbw_; col++) {
            slices_.PutBit(1);  // address increment 1
            slices_.PutBit(1);  // intra, slice quantiser
            const uint8_t* y = pic.y.Row(row * 16) + col * 16;
            const int ys = pic.y.stride;
            EncodeBlock(&slices_, y, ys, 0, q, cutoff);
            EncodeBlock(&slices_, y + 8, ys, 0, q, cutoff);
            EncodeBlock(&slices_, y + 8 * ys, ys, 0, q, cutoff);
            EncodeBlock(&slices_, y + 8 * ys + 8, ys, 0, q, cutoff);
            EncodeBlock(&slices_, pic.cb.Row(row * 8) + col * 8, pic.cb.stride, 1, q, cutoff);
            EncodeBlock(&slices_, pic.cr.Row(row * 8) + col * 8, pic.cr.stride, 2, q, cutoff);
        }
    }
    slices_.Align();
    lastQ_ = qSum / mbh_;
}

void MpegVideoEncoder::Skipped(std::vector<uint8_t>* out) {
    // Every macroblock "motion compensated, not coded" with a zero vector:
    // six bits each, and the decoder shows the picture before.
    BitWriter bw;
    Headers(&bw, true);
    for (int row = 0; row < mbh_; row++) {
        bw.StartCode(static_cast<uint8_t>(row + 1));
        bw.Put(31, 5);
        bw.PutBit(0);
        for (int col = 0; col < mbw_; col++) {
            bw.PutBit(1);     // address increment 1
            bw.Put(1, 3);     // '001': forward vector, no coefficients
            bw.Put(3, 2);     // zero horizontal and vertical motion codes
        }
    }
    bw.Align();
    out->insert(out->end(), bw.Bytes().begin(), bw.Bytes().end());
    rc_.PictureDone(bw.Bytes().size() * 8, lastQ_ > 0 ? lastQ_ : 8);
    count_++;
}

void MpegVideoEncoder::Encode(const Picture& pic, std::vector<uint8_t>* out) {
    // At the coarsest quantiser with only DC left and still over the budget
    // (a large picture at a low rate), pictures are dropped: the one before
    // is shown again through a skipped P-picture until the budget recovers.
    if (!last_.empty() && count_ % kGopLength != 0 && rc_.AtFloor()) {
        Skipped(out);
        return;
    }
    BitWriter head;
    Headers(&head, false);
    EncodeSlices(pic);
    last_.swap(slices_.Bytes());
    out->insert(out->end(), head.Bytes().begin(), head.Bytes().end());
    out->insert(out->end(), last_.begin(), last_.end());
    rc_.PictureDone((head.Bytes().size() + last_.size()) * 8, lastQ_);
    count_++;
}

void MpegVideoEncoder::Repeat(std::vector<uint8_t>* out) {
    // A repeat within a GOP refers to the picture before; at the start of a
    // GOP it must stand alone, and the last coded picture goes again.
    if (!last_.empty() && count_ % kGopLength != 0) {
        Skipped(out);
        return;
    }
    BitWriter head;
    Headers(&head, false);
    out->insert(out->end(), head.Bytes().begin(), head.Bytes().end());
    out->insert(out->end(), last_.begin(), last_.end());
    rc_.PictureDone((head.Bytes().size() + last_.size()) * 8, lastQ_ > 0 ? lastQ_ : 8);
    count_++;
}

void MpegVideoEncoder::End(std::vector<uint8_t>* out) {
    static const uint8_t kEnd[4] = {0, 0, 1, 0xB7};
    out->insert(out->end(), kEnd, kEnd + 4);
}

}  // namespace rec
