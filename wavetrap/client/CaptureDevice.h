// The audio capture device a client hands to Wavetrap: found in the audio
// input category by its friendly name, as the card's own programs find it.
#pragma once
#include <windows.h>
#include <strmif.h>

// The card's audio capture device.
extern const wchar_t kCardAudioDeviceName[];

// The first device of the audio input category with that friendly name,
// bound to its filter (one reference for the caller); NULL when none is.
IBaseFilter* OpenAudioCaptureDevice(const wchar_t* friendlyName);
