#include "CardState.h"
#include <math.h>
#include <stddef.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

const DWORD kMagic = 0x44524143;  // "CARD"
const int kMaxFailures = 16;
const int kFailureName = 32;
// The tuner reads its frequency from the divider: f = divider / 16 - IF.
const double kTunerIfMHz = 38.875;
const double kLockToleranceMHz = 0.5;

struct Failure {
    char name[kFailureName];
    int times;  // -1: always
};

}  // namespace

struct CardState {
    DWORD magic;
    DWORD size;
    double tunedMHz;
    BYTE tunerBytes[4];
    int videoInput;
    int audioInput;
    int pendingKey;
    int keysToCome[CARD_KEYS_IN_A_ROW];  // of CardPressKeys, after pendingKey
    int keysToComeCount;
    DWORD keyPauseMs;  // between a read and the next key of the row
    // Tick count at which the next key of the row is latched; it waits while
    // no key is pending and some are still to come.
    DWORD nextKeyAt;
    BYTE remoteId[2];
    BOOL remoteLearnt;
    int idReadIndex;  // which ID byte the next read at 0xC1 returns
    int deviceCount;
    BOOL previewPin;
    int invertMode;  // a CardInvertModeKind
    int stationCount;
    CardStation stations[CARD_MAX_STATIONS];
    Failure failures[kMaxFailures];
    DWORD logWritten;  // lines ever written; the ring holds the last CARD_LOG_LINES
    char log[CARD_LOG_LINES][CARD_LOG_LINE];
    volatile LONG liveObjects;  // last: a reset clears everything before it
};

namespace {

struct Shared {
    CardState* state;
    HANDLE mutex;
};

void PowerOn(CardState* s, const std::vector<CardStation>& stations)
{
    // The live-object count is kept by interlocked operations outside the
    // lock, so it is left out of the reset rather than saved and put back:
    // an object made or released meanwhile would be lost from the count.
    memset(s, 0, offsetof(CardState, liveObjects));
    s->magic = kMagic;
    s->size = sizeof(*s);
    s->videoInput = CARD_VIDEO_TUNER;
    s->audioInput = CARD_AUDIO_TUNER;
    s->deviceCount = 1;
    s->previewPin = TRUE;
    s->stationCount = (int)stations.size();
    for (int i = 0; i < s->stationCount; i++)
        s->stations[i] = stations[i];
}

std::string InstanceSuffix()
{
    char name[64] = "";
    DWORD n = GetEnvironmentVariableA("ORVIX_CARD", name, sizeof(name));
    if (n == 0 || n >= sizeof(name))
        return "";
    return std::string(".") + name;
}

Shared OpenShared()
{
    Shared sh = { NULL, NULL };
    std::string suffix = InstanceSuffix();
    HANDLE mutex = CreateMutexA(NULL, FALSE, ("OrvixCard.Lock" + suffix).c_str());
    if (!mutex)
        return sh;
    WaitForSingleObject(mutex, INFINITE);  // an abandoned lock is ours as well
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                        sizeof(CardState), ("OrvixCard.State" + suffix).c_str());
    CardState* s = section ? (CardState*)MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0) : NULL;
    // The handle stays open for the life of the process: under Wine a view
    // alone does not keep the section's name, and other processes would get
    // a card of their own.
    if (s && (s->magic != kMagic || s->size != sizeof(CardState)))
        PowerOn(s, CardLoadStationsFile(CardStationsFilePath()));
    ReleaseMutex(mutex);
    if (!s) {
        if (section)
            CloseHandle(section);
        CloseHandle(mutex);
        return sh;
    }
    sh.state = s;
    sh.mutex = mutex;
    return sh;
}

const Shared& TheShared()
{
    static Shared sh = OpenShared();
    return sh;
}

// Holds the card's lock for one operation on the shared state.
class Locked {
public:
    Locked() : sh_(TheShared())
    {
        if (sh_.state)
            WaitForSingleObject(sh_.mutex, INFINITE);
    }
    ~Locked()
    {
        if (sh_.state)
            ReleaseMutex(sh_.mutex);
    }
    CardState* operator->() const { return sh_.state; }
    explicit operator bool() const { return sh_.state != NULL; }
private:
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    const Shared& sh_;
};

void LogLocked(CardState* s, const char* format, va_list args)
{
    char* line = s->log[s->logWritten % CARD_LOG_LINES];
    vsnprintf(line, CARD_LOG_LINE, format, args);
    line[CARD_LOG_LINE - 1] = 0;
    s->logWritten++;
}

void LogLockedF(CardState* s, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogLockedF(CardState* s, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    LogLocked(s, format, args);
    va_end(args);
}

BOOL StationNear(const CardState* s, double freqMHz, CardStation* out)
{
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < s->stationCount; i++) {
        double d = fabs(s->stations[i].freqMHz - freqMHz);
        if (d <= kLockToleranceMHz && (best < 0 || d < bestDistance)) {
            best = i;
            bestDistance = d;
        }
    }
    if (best < 0)
        return FALSE;
    if (out)
        *out = s->stations[best];
    return TRUE;
}

std::string HexBytes(const BYTE* data, int length)
{
    std::string text;
    char hex[4];
    for (int i = 0; i < length; i++) {
        snprintf(hex, sizeof(hex), i ? " %02X" : "%02X", data[i]);
        text += hex;
        if (text.size() > 48) {  // a log line shows the start of long transfers
            text += " ...";
            break;
        }
    }
    return text;
}

bool IsTunerBand(BYTE band) { return band == 1 || band == 2 || band == 8; }

// The receiver's part of the command is in its last byte: the first can be a
// tuner divider byte as well, so 0x12 alone says nothing.
const BYTE kRemoteSetId = 0xCD;
const BYTE kRemotePair = 0xC1;
const BYTE kTunerControl = 0xCE;

}  // namespace

CardState* CardStateOpen()
{
    return TheShared().state;
}

void CardReset()
{
    std::vector<CardStation> stations = CardLoadStationsFile(CardStationsFilePath());
    Locked s;
    if (s)
        PowerOn(s.operator->(), stations);
}

double CardTunedFrequency()
{
    Locked s;
    return s ? s->tunedMHz : 0.0;
}

void CardLastTunerBytes(BYTE bytes[4])
{
    Locked s;
    memset(bytes, 0, 4);
    if (s)
        memcpy(bytes, s->tunerBytes, 4);
}

BOOL CardStationAt(double freqMHz, CardStation* out)
{
    Locked s;
    return s ? StationNear(s.operator->(), freqMHz, out) : FALSE;
}

BOOL CardTunedStation(CardStation* out)
{
    Locked s;
    return s ? StationNear(s.operator->(), s->tunedMHz, out) : FALSE;
}

BOOL CardSignalLocked()
{
    Locked s;
    if (!s)
        return FALSE;
    if (s->videoInput != CARD_VIDEO_TUNER)
        return TRUE;
    return StationNear(s.operator->(), s->tunedMHz, NULL);
}

int CardVideoInput()
{
    Locked s;
    return s ? s->videoInput : CARD_VIDEO_TUNER;
}

void CardSetVideoInput(int input)
{
    if (input < CARD_VIDEO_TUNER || input > CARD_VIDEO_SVIDEO)
        return;
    Locked s;
    if (s)
        s->videoInput = input;
}

int CardAudioInput()
{
    Locked s;
    return s ? s->audioInput : CARD_AUDIO_TUNER;
}

void CardSetAudioInput(int input)
{
    if (input < CARD_AUDIO_NONE || input > CARD_AUDIO_LINE)
        return;
    Locked s;
    if (s)
        s->audioInput = input;
}

std::vector<CardStation> CardStations()
{
    Locked s;
    std::vector<CardStation> list;
    if (s)
        list.assign(s->stations, s->stations + s->stationCount);
    return list;
}

void CardSetStations(const std::vector<CardStation>& stations)
{
    Locked s;
    if (!s)
        return;
    size_t count = stations.size() < (size_t)CARD_MAX_STATIONS ? stations.size() : (size_t)CARD_MAX_STATIONS;
    s->stationCount = (int)count;
    for (int i = 0; i < s->stationCount; i++) {
        s->stations[i] = stations[i];
        s->stations[i].name[CARD_STATION_NAME - 1] = 0;
    }
}

BOOL CardPressKey(int code)
{
    if (code < 0 || code > 31)
        return FALSE;
    Locked s;
    if (!s)
        return FALSE;
    s->pendingKey = code;
    s->keysToComeCount = 0;
    LogLockedF(s.operator->(), "PressKey %d", code);
    return TRUE;
}

BOOL CardPressKeys(const std::vector<int>& codes, DWORD pauseMs)
{
    if (codes.empty() || codes.size() > CARD_KEYS_IN_A_ROW)
        return FALSE;
    for (int code : codes)
        if (code < 1 || code > 31)
            return FALSE;
    Locked s;
    if (!s)
        return FALSE;
    s->pendingKey = codes[0];
    s->keysToComeCount = (int)codes.size() - 1;
    for (int i = 1; i < (int)codes.size(); i++)
        s->keysToCome[i - 1] = codes[i];
    s->keyPauseMs = pauseMs;
    LogLockedF(s.operator->(), "PressKey %d", codes[0]);
    return TRUE;
}

namespace {

void LatchNextKey(CardState* s)
{
    s->pendingKey = s->keysToCome[0];
    s->keysToComeCount--;
    memmove(s->keysToCome, s->keysToCome + 1, s->keysToComeCount * sizeof(s->keysToCome[0]));
    LogLockedF(s, "PressKey %d", s->pendingKey);
}

}  // namespace

int CardPendingKey()
{
    Locked s;
    if (!s)
        return 0;
    if (!s->pendingKey && s->keysToComeCount > 0 &&
        (LONG)(GetTickCount() - s->nextKeyAt) >= 0)
        LatchNextKey(s.operator->());
    return s->pendingKey;
}

void CardConsumeKey(int code)
{
    Locked s;
    if (!s || !code || s->pendingKey != code)
        return;
    s->pendingKey = 0;
    if (s->keysToComeCount > 0) {
        if (s->keyPauseMs == 0) {
            LatchNextKey(s.operator->());
        } else {
            s->nextKeyAt = GetTickCount() + s->keyPauseMs;
        }
    }
}

void CardLearnRemote(BYTE id0, BYTE id1)
{
    Locked s;
    if (!s)
        return;
    s->remoteId[0] = id0;
    s->remoteId[1] = id1;
    s->remoteLearnt = TRUE;
    s->idReadIndex = 0;
    LogLockedF(s.operator->(), "LearnRemote %02X %02X", id0, id1);
}

BOOL CardRemoteLearnt()
{
    Locked s;
    return s ? s->remoteLearnt : FALSE;
}

void CardRemoteId(BYTE id[2])
{
    Locked s;
    id[0] = s ? s->remoteId[0] : 0;
    id[1] = s ? s->remoteId[1] : 0;
}

BOOL CardI2CWrite(int slave, const BYTE* data, int length)
{
    Locked s;
    if (!s || !data || length < 0)
        return FALSE;
    std::string bytes = HexBytes(data, length);
    if (slave != 0xC0) {
        LogLockedF(s.operator->(), "I2CWrite %02X: %s (no answer)", slave & 0xFF, bytes.c_str());
        return FALSE;
    }
    if (length == 4 && data[2] == kTunerControl && IsTunerBand(data[3])) {
        int divider = (data[0] << 8) | data[1];
        s->tunedMHz = divider / 16.0 - kTunerIfMHz;
        memcpy(s->tunerBytes, data, 4);
        LogLockedF(s.operator->(), "I2CWrite C0: %s (tuner %.3f MHz)", bytes.c_str(), s->tunedMHz);
    } else if (length == 4 && data[0] == 0x12 && data[3] == kRemoteSetId) {
        // An ID of 0, 0 is what a missing remote.ini gives: no remote, so a
        // remote learnt earlier is kept.
        if (data[1] || data[2]) {
            s->remoteId[0] = data[1];
            s->remoteId[1] = data[2];
            s->remoteLearnt = TRUE;
        }
        s->idReadIndex = 0;
        LogLockedF(s.operator->(), "I2CWrite C0: %s (remote ID)", bytes.c_str());
    } else if (length == 4 && data[0] == 0x12 && data[3] == kRemotePair) {
        s->remoteLearnt = FALSE;  // waits for a remote to learn
        s->idReadIndex = 0;
        LogLockedF(s.operator->(), "I2CWrite C0: %s (remote pairing)", bytes.c_str());
    } else {
        LogLockedF(s.operator->(), "I2CWrite C0: %s (ignored)", bytes.c_str());
    }
    return TRUE;
}

BOOL CardI2CRead(int slave, BYTE* data, int length)
{
    Locked s;
    if (!s || !data || length < 0)
        return FALSE;
    if (slave != 0xC1) {
        LogLockedF(s.operator->(), "I2CRead %02X: %d bytes (no answer)", slave & 0xFF, length);
        return FALSE;
    }
    for (int i = 0; i < length; i++) {
        if (s->remoteLearnt) {
            data[i] = s->remoteId[s->idReadIndex];
            s->idReadIndex ^= 1;
        } else {
            data[i] = 'z';
        }
    }
    LogLockedF(s.operator->(), "I2CRead C1: %s", HexBytes(data, length).c_str());
    return TRUE;
}

int CardDeviceCount()
{
    Locked s;
    return s ? s->deviceCount : 1;
}

void CardSetDeviceCount(int count)
{
    Locked s;
    if (s)
        s->deviceCount = count < 0 ? 0 : count;
}

BOOL CardPreviewPinEnabled()
{
    Locked s;
    return s ? s->previewPin : TRUE;
}

void CardSetPreviewPinEnabled(BOOL enabled)
{
    Locked s;
    if (s)
        s->previewPin = enabled ? TRUE : FALSE;
}

int CardInvertMode()
{
    Locked s;
    return s ? s->invertMode : CARD_INVERT_OFF;
}

void CardSetInvertMode(int mode)
{
    if (mode < CARD_INVERT_OFF || mode > CARD_INVERT_NEGATIVE)
        return;
    Locked s;
    if (s)
        s->invertMode = mode;
}

BOOL CardFailCall(const char* call, int times)
{
    if (!call || !*call || strlen(call) >= (size_t)kFailureName || times < -1)
        return FALSE;
    Locked s;
    if (!s)
        return FALSE;
    Failure* freeSlot = NULL;
    for (int i = 0; i < kMaxFailures; i++) {
        Failure& f = s->failures[i];
        if (f.times != 0 && strcmp(f.name, call) == 0) {
            f.times = times;
            return TRUE;
        }
        if (f.times == 0 && !freeSlot)
            freeSlot = &f;
    }
    if (times == 0)
        return TRUE;
    if (!freeSlot)
        return FALSE;
    strcpy(freeSlot->name, call);
    freeSlot->times = times;
    return TRUE;
}

BOOL CardShouldFail(const char* call)
{
    Locked s;
    if (!s || !call)
        return FALSE;
    for (int i = 0; i < kMaxFailures; i++) {
        Failure& f = s->failures[i];
        if (f.times != 0 && strcmp(f.name, call) == 0) {
            if (f.times > 0)
                f.times--;
            return TRUE;
        }
    }
    return FALSE;
}

void CardLog(const char* format, ...)
{
    Locked s;
    if (!s)
        return;
    va_list args;
    va_start(args, format);
    LogLocked(s.operator->(), format, args);
    va_end(args);
}

namespace {

std::vector<std::string> ReadLog(bool clear)
{
    Locked s;
    std::vector<std::string> lines;
    if (!s)
        return lines;
    DWORD first = s->logWritten > CARD_LOG_LINES ? s->logWritten - CARD_LOG_LINES : 0;
    for (DWORD i = first; i < s->logWritten; i++)
        lines.push_back(s->log[i % CARD_LOG_LINES]);
    if (clear)
        s->logWritten = 0;
    return lines;
}

}  // namespace

std::vector<std::string> CardLogLines()
{
    return ReadLog(false);
}

std::vector<std::string> CardTakeLogLines()
{
    return ReadLog(true);
}

void CardClearLog()
{
    Locked s;
    if (s)
        s->logWritten = 0;
}

void CardLock()
{
    const Shared& sh = TheShared();
    if (sh.state)
        WaitForSingleObject(sh.mutex, INFINITE);
}

void CardUnlock()
{
    const Shared& sh = TheShared();
    if (sh.state)
        ReleaseMutex(sh.mutex);
}

void CardObjectCreated()
{
    if (CardState* s = CardStateOpen())
        InterlockedIncrement(&s->liveObjects);
}

void CardObjectDestroyed()
{
    if (CardState* s = CardStateOpen())
        InterlockedDecrement(&s->liveObjects);
}

LONG CardLiveObjects()
{
    CardState* s = CardStateOpen();
    return s ? s->liveObjects : 0;
}
