#include "ClipSource.h"
#include "MediaType.h"
#include <math.h>
#include <string.h>

namespace rec {

namespace {

const GUID CLSID_ClipSource = {0x6c1a2f3e, 0x41d2, 0x4b7a, {0x9e, 0x10, 0x5a, 0x33, 0x20, 0x71, 0x0c, 0x4d}};

void Rgb(int r, int g, int b, int* y, int* u, int* v) {
    *y = (66 * r + 129 * g + 25 * b + 128) / 256 + 16;
    *u = (-38 * r - 74 * g + 112 * b + 128) / 256 + 128;
    *v = (112 * r - 94 * g - 18 * b + 128) / 256 + 128;
}

}  // namespace

void DrawClipPicture(const ClipParams& p, int n, uint8_t* yuy2) {
    const int w = p.width, h = p.height;
    if (p.noise) {
        uint32_t seed = 2166136261u ^ static_cast<uint32_t>(n * 7919);
        for (int i = 0; i < w * h * 2; i++) {
            seed = seed * 1664525u + 1013904223u;
            yuy2[i] = static_cast<uint8_t>(16 + ((seed >> 24) * 219 >> 8));
        }
        return;
    }
    static const int bars[8][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                   {191, 0, 191},   {191, 0, 0},   {0, 0, 191},   {16, 16, 16}};
    for (int y = 0; y < h; y++) {
        uint8_t* row = yuy2 + static_cast<size_t>(y) * w * 2;
        for (int x = 0; x < w; x += 2) {
            int Y0, Y1, U, V;
            if (y < h / 3) {
                const int* c = bars[x * 8 / w];
                Rgb(c[0], c[1], c[2], &Y0, &U, &V);
                Y1 = Y0;
            } else if (y < 2 * h / 3) {
                // A luma ramp under a slow chroma sweep.
                Y0 = 16 + x * 219 / w;
                Y1 = 16 + (x + 1) * 219 / w;
                U = 128 + static_cast<int>(60 * sin(y * 0.05));
                V = 128 + static_cast<int>(60 * cos(x * 0.02));
            } else {
                // Detail: rings of rising frequency, as a test card has.
                double cx = x - w / 2.0, cy = y - h * 5 / 6.0;
                double r2 = (cx * cx + cy * cy) / (w * 4.0);
                Y0 = 128 + static_cast<int>(80 * sin(r2));
                double cx1 = cx + 1, r21 = (cx1 * cx1 + cy * cy) / (w * 4.0);
                Y1 = 128 + static_cast<int>(80 * sin(r21));
                U = V = 128;
            }
            row[2 * x] = static_cast<uint8_t>(Y0);
            row[2 * x + 1] = static_cast<uint8_t>(U);
            row[2 * x + 2] = static_cast<uint8_t>(Y1);
            row[2 * x + 3] = static_cast<uint8_t>(V);
        }
    }
    // A box that moves one way, so frames differ and seeking shows.
    int bx = (n * 4) % (w - 32);
    for (int y = h / 3 + 8; y < h / 3 + 24 && y < h; y++)
        for (int x = bx; x < bx + 16; x++) yuy2[static_cast<size_t>(y) * w * 2 + 2 * x] = 235;
}

void MakeClipSound(const ClipParams& p, int64_t first, int frames, uint8_t* pcm) {
    for (int i = 0; i < frames; i++) {
        double t = static_cast<double>(first + i) / p.audioRate;
        for (int c = 0; c < p.channels; c++) {
            double v = 0.5 * sin(2 * M_PI * (c ? 2000.0 : 1000.0) * t);
            if (p.bits == 16) {
                int16_t s = static_cast<int16_t>(lrint(v * 32767));
                memcpy(pcm, &s, 2);
                pcm += 2;
            } else {
                *pcm++ = static_cast<uint8_t>(lrint(128 + v * 127));
            }
        }
    }
}

class ClipSource::OutPin : public ds::OutputPin {
public:
    OutPin(ClipSource* f, const wchar_t* name, const ds::MediaType& mt, long bufferSize)
        : OutputPin(f, name), type_(mt), size_(bufferSize) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        return ds::EqualMediaType(*mt, type_) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (index != 0) return VFW_S_NO_MORE_ITEMS;
        return ds::CopyMediaType(mt, &type_);
    }

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override {
        props->cBuffers = 2;
        props->cbBuffer = size_;
        props->cbAlign = 1;
        return S_OK;
    }

private:
    ds::MediaType type_;
    long size_;
};

ClipSource::ClipSource(const ClipParams& params) : Filter(CLSID_ClipSource), p_(params) {
    video_ = new OutPin(this, L"Video",
                        ds::MakeVideoType(MEDIASUBTYPE_YUY2, MAKEFOURCC('Y', 'U', 'Y', '2'), 16, p_.width,
                                          p_.height, p_.frameTime),
                        p_.width * p_.height * 2);
    AddPin(video_);
    audio_ = NULL;
    if (p_.audio) {
        audio_ = new OutPin(this, L"Audio", ds::MakePcmType(p_.audioRate, p_.bits, p_.channels),
                            p_.audioRate / 10 * p_.channels * p_.bits / 8);
        AddPin(audio_);
    }
}

ClipSource::~ClipSource() { Join(); }

IPin* ClipSource::Output(int index) const { return index == 0 ? video_ : audio_; }

void ClipSource::Join() {
    if (!thread_) return;
    InterlockedExchange(&quit_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = NULL;
}

HRESULT ClipSource::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
    if (to == State_Running && !thread_) {
        InterlockedExchange(&quit_, 0);
        DWORD id;
        thread_ = CreateThread(NULL, 0, ThreadMain, this, 0, &id);
        return thread_ ? S_OK : E_FAIL;
    }
    if (to == State_Stopped) Join();
    return S_OK;
}

DWORD WINAPI ClipSource::ThreadMain(void* self) {
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    static_cast<ClipSource*>(self)->Deliver();
    CoUninitialize();
    return 0;
}

void ClipSource::Deliver() {
    const int64_t total = p_.frames * p_.frameTime;
    const int chunk = p_.audioRate / 25;  // 40 ms of sound a buffer
    int frame = 0;
    int64_t samples = 0;
    bool videoOn = video_->IsConnected(), audioOn = audio_ && audio_->IsConnected();
    while (!quit_ && (videoOn || audioOn)) {
        int64_t vt = frame * p_.frameTime;
        int64_t at = samples * 10000000 / p_.audioRate;
        bool video = videoOn && (!audioOn || vt <= at);
        if (!video && samples * 10000000 >= total * p_.audioRate) {
            audioOn = false;
            continue;
        }
        ds::OutputPin* pin = video ? video_ : audio_;
        ds::ComPtr<IMediaSample> s;
        if (FAILED(pin->GetDeliveryBuffer(s.Out()))) break;
        BYTE* data = NULL;
        s->GetPointer(&data);
        REFERENCE_TIME start, stop;
        if (video) {
            DrawClipPicture(p_, frame, data);
            s->SetActualDataLength(p_.width * p_.height * 2);
            start = vt;
            stop = vt + p_.frameTime;
            if (++frame >= p_.frames) videoOn = false;
        } else {
            int n = chunk;
            int64_t left = (total * p_.audioRate + 9999999) / 10000000 - samples;
            if (left < n) n = static_cast<int>(left);
            MakeClipSound(p_, samples, n, data);
            s->SetActualDataLength(n * p_.channels * p_.bits / 8);
            start = at;
            samples += n;
            stop = samples * 10000000 / p_.audioRate;
            if (samples * 10000000 >= total * p_.audioRate) audioOn = false;
        }
        s->SetTime(&start, &stop);
        s->SetSyncPoint(TRUE);
        if (FAILED(pin->Deliver(s.Get()))) break;
    }
    if (quit_) return;
    if (video_->IsConnected()) video_->DeliverEndOfStream();
    if (audio_ && audio_->IsConnected()) audio_->DeliverEndOfStream();
}

}  // namespace rec
