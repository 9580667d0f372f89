// BrinmarchDeinterlacer.dll: listed in the legacy filter category at
// MERIT_DO_NOT_USE, so that only a creation by class id brings it in.
#include "CardRefusal.h"
#include "Deinterlacer.h"
#include "StandinModule.h"

namespace {

const char kCreateCall[] = "Deinterlacer.Create";

}  // namespace

const StandinClass kStandinClass = {
    &deint::CLSID_BrinmarchDeinterlacer, deint::kFilterName,
    ds::CreateFilterObject<deint::DeinterlaceFilter>, CardRefusesCreation<kCreateCall>,
    &CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, ds::kYuy2FilterPins, 2};

extern "C" LONG Deinterlacer_LiveObjects() { return ds::LiveObjects(); }
