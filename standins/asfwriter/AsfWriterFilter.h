// WM ASF Writer: the platform's Windows Media writer is missing here. This
// one names its file through IFileSinkFilter2, takes the one audio profile a
// recording configures through IConfigAsfWriter and writes what its input
// "Audio Input 01" receives as an ASF file of uncompressed PCM (no Windows
// Media compression: the profile's bit rate is not used). The file is
// finished at the filter's stop and at the end of the stream.
#pragma once
#include "AsfFile.h"
#include "AsfWriterInterfaces.h"
#include "Filter.h"
#include "Pin.h"
#include <string>

namespace asf {

class AsfWriterFilter : public ds::Filter, public IFileSinkFilter2, public IConfigAsfWriter,
                        public IAMFilterMiscFlags {
public:
    AsfWriterFilter();
    ~AsfWriterFilter() override;

    DS_IUNKNOWN_OF(Filter)
    // IFileSinkFilter2
    STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP SetMode(DWORD flags) override;
    STDMETHODIMP GetMode(DWORD* flags) override;
    // IConfigAsfWriter
    STDMETHODIMP ConfigureFilterUsingProfileId(DWORD id) override;
    STDMETHODIMP GetCurrentProfileId(DWORD* id) override;
    STDMETHODIMP ConfigureFilterUsingProfileGuid(REFGUID profile) override;
    STDMETHODIMP GetCurrentProfileGuid(GUID* profile) override;
    STDMETHODIMP ConfigureFilterUsingProfile(IUnknown* profile) override;
    STDMETHODIMP GetCurrentProfile(IUnknown** profile) override;
    STDMETHODIMP SetIndexMode(BOOL index) override;
    STDMETHODIMP GetIndexMode(BOOL* index) override;
    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

private:
    class InPin;
    friend class InPin;
    HRESULT QueryExtra(REFIID iid, void** out) override;
    HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
    HRESULT Receive(IMediaSample* sample);
    HRESULT EndOfStream();

    InPin* in_;
    ds::CritSec fileLock_;
    AsfFileWriter file_;
    std::wstring fileName_;
    DWORD mode_;
    GUID profile_;
    BOOL index_;
};

}  // namespace asf
