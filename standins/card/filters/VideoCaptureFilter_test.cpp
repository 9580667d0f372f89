// The video capture device in graphs built the way the TV application builds
// them, and its answers to the application's questions.
#include "CardFilterIds.h"
#include "CardTestSupport.h"
#include "CrossbarFilter.h"
#include "PictureGenerator.h"
#include "ProcAmpPage.h"
#include "TestSupport.h"
#include "VideoCaptureFilter.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <commctrl.h>
#include <string.h>

using namespace cardtest;
using ds::ComPtr;

namespace {

class VideoCapture : public ::testing::Test {
protected:
    CardFixtureState card_;
};

// The still upper half of the picture a station shows (the clock and the
// moving block sit lower down).
std::vector<BYTE> UpperHalf(const std::vector<BYTE>& frame, int width, int height) {
    size_t bytes = static_cast<size_t>(width) * 2 * (height / 2);
    if (frame.size() < bytes) return std::vector<BYTE>();
    return std::vector<BYTE>(frame.begin(), frame.begin() + bytes);
}

std::vector<BYTE> ExpectedUpperHalf(const CardStation& station, int width, int height) {
    card::PictureGenerator gen;
    card::PictureSource src;
    src.kind = card::kPictureStation;
    src.pattern = station.pattern;
    src.name = station.name;
    std::vector<BYTE> frame(static_cast<size_t>(width) * height * 2);
    SYSTEMTIME now;
    GetLocalTime(&now);
    gen.Draw(frame.data(), width, height, src, 0, now);
    return UpperHalf(frame, width, height);
}

GUID CategoryOf(IPin* pin) {
    GUID category = GUID_NULL;
    ComPtr<IKsPropertySet> ks;
    DWORD got = 0;
    if (SUCCEEDED(ks.QueryFrom(pin, IID_IKsPropertySet)))
        ks->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, NULL, 0, &category, sizeof(category), &got);
    return category;
}

// Builds device -> sink through the capture pin at the given format and runs it.
struct RunningCapture {
    RunningCapture(LONG width, LONG height, REFERENCE_TIME frameTime) {
        sink = new ds::SinkFilter(MEDIATYPE_Video);
        sink->AddRef();
        if (!g.ok || FAILED(BindDevice(CLSID_VideoInputDeviceCategory, card::kVideoCaptureName, device.Out())))
            return;
        if (FAILED(g.graph->AddFilter(device.Get(), L"Video Capture"))) return;
        if (FAILED(g.graph->AddFilter(sink, L"Sink"))) return;
        ComPtr<IAMStreamConfig> config;
        if (FAILED(g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(),
                                            IID_IAMStreamConfig, config.OutVoid())))
            return;
        AM_MEDIA_TYPE* mt = NULL;
        if (FAILED(config->GetFormat(&mt))) return;
        VIDEOINFOHEADER* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
        vih->bmiHeader.biWidth = width;
        vih->bmiHeader.biHeight = height;
        vih->bmiHeader.biSizeImage = width * height * 2;
        vih->AvgTimePerFrame = frameTime;
        HRESULT hr = config->SetFormat(mt);
        ds::DeleteMediaType(mt);
        if (FAILED(hr)) return;
        if (g.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(), NULL, sink) != S_OK)
            return;
        running = SUCCEEDED(g.control->Run());
    }
    ~RunningCapture() {
        if (g.control) g.control->Stop();
        sink->Release();
    }
    bool WaitFrames(LONG n) {
        LONG target = sink->SampleCount() + n;
        return ts::PumpUntil([&] { return sink->SampleCount() >= target; }, 10000);
    }
    CaptureGraph g;
    ComPtr<IBaseFilter> device;
    ds::SinkFilter* sink;
    bool running = false;
};

TEST_F(VideoCapture, PinsComeInOrderWithCategoriesAndStreamConfigOnTheOutputsOnly) {
    LONG before = ds::LiveObjects();
    for (BOOL preview : {TRUE, FALSE}) {
        CardSetPreviewPinEnabled(preview);
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<card::VideoCaptureFilter>(IID_IBaseFilter, filter.OutVoid()));
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(S_OK, filter->EnumPins(pins.Out()));
        std::vector<ComPtr<IPin>> list;
        IPin* pin;
        while (pins->Next(1, &pin, NULL) == S_OK) list.push_back(ComPtr<IPin>(pin, false));
        ASSERT_EQ(preview ? 3u : 2u, list.size());

        PIN_DIRECTION dir;
        list[0]->QueryDirection(&dir);
        EXPECT_EQ(PINDIR_INPUT, dir);
        EXPECT_TRUE(IsEqualGUID(PIN_CATEGORY_ANALOGVIDEOIN, CategoryOf(list[0].Get())));
        EXPECT_TRUE(IsEqualGUID(PIN_CATEGORY_CAPTURE, CategoryOf(list[1].Get())));
        if (preview) {
            EXPECT_TRUE(IsEqualGUID(PIN_CATEGORY_PREVIEW, CategoryOf(list[2].Get())));
        }

        void* none;
        EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(IID_IAMStreamConfig, &none));
        EXPECT_EQ(E_NOINTERFACE, list[0]->QueryInterface(IID_IAMStreamConfig, &none));
        for (size_t i = 1; i < list.size(); i++) {
            ComPtr<IAMStreamConfig> config;
            ASSERT_EQ(S_OK, config.QueryFrom(list[i].Get(), IID_IAMStreamConfig));
            int count = 0, size = 0;
            ASSERT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &size));
            ASSERT_EQ(8, count);
            EXPECT_EQ(static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)), size);
            std::vector<std::pair<LONG, LONG>> sizes;
            std::vector<REFERENCE_TIME> times;
            for (int c = 0; c < count; c++) {
                AM_MEDIA_TYPE* mt;
                VIDEO_STREAM_CONFIG_CAPS caps;
                ASSERT_EQ(S_OK, config->GetStreamCaps(c, &mt, reinterpret_cast<BYTE*>(&caps)));
                EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_YUY2, mt->subtype));
                VideoFormat f = FormatOf(ds::MediaType(*mt));
                sizes.push_back(std::make_pair(f.width, f.height));
                times.push_back(f.frameTime);
                ds::DeleteMediaType(mt);
            }
            for (auto want : {std::make_pair(320L, 240L), std::make_pair(640L, 480L),
                              std::make_pair(720L, 576L), std::make_pair(720L, 480L)})
                EXPECT_EQ(2, std::count(sizes.begin(), sizes.end(), want));
            EXPECT_EQ(4, std::count(times.begin(), times.end(), 333667));
            EXPECT_EQ(4, std::count(times.begin(), times.end(), 400000));
        }
    }
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST_F(VideoCapture, PictureLevelsAndStandardAreKeptAndCheckedAgainstTheirRanges) {
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, ds::CreateFilterObject<card::VideoCaptureFilter>(IID_IBaseFilter, filter.OutVoid()));
    ComPtr<IAMVideoProcAmp> amp;
    ASSERT_EQ(S_OK, amp.QueryFrom(filter.Get(), IID_IAMVideoProcAmp));
    for (LONG p = VideoProcAmp_Brightness; p <= VideoProcAmp_Sharpness; p++) {
        LONG min, max, step, def, caps, value, flags;
        ASSERT_EQ(S_OK, amp->GetRange(p, &min, &max, &step, &def, &caps));
        EXPECT_GT(step, 0);
        EXPECT_LT(min, max);
        EXPECT_TRUE(def >= min && def <= max);
        ASSERT_EQ(S_OK, amp->Get(p, &value, &flags));
        EXPECT_EQ(def, value);
        EXPECT_EQ(S_OK, amp->Set(p, max, VideoProcAmp_Flags_Manual));
        EXPECT_EQ(E_INVALIDARG, amp->Set(p, max + 1, VideoProcAmp_Flags_Manual));
        ASSERT_EQ(S_OK, amp->Get(p, &value, &flags));
        EXPECT_EQ(max, value);
    }
    LONG v, f;
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, amp->Get(VideoProcAmp_Gamma, &v, &f));

    ComPtr<IAMAnalogVideoDecoder> decoder;
    ASSERT_EQ(S_OK, decoder.QueryFrom(filter.Get(), IID_IAMAnalogVideoDecoder));
    LONG format = 0, lines = 0;
    ASSERT_EQ(S_OK, decoder->get_TVFormat(&format));
    EXPECT_EQ(AnalogVideo_PAL_D, format);
    EXPECT_EQ(S_OK, decoder->put_TVFormat(AnalogVideo_NTSC_M));
    decoder->get_TVFormat(&format);
    EXPECT_EQ(AnalogVideo_NTSC_M, format);
    decoder->get_NumberOfLines(&lines);
    EXPECT_EQ(525, lines);
    // A mask of several standards is no standard: the old one stays.
    EXPECT_EQ(E_INVALIDARG, decoder->put_TVFormat(0xFF000));
    decoder->get_TVFormat(&format);
    EXPECT_EQ(AnalogVideo_NTSC_M, format);

}

TEST_F(VideoCapture, ThePropertyPageShowsAndAppliesThePictureLevels) {
    LONG before = ds::LiveObjects();
    {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, ds::CreateFilterObject<card::VideoCaptureFilter>(IID_IBaseFilter, filter.OutVoid()));
        ComPtr<ISpecifyPropertyPages> pages;
        ASSERT_EQ(S_OK, pages.QueryFrom(filter.Get(), IID_ISpecifyPropertyPages));
        CAUUID list;
        ASSERT_EQ(S_OK, pages->GetPages(&list));
        ASSERT_EQ(1u, list.cElems);
        EXPECT_TRUE(IsEqualCLSID(card::CLSID_CardProcAmpPage, list.pElems[0]));
        CoTaskMemFree(list.pElems);

        ComPtr<IPropertyPage> page;
        ASSERT_EQ(S_OK, card::CreateProcAmpPage(IID_IPropertyPage, page.OutVoid()));
        PROPPAGEINFO info;
        ASSERT_EQ(S_OK, page->GetPageInfo(&info));
        EXPECT_STREQ(L"Video Proc Amp", info.pszTitle);
        CoTaskMemFree(info.pszTitle);
        RECT rect = {0, 0, info.size.cx, info.size.cy};
        EXPECT_EQ(E_UNEXPECTED, page->Activate(NULL, &rect, FALSE));  // no object yet
        IUnknown* object = filter.Get();
        ASSERT_EQ(S_OK, page->SetObjects(1, &object));

        ts::WithTestWindow([&](HWND hwnd) {
            ASSERT_EQ(S_OK, page->Activate(hwnd, &rect, FALSE));
            HWND pageWindow = GetWindow(hwnd, GW_CHILD);
            HWND slider = GetDlgItem(pageWindow, card::kProcAmpSliderId + VideoProcAmp_Brightness);
            ASSERT_TRUE(slider != NULL);
            EXPECT_EQ(128, SendMessageA(slider, TBM_GETPOS, 0, 0));
            EXPECT_EQ(S_FALSE, page->IsPageDirty());
            SendMessageA(slider, TBM_SETPOS, TRUE, 40);
            SendMessageA(pageWindow, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 40), reinterpret_cast<LPARAM>(slider));
            char shown[16] = "";
            GetDlgItemTextA(pageWindow, card::kProcAmpValueId + VideoProcAmp_Brightness, shown, sizeof(shown));
            EXPECT_STREQ("40", shown);
            // Hue runs from -128: its default 0 sits mid-way.
            HWND hue = GetDlgItem(pageWindow, card::kProcAmpSliderId + VideoProcAmp_Hue);
            EXPECT_EQ(128, SendMessageA(hue, TBM_GETPOS, 0, 0));
            GetDlgItemTextA(pageWindow, card::kProcAmpValueId + VideoProcAmp_Hue, shown, sizeof(shown));
            EXPECT_STREQ("0", shown);
            EXPECT_EQ(S_OK, page->IsPageDirty());
            EXPECT_EQ(S_OK, page->Apply());
            EXPECT_EQ(S_FALSE, page->IsPageDirty());
            EXPECT_EQ(S_OK, page->Deactivate());
        });
        ComPtr<IAMVideoProcAmp> amp;
        ASSERT_EQ(S_OK, amp.QueryFrom(filter.Get(), IID_IAMVideoProcAmp));
        LONG value = 0, flags = 0;
        amp->Get(VideoProcAmp_Brightness, &value, &flags);
        EXPECT_EQ(40, value);
        EXPECT_EQ(S_OK, page->SetObjects(0, NULL));
    }
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST_F(VideoCapture, JoiningAGraphBringsTheCrossbarConnectedToTheAnalogInput) {
    CaptureGraph g;
    ASSERT_TRUE(g.ok);
    ComPtr<IBaseFilter> device;
    ASSERT_EQ(S_OK, BindDevice(CLSID_VideoInputDeviceCategory, card::kVideoCaptureName, device.Out()));
    ASSERT_EQ(S_OK, g.graph->AddFilter(device.Get(), L"Video Capture"));

    // Found the way the application looks for it: upstream of the input
    // whose category is analog video in.
    ComPtr<IPin> analogIn, upstream;
    ASSERT_EQ(S_OK, g.builder->FindPin(device.Get(), PINDIR_INPUT, &PIN_CATEGORY_ANALOGVIDEOIN, NULL, FALSE,
                                       0, analogIn.Out()));
    ASSERT_EQ(S_OK, analogIn->ConnectedTo(upstream.Out()));
    PIN_INFO info;
    ASSERT_EQ(S_OK, upstream->QueryPinInfo(&info));
    ComPtr<IBaseFilter> xbarFilter(info.pFilter, false);
    ComPtr<IAMCrossbar> xbar;
    ASSERT_EQ(S_OK, xbar.QueryFrom(xbarFilter.Get(), IID_IAMCrossbar));
    for (LONG in = 0; in < 3; in++) EXPECT_EQ(S_OK, xbar->CanRoute(0, in));

    // Wine's builder asks the filter first: the stream configuration must
    // be found on the pins, for video and not for interleaved streams.
    ComPtr<IAMStreamConfig> config;
    EXPECT_TRUE(FAILED(g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, device.Get(),
                                                IID_IAMStreamConfig, config.OutVoid())));
    EXPECT_EQ(S_OK, g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(),
                                             IID_IAMStreamConfig, config.OutVoid()));
    EXPECT_EQ(S_OK, g.builder->FindInterface(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, device.Get(),
                                             IID_IAMStreamConfig, config.OutVoid()));
    ComPtr<IAMAnalogVideoDecoder> decoder;
    EXPECT_EQ(S_OK, g.builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, device.Get(),
                                             IID_IAMAnalogVideoDecoder, decoder.OutVoid()));

    // Leaving the graph disconnects it again.
    ASSERT_EQ(S_OK, g.graph->RemoveFilter(device.Get()));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, analogIn->ConnectedTo(upstream.Out()));
}

TEST_F(VideoCapture, CaptureGraphDeliversFramesAtTheNegotiatedSizeAndRate) {
    RunningCapture run(320, 240, 333667);
    ASSERT_TRUE(run.running);
    VideoFormat f = FormatOf(run.sink->ConnectedType());
    EXPECT_EQ(320, f.width);
    EXPECT_EQ(240, f.height);
    EXPECT_EQ(333667, f.frameTime);
    DWORD started = GetTickCount();
    ASSERT_TRUE(run.WaitFrames(15));
    DWORD elapsed = GetTickCount() - started;
    run.g.control->Stop();

    std::vector<ds::SampleRecord> r = run.sink->Records();
    ASSERT_GE(r.size(), 15u);
    for (size_t i = 0; i < r.size(); i++) {
        EXPECT_EQ(320 * 240 * 2, r[i].size);
        ASSERT_TRUE(r[i].hasTime);
        EXPECT_EQ(333667, r[i].stop - r[i].start);
        if (i > 0) {
            EXPECT_GE(r[i].start, r[i - 1].stop);
        }
    }
    // A live source cannot run ahead of the clock: 15 frames take at least
    // 14 frame times.
    EXPECT_GE(elapsed + 20, 14u * 33u);
}

TEST_F(VideoCapture, TheTunerChoosesTheStationSeenInTheNextFramesAndTheLock) {
    std::vector<CardStation> stations = CardStations();
    ASSERT_GE(stations.size(), 2u);
    RunningCapture run(720, 576, 400000);
    ASSERT_TRUE(run.running);
    ComPtr<IAMAnalogVideoDecoder> decoder;
    ASSERT_EQ(S_OK, decoder.QueryFrom(run.device.Get(), IID_IAMAnalogVideoDecoder));
    LONG locked = -1;

    for (size_t i = 0; i < 2; i++) {
        TuneTo(stations[i].freqMHz + 0.25);
        ASSERT_EQ(S_OK, decoder->get_HorizontalLocked(&locked));
        EXPECT_EQ(1, locked);
        std::vector<BYTE> want = ExpectedUpperHalf(stations[i], 720, 576);
        EXPECT_TRUE(ts::PumpUntil([&] { return UpperHalf(run.sink->LastSample(), 720, 576) == want; }, 5000))
            << "station " << stations[i].name;
    }

    // Off every station: snow, different in every frame, and no lock.
    TuneTo(stations[0].freqMHz + 2.0);
    decoder->get_HorizontalLocked(&locked);
    EXPECT_EQ(0, locked);
    std::vector<BYTE> station = ExpectedUpperHalf(stations[0], 720, 576);
    ASSERT_TRUE(run.WaitFrames(2));
    ASSERT_TRUE(run.WaitFrames(1));
    std::vector<BYTE> snow1 = UpperHalf(run.sink->LastSample(), 720, 576);
    ASSERT_TRUE(run.WaitFrames(1));
    std::vector<BYTE> snow2 = UpperHalf(run.sink->LastSample(), 720, 576);
    EXPECT_NE(snow1, snow2);
    EXPECT_NE(station, snow1);

    // The other inputs are always locked and have pictures of their own.
    ComPtr<IAMCrossbar> xbar;
    ASSERT_EQ(S_OK, run.g.builder->FindInterface(&LOOK_UPSTREAM_ONLY, NULL, run.device.Get(), IID_IAMCrossbar,
                                                 xbar.OutVoid()));
    ASSERT_EQ(S_OK, xbar->Route(0, 1));
    decoder->get_HorizontalLocked(&locked);
    EXPECT_EQ(1, locked);
    ASSERT_TRUE(run.WaitFrames(2));
    std::vector<BYTE> composite = UpperHalf(run.sink->LastSample(), 720, 576);
    ASSERT_TRUE(run.WaitFrames(1));
    EXPECT_EQ(composite, UpperHalf(run.sink->LastSample(), 720, 576));
    ASSERT_EQ(S_OK, xbar->Route(0, 2));
    ASSERT_TRUE(run.WaitFrames(2));
    std::vector<BYTE> svideo = UpperHalf(run.sink->LastSample(), 720, 576);
    EXPECT_NE(composite, svideo);
    EXPECT_NE(snow2, svideo);
}

TEST_F(VideoCapture, FramesAdvanceOnAStation) {
    CardStation s = CardStations()[0];
    TuneTo(s.freqMHz);
    RunningCapture run(320, 240, 400000);
    ASSERT_TRUE(run.running);
    ASSERT_TRUE(run.WaitFrames(2));
    std::vector<BYTE> a = run.sink->LastSample();
    ASSERT_TRUE(run.WaitFrames(1));
    std::vector<BYTE> b = run.sink->LastSample();
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(UpperHalf(a, 320, 240), UpperHalf(b, 320, 240));
    EXPECT_NE(a, b);  // the block has moved
}

}  // namespace
