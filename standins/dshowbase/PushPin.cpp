#include "PushPin.h"
#include "Filter.h"

namespace ds {

PushPin::PushPin(Filter* filter, const wchar_t* name, const wchar_t* id)
    : OutputPin(filter, name, id), thread_(NULL), wake_(CreateEventA(NULL, FALSE, FALSE, NULL)),
      quit_(0), delivered_(0) {}

PushPin::~PushPin() {
    Inactive();
    if (wake_) CloseHandle(wake_);
}

HRESULT PushPin::Active() {
    HRESULT hr = OutputPin::Active();
    if (FAILED(hr)) return hr;
    if (thread_) return S_OK;
    if (!wake_) return E_OUTOFMEMORY;
    InterlockedExchange(&quit_, 0);
    InterlockedExchange(&delivered_, 0);
    DWORD id;
    thread_ = CreateThread(NULL, 0, ThreadMain, this, 0, &id);
    if (!thread_) {
        OutputPin::Inactive();
        return HRESULT_FROM_WIN32(GetLastError());
    }
    return S_OK;
}

HRESULT PushPin::Inactive() {
    if (thread_) {
        InterlockedExchange(&quit_, 1);
        SetEvent(wake_);
    }
    // Decommitting first releases a thread blocked waiting for a free sample.
    HRESULT hr = OutputPin::Inactive();
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = NULL;
    }
    return hr;
}

HRESULT PushPin::Run(REFERENCE_TIME) {
    if (wake_) SetEvent(wake_);
    return S_OK;
}

DWORD WINAPI PushPin::ThreadMain(void* self) {
    HRESULT co = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    static_cast<PushPin*>(self)->Loop();
    if (SUCCEEDED(co)) CoUninitialize();
    return 0;
}

void PushPin::Sleep(DWORD ms) { WaitForSingleObject(wake_, ms); }

void PushPin::Loop() {
    REFERENCE_TIME next = 0;
    bool first = true;
    while (!quit_) {
        REFERENCE_TIME now;
        if (!filter_->StreamTime(&now)) {
            Sleep(INFINITE);
            continue;
        }
        if (now < next) {
            Sleep(static_cast<DWORD>((next - now) / 10000) + 1);
            continue;
        }
        // After a pause or a stall, start again from now rather than
        // delivering a burst of stale samples.
        if (now - next > 5000000) next = now;

        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(sample.Out());
        if (FAILED(hr)) {
            if (!quit_) Sleep(10);
            continue;
        }
        REFERENCE_TIME duration = 0;
        hr = FillSample(sample.Get(), next, &duration);
        if (hr != S_OK || duration <= 0) {
            Check(hr, "PushPin::FillSample");
            Sleep(10);
            continue;
        }
        REFERENCE_TIME start = next, stop = next + duration;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        sample->SetDiscontinuity(first ? TRUE : FALSE);
        first = false;
        hr = Deliver(sample.Get());
        sample.Reset();
        if (SUCCEEDED(hr)) InterlockedIncrement(&delivered_);
        next = stop;
    }
}

}  // namespace ds
