#include "RecorderFilter.h"
#include "MediaType.h"
#include "RecorderHooks.h"
#include "CardState.h"
#include <stdio.h>
#include <wchar.h>

namespace rec {

// The recorder's file: appends at the end, rewrites headers in place, and
// fails (for good) when a write does not go through or would pass the
// test hook's limit. Shared for reading, so the size can be watched.
class FileSink : public ByteSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}
    ~FileSink() override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool Append(const void* data, size_t size) override {
        if (failed_) return false;
        int64_t limit = hooks::WriteLimit();
        if (limit >= 0 && size_ + size > static_cast<uint64_t>(limit)) return Fail(HRESULT_FROM_WIN32(ERROR_DISK_FULL));
        if (!Seek(size_)) return false;
        DWORD done = 0;
        if (!WriteFile(file_, data, static_cast<DWORD>(size), &done, NULL) || done != size)
            return Fail(HRESULT_FROM_WIN32(GetLastError()));
        size_ += size;
        return true;
    }
    bool Overwrite(uint64_t offset, const void* data, size_t size) override {
        if (offset + size > size_ || !Seek(offset)) return false;
        DWORD done = 0;
        bool ok = WriteFile(file_, data, static_cast<DWORD>(size), &done, NULL) && done == size;
        return ok;
    }
    uint64_t Size() const override { return size_; }
    bool Failed() const { return failed_; }
    HRESULT Error() const { return error_; }

private:
    bool Seek(uint64_t at) {
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(at);
        if (SetFilePointerEx(file_, li, NULL, FILE_BEGIN)) return true;
        return Fail(HRESULT_FROM_WIN32(GetLastError()));
    }
    bool Fail(HRESULT hr) {
        if (!failed_) error_ = FAILED(hr) ? hr : E_FAIL;
        failed_ = true;
        return false;
    }
    HANDLE file_;
    uint64_t size_ = 0;
    bool failed_ = false;
    HRESULT error_ = S_OK;
};

namespace {

std::string Args(int a) {
    char b[32];
    sprintf(b, "%d", a);
    return b;
}
std::string Args(int a, int b) { return Args(a) + ", " + Args(b); }

}  // namespace

class RecorderFilter::VideoPin : public ds::InputPin {
public:
    explicit VideoPin(RecorderFilter* f) : InputPin(f, L"Video", L"0"), owner_(f) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!IsEqualGUID(mt->majortype, MEDIATYPE_Video) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_YUY2) ||
            !IsEqualGUID(mt->formattype, FORMAT_VideoInfo) || !mt->pbFormat ||
            mt->cbFormat < sizeof(VIDEOINFOHEADER))
            return VFW_E_TYPE_NOT_ACCEPTED;
        const BITMAPINFOHEADER& bih = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader;
        LONG w = bih.biWidth, h = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
        if (w < 16 || w > 720 || h < 16 || h > 576 || (w & 1) || (h & 1)) return VFW_E_TYPE_NOT_ACCEPTED;
        return S_OK;
    }
    HRESULT OnReceive(IMediaSample* s) override { return owner_->ReceiveVideo(s); }
    HRESULT OnEndOfStream() override { return owner_->InputEnded(0); }

private:
    RecorderFilter* owner_;
};

class RecorderFilter::AudioPin : public ds::InputPin {
public:
    explicit AudioPin(RecorderFilter* f) : InputPin(f, L"Audio", L"1"), owner_(f) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!IsEqualGUID(mt->majortype, MEDIATYPE_Audio) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_PCM) ||
            !IsEqualGUID(mt->formattype, FORMAT_WaveFormatEx) || !mt->pbFormat ||
            mt->cbFormat < sizeof(PCMWAVEFORMAT))
            return VFW_E_TYPE_NOT_ACCEPTED;
        const WAVEFORMATEX* wf = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
        if (wf->wFormatTag != WAVE_FORMAT_PCM || wf->nChannels < 1 || wf->nChannels > 2 ||
            (wf->wBitsPerSample != 8 && wf->wBitsPerSample != 16) || wf->nSamplesPerSec < 8000 ||
            wf->nSamplesPerSec > 48000)
            return VFW_E_TYPE_NOT_ACCEPTED;
        return S_OK;
    }
    HRESULT OnReceive(IMediaSample* s) override { return owner_->ReceiveAudio(s); }
    HRESULT OnEndOfStream() override { return owner_->InputEnded(1); }

private:
    RecorderFilter* owner_;
};

RecorderFilter::RecorderFilter() : Filter(CLSID_BrinmarchMpegRecorder) {
    a_.owner = this;
    b_.owner = this;
    video_ = new VideoPin(this);
    audio_ = new AudioPin(this);
    AddPin(video_);
    AddPin(audio_);
}

RecorderFilter::~RecorderFilter() { EndRecording(); }

HRESULT RecorderFilter::QueryInterface(REFIID iid, void** out) {
    HRESULT hr;
    if (out && hooks::QueryFailure(iid, &hr)) {
        *out = NULL;
        return hr;
    }
    return Filter::QueryInterface(iid, out);
}

HRESULT RecorderFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IMpegRecorderVideoSettings)) return ds::HandOut<IMpegRecorderVideoSettings>(this, out);
    if (IsEqualIID(iid, IID_IMpegRecorderSecondSettings)) return ds::HandOut<IMpegRecorderSecondSettings>(this, out);
    if (IsEqualIID(iid, IID_IFileSinkFilter)) return ds::HandOut<IFileSinkFilter>(this, out);
    if (IsEqualIID(iid, IID_IAMFilterMiscFlags)) return ds::HandOut<IAMFilterMiscFlags>(this, out);
    if (IsEqualIID(iid, IID_IMpegRecorderA)) return ds::HandOut<IUnknown>(&a_, out);
    if (IsEqualIID(iid, IID_IMpegRecorderB)) return ds::HandOut<IUnknown>(&b_, out);
    *out = NULL;
    return E_NOINTERFACE;
}

HRESULT RecorderFilter::Setting(int iface, int slot, const std::string& args, bool valid,
                                const std::function<void()>& apply) {
    HRESULT hr;
    if (!hooks::Failure(iface, slot, &hr)) {
        ds::AutoLock l(settingsLock_);
        if (State() != State_Stopped) hr = VFW_E_NOT_STOPPED;
        else if (!valid) hr = E_INVALIDARG;
        else {
            apply();
            hr = S_OK;
        }
    }
    hooks::Log(iface, slot, args, hr);
    return hr;
}

HRESULT RecorderFilter::SetStreamType(int t) {
    StreamKind kind;
    return Setting(kHookVideoSettings, 3, Args(t), StreamKindOfType(t, &kind), [&] { settings_.type = t; });
}
HRESULT RecorderFilter::SetBitRate(int r) {
    return Setting(kHookVideoSettings, 5, Args(r), r >= 100000 && r <= 60000000, [&] { settings_.bitRate = r; });
}
HRESULT RecorderFilter::SetFrameRateCode(int c) {
    return Setting(kHookVideoSettings, 8, Args(c), c >= 1 && c <= 8, [&] { settings_.frameRateCode = c; });
}
HRESULT RecorderFilter::SetSizeValue(int v) {
    return Setting(kHookVideoSettings, 10, Args(v), true, [&] { settings_.sizeValue = v; });
}
HRESULT RecorderFilter::SetOption13(int v) {
    return Setting(kHookVideoSettings, 13, Args(v), true, [&] { settings_.option13 = v; });
}
HRESULT RecorderFilter::SetOption19(int v) {
    return Setting(kHookVideoSettings, 19, Args(v), true, [&] { settings_.option19 = v; });
}
HRESULT RecorderFilter::SetOption40(int v) {
    return Setting(kHookVideoSettings, 40, Args(v), true, [&] { settings_.option40 = v; });
}
HRESULT RecorderFilter::SetFrameSize(int w, int h) {
    bool ok = w >= 16 && w <= 720 && h >= 16 && h <= 576 && !(w & 1) && !(h & 1);
    return Setting(kHookVideoSettings, 54, Args(w, h), ok, [&] {
        settings_.width = w;
        settings_.height = h;
    });
}

HRESULT RecorderFilter::GetBytesWritten(DWORD* bytes) {
    HRESULT hr;
    if (!hooks::Failure(kHookVideoSettings, 18, &hr)) {
        if (!bytes) {
            hr = E_POINTER;
        } else {
            LONG64 n = InterlockedCompareExchange64(&written_, 0, 0);
            *bytes = n > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<DWORD>(n);
            hr = S_OK;
        }
    }
    hooks::Log(kHookVideoSettings, 18, bytes ? "out" : "NULL", hr);
    return hr;
}

HRESULT RecorderFilter::SetValue03(int v) {
    return Setting(kHookSecondSettings, 3, Args(v), true, [&] { settings_.second[0] = v; });
}
HRESULT RecorderFilter::SetValue05(int v) {
    return Setting(kHookSecondSettings, 5, Args(v), true, [&] { settings_.second[1] = v; });
}
HRESULT RecorderFilter::SetValue07(int v) {
    return Setting(kHookSecondSettings, 7, Args(v), true, [&] { settings_.second[2] = v; });
}
HRESULT RecorderFilter::SetValue09(int v) {
    return Setting(kHookSecondSettings, 9, Args(v), true, [&] { settings_.second[3] = v; });
}
HRESULT RecorderFilter::SetValue11(int v) {
    return Setting(kHookSecondSettings, 11, Args(v), true, [&] { settings_.second[4] = v; });
}
HRESULT RecorderFilter::SetValue13(int v) {
    return Setting(kHookSecondSettings, 13, Args(v), true, [&] { settings_.second[5] = v; });
}
HRESULT RecorderFilter::SetValues15(int a, int b, int c, int d) {
    return Setting(kHookSecondSettings, 15, Args(a, b) + ", " + Args(c, d), true, [&] {
        settings_.second15[0] = a;
        settings_.second15[1] = b;
        settings_.second15[2] = c;
        settings_.second15[3] = d;
    });
}

HRESULT RecorderFilter::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) {
    std::string shown = "NULL";
    if (name) {
        char buf[MAX_PATH * 2 + 1];
        int n = WideCharToMultiByte(CP_ACP, 0, name, -1, buf, sizeof(buf), NULL, NULL);
        shown = n > 0 ? buf : "?";
    }
    HRESULT hr;
    if (!hooks::Failure(kHookFileSink, 3, &hr)) {
        ds::AutoLock l(settingsLock_);
        size_t len = name ? wcslen(name) : 0;
        if (!name) hr = E_POINTER;
        else if (State() != State_Stopped) hr = VFW_E_NOT_STOPPED;
        else if (len == 0 || len >= MAX_PATH) hr = E_INVALIDARG;
        else {
            fileName_ = name;
            hr = S_OK;
        }
    }
    hooks::Log(kHookFileSink, 3, shown, hr);
    return hr;
}

HRESULT RecorderFilter::GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) {
    if (!name) return E_POINTER;
    *name = NULL;
    ds::AutoLock l(settingsLock_);
    if (fileName_.empty()) return E_FAIL;
    size_t bytes = (fileName_.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (!*name) return E_OUTOFMEMORY;
    memcpy(*name, fileName_.c_str(), bytes);
    if (mt) {
        ZeroMemory(mt, sizeof(*mt));
        mt->majortype = MEDIATYPE_Stream;
        StreamKind kind = kMpeg2Program;
        StreamKindOfType(settings_.type, &kind);
        mt->subtype = kind == kMpeg1System ? MEDIASUBTYPE_MPEG1System
                      : kind == kAvi       ? MEDIASUBTYPE_Avi
                                           : MEDIASUBTYPE_MPEG2_PROGRAM;
        mt->bFixedSizeSamples = TRUE;
        mt->lSampleSize = 1;
    }
    return S_OK;
}

HRESULT RecorderFilter::StartRecording() {
    RecorderSettings s;
    std::wstring name;
    {
        ds::AutoLock l(settingsLock_);
        s = settings_;
        name = fileName_;
    }
    if (name.empty()) return E_FAIL;
    if (!video_->IsConnected()) return VFW_E_NOT_CONNECTED;
    HRESULT hr;
    HANDLE h;
    if (hooks::CreateFailure(&hr)) {
        h = INVALID_HANDLE_VALUE;
    } else {
        h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, NULL);
        hr = HRESULT_FROM_WIN32(GetLastError());
        if (SUCCEEDED(hr)) hr = E_FAIL;
    }
    if (h == INVALID_HANDLE_VALUE) return hr;

    RecordingConfig c;
    c.type = s.type;
    c.bitRate = s.bitRate;
    c.frameRateCode = s.frameRateCode;
    c.width = s.width;
    c.height = s.height;
    const VIDEOINFOHEADER* vih = video_->ConnectionType().Video();
    c.srcWidth = vih->bmiHeader.biWidth;
    c.srcHeight = vih->bmiHeader.biHeight < 0 ? -vih->bmiHeader.biHeight : vih->bmiHeader.biHeight;
    c.srcFrameTime = vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : 400000;
    c.audio = audio_->IsConnected();
    if (c.audio) {
        const WAVEFORMATEX* wf = audio_->ConnectionType().Wave();
        c.audioRate = wf->nSamplesPerSec;
        c.audioChannels = wf->nChannels;
        c.audioBits = wf->wBitsPerSample;
    }
    c.riffLimit = hooks::OpenDmlThreshold();

    ds::AutoLock l(streamLock_);
    file_.reset(new FileSink(h));
    recording_.reset(new Recording());
    ended_[0] = false;
    ended_[1] = !c.audio;
    abortSent_ = false;
    InterlockedExchange64(&written_, 0);
    if (!recording_->Start(c, file_.get())) {
        recording_.reset();
        file_.reset();
        return E_FAIL;
    }
    CheckWriteFailure();
    return S_OK;
}

void RecorderFilter::CheckWriteFailure() {
    if (!file_) return;
    InterlockedExchange64(&written_, static_cast<LONG64>(file_->Size()));
    if (file_->Failed() && !abortSent_) {
        abortSent_ = true;
        NotifyEvent(EC_ERRORABORT, file_->Error(), 0);
    }
}

void RecorderFilter::EndRecording() {
    ds::AutoLock l(streamLock_);
    if (recording_) {
        recording_->Finish();
        CheckWriteFailure();
    }
    recording_.reset();
    file_.reset();
}

HRESULT RecorderFilter::Pause() {
    if (State() == State_Stopped) {
        // A recorder that cannot start (its encoder board busy, say): the
        // card's failure table stands in for it, so that the product's
        // tests can make a recording's start fail where a user would.
        if (CardShouldFail("Recorder.Run")) {
            CardLog("Recorder.Run: made to fail");
            return E_FAIL;
        }
        ds::AutoLock lock(Lock());
        HRESULT hr = StartRecording();
        if (FAILED(hr)) return hr;
        hr = Filter::Pause();
        if (FAILED(hr)) {
            Filter::Stop();
            EndRecording();
        }
        return hr;
    }
    return Filter::Pause();
}

HRESULT RecorderFilter::Stop() {
    HRESULT hr = Filter::Stop();
    EndRecording();
    return hr;
}

HRESULT RecorderFilter::ReceiveVideo(IMediaSample* sample) {
    ds::AutoLock l(streamLock_);
    if (!recording_ || file_->Failed()) return S_OK;
    BYTE* data = NULL;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const VIDEOINFOHEADER* vih = video_->ConnectionType().Video();
    LONG w = vih->bmiHeader.biWidth;
    LONG h = vih->bmiHeader.biHeight < 0 ? -vih->bmiHeader.biHeight : vih->bmiHeader.biHeight;
    int stride = static_cast<int>(w * 2);
    if (sample->GetActualDataLength() < stride * h) return S_OK;  // a short frame is skipped
    REFERENCE_TIME start = 0, stop = 0;
    if (FAILED(sample->GetTime(&start, &stop)))
        start = recording_->FramesIn() * (vih->AvgTimePerFrame > 0 ? vih->AvgTimePerFrame : 400000);
    recording_->Video(data, stride, start);
    CheckWriteFailure();
    return S_OK;
}

HRESULT RecorderFilter::ReceiveAudio(IMediaSample* sample) {
    ds::AutoLock l(streamLock_);
    if (!recording_ || file_->Failed()) return S_OK;
    BYTE* data = NULL;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    REFERENCE_TIME start = 0, stop = 0;
    bool timed = SUCCEEDED(sample->GetTime(&start, &stop));
    recording_->Audio(data, sample->GetActualDataLength(), timed ? start : -1);
    CheckWriteFailure();
    return S_OK;
}

HRESULT RecorderFilter::InputEnded(int pin) {
    bool complete = false;
    {
        ds::AutoLock l(streamLock_);
        if (!recording_ || ended_[pin]) return S_OK;
        ended_[pin] = true;
        if (pin == 0) recording_->VideoEnded();
        else recording_->AudioEnded();
        CheckWriteFailure();
        complete = ended_[0] && ended_[1];
    }
    if (complete) NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    return S_OK;
}

}  // namespace rec
