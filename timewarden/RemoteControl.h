// The card's infrared receiver, read through the driver's GPIO pins, and the
// channel number typed on the remote.
#pragma once
#include <windows.h>

// Sent to OrvixPlus's main window: wParam 0 with a key code, 1 with a number.
#define WM_REMOTE_KEY (WM_USER + 109)
enum { REMOTE_KEY_CODE = 0, REMOTE_KEY_NUMBER = 1 };

enum {
    REMOTE_KEY_NONE = 0,
    REMOTE_KEY_DIGIT_ZERO = 10,   // codes 1-9 are the digits 1-9
    REMOTE_KEY_POWER = 18,
    REMOTE_KEY_KEEP = 100         // MapRemoteKey: nothing to forward yet
};

// One read of the 5-bit code (pin n = bit n); *code stays 0 unless every step
// works. Every driver object is released whatever happens. A device without
// its interfaces is reported once per run, not at every poll.
BOOL ReadRemoteCode(int* code);

// The digits typed on the remote: the first starts a number, digits that come
// during the next eleven ticks of 100 ms are appended, the twelfth tick sends
// it. A number keeps at most nine digits, so it always fits an int.
class CDigitEntry {
public:
    enum { kMaxDigits = 9, kSendTick = 11 };
    CDigitEntry();
    // A digit key (0-9).
    void Press(int digit);
    // One tick: the number once it is complete (the entry then starts
    // over), else kTyping.
    enum { kTyping = -1 };
    int Tick();
    BOOL IsActive() const { return m_bActive; }

private:
    void Append(int digit);

    int m_pressed[10];
    int m_pending[10];
    int m_nNumber;
    int m_nDigits;
    int m_nTicks;
    BOOL m_bActive;
};
