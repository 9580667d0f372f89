#include "AudioCapturePins.h"
#include "AudioCaptureFilter.h"
#include "Filter.h"
#include <math.h>

namespace card {

static const DWORD kRate = 44100;
static const WORD kBits = 16, kChannels = 2, kBlockAlign = 4;
static const double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------- AudioLinePin

AudioLinePin::AudioLinePin(ds::Filter* filter, const wchar_t* name, const wchar_t* id, bool enabled)
    : InputPin(filter, name, id), enabled_(enabled), mono_(FALSE), level_(1.0), pan_(0.0) {}

HRESULT AudioLinePin::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IAMAudioInputMixer)) return ds::HandOut<IAMAudioInputMixer>(this, out);
    return InputPin::QueryExtra(iid, out);
}

HRESULT AudioLinePin::CheckMediaType(const AM_MEDIA_TYPE* mt) {
    return IsEqualGUID(mt->majortype, MEDIATYPE_AnalogAudio) ? S_OK : S_FALSE;
}

HRESULT AudioLinePin::put_Enable(BOOL enable) {
    return ds::PutLocked(lock_, enabled_, enable ? TRUE : FALSE);
}

HRESULT AudioLinePin::get_Enable(BOOL* enable) { return ds::GetLocked(lock_, enabled_, enable); }

HRESULT AudioLinePin::put_Mono(BOOL mono) {
    return ds::PutLocked(lock_, mono_, mono ? TRUE : FALSE);
}

HRESULT AudioLinePin::get_Mono(BOOL* mono) { return ds::GetLocked(lock_, mono_, mono); }

HRESULT AudioLinePin::put_MixLevel(double level) {
    if (level != AMF_AUTOMATICGAIN && (level < 0.0 || level > 1.0)) return E_INVALIDARG;
    return ds::PutLocked(lock_, level_, level);
}

HRESULT AudioLinePin::get_MixLevel(double* level) { return ds::GetLocked(lock_, level_, level); }

HRESULT AudioLinePin::put_Pan(double pan) {
    if (pan < -1.0 || pan > 1.0) return E_INVALIDARG;
    return ds::PutLocked(lock_, pan_, pan);
}

HRESULT AudioLinePin::get_Pan(double* pan) { return ds::GetLocked(lock_, pan_, pan); }

// The card's mixer has no loudness, treble or bass controls.
HRESULT AudioLinePin::put_Loudness(BOOL) { return E_NOTIMPL; }
HRESULT AudioLinePin::get_Loudness(BOOL*) { return E_NOTIMPL; }
HRESULT AudioLinePin::put_Treble(double) { return E_NOTIMPL; }
HRESULT AudioLinePin::get_Treble(double*) { return E_NOTIMPL; }
HRESULT AudioLinePin::get_TrebleRange(double*) { return E_NOTIMPL; }
HRESULT AudioLinePin::put_Bass(double) { return E_NOTIMPL; }
HRESULT AudioLinePin::get_Bass(double*) { return E_NOTIMPL; }
HRESULT AudioLinePin::get_BassRange(double*) { return E_NOTIMPL; }

double AudioLinePin::Gain() {
    ds::AutoLock lock(lock_);
    if (!enabled_) return 0.0;
    return level_ == AMF_AUTOMATICGAIN ? 1.0 : level_;
}

// ---------------------------------------------------------------- AudioOutPin

AudioOutPin::AudioOutPin(ds::Filter* filter, const std::vector<AudioLinePin*>& lines)
    : PushPin(filter, L"Capture", L"Capture"), config_(this), lines_(lines), phase_{0, 0, 0} {
    SetCategory(PIN_CATEGORY_CAPTURE);
    suggested_.cBuffers = suggested_.cbBuffer = suggested_.cbAlign = suggested_.cbPrefix = -1;
    AUDIO_STREAM_CONFIG_CAPS caps = {};
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = caps.MaximumChannels = kChannels;
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = caps.MaximumBitsPerSample = kBits;
    caps.BitsPerSampleGranularity = 1;
    caps.MinimumSampleFrequency = caps.MaximumSampleFrequency = kRate;
    caps.SampleFrequencyGranularity = 1;
    ds::MediaType mt = ds::MakePcmType(kRate, kBits, kChannels);
    config_.AddCaps(mt, &caps, sizeof(caps));
}

HRESULT AudioOutPin::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IAMStreamConfig)) return ds::HandOut<IAMStreamConfig>(&config_, out);
    if (IsEqualIID(iid, IID_IAMBufferNegotiation)) return ds::HandOut<IAMBufferNegotiation>(this, out);
    return PushPin::QueryExtra(iid, out);
}

HRESULT AudioOutPin::CheckMediaType(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    if (!IsEqualGUID(mt->majortype, MEDIATYPE_Audio) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_PCM) ||
        !IsEqualGUID(mt->formattype, FORMAT_WaveFormatEx) || mt->cbFormat < sizeof(WAVEFORMATEX) ||
        !mt->pbFormat)
        return S_FALSE;
    const WAVEFORMATEX* wf = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    if (wf->wFormatTag != WAVE_FORMAT_PCM || wf->nChannels != kChannels || wf->nSamplesPerSec != kRate ||
        wf->wBitsPerSample != kBits || wf->nBlockAlign != kBlockAlign ||
        wf->nAvgBytesPerSec != kRate * kBlockAlign)
        return S_FALSE;
    return S_OK;
}

HRESULT AudioOutPin::GetMediaType(int index, AM_MEDIA_TYPE* mt) { return config_.OfferedType(index, mt); }

HRESULT AudioOutPin::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    ds::AutoLock lock(Owner()->Lock());
    // Buffers are agreed when the pin connects; later advice would be lost.
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    suggested_ = *props;
    return S_OK;
}

HRESULT AudioOutPin::GetAllocatorProperties(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    ds::AutoLock lock(Owner()->Lock());
    IMemAllocator* allocator = Allocator();
    if (!allocator) return VFW_E_NO_ALLOCATOR;
    return allocator->GetProperties(props);
}

HRESULT AudioOutPin::DecideBufferSize(ALLOCATOR_PROPERTIES* props) {
    // 40 ms of sound unless the client asked for something else.
    long size = suggested_.cbBuffer > 0 ? suggested_.cbBuffer : kRate * kBlockAlign / 25;
    size = (size + kBlockAlign - 1) / kBlockAlign * kBlockAlign;
    if (props->cbBuffer < size) props->cbBuffer = size;
    long count = suggested_.cBuffers > 0 ? suggested_.cBuffers : 8;
    if (props->cBuffers < count) props->cBuffers = count;
    if (suggested_.cbAlign > 0) props->cbAlign = suggested_.cbAlign;
    if (props->cbAlign < 1) props->cbAlign = 1;
    if (suggested_.cbPrefix > 0) props->cbPrefix = suggested_.cbPrefix;
    return S_OK;
}

HRESULT AudioOutPin::FillSample(IMediaSample* sample, REFERENCE_TIME, REFERENCE_TIME* duration) {
    BYTE* data = NULL;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    long frames = sample->GetSize() / kBlockAlign;
    if (frames <= 0) return VFW_E_BUFFER_UNDERFLOW;
    short* out = reinterpret_cast<short*>(data);
    for (long i = 0; i < frames * kChannels; i++) out[i] = 0;

    for (size_t line = 0; line < lines_.size() && line < 3; line++) {
        double gain = lines_[line]->Gain();
        int tone = AudioCaptureFilter::LineTone(static_cast<int>(line));
        if (gain <= 0.0 || tone <= 0) continue;
        double pan = 0.0;
        lines_[line]->get_Pan(&pan);
        double left = 0.3 * 32767.0 * gain * (pan > 0 ? 1.0 - pan : 1.0);
        double right = 0.3 * 32767.0 * gain * (pan < 0 ? 1.0 + pan : 1.0);
        double step = 2.0 * kPi * tone / kRate, phase = phase_[line];
        for (long i = 0; i < frames; i++) {
            double s = sin(phase);
            int l = out[2 * i] + static_cast<int>(s * left);
            int r = out[2 * i + 1] + static_cast<int>(s * right);
            out[2 * i] = static_cast<short>(l > 32767 ? 32767 : (l < -32768 ? -32768 : l));
            out[2 * i + 1] = static_cast<short>(r > 32767 ? 32767 : (r < -32768 ? -32768 : r));
            phase += step;
        }
        phase_[line] = fmod(phase, 2.0 * kPi);
    }
    sample->SetActualDataLength(frames * kBlockAlign);
    *duration = static_cast<REFERENCE_TIME>(frames) * 10000000 / kRate;
    return S_OK;
}

}  // namespace card
