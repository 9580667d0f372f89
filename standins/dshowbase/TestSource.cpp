#include "TestSource.h"

namespace ds {

class TestSource::OutPin : public OutputPin {
public:
    OutPin(Filter* f, const MediaType& type) : OutputPin(f, L"Out"), type_(type) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        return IsEqualGUID(mt->majortype, type_.majortype) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (index) return VFW_S_NO_MORE_ITEMS;
        return CopyMediaType(mt, &type_);
    }

protected:
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override {
        props->cBuffers = 2;
        props->cbBuffer = type_.lSampleSize > 200000 ? static_cast<long>(type_.lSampleSize) : 200000;
        props->cbAlign = 1;
        return S_OK;
    }

private:
    MediaType type_;
};

TestSource::TestSource(DWORD sampleRate, WORD bits, WORD channels)
    : Filter(GUID_NULL), out_(new OutPin(this, MakePcmType(sampleRate, bits, channels))) {
    AddPin(out_);
}

TestSource::TestSource(const MediaType& type) : Filter(GUID_NULL), out_(new OutPin(this, type)) {
    AddPin(out_);
}

IPin* TestSource::Output() const { return static_cast<IPin*>(out_); }

HRESULT TestSource::Send(long bytes, void (*fill)(BYTE*, long, void*), void* context, REFERENCE_TIME start,
                         REFERENCE_TIME stop) {
    ComPtr<IMediaSample> sample;
    HRESULT hr = out_->GetDeliveryBuffer(sample.Out());
    if (FAILED(hr)) return hr;
    BYTE* data = NULL;
    hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    if (sample->GetSize() < bytes) return E_INVALIDARG;
    fill(data, bytes, context);
    sample->SetActualDataLength(bytes);
    if (start >= 0) sample->SetTime(&start, &stop);
    return out_->Deliver(sample.Get());
}

HRESULT TestSource::SendEndOfStream() { return out_->DeliverEndOfStream(); }

}  // namespace ds
