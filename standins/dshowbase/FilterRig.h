// A graph for tests of one-in, one-out filters: a test source of a chosen type,
// the filter under test and a sink that keeps what arrives, connected directly
// and run without a clock, so that a frame handed to the source comes out of
// the sink before Send returns.
#pragma once
#include "SinkFilter.h"
#include "TestSource.h"
#include <vector>

namespace ds {

class FilterRig {
public:
    // sinkSubtype GUID_NULL: the sink takes any type of the source's major type.
    FilterRig(const MediaType& sourceType, REFGUID sinkSubtype = GUID_NULL);
    ~FilterRig();
    FilterRig(const FilterRig&) = delete;
    FilterRig& operator=(const FilterRig&) = delete;

    // Puts the filter between source and sink; S_OK once both links stand.
    HRESULT Connect(IBaseFilter* filter);
    HRESULT Run();
    HRESULT Stop();
    // One frame of these bytes, stamped [start, stop) when start >= 0.
    HRESULT Send(const std::vector<BYTE>& frame, REFERENCE_TIME start = -1, REFERENCE_TIME stop = -1);

    IGraphBuilder* Graph() const { return graph_.Get(); }
    TestSource* Source() const { return source_; }
    SinkFilter* Sink() const { return sink_; }

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    TestSource* source_;
    SinkFilter* sink_;
};

// Input pin 0 or output pin 0 of a filter, with a reference for the caller.
ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION dir);

}  // namespace ds
