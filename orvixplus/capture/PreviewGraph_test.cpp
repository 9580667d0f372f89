// The live preview on the simulated card and the real stand-ins, through the
// Overlay Mixer to Wine's renderer: the picture in the owner window by
// pixels, tuning, input switching and sizes, the on-screen display drawn
// into the picture, the invert filter behind the grabber, the paths round a
// missing or refusing mixer, and recordings into a folder.
#include "GraphTestEnv.h"
#include "Filters.h"
#include "MediaPlayer.h"
#include "OverlayGraph.h"
#include "RecordGraph.h"
#include "TuningHost.h"
#include "TvStations.h"

namespace {

const int kW = 720, kH = 576;
const SIZE kCapture = {kW, kH};

void Tune(double mhz)
{
    BYTE bytes[4];
    ComputeTunerBytes((float)mhz, bytes);
    CardI2CWrite(0xC0, bytes, 4);
}

// A frame the grabber holds: bottom-up blue, green, red without padding.
struct Frame {
    std::vector<BYTE> rgb;
    int w = 0, h = 0;
    // (red, green, blue) at x, y counted from the top.
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= w || y >= h || rgb.size() < (size_t)w * h * 3)
            return CLR_INVALID;
        const BYTE* p = &rgb[((size_t)(h - 1 - y) * w + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
};

// The on-screen display's colour, (0, 128, 0), after the trip through YUY2.
bool IsOsdColour(COLORREF c)
{
    return c != CLR_INVALID && GetRValue(c) < 40 && GetGValue(c) > 100 && GetGValue(c) < 160 && GetBValue(c) < 40;
}

LOGFONTA OsdFont(int height)
{
    LOGFONTA f = {};
    f.lfHeight = height;
    f.lfWeight = FW_BOLD;
    f.lfCharSet = GB2312_CHARSET;
    lstrcpynA(f.lfFaceName, "SimSun", LF_FACESIZE);
    return f;
}

// The text's extent in that font, as the display measures it.
SIZE TextExtent(const std::string& text, const LOGFONTA& font)
{
    HDC dc = CreateCompatibleDC(NULL);
    HFONT f = CreateFontIndirectA(&font);
    HGDIOBJ old = SelectObject(dc, f);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.data(), (int)text.size(), &size);
    SelectObject(dc, old);
    DeleteObject(f);
    DeleteDC(dc);
    return size;
}

class PreviewTest : public CaptureGraphFixture {
protected:
    const char* CardName() const override { return "orvixcapture_preview_test"; }
    void SetUp() override
    {
        CaptureGraphFixture::SetUp();
        // Above other programs' windows: the picture is read off the screen.
        SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        pictures.reset(new tv::PictureSet(kCapture, kW, kH));
        stations = CardStations();
        ASSERT_GE(stations.size(), 2u);
    }
    BOOL OpenPreview(COverlayGraph& g, int input = 0)
    {
        return g.Initialize(owner) && g.Open(input, kW, kH, 50, 50, 50, 50, 50);
    }
    std::string Showing(bool flipped = false)
    {
        std::vector<DWORD> grid = tv::ScreenGrid(owner);
        if (flipped && !grid.empty())
            for (int j = 0; j < tv::kGridY / 2; ++j)
                for (int i = 0; i < tv::kGridX; ++i)
                    std::swap(grid[j * tv::kGridX + i], grid[(tv::kGridY - 1 - j) * tv::kGridX + i]);
        return pictures->Showing(grid);
    }
    // Waits for the window to show that picture; what it shows in the end.
    std::string WaitShowing(const std::string& name, bool flipped = false)
    {
        std::string now;
        ts::PumpUntil([&] { return (now = Showing(flipped)) == name; }, 5000);
        return now;
    }
    static Frame Grab(CCaptureGraph& g)
    {
        Frame f;
        int w = 0, h = 0;
        BYTE* rgb = g.GrabFrameRGB(&w, &h);
        if (rgb && w > 0 && h > 0) {
            f.rgb.assign(rgb, rgb + (size_t)w * h * 3);
            f.w = w;
            f.h = h;
        }
        delete[] rgb;
        return f;
    }
    // The grabbed frame's picture, read at the grid the window is read at.
    std::string GrabbedShowing(CCaptureGraph& g)
    {
        Frame f = Grab(g);
        if (f.w != kW || f.h != kH)
            return "";
        std::vector<DWORD> grid;
        for (int j = 0; j < tv::kGridY; ++j)
            for (int i = 0; i < tv::kGridX; ++i) {
                POINT p = tv::GridPoint(i, j, kW, kH);
                COLORREF c = f.At(p.x, p.y);
                grid.push_back(((DWORD)GetRValue(c) << 16) | ((DWORD)GetGValue(c) << 8) | GetBValue(c));
            }
        return pictures->Showing(grid);
    }
    // Display-coloured pixels of a frame inside and outside a box.
    static void CountOsd(const Frame& f, const RECT& box, int* inside, int* outside)
    {
        *inside = *outside = 0;
        for (int y = 0; y < f.h; ++y)
            for (int x = 0; x < f.w; ++x)
                if (IsOsdColour(f.At(x, y))) {
                    POINT p = {x, y};
                    ++*(PtInRect(&box, p) ? inside : outside);
                }
    }
    std::string Chain(CCaptureGraph& g) { return Joined(FilterNames(g.GetGraph())); }
    static SIZE ConnectedSize(CCaptureGraph& g)
    {
        SIZE s = {0, 0};
        ComPtr<IAMStreamConfig> config;
        config.Attach(g.FindStreamConfig(&PIN_CATEGORY_PREVIEW));
        AM_MEDIA_TYPE* mt = NULL;
        if (config && SUCCEEDED(config->GetFormat(&mt)) && mt) {
            if (mt->cbFormat >= sizeof(VIDEOINFOHEADER)) {
                const BITMAPINFOHEADER& b = ((VIDEOINFOHEADER*)mt->pbFormat)->bmiHeader;
                s.cx = b.biWidth;
                s.cy = b.biHeight < 0 ? -b.biHeight : b.biHeight;
            }
            CoTaskMemFree(mt->pbFormat);
            CoTaskMemFree(mt);
        }
        return s;
    }

    std::unique_ptr<tv::PictureSet> pictures;
    std::vector<CardStation> stations;
};

const char kChain[] =
    "AVI Decompressor, Audio Capture, Brinmarch Deinterlacer, Brinmarch Video Invert Filter, "
    "KSR_OverlayFilter, Kestor TV Arden WDM Crossbar, Kestor_Image Grabber, OverlayMixer, "
    "Video Capture, Video Renderer";
// After an input switch Wine's builder does not bring the crossbar back into
// the graph; the engine keeps the one it has, which still routes.
const char kChainAfterSwitch[] =
    "AVI Decompressor, Audio Capture, Brinmarch Deinterlacer, Brinmarch Video Invert Filter, "
    "KSR_OverlayFilter, Kestor_Image Grabber, OverlayMixer, Video Capture, Video Renderer";

TEST_F(PreviewTest, TheStationsPictureFollowsTuningInputsAndSizes)
{
    Tune(stations[0].freqMHz);
    COverlayGraph g;
    ASSERT_TRUE(OpenPreview(g));
    EXPECT_TRUE(Messages().empty());
    ASSERT_TRUE(g.GetMixer()) << "the picture goes through the mixer";
    EXPECT_EQ(kChain, Chain(g));
    EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
    Tune(stations[1].freqMHz);
    EXPECT_EQ(stations[1].name, WaitShowing(stations[1].name));

    const struct {
        int input;
        int routed;
        const char* picture;
    } inputs[] = {{1, CARD_VIDEO_COMPOSITE, "Composite"},
                  {2, CARD_VIDEO_SVIDEO, "SVideo"},
                  {0, CARD_VIDEO_TUNER, stations[1].name}};
    for (int round = 0; round < 2; ++round)
        for (const auto& in : inputs) {
            ASSERT_TRUE(g.SwitchInput(in.input, kW, kH)) << in.input;
            EXPECT_EQ(in.routed, CardVideoInput()) << in.input;
            EXPECT_EQ(in.picture, WaitShowing(in.picture)) << in.input << " round " << round;
            EXPECT_EQ(kChainAfterSwitch, Chain(g)) << in.input;
        }

    const SIZE sizes[] = {{320, 240}, {640, 480}, {kW, kH}};
    for (const SIZE& s : sizes) {
        ASSERT_TRUE(g.ResizeVideo(s.cx, s.cy)) << s.cx;
        SIZE got = ConnectedSize(g);
        EXPECT_EQ(s.cx, got.cx);
        EXPECT_EQ(s.cy, got.cy);
        EXPECT_EQ(kChainAfterSwitch, Chain(g)) << s.cx;
    }
    // Back at the full size the renderer draws the frame one to one again.
    EXPECT_EQ(stations[1].name, WaitShowing(stations[1].name));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PreviewTest, TheDisplaysTextAndLevelAreDrawnIntoThePicture)
{
    COverlayGraph g;
    ASSERT_TRUE(OpenPreview(g, 1));
    ASSERT_EQ("Composite", WaitShowing("Composite"));
    Frame before = Grab(g);
    ASSERT_EQ(kW, before.w);

    // GBK text in a 40-pixel font at (100, 80).
    const std::string text = "\xc6\xb5\xb5\xc0 12";  // GBK
    LOGFONTA font = OsdFont(40);
    SIZE extent = TextExtent(text, font);
    ASSERT_GT(extent.cx, 40);
    RECT box = {100, 80, 100 + extent.cx, 80 + extent.cy};
    int baseIn = 0, baseOut = 0;
    CountOsd(before, box, &baseIn, &baseOut);
    ASSERT_TRUE(g.ShowOsdText(text.c_str(), 100, 80, font));
    Frame shown;
    int in = 0, out = 0;
    EXPECT_TRUE(ts::PumpUntil([&] {
        shown = Grab(g);
        CountOsd(shown, box, &in, &out);
        return in > 200;
    }));
    EXPECT_GT(in, 200) << "the text's strokes";
    EXPECT_LE(out, baseOut) << "display colour outside the text's extent";
    // And the window shows what the grabber holds, one to one, once the
    // renderer's drawing has reached the screen (Wine flushes it while a
    // thread of the process waits for messages).
    RECT screenBox = box;
    MapWindowPoints(owner, NULL, (POINT*)&screenBox, 2);
    int onScreen = 0;
    ts::PumpUntil([&] {
        onScreen = 0;
        for (DWORD px : tv::ScreenPixels(screenBox))
            onScreen += IsOsdColour(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF));
        return onScreen > 100;
    });
    EXPECT_GT(onScreen, 100);

    // The level bar of 20 cells, 20 pixels each, below the text.
    const int bx = 100, by = 300;
    auto filledCells = [&](const Frame& f) {
        int n = 0;
        for (int i = 0; i < 20; ++i)
            n += IsOsdColour(f.At(bx + i * 20 + 9, by + 10));
        return n;
    };
    const int levels[][2] = {{1, 1}, {100, 20}, {0, 0}, {250, 20}};
    for (const auto& l : levels) {
        ASSERT_TRUE(g.ShowOsdLevel(l[0], bx, by, 400, 20, 20, font)) << l[0];
        int cells = -1;
        ts::PumpUntil([&] { return (cells = filledCells(Grab(g))) == l[1]; }, 3000);
        EXPECT_EQ(l[1], cells) << "level " << l[0];
    }

    g.ClearOsd();
    ts::PumpUntil([&] {
        CountOsd(Grab(g), box, &in, &out);
        return in == baseIn && filledCells(Grab(g)) == 0;
    }, 3000);
    EXPECT_EQ(baseIn, in) << "text left after ClearOsd";
    EXPECT_EQ(0, filledCells(Grab(g)));
}

TEST_F(PreviewTest, TheInvertFilterTurnsTheWindowButNotTheSnapshot)
{
    Tune(stations[0].freqMHz);
    COverlayGraph g;
    ASSERT_TRUE(OpenPreview(g));
    ASSERT_EQ(stations[0].name, WaitShowing(stations[0].name));
    CardSetInvertMode(CARD_INVERT_FLIP);
    EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name, true)) << "window upside down";
    EXPECT_EQ(stations[0].name, GrabbedShowing(g)) << "the grabber sits before the invert filter";
    CardSetInvertMode(CARD_INVERT_OFF);
    EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
}

TEST_F(PreviewTest, WithoutTheMixerThePictureGoesThroughTheAviDecompressor)
{
    Tune(stations[0].freqMHz);
    CardFailCall("Mixer.Create", -1);
    COverlayGraph g;
    ASSERT_TRUE(OpenPreview(g));
    CardFailCall("Mixer.Create", 0);
    EXPECT_EQ(NULL, g.GetMixer());
    EXPECT_TRUE(Messages().empty());
    std::string chain = Chain(g);
    EXPECT_EQ(std::string::npos, chain.find("OverlayMixer")) << chain;
    EXPECT_NE(std::string::npos, chain.find("AVI Decompressor")) << chain;
    EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
}

TEST_F(PreviewTest, AMixerRefusingTheRendererOnceGetsAFreshRendererAlwaysFails)
{
    Tune(stations[0].freqMHz);
    {
        CardFailCall("Mixer.Connect", 1);
        COverlayGraph g;
        ASSERT_TRUE(OpenPreview(g));
        EXPECT_TRUE(g.GetRenderer());
        EXPECT_EQ(kChain, Chain(g)) << "the refused renderer left the graph";
        EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
    }
    // Refused every time (the builder's own tries count too): no picture,
    // and Open says so.
    CardFailCall("Mixer.Connect", -1);
    COverlayGraph g;
    EXPECT_FALSE(OpenPreview(g));
    CardFailCall("Mixer.Connect", 0);
}

// Without a preview pin the chain hangs off the capture pin; when the graph
// goes, no video window is left in the owner.
TEST_F(PreviewTest, WithoutAPreviewPinTheCapturePinFeedsThePicture)
{
    Tune(stations[0].freqMHz);
    CardSetPreviewPinEnabled(FALSE);
    {
        COverlayGraph g;
        ASSERT_TRUE(OpenPreview(g));
        EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
    }
    ts::PumpFor(50);
    EXPECT_EQ(NULL, GetWindow(owner, GW_CHILD));
    CardSetPreviewPinEnabled(TRUE);
}

TEST_F(PreviewTest, WithoutTheAudioDeviceThePreviewRunsAfterItsMessage)
{
    Tune(stations[0].freqMHz);
    CardFailCall("AudioCapture", -1);
    COverlayGraph g;
    ASSERT_TRUE(OpenPreview(g));
    CardFailCall("AudioCapture", 0);
    EXPECT_EQ(1u, Messages().size());
    EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name));
}

// Recordings: the next capNN.mpg in the folder grows while the preview
// branch draws, with and without sound.
class RecordingTest : public PreviewTest {
protected:
    void Record(bool withAudio)
    {
        std::string folder = ts::FreshTempDir(withAudio ? "record_av" : "record_v");
        Tune(stations[0].freqMHz);
        if (!withAudio)
            CardFailCall("AudioCapture", -1);
        CRecordGraph g;
        g.SetRecordParams(folder.c_str(), 0, 1);
        ASSERT_TRUE(g.Initialize(owner));
        ASSERT_TRUE(g.Open(0, 352, 288, 50, 50, 50, 50, 50));
        CardFailCall("AudioCapture", 0);
        EXPECT_EQ(withAudio ? 0u : 1u, Messages().size());
        EXPECT_EQ(stations[0].name, WaitShowing(stations[0].name)) << "the preview branch";
        ts::PumpFor(500);
        DWORD first = g.GetRecordedBytes();
        DWORD size = tv::FileSize(folder + "cap00.mpg");
        ts::PumpFor(2500);
        EXPECT_GT(g.GetRecordedBytes(), first);
        EXPECT_GT(first, 0u);
        EXPECT_NE((DWORD)-1, size) << folder << "cap00.mpg";
        g.Stop();
        EXPECT_GT(tv::FileSize(folder + "cap00.mpg"), size);
    }
};

TEST_F(RecordingTest, TheNextCaptureFileGrowsWithSound) { Record(true); }
TEST_F(RecordingTest, TheNextCaptureFileGrowsWithoutSound) { Record(false); }

// The graph's Run reports success over a recorder that stays stopped: the
// start must still fail, leave the graph stopped and write no file. Refused
// once, the recorder starts at the graph's second try and records.
TEST_F(RecordingTest, ARecorderRefusingToRunFailsTheStart)
{
    std::string folder = ts::FreshTempDir("record_refused");
    CardFailCall("Recorder.Run", -1);
    {
        CRecordGraph g;
        g.SetRecordParams(folder.c_str(), 0, 1);
        ASSERT_TRUE(g.Initialize(owner));
        EXPECT_FALSE(g.Open(0, 352, 288, 50, 50, 50, 50, 50));
        ComPtr<IMediaControl> mc;
        ASSERT_EQ(S_OK, mc.QueryFrom(g.GetGraph(), IID_IMediaControl));
        OAFilterState state = -1;
        mc->GetState(500, &state);
        EXPECT_EQ(State_Stopped, state);
        ts::PumpFor(300);
        EXPECT_EQ(0u, g.GetRecordedBytes());
    }
    EXPECT_EQ((DWORD)-1, tv::FileSize(folder + "cap00.mpg"));
    std::vector<std::string> log = CardTakeLogLines();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), std::string("Recorder.Run: made to fail")));

    CardFailCall("Recorder.Run", 1);
    CRecordGraph g;
    g.SetRecordParams(folder.c_str(), 0, 1);
    ASSERT_TRUE(g.Initialize(owner));
    ASSERT_TRUE(g.Open(0, 352, 288, 50, 50, 50, 50, 50));
    EXPECT_TRUE(ts::PumpUntil([&] { return g.GetRecordedBytes() > 0; }, 5000));
    g.Stop();
    EXPECT_NE((DWORD)-1, tv::FileSize(folder + "cap00.mpg"));
}

// The grid of what a window's own surface holds: under Wine a read of the
// screen from this process missed a file graph's picture that the X screen
// showed, while the window's device context holds it.
std::vector<DWORD> WindowGrid(HWND hwnd)
{
    RECT rc = {};
    std::vector<DWORD> grid;
    if (!hwnd || !GetClientRect(hwnd, &rc) || rc.right < tv::kGridX || rc.bottom < tv::kGridY)
        return grid;
    HDC dc = GetDC(hwnd);
    for (int j = 0; j < tv::kGridY; ++j)
        for (int i = 0; i < tv::kGridX; ++i) {
            POINT p = tv::GridPoint(i, j, rc.right, rc.bottom);
            COLORREF c = GetPixel(dc, p.x, p.y);
            grid.push_back(((DWORD)GetRValue(c) << 16) | ((DWORD)GetGValue(c) << 8) | GetBValue(c));
        }
    ReleaseDC(hwnd, dc);
    return grid;
}

// A recording plays back with its station's picture, drawn by the renderer
// the live picture uses (the file graph's default one left the window as
// it was), and a snapshot taken while it
// plays holds that picture.
TEST_F(RecordingTest, ARecordingPlaysBackWithItsStationsPicture)
{
    std::string folder = ts::FreshTempDir("record_play");
    const CardStation& station = stations[1];
    Tune(station.freqMHz);
    {
        CRecordGraph g;
        g.SetRecordParams(folder.c_str(), 0, 1);
        ASSERT_TRUE(g.Initialize(owner));
        ASSERT_TRUE(g.Open(0, 352, 288, 50, 50, 50, 50, 50));
        ts::PumpFor(2500);
        g.Stop();
    }
    Tune(stations[0].freqMHz);
    CMediaPlayer player;
    ASSERT_TRUE(player.Create());
    ASSERT_TRUE(player.RenderFile((folder + "cap00.mpg").c_str()));
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(S_OK, player.GetGraph()->FindFilterByName(L"Video Renderer", renderer.Out()));
    CLSID clsid = {};
    renderer->GetClassID(&clsid);
    EXPECT_TRUE(IsEqualCLSID(CLSID_VideoRenderer, clsid));
    ComPtr<IPin> peer;
    EXPECT_EQ(S_OK, FindPin(renderer, TRUE, NULL)->ConnectedTo(peer.Out())) << "the file's picture does not reach it";
    ASSERT_TRUE(player.SetOwner(owner));
    ASSERT_TRUE(player.Run());

    HWND video = GetWindow(owner, GW_CHILD);
    std::string shown;
    EXPECT_TRUE(ts::PumpUntil([&] { return (shown = pictures->Showing(WindowGrid(video))) == station.name; }, 5000))
        << "the window shows '" << shown << "'";
    ASSERT_TRUE(player.SaveSnapshot(folder.c_str()));
    SIZE size = {};
    std::vector<DWORD> pixels = tv::BitmapPixels(folder + "cap00.bmp", &size);
    ASSERT_EQ(320, size.cx);
    ASSERT_EQ(240, size.cy);
    std::vector<DWORD> grid;
    for (int j = 0; j < tv::kGridY; ++j)
        for (int i = 0; i < tv::kGridX; ++i) {
            POINT p = tv::GridPoint(i, j, size.cx, size.cy);
            grid.push_back(pixels[(size_t)p.y * size.cx + p.x]);
        }
    EXPECT_EQ(station.name, tv::PictureSet(kCapture, size.cx, size.cy).Showing(grid)) << "the snapshot";
}

// A file name the recorder refuses (too long for it) fails the Open.
TEST_F(RecordingTest, AFileNameTheRecorderRefusesFailsTheOpen)
{
    CRecordGraph g;
    std::string folder = "C:\\" + std::string(262, 'a') + "\\";
    g.SetRecordParams(folder.c_str(), 0, 1);
    ASSERT_TRUE(g.Initialize(owner));
    EXPECT_FALSE(g.Open(0, 352, 288, 50, 50, 50, 50, 50));
    EXPECT_EQ(0u, g.GetRecordedBytes());
}

}  // namespace

