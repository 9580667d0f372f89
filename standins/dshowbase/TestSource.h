// A source whose samples the test hands over one by one: PCM of a chosen
// format, or any other type (video frames), out of one output pin, for tests
// of the filters downstream.
#pragma once
#include "Filter.h"
#include "Pin.h"

namespace ds {

class TestSource : public Filter {
public:
    TestSource(DWORD sampleRate, WORD bits, WORD channels);
    explicit TestSource(const MediaType& type);

    IPin* Output() const;
    // One sample of `bytes` bytes made by fill(data, bytes); stamped with
    // [start, stop) when start >= 0.
    HRESULT Send(long bytes, void (*fill)(BYTE* data, long bytes, void* context), void* context = NULL,
                 REFERENCE_TIME start = -1, REFERENCE_TIME stop = -1);
    HRESULT SendEndOfStream();

private:
    class OutPin;
    OutPin* out_;
};

}  // namespace ds
