// The base classes under test with a small live source of their own and the
// sink: interfaces, reference counts, enumerators, connection and allocator
// agreement, stream configuration and delivery while running.
#include "Filter.h"
#include "PushPin.h"
#include "SinkFilter.h"
#include "StreamConfig.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

using ds::ComPtr;

const CLSID CLSID_TestSource = {0x1c0ffee0, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

// The state of the last test source whose pin went away.
FILTER_STATE g_stateAtPinEnd = State_Stopped;

class TestPin : public ds::PushPin {
public:
    ~TestPin() override { g_stateAtPinEnd = filter_->State(); }
    explicit TestPin(ds::Filter* f) : PushPin(f, L"Out"), config_(this) {
        SetCategory(PIN_CATEGORY_CAPTURE);
        for (LONG w : {8, 16}) {
            VIDEO_STREAM_CONFIG_CAPS caps = {};
            caps.guid = FORMAT_VideoInfo;
            caps.InputSize.cx = caps.MaxOutputSize.cx = w;
            caps.InputSize.cy = caps.MaxOutputSize.cy = 4;
            config_.AddCaps(ds::MakeVideoType(MEDIASUBTYPE_RGB32, BI_RGB, 32, w, 4, 100000), &caps,
                            sizeof(caps));
        }
    }
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override {
        ds::MediaType t(*mt);
        const VIDEOINFOHEADER* v = t.Video();
        if (!IsEqualGUID(mt->subtype, MEDIASUBTYPE_RGB32) || !v) return S_FALSE;
        return (v->bmiHeader.biWidth == 8 || v->bmiHeader.biWidth == 16) ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(int i, AM_MEDIA_TYPE* mt) override { return config_.OfferedType(i, mt); }
    HRESULT QueryExtra(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IAMStreamConfig)) return ds::HandOut<IAMStreamConfig>(&config_, out);
        return PushPin::QueryExtra(iid, out);
    }
protected:
    HRESULT FillSample(IMediaSample* s, REFERENCE_TIME, REFERENCE_TIME* duration) override {
        BYTE* p;
        s->GetPointer(&p);
        p[0] = static_cast<BYTE>(counter_++);
        s->SetActualDataLength(ConnectionType().lSampleSize);
        *duration = 100000;  // 10 ms
        return S_OK;
    }
private:
    ds::StreamConfig config_;
    int counter_ = 0;
};

class TestSource : public ds::Filter {
public:
    TestSource() : Filter(CLSID_TestSource) { AddPin(new TestPin(this)); }
    IPin* Out() { return static_cast<IPin*>(PinAt(0)); }
    bool IsLive() const override { return true; }
};

ULONG RefCount(IUnknown* u) {
    u->AddRef();
    return u->Release();
}

struct Objects {
    Objects() {
        CoInitializeEx(NULL, COINIT_MULTITHREADED);
        source = new TestSource;
        source->AddRef();
        sink = new ds::SinkFilter(MEDIATYPE_Video);
        sink->AddRef();
    }
    ~Objects() {
        source->Release();
        sink->Release();
        CoUninitialize();
    }
    TestSource* source;
    ds::SinkFilter* sink;
};

TEST(DshowBase, AnswersItsInterfacesAndRefusesOthersKeepingCounts) {
    LONG before = ds::LiveObjects();
    {
        Objects o;
        IBaseFilter* f = o.source;
        ULONG base = RefCount(f);

        ComPtr<IUnknown> unk1, unk2;
        ASSERT_EQ(S_OK, f->QueryInterface(IID_IUnknown, unk1.OutVoid()));
        ComPtr<IMediaFilter> mf;
        ASSERT_EQ(S_OK, f->QueryInterface(IID_IMediaFilter, mf.OutVoid()));
        ASSERT_EQ(S_OK, mf->QueryInterface(IID_IUnknown, unk2.OutVoid()));
        EXPECT_EQ(unk1.Get(), unk2.Get());
        ComPtr<IPersist> persist;
        ASSERT_EQ(S_OK, f->QueryInterface(IID_IPersist, persist.OutVoid()));
        CLSID clsid;
        EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_TestSource));
        EXPECT_EQ(base + 4, RefCount(f));

        void* none = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, f->QueryInterface(IID_IAMStreamConfig, &none));
        EXPECT_EQ(NULL, none);
        EXPECT_EQ(E_POINTER, f->QueryInterface(IID_IUnknown, NULL));

        // Pins live inside the filter: their references are the filter's.
        IPin* out = o.source->Out();
        out->AddRef();
        EXPECT_EQ(base + 5, RefCount(f));
        out->Release();
        ComPtr<IKsPropertySet> ks;
        ASSERT_EQ(S_OK, out->QueryInterface(IID_IKsPropertySet, ks.OutVoid()));
        GUID category = GUID_NULL;
        DWORD got = 0;
        EXPECT_EQ(S_OK, ks->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, NULL, 0, &category,
                                sizeof(category), &got));
        EXPECT_TRUE(IsEqualGUID(category, PIN_CATEGORY_CAPTURE));
        EXPECT_EQ(sizeof(GUID), got);
        EXPECT_EQ(E_PROP_ID_UNSUPPORTED, ks->Set(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, NULL, 0,
                                                 &category, sizeof(category)));
        EXPECT_EQ(E_NOINTERFACE, out->QueryInterface(IID_IMemInputPin, &none));
        ComPtr<IAMStreamConfig> config;
        EXPECT_EQ(S_OK, out->QueryInterface(IID_IAMStreamConfig, config.OutVoid()));

        // The sink's pin has no category and takes samples.
        IPin* in = o.sink->Input();
        EXPECT_EQ(E_NOINTERFACE, in->QueryInterface(IID_IKsPropertySet, &none));
        ComPtr<IMemInputPin> mem;
        EXPECT_EQ(S_OK, in->QueryInterface(IID_IMemInputPin, mem.OutVoid()));
        ComPtr<IPin> back;
        ASSERT_EQ(S_OK, mem->QueryInterface(IID_IPin, back.OutVoid()));
        EXPECT_EQ(in, back.Get());

        unk1.Reset(); unk2.Reset(); mf.Reset(); persist.Reset(); ks.Reset(); config.Reset();
        EXPECT_EQ(base, RefCount(f));
    }
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST(DshowBase, EnumeratorsWalkPinsAndTypes) {
    Objects o;
    ULONG base = RefCount(o.source);
    {
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(S_OK, o.source->EnumPins(pins.Out()));
        IPin* got[3] = {};
        ULONG n = 0;
        EXPECT_EQ(S_FALSE, pins->Next(3, got, &n));
        EXPECT_EQ(1u, n);
        EXPECT_EQ(o.source->Out(), got[0]);
        got[0]->Release();
        EXPECT_EQ(S_OK, pins->Reset());
        EXPECT_EQ(S_FALSE, pins->Skip(2));
        ComPtr<IEnumPins> clone;
        ASSERT_EQ(S_OK, pins->Clone(clone.Out()));
        EXPECT_EQ(S_FALSE, clone->Next(1, got, NULL));

        ComPtr<IPin> found;
        EXPECT_EQ(S_OK, o.source->FindPin(L"Out", found.Out()));
        EXPECT_EQ(VFW_E_NOT_FOUND, o.source->FindPin(L"Nope", found.Out()));
        PIN_INFO info;
        ASSERT_EQ(S_OK, o.source->Out()->QueryPinInfo(&info));
        EXPECT_EQ(PINDIR_OUTPUT, info.dir);
        EXPECT_STREQ(L"Out", info.achName);
        info.pFilter->Release();

        ComPtr<IEnumMediaTypes> types;
        ASSERT_EQ(S_OK, o.source->Out()->EnumMediaTypes(types.Out()));
        AM_MEDIA_TYPE* mt[4] = {};
        EXPECT_EQ(S_FALSE, types->Next(4, mt, &n));
        ASSERT_EQ(2u, n);
        EXPECT_EQ(8, reinterpret_cast<VIDEOINFOHEADER*>(mt[0]->pbFormat)->bmiHeader.biWidth);
        EXPECT_EQ(16, reinterpret_cast<VIDEOINFOHEADER*>(mt[1]->pbFormat)->bmiHeader.biWidth);
        ds::DeleteMediaType(mt[0]);
        ds::DeleteMediaType(mt[1]);
    }
    EXPECT_EQ(base, RefCount(o.source));
}

TEST(DshowBase, ConnectionAgreesTypeAndAllocatorAndRefusesWhatDoesNotFit) {
    Objects o;
    IPin* out = o.source->Out();
    IPin* in = o.sink->Input();
    ds::SinkFilter* audioSink = new ds::SinkFilter(MEDIATYPE_Audio);
    audioSink->AddRef();
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, out->Connect(audioSink->Input(), NULL));
    ComPtr<IPin> none;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, out->ConnectedTo(none.Out()));
    audioSink->Release();

    EXPECT_EQ(E_UNEXPECTED, in->Connect(out, NULL));
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, out->Connect(out, NULL));

    // A partial type picks the matching one of ours.
    ds::MediaType want;
    want.majortype = MEDIATYPE_Video;
    want.subtype = MEDIASUBTYPE_RGB32;
    ASSERT_EQ(S_OK, out->Connect(in, &want));
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, out->Connect(in, NULL));
    ds::MediaType a, b;
    ASSERT_EQ(S_OK, out->ConnectionMediaType(&a));
    ASSERT_EQ(S_OK, in->ConnectionMediaType(&b));
    EXPECT_TRUE(ds::EqualMediaType(a, b));
    EXPECT_EQ(8, a.Video()->bmiHeader.biWidth);
    ComPtr<IPin> peer;
    ASSERT_EQ(S_OK, in->ConnectedTo(peer.Out()));
    EXPECT_EQ(out, peer.Get());

    // Both ends use one allocator with room for a frame.
    ds::OutputPin* pin = static_cast<ds::OutputPin*>(o.source->PinAt(0));
    ASSERT_TRUE(pin->Allocator() != NULL);
    ALLOCATOR_PROPERTIES props;
    ASSERT_EQ(S_OK, pin->Allocator()->GetProperties(&props));
    EXPECT_GE(props.cbBuffer, 8 * 4 * 4);

    // Disconnecting while running is refused; stopped it works on both ends.
    ASSERT_EQ(S_OK, o.sink->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, in->Disconnect());
    ASSERT_EQ(S_OK, o.sink->Stop());
    EXPECT_EQ(S_OK, out->Disconnect());
    EXPECT_EQ(S_OK, in->Disconnect());
    EXPECT_EQ(S_FALSE, in->Disconnect());
    EXPECT_EQ(VFW_E_NOT_CONNECTED, in->ConnectedTo(peer.Out()));
}

TEST(DshowBase, StreamConfigChoosesTheFormatTheNextConnectionUses) {
    Objects o;
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(S_OK, o.source->Out()->QueryInterface(IID_IAMStreamConfig, config.OutVoid()));
    int count = 0, size = 0;
    ASSERT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &size));
    EXPECT_EQ(2, count);
    EXPECT_EQ(static_cast<int>(sizeof(VIDEO_STREAM_CONFIG_CAPS)), size);
    AM_MEDIA_TYPE* mt = NULL;
    VIDEO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(S_OK, config->GetStreamCaps(1, &mt, reinterpret_cast<BYTE*>(&caps)));
    EXPECT_EQ(16, caps.InputSize.cx);
    AM_MEDIA_TYPE* past = NULL;
    EXPECT_EQ(S_FALSE, config->GetStreamCaps(2, &past, reinterpret_cast<BYTE*>(&caps)));

    ds::MediaType bad(*mt);
    bad.Video()->bmiHeader.biWidth = 12;
    EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, config->SetFormat(&bad));
    EXPECT_EQ(S_OK, config->SetFormat(mt));
    ds::DeleteMediaType(mt);

    ASSERT_EQ(S_OK, config->GetFormat(&mt));
    EXPECT_EQ(16, reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->bmiHeader.biWidth);
    ds::DeleteMediaType(mt);
    ASSERT_EQ(S_OK, o.source->Out()->Connect(o.sink->Input(), NULL));
    EXPECT_EQ(16, o.sink->ConnectedType().Video()->bmiHeader.biWidth);
    o.source->Out()->Disconnect();
    o.sink->Input()->Disconnect();
}

TEST(DshowBase, LiveSourceDeliversStampedSamplesOnlyWhileRunning) {
    Objects o;
    ASSERT_EQ(S_OK, o.source->Out()->Connect(o.sink->Input(), NULL));
    ASSERT_EQ(S_OK, o.sink->Pause());
    EXPECT_EQ(VFW_S_CANT_CUE, o.source->Pause());
    FILTER_STATE state;
    EXPECT_EQ(VFW_S_CANT_CUE, o.source->GetState(0, &state));
    EXPECT_EQ(State_Paused, state);
    Sleep(50);
    EXPECT_EQ(0, o.sink->SampleCount());

    ASSERT_EQ(S_OK, o.sink->Run(0));
    ASSERT_EQ(S_OK, o.source->Run(0));
    ASSERT_TRUE(ts::PumpUntil([&] { return o.sink->SampleCount() >= 10; }, 5000));
    ASSERT_EQ(S_OK, o.source->Stop());
    ASSERT_EQ(S_OK, o.sink->Stop());
    LONG stopped = o.sink->SampleCount();
    Sleep(50);
    EXPECT_EQ(stopped, o.sink->SampleCount());

    std::vector<ds::SampleRecord> r = o.sink->Records();
    ASSERT_GE(r.size(), 10u);
    for (size_t i = 0; i < r.size(); i++) {
        ASSERT_TRUE(r[i].hasTime);
        EXPECT_EQ(100000, r[i].stop - r[i].start);
        if (i > 0) {
            EXPECT_GE(r[i].start, r[i - 1].stop);
        }
        EXPECT_EQ(8 * 4 * 4, r[i].size);
    }
    o.source->Out()->Disconnect();
    o.sink->Input()->Disconnect();
}

TEST(DshowBase, StreamTimeWithoutAClockStopsWithTheFilterAndStartsAgainFromZero) {
    Objects o;
    REFERENCE_TIME t = 0;
    EXPECT_FALSE(o.source->StreamTime(&t));
    ASSERT_EQ(S_OK, o.source->Run(0));
    ASSERT_TRUE(ts::PumpUntil([&] { return o.source->StreamTime(&t) && t >= 300000; }, 5000));
    o.source->Pause();
    EXPECT_FALSE(o.source->StreamTime(&t));
    // The way a graph stops: through pause.
    ASSERT_EQ(S_OK, o.source->Stop());
    ASSERT_EQ(S_OK, o.source->Run(0));
    ASSERT_TRUE(o.source->StreamTime(&t));
    EXPECT_LT(t, 300000);
    o.source->Stop();
}

TEST(DshowBase, ASourceLetGoWhileRunningStopsBeforeItsPinsGo) {
    Objects o;
    LONG before = ds::LiveObjects();
    TestSource* source = new TestSource;
    source->AddRef();
    ASSERT_EQ(S_OK, source->Out()->Connect(o.sink->Input(), NULL));
    ASSERT_EQ(S_OK, o.sink->Run(0));
    ASSERT_EQ(S_OK, source->Run(0));
    ASSERT_TRUE(ts::PumpUntil([&] { return o.sink->SampleCount() >= 2; }, 5000));
    o.sink->Stop();
    o.sink->Input()->Disconnect();
    g_stateAtPinEnd = State_Running;
    source->Release();
    // Stopped first: no push thread is left filling samples into a pin
    // whose own part is already gone.
    EXPECT_EQ(State_Stopped, g_stateAtPinEnd);
    EXPECT_EQ(before, ds::LiveObjects());
}

TEST(DshowBase, FlushAndEndOfStreamReachTheSink) {
    Objects o;
    ASSERT_EQ(S_OK, o.source->Out()->Connect(o.sink->Input(), NULL));
    ds::OutputPin* out = static_cast<ds::OutputPin*>(o.source->PinAt(0));
    ASSERT_EQ(S_OK, o.sink->Run(0));
    ASSERT_EQ(S_OK, out->Active());
    ComPtr<IMediaSample> sample;
    ASSERT_EQ(S_OK, out->GetDeliveryBuffer(sample.Out()));
    EXPECT_EQ(S_OK, out->Deliver(sample.Get()));
    EXPECT_EQ(S_OK, out->DeliverBeginFlush());
    EXPECT_EQ(S_FALSE, out->Deliver(sample.Get()));  // dropped while flushing
    EXPECT_EQ(S_OK, out->DeliverEndFlush());
    EXPECT_EQ(S_OK, out->DeliverNewSegment(0, 10000000, 1.0));
    EXPECT_EQ(S_OK, out->Deliver(sample.Get()));
    EXPECT_FALSE(o.sink->EndOfStreamSeen());
    EXPECT_EQ(S_OK, out->DeliverEndOfStream());
    EXPECT_TRUE(o.sink->EndOfStreamSeen());
    EXPECT_EQ(2, o.sink->SampleCount());
    sample.Reset();
    out->Inactive();
    o.sink->Stop();
    o.source->Out()->Disconnect();
    o.sink->Input()->Disconnect();
}

TEST(DshowBase, RunsInsideASystemFilterGraph) {
    Objects o;
    {
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         graph.OutVoid()));
        ASSERT_EQ(S_OK, graph->AddFilter(o.source, L"Source"));
        ASSERT_EQ(S_OK, graph->AddFilter(o.sink, L"Sink"));
        FILTER_INFO info;
        ASSERT_EQ(S_OK, o.source->QueryFilterInfo(&info));
        EXPECT_STREQ(L"Source", info.achName);
        EXPECT_TRUE(info.pGraph != NULL);
        if (info.pGraph) info.pGraph->Release();
        ASSERT_EQ(S_OK, graph->ConnectDirect(o.source->Out(), o.sink->Input(), NULL));
        ComPtr<IMediaControl> control;
        ASSERT_EQ(S_OK, control.QueryFrom(graph.Get(), IID_IMediaControl));
        ASSERT_TRUE(SUCCEEDED(control->Run()));
        ComPtr<IReferenceClock> clock;
        EXPECT_EQ(S_OK, o.source->GetSyncSource(clock.Out()));
        EXPECT_TRUE(clock.Get() != NULL);
        EXPECT_TRUE(ts::PumpUntil([&] { return o.sink->SampleCount() >= 5; }, 5000));
        EXPECT_TRUE(SUCCEEDED(control->Stop()));
        ASSERT_EQ(S_OK, graph->RemoveFilter(o.source));
        ASSERT_EQ(S_OK, graph->RemoveFilter(o.sink));
    }
    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, o.sink->Input()->ConnectedTo(peer.Out()));
}

}  // namespace
