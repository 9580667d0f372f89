#include "AudioCaptureFilter.h"
#include "AudioCapturePins.h"
#include "CardFilterIds.h"
#include "CardState.h"

namespace card {

const wchar_t kAudioCaptureName[] = L"Kestor TV Arden WDM Audio Capture";

AudioCaptureFilter::AudioCaptureFilter() : Filter(CLSID_CardAudioCapture) {
    // Pin ids are digits: callers take the id's first character as the
    // line's value.
    std::vector<AudioLinePin*> lines;
    lines.push_back(new AudioLinePin(this, L"Line In", L"0", true));
    lines.push_back(new AudioLinePin(this, L"Tuner", L"1", false));
    lines.push_back(new AudioLinePin(this, L"CD", L"2", false));
    for (AudioLinePin* line : lines) AddPin(line);
    AddPin(new AudioOutPin(this, lines));
}

int AudioCaptureFilter::LineTone(int line) {
    switch (line) {
    case kLineTuner: {
        CardStation station;
        if (!CardTunedStation(&station)) return 0;
        int pattern = station.pattern < 0 ? -station.pattern : station.pattern;
        return 330 + 110 * (pattern % 16);
    }
    case kLineIn:
        // The line input is wired to the crossbar's sound output: the tuner's
        // sound when routed there; nothing is plugged into the line socket.
        return CardAudioInput() == CARD_AUDIO_TUNER ? LineTone(kLineTuner) : 0;
    default:
        return 0;
    }
}

}  // namespace card
