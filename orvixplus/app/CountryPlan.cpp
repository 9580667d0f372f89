#include "CountryPlan.h"
#include "AppSettings.h"
#include "Globals.h"
#include <string.h>

const CountryFrequencyTable* GetSettingsCountryTable()
{
    if (g_pSettings == NULL)
        return NULL;
    return getFrequencyTableFromCountryCode(g_pSettings->m_nCountryCode);
}

BOOL GetListPlan(const CountryFrequencyTable* pTable, int nList, int* pCount,
                 const int** ppFrequencies)
{
    if (pTable == NULL)
        return FALSE;
    int first, last;
    const int* hz;
    if (nList == 1) {
        first = pTable->nAirFirst, last = pTable->nAirLast, hz = pTable->pAirFrequencies;
    } else if (nList == 2) {
        first = pTable->nCableFirst, last = pTable->nCableLast, hz = pTable->pCableFrequencies;
    } else {
        return FALSE;
    }
    if (hz == NULL)
        return FALSE;
    // A plan that runs backwards has no channels rather than a negative count.
    *pCount = last >= first ? last - first + 1 : 0;
    *ppFrequencies = hz;
    return TRUE;
}

static int PlanBound(BOOL bLast)
{
    const CountryFrequencyTable* t = GetSettingsCountryTable();
    if (t == NULL)
        return -1;
    switch (g_pSettings->m_nInputSource) {
    case 1: return bLast ? t->nAirLast : t->nAirFirst;
    case 2: return bLast ? t->nCableLast : t->nCableFirst;
    default: return -1;
    }
}

int GetMinChannelForInput() { return PlanBound(FALSE); }
int GetMaxChannelForInput() { return PlanBound(TRUE); }

int GetInputType()
{
    if (g_pSettings == NULL)
        return -1;
    int source = g_pSettings->m_nInputSource;
    return source == 1 || source == 2 ? source : -1;
}

BOOL GetCountryStandardName(int nCountryCode, CString& strStandard)
{
    const CountryFrequencyTable* t = getFrequencyTableFromCountryCode(nCountryCode);
    if (t == NULL || t->standard.pszText == NULL)
        return FALSE;
    strStandard = t->standard.pszText;
    return TRUE;
}

float GetCountryStandardOffset(int nCountryCode)
{
    const CountryFrequencyTable* t = getFrequencyTableFromCountryCode(nCountryCode);
    if (t == NULL)
        return 0.0f;
    return GetStandardOffset(t->standard.pszText);
}

float GetStandardOffset(const char* pszStandard)
{
    static const struct {
        const char* name;
        float offset;
    } kOffsets[] = {
        {"SECAM_D", 4.0f}, {"PAL_B", 3.0f},  {"SECAM_K1", 4.0f}, {"PAL_M", 3.0f},
        {"PAL_N", 3.0f},   {"SECAM_B", 3.0f}, {"NTSC_M", 3.0f},  {"SECAM_L", 4.0f},
        {"PAL_D", 4.0f},   {"NTSC_M_J", 3.0f}, {"PAL_I", 3.5f},
    };
    if (pszStandard == NULL)
        return 0.0f;
    for (const auto& o : kOffsets)
        if (strcmp(o.name, pszStandard) == 0)
            return o.offset;
    return 0.0f;
}
