#include "PictureGenerator.h"
#include "TinyFont.h"
#include <stdio.h>
#include <string.h>

namespace card {

Yuv RgbToYuv(int r, int g, int b) {
    Yuv c;
    c.y = static_cast<BYTE>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
    c.u = static_cast<BYTE>(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
    c.v = static_cast<BYTE>(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
    return c;
}

static inline void PutPair(BYTE* p, Yuv c) {
    p[0] = c.y;
    p[1] = c.u;
    p[2] = c.y;
    p[3] = c.v;
}

void FillRect(BYTE* frame, int width, int height, int x, int y, int w, int h, Yuv colour) {
    int x0 = x & ~1, x1 = (x + w + 1) & ~1;
    if (x0 < 0) x0 = 0;
    if (x1 > width) x1 = width;
    int y0 = y < 0 ? 0 : y, y1 = y + h > height ? height : y + h;
    if (x0 >= x1 || y0 >= y1) return;
    BYTE row[4];
    PutPair(row, colour);
    DWORD pair;
    memcpy(&pair, row, 4);
    for (int yy = y0; yy < y1; yy++) {
        DWORD* p = reinterpret_cast<DWORD*>(frame + (yy * width + x0) * 2);
        for (int n = (x1 - x0) / 2; n > 0; n--) *p++ = pair;
    }
}

int TextWidth(const std::string& text, int scale) {
    return static_cast<int>(text.size()) * (kGlyphWidth + 1) * scale;
}

int DrawText(BYTE* frame, int width, int height, int x, int y, const std::string& text, int scale,
             Yuv colour) {
    int pen = x;
    for (char c : text) {
        const unsigned char* rows = GlyphRows(c);
        for (int r = 0; r < kGlyphHeight; r++)
            for (int col = 0; col < kGlyphWidth; col++)
                if (rows[r] & (0x10 >> col))
                    FillRect(frame, width, height, pen + col * scale, y + r * scale, scale, scale, colour);
        pen += (kGlyphWidth + 1) * scale;
    }
    return pen - x;
}

namespace {

struct Rgb {
    int r, g, b;
};

const Rgb kBars[8] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                      {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {0, 0, 0}};

Yuv Hue(int degrees, int level) {
    degrees %= 360;
    int sector = degrees / 60, f = (degrees % 60) * 255 / 60;
    int r = 0, g = 0, b = 0;
    switch (sector) {
    case 0: r = 255; g = f; break;
    case 1: r = 255 - f; g = 255; break;
    case 2: g = 255; b = f; break;
    case 3: g = 255 - f; b = 255; break;
    case 4: r = f; b = 255; break;
    default: r = 255; b = 255 - f; break;
    }
    return RgbToYuv(r * level / 255, g * level / 255, b * level / 255);
}

// The test pictures, one per station pattern; each fills the whole frame.
void DrawPattern(BYTE* f, int w, int h, int pattern) {
    switch (pattern % 9) {
    case 0:  // colour bars
        for (int i = 0; i < 8; i++)
            FillRect(f, w, h, w * i / 8, 0, w * (i + 1) / 8 - w * i / 8, h,
                     RgbToYuv(kBars[i].r, kBars[i].g, kBars[i].b));
        break;
    case 1: {  // cross-hatch
        FillRect(f, w, h, 0, 0, w, h, RgbToYuv(0, 0, 0));
        int step = h / 12;
        for (int y = step / 2; y < h; y += step) FillRect(f, w, h, 0, y, w, 2, RgbToYuv(235, 235, 235));
        for (int x = step / 2; x < w; x += step) FillRect(f, w, h, x, 0, 2, h, RgbToYuv(235, 235, 235));
        break;
    }
    case 2: {  // checkerboard
        int cw = w / 8, ch = h / 6;
        for (int j = 0; j < 6; j++)
            for (int i = 0; i < 8; i++)
                FillRect(f, w, h, i * cw, j * ch, cw, ch,
                         ((i + j) & 1) ? RgbToYuv(30, 60, 200) : RgbToYuv(230, 200, 40));
        break;
    }
    case 3:  // grey staircase
        for (int i = 0; i < 10; i++) {
            int level = i * 255 / 9;
            FillRect(f, w, h, w * i / 10, 0, w * (i + 1) / 10 - w * i / 10, h, RgbToYuv(level, level, level));
        }
        break;
    case 4:  // hue sweep
        for (int x = 0; x < w; x += 2) FillRect(f, w, h, x, 0, 2, h, Hue(x * 360 / w, 220));
        break;
    case 5: {  // rings
        int cx = w / 2, cy = h / 2, band = h / 10, band2 = band * band;
        // floor(sqrt(d2) / band) == floor(sqrt(d2 / band2)): a small table of
        // square roots instead of one per pixel.
        int maxQ = (cx * cx + cy * cy) / band2 + 1;
        std::vector<int> ring(maxQ + 1);
        for (int q = 0, r = 0; q <= maxQ; q++) {
            while ((r + 1) * (r + 1) <= q) r++;
            ring[q] = r;
        }
        Yuv a = RgbToYuv(200, 40, 40), b = RgbToYuv(240, 240, 240);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x += 2) {
                int dx = x - cx, dy = y - cy;
                PutPair(f + (y * w + x) * 2, (ring[(dx * dx + dy * dy) / band2] & 1) ? a : b);
            }
        break;
    }
    case 6: {  // diagonal stripes
        Yuv a = RgbToYuv(200, 30, 30), b = RgbToYuv(245, 245, 245);
        int period = h / 8;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x += 2) PutPair(f + (y * w + x) * 2, (((x + y) / period) & 1) ? a : b);
        break;
    }
    case 7:  // multiburst
        FillRect(f, w, h, 0, 0, w, h, RgbToYuv(128, 128, 128));
        for (int band = 0; band < 6; band++) {
            int x0 = w * band / 6, x1 = w * (band + 1) / 6, period = 2 * (12 >> (band / 2 + 0));
            if (period < 2) period = 2;
            for (int x = x0; x < x1; x += 2)
                FillRect(f, w, h, x, h / 6, 2, h * 2 / 3,
                         ((x / period) & 1) ? RgbToYuv(235, 235, 235) : RgbToYuv(16, 16, 16));
        }
        break;
    default: {  // sky and sun
        for (int y = 0; y < h; y++) {
            int t = y * 255 / h;
            FillRect(f, w, h, 0, y, w, 1,
                     y < h * 2 / 3 ? RgbToYuv(60 + t / 4, 120 + t / 4, 230) : RgbToYuv(40, 150, 50));
        }
        int cx = w * 3 / 4, cy = h / 3, r = h / 8;
        for (int y = cy - r; y < cy + r; y++)
            for (int x = cx - r; x < cx + r; x += 2)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r)
                    FillRect(f, w, h, x, y, 2, 1, RgbToYuv(250, 220, 60));
        break;
    }
    }
}

int ScaleFor(int width) {
    int s = (width / 160) & ~1;
    return s < 2 ? 2 : s;
}

}  // namespace

PictureGenerator::PictureGenerator()
    : bgWidth_(0), bgHeight_(0), bgValid_(false), snowSize_(0), rng_(0x1234567u) {
    bgSource_.kind = kPictureSnow;
    bgSource_.pattern = 0;
}

void PictureGenerator::BuildBackground(int w, int h, const PictureSource& src) {
    background_.assign(static_cast<size_t>(w) * h * 2, 0);
    BYTE* f = background_.data();
    int scale = ScaleFor(w);
    std::string label = src.name;
    switch (src.kind) {
    case kPictureComposite:
        // Horizontal bars: the composite input's own picture.
        for (int i = 0; i < 8; i++)
            FillRect(f, w, h, 0, h * i / 8, w, h * (i + 1) / 8 - h * i / 8,
                     RgbToYuv(kBars[i].r, kBars[i].g, kBars[i].b));
        label = "COMPOSITE";
        break;
    case kPictureSVideo: {
        for (int x = 0; x < w; x += 2) {
            int t = x * 255 / w;
            FillRect(f, w, h, x, 0, 2, h, RgbToYuv(t, 200 - t * 3 / 4, 255 - t));
        }
        int step = h / 6;
        for (int y = step; y < h; y += step) FillRect(f, w, h, 0, y, w, 2, RgbToYuv(16, 16, 16));
        label = "S-VIDEO";
        break;
    }
    default:
        DrawPattern(f, w, h, src.pattern < 0 ? -src.pattern : src.pattern);
        break;
    }
    // Name plate at the top, clock plate at the bottom.
    int plate = kGlyphHeight * scale + 2 * scale;
    int tw = TextWidth(label, scale);
    FillRect(f, w, h, (w - tw) / 2 - scale * 2, scale * 2, tw + scale * 4, plate, RgbToYuv(0, 0, 0));
    DrawText(f, w, h, (w - tw) / 2, scale * 3, label, scale, RgbToYuv(255, 255, 255));
    bgWidth_ = w;
    bgHeight_ = h;
    bgSource_ = src;
    bgValid_ = true;
}

void PictureGenerator::BuildSnow(int w, int h) {
    // Spare bytes past one frame so that each frame starts somewhere else.
    snowSize_ = w * h * 2;
    snow_.resize(static_cast<size_t>(snowSize_) + 64 * 1024);
    // One random number gives the brightness of a pixel pair's two pixels.
    for (size_t i = 0; i + 3 < snow_.size(); i += 4) {
        rng_ = rng_ * 1664525u + 1013904223u;
        snow_[i] = static_cast<BYTE>(16 + ((rng_ >> 24) * 219 >> 8));
        snow_[i + 1] = 128;
        snow_[i + 2] = static_cast<BYTE>(16 + (((rng_ >> 16) & 0xFF) * 219 >> 8));
        snow_[i + 3] = 128;
    }
}

void PictureGenerator::Draw(BYTE* frame, int w, int h, const PictureSource& src, LONGLONG frameIndex,
                            const SYSTEMTIME& clock) {
    size_t bytes = static_cast<size_t>(w) * h * 2;
    if (src.kind == kPictureSnow) {
        if (snowSize_ != w * h * 2 || snow_.empty()) BuildSnow(w, h);
        rng_ = rng_ * 1664525u + 1013904223u;
        size_t offset = ((rng_ >> 8) % (snow_.size() - bytes)) & ~static_cast<size_t>(3);
        memcpy(frame, snow_.data() + offset, bytes);
        return;
    }
    if (!bgValid_ || bgWidth_ != w || bgHeight_ != h || bgSource_.kind != src.kind ||
        bgSource_.pattern != src.pattern || bgSource_.name != src.name)
        BuildBackground(w, h, src);
    memcpy(frame, background_.data(), bytes);

    int scale = ScaleFor(w);
    // The moving block sweeps across the lower third and back.
    int size = h / 10;
    int travel = w - size;
    int pos = travel > 0 ? static_cast<int>((frameIndex * (w / 80 + 2)) % (2 * travel)) : 0;
    if (pos > travel) pos = 2 * travel - pos;
    FillRect(frame, w, h, pos, h * 2 / 3, size, size, RgbToYuv(255, 255, 255));
    FillRect(frame, w, h, pos + size / 4, h * 2 / 3 + size / 4, size / 2, size / 2, RgbToYuv(0, 0, 0));

    char text[16];
    _snprintf(text, sizeof(text), "%02u:%02u:%02u", clock.wHour, clock.wMinute, clock.wSecond);
    text[sizeof(text) - 1] = 0;
    int tw = TextWidth(text, scale);
    int plate = kGlyphHeight * scale + 2 * scale;
    int y = h - plate - scale * 2;
    FillRect(frame, w, h, (w - tw) / 2 - scale * 2, y, tw + scale * 4, plate, RgbToYuv(0, 0, 0));
    DrawText(frame, w, h, (w - tw) / 2, y + scale, text, scale, RgbToYuv(255, 255, 0));
}

}  // namespace card
