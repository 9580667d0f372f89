// OrvixPlus's schedule: the entries in list order (the order of the file and
// of the schedule window's rows), the item the Schedule - Add dialog fills,
// and the state of the scheduled run in progress.
#pragma once
#include "AfxCore.h"
#include "ScheduleItem.h"

class CScheduleList : public CObject {
    DECLARE_DYNAMIC(CScheduleList)
public:
    CScheduleList();
    ~CScheduleList() override;

    // Replaces the entries with the file's; FALSE (entries kept) when the file
    // cannot be read.
    BOOL Load(LPCSTR path);
    // FALSE when the file could not be written in full; the old file then stays.
    BOOL Save(LPCSTR path) const;

    BOOL RemoveAll();
    int GetCount() const;
    // NULL for an index outside the list.
    CScheduleItem* GetAt(int nIndex) const;
    // Appends a copy of the item.
    BOOL Add(const CScheduleItem* pItem);
    // Deletes the first entry that IsSameEntry matches.
    BOOL Remove(const CScheduleItem* pItem);
    // Entries are told apart by start, duration and repeat only.
    static BOOL IsSameEntry(const CScheduleItem* pFirst, const CScheduleItem* pSecond);
    int FindIndex(const CScheduleItem* pItem) const;

    // These read "now" from ScheduleNow().
    CScheduleItem* FindDueItem() const;
    BOOL RemoveFinishedOnceItems();
    BOOL HasConflict(const CScheduleItem* pItem) const;

    // Scheduled run.
    int EndScheduledRun();
    // Tells the main window (WM_SCHEDULED_RUN_CANCELLED, sent) that a run is
    // being cut short, then marks the run over.
    int CancelScheduledRun();
    BOOL IsShutdownPending() const { return m_nAfterAction == SCHEDULE_AFTER_SHUTDOWN; }
    BOOL IsStandbyPending() const { return m_nAfterAction == SCHEDULE_AFTER_STANDBY; }
    void ClearAuxFlags();

    CScheduleItem m_editItem;       // filled by the Schedule - Add dialog
    LONG m_nAfterAction;            // of the entry that is running
    BOOL m_bRecordingActive;
    BOOL m_bViewingActive;
    LONG m_nAuxFlag1;               // further run state kept for the scheduled run
    LONG m_nAuxFlag2;

protected:
    // Takes ownership; FALSE (item deleted) when it cannot be stored.
    BOOL Append(CScheduleItem* pItem);
    void DeleteAt(int nIndex);

    CPtrArray m_items;              // owned CScheduleItem pointers
};
