#include "OsdFilter.h"
#include "CardState.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

namespace osd {

const wchar_t kFilterName[] = L"KSR_OverlayFilter";

namespace {

// A level in ten-thousandths to the nearest whole one (halves up), kept to
// 0..255. Worked out in doubles, a colour whose level lies on a half (a
// green of 29 and a blue of 9 give a luma of 31.5) rounded one way in the
// 32-bit build and the other in the 64-bit one.
BYTE RoundLevel(int tenThousandths) {
    if (tenThousandths < 0) return 0;
    int level = (tenThousandths + 5000) / 10000;
    return static_cast<BYTE>(level > 255 ? 255 : level);
}

// The text drawn white on black in a DIB of its own size; covered where the
// glyphs are bright.
void DrawText(const Item& item, Mask* m) {
    if (item.text.empty()) return;
    HDC dc = CreateCompatibleDC(NULL);
    if (!dc) return;
    HFONT font = item.hasFont ? CreateFontIndirectA(&item.font) : NULL;
    HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {0, 0};
    int n = static_cast<int>(item.text.size());
    GetTextExtentPoint32A(dc, item.text.data(), n, &size);
    if (size.cx > 0 && size.cy > 0 && size.cx <= 4096 && size.cy <= 4096) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = size.cx;
        bi.bmiHeader.biHeight = -size.cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = NULL;
        HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
        if (dib && bits) {
            HGDIOBJ oldBitmap = SelectObject(dc, dib);
            memset(bits, 0, static_cast<size_t>(size.cx) * size.cy * 4);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 255, 255));
            TextOutA(dc, 0, 0, item.text.data(), n);
            GdiFlush();
            m->left = item.x;
            m->top = item.y;
            m->width = size.cx;
            m->height = size.cy;
            m->on.assign(static_cast<size_t>(size.cx) * size.cy, 0);
            const BYTE* px = static_cast<const BYTE*>(bits);
            for (size_t i = 0; i < m->on.size(); i++) m->on[i] = px[4 * i + 1] >= 128;
            SelectObject(dc, oldBitmap);
        }
        if (dib) DeleteObject(dib);
    }
    SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    DeleteDC(dc);
}

void DrawBar(const Item& item, Mask* m) {
    if (item.steps <= 0 || item.barWidth <= 0 || item.barHeight <= 0) return;
    m->left = item.x;
    m->top = item.y;
    m->width = item.barWidth;
    m->height = item.barHeight;
    m->on.assign(static_cast<size_t>(m->width) * m->height, 0);
    int filled = item.filled < item.steps ? item.filled : item.steps;
    for (int i = 0; i < item.steps; i++) {
        int c0 = i * item.barWidth / item.steps;
        int c1 = (i + 1) * item.barWidth / item.steps - 1;  // one column of gap
        if (c1 <= c0) c1 = c0 + 1;
        for (int r = 0; r < m->height; r++) {
            for (int c = c0; c < c1 && c < m->width; c++) {
                bool edge = r == 0 || r == m->height - 1 || c == c0 || c == c1 - 1;
                if (i < filled || edge) m->on[static_cast<size_t>(r) * m->width + c] = 1;
            }
        }
    }
}

}  // namespace

void RgbToYuv(int red, int green, int blue, BYTE* y, BYTE* u, BYTE* v) {
    *y = RoundLevel(160000 + 2568 * red + 5041 * green + 979 * blue);
    *u = RoundLevel(1280000 - 1482 * red - 2910 * green + 4392 * blue);
    *v = RoundLevel(1280000 + 4392 * red - 3678 * green - 714 * blue);
}

Mask BuildMask(const Item& item, bool bar) {
    Mask m;
    if (bar)
        DrawBar(item, &m);
    else
        DrawText(item, &m);
    RgbToYuv(item.red, item.green, item.blue, &m.y, &m.u, &m.v);
    int margin = static_cast<int>(item.margin);
    m.box.left = m.left - margin;
    m.box.top = m.top - margin;
    m.box.right = m.left + m.width + margin;
    m.box.bottom = m.top + m.height + margin;
    m.opacity = item.opacity < 0 ? 0 : item.opacity > 1 ? 1 : item.opacity;
    return m;
}

void ApplyMask(const Mask& m, BYTE* frame, int width, int rows) {
    if (m.Empty()) return;
    if (m.opacity > 0) {
        // The box darkens the picture behind the item, towards black.
        int keep = static_cast<int>((1.0 - m.opacity) * 256);
        for (int r = m.box.top < 0 ? 0 : m.box.top; r < m.box.bottom && r < rows; r++) {
            BYTE* row = frame + static_cast<size_t>(r) * width * 2;
            for (int c = m.box.left < 0 ? 0 : m.box.left; c < m.box.right && c < width; c++) {
                row[2 * c] = static_cast<BYTE>(16 + ((row[2 * c] - 16) * keep >> 8));
                row[2 * c + 1] = static_cast<BYTE>(128 + ((row[2 * c + 1] - 128) * keep >> 8));
            }
        }
    }
    for (int mr = 0; mr < m.height; mr++) {
        int r = m.top + mr;
        if (r < 0 || r >= rows) continue;
        BYTE* row = frame + static_cast<size_t>(r) * width * 2;
        const BYTE* on = &m.on[static_cast<size_t>(mr) * m.width];
        for (int mc = 0; mc < m.width; mc++) {
            int c = m.left + mc;
            if (!on[mc] || c < 0 || c >= width) continue;
            row[2 * c] = m.y;
            int pair = c & ~1;
            row[2 * pair + 1] = m.u;
            row[2 * pair + 3] = m.v;
        }
    }
}

OverlayFilter::OverlayFilter() : Yuy2Filter(CLSID_KsrOverlay), dirty_(false) {}

HRESULT OverlayFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IKsrOverlay)) return ds::HandOut<IKsrOverlay>(this, out);
    return Yuy2Filter::QueryExtra(iid, out);
}

HRESULT OverlayFilter::Logged(HRESULT hr, const char* format, ...) {
    char line[80];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    CardLog("%s = 0x%08lX", line, static_cast<unsigned long>(hr));
    return hr;
}

Item* OverlayFilter::ItemFor(int mode) {
    return mode == KSR_OSD_TEXT ? &text_ : mode == KSR_OSD_BAR ? &bar_ : NULL;
}

Item OverlayFilter::ItemOf(int mode) {
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    return item ? *item : Item();
}

// Each call: the card's failure table first, then the mode, then the values.
#define OSD_FAILS(name, ...)                                                   \
    if (CardShouldFail(name)) return Logged(E_FAIL, __VA_ARGS__);

STDMETHODIMP OverlayFilter::Enable(int mode) {
    OSD_FAILS("Osd.Enable", "Osd.Enable(%d)", mode)
    ds::AutoLock lock(itemLock_);
    if (mode == KSR_OSD_OFF) {
        // Off forgets both items: the next one starts from its defaults.
        text_ = Item();
        bar_ = Item();
    } else if (Item* item = ItemFor(mode)) {
        item->enabled = true;
    } else {
        return Logged(E_INVALIDARG, "Osd.Enable(%d)", mode);
    }
    dirty_ = true;
    return Logged(S_OK, "Osd.Enable(%d)", mode);
}

STDMETHODIMP OverlayFilter::SetBar(int width, int height, int steps) {
    OSD_FAILS("Osd.Bar", "Osd.Bar(%d, %d, %d)", width, height, steps)
    if (width <= 0 || height <= 0 || steps <= 0 || width > 4096 || height > 4096 || steps > width)
        return Logged(E_INVALIDARG, "Osd.Bar(%d, %d, %d)", width, height, steps);
    ds::AutoLock lock(itemLock_);
    bar_.barWidth = width;
    bar_.barHeight = height;
    bar_.steps = steps;
    dirty_ = true;
    return Logged(S_OK, "Osd.Bar(%d, %d, %d)", width, height, steps);
}

STDMETHODIMP OverlayFilter::SetFilled(int steps) {
    OSD_FAILS("Osd.Filled", "Osd.Filled(%d)", steps)
    if (steps < 0) return Logged(E_INVALIDARG, "Osd.Filled(%d)", steps);
    ds::AutoLock lock(itemLock_);
    bar_.filled = steps;
    dirty_ = true;
    return Logged(S_OK, "Osd.Filled(%d)", steps);
}

STDMETHODIMP OverlayFilter::SetContent(const char* text, int bytes, int mode) {
    OSD_FAILS("Osd.Content", "Osd.Content(%d bytes, %d)", bytes, mode)
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    if (!item || bytes < 0) return Logged(E_INVALIDARG, "Osd.Content(%d bytes, %d)", bytes, mode);
    if (!text && bytes > 0) return Logged(E_POINTER, "Osd.Content(NULL, %d)", mode);
    // The caller's length counts, not a terminator: at most kMaxText bytes
    // are taken, and a NUL inside ends the text.
    size_t n = bytes > kMaxText ? kMaxText : static_cast<size_t>(bytes);
    const char* nul = n ? static_cast<const char*>(memchr(text, 0, n)) : NULL;
    item->text.assign(text ? text : "", nul ? static_cast<size_t>(nul - text) : n);
    dirty_ = true;
    return Logged(S_OK, "Osd.Content(%d bytes, %d)", bytes, mode);
}

STDMETHODIMP OverlayFilter::SetColor(int red, int green, int blue, int mode) {
    OSD_FAILS("Osd.Color", "Osd.Color(%d, %d, %d, %d)", red, green, blue, mode)
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    if (!item || red < 0 || red > 255 || green < 0 || green > 255 || blue < 0 || blue > 255)
        return Logged(E_INVALIDARG, "Osd.Color(%d, %d, %d, %d)", red, green, blue, mode);
    item->red = red;
    item->green = green;
    item->blue = blue;
    dirty_ = true;
    return Logged(S_OK, "Osd.Color(%d, %d, %d, %d)", red, green, blue, mode);
}

STDMETHODIMP OverlayFilter::SetPosition(int x, int y, int mode) {
    OSD_FAILS("Osd.Position", "Osd.Position(%d, %d, %d)", x, y, mode)
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    if (!item || x < -8192 || x > 8192 || y < -8192 || y > 8192)
        return Logged(E_INVALIDARG, "Osd.Position(%d, %d, %d)", x, y, mode);
    item->x = x;
    item->y = y;
    dirty_ = true;
    return Logged(S_OK, "Osd.Position(%d, %d, %d)", x, y, mode);
}

STDMETHODIMP OverlayFilter::SetFont(LOGFONTA font, int mode) {
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    OSD_FAILS("Osd.Font", "Osd.Font(%ld, %.32s, %d)", font.lfHeight, font.lfFaceName, mode)
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    if (!item) return Logged(E_INVALIDARG, "Osd.Font(%ld, %.32s, %d)", font.lfHeight, font.lfFaceName, mode);
    item->font = font;
    item->hasFont = true;
    dirty_ = true;
    return Logged(S_OK, "Osd.Font(%ld, %.32s, %d)", font.lfHeight, font.lfFaceName, mode);
}

STDMETHODIMP OverlayFilter::SetBackground(double opacity, double margin, int mode) {
    OSD_FAILS("Osd.Background", "Osd.Background(%.1f, %.1f, %d)", opacity, margin, mode)
    ds::AutoLock lock(itemLock_);
    Item* item = ItemFor(mode);
    if (!item || !(opacity >= 0 && opacity <= 1) || !(margin >= 0 && margin <= 256))
        return Logged(E_INVALIDARG, "Osd.Background(%.1f, %.1f, %d)", opacity, margin, mode);
    item->opacity = opacity;
    item->margin = margin;
    dirty_ = true;
    return Logged(S_OK, "Osd.Background(%.1f, %.1f, %d)", opacity, margin, mode);
}

#undef OSD_FAILS

void OverlayFilter::ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) {
    memcpy(out, in, static_cast<size_t>(width) * rows * 2);
    ds::AutoLock lock(itemLock_);
    if (dirty_) {
        textMask_ = text_.enabled ? BuildMask(text_, false) : Mask();
        barMask_ = bar_.enabled ? BuildMask(bar_, true) : Mask();
        dirty_ = false;
    }
    ApplyMask(textMask_, out, width, rows);
    ApplyMask(barMask_, out, width, rows);
}

}  // namespace osd
