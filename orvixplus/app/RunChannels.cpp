// scripts/run: the channel list a first scan of the simulated card would
// have left in a program folder that has none, so that OrvixPlus starts on
// a station: every station on the air in the cable list, the first one
// current. A folder that has a list keeps it.
#include <stdio.h>
#include <string>
#include "TvStations.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: run_channels <program folder>\n");
        return 2;
    }
    std::string path = std::string(argv[1]) + "\\OrvixPlusChannels.chl";
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return 0;
    if (!tv::WriteChannelFile(path, 1, 1, {}, tv::StationChannels())) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    printf("%s: the card's %d stations\n", path.c_str(), (int)tv::StationChannels().size());
    return 0;
}
