// Benchmark of the card's video: the cost of one full-size picture, and the
// processor share of a 25 frames/s preview of the card alone (device to a
// sink that keeps nothing but counts). Run by scripts/bench-card.
#include "CardState.h"
#include "ComPtr.h"
#include "PictureGenerator.h"
#include "SinkFilter.h"
#include "VideoCaptureFilter.h"
#include <dshow.h>
#include <stdio.h>
#include <vector>

namespace {

double Seconds(const LARGE_INTEGER& a, const LARGE_INTEGER& b, const LARGE_INTEGER& freq) {
    return static_cast<double>(b.QuadPart - a.QuadPart) / freq.QuadPart;
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 1e7;
}

void BenchFrames(card::PictureKind kind, const char* label) {
    const int w = 720, h = 576, frames = 500;
    std::vector<BYTE> buffer(w * h * 2);
    card::PictureGenerator gen;
    card::PictureSource src;
    src.kind = kind;
    src.pattern = 5;  // the costliest still picture to build
    src.name = "Bamboo Movies";
    SYSTEMTIME now;
    GetLocalTime(&now);
    LARGE_INTEGER freq, t0, t1, a, b;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    gen.Draw(buffer.data(), w, h, src, 0, now);  // builds the still part
    QueryPerformanceCounter(&t1);
    double worst = 0, total = 0;
    for (int i = 1; i <= frames; i++) {
        QueryPerformanceCounter(&a);
        gen.Draw(buffer.data(), w, h, src, i, now);
        QueryPerformanceCounter(&b);
        double s = Seconds(a, b, freq);
        total += s;
        if (s > worst) worst = s;
    }
    // The first frame of a picture also draws its still part.
    double firstWorst = Seconds(t0, t1, freq);
    for (int pattern = 0; pattern < 9; pattern++) {
        card::PictureGenerator fresh;
        src.pattern = pattern;
        QueryPerformanceCounter(&a);
        fresh.Draw(buffer.data(), w, h, src, 0, now);
        QueryPerformanceCounter(&b);
        if (Seconds(a, b, freq) > firstWorst) firstWorst = Seconds(a, b, freq);
    }
    printf("frame 720x576 YUY2 %-10s first (worst of all pictures) %.2f ms, then mean %.3f ms, worst %.3f ms"
           " (%d frames)\n",
           label, firstWorst * 1000, total / frames * 1000, worst * 1000, frames);
}

bool BenchPreview(double seconds) {
    ds::ComPtr<IGraphBuilder> graph;
    ds::ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph.OutVoid())) ||
        FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, builder.OutVoid())) ||
        FAILED(builder->SetFiltergraph(graph.Get())))
        return false;
    ds::ComPtr<IBaseFilter> device;
    if (FAILED(ds::CreateFilterObject<card::VideoCaptureFilter>(IID_IBaseFilter, device.OutVoid())))
        return false;
    ds::SinkFilter* sink = new ds::SinkFilter(MEDIATYPE_Video);
    ds::ComPtr<IBaseFilter> sinkHolder(sink);
    if (FAILED(graph->AddFilter(device.Get(), L"Video Capture")) || FAILED(graph->AddFilter(sink, L"Sink")))
        return false;
    ds::ComPtr<IAMStreamConfig> config;
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, device.Get(),
                                      IID_IAMStreamConfig, config.OutVoid())))
        return false;
    AM_MEDIA_TYPE* mt = NULL;
    if (FAILED(config->GetFormat(&mt))) return false;
    VIDEOINFOHEADER* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
    vih->bmiHeader.biWidth = 720;
    vih->bmiHeader.biHeight = 576;
    vih->AvgTimePerFrame = 400000;
    HRESULT hr = config->SetFormat(mt);
    ds::DeleteMediaType(mt);
    if (FAILED(hr)) return false;
    if (builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video, device.Get(), NULL, sink) != S_OK)
        return false;
    ds::ComPtr<IMediaControl> control;
    if (FAILED(control.QueryFrom(graph.Get(), IID_IMediaControl)) || FAILED(control->Run())) return false;
    Sleep(500);  // past start-up and the first, still-picture frame
    LONG frames0 = sink->SampleCount();
    double cpu0 = ProcessCpuSeconds();
    DWORD t0 = GetTickCount();
    Sleep(static_cast<DWORD>(seconds * 1000));
    double cpu1 = ProcessCpuSeconds();
    DWORD t1 = GetTickCount();
    LONG frames1 = sink->SampleCount();
    control->Stop();
    double wall = (t1 - t0) / 1000.0;
    printf("preview 720x576 at 25 fps: %ld frames in %.1f s (%.1f fps), CPU %.2f%% of one core\n",
           frames1 - frames0, wall, (frames1 - frames0) / wall, (cpu1 - cpu0) / wall * 100.0);
    return true;
}

}  // namespace

int main() {
    SetEnvironmentVariableA("ORVIX_CARD", "card_bench");
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    CardReset();
    std::vector<CardStation> stations = CardStations();
    if (!stations.empty()) {
        double mhz = stations[0].freqMHz;
        int divider = static_cast<int>((mhz + 38.875) * 16 + 0.5);
        BYTE bytes[4] = {static_cast<BYTE>(divider >> 8), static_cast<BYTE>(divider & 0xFF), 0xCE, 0x01};
        CardI2CWrite(0xC0, bytes, 4);
    }
    BenchFrames(card::kPictureStation, "station");
    BenchFrames(card::kPictureSnow, "snow");
    BenchFrames(card::kPictureComposite, "composite");
    bool ok = BenchPreview(5.0);
    CardReset();
    CoUninitialize();
    if (!ok) {
        printf("preview benchmark could not build its graph\n");
        return 1;
    }
    return 0;
}
