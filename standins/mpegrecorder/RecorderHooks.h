// What tests see of and do to the recorder in their own process, through the
// DLL's exports: a log of the calls made on its interfaces, failures made to
// order (a method, a QueryInterface, the file's creation, writes past a
// size) and the OpenDML threshold.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>

namespace rec {

enum HookInterface { kHookVideoSettings = 0, kHookSecondSettings = 1, kHookFileSink = 2 };

namespace hooks {

void Log(int iface, int slot, const std::string& args, HRESULT result);
// A failure set for this slot, consumed when it was a one-off.
bool Failure(int iface, int slot, HRESULT* hr);
bool QueryFailure(REFIID iid, HRESULT* hr);
bool CreateFailure(HRESULT* hr);
// Bytes after which writes fail; -1: never.
int64_t WriteLimit();
uint64_t OpenDmlThreshold();

}  // namespace hooks
}  // namespace rec

// The exports (plain C, no decoration), for tests that load the DLL.
extern "C" {
int Recorder_GetCallLog(char* buffer, int size);
void Recorder_ClearCallLog();
void Recorder_FailSlot(int iface, int slot, HRESULT hr, BOOL always);
void Recorder_FailQuery(const GUID* iid, HRESULT hr);
void Recorder_FailFileCreate(HRESULT hr);
void Recorder_FailWritesAfter(LONGLONG bytes);
void Recorder_SetOpenDmlThreshold(LONGLONG bytes);
void Recorder_ResetHooks();
LONG Recorder_LiveObjects();
}
