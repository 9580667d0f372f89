#include "FilterRig.h"
#include <string.h>

namespace ds {

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION dir) {
    ComPtr<IEnumPins> pins;
    ComPtr<IPin> found;
    if (!filter || FAILED(filter->EnumPins(pins.Out()))) return found;
    IPin* pin = NULL;
    while (!found && pins->Next(1, &pin, NULL) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(pin->QueryDirection(&d)) && d == dir) found = ComPtr<IPin>(pin);
        pin->Release();
    }
    return found;
}

FilterRig::FilterRig(const MediaType& sourceType, REFGUID sinkSubtype)
    : source_(new TestSource(sourceType)), sink_(new SinkFilter(sourceType.majortype, sinkSubtype)) {
    source_->AddRef();
    sink_->AddRef();
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph_.OutVoid())))
        return;
    graph_->AddFilter(source_, L"source");
    graph_->AddFilter(sink_, L"sink");
    control_.QueryFrom(graph_.Get(), IID_IMediaControl);
    // No clock: the sink takes every frame as it comes.
    ComPtr<IMediaFilter> mf;
    if (SUCCEEDED(mf.QueryFrom(graph_.Get(), IID_IMediaFilter))) mf->SetSyncSource(NULL);
}

FilterRig::~FilterRig() {
    Stop();
    control_.Reset();
    graph_.Reset();
    sink_->Release();
    source_->Release();
}

HRESULT FilterRig::Connect(IBaseFilter* filter) {
    if (!graph_) return E_FAIL;
    HRESULT hr = graph_->AddFilter(filter, L"under test");
    if (FAILED(hr)) return hr;
    ComPtr<IPin> in = FirstPin(filter, PINDIR_INPUT), out = FirstPin(filter, PINDIR_OUTPUT);
    if (!in || !out) return E_FAIL;
    hr = graph_->ConnectDirect(source_->Output(), in.Get(), NULL);
    if (FAILED(hr)) return hr;
    return graph_->ConnectDirect(out.Get(), sink_->Input(), NULL);
}

HRESULT FilterRig::Run() { return control_ ? control_->Run() : E_FAIL; }

HRESULT FilterRig::Stop() {
    HRESULT hr = control_ ? control_->Stop() : E_FAIL;
    // A graph whose Run failed halfway thinks it is stopped and stops nothing:
    // the filters it paused stay paused, and releasing the graph then never
    // ends (it cannot disconnect them). Each filter is told itself.
    ComPtr<IEnumFilters> filters;
    if (graph_ && SUCCEEDED(graph_->EnumFilters(filters.Out()))) {
        IBaseFilter* f = NULL;
        while (filters->Next(1, &f, NULL) == S_OK) {
            f->Stop();
            f->Release();
        }
    }
    return hr;
}

static void CopyFrame(BYTE* data, long bytes, void* context) {
    const std::vector<BYTE>* frame = static_cast<const std::vector<BYTE>*>(context);
    memcpy(data, frame->data(), bytes);
}

HRESULT FilterRig::Send(const std::vector<BYTE>& frame, REFERENCE_TIME start, REFERENCE_TIME stop) {
    return source_->Send(static_cast<long>(frame.size()), CopyFrame, const_cast<std::vector<BYTE>*>(&frame),
                         start, stop);
}

}  // namespace ds
