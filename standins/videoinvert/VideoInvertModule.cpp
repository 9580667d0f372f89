// BrinmarchVideoInvert.dll: listed in the legacy filter category at
// MERIT_DO_NOT_USE, so that only a creation by class id brings it in.
#include "CardRefusal.h"
#include "VideoInvert.h"
#include "StandinModule.h"

namespace {

const char kCreateCall[] = "VideoInvert.Create";

}  // namespace

const StandinClass kStandinClass = {
    &vinvert::CLSID_BrinmarchVideoInvert, vinvert::kFilterName,
    ds::CreateFilterObject<vinvert::VideoInvertFilter>, CardRefusesCreation<kCreateCall>,
    &CLSID_LegacyAmFilterCategory, MERIT_DO_NOT_USE, ds::kYuy2FilterPins, 2};

extern "C" LONG VideoInvert_LiveObjects() { return ds::LiveObjects(); }
