// Entry points of the image grabber DLL: its class factory, registration in
// the legacy filter category (found by class identifier only, never chosen by
// intelligent connect) and the hooks tests steer it with.
#include "GrabberFilter.h"
#include "StandinModule.h"

namespace {

const REGPINTYPES kYuy2 = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
const REGFILTERPINS2 kPins[2] = {
    {0, 1, 1, &kYuy2, 0, NULL, NULL},
    {REG_PINFLAG_B_OUTPUT, 1, 1, &kYuy2, 0, NULL, NULL},
};

}  // namespace

const StandinClass kStandinClass = {
    &CLSID_KestorImageGrabber, grabber::kFilterName,
    ds::CreateFilterObject<grabber::GrabberFilter>, NULL,
    &CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, kPins, 2};

// Test hooks.
extern "C" void ImageGrabber_FailCall(int slot, HRESULT hr, BOOL always) {
    grabber::FailSlot(slot, hr, always != FALSE);
}
extern "C" void ImageGrabber_RefuseInterface(BOOL refuse) {
    grabber::RefuseInterface(refuse != FALSE);
}
extern "C" void ImageGrabber_ResetHooks() { grabber::ResetHooks(); }
extern "C" LONG ImageGrabber_LiveObjects() { return ds::LiveObjects(); }
