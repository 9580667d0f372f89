// Shared by the card filter tests: a private card, tuning, and graphs.
#pragma once
#include "CardState.h"
#include "ComPtr.h"
#include "SinkFilter.h"
#include <dshow.h>

namespace cardtest {

// Programs the tuner the way the TV application does (I2C to 0xC0).
void TuneTo(double mhz);

// COM for the test's thread, and a card at its power-on state.
struct CardFixtureState {
    CardFixtureState();
    ~CardFixtureState();
};

// A graph with Capture Graph Builder 2 attached.
struct CaptureGraph {
    CaptureGraph();
    ds::ComPtr<IGraphBuilder> graph;
    ds::ComPtr<ICaptureGraphBuilder2> builder;
    ds::ComPtr<IMediaControl> control;
    bool ok;
};

// Creates a device of a category by its FriendlyName, as the product does.
HRESULT BindDevice(REFGUID category, const wchar_t* friendlyName, IBaseFilter** out);

// The frame size and rate a sink was connected with.
struct VideoFormat {
    LONG width, height;
    REFERENCE_TIME frameTime;
};
VideoFormat FormatOf(const ds::MediaType& mt);

}  // namespace cardtest
