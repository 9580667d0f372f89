// What Wavetrap calls on the WAV Dest filter and the Windows Media ASF writer
// beyond the platform's own headers: their class ids, the writer's
// configuration interface and the system profile a recording uses. Shared by
// Wavetrap and the stand-ins that implement them.
#pragma once
#include <windows.h>
#include <unknwn.h>

// {3C78B8E2-6C4D-11D1-ADE2-0000F8754B99}
static const CLSID CLSID_WavDest = {
    0x3c78b8e2, 0x6c4d, 0x11d1, {0xad, 0xe2, 0x00, 0x00, 0xf8, 0x75, 0x4b, 0x99}};
// {7C23220E-55BB-11D3-8B16-00C04FB6BD3D}
static const CLSID CLSID_WMAsfWriterFilter = {
    0x7c23220e, 0x55bb, 0x11d3, {0x8b, 0x16, 0x00, 0xc0, 0x4f, 0xb6, 0xbd, 0x3d}};
// {45086030-F7E4-486A-B504-826BB5792A3B}
static const IID IID_IConfigAsfWriter = {
    0x45086030, 0xf7e4, 0x486a, {0xb5, 0x04, 0x82, 0x6b, 0xb5, 0x79, 0x2a, 0x3b}};
// The system profile of a recording: {60907F9F-B352-47E5-B210-0EF1F47E9F9D}.
static const GUID WMProfile_AudioCapture = {
    0x60907f9f, 0xb352, 0x47e5, {0xb2, 0x10, 0x0e, 0xf1, 0xf4, 0x7e, 0x9f, 0x9d}};

// Slots 3 to 10 in the platform's order; the profile objects are passed as
// IUnknown, nothing here looks inside them.
struct IConfigAsfWriter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileId(DWORD dwProfileId) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileId(DWORD* pdwProfileId) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfileGuid(REFGUID guidProfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfileGuid(GUID* pProfileGuid) = 0;
    virtual HRESULT STDMETHODCALLTYPE ConfigureFilterUsingProfile(IUnknown* pProfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentProfile(IUnknown** ppProfile) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetIndexMode(BOOL bIndexFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIndexMode(BOOL* pbIndexFile) = 0;
};
