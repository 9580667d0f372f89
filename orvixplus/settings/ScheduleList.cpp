#include "ScheduleList.h"
#include <new>
#include <vector>
#include "ScheduleFile.h"
#include "ScheduleMessages.h"
#include "ScheduleRules.h"

IMPLEMENT_DYNAMIC(CScheduleList, CObject)

CScheduleList::CScheduleList()
    : m_nAfterAction(SCHEDULE_AFTER_CLOSE),
      m_bRecordingActive(FALSE),
      m_bViewingActive(FALSE),
      m_nRecordingOrigin(0),
      m_nElapsedSeconds(0),
      m_nSavedList(0),
      m_nSavedMode(0),
      m_nSavedChannel(0),
      m_nSavedSource(0)
{
}

CScheduleList::~CScheduleList()
{
    RemoveAll();
}

BOOL CScheduleList::Load(LPCSTR path)
{
    std::vector<ScheduleRecord> records;
    if (!ReadScheduleFile(path, records))
        return FALSE;
    RemoveAll();
    // Without memory for one entry the others are still worth having.
    for (const ScheduleRecord& record : records)
        Append(new (std::nothrow) CScheduleItem(record));
    return TRUE;
}

BOOL CScheduleList::Save(LPCSTR path) const
{
    std::vector<ScheduleRecord> records;
    for (int i = 0; i < GetCount(); i++) {
        if (const CScheduleItem* pItem = GetAt(i))
            records.push_back(pItem->m_record);
    }
    return WriteScheduleFile(path, records.data(), records.size());
}

BOOL CScheduleList::RemoveAll()
{
    for (int i = 0; i < GetCount(); i++)
        delete static_cast<CScheduleItem*>(m_items.GetAt(i));
    m_items.RemoveAll();
    return TRUE;
}

int CScheduleList::GetCount() const
{
    return (int)m_items.GetSize();
}

CScheduleItem* CScheduleList::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return NULL;
    return static_cast<CScheduleItem*>(m_items.GetAt(nIndex));
}

BOOL CScheduleList::Add(const CScheduleItem* pItem)
{
    if (!pItem)
        return FALSE;
    return Append(new (std::nothrow) CScheduleItem(pItem->m_record));
}

BOOL CScheduleList::Remove(const CScheduleItem* pItem)
{
    int nIndex = FindIndex(pItem);
    if (nIndex < 0)
        return FALSE;
    DeleteAt(nIndex);
    return TRUE;
}

BOOL CScheduleList::IsSameEntry(const CScheduleItem* pFirst, const CScheduleItem* pSecond)
{
    return pFirst && pSecond && pFirst->m_record.tStart == pSecond->m_record.tStart &&
           pFirst->m_record.nDuration == pSecond->m_record.nDuration &&
           pFirst->m_record.nRepeat == pSecond->m_record.nRepeat;
}

int CScheduleList::FindIndex(const CScheduleItem* pItem) const
{
    if (!pItem)
        return -1;
    for (int i = 0; i < GetCount(); i++) {
        if (IsSameEntry(GetAt(i), pItem))
            return i;
    }
    return -1;
}

CScheduleItem* CScheduleList::FindDueItem() const
{
    time_t now = ScheduleNow();
    for (int i = 0; i < GetCount(); i++) {
        CScheduleItem* pItem = GetAt(i);
        if (pItem && IsScheduleDue(pItem->m_record, now))
            return pItem;
    }
    return NULL;
}

BOOL CScheduleList::RemoveFinishedOnceItems()
{
    time_t now = ScheduleNow();
    // No step forward after a removal: the next entry has moved into this slot.
    for (int i = 0; i < GetCount();) {
        CScheduleItem* pItem = GetAt(i);
        if (pItem && IsFinishedOnceEntry(pItem->m_record, now))
            DeleteAt(i);
        else
            i++;
    }
    return TRUE;
}

BOOL CScheduleList::HasConflict(const CScheduleItem* pItem) const
{
    if (!pItem)
        return FALSE;
    for (int i = 0; i < GetCount(); i++) {
        const CScheduleItem* pEntry = GetAt(i);
        if (pEntry && DoSchedulesCollide(pItem->m_record, pEntry->m_record))
            return TRUE;
    }
    return FALSE;
}

BOOL CScheduleList::TakeDueItem(CScheduleItem* pCopy)
{
    if (!pCopy)
        return FALSE;
    time_t now = ScheduleNow();
    for (int i = 0; i < GetCount(); i++) {
        const CScheduleItem* pItem = GetAt(i);
        if (pItem && IsScheduleDue(pItem->m_record, now) && !m_dueTaken.IsTaken(pItem->m_record, now)) {
            pCopy->m_record = pItem->m_record;
            m_dueTaken.Take(pItem->m_record, now);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CScheduleList::RemoveRunEntry(const CScheduleItem* pEntry)
{
    return pEntry && LeavesListAfterRun(pEntry->m_record) && Remove(pEntry);
}

int CScheduleList::EndScheduledRun()
{
    m_bRecordingActive = FALSE;
    m_bViewingActive = FALSE;
    return 0;
}

int CScheduleList::CancelScheduledRun()
{
    if (!m_bRecordingActive && !m_bViewingActive)
        return 0;
    // The main window winds the run down while the flags still say what ran.
    if (HWND hMain = GetScheduleMainWindow())
        SendMessageA(hMain, WM_SCHEDULED_RUN_CANCELLED, 0, 0);
    return EndScheduledRun();
}

void CScheduleList::ClearAuxFlags()
{
    m_nRecordingOrigin = 0;
    m_nElapsedSeconds = 0;
}

BOOL CScheduleList::Append(CScheduleItem* pItem)
{
    if (!pItem)
        return FALSE;
    try {
        m_items.Add(pItem);
    } catch (const std::bad_alloc&) {
        delete pItem;
        return FALSE;
    }
    return TRUE;
}

void CScheduleList::DeleteAt(int nIndex)
{
    delete static_cast<CScheduleItem*>(m_items.GetAt(nIndex));
    m_items.RemoveAt(nIndex);
}
