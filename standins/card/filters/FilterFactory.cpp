#include "FilterFactory.h"
#include "AudioCaptureFilter.h"
#include "CardFilterIds.h"
#include "CardState.h"
#include "CrossbarFilter.h"
#include "ProcAmpPage.h"
#include "VideoCaptureFilter.h"

namespace card {

namespace {

typedef HRESULT (*CreateFn)(REFIID iid, void** out);

struct CardClass {
    const CLSID* clsid;
    CreateFn create;
    const char* failName;  // NULL: not part of the hardware
};

const CardClass kClasses[] = {
    {&CLSID_CardVideoCapture, ds::CreateFilterObject<VideoCaptureFilter>, "VideoCapture"},
    {&CLSID_CardCrossbar, ds::CreateFilterObject<CrossbarFilter>, "Crossbar"},
    {&CLSID_CardAudioCapture, ds::CreateFilterObject<AudioCaptureFilter>, "AudioCapture"},
    {&CLSID_CardProcAmpPage, CreateProcAmpPage, NULL},
};

const CardClass* Find(REFCLSID clsid) {
    for (const CardClass& c : kClasses)
        if (IsEqualCLSID(clsid, *c.clsid)) return &c;
    return NULL;
}

}  // namespace

bool IsCardClass(REFCLSID clsid) { return Find(clsid) != NULL; }

HRESULT CreateCardObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = NULL;
    const CardClass* c = Find(clsid);
    if (!c) return CLASS_E_CLASSNOTAVAILABLE;
    if (c->failName) {
        if (CardDeviceCount() <= 0) return VFW_E_NO_CAPTURE_HARDWARE;
        if (CardShouldFail(c->failName)) {
            CardLog("%s: made to fail", c->failName);
            return E_FAIL;
        }
    }
    return c->create(iid, out);
}

}  // namespace card
