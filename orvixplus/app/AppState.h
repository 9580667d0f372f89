// What the TV program is doing right now: mode, input source and a busy count
// that keeps scheduled work out of modal interactions. Every window asks it
// before acting; changes of mode or source re-enable the main window's skin
// elements.
#pragma once
#include <windows.h>

enum AppMode {
    MODE_TV_VIEW = 1,
    MODE_TV_RECORD = 2,
    MODE_PLAY_FILE = 3,
    MODE_SCAN = 4,
    MODE_TV_WALL = 5,
    MODE_NUMBER_BUTTONS = 6,
    MODE_NUMBER_KEYS = 7,
    MODE_COMPOSITE_VIEW = 8,
    MODE_COMPOSITE_RECORD = 9,
    MODE_SVIDEO_VIEW = 10,
    MODE_SVIDEO_RECORD = 11,
    MODE_FM_RADIO = 12,
};

enum AppSource {
    SOURCE_ANTENNA = 16,
    SOURCE_CABLE = 17,
    SOURCE_COMPOSITE = 18,
    SOURCE_SVIDEO = 19,
    SOURCE_RADIO = 20,
};

class CAppState {
public:
    CAppState() : m_nMode(MODE_TV_VIEW), m_nSource(SOURCE_CABLE), m_nBusyCount(0) {}
    virtual ~CAppState() {}

    void SetMode(int nMode);
    // With bNotify the main dialog gets WM_APP_SOURCE_CHANGED, synchronously.
    void SetSource(int nSource, BOOL bNotify);
    int GetMode() const { return m_nMode; }
    int GetSource() const { return m_nSource; }

    // Returns count + 1 or count - 1; the stored count never goes below 0.
    int ChangeBusyCount(BOOL bIncrement);
    BOOL IsBusy() const { return m_nBusyCount > 0; }

    BOOL IsTvViewing() const { return m_nMode == MODE_TV_VIEW; }
    BOOL IsTvRecord() const { return m_nMode == MODE_TV_RECORD; }
    BOOL IsPlayingFile() const { return m_nMode == MODE_PLAY_FILE; }
    BOOL IsScanning() const { return m_nMode == MODE_SCAN; }
    BOOL IsTvWall() const { return m_nMode == MODE_TV_WALL; }
    BOOL IsNumberButtonEntry() const { return m_nMode == MODE_NUMBER_BUTTONS; }
    BOOL IsNumberKeyEntry() const { return m_nMode == MODE_NUMBER_KEYS; }
    BOOL IsCompositeViewing() const { return m_nMode == MODE_COMPOSITE_VIEW; }
    BOOL IsCompositeRecord() const { return m_nMode == MODE_COMPOSITE_RECORD; }
    BOOL IsSVideoViewing() const { return m_nMode == MODE_SVIDEO_VIEW; }
    BOOL IsSVideoRecord() const { return m_nMode == MODE_SVIDEO_RECORD; }
    BOOL IsFmRadio() const { return m_nMode == MODE_FM_RADIO; }

    BOOL IsSourceAntenna() const { return m_nSource == SOURCE_ANTENNA; }
    BOOL IsSourceCable() const { return m_nSource == SOURCE_CABLE; }
    BOOL IsSourceComposite() const { return m_nSource == SOURCE_COMPOSITE; }
    BOOL IsSourceSVideo() const { return m_nSource == SOURCE_SVIDEO; }
    BOOL IsSourceRadio() const { return m_nSource == SOURCE_RADIO; }
    BOOL IsTunerSource() const { return IsSourceAntenna() || IsSourceCable(); }

private:
    int m_nMode;
    int m_nSource;
    int m_nBusyCount;
};

// The source and mode the program starts in for the saved input source
// (1 antenna .. 5 FM radio); FALSE for any other value.
BOOL StartupSourceAndMode(int nInputSource, int* pnSource, int* pnMode);

// Installed as the message-box notifier while the main dialog runs: a box
// runs a message loop, and timed work in it must see the program busy until
// the box is answered.
void NoteMessageBox(BOOL bBegin);
// Boxes open now.
LONG OpenMessageBoxes();
