// The two engines in process, on the card's audio capture device: record file
// names, devices, recordings one after the other, device loss and playback.
#include "AudioCaptureGraph.h"
#include "AudioCaptureObject.h"
#include "AudioPlaybackGraph.h"
#include "CaptureDevice.h"
#include "CardState.h"
#include "TestSupport.h"
#include "WavetrapTestSupport.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const UINT WM_GRAPH = WM_APP + 7;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        CardReset();
        dir = ts::FreshTempDir("wavetrap");
    }
    void TearDown() override
    {
        CardReset();
        CoUninitialize();
    }
    std::wstring Path(const char* name) { return wt::Wide(dir + name); }
    std::string dir;
    ts::MessageBoxRecorder boxes;
};

TEST(CaptureFormat, SixBuffersOfFiftyMillisecondsAlignedToAFrame)
{
    ALLOCATOR_PROPERTIES p = CaptureBufferProperties(2, 2, 44100);
    EXPECT_EQ(6, p.cBuffers);
    EXPECT_EQ(8820, p.cbBuffer);
    EXPECT_EQ(4, p.cbAlign);
    EXPECT_EQ(0, p.cbPrefix);
    EXPECT_EQ(1102, CaptureBufferProperties(1, 1, 22050).cbBuffer) << "the fraction is dropped";
}

TEST(CaptureFormat, RotNameWritesTheWholeAddress)
{
    WCHAR name[64];
    RotName((void*)(UINT_PTR)0x1234abcd, 0x2a, name);
#ifdef _WIN64
    EXPECT_STREQ(L"FilterGraph 000000001234abcd pid 0000002a", name);
#else
    EXPECT_STREQ(L"FilterGraph 1234abcd pid 0000002a", name);
#endif
}

TEST(RecordFileName, TheTypesExtensionIsAppendedUnlessThere)
{
    WCHAR out[AUDIO_FILE_NAME_SIZE];
    ASSERT_TRUE(MakeRecordFileName(L"C:\\rec\\take", 0, out));
    EXPECT_STREQ(L"C:\\rec\\take.wav", out);
    ASSERT_TRUE(MakeRecordFileName(L"C:\\rec\\take", 1, out));
    EXPECT_STREQ(L"C:\\rec\\take.wma", out);
    ASSERT_TRUE(MakeRecordFileName(L"C:\\rec\\a.wav.old", 0, out));
    EXPECT_STREQ(L"C:\\rec\\a.wav.old", out) << "anywhere in the name counts";
    ASSERT_TRUE(MakeRecordFileName(L"C:\\rec\\a.wav", 1, out));
    EXPECT_STREQ(L"C:\\rec\\a.wav.wma", out);
}

TEST(RecordFileName, ANameThatWouldNotFitIsRefusedWhole)
{
    WCHAR out[AUDIO_FILE_NAME_SIZE] = L"before";
    std::wstring fits(255, L'a'), longer(256, L'a');
    ASSERT_TRUE(MakeRecordFileName(fits.c_str(), 0, out));
    EXPECT_EQ(259u, wcslen(out));
    wcscpy(out, L"before");
    EXPECT_FALSE(MakeRecordFileName(longer.c_str(), 0, out));
    EXPECT_STREQ(L"before", out);
    std::wstring withExt = std::wstring(255, L'a') + L".wav";
    EXPECT_TRUE(MakeRecordFileName(withExt.c_str(), 0, out));
}

TEST_F(EngineTest, RecordFileNameNeedsTheRecordOptionAndAnExistingFolder)
{
    CAudioCaptureGraph g;
    EXPECT_FALSE(g.SetFileName(Path("x").c_str())) << "record option off";
    EXPECT_FALSE(g.SetFileType(1));
    EXPECT_EQ(0, g.GetFileType()) << "taken only while recording is on";
    g.SetOptions(TRUE, TRUE);
    EXPECT_FALSE(g.SetFileName(NULL));
    ASSERT_TRUE(g.SetFileName(Path("take").c_str()));
    EXPECT_EQ(Path("take.wav"), g.GetFileName());

    EXPECT_FALSE(g.SetFileName(Path("missing\\take").c_str()));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("This file path does not exist!", boxes.Calls()[0].text);
    EXPECT_EQ("Information!", boxes.Calls()[0].caption);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, boxes.Calls()[0].flags);
    EXPECT_EQ(Path("take.wav"), g.GetFileName());

    std::wstring tooLong = Path("") + std::wstring(300 - Path("").size(), L'n');
    EXPECT_FALSE(g.SetFileName(tooLong.c_str()));
    EXPECT_EQ(Path("take.wav"), g.GetFileName()) << "the name is not cut";

    EXPECT_TRUE(g.SetFileType(1));
    ASSERT_TRUE(g.SetFileName(Path("take").c_str()));
    EXPECT_EQ(Path("take.wma"), g.GetFileName());
}

TEST_F(EngineTest, ObjectAnswersForTheEngineOnFileTypeAndName)
{
    CAudioCaptureObject* o = new CAudioCaptureObject();
    o->AddRef();
    IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(device);
    ASSERT_EQ(1, o->Initialize(device));
    EXPECT_EQ(1, o->SetRecordFileType(1)) << "answered even while the record option is off";
    EXPECT_EQ(0, o->SetRecordFileName(Path("x").c_str()));
    EXPECT_EQ(1, o->SetCaptureOptions(TRUE, TRUE));
    std::wstring tooLong(300, L'n');
    EXPECT_EQ(0, o->SetRecordFileName(tooLong.c_str()));
    EXPECT_EQ(1, o->SetAudioFormat(2, 2, 44100));
    o->Release();
    EXPECT_EQ(0u, device->Release()) << "the last Release let the device go";
}

TEST_F(EngineTest, ASecondDeviceReplacesTheFirstInTheGraph)
{
    IBaseFilter* first = OpenAudioCaptureDevice(kCardAudioDeviceName);
    IBaseFilter* second = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(first && second);
    {
        CAudioCaptureGraph g;
        ASSERT_TRUE(g.BuildGraph());
        ASSERT_TRUE(g.SetDevice(first));
        ASSERT_TRUE(g.SetDevice(second));
        std::vector<std::wstring> names = wt::FilterNames(g.GetGraph());
        ASSERT_EQ(1u, names.size());
        EXPECT_EQ(L"Audio Capture", names[0]);
        EXPECT_EQ(second, g.GetDevice());
        first->AddRef();
        EXPECT_EQ(1u, first->Release()) << "the first device is let go";
    }
    EXPECT_EQ(0u, first->Release());
    EXPECT_EQ(0u, second->Release());
}

TEST_F(EngineTest, SelectedInputIsTheOnlyOneEnabled)
{
    IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(device);
    CAudioCaptureGraph g;
    EXPECT_FALSE(g.SelectInput(0)) << "no device yet";
    ASSERT_TRUE(g.BuildGraph());
    ASSERT_TRUE(g.SetDevice(device));
    auto enabled = [&](const wchar_t* name) {
        IPin* pin = NULL;
        BOOL on = -1;
        if (SUCCEEDED(device->FindPin(name, &pin))) {
            IAMAudioInputMixer* mixer = NULL;
            if (SUCCEEDED(pin->QueryInterface(IID_IAMAudioInputMixer, (void**)&mixer))) {
                mixer->get_Enable(&on);
                mixer->Release();
            }
            pin->Release();
        }
        return on;
    };
    ASSERT_TRUE(g.SelectInput(1));
    EXPECT_EQ(FALSE, enabled(L"0"));
    EXPECT_EQ(TRUE, enabled(L"1"));
    EXPECT_EQ(FALSE, enabled(L"2"));
    ASSERT_TRUE(g.SelectInputByName(L"CD"));
    EXPECT_EQ(FALSE, enabled(L"1"));
    EXPECT_EQ(TRUE, enabled(L"2"));
    EXPECT_TRUE(g.SelectInputByName(L"cd")) << "names must match exactly: none enabled";
    EXPECT_EQ(FALSE, enabled(L"2"));
    g.TearDown();
    device->Release();
}

// Two recordings one after the other: the second graph holds one chain, and
// both files are whole.
TEST_F(EngineTest, ASecondStartRecordsANewFileThroughOneChain)
{
    wt::TuneTo(57.75);
    IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(device);
    CAudioCaptureObject* o = new CAudioCaptureObject();
    o->AddRef();
    ASSERT_EQ(1, o->Initialize(device));
    device->Release();
    ASSERT_EQ(1, o->SetCaptureOptions(TRUE, TRUE));
    ASSERT_EQ(1, o->SetRecordFileType(0));
    ASSERT_EQ(1, o->SetRecordFileName(Path("one").c_str()));
    ASSERT_EQ(1, o->StartCapture());
    ts::PumpFor(1200);
    ASSERT_EQ(1, o->Stop());
    ASSERT_EQ(1, o->SetRecordFileName(Path("two.wav").c_str()));
    ASSERT_EQ(1, o->StartCapture());
    ts::PumpFor(800);
    std::vector<std::wstring> names = wt::RegisteredGraphFilters();
    EXPECT_EQ(5u, names.size());
    for (const wchar_t* name : {L"Audio Capture", L"WAV Dest", L"File Writer"})
        EXPECT_EQ(1, std::count(names.begin(), names.end(), std::wstring(name))) << name;
    ASSERT_EQ(1, o->Stop());
    EXPECT_TRUE(wt::RegisteredGraphFilters().empty()) << "revoked at the stop";
    o->Release();
    EXPECT_TRUE(boxes.Calls().empty());

    for (const char* file : {"one.wav", "two.wav"}) {
        wt::WavFile w = wt::ReadWav(dir + file);
        ASSERT_TRUE(w.ok) << file << ": " << w.error;
        EXPECT_EQ(w.fileSize - 8, w.riffSize) << file;
        EXPECT_EQ(w.fileSize - 44, w.dataSize) << file;
        EXPECT_GE(w.dataSize, 8820u) << file << ": a block at least, however busy the machine";
        EXPECT_EQ(440, wt::StrongestTone(w.samples, 44100)) << file;
    }
}

// A record chain that cannot be built fails the start, and the graph keeps
// nothing of it; the WMA chain's failures are told in boxes without caption.
TEST_F(EngineTest, AFailingRecordChainFailsTheStartAndLeavesNoFilterBehind)
{
    IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(device);
    CAudioCaptureGraph g;
    ASSERT_TRUE(g.BuildGraph());
    ASSERT_TRUE(g.SetDevice(device));
    device->Release();
    g.SetOptions(TRUE, TRUE);
    struct {
        int type;
        const char* fail;
        const char* box;
    } cases[] = {
        {0, "WavDest", NULL},
        {1, "AsfWriter", "Couldn't create a WM ASF filter."},
        {1, "AsfWriterSetMode", "SetMode WM ASF filter AM_FILE_OVERWRITE fail."},
        {1, "AsfWriterProfile", NULL},
    };
    for (const auto& c : cases) {
        boxes.Clear();
        g.SetFileType(c.type);
        ASSERT_TRUE(g.SetFileName(Path("failed").c_str()));
        CardFailCall(c.fail, 1);
        EXPECT_FALSE(g.Start()) << c.fail;
        std::vector<std::wstring> names = wt::FilterNames(g.GetGraph());
        EXPECT_EQ(1u, names.size()) << c.fail;
        ASSERT_EQ(c.box ? 1u : 0u, boxes.Calls().size()) << c.fail;
        if (c.box) {
            EXPECT_EQ(c.box, boxes.Calls()[0].text);
            EXPECT_EQ("", boxes.Calls()[0].caption);
            EXPECT_EQ((UINT)MB_ICONINFORMATION, boxes.Calls()[0].flags);
        }
    }
    ASSERT_TRUE(g.Start()) << "nothing is left failing";
    EXPECT_TRUE(g.StopCapture());
}

// A window that hands each graph notification to the object.
struct NotifyWindow {
    explicit NotifyWindow(IAudioCapture* capture)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "WavetrapTestNotify";
        RegisterClassA(&wc);
        hwnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)capture);
    }
    ~NotifyWindow() { DestroyWindow(hwnd); }
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_GRAPH) {
            IAudioCapture* c = (IAudioCapture*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
            c->HandleCaptureEvent();
            c->HandlePlaybackEvent();
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    HWND hwnd;
};

TEST_F(EngineTest, TheCardTakenAwayAndBackIsReported)
{
    IBaseFilter* device = OpenAudioCaptureDevice(kCardAudioDeviceName);
    ASSERT_TRUE(device);
    CAudioCaptureObject* o = new CAudioCaptureObject();
    o->AddRef();
    NotifyWindow window(o);
    ASSERT_EQ(1, o->Initialize(device));
    ASSERT_EQ(1, o->SetNotifyWindow(window.hwnd, WM_GRAPH, 0));
    ASSERT_EQ(1, o->StartCapture());
    ts::PumpFor(300);
    CardSetDeviceCount(0);
    EXPECT_TRUE(ts::PumpUntil([&] { return !boxes.Calls().empty(); }, 5000));
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("The selected input device was removed!", boxes.Calls()[0].text);
    EXPECT_EQ("DirectShow Audio Capture Sample", boxes.Calls()[0].caption);
    EXPECT_EQ((UINT)MB_ICONWARNING, boxes.Calls()[0].flags);
    EXPECT_EQ(1, o->HandleCaptureEvent()) << "the torn-down graph has nothing left to drain";
    EXPECT_EQ(0, o->StartCapture()) << "nothing to start until the client initialises again";

    // The client offers the device again; the card comes back.
    ASSERT_EQ(1, o->Initialize(device));
    ASSERT_EQ(1, o->SetNotifyWindow(window.hwnd, WM_GRAPH, 0));
    CardSetDeviceCount(1);
    EXPECT_TRUE(ts::PumpUntil([&] { return boxes.Calls().size() > 1; }, 5000));
    ASSERT_EQ(2u, boxes.Calls().size());
    EXPECT_EQ("The audio input device has been reattached!", boxes.Calls()[1].text);
    EXPECT_EQ("DirectShow Audio Capture Sample", boxes.Calls()[1].caption);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, boxes.Calls()[1].flags);
    EXPECT_EQ(1, o->HandleCaptureEvent());
    o->Release();
    EXPECT_EQ(0u, device->Release());
}

// A short WAV file of the card's kind, written by hand.
std::string WriteToneWav(const std::string& path, int ms)
{
    DWORD data = 44100 * 4 * ms / 1000;
    std::string f("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\0\0\0\0", 44);
    for (int i = 0; i < 4; i++) {
        f[4 + i] = (char)((36 + data) >> (8 * i));
        f[40 + i] = (char)(data >> (8 * i));
    }
    f.append(data, '\0');
    FILE* out = fopen(path.c_str(), "wb");
    fwrite(f.data(), 1, f.size(), out);
    fclose(out);
    return path;
}

TEST_F(EngineTest, PlaybackNamesAndStops)
{
    CAudioPlaybackGraph p;
    EXPECT_FALSE(p.Play()) << "no graph yet";
    ASSERT_TRUE(p.InitPlayback());
    EXPECT_TRUE(p.Play());
    ASSERT_EQ(1u, boxes.Calls().size());
    EXPECT_EQ("Please input play file name!.", boxes.Calls()[0].text);
    EXPECT_EQ("", boxes.Calls()[0].caption);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, boxes.Calls()[0].flags);
    EXPECT_TRUE(p.Stop());

    std::wstring wav = wt::Wide(WriteToneWav(dir + "tone.wav", 300));
    ASSERT_TRUE(p.SetPlayFileName(wav.c_str()));
    EXPECT_FALSE(p.SetPlayFileName(Path("missing.wav").c_str()));
    ASSERT_EQ(2u, boxes.Calls().size());
    EXPECT_EQ("This file does not exist!", boxes.Calls()[1].text);
    EXPECT_EQ("Information!", boxes.Calls()[1].caption);
    EXPECT_EQ(wav, p.GetPlayFileName()) << "the previous name stays";
    EXPECT_FALSE(p.SetPlayFileName(NULL));

    EXPECT_FALSE(p.Play()) << "after Stop the graph is gone";
    EXPECT_FALSE(p.PausePlayback());
    EXPECT_TRUE(p.GetGraph() == NULL);
    EXPECT_FALSE(p.HandlePlaybackEvent());
}

TEST_F(EngineTest, PlaybackEndsWithTheEndOfTheStream)
{
    std::wstring wav = wt::Wide(WriteToneWav(dir + "tone.wav", 500));
    CAudioCaptureObject* o = new CAudioCaptureObject();
    o->AddRef();
    NotifyWindow window(o);
    ASSERT_EQ(1, o->InitPlayback());
    ASSERT_EQ(1, o->SetPlayFileName(wav.c_str()));
    ASSERT_EQ(1, o->SetNotifyWindow(window.hwnd, WM_GRAPH + 1, 0));
    ASSERT_EQ(1, o->Play());
    EXPECT_EQ(0, o->HandlePlaybackEvent()) << "not at the end yet";
    ASSERT_EQ(1, o->PausePlayback());
    ts::PumpFor(200);
    ASSERT_EQ(1, o->Play()) << "resumes";
    bool ended = ts::PumpUntil([&] { return o->HandlePlaybackEvent() != 0; }, 10000);
    EXPECT_TRUE(ended);
    EXPECT_EQ(0, o->Play()) << "the graph went with the end of the stream";
    EXPECT_EQ(0, o->Stop());
    o->Release();
    EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
