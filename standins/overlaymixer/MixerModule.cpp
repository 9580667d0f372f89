// OverlayMixer.dll: the Overlay Mixer's class, which Wine does not register.
// It is registered as a class only, not in a filter category: the capture
// graphs and the player create it by class id.
#include "CardRefusal.h"
#include "MixerFilter.h"
#include "StandinModule.h"

namespace {

const char kCreateCall[] = "Mixer.Create";

}  // namespace

const StandinClass kStandinClass = {
    &CLSID_OverlayMixerStandin, mixer::kFilterName, ds::CreateFilterObject<mixer::MixerFilter>,
    CardRefusesCreation<kCreateCall>,
    NULL, 0, NULL, 0};

extern "C" LONG Mixer_LiveObjects() { return ds::LiveObjects(); }
