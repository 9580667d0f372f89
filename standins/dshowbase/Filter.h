// Base of our DirectShow filters: IBaseFilter with its pins, the stop, pause
// and run states, the reference clock and the stream time. A concrete filter
// adds its pins and plugs its own behaviour in through the few operations
// below (further interfaces, joining a graph, state changes, live source).
#pragma once
#include "ComObject.h"
#include <dshow.h>
#include <string>
#include <vector>

namespace ds {

class Pin;

class Filter : public IBaseFilter {
public:
    Filter(REFCLSID clsid);
    virtual ~Filter();
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** out) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** out) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

    int PinCount() const { return static_cast<int>(pins_.size()); }
    Pin* PinAt(int index) const;
    // Readable from any thread without the lock (push threads poll it).
    FILTER_STATE State() const { return static_cast<FILTER_STATE>(state_); }
    // The graph the filter belongs to (not a reference, as the graph owns us).
    IFilterGraph* Graph() const { return graph_; }
    // Current stream time: reference clock time minus the run start, or time
    // counted by the tick counter when the graph runs without a clock. FALSE
    // unless running.
    bool StreamTime(REFERENCE_TIME* t);
    // Guards connections and state; push threads never take it.
    CritSec& Lock() { return lock_; }
    // Guards only the pins' record of their peer and type, so that asking a
    // pin what it is connected to never waits for a state change in progress.
    CritSec& ConnectionLock() { return connectionLock_; }
    // Sends an event to the graph's event sink, when there is one.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);

protected:
    // Interfaces beyond IBaseFilter and its bases.
    virtual HRESULT QueryExtra(REFIID iid, void** out);
    // A live source cannot cue data while paused.
    virtual bool IsLive() const { return false; }
    // Called after joining a graph (Graph() is set) and before leaving it.
    virtual HRESULT OnJoinGraph() { return S_OK; }
    virtual void OnLeaveGraph() {}
    // Called after the pins saw the change.
    virtual HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) { return S_OK; }

    // The filter owns its pins; they share its reference count.
    void AddPin(Pin* pin);

private:
    volatile LONG refs_;
    CLSID clsid_;
    CritSec lock_;
    CritSec connectionLock_;
    CritSec clockLock_;
    volatile LONG state_;
    std::vector<Pin*> pins_;
    IFilterGraph* graph_;
    std::wstring name_;
    ComPtr<IReferenceClock> clock_;
    REFERENCE_TIME start_;
    // Stream time without a clock: ticks at the last run, time run before it.
    DWORD runTicks_;
    REFERENCE_TIME runBefore_;
};

// Creates a filter object of class T and hands out the requested interface.
template <class T>
HRESULT CreateFilterObject(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    T* filter = new (std::nothrow) T();
    if (!filter) return E_OUTOFMEMORY;
    filter->AddRef();
    HRESULT hr = filter->QueryInterface(iid, out);
    filter->Release();
    return hr;
}

}  // namespace ds
