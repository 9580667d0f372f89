// What the video window should show for a station or a jack of the simulated
// card, for tests and benches that run OrvixPlus.exe: the card's own picture
// generator draws the expected frame, and a grid of points of it is compared
// with the same points of the window's client area on the screen. The
// renderer scales and converts, so pictures are told apart by how close they
// come, not by equality.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "CardState.h"
#include "ChannelRecord.h"
#include "PictureGenerator.h"
#include "TvProgramFolder.h"
#include "YuvConvert.h"

namespace tv {

// The bytes the tuner takes for a frequency, as the card's log shows them.
inline std::string TunerBytesText(double mhz)
{
    int divider = (int)((mhz + 38.875) * 16);
    int band = mhz <= 164.25 ? 1 : mhz <= 464.25 ? 2 : 8;
    char text[32];
    snprintf(text, sizeof(text), "%02X %02X CE %02X", (divider >> 8) & 0xFF, divider & 0xFF, band);
    return text;
}

// The grid of a frame the card draws for `source` at the capture size, as
// the client area of cx x cy shows it (0x00RRGGBB).
inline std::vector<DWORD> ExpectedGrid(const card::PictureSource& source, SIZE capture, int cx,
                                       int cy)
{
    std::vector<BYTE> yuy2((size_t)capture.cx * capture.cy * 2);
    card::PictureGenerator gen;
    SYSTEMTIME clock = {};
    gen.Draw(yuy2.data(), capture.cx, capture.cy, source, 0, clock);
    int stride = yuv::RgbStride(capture.cx, yuv::RGB_32);
    std::vector<BYTE> rgb((size_t)stride * capture.cy);
    yuv::Yuy2ToRgbFrame(yuy2.data(), capture.cx, capture.cy, rgb.data(), stride, yuv::RGB_32,
                        yuv::Yuy2ToRgb32RowScalar);
    std::vector<DWORD> grid;
    for (int j = 0; j < kGridY; ++j)
        for (int i = 0; i < kGridX; ++i) {
            POINT p = GridPoint(i, j, cx, cy);
            int fx = p.x * capture.cx / cx, fy = p.y * capture.cy / cy;
            const BYTE* px = &rgb[(size_t)(capture.cy - 1 - fy) * stride + fx * 4];  // bottom-up
            grid.push_back(((DWORD)px[2] << 16) | ((DWORD)px[1] << 8) | px[0]);
        }
    return grid;
}

inline card::PictureSource StationSource(const CardStation& station)
{
    card::PictureSource s;
    s.kind = card::kPictureStation;
    s.pattern = station.pattern;
    s.name = station.name;
    return s;
}

inline card::PictureSource JackSource(card::PictureKind kind)
{
    card::PictureSource s;
    s.kind = kind;
    s.pattern = 0;
    return s;
}

// Mean difference per colour channel, 0 for equal grids, 255 for none.
inline double GridDistance(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    if (a.empty() || a.size() != b.size())
        return 255.0;
    long long sum = 0;
    for (size_t k = 0; k < a.size(); ++k)
        for (int shift = 0; shift <= 16; shift += 8)
            sum += abs((int)((a[k] >> shift) & 0xFF) - (int)((b[k] >> shift) & 0xFF));
    return (double)sum / (3.0 * a.size());
}

// The expected pictures of everything the card can show in a client area of
// cx x cy: each station on the air, then Composite and S-Video.
struct PictureSet {
    std::vector<std::string> names;
    std::vector<std::vector<DWORD>> grids;

    PictureSet(SIZE capture, int cx, int cy)
    {
        for (const CardStation& s : CardStations()) {
            names.push_back(s.name);
            grids.push_back(ExpectedGrid(StationSource(s), capture, cx, cy));
        }
        names.push_back("Composite");
        grids.push_back(ExpectedGrid(JackSource(card::kPictureComposite), capture, cx, cy));
        names.push_back("SVideo");
        grids.push_back(ExpectedGrid(JackSource(card::kPictureSVideo), capture, cx, cy));
    }

    // The picture the screen comes closest to, "" when none is close: snow,
    // black, or a picture still being replaced. Measured: a shown picture
    // comes within 30 of its own (the renderer scales fine stripes), the
    // other pictures stay above 70.
    std::string Showing(const std::vector<DWORD>& screen, double maxDistance = 45.0) const
    {
        int best = -1;
        double bestDistance = maxDistance;
        for (size_t k = 0; k < grids.size(); ++k) {
            double d = GridDistance(screen, grids[k]);
            if (d < bestDistance) {
                bestDistance = d;
                best = (int)k;
            }
        }
        return best < 0 ? "" : names[best];
    }
};

}  // namespace tv

namespace tv {

inline ChannelRecord MakeChannel(int number, const char* name, double mhz, int skip = 0)
{
    ChannelRecord r = {};
    r.nSkip = skip;
    r.nFlag = 1;
    strncpy(r.szName, name, CHANNEL_NAME_SIZE - 1);
    r.fFrequency = (float)mhz;
    r.nNumber = number;
    return r;
}

// Every station of the card, in order, numbered from 1: a list in which each
// channel has a picture of its own.
inline std::vector<ChannelRecord> StationChannels()
{
    std::vector<ChannelRecord> list;
    for (const CardStation& s : CardDefaultStations())
        list.push_back(MakeChannel((int)list.size() + 1, s.name, s.freqMHz));
    return list;
}

// OrvixPlusChannels.chl holding exactly these two lists.
inline bool WriteChannelFile(const std::string& path, int currentAir, int currentCable,
                             const std::vector<ChannelRecord>& air,
                             const std::vector<ChannelRecord>& cable)
{
    ChannelFileHeader h = {currentAir, currentCable, (int)air.size(), (int)cable.size()};
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(&h, sizeof(h), 1, f) == 1;
    for (const auto* list : {&air, &cable})
        for (const ChannelRecord& r : *list)
            ok = ok && fwrite(&r, sizeof(r), 1, f) == 1;
    return fclose(f) == 0 && ok;
}

// The card's shipped station by name (the tests' channels point at them).
inline CardStation StationNamed(const char* name)
{
    for (const CardStation& s : CardDefaultStations())
        if (strcmp(s.name, name) == 0)
            return s;
    return CardStation();
}

}  // namespace tv
