// The last four channels tuned, most recent first, kept in histroy.his in the
// program folder (the file has always been spelled so). One list per process
// (g_pHistoryList); the video window's menu shows it.
#pragma once
#include <windows.h>
#include "AfxMap.h"
#include "ChannelRecord.h"

struct HistoryRecord {
    int nPosition;          // place in the list, 0 = most recent; -1 before it is added
    int nList;              // 1 antenna, 2 cable; -1 for a channel not in the store
    int nInStore;           // 1: copied from the channel store; 0: made from the country plan
    int nMenuId;            // command id of its menu item; -1 until the menu is built
    ChannelRecord channel;
};

class CChannelHistory {
public:
    enum { MAX_ENTRIES = 4 };

    CChannelHistory();
    virtual ~CChannelHistory();

    // Replaces the list by the file's, in the file's order (at most four).
    // A missing count means an empty file; a short record empties the list.
    BOOL Load(const char* pszPath);
    // FALSE for an empty list (the file is left alone) or a failed write.
    BOOL Save(const char* pszPath);

    // Remembers a tuned channel: the stored record when the store has it,
    // else one made from the settings' country plan.
    BOOL AddChannel(int nNumber, int nList);
    // TRUE when the record was added (the oldest of four making room); FALSE
    // when an equal entry was there (moved to the front if bMoveIfPresent).
    BOOL AddEntry(const HistoryRecord* pRec, BOOL bMoveIfPresent);
    // Overwrites the first entry of the same list, in-store flag and channel
    // number, keeping its position.
    BOOL Update(const HistoryRecord* pRec);
    BOOL RemoveAt(int nPosition);
    BOOL RemoveAll();

    int GetCount() const { return m_nCount; }
    HistoryRecord* GetAt(int nPosition) const;
    HistoryRecord* GetFirst() const { return GetAt(0); }
    HistoryRecord* GetLast() const { return GetAt(m_nCount - 1); }
    HistoryRecord* GetNext(int nPosition) const { return GetAt(nPosition + 1); }
    BOOL SetMenuId(int nPosition, int nId);
    HistoryRecord* FindByMenuId(int nId) const;
    BOOL Swap(int nPositionA, int nPositionB);
    void MoveToFront(int nPosition);

private:
    CChannelHistory(const CChannelHistory&) = delete;
    CChannelHistory& operator=(const CChannelHistory&) = delete;

    int m_nCount;
    CMap<int, int, HistoryRecord*, HistoryRecord*> m_map;  // position -> entry
};

// Same list, in-store flag, skip flag, flag, number and name, and frequencies
// less than 0.0001 MHz apart.
BOOL HistoryRecordsEqual(const HistoryRecord& a, const HistoryRecord& b);
