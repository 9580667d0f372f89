// Stand-in for the maker's on-screen-display filter ("KSR_OverlayFilter"):
// YUY2 in and out, drawing a text item (mode 1) and a level bar item (mode 5)
// into every frame while they are enabled. The calls of its display interface
// go to the card's log and fail when the card's failure table names them
// ("Osd.Enable", "Osd.Font", ...). The pixels an item covers are worked out
// once per change (a mask), not once per frame.
#pragma once
#include "OverlayInterfaces.h"
#include "Yuy2Filter.h"
#include <string>
#include <vector>

namespace osd {

extern const wchar_t kFilterName[];
const int kMaxText = 255;

// What one item shows and where: the text item its text, the bar item its bar.
struct Item {
    bool enabled = false;
    bool hasFont = false;
    LOGFONTA font = {};
    int x = 0, y = 0;
    int red = 255, green = 255, blue = 255;
    double opacity = 0.0;  // of the dark box behind the item, 0 to 1
    double margin = 0.0;   // the box's border around the item, in pixels
    std::string text;
    int barWidth = 0, barHeight = 0, steps = 0, filled = 0;
};

// The pixels an item covers, in frame coordinates (left, top may be negative:
// drawing clips), and the box behind it.
struct Mask {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<BYTE> on;  // width x height, 1 where the item's colour goes
    RECT box = {0, 0, 0, 0};
    double opacity = 0.0;
    BYTE y = 235, u = 128, v = 128;
    bool Empty() const { return width <= 0 || height <= 0; }
};

// Studio-range YUV of an RGB colour (the inverse of the converters' matrix).
void RgbToYuv(int red, int green, int blue, BYTE* y, BYTE* u, BYTE* v);
// The text in the item's font (the default GUI font without one) at (x, y),
// and the bar when the item has one: `steps` cells side by side over the bar's
// width, each one column short of its share, the first `filled` solid and the
// rest outlined.
Mask BuildMask(const Item& item, bool bar);
// Paints the mask into a top-down YUY2 frame; a pixel pair takes the item's
// chroma when either of its pixels is covered.
void ApplyMask(const Mask& mask, BYTE* yuy2, int width, int rows);

class OverlayFilter : public ds::Yuy2Filter, public IKsrOverlay {
public:
    OverlayFilter();

    DS_IUNKNOWN_OF(Yuy2Filter)
    STDMETHODIMP Enable(int mode) override;
    STDMETHODIMP Unused04() override { return E_NOTIMPL; }
    STDMETHODIMP Unused05() override { return E_NOTIMPL; }
    STDMETHODIMP Unused06() override { return E_NOTIMPL; }
    STDMETHODIMP SetBar(int width, int height, int steps) override;
    STDMETHODIMP SetFilled(int steps) override;
    STDMETHODIMP Unused09() override { return E_NOTIMPL; }
    STDMETHODIMP Unused10() override { return E_NOTIMPL; }
    STDMETHODIMP Unused11() override { return E_NOTIMPL; }
    STDMETHODIMP SetContent(const char* text, int bytes, int mode) override;
    STDMETHODIMP Unused13() override { return E_NOTIMPL; }
    STDMETHODIMP SetColor(int red, int green, int blue, int mode) override;
    STDMETHODIMP Unused15() override { return E_NOTIMPL; }
    STDMETHODIMP SetPosition(int x, int y, int mode) override;
    STDMETHODIMP Unused17() override { return E_NOTIMPL; }
    STDMETHODIMP SetFont(LOGFONTA font, int mode) override;
    STDMETHODIMP Unused19() override { return E_NOTIMPL; }
    STDMETHODIMP SetBackground(double opacity, double margin, int mode) override;

    // What the filter holds now, for tests.
    Item ItemOf(int mode);

protected:
    HRESULT QueryExtra(REFIID iid, void** out) override;
    void ProcessFrame(const BYTE* in, BYTE* out, int width, int rows) override;

private:
    // The item of a mode the display knows (1, 5), or NULL. Under itemLock_.
    Item* ItemFor(int mode);
    // Logs the call and its answer; returns hr.
    HRESULT Logged(HRESULT hr, const char* format, ...) __attribute__((format(printf, 3, 4)));

    ds::CritSec itemLock_;
    Item text_, bar_;
    Mask textMask_, barMask_;
    bool dirty_;
};

}  // namespace osd
