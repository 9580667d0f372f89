#include "RecorderHooks.h"
#include "ComPtr.h"
#include <stdio.h>
#include <string.h>
#include <vector>

namespace rec {
namespace hooks {

namespace {

struct SlotFailure {
    int iface, slot;
    HRESULT hr;
    bool always;
};

struct State {
    ds::CritSec lock;
    std::string log;
    std::vector<SlotFailure> slots;
    bool queryFails = false;
    GUID queryIid = GUID_NULL;
    HRESULT queryHr = S_OK;
    HRESULT createHr = S_OK;
    int64_t writeLimit = -1;
    uint64_t odml = 1ULL << 30;
};

State& S() {
    static State s;
    return s;
}

const char* const kNames[3] = {"video", "second", "filesink"};

}  // namespace

void Log(int iface, int slot, const std::string& args, HRESULT result) {
    char line[512];
    _snprintf(line, sizeof(line) - 1, "%s %d (%s) = 0x%08lx\n", kNames[iface], slot, args.c_str(),
              static_cast<unsigned long>(result));
    line[sizeof(line) - 1] = 0;
    ds::AutoLock l(S().lock);
    S().log += line;
}

bool Failure(int iface, int slot, HRESULT* hr) {
    ds::AutoLock l(S().lock);
    std::vector<SlotFailure>& v = S().slots;
    for (size_t i = 0; i < v.size(); i++)
        if (v[i].iface == iface && v[i].slot == slot) {
            *hr = v[i].hr;
            if (!v[i].always) v.erase(v.begin() + i);
            return true;
        }
    return false;
}

bool QueryFailure(REFIID iid, HRESULT* hr) {
    ds::AutoLock l(S().lock);
    if (!S().queryFails || !IsEqualIID(iid, S().queryIid)) return false;
    *hr = S().queryHr;
    return true;
}

bool CreateFailure(HRESULT* hr) {
    ds::AutoLock l(S().lock);
    if (S().createHr == S_OK) return false;
    *hr = S().createHr;
    return true;
}

int64_t WriteLimit() {
    ds::AutoLock l(S().lock);
    return S().writeLimit;
}

uint64_t OpenDmlThreshold() {
    ds::AutoLock l(S().lock);
    return S().odml;
}

}  // namespace hooks
}  // namespace rec

using rec::hooks::S;

int Recorder_GetCallLog(char* buffer, int size) {
    ds::AutoLock l(S().lock);
    const std::string& log = S().log;
    if (buffer && size > 0) {
        size_t n = log.size() < static_cast<size_t>(size - 1) ? log.size() : size - 1;
        memcpy(buffer, log.data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(log.size()) + 1;
}

void Recorder_ClearCallLog() {
    ds::AutoLock l(S().lock);
    S().log.clear();
}

void Recorder_FailSlot(int iface, int slot, HRESULT hr, BOOL always) {
    ds::AutoLock l(S().lock);
    S().slots.push_back({iface, slot, hr, always != FALSE});
}

void Recorder_FailQuery(const GUID* iid, HRESULT hr) {
    ds::AutoLock l(S().lock);
    S().queryFails = iid != NULL;
    S().queryIid = iid ? *iid : GUID_NULL;
    S().queryHr = hr;
}

void Recorder_FailFileCreate(HRESULT hr) {
    ds::AutoLock l(S().lock);
    S().createHr = hr;
}

void Recorder_FailWritesAfter(LONGLONG bytes) {
    ds::AutoLock l(S().lock);
    S().writeLimit = bytes;
}

void Recorder_SetOpenDmlThreshold(LONGLONG bytes) {
    ds::AutoLock l(S().lock);
    S().odml = bytes > 0 ? static_cast<uint64_t>(bytes) : (1ULL << 30);
}

void Recorder_ResetHooks() {
    ds::AutoLock l(S().lock);
    S().log.clear();
    S().slots.clear();
    S().queryFails = false;
    S().createHr = S_OK;
    S().writeLimit = -1;
    S().odml = 1ULL << 30;
}

LONG Recorder_LiveObjects() { return ds::LiveObjects(); }
