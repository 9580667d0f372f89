// The tuner's two channel lists (1 antenna, 2 cable), each a map from channel
// number to an owned ChannelRecord, with the channel file OrvixPlusChannels.chl,
// the default lists from the country's plans, stepping and channel switching.
// One store per process (g_pChannelStore). The settings window's channel list
// points at the stored records, so edits there change the store in place.
//
// A list number other than 1 or 2 changes nothing and reports failure.
#pragma once
#include <windows.h>
#include "AfxMap.h"
#include "AfxArray.h"
#include "ChannelRecord.h"

class CChannelStore {
public:
    CChannelStore();
    virtual ~CChannelStore();

    // Replaces both lists by the file's; on any failure the store keeps what
    // it had. FALSE for a NULL path, an unreadable or damaged file.
    BOOL Load(const char* pszPath);
    // FALSE when the file cannot be opened, written or closed.
    BOOL Save(const char* pszPath);
    // Writes the settings' country's default channel file; the store is not
    // touched. A list whose plan is missing is written empty and the result is
    // FALSE.
    static BOOL CreateDefault(const char* pszPath);
    // Rebuilds both lists from the settings' country; a list without a plan
    // is left empty and the result is FALSE. Without a table nothing changes.
    // Current channels stay.
    BOOL FillDefault();
    void RemoveAll();
    // Empties one list only (a scan rebuilds just the band it scans).
    void RemoveAll(int nList);

    int GetMinChannel(int nList) const;   // -1: empty or invalid list
    int GetMaxChannel(int nList) const;   // -1: empty or invalid list
    int GetCount(int nList) const;        // -1: invalid list
    void SetCount(int nCount, int nList);
    int GetCurrent(int nList) const;      // -1: invalid list
    void SetCurrent(int nNumber, int nList);
    BOOL Exists(int nNumber, int nList) const;
    // The numbers stored in a list, ascending (empty for an invalid list).
    void GetNumbers(int nList, CArray<int, int>& numbers) const;
    int IsSkipped(int nNumber, int nList) const;
    BOOL GetChannel(int nNumber, int nList, ChannelRecord* pOut) const;
    // The stored record itself (the settings window's rows point at it).
    ChannelRecord* GetChannelPtr(int nNumber, int nList) const;
    BOOL UpdateChannel(int nNumber, int nList, const ChannelRecord* pRec);
    // Takes ownership on success; on FALSE the caller keeps the record.
    BOOL Add(int nList, ChannelRecord* pRec);
    // Files the record under nNumber without counting it (swapping two rows).
    void ReplaceChannelPtr(int nNumber, int nList, ChannelRecord* pRec);

    // The next / previous channel after nCurrent that exists and is not
    // skipped, wrapping round; FALSE when there is none other than nCurrent.
    BOOL NextChannel(int nCurrent, int nList, ChannelRecord* pOut) const;
    BOOL PrevChannel(int nCurrent, int nList, ChannelRecord* pOut) const;

    // Switching channels (g_pTuningHost, the channel copies, the history).
    BOOL InitChannelCopies(int nNumber, int nList);
    BOOL SelectChannel(int nNumber, int nList, BOOL bNotify);
    BOOL SelectChannelInRange(int nNumber, int nList, BOOL bNotify);
    BOOL SelectChannelNumber(int nNumber, int nList, BOOL bNotify);
    BOOL SelectChannelQuiet(int nNumber, int nList);
    BOOL RecallPreviousChannel();
    BOOL ShowChannelCaption();
    int GetLastTuned() const { return m_nLastTuned; }

private:
    typedef CMap<int, int, ChannelRecord*, ChannelRecord*> CChannelMap;

    CChannelMap* MapOf(int nList);
    const CChannelMap* MapOf(int nList) const;
    int* CountOf(int nList);
    BOOL Step(int nCurrent, int nList, BOOL bForward, ChannelRecord* pOut) const;
    BOOL ShiftChannelCopies(int nNumber, int nList);
    BOOL SelectStored(int nNumber, int nList, BOOL bNotify, BOOL bTestSkip);
    void TuneRecord(int nNumber, const ChannelRecord& rec, int nList, UINT nFlags,
                    DWORD dwSettleMs);
    static void ShowTexts(int nNumber, const char* pszName);

    CChannelMap m_mapAir;
    CChannelMap m_mapCable;
    int m_nCurrentAir;
    int m_nCurrentCable;
    int m_nCountAir;
    int m_nCountCable;
    int m_nLastTuned;
};
