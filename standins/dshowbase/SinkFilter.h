// A renderer that keeps what it receives: the agreed type, the time stamps
// and sizes of the samples and a copy of the last one. Tests put it at the end
// of a graph to see what a source delivers.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include <vector>

namespace ds {

struct SampleRecord {
    REFERENCE_TIME start;
    REFERENCE_TIME stop;
    bool hasTime;
    long size;
    DWORD arrivalTicks;
};

class SinkFilter : public Filter, public IAMFilterMiscFlags {
public:
    // Accepts any type of this major type and subtype (GUID_NULL: anything).
    explicit SinkFilter(REFGUID majortype, REFGUID subtype = GUID_NULL);

    DS_IUNKNOWN_OF(Filter)
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    IPin* Input() const;
    LONG SampleCount();
    MediaType ConnectedType();
    std::vector<SampleRecord> Records();
    std::vector<BYTE> LastSample();
    bool EndOfStreamSeen();
    void ClearRecords();

private:
    class SinkPin;
    friend class SinkPin;
    HRESULT QueryExtra(REFIID iid, void** out) override;
    CritSec dataLock_;
    std::vector<SampleRecord> records_;
    std::vector<BYTE> last_;
    LONG count_;
    bool eos_;
};

}  // namespace ds
