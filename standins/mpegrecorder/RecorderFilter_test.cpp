// The recorder filter in its own DLL, as the product meets it: identity and
// interfaces, raw calls at the table slots, settings only while stopped,
// file naming and creation, recordings from a clip and from the live card,
// a write failure, and the files played back by a plain RenderFile graph.
#include "CardFilterIds.h"
#include "CardTestSupport.h"
#include "ClipSource.h"
#include "ComPtr.h"
#include "RecorderInterfaces.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <dshow.h>
#include <string>

using ds::ComPtr;

namespace {

// The hooks the DLL exports, loaded once it is in the process.
struct Hooks {
    int (*GetCallLog)(char*, int);
    void (*ClearCallLog)();
    void (*FailSlot)(int, int, HRESULT, BOOL);
    void (*FailQuery)(const GUID*, HRESULT);
    void (*FailFileCreate)(HRESULT);
    void (*FailWritesAfter)(LONGLONG);
    void (*SetOpenDmlThreshold)(LONGLONG);
    void (*Reset)();
    LONG (*LiveObjects)();
    bool Load() {
        HMODULE m = GetModuleHandleA("MpegRecorder.dll");
        if (!m) return false;
        auto get = [m](const char* name) { return reinterpret_cast<void*>(GetProcAddress(m, name)); };
        GetCallLog = reinterpret_cast<int (*)(char*, int)>(get("Recorder_GetCallLog"));
        ClearCallLog = reinterpret_cast<void (*)()>(get("Recorder_ClearCallLog"));
        FailSlot = reinterpret_cast<void (*)(int, int, HRESULT, BOOL)>(get("Recorder_FailSlot"));
        FailQuery = reinterpret_cast<void (*)(const GUID*, HRESULT)>(get("Recorder_FailQuery"));
        FailFileCreate = reinterpret_cast<void (*)(HRESULT)>(get("Recorder_FailFileCreate"));
        FailWritesAfter = reinterpret_cast<void (*)(LONGLONG)>(get("Recorder_FailWritesAfter"));
        SetOpenDmlThreshold = reinterpret_cast<void (*)(LONGLONG)>(get("Recorder_SetOpenDmlThreshold"));
        Reset = reinterpret_cast<void (*)()>(get("Recorder_ResetHooks"));
        LiveObjects = reinterpret_cast<LONG (*)()>(get("Recorder_LiveObjects"));
        return GetCallLog && FailSlot && FailQuery && FailFileCreate && FailWritesAfter && SetOpenDmlThreshold && Reset &&
               LiveObjects;
    }
    std::string Log() {
        std::string s(GetCallLog(NULL, 0), 0);
        GetCallLog(&s[0], static_cast<int>(s.size()));
        s.resize(s.size() - 1);
        return s;
    }
};

// A call through the interface's table by position, as the product makes it.
typedef HRESULT(STDMETHODCALLTYPE* Slot1)(void*, int);
typedef HRESULT(STDMETHODCALLTYPE* Slot2)(void*, int, int);
typedef HRESULT(STDMETHODCALLTYPE* Slot0)(void*);
typedef HRESULT(STDMETHODCALLTYPE* SlotOut)(void*, DWORD*);
template <class Fn>
Fn At(IUnknown* iface, int slot) {
    return reinterpret_cast<Fn>((*reinterpret_cast<void***>(iface))[slot]);
}

std::wstring Wide(const std::string& s) {
    wchar_t w[MAX_PATH * 2];
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w, MAX_PATH * 2);
    return w;
}

LONGLONG FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return -1;
    return (static_cast<LONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

ComPtr<IPin> PinOf(IBaseFilter* f, int index) {
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> pin;
    if (SUCCEEDED(f->EnumPins(pins.Out())) && (index == 0 || pins->Skip(index) == S_OK))
        pins->Next(1, pin.Out(), NULL);
    return pin;
}

// Waits for one of the graph's events; returns its code (0: none in time).
long WaitEvent(IGraphBuilder* graph, DWORD ms, LONG_PTR* param = NULL) {
    ComPtr<IMediaEvent> events;
    events.QueryFrom(graph, IID_IMediaEvent);
    DWORD until = GetTickCount() + ms;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        long code;
        LONG_PTR p1, p2;
        if (events->GetEvent(&code, &p1, &p2, 50) == S_OK) {
            events->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT) {
                if (param) *param = p1;
                return code;
            }
        }
    }
    return 0;
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("ORVIX_CARD", "recorder_filter_test");
        card_.reset(new cardtest::CardFixtureState());
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_BrinmarchMpegRecorder, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter.OutVoid()));
        ASSERT_TRUE(hooks.Load());
        hooks.Reset();
        ASSERT_EQ(S_OK, video.QueryFrom(filter.Get(), IID_IMpegRecorderVideoSettings));
        ASSERT_EQ(S_OK, sink.QueryFrom(filter.Get(), IID_IFileSinkFilter));
        dir = ts::FreshTempDir("recorder");
    }
    void TearDown() override {
        control.Reset();
        graph.Reset();
        video.Reset();
        sink.Reset();
        filter.Reset();
        if (hooks.LiveObjects) {
            hooks.Reset();
            EXPECT_EQ(0, hooks.LiveObjects());  // nothing of the recorder outlives its users
        }
        card_.reset();
    }
    void Configure(int type, int rate, int code, int w, int h, const std::string& file) {
        ASSERT_EQ(S_OK, video->SetStreamType(type));
        ASSERT_EQ(S_OK, video->SetBitRate(rate));
        ASSERT_EQ(S_OK, video->SetFrameRateCode(code));
        ASSERT_EQ(S_OK, video->SetFrameSize(w, h));
        ASSERT_EQ(S_OK, sink->SetFileName(Wide(file).c_str(), NULL));
    }
    // A graph: clip source -> recorder, running without a clock.
    void BuildClipGraph(const rec::ClipParams& clip) {
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph.OutVoid()));
        rec::ClipSource* source = new rec::ClipSource(clip);
        ComPtr<IBaseFilter> src(static_cast<IBaseFilter*>(source));
        ASSERT_EQ(S_OK, graph->AddFilter(src.Get(), L"Clip"));
        ASSERT_EQ(S_OK, graph->AddFilter(filter.Get(), L"Recorder"));
        ASSERT_EQ(S_OK, graph->ConnectDirect(source->Output(0), PinOf(filter.Get(), 0).Get(), NULL));
        if (clip.audio) {
            ASSERT_EQ(S_OK, graph->ConnectDirect(source->Output(1), PinOf(filter.Get(), 1).Get(), NULL));
        }
        ComPtr<IMediaFilter> mf;
        mf.QueryFrom(graph.Get(), IID_IMediaFilter);
        mf->SetSyncSource(NULL);
        control.QueryFrom(graph.Get(), IID_IMediaControl);
    }
    void Record(const rec::ClipParams& clip) {
        BuildClipGraph(clip);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        EXPECT_EQ(EC_COMPLETE, WaitEvent(graph.Get(), 60000));
        control->Stop();
    }

    std::unique_ptr<cardtest::CardFixtureState> card_;
    Hooks hooks = {};
    ComPtr<IBaseFilter> filter;
    ComPtr<IMpegRecorderVideoSettings> video;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    std::string dir;
};

// Plays a file through RenderFile as fast as it decodes: EC_COMPLETE, the
// picture size, the duration (unless negative); then from the middle on to
// the end.
void Play(const std::string& file, int w, int h, double seconds) {
    SCOPED_TRACE(file);
    ComPtr<IGraphBuilder> g;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, g.OutVoid()));
    ASSERT_TRUE(SUCCEEDED(g->RenderFile(Wide(file).c_str(), NULL)));
    ComPtr<IBasicVideo> basic;
    ASSERT_EQ(S_OK, basic.QueryFrom(g.Get(), IID_IBasicVideo));
    long vw = 0, vh = 0;
    EXPECT_EQ(S_OK, basic->GetVideoSize(&vw, &vh));
    EXPECT_EQ(w, vw);
    EXPECT_EQ(h, vh);
    ComPtr<IVideoWindow> window;
    if (SUCCEEDED(window.QueryFrom(g.Get(), IID_IVideoWindow))) window->put_AutoShow(OAFALSE);
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, seeking.QueryFrom(g.Get(), IID_IMediaSeeking));
    LONGLONG duration = 0;
    EXPECT_EQ(S_OK, seeking->GetDuration(&duration));
    if (seconds > 0) {
        EXPECT_NEAR(seconds, duration / 1e7, 0.1);
    }
    ComPtr<IMediaFilter> mf;
    mf.QueryFrom(g.Get(), IID_IMediaFilter);
    mf->SetSyncSource(NULL);
    ComPtr<IMediaControl> c;
    c.QueryFrom(g.Get(), IID_IMediaControl);
    ASSERT_TRUE(SUCCEEDED(c->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitEvent(g.Get(), 30000));
    c->Stop();
    LONGLONG middle = duration / 2;
    ASSERT_TRUE(SUCCEEDED(seeking->SetPositions(&middle, AM_SEEKING_AbsolutePositioning, NULL,
                                                AM_SEEKING_NoPositioning)));
    ASSERT_TRUE(SUCCEEDED(c->Run()));
    EXPECT_EQ(EC_COMPLETE, WaitEvent(g.Get(), 30000));
    LONGLONG now = 0;
    seeking->GetCurrentPosition(&now);
    EXPECT_GT(now, middle);
    c->Stop();
}

TEST_F(Recorder, IsARendererWithTwoInputsAndTheProductsInterfaces) {
    CLSID clsid;
    ASSERT_EQ(S_OK, filter->GetClassID(&clsid));
    EXPECT_TRUE(IsEqualCLSID(CLSID_BrinmarchMpegRecorder, clsid));
    ComPtr<IAMFilterMiscFlags> flags;
    ASSERT_EQ(S_OK, flags.QueryFrom(filter.Get(), IID_IAMFilterMiscFlags));
    EXPECT_EQ(static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_RENDERER), flags->GetMiscFlags());
    for (const IID* iid : {&IID_IMpegRecorderA, &IID_IMpegRecorderB, &IID_IMpegRecorderSecondSettings}) {
        ComPtr<IUnknown> u;
        EXPECT_EQ(S_OK, filter->QueryInterface(*iid, u.OutVoid()));
        // Their IUnknown is the filter's.
        ComPtr<IBaseFilter> back;
        EXPECT_EQ(S_OK, back.QueryFrom(u.Get(), IID_IBaseFilter));
    }
    const wchar_t* names[2] = {L"Video", L"Audio"};
    for (int i = 0; i < 2; i++) {
        ComPtr<IPin> pin = PinOf(filter.Get(), i);
        ASSERT_TRUE(pin);
        PIN_INFO info;
        pin->QueryPinInfo(&info);
        info.pFilter->Release();
        EXPECT_EQ(PINDIR_INPUT, info.dir);
        EXPECT_STREQ(names[i], info.achName);
    }
    EXPECT_FALSE(PinOf(filter.Get(), 2));
    // A failure made to order for one interface.
    hooks.FailQuery(&IID_IMpegRecorderB, E_NOINTERFACE);
    ComPtr<IUnknown> b;
    EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(IID_IMpegRecorderB, b.OutVoid()));
    hooks.FailQuery(NULL, S_OK);
    // Registered in the legacy category, never chosen by merit.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT,
                                           "CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\"
                                           "{5083B9E8-713F-40AA-B5F3-2AD35D3D7498}",
                                           0, KEY_READ, &key));
    char name[128] = {};
    DWORD size = sizeof(name);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "FriendlyName", NULL, NULL, reinterpret_cast<BYTE*>(name), &size));
    RegCloseKey(key);
    EXPECT_STREQ("Brinmarch Mpeg 1/2 Recorder Filter", name);
}

TEST_F(Recorder, TakesTheProductsCallsAtTheirSlotsAndRefusesBadValues) {
    IUnknown* v = video.Get();
    EXPECT_EQ(S_OK, At<Slot1>(v, 3)(v, 4));
    EXPECT_EQ(S_OK, At<Slot1>(v, 5)(v, 1150000));
    EXPECT_EQ(S_OK, At<Slot1>(v, 8)(v, 3));
    EXPECT_EQ(S_OK, At<Slot2>(v, 54)(v, 352, 288));
    EXPECT_EQ(S_OK, At<Slot1>(v, 40)(v, -1));
    EXPECT_EQ(S_OK, At<Slot1>(v, 10)(v, 640));
    EXPECT_EQ(S_OK, At<Slot1>(v, 13)(v, 0));
    EXPECT_EQ(S_OK, At<Slot1>(v, 19)(v, 1));
    EXPECT_EQ(E_NOTIMPL, At<Slot0>(v, 4)(v));
    EXPECT_EQ(E_NOTIMPL, At<Slot0>(v, 53)(v));
    DWORD bytes = 7;
    EXPECT_EQ(S_OK, At<SlotOut>(v, 18)(v, &bytes));
    EXPECT_EQ(0u, bytes);
    EXPECT_EQ(E_POINTER, At<SlotOut>(v, 18)(v, NULL));
    ComPtr<IUnknown> second;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IMpegRecorderSecondSettings, second.OutVoid()));
    IUnknown* s = second.Get();
    for (int slot : {3, 5, 7, 9, 11, 13}) EXPECT_EQ(S_OK, At<Slot1>(s, slot)(s, slot));
    typedef HRESULT(STDMETHODCALLTYPE * Slot4)(void*, int, int, int, int);
    EXPECT_EQ(S_OK, At<Slot4>(s, 15)(s, 16, 16, 8, 8));
    EXPECT_EQ(E_NOTIMPL, At<Slot0>(s, 14)(s));
    std::string log = hooks.Log();
    EXPECT_NE(std::string::npos, log.find("video 3 (4) = 0x00000000"));
    EXPECT_NE(std::string::npos, log.find("video 54 (352, 288) = 0x00000000"));
    EXPECT_NE(std::string::npos, log.find("second 15 (16, 16, 8, 8) = 0x00000000"));

    // Bad values: E_INVALIDARG, and the old value stays (type 4 is MPEG-1).
    EXPECT_EQ(E_INVALIDARG, video->SetStreamType(5));
    EXPECT_EQ(E_INVALIDARG, video->SetStreamType(11));
    EXPECT_EQ(E_INVALIDARG, video->SetBitRate(99999));
    EXPECT_EQ(E_INVALIDARG, video->SetBitRate(60000001));
    EXPECT_EQ(E_INVALIDARG, video->SetFrameRateCode(9));
    EXPECT_EQ(E_INVALIDARG, video->SetFrameSize(721, 576));
    EXPECT_EQ(E_INVALIDARG, video->SetFrameSize(720, 578));
    EXPECT_EQ(E_INVALIDARG, video->SetFrameSize(14, 16));
    ASSERT_EQ(S_OK, sink->SetFileName(L"C:\\x.mpg", NULL));
    AM_MEDIA_TYPE mt;
    LPOLESTR name = NULL;
    ASSERT_EQ(S_OK, sink->GetCurFile(&name, &mt));
    EXPECT_STREQ(L"C:\\x.mpg", name);
    CoTaskMemFree(name);
    EXPECT_TRUE(IsEqualGUID(MEDIATYPE_Stream, mt.majortype));
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_MPEG1System, mt.subtype));
    video->SetStreamType(6);
    sink->GetCurFile(&name, &mt);
    CoTaskMemFree(name);
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_Avi, mt.subtype));
    video->SetStreamType(9);
    sink->GetCurFile(&name, &mt);
    CoTaskMemFree(name);
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_MPEG2_PROGRAM, mt.subtype));

    EXPECT_EQ(E_POINTER, sink->SetFileName(NULL, NULL));
    EXPECT_EQ(E_INVALIDARG, sink->SetFileName(L"", NULL));
    std::wstring longName(MAX_PATH, L'a');
    EXPECT_EQ(E_INVALIDARG, sink->SetFileName(longName.c_str(), NULL));
    EXPECT_EQ(E_POINTER, sink->GetCurFile(NULL, NULL));

    // A slot made to fail, once.
    hooks.FailSlot(0, 5, E_FAIL, FALSE);
    EXPECT_EQ(E_FAIL, video->SetBitRate(2000000));
    EXPECT_EQ(S_OK, video->SetBitRate(2000000));
}

TEST_F(Recorder, RunFailsWithoutANameOrFolderAndSettingsWaitForStop) {
    rec::ClipParams clip;
    clip.width = 320;
    clip.height = 240;
    clip.frames = 1000;
    BuildClipGraph(clip);
    EXPECT_TRUE(FAILED(control->Run()));
    control->Stop();
    ASSERT_EQ(S_OK, sink->SetFileName(Wide(dir + "missing\\cap00.mpg").c_str(), NULL));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), control->Run());
    control->Stop();
    hooks.FailFileCreate(E_ACCESSDENIED);
    ASSERT_EQ(S_OK, sink->SetFileName(Wide(dir + "cap00.mpg").c_str(), NULL));
    EXPECT_EQ(E_ACCESSDENIED, control->Run());
    control->Stop();
    hooks.FailFileCreate(S_OK);

    Configure(4, 1150000, 3, 352, 288, dir + "cap00.mpg");
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    EXPECT_EQ(VFW_E_NOT_STOPPED, video->SetStreamType(1));
    EXPECT_EQ(VFW_E_NOT_STOPPED, video->SetBitRate(2000000));
    EXPECT_EQ(VFW_E_NOT_STOPPED, video->SetFrameSize(320, 240));
    EXPECT_EQ(VFW_E_NOT_STOPPED, sink->SetFileName(L"C:\\other.mpg", NULL));
    // The file exists from Pause on and can be read meanwhile.
    HANDLE h = CreateFileA((dir + "cap00.mpg").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    control->Stop();
    DWORD bytes = 0;
    EXPECT_EQ(S_OK, video->GetBytesWritten(&bytes));
    EXPECT_EQ(FileSize(dir + "cap00.mpg"), static_cast<LONGLONG>(bytes));
    EXPECT_GT(bytes, 0u);
}

TEST_F(Recorder, EveryPresetsFilePlaysThroughRenderFile) {
    struct Preset {
        int type, rate, code, w, h;
        const char* name;
    };
    const Preset presets[] = {
        {1, 2000000, 4, 320, 240, "mpeg1.mpg"},   {4, 1150000, 3, 352, 288, "vcdpal.mpg"},
        {3, 1150000, 4, 352, 240, "vcdntsc.mpg"}, {10, 2500000, 3, 480, 576, "svcdpal.mpg"},
        {2, 2000000, 4, 640, 480, "mpeg2.mpg"},   {8, 6000000, 3, 720, 576, "dvdpal.mpg"},
        {7, 6000000, 4, 720, 480, "dvdntsc.mpg"}, {9, 2500000, 4, 480, 480, "svcdntsc.mpg"},
        {6, 54000000, 3, 640, 480, "avi.avi"},
    };
    for (const Preset& p : presets) {
        SCOPED_TRACE(p.name);
        control.Reset();
        graph.Reset();
        filter.Reset();
        video.Reset();
        sink.Reset();
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_BrinmarchMpegRecorder, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter.OutVoid()));
        video.QueryFrom(filter.Get(), IID_IMpegRecorderVideoSettings);
        sink.QueryFrom(filter.Get(), IID_IFileSinkFilter);
        Configure(p.type, p.rate, p.code, p.w, p.h, dir + p.name);
        // Two seconds; one under emulation, where coding and decoding are
        // nearly the whole cost: still several groups of every kind of picture.
        rec::ClipParams clip;
        clip.frames = ts::UnderEmulation() ? 25 : 50;
        Record(clip);
        control.Reset();
        graph.Reset();
        Play(dir + p.name, p.w, p.h, clip.frames / 25.0);
    }
}

TEST_F(Recorder, RecordsTheLiveCardThroughASmartTeeWithSoundOnInputOne) {
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                     graph.OutVoid()));
    ComPtr<IBaseFilter> capture, audio, tee;
    ASSERT_EQ(S_OK, cardtest::BindDevice(CLSID_VideoInputDeviceCategory, card::kVideoCaptureName, capture.Out()));
    ASSERT_EQ(S_OK, cardtest::BindDevice(CLSID_AudioInputDeviceCategory, card::kAudioCaptureName, audio.Out()));
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SmartTee, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter, tee.OutVoid()));
    graph->AddFilter(capture.Get(), L"Capture");
    graph->AddFilter(audio.Get(), L"Audio");
    graph->AddFilter(tee.Get(), L"Smart Tee");
    graph->AddFilter(filter.Get(), L"Recorder");
    Configure(8, 4000000, 3, 720, 576, dir + "live.mpg");
    // The first output pin of each source.
    auto output = [](IBaseFilter* f) {
        for (int i = 0;; i++) {
            ComPtr<IPin> p = PinOf(f, i);
            if (!p) return p;
            PIN_DIRECTION d;
            p->QueryDirection(&d);
            if (d == PINDIR_OUTPUT) return p;
        }
    };
    ASSERT_EQ(S_OK, graph->ConnectDirect(output(capture.Get()).Get(), PinOf(tee.Get(), 0).Get(), NULL));
    ASSERT_EQ(S_OK, graph->ConnectDirect(PinOf(tee.Get(), 1).Get(), PinOf(filter.Get(), 0).Get(), NULL));
    ASSERT_EQ(S_OK, graph->ConnectDirect(output(audio.Get()).Get(), PinOf(filter.Get(), 1).Get(), NULL));
    control.QueryFrom(graph.Get(), IID_IMediaControl);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    DWORD last = 0;
    for (int second = 0; second < 3; second++) {
        Sleep(1000);
        DWORD now = 0;
        EXPECT_EQ(S_OK, video->GetBytesWritten(&now));
        EXPECT_GT(now, last) << "second " << second;
        last = now;
    }
    control->Stop();
    DWORD bytes = 0;
    video->GetBytesWritten(&bytes);
    EXPECT_EQ(FileSize(dir + "live.mpg"), static_cast<LONGLONG>(bytes));
    control.Reset();
    graph.Reset();
    capture.Reset();
    audio.Reset();
    tee.Reset();
    ComPtr<IGraphBuilder> g;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, g.OutVoid()));
    EXPECT_TRUE(SUCCEEDED(g->RenderFile(Wide(dir + "live.mpg").c_str(), NULL)));
}

TEST_F(Recorder, AnAviPastTheOpenDmlThresholdPlaysWhole) {
    // Some 14 MB: four RIFFs. Under emulation half of it at half the
    // threshold: as many RIFFs.
    const bool shorter = ts::UnderEmulation();
    hooks.SetOpenDmlThreshold(shorter ? 2000000 : 4000000);
    Configure(6, 54000000, 3, 640, 480, dir + "long.avi");
    rec::ClipParams clip;
    clip.frames = shorter ? 25 : 50;
    Record(clip);
    control.Reset();
    graph.Reset();
    EXPECT_GT(FileSize(dir + "long.avi"), shorter ? 6000000 : 12000000);
    Play(dir + "long.avi", 640, 480, clip.frames / 25.0);
}

TEST_F(Recorder, VideoOnlyRecordingPlays) {
    Configure(1, 2000000, 3, 320, 240, dir + "mute.mpg");
    rec::ClipParams clip;
    clip.audio = false;
    clip.frames = ts::UnderEmulation() ? 25 : 50;
    Record(clip);
    control.Reset();
    graph.Reset();
    Play(dir + "mute.mpg", 320, 240, clip.frames / 25.0);
}

TEST_F(Recorder, AWriteFailureAbortsWithoutACrashAndTheFilePlaysUpToIt) {
    for (int type : {8, 6}) {
        SCOPED_TRACE(type);
        const std::string file = dir + (type == 6 ? "full.avi" : "full.mpg");
        control.Reset();
        graph.Reset();
        Configure(type, type == 6 ? 54000000 : 8000000, 3, 720, 576, file);
        const LONGLONG limit = type == 6 ? 3000000 : 1000000;
        hooks.FailWritesAfter(limit);
        rec::ClipParams clip;
        clip.frames = 100;
        BuildClipGraph(clip);
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        LONG_PTR hr = 0;
        EXPECT_EQ(EC_ERRORABORT, WaitEvent(graph.Get(), 30000, &hr));
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), static_cast<HRESULT>(hr));
        control->Stop();
        hooks.FailWritesAfter(-1);
        LONGLONG size = FileSize(file);
        EXPECT_LE(size, limit);
        EXPECT_GT(size, limit / 2);
        DWORD bytes = 0;
        video->GetBytesWritten(&bytes);
        EXPECT_EQ(size, static_cast<LONGLONG>(bytes));
        control.Reset();
        graph.Reset();
        Play(file, 720, 576, -1);
    }
}

}  // namespace
