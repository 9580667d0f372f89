#include "AudioCaptureFilter.h"
#include "AudioCapturePins.h"
#include "CardFilterIds.h"
#include "CardState.h"

namespace card {

const wchar_t kAudioCaptureName[] = L"Kestor TV Arden WDM Audio Capture";

AudioCaptureFilter::AudioCaptureFilter()
    : Filter(CLSID_CardAudioCapture), watcher_(NULL), present_(true),
      quit_(CreateEventA(NULL, TRUE, FALSE, NULL)) {
    // Pin ids are digits: callers take the id's first character as the
    // line's value.
    std::vector<AudioLinePin*> lines;
    lines.push_back(new AudioLinePin(this, L"Line In", L"0", true));
    lines.push_back(new AudioLinePin(this, L"Tuner", L"1", false));
    lines.push_back(new AudioLinePin(this, L"CD", L"2", false));
    for (AudioLinePin* line : lines) AddPin(line);
    AddPin(new AudioOutPin(this, lines));
}

AudioCaptureFilter::~AudioCaptureFilter() {
    StopWatching();
    CloseHandle(quit_);
}

HRESULT AudioCaptureFilter::OnJoinGraph() {
    StopWatching();
    ResetEvent(quit_);
    // Seen now, not when the thread gets going: a change meanwhile counts.
    present_ = CardDeviceCount() > 0;
    watcher_ = CreateThread(NULL, 0, WatchMain, this, 0, NULL);
    return watcher_ ? S_OK : E_OUTOFMEMORY;
}

// Called while the graph is still ours: the watcher ends before it goes.
void AudioCaptureFilter::OnLeaveGraph() { StopWatching(); }

void AudioCaptureFilter::StopWatching() {
    if (!watcher_) return;
    SetEvent(quit_);
    WaitForSingleObject(watcher_, INFINITE);
    CloseHandle(watcher_);
    watcher_ = NULL;
}

DWORD WINAPI AudioCaptureFilter::WatchMain(void* self) {
    AudioCaptureFilter* f = static_cast<AudioCaptureFilter*>(self);
    bool present = f->present_;
    while (WaitForSingleObject(f->quit_, 100) == WAIT_TIMEOUT) {
        bool now = CardDeviceCount() > 0;
        if (now == present) continue;
        present = now;
        f->NotifyEvent(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(f)), now ? 1 : 0);
    }
    return 0;
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
