// A client of Wavetrap.dll, as an outside program uses it: creates the object
// through COM (by class id, or by ProgID with --progid), opens the card's
// audio capture device and previews, records or plays through a notification
// window.
//
//   WavetrapClient [--progid] [--input NAME] preview SECONDS
//   WavetrapClient [--progid] [--input NAME] [--no-preview] record wav|wma SECONDS FILE
//   WavetrapClient [--progid] play FILE
//
// Exit code 0 when done, 1 for a failed call (named on standard error), 2
// when playing did not reach its end in time, 3 for a bad command line.
#include "AudioCapture.h"
#include "CaptureDevice.h"
#include <dshow.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const UINT WM_GRAPHNOTIFY = WM_APP + 1;

static int Fail(const char* what)
{
    fprintf(stderr, "WavetrapClient: %s failed\n", what);
    return 1;
}

static std::wstring Wide(const char* text)
{
    wchar_t buf[1024];
    MultiByteToWideChar(CP_ACP, 0, text, -1, buf, 1024);
    buf[1023] = 0;
    return buf;
}

static HWND MakeNotifyWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "WavetrapClientNotify";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, wc.hInstance, NULL);
}

// Pumps messages for ms milliseconds; each graph notification goes to
// onEvent, which returns true to stop early.
template <class Fn>
static bool PumpFor(DWORD ms, Fn onEvent)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_GRAPHNOTIFY && onEvent())
                return true;
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

struct Options {
    bool byProgId = false;
    bool preview = true;
    const char* input = NULL;
    const char* mode = NULL;
    int fileType = AUDIOCAPTURE_WAV;
    int seconds = 0;
    const char* file = NULL;
};

static bool ParseArgs(int argc, char** argv, Options* o)
{
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; i++) {
        if (!strcmp(argv[i], "--progid"))
            o->byProgId = true;
        else if (!strcmp(argv[i], "--no-preview"))
            o->preview = false;
        else if (!strcmp(argv[i], "--input") && i + 1 < argc)
            o->input = argv[++i];
        else
            return false;
    }
    if (i >= argc)
        return false;
    o->mode = argv[i++];
    if (!strcmp(o->mode, "preview") && i + 1 == argc) {
        o->seconds = atoi(argv[i]);
        return true;
    }
    if (!strcmp(o->mode, "record") && i + 3 == argc) {
        if (strcmp(argv[i], "wav") && strcmp(argv[i], "wma"))
            return false;
        o->fileType = strcmp(argv[i], "wma") ? AUDIOCAPTURE_WAV : AUDIOCAPTURE_WMA;
        o->seconds = atoi(argv[i + 1]);
        o->file = argv[i + 2];
        return true;
    }
    if (!strcmp(o->mode, "play") && i + 1 == argc) {
        o->file = argv[i];
        return true;
    }
    return false;
}

static int Capture(IAudioCapture* pCapture, HWND hwnd, const Options& o)
{
    IBaseFilter* pDevice = OpenAudioCaptureDevice(kCardAudioDeviceName);
    if (!pDevice)
        return Fail("opening the audio capture device");
    int rc = 0;
    bool record = !strcmp(o.mode, "record");
    if (!pCapture->Initialize(pDevice))
        rc = Fail("Initialize");
    pDevice->Release();
    if (rc == 0 && o.input && !pCapture->SelectInputPinByName(Wide(o.input).c_str()))
        rc = Fail("SelectInputPinByName");
    if (rc == 0)
        pCapture->SetNotifyWindow(hwnd, WM_GRAPHNOTIFY, 0);
    if (rc == 0 && !pCapture->SetCaptureOptions(record ? o.preview : TRUE, record))
        rc = Fail("SetCaptureOptions");
    if (rc == 0 && record && !pCapture->SetRecordFileType(o.fileType))
        rc = Fail("SetRecordFileType");
    if (rc == 0 && record && !pCapture->SetRecordFileName(Wide(o.file).c_str()))
        rc = Fail("SetRecordFileName");
    if (rc == 0 && !pCapture->StartCapture())
        rc = Fail("StartCapture");
    if (rc == 0) {
        PumpFor(o.seconds * 1000, [&] {
            pCapture->HandleCaptureEvent();
            return false;
        });
        if (!pCapture->Stop())
            rc = Fail("Stop");
    }
    pCapture->Uninitialize();
    return rc;
}

static int PlayFile(IAudioCapture* pCapture, HWND hwnd, const Options& o)
{
    if (!pCapture->InitPlayback())
        return Fail("InitPlayback");
    if (!pCapture->SetPlayFileName(Wide(o.file).c_str()))
        return Fail("SetPlayFileName");
    pCapture->SetNotifyWindow(hwnd, WM_GRAPHNOTIFY, 0);
    if (!pCapture->Play())
        return Fail("Play");
    bool ended = PumpFor(60000, [&] { return pCapture->HandlePlaybackEvent() != FALSE; });
    if (!ended) {
        pCapture->Stop();
        fprintf(stderr, "WavetrapClient: the file did not play to its end\n");
        return 2;
    }
    printf("complete\n");
    return 0;
}

int main(int argc, char** argv)
{
    Options o;
    if (!ParseArgs(argc, argv, &o)) {
        fprintf(stderr, "usage: WavetrapClient [--progid] [--input NAME] preview SECONDS\n"
                        "       WavetrapClient [--progid] [--input NAME] [--no-preview] record wav|wma SECONDS FILE\n"
                        "       WavetrapClient [--progid] play FILE\n");
        return 3;
    }
    CoInitialize(NULL);
    CLSID clsid = CLSID_AudioCapture;
    int rc = 0;
    if (o.byProgId && FAILED(CLSIDFromProgID(L"" AUDIOCAPTURE_PROGID, &clsid)))
        rc = Fail("CLSIDFromProgID");
    IAudioCapture* pCapture = NULL;
    if (rc == 0 && FAILED(CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IAudioCapture,
                                           (void**)&pCapture)))
        rc = Fail("CoCreateInstance");
    if (rc == 0) {
        HWND hwnd = MakeNotifyWindow();
        rc = strcmp(o.mode, "play") ? Capture(pCapture, hwnd, o) : PlayFile(pCapture, hwnd, o);
        pCapture->Release();
        DestroyWindow(hwnd);
    }
    CoUninitialize();
    return rc;
}
