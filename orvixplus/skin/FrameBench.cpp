// Times, for scripts/bench-skin, the shaped dialog's LoadSkin of the default
// skin and the skinned frame's shape rebuild for an 800 x 600 window: median
// milliseconds of several runs.
#include "ShapeDialog.h"
#include "SkinFrame.h"
#include <stdio.h>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string ExeDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

double MedianMs(int runs, const std::function<void()>& fn)
{
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&a);
        fn();
        QueryPerformanceCounter(&b);
        ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

class CBenchDialog : public CShapeDialog {
public:
    CBenchDialog() : CShapeDialog(300, NULL) {}
    void OnSkinCommand(LPCTSTR) override {}
    void OnSkinProgress(LPCTSTR, int) override {}
    void OnSkinProgressEnd(LPCTSTR, int) override {}
};

}  // namespace

int main()
{
    // Unbuffered: whatever was measured shows even if a later step fails.
    setvbuf(stdout, NULL, _IONBF, 0);
    CoInitialize(NULL);
    std::string ini = ExeDir() + "skins\\elegance\\skin.ini";
    CBenchDialog dlg;
    if (!dlg.Create(300, NULL)) {
        printf("no dialog\n");
        return 1;
    }
    bool ok = true;
    double load = MedianMs(10, [&] { ok = dlg.LoadSkin(ini.c_str()) && ok; });
    printf("\n%-40s %-11s %-34s %10s\n", "skin step", "size", "what", "median ms");
    CRect wr;
    dlg.GetWindowRect(&wr);
    char what[64];
    snprintf(what, sizeof(what), "%d buttons, %d sliders, %d labels%s", dlg.GetButtonCount(),
             dlg.GetProgressCount(), dlg.GetTimerCount(), ok ? "" : " FAILED");
    printf("%-40s %4ld x %-4ld %-34s %10.2f\n", "CShapeDialog::LoadSkin, generated skin", (long)wr.Width(),
           (long)wr.Height(), what, load);
    dlg.DestroyWindow();

    CSkinFrame frame;
    frame.WantButtons(TRUE, TRUE, TRUE);
    if (!frame.LoadSkin(ini.c_str())) {
        printf("frame skin failed\n");
        return 1;
    }
    DWORD bytes = 0;
    double shape = MedianMs(20, [&] {
        HRGN rgn = frame.BuildWindowShape(CSize(800, 600));
        bytes = rgn ? GetRegionData(rgn, 0, NULL) : 0;
        DeleteObject(rgn);
    });
    unsigned long rects = bytes > sizeof(RGNDATAHEADER) ? (bytes - sizeof(RGNDATAHEADER)) / sizeof(RECT) : 0;
    snprintf(what, sizeof(what), "%lu rectangles", rects);
    printf("%-40s %4d x %-4d %-34s %10.2f\n", "CSkinFrame shape rebuild", 800, 600, what, shape);
    CoUninitialize();
    return 0;
}
