// The YUY2 driver as the compression manager finds it (the test prefix has it
// registered), and the AVI Decompressor that takes the card's YUY2 through it.
#include "FilterRig.h"
#include "YuvCodec.h"
#include "YuvConvert.h"
#include <gtest/gtest.h>
#include <uuids.h>

namespace {

static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "yuvcodec_test");
const int kW = 32, kH = 6;
const DWORD kYuy2 = MAKEFOURCC('Y', 'U', 'Y', '2');

BITMAPINFOHEADER Yuy2Header() {
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof(h);
    h.biWidth = kW;
    h.biHeight = kH;
    h.biPlanes = 1;
    h.biBitCount = 16;
    h.biCompression = kYuy2;
    h.biSizeImage = kW * kH * 2;
    return h;
}

std::vector<BYTE> Picture() {
    std::vector<BYTE> f(kW * kH * 2);
    for (size_t i = 0; i < f.size(); i++) f[i] = static_cast<BYTE>(i * 29 + 3);
    return f;
}

std::vector<BYTE> Expected(yuv::RgbFormat format) {
    std::vector<BYTE> pic = Picture(), out(yuv::RgbStride(kW, format) * kH);
    yuv::Yuy2ToRgbFrame(pic.data(), kW, kH, out.data(), yuv::RgbStride(kW, format), format,
                        yuv::FastestRgb32Row());
    return out;
}

LONG OpenInstances() {
    typedef LONG (*Fn)();
    HMODULE dll = GetModuleHandleA("YuvCodec.dll");
    Fn fn = dll ? reinterpret_cast<Fn>(GetProcAddress(dll, "YuvCodec_OpenInstances")) : NULL;
    return fn ? fn() : -1;
}

}  // namespace

TEST(YuvCodec, TheCompressionManagerFindsItAndItDecompressesToRgb) {
    HIC ic = ICOpen(ICTYPE_VIDEO, kYuy2, ICMODE_DECOMPRESS);
    ASSERT_TRUE(ic != NULL) << "vidc.YUY2 is not installed";
    EXPECT_GE(OpenInstances(), 1);
    ICINFO info = {};
    ASSERT_EQ(sizeof(info), static_cast<size_t>(ICGetInfo(ic, &info, sizeof(info))));
    EXPECT_EQ(ICTYPE_VIDEO, info.fccType);

    BITMAPINFOHEADER in = Yuy2Header(), out = {};
    EXPECT_EQ(ICERR_OK, ICDecompressQuery(ic, &in, NULL));
    EXPECT_EQ(ICERR_BADFORMAT, ICDecompressQuery(ic, &in, &in));  // no YUY2 out
    ASSERT_EQ(ICERR_OK, ICDecompressGetFormat(ic, &in, &out));
    EXPECT_EQ(32, out.biBitCount);
    EXPECT_EQ(kH, out.biHeight);  // bottom-up
    BITMAPINFOHEADER odd = in;
    odd.biWidth = kW + 1;
    EXPECT_EQ(ICERR_BADFORMAT, ICDecompressQuery(ic, &odd, NULL));

    ASSERT_EQ(ICERR_OK, ICDecompressBegin(ic, &in, &out));
    std::vector<BYTE> pic = Picture(), rgb(kW * kH * 4);
    ASSERT_EQ(ICERR_OK, ICDecompress(ic, 0, &in, pic.data(), &out, rgb.data()));
    EXPECT_EQ(Expected(yuv::RGB_32), rgb);
    ICDecompressEnd(ic);
    ICClose(ic);
    // Closed, or unloaded with its last instance.
    LONG left = OpenInstances();
    EXPECT_TRUE(left == 0 || left == -1) << left;

    // A compressor it is not.
    EXPECT_TRUE(ICOpen(ICTYPE_VIDEO, kYuy2, ICMODE_COMPRESS) == NULL);
}

TEST(YuvCodec, TheAviDecompressorTakesYuy2ThroughIt) {
    CoInitialize(NULL);
    {
        ds::ComPtr<IBaseFilter> avidec;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_AVIDec, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         avidec.OutVoid()));
        for (yuv::RgbFormat format : {yuv::RGB_32, yuv::RGB_24}) {
            ds::FilterRig rig(ds::MakeVideoType(MEDIASUBTYPE_YUY2, kYuy2, 16, kW, kH, 400000),
                              format == yuv::RGB_32 ? MEDIASUBTYPE_RGB32 : MEDIASUBTYPE_RGB24);
            ASSERT_EQ(S_OK, rig.Connect(avidec.Get())) << format;
            HRESULT hr = rig.Run();
            ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
            ASSERT_EQ(S_OK, rig.Send(Picture(), 0, 400000));
            EXPECT_EQ(Expected(format), rig.Sink()->LastSample()) << format;
            rig.Stop();
            rig.Graph()->RemoveFilter(avidec.Get());
        }
    }
    CoUninitialize();
}
