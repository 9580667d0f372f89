#include "Filter.h"
#include "Enumerators.h"
#include "Pin.h"
#include <string.h>

namespace ds {

Filter::Filter(REFCLSID clsid)
    : refs_(0), clsid_(clsid), state_(State_Stopped), graph_(NULL), start_(0), runTicks_(0),
      runBefore_(0) {
    ObjectCreated();
}

Filter::~Filter() {
    for (Pin* pin : pins_) delete pin;
    ObjectDestroyed();
}

void Filter::AddPin(Pin* pin) { pins_.push_back(pin); }

Pin* Filter::PinAt(int index) const {
    if (index < 0 || index >= PinCount()) return NULL;
    return pins_[index];
}

HRESULT Filter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
        IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter))
        return HandOut<IBaseFilter>(this, out);
    return QueryExtra(iid, out);
}

HRESULT Filter::QueryExtra(REFIID, void** out) {
    *out = NULL;
    return E_NOINTERFACE;
}

ULONG Filter::AddRef() { return InterlockedIncrement(&refs_); }

ULONG Filter::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
        // Let go while it runs (a graph stops its filters first, a direct
        // user may not): the push threads must end while every part of the
        // filter still exists. The count is held up meanwhile, so that calls
        // made while stopping do not free it a second time.
        if (State() != State_Stopped) {
            InterlockedExchange(&refs_, 1);
            Stop();
            InterlockedExchange(&refs_, 0);
        }
        delete this;
    }
    return n;
}

HRESULT Filter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT Filter::Stop() {
    AutoLock lock(lock_);
    FILTER_STATE from = State();
    if (from == State_Stopped) return S_OK;
    {
        // Stopped from pause as well as from run: the next run starts the
        // stream time from zero again.
        AutoLock clock(clockLock_);
        runBefore_ = 0;
        InterlockedExchange(&state_, State_Stopped);
    }
    HRESULT result = S_OK;
    for (Pin* pin : pins_) {
        if (!pin->IsConnected()) continue;
        HRESULT hr = Check(pin->Inactive(), "Pin::Inactive");
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    HRESULT hr = Check(OnStateChange(from, State_Stopped), "OnStateChange(stop)");
    return FAILED(result) ? result : hr;
}

HRESULT Filter::Pause() {
    AutoLock lock(lock_);
    FILTER_STATE from = State();
    if (from == State_Paused) return S_OK;
    if (from == State_Stopped) {
        for (Pin* pin : pins_) {
            if (!pin->IsConnected()) continue;
            HRESULT hr = Check(pin->Active(), "Pin::Active");
            if (FAILED(hr)) {
                for (Pin* other : pins_)
                    if (other->IsConnected()) other->Inactive();
                return hr;
            }
        }
    }
    {
        // Leaving run: remember how much stream time has passed. The state
        // changes under the same lock, so that a push thread never adds the
        // time run so far twice.
        AutoLock clock(clockLock_);
        if (from == State_Running && !clock_)
            runBefore_ += static_cast<REFERENCE_TIME>(GetTickCount() - runTicks_) * 10000;
        InterlockedExchange(&state_, State_Paused);
    }
    HRESULT hr = Check(OnStateChange(from, State_Paused), "OnStateChange(pause)");
    if (FAILED(hr)) return hr;
    return IsLive() ? VFW_S_CANT_CUE : S_OK;
}

HRESULT Filter::Run(REFERENCE_TIME start) {
    AutoLock lock(lock_);
    FILTER_STATE from = State();
    if (from == State_Running) return S_OK;
    if (from == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    {
        AutoLock clock(clockLock_);
        start_ = start;
        runTicks_ = GetTickCount();
        InterlockedExchange(&state_, State_Running);
    }
    for (Pin* pin : pins_) {
        if (!pin->IsConnected()) continue;
        HRESULT hr = Check(pin->Run(start), "Pin::Run");
        if (FAILED(hr)) return hr;
    }
    return Check(OnStateChange(State_Paused, State_Running), "OnStateChange(run)");
}

HRESULT Filter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    *state = State();
    return (*state == State_Paused && IsLive()) ? VFW_S_CANT_CUE : S_OK;
}

HRESULT Filter::SetSyncSource(IReferenceClock* clock) {
    AutoLock lock(clockLock_);
    clock_ = ComPtr<IReferenceClock>(clock);
    return S_OK;
}

HRESULT Filter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    AutoLock lock(clockLock_);
    *clock = clock_.Get();
    if (*clock) (*clock)->AddRef();
    return S_OK;
}

bool Filter::StreamTime(REFERENCE_TIME* t) {
    AutoLock lock(clockLock_);
    if (State() != State_Running) return false;
    if (clock_) {
        REFERENCE_TIME now = 0;
        if (FAILED(clock_->GetTime(&now))) return false;
        *t = now - start_;
    } else {
        *t = runBefore_ + static_cast<REFERENCE_TIME>(GetTickCount() - runTicks_) * 10000;
    }
    return true;
}

HRESULT Filter::EnumPins(IEnumPins** out) { return CreatePinEnumerator(this, 0, out); }

HRESULT Filter::FindPin(LPCWSTR id, IPin** out) {
    if (!id || !out) return E_POINTER;
    *out = NULL;
    for (Pin* pin : pins_) {
        if (pin->Id() == id) return HandOut<IPin>(pin, reinterpret_cast<void**>(out));
    }
    return VFW_E_NOT_FOUND;
}

HRESULT Filter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    AutoLock lock(lock_);
    lstrcpynW(info->achName, name_.c_str(), MAX_FILTER_NAME);
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

HRESULT Filter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    {
        AutoLock lock(lock_);
        if (!graph && graph_) OnLeaveGraph();
        graph_ = graph;
        name_ = (graph && name) ? name : L"";
    }
    // Outside the lock: joining may add companions to the graph.
    if (graph) Check(OnJoinGraph(), "OnJoinGraph");
    return S_OK;
}

HRESULT Filter::QueryVendorInfo(LPWSTR* info) {
    if (!info) return E_POINTER;
    *info = NULL;
    return E_NOTIMPL;
}

HRESULT Filter::NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    IFilterGraph* graph = graph_;
    if (!graph) return E_UNEXPECTED;
    ComPtr<IMediaEventSink> sink;
    HRESULT hr = sink.QueryFrom(graph, IID_IMediaEventSink);
    if (FAILED(hr)) return hr;
    return sink->Notify(code, param1, param2);
}

}  // namespace ds
