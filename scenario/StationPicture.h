// Which station a picture shows, for the tests that run the whole product:
// the closest of the card's pictures, with how close it came.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "TestSupport.h"
#include "TvStations.h"

namespace scenario {

struct Closest {
    std::string name;
    double distance = 255.0;
};

inline Closest ClosestPicture(const tv::PictureSet& set, const std::vector<DWORD>& grid)
{
    Closest c;
    for (size_t k = 0; k < set.grids.size(); ++k) {
        double d = tv::GridDistance(grid, set.grids[k]);
        if (d < c.distance) {
            c.distance = d;
            c.name = set.names[k];
        }
    }
    return c;
}

// The video window comes to show the station (or jack) within ms: a
// tune or a new graph takes a frame or two.
inline ::testing::AssertionResult WindowShows(HWND video, const std::string& station, double limit = 45.0,
                                              DWORD ms = 10000)
{
    RECT rc = {};
    GetClientRect(video, &rc);
    tv::PictureSet set({640, 480}, rc.right, rc.bottom);
    Closest c;
    ts::PumpUntil([&] {
        c = ClosestPicture(set, tv::ScreenGrid(video));
        return c.name == station && c.distance < limit;
    }, ms);
    if (c.name == station && c.distance < limit)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the video window shows " << (c.name.empty() ? "nothing" : c.name)
                                         << " (distance " << c.distance << "), not " << station;
}

// The picture keeps changing: live video, not a frozen frame.
inline bool PictureMoves(HWND video, DWORD ms = 5000)
{
    std::vector<DWORD> first = tv::ScreenGrid(video);
    return !first.empty() && ts::PumpUntil([&] { return tv::ScreenGrid(video) != first; }, ms);
}

}  // namespace scenario
