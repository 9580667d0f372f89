#include "ProcAmpPage.h"
#include "ComObject.h"
#include <commctrl.h>
#include <new>
#include <string>

namespace card {

const wchar_t kProcAmpPageName[] = L"Video Proc Amp";

namespace {

const char kWindowClass[] = "KestorProcAmpPage";
const char* const kLabels[] = {"Brightness", "Contrast", "Hue", "Saturation", "Sharpness"};
const int kProperties = 5;
const int kRowHeight = 30, kWidth = 330, kHeight = 20 + kProperties * kRowHeight;

HMODULE ThisModule() {
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

class ProcAmpPage : public ds::ComObject<IPropertyPage> {
public:
    ProcAmpPage() : ComObject(IID_IPropertyPage), window_(NULL), dirty_(false) {}
    ~ProcAmpPage() override {
        if (window_) DestroyWindow(window_);
    }

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override {
        if (site && site_) return E_UNEXPECTED;
        site_ = ds::ComPtr<IPropertyPageSite>(site);
        return S_OK;
    }
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL) override {
        if (!rect) return E_POINTER;
        if (window_) return E_UNEXPECTED;
        if (!amp_) return E_UNEXPECTED;
        if (!CreatePageWindow(parent, *rect)) return E_FAIL;
        return S_OK;
    }
    STDMETHODIMP Deactivate() override {
        if (!window_) return E_UNEXPECTED;
        DestroyWindow(window_);
        window_ = NULL;
        return S_OK;
    }
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override {
        if (!info) return E_POINTER;
        size_t bytes = sizeof(kProcAmpPageName);
        info->cb = sizeof(PROPPAGEINFO);
        info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!info->pszTitle) return E_OUTOFMEMORY;
        memcpy(info->pszTitle, kProcAmpPageName, bytes);
        info->size.cx = kWidth;
        info->size.cy = kHeight;
        info->pszDocString = NULL;
        info->pszHelpFile = NULL;
        info->dwHelpContext = 0;
        return S_OK;
    }
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override {
        amp_.Reset();
        if (count == 0) return S_OK;
        if (!objects || !objects[0]) return E_POINTER;
        return amp_.QueryFrom(objects[0], IID_IAMVideoProcAmp);
    }
    STDMETHODIMP Show(UINT cmd) override {
        if (!window_) return E_UNEXPECTED;
        ShowWindow(window_, cmd);
        return S_OK;
    }
    STDMETHODIMP Move(LPCRECT rect) override {
        if (!rect) return E_POINTER;
        if (!window_) return E_UNEXPECTED;
        MoveWindow(window_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
        return S_OK;
    }
    STDMETHODIMP IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override {
        if (!dirty_) return S_OK;
        if (!amp_ || !window_) return E_UNEXPECTED;
        HRESULT result = S_OK;
        for (int i = 0; i < kProperties; i++) {
            HRESULT hr = amp_->Set(i, SliderValue(i), VideoProcAmp_Flags_Manual);
            if (FAILED(hr)) result = hr;
        }
        dirty_ = false;
        return result;
    }
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        ProcAmpPage* page = reinterpret_cast<ProcAmpPage*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_HSCROLL && page) {
            page->OnSlider(reinterpret_cast<HWND>(lp));
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    bool CreatePageWindow(HWND parent, const RECT& rect) {
        HMODULE module = ThisModule();
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSA wc = {};
        if (!GetClassInfoA(module, kWindowClass, &wc)) {
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = module;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.hCursor = LoadCursor(NULL, IDC_ARROW);
            wc.lpszClassName = kWindowClass;
            if (!RegisterClassA(&wc)) return false;
        }
        window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, "", WS_CHILD, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, NULL, module, NULL);
        if (!window_) return false;
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        for (int i = 0; i < kProperties; i++) {
            int y = 10 + i * kRowHeight;
            LONG min = 0, max = 0, step = 1, def = 0, caps = 0, value = 0, flags = 0;
            amp_->GetRange(i, &min, &max, &step, &def, &caps);
            amp_->Get(i, &value, &flags);
            HWND label = CreateWindowExA(0, "STATIC", kLabels[i], WS_CHILD | WS_VISIBLE, 10, y + 4, 80, 20,
                                         window_, NULL, module, NULL);
            HWND slider = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ,
                                          95, y, 170, 26, window_,
                                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProcAmpSliderId + i)),
                                          module, NULL);
            HWND shown = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 272, y + 4, 50, 20, window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProcAmpValueId + i)),
                                         module, NULL);
            SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            SendMessageA(shown, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            // Sliders count from 0: the minimum is kept aside, as ranges
            // below zero (hue, sharpness) do not show well on every slider.
            minimum_[i] = min;
            SendMessageA(slider, TBM_SETRANGEMIN, FALSE, 0);
            SendMessageA(slider, TBM_SETRANGEMAX, FALSE, max - min);
            SendMessageA(slider, TBM_SETLINESIZE, 0, step);
            SendMessageA(slider, TBM_SETPOS, TRUE, value - min);
            ShowValue(i, value);
        }
        return true;
    }

    void ShowValue(int property, LONG value) {
        SetDlgItemTextA(window_, kProcAmpValueId + property, std::to_string(value).c_str());
    }

    LONG SliderValue(int property) {
        return minimum_[property] +
               static_cast<LONG>(SendDlgItemMessageA(window_, kProcAmpSliderId + property, TBM_GETPOS, 0, 0));
    }

    void OnSlider(HWND slider) {
        int property = GetDlgCtrlID(slider) - kProcAmpSliderId;
        if (property < 0 || property >= kProperties) return;
        ShowValue(property, SliderValue(property));
        dirty_ = true;
        if (site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    }

    HWND window_;
    bool dirty_;
    LONG minimum_[kProperties] = {};
    ds::ComPtr<IPropertyPageSite> site_;
    ds::ComPtr<IAMVideoProcAmp> amp_;
};

}  // namespace

HRESULT CreateProcAmpPage(REFIID iid, void** out) {
    return ds::QueryNew(new (std::nothrow) ProcAmpPage(), iid, out);
}

}  // namespace card
