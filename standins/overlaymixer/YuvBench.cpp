// YUY2 to RGB32 per 720x576 frame: each row this processor runs, and a
// memcpy of the output's size as the floor. One line, milliseconds; the
// "fastest" figure is the row the mixer and the codec use here.
#include "YuvConvert.h"
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const int kW = 720, kH = 576;
std::vector<BYTE> g_in(kW * kH * 2), g_out(kW * kH * 4), g_copySource(kW * kH * 4);

template <class Run>
double PerFrameMs(Run run) {
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    run();  // warm the caches
    double best = 1e9;
    // The best of a few rounds: other work on the machine only ever adds.
    for (int round = 0; round < 5; round++) {
        const int frames = 40;
        QueryPerformanceCounter(&t0);
        for (int i = 0; i < frames; i++) run();
        QueryPerformanceCounter(&t1);
        double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart / frames;
        if (ms < best) best = ms;
    }
    return best;
}

double RowMs(yuv::Rgb32RowFn row) {
    return PerFrameMs([row] { yuv::Yuy2ToRgbFrame(g_in.data(), kW, kH, g_out.data(), kW * 4, yuv::RGB_32, row); });
}

}  // namespace

int main() {
    for (size_t i = 0; i < g_in.size(); i++) g_in[i] = static_cast<BYTE>(i * 7 + (i >> 10));
    struct { const char* name; yuv::Rgb32RowFn row; bool runs; } rows[] = {
        {"avx512", yuv::Yuy2ToRgb32RowAvx512, yuv::HasAvx512()},
        {"avx2", yuv::Yuy2ToRgb32RowAvx2, yuv::HasAvx2()},
        {"sse2", yuv::Yuy2ToRgb32RowSse2, true},
        {"scalar", yuv::Yuy2ToRgb32RowScalar, true},
    };
    yuv::Rgb32RowFn fastest = yuv::FastestRgb32Row();
    double copy = PerFrameMs([] { memcpy(g_out.data(), g_copySource.data(), g_copySource.size()); });
    std::string each;
    double fastestMs = 0, sse2Ms = 0;
    const char* fastestName = "?";
    char buf[64];
    for (auto& r : rows) {
        double ms = r.runs ? RowMs(r.row) : 0;
        snprintf(buf, sizeof(buf), r.runs ? "  %s %.3f ms" : "  %s -", r.name, ms);
        each += buf;
        if (r.row == fastest) fastestMs = ms, fastestName = r.name;
        if (r.row == yuv::Yuy2ToRgb32RowSse2) sse2Ms = ms;
    }
    printf("yuy2->rgb32 720x576  fastest %.3f ms (%s)%s  memcpy %.3f ms  fastest/memcpy %.1fx  sse2/memcpy %.1fx\n",
           fastestMs, fastestName, each.c_str(), copy, fastestMs / copy, sse2Ms / copy);
    return 0;
}
