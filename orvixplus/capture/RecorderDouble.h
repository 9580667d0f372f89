// A test double of the MPEG recorder filter: the recorder's interface tables
// slot for slot, a log of every call and failures injected per slot. While a
// RecorderDoubleClass lives, CoCreateInstance of the recorder's class id in
// this process makes one of these.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include "RecorderInterfaces.h"
#include <map>
#include <set>
#include <string>
#include <vector>

struct RecorderCall {
    char iface;  // 'V' video settings, 'S' second settings, 'F' file sink
    int slot;
    std::vector<int> args;
    HRESULT hr;
    bool operator==(const RecorderCall& o) const
    {
        return iface == o.iface && slot == o.slot && args == o.args;
    }
};

class RecorderDouble : public ds::Filter {
public:
    // What every double made from now on does; cleared by the class object.
    struct Script {
        std::map<std::pair<char, int>, HRESULT> failures;
        std::set<std::string> refused;  // "A", "B", "S", "V", "F"
        HRESULT setFileNameResult = S_OK;
    };
    static Script script;
    static std::vector<RecorderCall> log;
    static std::wstring fileName;
    static LONG live;

    RecorderDouble();
    ~RecorderDouble() override;
    HRESULT Call(char iface, int slot, std::vector<int> args, HRESULT result = S_OK);
    DWORD bytesWritten = 0;

private:
    HRESULT QueryExtra(REFIID iid, void** out) override;

    template <class I>
    struct Part : public I {
        explicit Part(RecorderDouble* owner) : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return owner_->QueryInterface(iid, out); }
        STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }
        RecorderDouble* owner_;
    };
    struct Video : Part<IMpegRecorderVideoSettings> {
        using Part::Part;
        STDMETHODIMP SetStreamType(int a) override { return owner_->Call('V', 3, {a}); }
        STDMETHODIMP Unused04() override { return owner_->Call('V', 4, {}, E_NOTIMPL); }
        STDMETHODIMP SetBitRate(int a) override { return owner_->Call('V', 5, {a}); }
        STDMETHODIMP Unused06() override { return owner_->Call('V', 6, {}, E_NOTIMPL); }
        STDMETHODIMP Unused07() override { return owner_->Call('V', 7, {}, E_NOTIMPL); }
        STDMETHODIMP SetFrameRateCode(int a) override { return owner_->Call('V', 8, {a}); }
        STDMETHODIMP Unused09() override { return owner_->Call('V', 9, {}, E_NOTIMPL); }
        STDMETHODIMP SetSizeValue(int a) override { return owner_->Call('V', 10, {a}); }
        STDMETHODIMP Unused11() override { return owner_->Call('V', 11, {}, E_NOTIMPL); }
        STDMETHODIMP Unused12() override { return owner_->Call('V', 12, {}, E_NOTIMPL); }
        STDMETHODIMP SetOption13(int a) override { return owner_->Call('V', 13, {a}); }
        STDMETHODIMP Unused14() override { return owner_->Call('V', 14, {}, E_NOTIMPL); }
        STDMETHODIMP Unused15() override { return owner_->Call('V', 15, {}, E_NOTIMPL); }
        STDMETHODIMP Unused16() override { return owner_->Call('V', 16, {}, E_NOTIMPL); }
        STDMETHODIMP Unused17() override { return owner_->Call('V', 17, {}, E_NOTIMPL); }
        STDMETHODIMP GetBytesWritten(DWORD* bytes) override {
            HRESULT hr = owner_->Call('V', 18, {});
            if (hr == S_OK) *bytes = owner_->bytesWritten;
            return hr;
        }
        STDMETHODIMP SetOption19(int a) override { return owner_->Call('V', 19, {a}); }
        STDMETHODIMP Unused20() override { return owner_->Call('V', 20, {}, E_NOTIMPL); }
        STDMETHODIMP Unused21() override { return owner_->Call('V', 21, {}, E_NOTIMPL); }
        STDMETHODIMP Unused22() override { return owner_->Call('V', 22, {}, E_NOTIMPL); }
        STDMETHODIMP Unused23() override { return owner_->Call('V', 23, {}, E_NOTIMPL); }
        STDMETHODIMP Unused24() override { return owner_->Call('V', 24, {}, E_NOTIMPL); }
        STDMETHODIMP Unused25() override { return owner_->Call('V', 25, {}, E_NOTIMPL); }
        STDMETHODIMP Unused26() override { return owner_->Call('V', 26, {}, E_NOTIMPL); }
        STDMETHODIMP Unused27() override { return owner_->Call('V', 27, {}, E_NOTIMPL); }
        STDMETHODIMP Unused28() override { return owner_->Call('V', 28, {}, E_NOTIMPL); }
        STDMETHODIMP Unused29() override { return owner_->Call('V', 29, {}, E_NOTIMPL); }
        STDMETHODIMP Unused30() override { return owner_->Call('V', 30, {}, E_NOTIMPL); }
        STDMETHODIMP Unused31() override { return owner_->Call('V', 31, {}, E_NOTIMPL); }
        STDMETHODIMP Unused32() override { return owner_->Call('V', 32, {}, E_NOTIMPL); }
        STDMETHODIMP Unused33() override { return owner_->Call('V', 33, {}, E_NOTIMPL); }
        STDMETHODIMP Unused34() override { return owner_->Call('V', 34, {}, E_NOTIMPL); }
        STDMETHODIMP Unused35() override { return owner_->Call('V', 35, {}, E_NOTIMPL); }
        STDMETHODIMP Unused36() override { return owner_->Call('V', 36, {}, E_NOTIMPL); }
        STDMETHODIMP Unused37() override { return owner_->Call('V', 37, {}, E_NOTIMPL); }
        STDMETHODIMP Unused38() override { return owner_->Call('V', 38, {}, E_NOTIMPL); }
        STDMETHODIMP Unused39() override { return owner_->Call('V', 39, {}, E_NOTIMPL); }
        STDMETHODIMP SetOption40(int a) override { return owner_->Call('V', 40, {a}); }
        STDMETHODIMP Unused41() override { return owner_->Call('V', 41, {}, E_NOTIMPL); }
        STDMETHODIMP Unused42() override { return owner_->Call('V', 42, {}, E_NOTIMPL); }
        STDMETHODIMP Unused43() override { return owner_->Call('V', 43, {}, E_NOTIMPL); }
        STDMETHODIMP Unused44() override { return owner_->Call('V', 44, {}, E_NOTIMPL); }
        STDMETHODIMP Unused45() override { return owner_->Call('V', 45, {}, E_NOTIMPL); }
        STDMETHODIMP Unused46() override { return owner_->Call('V', 46, {}, E_NOTIMPL); }
        STDMETHODIMP Unused47() override { return owner_->Call('V', 47, {}, E_NOTIMPL); }
        STDMETHODIMP Unused48() override { return owner_->Call('V', 48, {}, E_NOTIMPL); }
        STDMETHODIMP Unused49() override { return owner_->Call('V', 49, {}, E_NOTIMPL); }
        STDMETHODIMP Unused50() override { return owner_->Call('V', 50, {}, E_NOTIMPL); }
        STDMETHODIMP Unused51() override { return owner_->Call('V', 51, {}, E_NOTIMPL); }
        STDMETHODIMP Unused52() override { return owner_->Call('V', 52, {}, E_NOTIMPL); }
        STDMETHODIMP Unused53() override { return owner_->Call('V', 53, {}, E_NOTIMPL); }
        STDMETHODIMP SetFrameSize(int a, int b) override { return owner_->Call('V', 54, {a, b}); }
    };
    struct Second : Part<IMpegRecorderSecondSettings> {
        using Part::Part;
        STDMETHODIMP SetValue03(int a) override { return owner_->Call('S', 3, {a}); }
        STDMETHODIMP Unused04() override { return owner_->Call('S', 4, {}, E_NOTIMPL); }
        STDMETHODIMP SetValue05(int a) override { return owner_->Call('S', 5, {a}); }
        STDMETHODIMP Unused06() override { return owner_->Call('S', 6, {}, E_NOTIMPL); }
        STDMETHODIMP SetValue07(int a) override { return owner_->Call('S', 7, {a}); }
        STDMETHODIMP Unused08() override { return owner_->Call('S', 8, {}, E_NOTIMPL); }
        STDMETHODIMP SetValue09(int a) override { return owner_->Call('S', 9, {a}); }
        STDMETHODIMP Unused10() override { return owner_->Call('S', 10, {}, E_NOTIMPL); }
        STDMETHODIMP SetValue11(int a) override { return owner_->Call('S', 11, {a}); }
        STDMETHODIMP Unused12() override { return owner_->Call('S', 12, {}, E_NOTIMPL); }
        STDMETHODIMP SetValue13(int a) override { return owner_->Call('S', 13, {a}); }
        STDMETHODIMP Unused14() override { return owner_->Call('S', 14, {}, E_NOTIMPL); }
        STDMETHODIMP SetValues15(int a, int b, int c, int d) override { return owner_->Call('S', 15, {a, b, c, d}); }
    };
    struct Sink : Part<IFileSinkFilter> {
        using Part::Part;
        STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) override;
        STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    };
    Video video_;
    Second second_;
    Sink sink_;
    Part<IUnknown> a_, b_;
};

// Makes CoCreateInstance of the recorder's class answer with doubles.
class RecorderDoubleClass {
public:
    RecorderDoubleClass();
    ~RecorderDoubleClass();
private:
    DWORD cookie_;
};
