// OverlayMixer.dll: the Overlay Mixer's class, which Wine does not register,
// listed in the legacy filter category at normal merit with YUY2 in and RGB32
// out, so that a capture graph builder asked to render a YUY2 pin without a
// sink finds it on the way to the Video Renderer.
#include "CardRefusal.h"
#include "MixerFilter.h"
#include "StandinModule.h"

namespace {

const REGPINTYPES kYuy2 = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
const REGPINTYPES kRgb32 = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32};
const REGFILTERPINS2 kPins[2] = {
    {0, 1, 1, &kYuy2, 0, NULL, NULL},
    {REG_PINFLAG_B_OUTPUT, 1, 1, &kRgb32, 0, NULL, NULL},
};

const char kCreateCall[] = "Mixer.Create";

}  // namespace

const StandinClass kStandinClass = {
    &CLSID_OverlayMixerStandin, mixer::kFilterName, ds::CreateFilterObject<mixer::MixerFilter>,
    CardRefusesCreation<kCreateCall>,
    &CLSID_LegacyAmFilterCategory, MERIT_NORMAL, kPins, 2};

extern "C" LONG Mixer_LiveObjects() { return ds::LiveObjects(); }
