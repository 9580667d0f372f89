// One tuned channel, the channel file's header, and the process-wide copies of
// the channel now tuned and the one tuned before it. The record's bytes are
// the same in memory, in OrvixPlusChannels.chl and inside histroy.his.
#pragma once
#include <windows.h>

enum { CHANNEL_NAME_SIZE = 32 };

struct ChannelRecord {
    int nSkip;          // non-zero: left out of stepping, SelectChannel refuses it
    int nFlag;          // 1 when made from the country table or by a scan
    char szName[CHANNEL_NAME_SIZE];  // NUL-terminated
    float fFrequency;   // MHz
    int nNumber;        // 1-based; the key of the record in its list
};

struct ChannelFileHeader {
    int nCurrentAir;    // current channel number of list 1 (antenna)
    int nCurrentCable;  // current channel number of list 2 (cable)
    int nCountAir;      // records of list 1 that follow the header
    int nCountCable;    // records of list 2 that follow list 1's
};

// The two channel lists, as the store and the channel file number them.
enum { CHANNEL_LIST_AIR = 1, CHANNEL_LIST_CABLE = 2 };

// FALSE if either pointer is NULL.
BOOL CopyChannelRecord(const ChannelRecord* pSource, ChannelRecord* pDest);

// {skip 0, flag, "Channel<number>", frequency in Hz as MHz, number}.
void MakeChannelRecord(ChannelRecord* pRec, int nNumber, int nFrequencyHz, int nFlag);

// The recall copy of the channel now tuned, and the channel tuned before it;
// g_pCurrentChannel (Globals.h) is the third copy. Each is allocated on first
// use and may be NULL.
extern ChannelRecord* g_pTunedChannel;
extern ChannelRecord* g_pPreviousChannel;

// Frees all three copies (the main dialog's exit).
void FreeChannelCopies();
