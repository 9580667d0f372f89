// Entry points of the recorder DLL: its one filter class, registered in the
// legacy filter category where nothing picks it up by merit; the product
// creates it by class id.
#include "RecorderFilter.h"
#include "StandinModule.h"

namespace {

const REGPINTYPES kVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
const REGPINTYPES kAudio = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
const REGFILTERPINS2 kPins[2] = {
    {REG_PINFLAG_B_RENDERER, 1, 1, &kVideo, 0, NULL, NULL},
    {REG_PINFLAG_B_RENDERER, 1, 1, &kAudio, 0, NULL, NULL},
};

}  // namespace

const StandinClass kStandinClass = {
    &CLSID_BrinmarchMpegRecorder, L"Brinmarch Mpeg 1/2 Recorder Filter",
    ds::CreateFilterObject<rec::RecorderFilter>, NULL,
    &CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, kPins, 2};
