// Shared by Wavetrap's tests: a card of their own, tuning, the recorded
// files' contents and the tone they carry.
#pragma once
#include <windows.h>
#include <dshow.h>
#include <string>
#include <vector>

namespace wt {

// Where the message boxes of Wavetrap.dll (and of the clients started) are
// logged, one line each: caption, text and flags, tab-separated.
std::string DllBoxLog();

// Programs the card's tuner to a frequency, as the TV program does.
void TuneTo(double mhz);
// The tone the card plays for a station's test pattern.
int StationTone(int pattern);

// A WAV file read back: what its header says and its samples.
struct WavFile {
    bool ok = false;
    std::string error;
    DWORD riffSize = 0, dataSize = 0, fileSize = 0;
    WORD formatTag = 0, channels = 0, bits = 0;
    DWORD rate = 0;
    std::vector<short> samples;  // interleaved
};
WavFile ReadWav(const std::string& path);

// Of the card's tones (330 + 110 k Hz, k < 16), the strongest in the left
// channel of interleaved stereo samples; 0 for silence.
int StrongestTone(const std::vector<short>& samples, int rate);

// The filter names of the first graph in the running-object table that this
// process registered.
std::vector<std::wstring> RegisteredGraphFilters();
std::vector<std::wstring> FilterNames(IFilterGraph* graph);

std::wstring Wide(const std::string& s);
std::string ReadFileBytes(const std::string& path);

}  // namespace wt
