// The countries Bandatlas knows: each has a slot in the 204-slot name list, its
// dialling code, its two channel plans and the name of its video standard.
#include "Bandatlas.h"
#include "Plans.h"
#include <string.h>

namespace {

struct Country {
    int nSlot;
    const char* pszName;
    int nCode;
    const ChannelPlan* pAir;
    const ChannelPlan* pCable;  // NULL where cable channels are not planned
    const char* pszStandard;
};

// Slots follow the alphabetical place each country has in the full list; the
// countries left out keep their slots empty.
const Country kCountries[] = {
    {8, "Argentina", 54, &kUsaAir, &kUsaCable, "PAL_N"},
    {11, "Austria", 43, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {18, "Belgium", 32, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {25, "Brazil", 55, &kUsaAir, &kUsaCable, "PAL_M"},
    {38, "China", 86, &kChinaAir, &kChinaCable, "PAL_D"},
    {50, "Denmark", 45, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {63, "France", 33, &kFranceAir, &kFranceCable, "SECAM_L"},
    {68, "Germany", 49, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {80, "Hong Kong", 852, &kUhfAir, NULL, "PAL_I"},
    {86, "Ireland", 353, &kIrelandAir, &kIrelandAir, "PAL_I"},
    {91, "Japan", 81, &kJapanAir, &kJapanCable, "NTSC_M_J"},
    {98, "Korea", 82, &kUsaAir, &kUsaCable, "NTSC_M"},
    {118, "Mexico", 52, &kUsaAir, &kUsaCable, "NTSC_M"},
    {128, "Netherlands", 31, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {136, "Norway", 47, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {145, "Poland", 48, &kOirtAir, &kOirtCable, "PAL_D"},
    {150, "Russia", 7, &kOirtAir, &kOirtCable, "SECAM_D"},
    {168, "Spain", 34, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {174, "Sweden", 46, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {175, "Switzerland", 41, &kEuropeAir, &kEuropeCable, "PAL_B"},
    {178, "Taiwan", 886, &kUsaAir, &kUsaCable, "NTSC_M"},
    {193, "United Kingdom", 44, &kUkAir, &kUkAir, "PAL_I"},
    {194, "United States", 1, &kUsaAir, &kUsaCable, "NTSC_M"},
};
const int kCountryCount = sizeof(kCountries) / sizeof(kCountries[0]);

CountryFrequencyTable MakeTable(const Country& c)
{
    CountryFrequencyTable t;
    t.nAirFirst = c.pAir ? c.pAir->nFirst : 0;
    t.nAirLast = c.pAir ? c.pAir->nLast : -1;
    t.nCableFirst = c.pCable ? c.pCable->nFirst : 0;
    t.nCableLast = c.pCable ? c.pCable->nLast : -1;
    t.pAirFrequencies = c.pAir ? c.pAir->pFrequencies : NULL;
    t.pCableFrequencies = c.pCable ? c.pCable->pFrequencies : NULL;
    t.standard.pszText = c.pszStandard;
    return t;
}

// Built when the library loads; callers get pointers into it and keep them
// for as long as the library stays loaded.
struct Tables {
    CountryFrequencyTable at[kCountryCount];
    Tables()
    {
        for (int i = 0; i < kCountryCount; i++)
            at[i] = MakeTable(kCountries[i]);
    }
};
const Tables g_tables;

int FindByCode(int nCode)
{
    for (int i = 0; i < kCountryCount; i++)
        if (kCountries[i].nCode == nCode)
            return i;
    return -1;
}

}  // namespace

extern "C" const CountryFrequencyTable* __cdecl getFrequencyTableFromCountryCode(int nCountryCode)
{
    int i = FindByCode(nCountryCode);
    return i < 0 ? NULL : &g_tables.at[i];
}

extern "C" int __cdecl GetCountryCode(const char* pszCountryName)
{
    if (pszCountryName == NULL)
        return -1;
    for (int i = 0; i < kCountryCount; i++)
        if (strcmp(kCountries[i].pszName, pszCountryName) == 0)
            return kCountries[i].nCode;
    return -1;
}

extern "C" const char* __cdecl GetCountryName(int nIndex)
{
    for (int i = 0; i < kCountryCount; i++)
        if (kCountries[i].nSlot == nIndex)
            return kCountries[i].pszName;
    return "";
}

extern "C" const char* __cdecl GetCountryNameFromCode(int nCountryCode)
{
    int i = FindByCode(nCountryCode);
    return i < 0 ? "" : kCountries[i].pszName;
}
