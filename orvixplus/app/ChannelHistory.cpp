#include "ChannelHistory.h"
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "Globals.h"
#include "StdFile.h"
#include "StoredFile.h"
#include <math.h>
#include <string.h>
#include <new>
#include <vector>

static_assert(sizeof(HistoryRecord) == 64, "histroy.his record");

BOOL HistoryRecordsEqual(const HistoryRecord& a, const HistoryRecord& b)
{
    const ChannelRecord& x = a.channel;
    const ChannelRecord& y = b.channel;
    // Names compare as text: bytes behind the NUL differ between a record
    // read from a file and one just made.
    return a.nInStore == b.nInStore && a.nList == b.nList && x.nSkip == y.nSkip &&
           x.nFlag == y.nFlag && x.nNumber == y.nNumber &&
           strncmp(x.szName, y.szName, sizeof(x.szName)) == 0 &&
           fabs((double)x.fFrequency - (double)y.fFrequency) < 0.0001;
}

CChannelHistory::CChannelHistory() : m_nCount(0) {}

CChannelHistory::~CChannelHistory()
{
    RemoveAll();
}

HistoryRecord* CChannelHistory::GetAt(int nPosition) const
{
    HistoryRecord* rec = NULL;
    if (nPosition < 0 || nPosition >= m_nCount || !m_map.Lookup(nPosition, rec))
        return NULL;
    return rec;
}

BOOL CChannelHistory::SetMenuId(int nPosition, int nId)
{
    HistoryRecord* rec = GetAt(nPosition);
    if (rec == NULL)
        return FALSE;
    rec->nMenuId = nId;
    return TRUE;
}

HistoryRecord* CChannelHistory::FindByMenuId(int nId) const
{
    for (int i = 0; i < m_nCount; i++) {
        HistoryRecord* rec = GetAt(i);
        if (rec != NULL && rec->nMenuId == nId)
            return rec;
    }
    return NULL;
}

BOOL CChannelHistory::Swap(int nPositionA, int nPositionB)
{
    HistoryRecord* a = GetAt(nPositionA);
    HistoryRecord* b = GetAt(nPositionB);
    if (a == NULL || b == NULL)
        return FALSE;
    a->nPosition = nPositionB;
    b->nPosition = nPositionA;
    m_map.SetAt(nPositionA, b);
    m_map.SetAt(nPositionB, a);
    return TRUE;
}

void CChannelHistory::MoveToFront(int nPosition)
{
    // Swaps above the last entry fail; the walk down must not then move the
    // last entry in the place of one that does not exist.
    if (GetAt(nPosition) == NULL)
        return;
    for (int i = nPosition; i > 0; i--)
        Swap(i, i - 1);
}

BOOL CChannelHistory::AddEntry(const HistoryRecord* pRec, BOOL bMoveIfPresent)
{
    if (pRec == NULL)
        return FALSE;
    for (int i = 0; i < m_nCount; i++) {
        HistoryRecord* rec = GetAt(i);
        if (rec != NULL && HistoryRecordsEqual(*rec, *pRec)) {
            if (bMoveIfPresent)
                MoveToFront(i);
            return FALSE;
        }
    }
    if (m_nCount < MAX_ENTRIES) {
        HistoryRecord* rec = new (std::nothrow) HistoryRecord(*pRec);
        if (rec == NULL)
            return FALSE;
        rec->nPosition = m_nCount;
        m_map.SetAt(m_nCount, rec);
        m_nCount++;
        MoveToFront(m_nCount - 1);
        return TRUE;
    }
    // Full: the oldest entry makes room.
    HistoryRecord* oldest = GetAt(MAX_ENTRIES - 1);
    *oldest = *pRec;
    oldest->nPosition = MAX_ENTRIES - 1;
    MoveToFront(MAX_ENTRIES - 1);
    return TRUE;
}

BOOL CChannelHistory::AddChannel(int nNumber, int nList)
{
    if (g_pChannelStore == NULL)
        return FALSE;
    HistoryRecord rec;
    rec.nPosition = -1;
    rec.nMenuId = -1;
    if (g_pChannelStore->GetChannel(nNumber, nList, &rec.channel)) {
        rec.nList = nList;
        rec.nInStore = 1;
    } else {
        int count;
        const int* hz;
        if (!GetListPlan(GetSettingsCountryTable(), nList, &count, &hz) || nNumber < 1 ||
            nNumber > count)
            return FALSE;
        rec.nList = -1;
        rec.nInStore = 0;
        MakeChannelRecord(&rec.channel, nNumber, hz[nNumber - 1], 1);
    }
    AddEntry(&rec, TRUE);
    return TRUE;
}

BOOL CChannelHistory::Update(const HistoryRecord* pRec)
{
    if (pRec == NULL)
        return FALSE;
    for (int i = 0; i < m_nCount; i++) {
        HistoryRecord* rec = GetAt(i);
        if (rec != NULL && rec->nList == pRec->nList && rec->nInStore == pRec->nInStore &&
            rec->channel.nNumber == pRec->channel.nNumber) {
            *rec = *pRec;
            rec->nPosition = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CChannelHistory::RemoveAt(int nPosition)
{
    HistoryRecord* gone = GetAt(nPosition);
    if (gone == NULL)
        return FALSE;
    delete gone;
    for (int i = nPosition + 1; i < m_nCount; i++) {
        HistoryRecord* rec = GetAt(i);
        rec->nPosition = i - 1;
        m_map.SetAt(i - 1, rec);
    }
    m_map.RemoveKey(m_nCount - 1);
    m_nCount--;
    return TRUE;
}

BOOL CChannelHistory::RemoveAll()
{
    while (m_nCount > 0)
        RemoveAt(0);
    return TRUE;
}

BOOL CChannelHistory::Load(const char* pszPath)
{
    if (pszPath == NULL)
        return FALSE;
    // The list keeps four entries: what lies beyond a megabyte is never read,
    // and a count that reaches past it is damage.
    std::string bytes;
    if (!ReadStoredFile(pszPath, 1u << 20, bytes, TRUE))
        return FALSE;
    RemoveAll();
    int count = 0;
    if (bytes.size() >= sizeof(count))
        memcpy(&count, bytes.data(), sizeof(count));
    // Short of the records it counts: damaged, the list stays empty.
    if (count > 0 && (long long)bytes.size() < (long long)sizeof(count) + (long long)count * (long long)sizeof(HistoryRecord))
        return FALSE;
    std::vector<HistoryRecord> records(count > 0 ? (size_t)count : 0);
    for (size_t i = 0; i < records.size(); i++) {
        memcpy(&records[i], bytes.data() + sizeof(count) + i * sizeof(HistoryRecord), sizeof(HistoryRecord));
        records[i].channel.szName[sizeof(records[i].channel.szName) - 1] = '\0';
    }
    // Every entry added goes to the front, so the file's last record goes in
    // first; the list then reads as saved, and a long file keeps its first four.
    for (size_t i = records.size(); i-- > 0;)
        AddEntry(&records[i], TRUE);
    return TRUE;
}

BOOL CChannelHistory::Save(const char* pszPath)
{
    if (pszPath == NULL || m_nCount == 0)
        return FALSE;
    CStdFile file(pszPath, "w+b");
    if (!file.IsOpen())
        return FALSE;
    bool ok = file.Write(&m_nCount, sizeof(m_nCount));
    for (int i = 0; i < m_nCount && ok; i++)
        ok = file.Write(GetAt(i), sizeof(HistoryRecord));
    ok = file.Close() && ok;
    return ok ? TRUE : FALSE;
}
