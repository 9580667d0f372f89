#include "CardTestSupport.h"

namespace cardtest {

// A card of its own, so that tests running side by side do not share one.
static const BOOL g_ownCard = SetEnvironmentVariableA("ORVIX_CARD", "card_filters_test");

void TuneTo(double mhz) {
    int divider = static_cast<int>((mhz + 38.875) * 16 + 0.5);
    BYTE bytes[4] = {static_cast<BYTE>(divider >> 8), static_cast<BYTE>(divider & 0xFF), 0xCE,
                     static_cast<BYTE>(mhz < 160 ? 0x01 : (mhz < 442 ? 0x02 : 0x08))};
    CardI2CWrite(0xC0, bytes, 4);
}

CardFixtureState::CardFixtureState() {
    (void)g_ownCard;
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    CardReset();
}

CardFixtureState::~CardFixtureState() {
    CardReset();
    CoUninitialize();
}

CaptureGraph::CaptureGraph() : ok(false) {
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                graph.OutVoid())))
        return;
    if (FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, builder.OutVoid())))
        return;
    if (FAILED(builder->SetFiltergraph(graph.Get()))) return;
    ok = SUCCEEDED(control.QueryFrom(graph.Get(), IID_IMediaControl));
}

HRESULT BindDevice(REFGUID category, const wchar_t* friendlyName, IBaseFilter** out) {
    *out = NULL;
    ds::ComPtr<ICreateDevEnum> devices;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                  devices.OutVoid());
    if (FAILED(hr)) return hr;
    ds::ComPtr<IEnumMoniker> monikers;
    hr = devices->CreateClassEnumerator(category, monikers.Out(), 0);
    if (hr != S_OK) return FAILED(hr) ? hr : VFW_E_NOT_FOUND;
    IMoniker* moniker = NULL;
    while (monikers->Next(1, &moniker, NULL) == S_OK) {
        ds::ComPtr<IMoniker> holder;
        holder.Attach(moniker);
        ds::ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag, bag.OutVoid()))) continue;
        VARIANT name;
        VariantInit(&name);
        bool match = SUCCEEDED(bag->Read(L"FriendlyName", &name, NULL)) && name.vt == VT_BSTR &&
                     lstrcmpW(name.bstrVal, friendlyName) == 0;
        VariantClear(&name);
        if (match) return moniker->BindToObject(NULL, NULL, IID_IBaseFilter, reinterpret_cast<void**>(out));
    }
    return VFW_E_NOT_FOUND;
}

VideoFormat FormatOf(const ds::MediaType& mt) {
    VideoFormat f = {0, 0, 0};
    if (const VIDEOINFOHEADER* v = mt.Video()) {
        f.width = v->bmiHeader.biWidth;
        f.height = v->bmiHeader.biHeight;
        f.frameTime = v->AvgTimePerFrame;
    }
    return f;
}

}  // namespace cardtest
