// The stations on the air of the simulated card and their file,
// cardstations.txt beside the card DLL, which a user may edit.
#include "CardState.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

CardStation Station(const char* name, double freqMHz, int pattern)
{
    CardStation s = {};
    strncpy(s.name, name, CARD_STATION_NAME - 1);
    s.freqMHz = freqMHz;
    s.pattern = pattern;
    return s;
}

const char kFileHeader[] =
    "# Stations on the air of the simulated TV card, one a line:\n"
    "#   frequency in MHz, picture pattern number, name\n"
    "# Read when the card starts (or by \"cardctl reset\"). Delete this file to\n"
    "# get the shipped stations back.\n";

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// "frequency pattern name" with the name running to the end of the line.
bool ParseLine(const std::string& line, CardStation* out)
{
    const char* p = line.c_str();
    char* end = NULL;
    double freq = strtod(p, &end);
    if (end == p || (*end != ' ' && *end != '\t') || !(freq > 0.0 && freq < 1000.0))
        return false;
    p = end;
    long pattern = strtol(p, &end, 10);
    if (end == p || (*end != ' ' && *end != '\t') || pattern < 0 || pattern > 255)
        return false;
    std::string name = Trim(end);
    if (name.empty() || name.size() >= CARD_STATION_NAME)
        return false;
    *out = Station(name.c_str(), freq, (int)pattern);
    return true;
}

}  // namespace

std::vector<CardStation> CardDefaultStations()
{
    // Picture carriers of real channels of country 86's plans: DS channels
    // on the antenna, Z channels on the cable (whose plan holds the DS ones too).
    return {
        Station("Harbour News", 49.75, 0),     // DS-1
        Station("Valley Sports", 57.75, 1),    // DS-2
        Station("Pearl Drama", 77.25, 2),      // DS-4
        Station("Lantern Kids", 168.25, 3),    // DS-6
        Station("Summit Music", 192.25, 4),    // DS-9
        Station("Bamboo Movies", 471.25, 5),   // DS-13
        Station("Cable Weather", 111.25, 6),   // Z-1
        Station("Cable Travel", 135.25, 7),    // Z-4
        Station("Cable Shopping", 159.25, 8),  // Z-7
    };
}

BOOL CardParseStations(const std::string& text, std::vector<CardStation>* out)
{
    std::vector<CardStation> list;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        std::string line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line[0] == '#')
            continue;
        CardStation st;
        if (!ParseLine(line, &st) || list.size() >= CARD_MAX_STATIONS) {
            out->clear();
            return FALSE;
        }
        list.push_back(st);
    }
    *out = list;
    return TRUE;
}

std::string CardFormatStations(const std::vector<CardStation>& stations)
{
    std::string text;
    for (const CardStation& s : stations) {
        char freq[32];
        snprintf(freq, sizeof(freq), "%.3f", s.freqMHz);
        // 49.750 reads better as 49.75; keep one decimal at least.
        char* dot = strchr(freq, '.');
        char* last = freq + strlen(freq) - 1;
        while (dot && last > dot + 1 && *last == '0')
            *last-- = 0;
        char line[96];
        snprintf(line, sizeof(line), "%s %d %s\n", freq, s.pattern, s.name);
        text += line;
    }
    return text;
}

std::string CardStationsFilePath()
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&CardStationsFilePath, &module);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, path, sizeof(path));
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "cardstations.txt";
}

std::vector<CardStation> CardLoadStationsFile(const std::string& path)
{
    std::vector<CardStation> stations;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        stations = CardDefaultStations();
        // Only a missing file is written: one that is there but cannot be
        // opened now stays the user's.
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            (f = fopen(path.c_str(), "wb")) != NULL) {
            fputs(kFileHeader, f);
            fputs(CardFormatStations(stations).c_str(), f);
            fclose(f);
        }
        return stations;
    }
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    if (!CardParseStations(text, &stations))
        stations = CardDefaultStations();
    return stations;
}
