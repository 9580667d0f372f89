#include "RecorderDouble.h"
#include "FilterModule.h"

RecorderDouble::Script RecorderDouble::script;
std::vector<RecorderCall> RecorderDouble::log;
std::wstring RecorderDouble::fileName;
LONG RecorderDouble::live = 0;

RecorderDouble::RecorderDouble()
    : Filter(CLSID_BrinmarchMpegRecorder), video_(this), second_(this), sink_(this), a_(this), b_(this)
{
    live++;
}

RecorderDouble::~RecorderDouble() { live--; }

HRESULT RecorderDouble::Call(char iface, int slot, std::vector<int> args, HRESULT result)
{
    auto it = script.failures.find(std::make_pair(iface, slot));
    if (it != script.failures.end())
        result = it->second;
    log.push_back({iface, slot, args, result});
    return result;
}

HRESULT RecorderDouble::QueryExtra(REFIID iid, void** out)
{
    struct Entry {
        const IID* iid;
        const char* key;
        IUnknown* part;
    } entries[] = {
        {&IID_IMpegRecorderA, "A", &a_},
        {&IID_IMpegRecorderB, "B", &b_},
        {&IID_IMpegRecorderSecondSettings, "S", &second_},
        {&IID_IMpegRecorderVideoSettings, "V", &video_},
        {&IID_IFileSinkFilter, "F", &sink_},
    };
    for (const Entry& e : entries) {
        if (!IsEqualIID(iid, *e.iid))
            continue;
        if (script.refused.count(e.key))
            return E_NOINTERFACE;
        *out = e.part;
        e.part->AddRef();
        return S_OK;
    }
    return Filter::QueryExtra(iid, out);
}

HRESULT RecorderDouble::Sink::SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*)
{
    fileName = name ? name : L"";
    return owner_->Call('F', 0, {}, script.setFileNameResult);
}

namespace {

HRESULT CreateDouble(REFCLSID, REFIID iid, void** out)
{
    return ds::CreateFilterObject<RecorderDouble>(iid, out);
}

}  // namespace

RecorderDoubleClass::RecorderDoubleClass() : cookie_(0)
{
    RecorderDouble::script = RecorderDouble::Script();
    RecorderDouble::log.clear();
    RecorderDouble::fileName.clear();
    ComPtr<IUnknown> factory;
    ds::GetClassFactory(CLSID_BrinmarchMpegRecorder, CreateDouble, IID_IUnknown, factory.OutVoid());
    CoRegisterClassObject(CLSID_BrinmarchMpegRecorder, factory, CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &cookie_);
}

RecorderDoubleClass::~RecorderDoubleClass() { CoRevokeClassObject(cookie_); }
