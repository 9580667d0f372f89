// WAV Dest: turns PCM into the bytes of a WAV file for a file writer
// downstream. The file writer writes each block at its start time taken as a
// byte offset, so every block is stamped [offset, offset + length), and after
// every block (and at the end of the stream) the 44-byte header goes again to
// offset 0 with the sizes so far: the file is a valid WAV whenever the graph
// stops, even if the writer stopped before the last block reached it. A
// graph that stops when ready pauses every filter before it stops the writer:
// from that pause on nothing more is passed on, so that no block goes out
// without the header after it.
#pragma once
#include "Filter.h"
#include "Pin.h"
#include <vector>

namespace wavdest {

// The 44-byte RIFF/WAVE header of a file holding dataBytes of that format.
std::vector<BYTE> MakeWavHeader(const WAVEFORMATEX& format, DWORD dataBytes);

class WavDestFilter : public ds::Filter {
public:
    WavDestFilter();

    // Bytes of sound passed on since the graph last left stop.
    DWORD DataBytes();

private:
    class InPin;
    class OutPin;
    friend class InPin;
    friend class OutPin;

    HRESULT OnStateChange(FILTER_STATE from, FILTER_STATE to) override;
    HRESULT Write(const BYTE* data, long length);
    HRESULT SendHeader();

    InPin* in_;
    OutPin* out_;
    ds::CritSec streamLock_;
    DWORD dataBytes_;
    bool closing_;  // paused after running: the stop is coming
};

}  // namespace wavdest
