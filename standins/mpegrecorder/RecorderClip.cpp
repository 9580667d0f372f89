// The recorder's test and benchmark tool:
//   record <file> <type> <bit/s> <rate code> <w> <h> <src w> <src h> <src fps> <seconds> [noise] [noaudio] [odml=<bytes>]
//       records a clip through a plain graph (clip source -> recorder)
//   reference <file.yuv> <src w> <src h> <w> <h>   the clip's picture scaled as the recorder does (I420)
//   psnr <ref.yuv> <decoded.yuv> <w> <h> <src h>         luma PSNR of every decoded frame against the reference
//   tone <file.raw> <rate>                         16-bit stereo: each channel's dominant frequency and SNR
//   bench                                          per-frame and per-second coding costs on this core
#include "ClipSource.h"
#include "ComPtr.h"
#include "Layer2.h"
#include "Picture.h"
#include "RecorderInterfaces.h"
#include "Recording.h"
#include <dshow.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

using ds::ComPtr;

namespace {

int Record(int argc, char** argv) {
    if (argc < 12) return 2;
    const char* file = argv[2];
    rec::ClipParams clip;
    int type = atoi(argv[3]), bitRate = atoi(argv[4]), code = atoi(argv[5]);
    int w = atoi(argv[6]), h = atoi(argv[7]);
    clip.width = atoi(argv[8]);
    clip.height = atoi(argv[9]);
    double fps = atof(argv[10]);
    clip.frameTime = static_cast<int64_t>(10000000.0 / fps + 0.5);
    clip.frames = static_cast<int>(atof(argv[11]) * fps + 0.5);
    long long odml = 0;
    for (int i = 12; i < argc; i++) {
        if (!strcmp(argv[i], "noise")) clip.noise = true;
        if (!strcmp(argv[i], "noaudio")) clip.audio = false;
        if (!strncmp(argv[i], "odml=", 5)) odml = atoll(argv[i] + 5);
    }
    CoInitialize(NULL);
    HRESULT hr;
    {
        ComPtr<IGraphBuilder> graph;
        hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.OutVoid());
        if (FAILED(hr)) return 3;
        ComPtr<IBaseFilter> recorder;
        hr = CoCreateInstance(CLSID_BrinmarchMpegRecorder, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              recorder.OutVoid());
        if (FAILED(hr)) {
            fprintf(stderr, "recorder not registered: 0x%08lx\n", hr);
            return 3;
        }
        if (odml) {
            typedef void (*SetFn)(LONGLONG);
            SetFn set = reinterpret_cast<SetFn>(
                reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("MpegRecorder.dll"), "Recorder_SetOpenDmlThreshold")));
            if (set) set(odml);
        }
        ComPtr<IMpegRecorderVideoSettings> video;
        ComPtr<IFileSinkFilter> sink;
        video.QueryFrom(recorder.Get(), IID_IMpegRecorderVideoSettings);
        sink.QueryFrom(recorder.Get(), IID_IFileSinkFilter);
        video->SetStreamType(type);
        video->SetBitRate(bitRate);
        video->SetFrameRateCode(code);
        video->SetFrameSize(w, h);
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
        sink->SetFileName(wide, NULL);
        rec::ClipSource* source = new rec::ClipSource(clip);
        ComPtr<IBaseFilter> src(static_cast<IBaseFilter*>(source));
        graph->AddFilter(src.Get(), L"Clip");
        graph->AddFilter(recorder.Get(), L"Recorder");
        ComPtr<IEnumPins> pins;
        recorder->EnumPins(pins.Out());
        ComPtr<IPin> in0, in1;
        pins->Next(1, in0.Out(), NULL);
        pins->Next(1, in1.Out(), NULL);
        hr = graph->ConnectDirect(source->Output(0), in0.Get(), NULL);
        if (SUCCEEDED(hr) && clip.audio) hr = graph->ConnectDirect(source->Output(1), in1.Get(), NULL);
        if (FAILED(hr)) {
            fprintf(stderr, "connect failed: 0x%08lx\n", hr);
            return 4;
        }
        // As fast as the recorder takes it.
        ComPtr<IMediaFilter> mf;
        mf.QueryFrom(graph.Get(), IID_IMediaFilter);
        mf->SetSyncSource(NULL);
        ComPtr<IMediaControl> control;
        ComPtr<IMediaEvent> events;
        control.QueryFrom(graph.Get(), IID_IMediaControl);
        events.QueryFrom(graph.Get(), IID_IMediaEvent);
        DWORD t0 = GetTickCount();
        hr = control->Run();
        if (FAILED(hr)) {
            fprintf(stderr, "run failed: 0x%08lx\n", hr);
            return 5;
        }
        long code2 = 0;
        hr = events->WaitForCompletion(120000, &code2);
        control->Stop();
        DWORD bytes = 0;
        video->GetBytesWritten(&bytes);
        printf("frames %d bytes %lu ms %lu\n", clip.frames, bytes, GetTickCount() - t0);
    }
    CoUninitialize();
    return hr == S_OK ? 0 : 6;
}

int Reference(int argc, char** argv) {
    if (argc < 7) return 2;
    rec::ClipParams clip;
    clip.width = atoi(argv[3]);
    clip.height = atoi(argv[4]);
    int w = atoi(argv[5]), h = atoi(argv[6]);
    std::vector<uint8_t> yuy2(clip.width * clip.height * 2);
    rec::DrawClipPicture(clip, 0, yuy2.data());
    rec::PictureConverter conv;
    conv.Configure(clip.width, clip.height, w, h, rec::kChroma420, 16, 16);
    rec::Picture pic;
    conv.Convert(yuy2.data(), clip.width * 2, &pic);
    FILE* f = fopen(argv[2], "wb");
    if (!f) return 3;
    for (int y = 0; y < h; y++) fwrite(pic.y.Row(y), 1, w, f);
    for (int y = 0; y < h / 2; y++) fwrite(pic.cb.Row(y), 1, w / 2, f);
    for (int y = 0; y < h / 2; y++) fwrite(pic.cr.Row(y), 1, w / 2, f);
    fclose(f);
    return 0;
}

std::vector<uint8_t> ReadAll(const char* path) {
    std::vector<uint8_t> v;
    FILE* f = fopen(path, "rb");
    if (!f) return v;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    v.resize(n > 0 ? n : 0);
    if (n > 0 && fread(v.data(), 1, n, f) != static_cast<size_t>(n)) v.clear();
    fclose(f);
    return v;
}

// The moving box is left out: the reference is the clip's first picture.
int Psnr(int argc, char** argv) {
    if (argc < 6) return 2;
    std::vector<uint8_t> ref = ReadAll(argv[2]), dec = ReadAll(argv[3]);
    int w = atoi(argv[4]), h = atoi(argv[5]);
    size_t frame = static_cast<size_t>(w) * h * 3 / 2;
    if (ref.size() < frame || dec.size() < frame) {
        printf("frames 0 psnr 0\n");
        return 1;
    }
    size_t frames = dec.size() / frame;
    double worst = 1e9, sum = 0;
    // The moving box's rows, scaled from the source's.
    const int srcH = argc > 6 ? atoi(argv[6]) : h;
    const int boxTop = (srcH / 3 + 8) * h / srcH - 3, boxBottom = (srcH / 3 + 24) * h / srcH + 3;
    for (size_t f = 0; f < frames; f++) {
        const uint8_t* d = &dec[f * frame];
        double se = 0;
        long n = 0;
        for (int y = 0; y < h; y++) {
            if (y >= boxTop && y < boxBottom) continue;
            for (int x = 0; x < w; x++) {
                int e = d[y * w + x] - ref[y * w + x];
                se += e * e;
                n++;
            }
        }
        double mse = se / n;
        double p = mse > 0 ? 10 * log10(255.0 * 255.0 / mse) : 99;
        worst = std::min(worst, p);
        sum += p;
    }
    printf("frames %u psnr %.2f worst %.2f\n", static_cast<unsigned>(frames), sum / frames, worst);
    return 0;
}

// Goertzel power of one frequency over the samples of one channel.
double Power(const std::vector<double>& x, double freq, int rate) {
    double k = 2 * cos(2 * M_PI * freq / rate), s1 = 0, s2 = 0;
    for (double v : x) {
        double s = v + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / x.size();
}

int Tone(int argc, char** argv) {
    if (argc < 4) return 2;
    std::vector<uint8_t> raw = ReadAll(argv[2]);
    int rate = atoi(argv[3]);
    size_t frames = raw.size() / 4;
    printf("seconds %.3f", static_cast<double>(frames) / rate);
    for (int c = 0; c < 2; c++) {
        // One second from the middle, where start-up transients are over.
        std::vector<double> x;
        size_t from = frames > static_cast<size_t>(rate) ? (frames - rate) / 2 : 0;
        for (size_t i = from; i < frames && x.size() < static_cast<size_t>(rate); i++) {
            int16_t s;
            memcpy(&s, &raw[i * 4 + c * 2], 2);
            x.push_back(s);
        }
        if (x.empty()) return 1;
        // Coarse search on a short stretch (no leakage between far bins),
        // then a fine one on the whole second.
        std::vector<double> head(x.begin(), x.begin() + std::min<size_t>(x.size(), 2048));
        double best = 0, bestP = -1;
        for (double f = 100; f <= 8000; f += 10) {
            double p = Power(head, f, rate);
            if (p > bestP) {
                bestP = p;
                best = f;
            }
        }
        bestP = -1;
        double coarse = best;
        for (double f = coarse - 20; f <= coarse + 20; f += 0.5) {
            double p = Power(x, f, rate);
            if (p > bestP) {
                bestP = p;
                best = f;
            }
        }
        // SNR: the tone fitted by least squares at that frequency, the rest noise.
        double ss = 0, sc = 0, cc = 0, xs = 0, xc = 0, total = 0;
        for (size_t i = 0; i < x.size(); i++) {
            double a = 2 * M_PI * best * i / rate;
            double s = sin(a), co = cos(a);
            ss += s * s;
            cc += co * co;
            sc += s * co;
            xs += x[i] * s;
            xc += x[i] * co;
            total += x[i] * x[i];
        }
        double det = ss * cc - sc * sc;
        double A = (xs * cc - xc * sc) / det, B = (xc * ss - xs * sc) / det;
        double signal = 0, noise = 0;
        for (size_t i = 0; i < x.size(); i++) {
            double a = 2 * M_PI * best * i / rate;
            double fit = A * sin(a) + B * cos(a);
            signal += fit * fit;
            noise += (x[i] - fit) * (x[i] - fit);
        }
        printf(" ch%d %.0f Hz snr %.1f dB amp %.0f", c, best, 10 * log10(signal / std::max(noise, 1e-9)),
               sqrt(A * A + B * B));
    }
    printf("\n");
    return 0;
}

// Keeps only the count: the bench measures coding, not memory.
class CountingSink : public rec::ByteSink {
public:
    bool Append(const void*, size_t size) override {
        size_ += size;
        return true;
    }
    bool Overwrite(uint64_t offset, const void*, size_t size) override { return offset + size <= size_; }
    uint64_t Size() const override { return size_; }

private:
    uint64_t size_ = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int Bench() {
    struct Case {
        const char* name;
        int type, bitRate, code, w, h, srcW, srcH;
    };
    const Case cases[] = {
        {"MPEG-1 320x240 (type 1)", 1, 4000000, 4, 320, 240, 720, 576},
        {"VCD-PAL (type 4)", 4, 1150000, 3, 352, 288, 720, 576},
        {"VCD-NTSC (type 3)", 3, 1150000, 4, 352, 240, 720, 576},
        {"SVCD-PAL (type 10)", 10, 2500000, 3, 480, 576, 720, 576},
        {"MPEG-2 640x480 (type 2)", 2, 4000000, 4, 640, 480, 720, 576},
        {"DVD-PAL (type 8)", 8, 8000000, 3, 720, 576, 720, 576},
        {"DVD-NTSC (type 7)", 7, 8000000, 4, 720, 480, 720, 576},
        {"SVCD-NTSC (type 9)", 9, 2500000, 4, 480, 480, 720, 576},
        {"MJPEG AVI (type 6)", 6, 54000000, 3, 640, 480, 720, 576},
        {"MPEG-2 640x480 from 320x240", 2, 4000000, 4, 640, 480, 320, 240},
        {"DVD-PAL from 320x240", 8, 8000000, 3, 720, 576, 320, 240},
        {"SVCD-PAL from 320x240", 10, 2500000, 3, 480, 576, 320, 240},
        {"MJPEG AVI from 320x240", 6, 54000000, 3, 640, 480, 320, 240},
    };
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    printf("%-30s %10s\n", "video, per frame", "median ms");
    for (const Case& c : cases) {
        rec::ClipParams clip;
        clip.width = c.srcW;
        clip.height = c.srcH;
        std::vector<uint8_t> frame(clip.width * clip.height * 2);
        rec::DrawClipPicture(clip, 0, frame.data());
        rec::RecordingConfig rc;
        rc.type = c.type;
        rc.bitRate = c.bitRate;
        rc.frameRateCode = c.code;
        rc.width = c.w;
        rc.height = c.h;
        rc.srcWidth = c.srcW;
        rc.srcHeight = c.srcH;
        rc.srcFrameTime = c.code == 4 ? 333667 : 400000;
        CountingSink sink;
        rec::Recording r;
        r.Start(rc, &sink);
        std::vector<double> ms;
        for (int i = 0; i < 40; i++) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            r.Video(frame.data(), clip.width * 2, i * rc.srcFrameTime);
            QueryPerformanceCounter(&b);
            ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart);
        }
        printf("%-30s %10.2f\n", c.name, Median(ms));
    }
    printf("%-30s %10s\n", "Layer II, per second of sound", "median ms");
    for (int rate : {44100, 48000}) {
        rec::ClipParams clip;
        clip.audioRate = rate;
        std::vector<uint8_t> pcm(rate * 4);
        rec::MakeClipSound(clip, 0, rate, pcm.data());
        std::vector<double> ms;
        for (int i = 0; i < 7; i++) {
            rec::Layer2Encoder enc;
            enc.Configure(rate, 2, 224000);
            std::vector<uint8_t> out;
            std::vector<int> sizes;
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            enc.Feed(reinterpret_cast<const int16_t*>(pcm.data()), rate, &out, &sizes);
            QueryPerformanceCounter(&b);
            ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart);
        }
        char name[64];
        sprintf(name, "224 kbit/s stereo, %d Hz", rate);
        printf("%-30s %10.2f\n", name, Median(ms));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string cmd = argv[1];
    if (cmd == "record") return Record(argc, argv);
    if (cmd == "reference") return Reference(argc, argv);
    if (cmd == "psnr") return Psnr(argc, argv);
    if (cmd == "tone") return Tone(argc, argv);
    if (cmd == "bench") return Bench();
    return 2;
}
