// The channel store's lists, file and stepping; switching lives in
// ChannelTuning.cpp.
#include "ChannelStore.h"
#include "CountryPlan.h"
#include "StdFile.h"
#include "StoredFile.h"
#include <limits.h>
#include <string.h>
#include <new>
#include <set>
#include <vector>

namespace {
const size_t kMaxChannelFileBytes = 16u << 20;
}

CChannelStore::CChannelStore()
    : m_nCurrentAir(0), m_nCurrentCable(0), m_nCountAir(0), m_nCountCable(0), m_nLastTuned(0)
{
}

CChannelStore::~CChannelStore()
{
    RemoveAll();
}

CChannelStore::CChannelMap* CChannelStore::MapOf(int nList)
{
    return nList == 1 ? &m_mapAir : nList == 2 ? &m_mapCable : NULL;
}

const CChannelStore::CChannelMap* CChannelStore::MapOf(int nList) const
{
    return nList == 1 ? &m_mapAir : nList == 2 ? &m_mapCable : NULL;
}

int* CChannelStore::CountOf(int nList)
{
    return nList == 1 ? &m_nCountAir : nList == 2 ? &m_nCountCable : NULL;
}

// ---- file ----

BOOL CChannelStore::Load(const char* pszPath)
{
    if (pszPath == NULL)
        return FALSE;
    // Both lists of every channel a plan can have fit many times over; a far
    // larger file (a recording chosen in the import by mistake) is none.
    std::string bytes;
    if (!ReadStoredFile(pszPath, kMaxChannelFileBytes, bytes))
        return FALSE;
    long long size = (long long)bytes.size();
    ChannelFileHeader header;
    if (size < (long long)sizeof(header))
        return FALSE;
    memcpy(&header, bytes.data(), sizeof(header));
    // The counts come from the file: they must describe records that are there.
    if (header.nCountAir < 0 || header.nCountCable < 0)
        return FALSE;
    long long total = (long long)header.nCountAir + header.nCountCable;
    if ((long long)sizeof(header) + total * (long long)sizeof(ChannelRecord) > size)
        return FALSE;

    // Everything is read before the store is touched, so a damaged file costs nothing.
    std::vector<ChannelRecord> records((size_t)total);
    for (size_t i = 0; i < records.size(); i++) {
        memcpy(&records[i], bytes.data() + sizeof(header) + i * sizeof(ChannelRecord), sizeof(ChannelRecord));
        records[i].szName[sizeof(records[i].szName) - 1] = '\0';
    }

    RemoveAll();
    m_nCurrentAir = header.nCurrentAir;
    m_nCurrentCable = header.nCurrentCable;
    for (size_t i = 0; i < records.size(); i++) {
        int list = (long long)i < header.nCountAir ? 1 : 2;
        // Channels count from 1, and -1 answers "none" for the lowest and
        // highest number: a record numbered below 1 is damage, left out.
        if (records[i].nNumber < 1)
            continue;
        // A number seen before in the list: the later record wins, in place.
        ChannelRecord* stored = GetChannelPtr(records[i].nNumber, list);
        if (stored != NULL) {
            CopyChannelRecord(&records[i], stored);
            continue;
        }
        ChannelRecord* rec = new (std::nothrow) ChannelRecord(records[i]);
        if (rec != NULL)
            Add(list, rec);
    }
    return TRUE;
}

BOOL CChannelStore::Save(const char* pszPath)
{
    if (pszPath == NULL)
        return FALSE;
    CStdFile file(pszPath, "w+b");
    if (!file.IsOpen())
        return FALSE;
    // The header counts what is written, whatever SetCount was told.
    ChannelFileHeader header = {m_nCurrentAir, m_nCurrentCable, m_mapAir.GetCount(),
                                m_mapCable.GetCount()};
    bool ok = file.Write(&header, sizeof(header));
    for (int list = 1; list <= 2 && ok; list++) {
        const CChannelMap* map = MapOf(list);
        POSITION pos = map->GetStartPosition();
        while (pos != NULL && ok) {
            int number = 0;
            ChannelRecord* rec = NULL;
            map->GetNextAssoc(pos, number, rec);
            ok = file.Write(rec, sizeof(*rec));
        }
    }
    ok = file.Close() && ok;
    return ok ? TRUE : FALSE;
}

BOOL CChannelStore::CreateDefault(const char* pszPath)
{
    const CountryFrequencyTable* table = GetSettingsCountryTable();
    if (pszPath == NULL || table == NULL)
        return FALSE;
    int count[3] = {0, 0, 0};
    const int* hz[3] = {NULL, NULL, NULL};
    BOOL complete = TRUE;
    for (int list = 1; list <= 2; list++) {
        if (!GetListPlan(table, list, &count[list], &hz[list])) {
            // Written as an empty list, so the file still loads.
            count[list] = 0;
            complete = FALSE;
        }
    }
    CStdFile file(pszPath, "w+b");
    if (!file.IsOpen())
        return FALSE;
    ChannelFileHeader header = {1, 1, count[1], count[2]};
    bool ok = file.Write(&header, sizeof(header));
    for (int list = 1; list <= 2; list++) {
        for (int n = 1; n <= count[list] && ok; n++) {
            ChannelRecord rec;
            MakeChannelRecord(&rec, n, hz[list][n - 1], 1);
            ok = file.Write(&rec, sizeof(rec));
        }
    }
    ok = file.Close() && ok;
    return ok && complete;
}

BOOL CChannelStore::FillDefault()
{
    const CountryFrequencyTable* table = GetSettingsCountryTable();
    if (table == NULL)
        return FALSE;
    BOOL complete = TRUE;
    for (int list = 1; list <= 2; list++) {
        // The channels of the country before are no default of this one, also
        // where this one has no plan for the list: that list stays empty, as
        // in its default file.
        RemoveAll(list);
        int count;
        const int* hz;
        if (!GetListPlan(table, list, &count, &hz)) {
            complete = FALSE;
            continue;
        }
        for (int n = 1; n <= count; n++) {
            ChannelRecord* rec = new (std::nothrow) ChannelRecord;
            if (rec == NULL)
                break;
            MakeChannelRecord(rec, n, hz[n - 1], 1);
            Add(list, rec);
        }
    }
    return complete;
}

void CChannelStore::RemoveAll()
{
    RemoveAll(1);
    RemoveAll(2);
}

void CChannelStore::RemoveAll(int nList)
{
    CChannelMap* map = MapOf(nList);
    if (map == NULL)
        return;
    // Halfway through a swap of two rows one record can sit under two numbers.
    std::set<ChannelRecord*> owned;
    POSITION pos = map->GetStartPosition();
    while (pos != NULL) {
        int number = 0;
        ChannelRecord* rec = NULL;
        map->GetNextAssoc(pos, number, rec);
        owned.insert(rec);
    }
    for (ChannelRecord* rec : owned)
        delete rec;
    map->RemoveAll();
    *CountOf(nList) = 0;
}

// ---- lookups ----

int CChannelStore::GetMinChannel(int nList) const
{
    const CChannelMap* map = MapOf(nList);
    if (map == NULL || map->GetCount() == 0)
        return -1;
    int lowest = INT_MAX;
    POSITION pos = map->GetStartPosition();
    while (pos != NULL) {
        int number = 0;
        ChannelRecord* rec = NULL;
        map->GetNextAssoc(pos, number, rec);
        if (number < lowest)
            lowest = number;
    }
    return lowest;
}

int CChannelStore::GetMaxChannel(int nList) const
{
    const CChannelMap* map = MapOf(nList);
    if (map == NULL || map->GetCount() == 0)
        return -1;
    int highest = INT_MIN;
    POSITION pos = map->GetStartPosition();
    while (pos != NULL) {
        int number = 0;
        ChannelRecord* rec = NULL;
        map->GetNextAssoc(pos, number, rec);
        if (number > highest)
            highest = number;
    }
    return highest;
}

int CChannelStore::GetCount(int nList) const
{
    return nList == 1 ? m_nCountAir : nList == 2 ? m_nCountCable : -1;
}

void CChannelStore::SetCount(int nCount, int nList)
{
    int* count = CountOf(nList);
    if (count != NULL)
        *count = nCount;
}

int CChannelStore::GetCurrent(int nList) const
{
    return nList == 1 ? m_nCurrentAir : nList == 2 ? m_nCurrentCable : -1;
}

void CChannelStore::SetCurrent(int nNumber, int nList)
{
    if (nList == 1)
        m_nCurrentAir = nNumber;
    else if (nList == 2)
        m_nCurrentCable = nNumber;
}

ChannelRecord* CChannelStore::GetChannelPtr(int nNumber, int nList) const
{
    const CChannelMap* map = MapOf(nList);
    ChannelRecord* rec = NULL;
    if (map == NULL || !map->Lookup(nNumber, rec))
        return NULL;
    return rec;
}

BOOL CChannelStore::Exists(int nNumber, int nList) const
{
    return GetChannelPtr(nNumber, nList) != NULL;
}

int CChannelStore::IsSkipped(int nNumber, int nList) const
{
    ChannelRecord* rec = GetChannelPtr(nNumber, nList);
    return rec != NULL ? rec->nSkip : 0;
}

BOOL CChannelStore::GetChannel(int nNumber, int nList, ChannelRecord* pOut) const
{
    return CopyChannelRecord(GetChannelPtr(nNumber, nList), pOut);
}

BOOL CChannelStore::UpdateChannel(int nNumber, int nList, const ChannelRecord* pRec)
{
    return CopyChannelRecord(pRec, GetChannelPtr(nNumber, nList));
}

BOOL CChannelStore::Add(int nList, ChannelRecord* pRec)
{
    CChannelMap* map = MapOf(nList);
    if (map == NULL || pRec == NULL)
        return FALSE;
    // A record replaced here is not freed: list rows may still point at it.
    ChannelRecord* old = NULL;
    if (!map->Lookup(pRec->nNumber, old))
        (*CountOf(nList))++;
    map->SetAt(pRec->nNumber, pRec);
    return TRUE;
}

void CChannelStore::ReplaceChannelPtr(int nNumber, int nList, ChannelRecord* pRec)
{
    CChannelMap* map = MapOf(nList);
    if (map == NULL || nNumber < 1 || pRec == NULL)
        return;
    map->SetAt(nNumber, pRec);
}

// ---- stepping ----

// Walks from the neighbour of nCurrent round the list once, as the channel
// keys do: the first number that is stored and not skipped wins. Numbers may
// have gaps, and nCurrent itself may lie outside the list.
BOOL CChannelStore::Step(int nCurrent, int nList, BOOL bForward, ChannelRecord* pOut) const
{
    const CChannelMap* map = MapOf(nList);
    if (map == NULL || GetCount(nList) < 1 || map->GetCount() < 1)
        return FALSE;
    int lowest = GetMinChannel(nList), highest = GetMaxChannel(nList);
    int candidate;
    if (bForward)
        candidate = nCurrent < highest ? nCurrent + 1 : lowest;
    else
        candidate = nCurrent > lowest ? nCurrent - 1 : highest;
    if (candidate < 1)
        return FALSE;

    // Forward: the smallest eligible number from the candidate up, else the
    // smallest below it (wrapped). Backward mirrors it.
    bool haveAhead = false, haveWrapped = false;
    int ahead = 0, wrapped = 0;
    POSITION pos = map->GetStartPosition();
    while (pos != NULL) {
        int n = 0;
        ChannelRecord* rec = NULL;
        map->GetNextAssoc(pos, n, rec);
        if (n == nCurrent || rec->nSkip != 0)
            continue;
        bool isAhead = bForward ? n >= candidate : n <= candidate;
        int& best = isAhead ? ahead : wrapped;
        bool& have = isAhead ? haveAhead : haveWrapped;
        if (!have || (bForward ? n < best : n > best)) {
            best = n;
            have = true;
        }
    }
    if (!haveAhead && !haveWrapped)
        return FALSE;
    return GetChannel(haveAhead ? ahead : wrapped, nList, pOut);
}

BOOL CChannelStore::NextChannel(int nCurrent, int nList, ChannelRecord* pOut) const
{
    return Step(nCurrent, nList, TRUE, pOut);
}

BOOL CChannelStore::PrevChannel(int nCurrent, int nList, ChannelRecord* pOut) const
{
    return Step(nCurrent, nList, FALSE, pOut);
}
