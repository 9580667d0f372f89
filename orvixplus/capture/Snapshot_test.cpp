// Snapshots through the image grabber stand-in: a test source of known YUY2
// pictures, the grabber, and a sink that takes what the grabber passes on.
#include "CaptureTestEnv.h"
#include "Filters.h"
#include "FrameConvert.h"
#include "PushPin.h"
#include "SinkFilter.h"
#include "TestSupport.h"
#include <fstream>
#include <iterator>

namespace {

const int W = 640, H = 480;
const CLSID CLSID_PatternSource = {0x2d6f1a3c, 0x7e21, 0x4c55, {0x9a, 0x10, 0x3b, 0x44, 0x5e, 0x61, 0x72, 0x83}};

struct Yuv {
    BYTE y, u, v;
};
const Yuv kBlack = {16, 128, 128}, kWhite = {235, 128, 128}, kRed = {81, 90, 240},
          kBlue = {41, 240, 110}, kGray = {128, 128, 128}, kGrayOddChroma = {128, 255, 0};

void Fill(std::vector<BYTE>& frame, int row, int fromCol, int toCol, Yuv c)
{
    for (int col = fromCol; col < toCol; col += 2) {
        BYTE* p = &frame[((size_t)row * W + col) * 2];
        p[0] = c.y, p[1] = c.u, p[2] = c.y, p[3] = c.v;
    }
}

// Top half: four bands of 160 columns, black, white, red, blue, and a fifth
// strip (the last 32 columns of the blue band) whose odd rows carry other
// chroma than its even rows. Bottom half: white.
std::vector<BYTE> Pattern()
{
    std::vector<BYTE> f((size_t)W * H * 2);
    for (int r = 0; r < H; r++) {
        if (r >= H / 2) {
            Fill(f, r, 0, W, kWhite);
            continue;
        }
        Fill(f, r, 0, 160, kBlack);
        Fill(f, r, 160, 320, kWhite);
        Fill(f, r, 320, 480, kRed);
        Fill(f, r, 480, 608, kBlue);
        Fill(f, r, 608, 640, (r & 1) ? kGrayOddChroma : kGray);
    }
    return f;
}

class PatternPin : public ds::PushPin {
public:
    explicit PatternPin(ds::Filter* f) : PushPin(f, L"Out"), frame_(Pattern()) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override
    {
        return ds::EqualMediaType(*mt, Type()) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int i, AM_MEDIA_TYPE* mt) override
    {
        if (i != 0)
            return VFW_S_NO_MORE_ITEMS;
        ds::MediaType t = Type();
        return ds::CopyMediaType(mt, &t);
    }
    void SetFrame(const std::vector<BYTE>& f)
    {
        ds::AutoLock lock(frameLock_);
        frame_ = f;
    }

protected:
    HRESULT FillSample(IMediaSample* s, REFERENCE_TIME, REFERENCE_TIME* duration) override
    {
        BYTE* p;
        s->GetPointer(&p);
        ds::AutoLock lock(frameLock_);
        memcpy(p, frame_.data(), frame_.size());
        s->SetActualDataLength((long)frame_.size());
        *duration = 200000;  // 50 frames/s: a changed picture is soon through
        return S_OK;
    }

private:
    static ds::MediaType Type()
    {
        return ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, W, H, 200000);
    }
    ds::CritSec frameLock_;
    std::vector<BYTE> frame_;
};

class PatternSource : public ds::Filter {
public:
    PatternSource() : Filter(CLSID_PatternSource), pin_(new PatternPin(this)) { AddPin(pin_); }
    bool IsLive() const override { return true; }
    PatternPin* pin_;
};

typedef void (*FailCallFn)(int, HRESULT, BOOL);
typedef void (*ResetFn)();

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class T>
T At(const std::vector<BYTE>& b, size_t offset)
{
    T v;
    memcpy(&v, &b[offset], sizeof(T));
    return v;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class SnapshotTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        source = new PatternSource;
        source->AddRef();
        sink = new ds::SinkFilter(MEDIATYPE_Video);
        sink->AddRef();
        grabber.reset(new CImageGrabber(graph));
        ASSERT_TRUE(grabber->Create());
        HMODULE dll = GetModuleHandleA("KestorImageGrabber.dll");
        ASSERT_NE(nullptr, dll);
        failCall = (FailCallFn)GetProcAddress(dll, "ImageGrabber_FailCall");
        resetHooks = (ResetFn)GetProcAddress(dll, "ImageGrabber_ResetHooks");
        ASSERT_TRUE(failCall && resetHooks);
        ASSERT_EQ(S_OK, graph->AddFilter(source, L"Pattern"));
        ASSERT_EQ(S_OK, graph->AddFilter(sink, L"Sink"));
        ASSERT_EQ(S_OK, graph->ConnectDirect(source->PinAt(0), grabber->FindPin(TRUE, NULL), NULL));
        ASSERT_EQ(S_OK, graph->ConnectDirect(grabber->FindPin(FALSE, NULL), sink->Input(), NULL));
    }
    void TearDown() override
    {
        if (control)
            control->Stop();
        control.Reset();
        if (resetHooks)
            resetHooks();
        grabber.reset();
        if (sink)
            sink->Release();
        if (source)
            source->Release();
    }
    void Run()
    {
        ASSERT_EQ(S_OK, control.QueryFrom(graph.Get(), IID_IMediaControl));
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        LONG before = sink->SampleCount();
        ASSERT_TRUE(ts::PumpUntil([&] { return sink->SampleCount() >= before + 2; }));
    }
    PatternSource* source = NULL;
    ds::SinkFilter* sink = NULL;
    std::unique_ptr<CImageGrabber> grabber;
    ComPtr<IMediaControl> control;
    FailCallFn failCall = NULL;
    ResetFn resetHooks = NULL;
};

// Blue, green, red of the output pixel at (row, column) counted top-down.
std::vector<int> Pixel(const std::vector<BYTE>& bmp, int row, int col)
{
    size_t at = 54 + (size_t)(H - 1 - row) * W * 3 + (size_t)col * 3;
    return {bmp[at], bmp[at + 1], bmp[at + 2]};
}

}  // namespace

TEST_F(SnapshotTest, TheBmpIsByteExactAndBottomUp)
{
    Run();
    std::string dir = ts::FreshTempDir("snap");
    ASSERT_TRUE(grabber->SaveSnapshot(dir.c_str()));
    std::vector<BYTE> bmp = ReadAll(dir + "cap00.bmp");
    ASSERT_EQ(921654u, bmp.size());
    EXPECT_EQ(0x4D42, At<WORD>(bmp, 0));
    EXPECT_EQ(921654u, At<DWORD>(bmp, 2));
    EXPECT_EQ(0u, At<DWORD>(bmp, 6));
    EXPECT_EQ(54u, At<DWORD>(bmp, 10));
    EXPECT_EQ(40u, At<DWORD>(bmp, 14));
    EXPECT_EQ(W, At<LONG>(bmp, 18));
    EXPECT_EQ(H, At<LONG>(bmp, 22));
    EXPECT_EQ(1, At<WORD>(bmp, 26));
    EXPECT_EQ(24, At<WORD>(bmp, 28));
    EXPECT_EQ(0u, At<DWORD>(bmp, 30));
    EXPECT_EQ(921600u, At<DWORD>(bmp, 34));

    // By hand: y = (Y - 16) x 1.1644, each colour cut toward zero, clamped.
    // Red (81, 90, 240): y 75.69, R 254.44, G -0.48, B -0.97. Blue (41, 240,
    // 110): R 0.38, G -0.14, B 255.04. Gray 128: 130.41; its odd rows' chroma
    // is dropped, so they stay gray.
    const std::vector<int> black = {0, 0, 0}, white = {255, 255, 255}, red = {0, 0, 254},
                           blue = {255, 0, 0}, gray = {130, 130, 130};
    for (int row : {0, 1, 100, 239}) {
        EXPECT_EQ(black, Pixel(bmp, row, 0)) << row;
        EXPECT_EQ(black, Pixel(bmp, row, 159)) << row;
        EXPECT_EQ(white, Pixel(bmp, row, 160)) << row;
        EXPECT_EQ(red, Pixel(bmp, row, 320)) << row;
        EXPECT_EQ(red, Pixel(bmp, row, 479)) << row;
        EXPECT_EQ(blue, Pixel(bmp, row, 480)) << row;
        EXPECT_EQ(gray, Pixel(bmp, row, 608)) << row;
        EXPECT_EQ(gray, Pixel(bmp, row, 639)) << row;
    }
    for (int row : {240, 241, 479})
        EXPECT_EQ(white, Pixel(bmp, row, 0)) << row;
    // The file's first pixel row is the picture's last.
    EXPECT_EQ(255, bmp[54]);
    EXPECT_EQ(0, bmp[54 + (size_t)(H - 1) * W * 3]);
}

TEST_F(SnapshotTest, NamesGoOnAndAFailedFrameWritesNothing)
{
    Run();
    std::string dir = ts::FreshTempDir("snap");
    EXPECT_STREQ((dir + "cap00.bmp").c_str(), grabber->NextSnapshotName(dir.c_str()));
    ASSERT_TRUE(grabber->SaveSnapshot(dir.c_str()));

    // A new picture shows in the next snapshot.
    std::vector<BYTE> black((size_t)W * H * 2);
    for (int r = 0; r < H; r++)
        Fill(black, r, 0, W, kBlack);
    source->pin_->SetFrame(black);
    LONG before = sink->SampleCount();
    ASSERT_TRUE(ts::PumpUntil([&] { return sink->SampleCount() >= before + 3; }));
    ASSERT_TRUE(grabber->SaveSnapshot(dir.c_str()));
    std::vector<BYTE> second = ReadAll(dir + "cap01.bmp");
    ASSERT_EQ(921654u, second.size());
    EXPECT_EQ((std::vector<int>{0, 0, 0}), Pixel(second, 479, 0));
    EXPECT_EQ((std::vector<int>{0, 0, 0}), Pixel(second, 0, 200));

    failCall(8, E_FAIL, FALSE);
    EXPECT_FALSE(grabber->SaveSnapshot(dir.c_str()));
    EXPECT_FALSE(Exists(dir + "cap02.bmp"));
    failCall(4, E_FAIL, TRUE);
    EXPECT_FALSE(grabber->SaveSnapshot(dir.c_str()));
    EXPECT_EQ(nullptr, grabber->GrabFrameRGB());
    failCall(4, S_OK, FALSE);

    // A frame shorter than the header says is not converted.
    std::vector<BYTE> frame((size_t)W * H * 2);
    EXPECT_FALSE(grabber->WriteBmp(frame.data(), (long)frame.size() - 1, dir.c_str()));
    EXPECT_FALSE(Exists(dir + "cap02.bmp"));
    EXPECT_TRUE(grabber->SaveSnapshot(dir.c_str()));
    EXPECT_TRUE(Exists(dir + "cap02.bmp"));

    int w = 0, h = 0, third = 0;
    EXPECT_TRUE(grabber->GetFrameSize(&w, &h, &third));
    EXPECT_EQ(W, w);
    EXPECT_EQ(H, h);
    BYTE* rgb = grabber->GrabFrameRGB(&w, &h);
    ASSERT_NE(nullptr, rgb);
    EXPECT_EQ(0, rgb[0]);
    delete[] rgb;
}

TEST_F(SnapshotTest, WithoutAFrameThereIsNoSnapshot)
{
    // Connected but never run: the grabber has no frame yet.
    std::string dir = ts::FreshTempDir("snap");
    EXPECT_FALSE(grabber->SaveSnapshot(dir.c_str()));
    EXPECT_FALSE(Exists(dir + "cap00.bmp"));
    Run();
    control->Stop();
    EXPECT_FALSE(grabber->SaveSnapshot(dir.c_str()));  // a stop forgets the frame
}

TEST_F(SnapshotTest, AGrabberWithoutItsInterfaceIsNotKept)
{
    typedef void (*RefuseFn)(BOOL);
    RefuseFn refuse =
        (RefuseFn)GetProcAddress(GetModuleHandleA("KestorImageGrabber.dll"), "ImageGrabber_RefuseInterface");
    ASSERT_TRUE(refuse);
    refuse(TRUE);
    size_t before = FilterNames().size();
    CImageGrabber other(graph);
    EXPECT_FALSE(other.Create());
    EXPECT_EQ(nullptr, other.GetFilter());
    EXPECT_EQ(before, FilterNames().size());
    EXPECT_FALSE(other.SaveSnapshot("C:\\"));
}

TEST(FrameConvert, RowsArePaddedAndOnlyFittingFramesConvert)
{
    EXPECT_EQ(1920, Rgb24Stride(640));
    EXPECT_EQ(1056, Rgb24Stride(352));
    EXPECT_EQ(20, Rgb24Stride(6));
    EXPECT_EQ(8, Rgb24Stride(2));
    EXPECT_TRUE(Yuy2FrameFits(640, 480, 614400));
    EXPECT_TRUE(Yuy2FrameFits(640, -480, 614400));
    EXPECT_FALSE(Yuy2FrameFits(640, 480, 614399));
    EXPECT_FALSE(Yuy2FrameFits(639, 480, 1 << 20));
    EXPECT_FALSE(Yuy2FrameFits(640, 481, 1 << 20));
    EXPECT_FALSE(Yuy2FrameFits(0, 480, 1 << 20));
    EXPECT_FALSE(Yuy2FrameFits(640, 0, 1 << 20));
    EXPECT_FALSE(Yuy2FrameFits(-640, 480, 1 << 20));
    EXPECT_FALSE(Yuy2FrameFits(0x10000, 0x10000, 0x7fffffff));

    // 6 x 2 pixels: 18 bytes of pixels and 2 of padding a row; white on top,
    // black below, so the file's first row is black.
    const BYTE yuy2[24] = {235, 128, 235, 128, 235, 128, 235, 128, 235, 128, 235, 128,
                           16,  128, 16,  128, 16,  128, 16,  128, 16,  128, 16,  128};
    std::vector<BYTE> rgb(40, 0xEE);
    Yuy2ToRgb24(yuy2, 6, 2, rgb.data(), 20);
    std::vector<BYTE> want(40, 0);
    std::fill(want.begin() + 20, want.begin() + 38, 255);
    EXPECT_EQ(want, rgb);
}

// Colours whose green comes out whole: 0.3918 x 110 + 0.813 x 54 is 87 (the
// 32-bit build made it 86), 2.3288 + 0.3918 x 29 - 0.813 x 7 is 8 (the 64-bit
// build made it 7).
TEST(FrameConvert, WholeLevelsAreNotCutOneLower)
{
    const BYTE pair[8] = {16, 18, 16, 74, 18, 99, 18, 135};
    BYTE yuy2[16];
    memcpy(yuy2, pair, 8);
    memcpy(yuy2 + 8, pair, 8);
    BYTE rgb[24];
    Yuy2ToRgb24(yuy2, 4, 2, rgb, Rgb24Stride(4));
    const std::vector<BYTE> row = {0, 87, 0, 0, 87, 0, 0, 8, 13, 0, 8, 13};  // blue, green, red
    EXPECT_EQ(row, std::vector<BYTE>(rgb, rgb + 12));
    EXPECT_EQ(row, std::vector<BYTE>(rgb + 12, rgb + 24));
}
