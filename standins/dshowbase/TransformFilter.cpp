#include "TransformFilter.h"

namespace ds {

bool IsVideoInfoType(const AM_MEDIA_TYPE* mt, REFGUID subtype) {
    return mt && IsEqualGUID(mt->majortype, MEDIATYPE_Video) && IsEqualGUID(mt->subtype, subtype) &&
           IsEqualGUID(mt->formattype, FORMAT_VideoInfo) && mt->pbFormat &&
           mt->cbFormat >= sizeof(VIDEOINFOHEADER);
}

class TransformFilter::InPin : public InputPin {
public:
    explicit InPin(TransformFilter* f) : InputPin(f, L"Input", L"In"), t_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        return t_->CheckInputType(mt) == S_OK ? S_OK : S_FALSE;
    }
    HRESULT QueryExtra(REFIID iid, void** out) override { return t_->QueryInputExtra(iid, out); }
    // A renderer downstream may hold our sample until its time comes.
    STDMETHODIMP ReceiveCanBlock() override { return S_OK; }
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

protected:
    HRESULT OnReceive(IMediaSample* sample) override { return t_->Receive(sample); }
    HRESULT OnEndOfStream() override;
    void OnBeginFlush() override;
    void OnEndFlush() override;

private:
    TransformFilter* t_;
};

class TransformFilter::OutPin : public OutputPin {
public:
    explicit OutPin(TransformFilter* f) : OutputPin(f, L"Output", L"Out"), t_(f) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        if (!mt) return E_POINTER;
        if (!t_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        return t_->CheckTransform(&t_->in_->ConnectionType(), mt) == S_OK ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int index, AM_MEDIA_TYPE* mt) override {
        if (!t_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        if (index < 0) return E_INVALIDARG;
        return t_->GetOutputType(index, &t_->in_->ConnectionType(), mt);
    }
    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override {
        if (!t_->in_->IsConnected()) return VFW_E_NOT_CONNECTED;
        HRESULT hr = t_->AdmitOutputConnection();
        if (FAILED(hr)) return hr;
        return OutputPin::Connect(receiver, mt);
    }

protected:
    // Two frames: one being drawn while the other waits downstream.
    HRESULT DecideBufferSize(ALLOCATOR_PROPERTIES* props) override {
        if (props->cBuffers < 2) props->cBuffers = 2;
        if (props->cbBuffer < static_cast<long>(mt_.lSampleSize))
            props->cbBuffer = static_cast<long>(mt_.lSampleSize);
        if (props->cbBuffer < 1) {
            const VIDEOINFOHEADER* v = mt_.Video();
            if (v) props->cbBuffer = static_cast<long>(v->bmiHeader.biSizeImage);
        }
        return OutputPin::DecideBufferSize(props);
    }

public:
    // A receiver's sample came with a type of its own (a renderer's surface of
    // another stride or orientation): from this sample on the output carries
    // it, when the transform can make it from the input.
    HRESULT AdoptSampleType(IMediaSample* sample) {
        AM_MEDIA_TYPE* changed = NULL;
        if (sample->GetMediaType(&changed) != S_OK || !changed) return S_OK;
        HRESULT hr;
        {
            AutoLock lock(t_->ConnectionLock());
            hr = t_->CheckTransform(&t_->in_->ConnectionType(), changed) == S_OK ? S_OK
                                                                                 : VFW_E_TYPE_NOT_ACCEPTED;
            if (hr == S_OK) mt_ = MediaType(*changed);
        }
        DeleteMediaType(changed);
        return hr;
    }

private:
    TransformFilter* t_;
};

HRESULT TransformFilter::InPin::OnEndOfStream() {
    if (!t_->out_->IsConnected()) return S_OK;
    return t_->out_->DeliverEndOfStream();
}

void TransformFilter::InPin::OnBeginFlush() {
    if (t_->out_->IsConnected()) t_->out_->DeliverBeginFlush();
}

void TransformFilter::InPin::OnEndFlush() {
    if (t_->out_->IsConnected()) t_->out_->DeliverEndFlush();
}

HRESULT TransformFilter::InPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    if (!t_->out_->IsConnected()) return S_OK;
    return t_->out_->DeliverNewSegment(start, stop, rate);
}

TransformFilter::TransformFilter(REFCLSID clsid) : Filter(clsid) {
    in_ = new InPin(this);
    out_ = new OutPin(this);
    AddPin(in_);
    AddPin(out_);
}

IPin* TransformFilter::Input() const { return static_cast<IPin*>(in_); }
IPin* TransformFilter::Output() const { return static_cast<IPin*>(out_); }

MediaType TransformFilter::InputType() {
    AutoLock lock(ConnectionLock());
    return in_->ConnectionType();
}

MediaType TransformFilter::OutputType() {
    AutoLock lock(ConnectionLock());
    return out_->ConnectionType();
}

HRESULT TransformFilter::OnStateChange(FILTER_STATE from, FILTER_STATE to) {
    if (from == State_Stopped && to != State_Stopped) return StartStreaming();
    if (to == State_Stopped) StopStreaming();
    return S_OK;
}

HRESULT TransformFilter::Receive(IMediaSample* in) {
    // Nothing downstream: the sample is taken and dropped, as a tee would.
    if (!out_->IsConnected()) return S_OK;
    ComPtr<IMediaSample> out;
    HRESULT hr = out_->GetDeliveryBuffer(out.Out());
    if (FAILED(hr)) return hr;
    hr = out_->AdoptSampleType(out.Get());
    if (FAILED(hr)) return hr;

    REFERENCE_TIME start, stop;
    hr = in->GetTime(&start, &stop);
    if (SUCCEEDED(hr))
        out->SetTime(&start, hr == VFW_S_NO_STOP_TIME ? NULL : &stop);
    else
        out->SetTime(NULL, NULL);
    LONGLONG mstart, mstop;
    if (SUCCEEDED(in->GetMediaTime(&mstart, &mstop)))
        out->SetMediaTime(&mstart, &mstop);
    else
        out->SetMediaTime(NULL, NULL);
    out->SetSyncPoint(in->IsSyncPoint() == S_OK);
    out->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    out->SetPreroll(in->IsPreroll() == S_OK);

    hr = Transform(in, out.Get());
    if (hr == S_FALSE) return S_OK;
    if (FAILED(hr)) return hr;
    return out_->Deliver(out.Get());
}

}  // namespace ds
