// A program folder for running OrvixPlus.exe on the TV wall: settings on the
// cable list and a channel file of channels 1, 2, 3, 5, 6 and 8, each on one
// of the simulated card's stations.
#pragma once
#include <windows.h>
#include "AppSettings.h"
#include "ChannelRecord.h"
#include "SettingsRecord.h"
#include <cmath>
#include <stdio.h>
#include <string>

namespace tvwall {

struct Station {
    int number;
    double mhz;
};
const Station kChannels[] = {{1, 49.75}, {2, 57.75}, {3, 77.25},
                             {5, 111.25}, {6, 135.25}, {8, 159.25}};

inline bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// nGridSetting / nDwellSetting as the settings store them (1..4, 1..3).
inline bool WriteWallFiles(const std::string& dir, bool withChannels, int nGridSetting = 1,
                           int nDwellSetting = 1)
{
    CAppSettings s;
    s.m_nInputSource = 2;
    s.m_nTunerList = 2;
    s.m_nWallGrid = nGridSetting;
    s.m_nWallDwell = nDwellSetting;
    SettingsRecord rec;
    SettingsToRecord(s, &rec);
    if (!WriteBytes(dir + SETTINGS_FILE_NAME, &rec, sizeof rec))
        return false;

    std::string chl(sizeof(ChannelFileHeader), '\0');
    ChannelFileHeader h = {1, withChannels ? 1 : 0, 0, withChannels ? 6 : 0};
    memcpy(&chl[0], &h, sizeof h);
    for (const Station& st : kChannels) {
        if (!withChannels)
            break;
        ChannelRecord r;
        MakeChannelRecord(&r, st.number, (int)std::lround(st.mhz * 1000000), 1);
        chl.append((const char*)&r, sizeof r);
    }
    return WriteBytes(dir + "OrvixPlusChannels.chl", chl.data(), chl.size());
}

}  // namespace tvwall
