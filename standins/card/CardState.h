// The simulated capture card as every process sees it: one named shared-memory
// section guarded by one named mutex. OrvixPlus tunes it, Timewarden reads its
// remote, the filters draw what it is tuned to, and tests and cardctl.exe
// inspect and steer it.
//
// Every function opens the section on first use and takes the lock itself, so
// callers never see the raw memory. When the section cannot be had (it should
// not happen) the getters return the power-on values and the setters do nothing.
//
// The environment variable ORVIX_CARD, read once per process, names a private
// card instance: test executables that run side by side each set their own so
// that one test's key presses and failures do not reach another. Child
// processes inherit it and so share the card of the test that started them.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

enum {
    CARD_MAX_STATIONS = 32,
    CARD_STATION_NAME = 32,   // bytes, NUL included
    CARD_LOG_LINE = 96,       // bytes, NUL included
    CARD_LOG_LINES = 512,
    CARD_KEYS_IN_A_ROW = 16,  // CardPressKeys
};

// What the crossbar routes to the decoder.
enum CardVideoInputKind { CARD_VIDEO_TUNER = 0, CARD_VIDEO_COMPOSITE = 1, CARD_VIDEO_SVIDEO = 2 };
enum CardAudioInputKind { CARD_AUDIO_NONE = -1, CARD_AUDIO_TUNER = 0, CARD_AUDIO_LINE = 1 };

// A station on the air: what the tuner finds near its frequency.
struct CardStation {
    char name[CARD_STATION_NAME];  // GBK
    double freqMHz;
    int pattern;                   // which test picture the generator draws
};

struct CardState;  // the shared memory; opaque outside CardState.cpp

// Maps the section (once per process). NULL only when the system refuses.
CardState* CardStateOpen();

// Back to the power-on state: stations reloaded from the stations file, tuner
// at 0 MHz, tuner input routed, no key, no remote learnt, one device, no
// failures, preview pin present, empty log. The live-object count is left
// alone: objects that exist still exist.
void CardReset();

// --- Tuner -----------------------------------------------------------------
// The frequency the tuner's PLL was last programmed to, 0 before any write.
double CardTunedFrequency();
// The divider and band bytes of the last tuner write ({0,0,0,0} before any).
void CardLastTunerBytes(BYTE bytes[4]);
// The station within 0.5 MHz of freqMHz, copied to *out. FALSE when none.
BOOL CardStationAt(double freqMHz, CardStation* out);
// The station the tuner sits on (CardStationAt of the tuned frequency).
BOOL CardTunedStation(CardStation* out);
// Whether the decoder sees a locked picture: always on composite and S-Video,
// on the tuner only when a station is near the tuned frequency.
BOOL CardSignalLocked();

// --- Crossbar ----------------------------------------------------------------
int CardVideoInput();               // a CardVideoInputKind
void CardSetVideoInput(int input);  // out-of-range values are ignored
int CardAudioInput();               // a CardAudioInputKind
void CardSetAudioInput(int input);

// --- Stations ----------------------------------------------------------------
std::vector<CardStation> CardStations();
// Replaces the stations on the air (at most CARD_MAX_STATIONS; the rest are
// dropped). Does not touch the stations file.
void CardSetStations(const std::vector<CardStation>& stations);
// The stations shipped with the card: six antenna and three cable channels.
std::vector<CardStation> CardDefaultStations();
// Stations file text: one station a line, "frequency pattern name", '#' starts
// a comment. FALSE when a line cannot be read (bad frequency or pattern, or
// more than CARD_MAX_STATIONS stations); *out is then left empty.
BOOL CardParseStations(const std::string& text, std::vector<CardStation>* out);
std::string CardFormatStations(const std::vector<CardStation>& stations);
// cardstations.txt beside the module holding this code (the card DLL).
std::string CardStationsFilePath();
// Reads the stations file; writes it with the defaults first when missing.
// A file that cannot be read gives the defaults (and is left as it is).
std::vector<CardStation> CardLoadStationsFile(const std::string& path);

// --- Remote control ------------------------------------------------------------
// A key pressed on the remote: the receiver latches its 5-bit code until the
// GPIO pins have been read in full. 0 clears it.
BOOL CardPressKey(int code);  // FALSE outside 0..31; drops keys still to come
// Keys pressed in a row: the first is latched now, each next one pauseMs
// after the pins of the one before were read in full (at once for 0, as fast
// as the receiver takes them). At most CARD_KEYS_IN_A_ROW codes, each 1..31;
// FALSE, and nothing pressed, otherwise.
BOOL CardPressKeys(const std::vector<int>& codes, DWORD pauseMs = 0);
int CardPendingKey();
// Called by the GPIO object once all five pins of `code` were read: clears the
// pending key, or latches the next of keys pressed in a row, unless another
// key came in meanwhile.
void CardConsumeKey(int code);
// The receiver learns the remote whose ID is id0, id1 (the user pressed the
// remote's pairing key and the card's Set button).
void CardLearnRemote(BYTE id0, BYTE id1);
BOOL CardRemoteLearnt();
void CardRemoteId(BYTE id[2]);

// --- I2C bus -------------------------------------------------------------------
// One transaction on the card's bus, as the driver's I2C object passes it on.
// Writes to 0xC0 reach the tuner (control byte 0xCE with band 1, 2 or 8) or the
// remote receiver (0x12, a, b, 0xCD or 0xC1); reads at 0xC1 return the
// receiver's ID bytes in turn, 'z' while no remote is learnt. Other addresses
// do not answer: FALSE.
BOOL CardI2CWrite(int slave, const BYTE* data, int length);
BOOL CardI2CRead(int slave, BYTE* data, int length);

// --- Configuration ---------------------------------------------------------------
int CardDeviceCount();             // 0 = no card
void CardSetDeviceCount(int count);  // negative values count as 0
BOOL CardPreviewPinEnabled();
void CardSetPreviewPinEnabled(BOOL enabled);

// What the video invert filter does to the picture: nothing by default (no
// part of the product switches it), upside down, or negative.
enum CardInvertModeKind { CARD_INVERT_OFF = 0, CARD_INVERT_FLIP = 1, CARD_INVERT_NEGATIVE = 2 };
int CardInvertMode();
void CardSetInvertMode(int mode);  // out-of-range values are ignored

// --- Failure injection -------------------------------------------------------------
// Makes the next `times` calls named `call` fail (-1: every call until cleared
// or reset; 0 clears). Names are those the log uses (e.g. "GetDevice",
// "I2CWrite"); any name may be used by any part of the card. FALSE when the
// name is empty or too long, or the table is full.
BOOL CardFailCall(const char* call, int times);
// Whether this call must fail now; counts one failure off.
BOOL CardShouldFail(const char* call);

// --- Log ------------------------------------------------------------------------------
// Driver calls and bus transactions, oldest first, the last CARD_LOG_LINES kept.
void CardLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::vector<std::string> CardLogLines();
// The lines so far, and the log emptied, in one step: no line written
// meanwhile is lost.
std::vector<std::string> CardTakeLogLines();
void CardClearLog();

// --- Holding the card ------------------------------------------------------------------
// Tests only: the calling thread keeps the card's lock until CardUnlock, so
// that every other thread's and process's next card call waits (a remote poll
// stops halfway, say). The holder's own calls go through. Nests.
void CardLock();
void CardUnlock();

// --- Live objects -----------------------------------------------------------------------
// Driver objects alive in all processes together: a process that leaks one
// leaves the count above zero after it has ended.
void CardObjectCreated();
void CardObjectDestroyed();
LONG CardLiveObjects();
