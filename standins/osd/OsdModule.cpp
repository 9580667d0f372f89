// KsrOverlay.dll: listed in the legacy filter category at MERIT_DO_NOT_USE,
// so that only a creation by class id brings it in.
#include "CardRefusal.h"
#include "OsdFilter.h"
#include "StandinModule.h"

namespace {

const char kCreateCall[] = "Osd.Create";

}  // namespace

const StandinClass kStandinClass = {
    &CLSID_KsrOverlay, osd::kFilterName, ds::CreateFilterObject<osd::OverlayFilter>,
    CardRefusesCreation<kCreateCall>,
    &CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, ds::kYuy2FilterPins, 2};

extern "C" LONG Osd_LiveObjects() { return ds::LiveObjects(); }
