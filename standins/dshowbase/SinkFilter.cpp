#include "SinkFilter.h"

namespace ds {

// {6f0a5d0c-4b9e-4d0b-9a53-0f3c3c2b8e71}
static const CLSID CLSID_DsSinkFilter = {
    0x6f0a5d0c, 0x4b9e, 0x4d0b, {0x9a, 0x53, 0x0f, 0x3c, 0x3c, 0x2b, 0x8e, 0x71}};

// Only so many records: a long run must not grow without bound.
static const size_t kMaxRecords = 4096;

class SinkFilter::SinkPin : public InputPin {
public:
    SinkPin(SinkFilter* sink, REFGUID majortype, REFGUID subtype)
        : InputPin(sink, L"In"), sink_(sink), major_(majortype), sub_(subtype) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        if (!IsEqualGUID(major_, GUID_NULL) && !IsEqualGUID(mt->majortype, major_)) return S_FALSE;
        if (!IsEqualGUID(sub_, GUID_NULL) && !IsEqualGUID(mt->subtype, sub_)) return S_FALSE;
        return S_OK;
    }

protected:
    HRESULT OnReceive(IMediaSample* sample) override {
        SampleRecord r = {};
        r.hasTime = SUCCEEDED(sample->GetTime(&r.start, &r.stop));
        r.size = sample->GetActualDataLength();
        r.arrivalTicks = GetTickCount();
        BYTE* data = NULL;
        AutoLock lock(sink_->dataLock_);
        if (SUCCEEDED(sample->GetPointer(&data)) && data && r.size > 0)
            sink_->last_.assign(data, data + r.size);
        if (sink_->records_.size() < kMaxRecords) sink_->records_.push_back(r);
        sink_->count_++;
        return S_OK;
    }
    HRESULT OnEndOfStream() override {
        {
            AutoLock lock(sink_->dataLock_);
            sink_->eos_ = true;
        }
        sink_->NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(sink_)));
        return S_OK;
    }

private:
    SinkFilter* sink_;
    GUID major_;
    GUID sub_;
};

SinkFilter::SinkFilter(REFGUID majortype, REFGUID subtype)
    : Filter(CLSID_DsSinkFilter), count_(0), eos_(false) {
    AddPin(new SinkPin(this, majortype, subtype));
}

HRESULT SinkFilter::QueryExtra(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IAMFilterMiscFlags)) return HandOut<IAMFilterMiscFlags>(this, out);
    return Filter::QueryExtra(iid, out);
}

IPin* SinkFilter::Input() const { return static_cast<IPin*>(PinAt(0)); }

LONG SinkFilter::SampleCount() {
    AutoLock lock(dataLock_);
    return count_;
}

MediaType SinkFilter::ConnectedType() {
    AutoLock lock(Lock());
    return PinAt(0)->ConnectionType();
}

std::vector<SampleRecord> SinkFilter::Records() {
    AutoLock lock(dataLock_);
    return records_;
}

std::vector<BYTE> SinkFilter::LastSample() {
    AutoLock lock(dataLock_);
    return last_;
}

bool SinkFilter::EndOfStreamSeen() {
    AutoLock lock(dataLock_);
    return eos_;
}

void SinkFilter::ClearRecords() {
    AutoLock lock(dataLock_);
    records_.clear();
    last_.clear();
    count_ = 0;
    eos_ = false;
}

}  // namespace ds
