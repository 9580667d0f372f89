// The display filter through raw slots of its interface, in the orders the
// capture engine calls them, and what it then draws into black frames.
#include "CardState.h"
#include "FilterRig.h"
#include "OsdFilter.h"
#include <gtest/gtest.h>
#include <string.h>

namespace {

static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "osd_test");
const int kW = 320, kH = 240;

// Calls slot n of the interface's table as the engine does: by position.
template <class... A>
HRESULT Slot(IUnknown* p, int n, A... args) {
    typedef HRESULT(STDMETHODCALLTYPE * Fn)(IUnknown*, A...);
    void** table = *reinterpret_cast<void***>(p);
    return reinterpret_cast<Fn>(table[n])(p, args...);
}

LOGFONTA Font(int height) {
    LOGFONTA lf = {};
    lf.lfHeight = height;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, "WenQuanYi Micro Hei", LF_FACESIZE);
    return lf;
}

std::vector<BYTE> Black() {
    std::vector<BYTE> f(kW * kH * 2);
    for (size_t i = 0; i < f.size(); i += 2) {
        f[i] = 16;
        f[i + 1] = 128;
    }
    return f;
}

struct OsdTest : testing::Test {
    void SetUp() override {
        CoInitialize(NULL);
        CardReset();
        ASSERT_EQ(S_OK, ds::CreateFilterObject<osd::OverlayFilter>(IID_IBaseFilter, filter.OutVoid()));
        ASSERT_EQ(S_OK, filter->QueryInterface(IID_IKsrOverlay, display.OutVoid()));
        rig = new ds::FilterRig(
            ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, kW, kH, 400000));
        ASSERT_EQ(S_OK, rig->Connect(filter.Get()));
        ASSERT_TRUE(SUCCEEDED(rig->Run()));
        BYTE y, u, v;
        osd::RgbToYuv(0, 128, 0, &y, &u, &v);
        green[0] = y;
        green[1] = u;
        green[2] = v;
    }
    void TearDown() override {
        delete rig;
        display.Reset();
        filter.Reset();
        CoUninitialize();
    }
    // The frame that comes out for a black one going in.
    std::vector<BYTE> Frame() {
        EXPECT_EQ(S_OK, rig->Send(Black()));
        return rig->Sink()->LastSample();
    }
    bool Green(const std::vector<BYTE>& f, int x, int y) {
        return f[(y * kW + x) * 2] == green[0];
    }
    void ShowLevel(int count, int x, int y, int w, int h, int steps, const LOGFONTA& lf) {
        ASSERT_EQ(S_OK, Slot(display.Get(), 3, 5));
        ASSERT_EQ(S_OK, Slot(display.Get(), 18, lf, 5));
        ASSERT_EQ(S_OK, Slot(display.Get(), 20, 0.0, 5.0, 5));
        ASSERT_EQ(S_OK, Slot(display.Get(), 7, w, h, steps));
        ASSERT_EQ(S_OK, Slot(display.Get(), 16, x, y, 5));
        ASSERT_EQ(S_OK, Slot(display.Get(), 14, 0, 128, 0, 5));
        ASSERT_EQ(S_OK, Slot(display.Get(), 8, count < steps ? count : steps));
    }
    // How many of the bar's cells are solid, by the pixel inside each.
    int SolidCells(const std::vector<BYTE>& f, int x, int y, int w, int h, int steps) {
        int n = 0;
        for (int i = 0; i < steps; i++) {
            int c0 = x + i * w / steps, c1 = x + (i + 1) * w / steps - 1;
            EXPECT_TRUE(Green(f, c0, y + h / 2)) << "cell " << i << " has its outline";
            n += Green(f, (c0 + c1 - 1) / 2, y + h / 2);
        }
        return n;
    }
    ds::ComPtr<IBaseFilter> filter;
    ds::ComPtr<IUnknown> display;
    ds::FilterRig* rig = nullptr;
    BYTE green[3];
};

}  // namespace

TEST_F(OsdTest, TextInTheEnginesOrderIsDrawnInsideItsExtentOnly) {
    static_assert(sizeof(LOGFONTA) == 60, "");
    const char text[] = "中央一台 CCTV";  // GBK bytes
    int len = static_cast<int>(strlen(text));
    LOGFONTA lf = Font(40);
    ASSERT_EQ(S_OK, Slot(display.Get(), 3, 1));
    ASSERT_EQ(S_OK, Slot(display.Get(), 18, lf, 1));
    ASSERT_EQ(S_OK, Slot(display.Get(), 20, 0.0, 5.0, 1));
    ASSERT_EQ(S_OK, Slot(display.Get(), 16, 30, 20, 1));
    ASSERT_EQ(S_OK, Slot(display.Get(), 14, 0, 128, 0, 1));
    ASSERT_EQ(S_OK, Slot(display.Get(), 12, text, len, 1));

    // The extent of the same text in the same font.
    HDC dc = CreateCompatibleDC(NULL);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE ext = {};
    GetTextExtentPoint32A(dc, text, len, &ext);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ASSERT_GT(ext.cx, 100);
    ASSERT_GE(ext.cy, 38);

    std::vector<BYTE> f = Frame();
    int inside = 0, outside = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++) {
            bool in = x >= 30 && x < 30 + ext.cx && y >= 20 && y < 20 + ext.cy;
            if (Green(f, x, y)) {
                (in ? inside : outside)++;
            } else if (!in) {
                EXPECT_EQ(16, f[(y * kW + x) * 2]);
            }
        }
    EXPECT_GT(inside, 300);
    EXPECT_EQ(0, outside);
    // A covered pixel gives its pair the text's chroma.
    for (size_t i = 0; i < f.size(); i += 4)
        if (f[i] == green[0] || f[i + 2] == green[0]) {
            EXPECT_EQ(green[1], f[i + 1]);
            EXPECT_EQ(green[2], f[i + 3]);
        }

    // Off: the next frame is the picture as it came.
    ASSERT_EQ(S_OK, Slot(display.Get(), 3, 0));
    EXPECT_EQ(Black(), Frame());
}

TEST_F(OsdTest, LevelBarShowsItsFilledCells) {
    LOGFONTA lf = Font(25);
    const int x = 20, y = 200, w = 200, h = 30, steps = 20;
    for (int count : {1, 20, 0}) {
        ShowLevel(count, x, y, w, h, steps, lf);
        std::vector<BYTE> f = Frame();
        EXPECT_EQ(count, SolidCells(f, x, y, w, h, steps)) << count;
        EXPECT_FALSE(Green(f, x - 1, y + h / 2));
        EXPECT_FALSE(Green(f, x + w, y + h / 2));
        EXPECT_FALSE(Green(f, x + 5, y - 1));
        EXPECT_FALSE(Green(f, x + 5, y + h));
    }
    // A bar beyond the picture's edge is clipped, not written past it.
    ShowLevel(20, kW - 50, kH - 10, 100, 30, 10, lf);
    std::vector<BYTE> f = Frame();
    EXPECT_TRUE(Green(f, kW - 50, kH - 1));
    EXPECT_EQ(size_t(kW * kH * 2), f.size());
}

TEST_F(OsdTest, OtherModesAndSlotsAreRefusedAndTextIsCopied) {
    for (int mode : {0, 2, 3, 4, 6, -1}) {
        EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 12, "x", 1, mode)) << mode;
        EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 14, 0, 128, 0, mode)) << mode;
        EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 16, 1, 1, mode)) << mode;
        EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 18, Font(20), mode)) << mode;
        EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 20, 0.0, 5.0, mode)) << mode;
        if (mode) {
            EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 3, mode)) << mode;
        }
    }
    for (int n : {4, 5, 6, 9, 10, 11, 13, 15, 17, 19}) EXPECT_EQ(E_NOTIMPL, Slot(display.Get(), n)) << n;
    EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 7, 0, 10, 5));
    EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 8, -1));
    EXPECT_EQ(E_INVALIDARG, Slot(display.Get(), 14, 256, 0, 0, 1));

    osd::OverlayFilter* f = static_cast<osd::OverlayFilter*>(static_cast<IBaseFilter*>(filter.Get()));
    // The length counts, no NUL needed; the caller's buffer is not kept.
    char buf[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'};
    ASSERT_EQ(S_OK, Slot(display.Get(), 12, static_cast<const char*>(buf), 3, 1));
    buf[0] = 'Z';
    EXPECT_EQ("ABC", f->ItemOf(1).text);
    std::string lng(300, 'q');
    ASSERT_EQ(S_OK, Slot(display.Get(), 12, lng.c_str(), 300, 5));
    EXPECT_EQ(255u, f->ItemOf(5).text.size());
    EXPECT_EQ(E_POINTER, Slot(display.Get(), 12, static_cast<const char*>(NULL), 4, 1));
    // Items are kept until the display goes off.
    ASSERT_EQ(S_OK, Slot(display.Get(), 3, 0));
    EXPECT_EQ("", f->ItemOf(1).text);

    // The card's failure table reaches each call; the log shows them.
    CardClearLog();
    ASSERT_TRUE(CardFailCall("Osd.Font", 1));
    EXPECT_EQ(E_FAIL, Slot(display.Get(), 18, Font(30), 1));
    EXPECT_EQ(S_OK, Slot(display.Get(), 18, Font(30), 1));
    std::vector<std::string> log = CardLogLines();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Osd.Font(30, WenQuanYi Micro Hei, 1) = 0x80004005", log[0]);
    EXPECT_EQ("Osd.Font(30, WenQuanYi Micro Hei, 1) = 0x00000000", log[1]);
}

// Levels round to the nearest, halves up, the same in both builds: in
// doubles a luma of exactly 31.5 rounded down in the 32-bit one.
TEST(OsdColours, StudioLevelsRoundHalvesUp) {
    struct { int r, g, b; BYTE y, u, v; } cases[] = {
        {0, 0, 0, 16, 128, 128},
        {255, 255, 255, 235, 128, 128},
        {0, 29, 9, 32, 124, 117},
        {255, 0, 0, 81, 90, 240},
    };
    for (const auto& c : cases) {
        BYTE y, u, v;
        osd::RgbToYuv(c.r, c.g, c.b, &y, &u, &v);
        EXPECT_EQ(c.y, y) << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(c.u, u) << c.r << " " << c.g << " " << c.b;
        EXPECT_EQ(c.v, v) << c.r << " " << c.g << " " << c.b;
    }
}

TEST(OsdFilterObjects, EveryObjectIsReleased) {
    CoInitialize(NULL);
    LONG before = ds::LiveObjects();
    {
        ds::ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<osd::OverlayFilter>(IID_IBaseFilter, filter.OutVoid()));
        ds::ComPtr<IKsrOverlay> display;
        ASSERT_EQ(S_OK, filter->QueryInterface(IID_IKsrOverlay, display.OutVoid()));
        ds::ComPtr<IUnknown> back;
        ASSERT_EQ(S_OK, display->QueryInterface(IID_IBaseFilter, back.OutVoid()));
        EXPECT_EQ(static_cast<IUnknown*>(filter.Get()), back.Get());
    }
    EXPECT_EQ(before, ds::LiveObjects());
    CoUninitialize();
}
