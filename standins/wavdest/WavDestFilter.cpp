#include "WavDestFilter.h"
#include "AsfWriterInterfaces.h"
#include <string.h>

namespace wavdest {

namespace {

const long kHeaderBytes = 44;
// Blocks larger than one buffer go out in pieces.
const long kBufferBytes = 64 * 1024;

void Put32(std::vector<BYTE>& v, size_t at, DWORD value) {
    for (int i = 0; i < 4; i++) v[at + i] = static_cast<BYTE>(value >> (8 * i));
}
void Put16(std::vector<BYTE>& v, size_t at, WORD value) {
    v[at] = static_cast<BYTE>(value);
    v[at + 1] = static_cast<BYTE>(value >> 8);
}

}  // namespace

std::vector<BYTE> MakeWavHeader(const WAVEFORMATEX& f, DWORD dataBytes) {
    std::vector<BYTE> h(kHeaderBytes, 0);
    memcpy(&h[0], "RIFF", 4);
    Put32(h, 4, 36 + dataBytes);
    memcpy(&h[8], "WAVEfmt ", 8);
    Put32(h, 16, 16);
    Put16(h, 20, f.wFormatTag);
    Put16(h, 22, f.nChannels);
    Put32(h, 24, f.nSamplesPerSec);
    Put32(h, 28, f.nAvgBytesPerSec);
    Put16(h, 32, f.nBlockAlign);
    Put16(h, 34, f.wBitsPerSample);
    memcpy(&h[36], "data", 4);
    Put32(h, 40, dataBytes);
    return h;
}

class WavDestFilter::InPin : public ds::InputPin {
public:
    explicit InPin(WavDestFilter* f) : InputPin(f, L"In"), dest_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        if (!IsEqualGUID(mt->majortype, MEDIATYPE_Audio) || !IsEqualGUID(mt->subtype, MEDIASUBTYPE_PCM) ||
            !IsEqualGUID(mt->formattype, FORMAT_WaveFormatEx) || !mt->pbFormat ||
            mt->cbFormat < sizeof(WAVEFORMATEX))
            return S_FALSE;
        const WAVEFORMATEX* wf = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
        return wf->wFormatTag == WAVE_FORMAT_PCM && wf->nBlockAlign > 0 ? S_OK : S_FALSE;
    }

protected:
    HRESULT OnReceive(IMediaSample* sample) override {
        BYTE* data = NULL;
        HRESULT hr = sample->GetPointer(&data);
        if (FAILED(hr)) return hr;
        return dest_->Write(data, sample->GetActualDataLength());
    }
    HRESULT OnEndOfStream() override;

private:
    WavDestFilter* dest_;
};

class WavDestFilter::OutPin : public ds::OutputPin {
public:
    explicit OutPin(WavDestFilter* f) : OutputPin(f, L"Out"), dest_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        // The header is made from the input's format: it must be known first.
        if (!dest_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        return IsEqualGUID(mt->majortype, MEDIATYPE_Stream) &&
                       (IsEqualGUID(mt->subtype, MEDIASUBTYPE_WAVE) || IsEqualGUID(mt->subtype, GUID_NULL))
                   ? S_OK
                   : S_FALSE;
    }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (index != 0) return VFW_S_NO_MORE_ITEMS;
        ds::MediaType type;
        type.majortype = MEDIATYPE_Stream;
        type.subtype = MEDIASUBTYPE_WAVE;
        type.formattype = GUID_NULL;
        type.bFixedSizeSamples = FALSE;
        return ds::CopyMediaType(mt, &type);
    }

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override {
        if (props->cBuffers < 4) props->cBuffers = 4;
        if (props->cbBuffer < kBufferBytes) props->cbBuffer = kBufferBytes;
        if (props->cbAlign < 1) props->cbAlign = 1;
        return S_OK;
    }

private:
    WavDestFilter* dest_;
};

HRESULT WavDestFilter::InPin::OnEndOfStream() {
    dest_->SendHeader();
    return dest_->out_->DeliverEndOfStream();
}

WavDestFilter::WavDestFilter() : Filter(CLSID_WavDest), dataBytes_(0), closing_(false) {
    in_ = new InPin(this);
    out_ = new OutPin(this);
    AddPin(in_);
    AddPin(out_);
}

DWORD WavDestFilter::DataBytes() {
    ds::AutoLock lock(streamLock_);
    return dataBytes_;
}

HRESULT WavDestFilter::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
    // Waits for a block and its header in flight: the pair goes out whole.
    ds::AutoLock lock(streamLock_);
    if (from == State_Stopped) dataBytes_ = 0;
    // A graph that stops when ready pauses every filter before it stops the
    // writer: what arrives after the pause could meet a stopped writer
    // between a block and its header, and is not passed on.
    closing_ = from == State_Running && to == State_Paused;
    return S_OK;
}

// One block stamped with its place in the file.
static HRESULT DeliverAt(ds::OutputPin* out, LONGLONG offset, const BYTE* data, long length) {
    ds::ComPtr<IMediaSample> sample;
    HRESULT hr = out->GetDeliveryBuffer(sample.Out());
    if (FAILED(hr)) return hr;
    if (sample->GetSize() < length) return E_UNEXPECTED;
    BYTE* buffer = NULL;
    hr = sample->GetPointer(&buffer);
    if (FAILED(hr)) return hr;
    memcpy(buffer, data, length);
    sample->SetActualDataLength(length);
    REFERENCE_TIME start = offset, stop = offset + length;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    return out->Deliver(sample.Get());
}

HRESULT WavDestFilter::Write(const BYTE* data, long length) {
    ds::AutoLock lock(streamLock_);
    if (closing_) return S_OK;
    while (length > 0) {
        long piece = length < kBufferBytes ? length : kBufferBytes;
        HRESULT hr = DeliverAt(out_, kHeaderBytes + static_cast<LONGLONG>(dataBytes_), data, piece);
        if (FAILED(hr)) return hr;
        dataBytes_ += piece;
        data += piece;
        length -= piece;
    }
    return SendHeader();
}

HRESULT WavDestFilter::SendHeader() {
    ds::AutoLock lock(streamLock_);
    const WAVEFORMATEX* wf = in_->ConnectionType().Wave();
    if (!wf) return VFW_E_NOT_CONNECTED;
    std::vector<BYTE> header = MakeWavHeader(*wf, dataBytes_);
    return DeliverAt(out_, 0, header.data(), kHeaderBytes);
}

}  // namespace wavdest
