#include "CardCtl.h"
#include "CardState.h"
#include <stdio.h>
#include <string.h>

namespace {

int CopyOut(const std::string& text, char* buffer, int size)
{
    if (buffer && size > 0) {
        size_t n = text.size() < (size_t)size - 1 ? text.size() : (size_t)size - 1;
        memcpy(buffer, text.data(), n);
        buffer[n] = 0;
    }
    return (int)text.size();
}

const char* InputName(int input)
{
    switch (input) {
    case CARD_VIDEO_COMPOSITE: return "composite";
    case CARD_VIDEO_SVIDEO: return "svideo";
    default: return "tuner";
    }
}

const char* AudioName(int input)
{
    switch (input) {
    case CARD_AUDIO_TUNER: return "tuner";
    case CARD_AUDIO_LINE: return "line";
    default: return "none";
    }
}

}  // namespace

int CardCtl_PressKey(int code)
{
    return CardPressKey(code) ? 1 : 0;
}

int CardCtl_PendingKey(void)
{
    return CardPendingKey();
}

int CardCtl_LearnRemote(int id0, int id1)
{
    if (id0 < 0 || id0 > 255 || id1 < 0 || id1 > 255)
        return 0;
    CardLearnRemote((BYTE)id0, (BYTE)id1);
    return 1;
}

int CardCtl_GetStations(char* buffer, int size)
{
    return CopyOut(CardFormatStations(CardStations()), buffer, size);
}

int CardCtl_SetStations(const char* text)
{
    std::vector<CardStation> stations;
    if (!text || !CardParseStations(text, &stations))
        return -1;
    CardSetStations(stations);
    CardLog("SetStations %d", (int)stations.size());
    return (int)stations.size();
}

int CardCtl_GetLog(char* buffer, int size)
{
    std::string text;
    for (const std::string& line : CardLogLines())
        text += line + "\n";
    return CopyOut(text, buffer, size);
}

void CardCtl_ClearLog(void)
{
    CardClearLog();
}

int CardCtl_SetDeviceCount(int count)
{
    if (count < 0)
        return 0;
    CardSetDeviceCount(count);
    return 1;
}

int CardCtl_DeviceCount(void)
{
    return CardDeviceCount();
}

int CardCtl_FailCall(const char* call, int times)
{
    return CardFailCall(call, times) ? 1 : 0;
}

int CardCtl_SetPreviewPin(int enabled)
{
    CardSetPreviewPinEnabled(enabled ? TRUE : FALSE);
    return 1;
}

int CardCtl_SetInvertMode(const char* mode)
{
    static const char* const kModes[] = {"off", "flip", "negative"};
    for (int i = 0; mode && i < 3; i++) {
        if (strcmp(mode, kModes[i]) == 0) {
            CardSetInvertMode(i);
            return 1;
        }
    }
    return 0;
}

double CardCtl_TunedFrequency(void)
{
    return CardTunedFrequency();
}

int CardCtl_LiveObjects(void)
{
    return (int)CardLiveObjects();
}

int CardCtl_GetStatus(char* buffer, int size)
{
    char text[512];
    CardStation station;
    BOOL onStation = CardTunedStation(&station);
    BYTE id[2];
    CardRemoteId(id);
    char remote[32];
    if (CardRemoteLearnt())
        snprintf(remote, sizeof(remote), "%02X %02X", id[0], id[1]);
    else
        snprintf(remote, sizeof(remote), "none learnt");
    snprintf(text, sizeof(text),
             "tuner: %.3f MHz\n"
             "station: %s\n"
             "video input: %s\n"
             "audio input: %s\n"
             "locked: %s\n"
             "pending key: %d\n"
             "remote: %s\n"
             "devices: %d\n"
             "preview pin: %s\n"
             "invert: %s\n"
             "live objects: %ld\n",
             CardTunedFrequency(), onStation ? station.name : "(none)", InputName(CardVideoInput()),
             AudioName(CardAudioInput()), CardSignalLocked() ? "yes" : "no", CardPendingKey(), remote,
             CardDeviceCount(), CardPreviewPinEnabled() ? "yes" : "no",
             CardInvertMode() == CARD_INVERT_FLIP       ? "flip"
             : CardInvertMode() == CARD_INVERT_NEGATIVE ? "negative"
                                                        : "off",
             CardLiveObjects());
    return CopyOut(text, buffer, size);
}

int CardCtl_Reset(void)
{
    CardReset();
    return 1;
}
