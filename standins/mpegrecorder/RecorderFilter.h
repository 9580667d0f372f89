// The MPEG-1/2 recorder: a renderer with a YUY2 video input and an optional
// PCM audio input that writes the file named through IFileSinkFilter, in the
// stream type set through its video settings interface. Settings are taken
// only while stopped and are frozen from Pause to Stop, while the file is
// written.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include "Recording.h"
#include "RecorderInterfaces.h"
#include <functional>
#include <memory>
#include <string>

namespace rec {

class FileSink;

struct RecorderSettings {
    int type = 8;
    int bitRate = 6000000;
    int frameRateCode = 3;
    int width = 720, height = 576;
    int option40 = -1, sizeValue = 4096, option13 = 0, option19 = 1;
    int second[6] = {0, 0, 0, 0, 0, 0};  // slots 3, 5, 7, 9, 11, 13
    int second15[4] = {0, 0, 0, 0};
};

class RecorderFilter : public ds::Filter,
                       public IMpegRecorderVideoSettings,
                       public IMpegRecorderSecondSettings,
                       public IFileSinkFilter,
                       public IAMFilterMiscFlags {
public:
    RecorderFilter();
    ~RecorderFilter() override;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return Filter::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Filter::Release(); }

    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;

    // IAMFilterMiscFlags
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    // Video settings
    STDMETHODIMP SetStreamType(int typeCode) override;
    STDMETHODIMP SetBitRate(int bitsPerSecond) override;
    STDMETHODIMP SetFrameRateCode(int code) override;
    STDMETHODIMP SetSizeValue(int value) override;
    STDMETHODIMP SetOption13(int value) override;
    STDMETHODIMP GetBytesWritten(DWORD* bytes) override;
    STDMETHODIMP SetOption19(int value) override;
    STDMETHODIMP SetOption40(int value) override;
    STDMETHODIMP SetFrameSize(int width, int height) override;
    // Second settings
    STDMETHODIMP SetValue03(int value) override;
    STDMETHODIMP SetValue05(int value) override;
    STDMETHODIMP SetValue07(int value) override;
    STDMETHODIMP SetValue09(int value) override;
    STDMETHODIMP SetValue11(int value) override;
    STDMETHODIMP SetValue13(int value) override;
    STDMETHODIMP SetValues15(int a, int b, int c, int d) override;
    // IFileSinkFilter
    STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* mt) override;

    // The slots nobody calls (both tables share the names).
#define REC_UNUSED(n) STDMETHODIMP Unused##n() override { return E_NOTIMPL; }
    REC_UNUSED(04) REC_UNUSED(06) REC_UNUSED(07) REC_UNUSED(08) REC_UNUSED(09) REC_UNUSED(10)
    REC_UNUSED(11) REC_UNUSED(12) REC_UNUSED(14) REC_UNUSED(15) REC_UNUSED(16) REC_UNUSED(17)
    REC_UNUSED(20) REC_UNUSED(21) REC_UNUSED(22) REC_UNUSED(23) REC_UNUSED(24) REC_UNUSED(25)
    REC_UNUSED(26) REC_UNUSED(27) REC_UNUSED(28) REC_UNUSED(29) REC_UNUSED(30) REC_UNUSED(31)
    REC_UNUSED(32) REC_UNUSED(33) REC_UNUSED(34) REC_UNUSED(35) REC_UNUSED(36) REC_UNUSED(37)
    REC_UNUSED(38) REC_UNUSED(39) REC_UNUSED(41) REC_UNUSED(42) REC_UNUSED(43) REC_UNUSED(44)
    REC_UNUSED(45) REC_UNUSED(46) REC_UNUSED(47) REC_UNUSED(48) REC_UNUSED(49) REC_UNUSED(50)
    REC_UNUSED(51) REC_UNUSED(52) REC_UNUSED(53)
#undef REC_UNUSED

    // From the pins, on the streaming threads.
    HRESULT ReceiveVideo(IMediaSample* sample);
    HRESULT ReceiveAudio(IMediaSample* sample);
    HRESULT InputEnded(int pin);

private:
    class VideoPin;
    class AudioPin;
    // Answers QueryInterface only (interfaces A and B).
    struct QueryOnly : public IUnknown {
        RecorderFilter* owner;
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return owner->QueryInterface(iid, out); }
        STDMETHODIMP_(ULONG) AddRef() override { return owner->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner->Release(); }
    };

    HRESULT QueryExtra(REFIID iid, void** out) override;
    // The common frame of a settings call: injected failures, the stopped
    // check, the log line.
    HRESULT Setting(int iface, int slot, const std::string& args, bool valid, const std::function<void()>& apply);
    HRESULT StartRecording();
    void EndRecording();
    void CheckWriteFailure();

    ds::CritSec settingsLock_;
    RecorderSettings settings_;
    std::wstring fileName_;
    QueryOnly a_, b_;
    VideoPin* video_;
    AudioPin* audio_;

    // Under streamLock_: the recording between Pause and Stop.
    ds::CritSec streamLock_;
    std::unique_ptr<FileSink> file_;
    std::unique_ptr<Recording> recording_;
    bool ended_[2] = {false, false};
    bool abortSent_ = false;
    volatile LONG64 written_ = 0;
};

}  // namespace rec
