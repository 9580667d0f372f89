// The card's video capture device: analog video in from its crossbar, a
// capture and a preview output of live YUY2 pictures, picture levels, the
// video standard and the decoder's lock.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include <ocidl.h>

namespace card {

class VideoCaptureFilter : public ds::Filter,
                           public IAMVideoProcAmp,
                           public IAMAnalogVideoDecoder,
                           public ISpecifyPropertyPages {
public:
    // A card set up without a preview pin has only the capture output.
    VideoCaptureFilter();
    explicit VideoCaptureFilter(bool withPreview);

    DS_IUNKNOWN_OF(Filter)

    // IAMVideoProcAmp
    STDMETHODIMP GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* def,
                          LONG* caps) override;
    STDMETHODIMP Set(LONG property, LONG value, LONG flags) override;
    STDMETHODIMP Get(LONG property, LONG* value, LONG* flags) override;
    // IAMAnalogVideoDecoder
    STDMETHODIMP get_AvailableTVFormats(LONG* formats) override;
    STDMETHODIMP put_TVFormat(LONG format) override;
    STDMETHODIMP get_TVFormat(LONG* format) override;
    STDMETHODIMP get_HorizontalLocked(LONG* locked) override;
    STDMETHODIMP put_VCRHorizontalLocking(LONG on) override;
    STDMETHODIMP get_VCRHorizontalLocking(LONG* on) override;
    STDMETHODIMP get_NumberOfLines(LONG* lines) override;
    STDMETHODIMP put_OutputEnable(LONG on) override;
    STDMETHODIMP get_OutputEnable(LONG* on) override;
    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    enum { kProcAmpProperties = 5 };

private:
    HRESULT QueryExtra(REFIID iid, void** out) override;
    bool IsLive() const override { return true; }
    HRESULT OnJoinGraph() override;

    ds::CritSec settingsLock_;
    LONG procAmp_[kProcAmpProperties];
    LONG procAmpFlags_[kProcAmpProperties];
    LONG tvFormat_;
    LONG vcrLocking_;
    LONG outputEnable_;
};

}  // namespace card
