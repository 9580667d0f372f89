// OrvixPlus's schedule: the entries in list order (the order of the file and
// of the schedule window's rows), the item the Schedule - Add dialog fills,
// and the state of the scheduled run in progress.
#pragma once
#include "AfxCore.h"
#include "ScheduleItem.h"
#include "ScheduledRun.h"

// Who started the recording that runs now: read through GetRecordingOrigin.
enum RecordingOrigin {
    RECORDING_ORIGIN_NONE = 1,
    RECORDING_ORIGIN_USER = 2,
    RECORDING_ORIGIN_SCHEDULE = 3
};

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
    // Copies the first due entry not yet taken in this due window into
    // pCopy and marks it taken; FALSE when none is due.
    BOOL TakeDueItem(CScheduleItem* pCopy);
    // An entry that ran, was dropped or was refused: removed when it is a
    // once-only entry marked for deletion. TRUE when the list changed.
    BOOL RemoveRunEntry(const CScheduleItem* pEntry);
    int EndScheduledRun();
    // Tells the main window (WM_SCHEDULED_RUN_CANCELLED, sent) that a run is
    // being cut short, then marks the run over.
    int CancelScheduledRun();
    BOOL IsShutdownPending() const { return m_nAfterAction == SCHEDULE_AFTER_SHUTDOWN; }
    BOOL IsStandbyPending() const { return m_nAfterAction == SCHEDULE_AFTER_STANDBY; }
    // Clears the recording origin (none) and the run's elapsed seconds.
    void ClearAuxFlags();
    BOOL IsRunActive() const { return m_bRecordingActive || m_bViewingActive; }

    // A cleared word reads as none: the list starts that way and
    // ClearAuxFlags returns to it.
    int GetRecordingOrigin() const
    {
        return m_nRecordingOrigin == 0 ? RECORDING_ORIGIN_NONE : (int)m_nRecordingOrigin;
    }
    void SetRecordingOrigin(int nOrigin) { m_nRecordingOrigin = nOrigin; }

    CScheduleItem m_editItem;       // filled by the Schedule - Add dialog
    LONG m_nAfterAction;            // of the entry that is running
    BOOL m_bRecordingActive;
    BOOL m_bViewingActive;
    LONG m_nRecordingOrigin;        // RecordingOrigin, 0 = none
    LONG m_nElapsedSeconds;         // of the running run

    // What was shown before the run, put back at its end: the channel list
    // (1 antenna, 2 cable), the mode, the channel number and the source.
    int m_nSavedList;
    int m_nSavedMode;
    int m_nSavedChannel;
    int m_nSavedSource;
    // A copy of the entry being carried out: the list's own may be removed
    // or reloaded meanwhile.
    CScheduleItem m_currentItem;

protected:
    // Takes ownership; FALSE (item deleted) when it cannot be stored.
    BOOL Append(CScheduleItem* pItem);
    void DeleteAt(int nIndex);

    CPtrArray m_items;              // owned CScheduleItem pointers
    CScheduleWindowMemory m_dueTaken;
};
