// Interface of Bandatlas.dll, the frequency-table library the tuner code asks
// for each country's channel plans. Countries are named by their international
// dialling code. Everything the library returns lives in its own static storage:
// callers never free or change it.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The text object of a table: its first (and only) word points at the text.
typedef struct BandatlasText {
    const char* pszText;
} BandatlasText;

// One country's channel plans (28 bytes in 32 bits, 40 in 64). A plan has last - first + 1
// channels; its frequency array holds one value in Hz per channel, in channel
// order, ascending. Either array may be NULL when the country has no such plan.
typedef struct CountryFrequencyTable {
    int nAirFirst;
    int nAirLast;
    int nCableFirst;
    int nCableLast;
    const int* pAirFrequencies;
    const int* pCableFrequencies;
    BandatlasText standard;  // video standard, e.g. "PAL_D"
} CountryFrequencyTable;

// NULL for an unknown code.
const CountryFrequencyTable* __cdecl getFrequencyTableFromCountryCode(int nCountryCode);
// -1 for an unknown name.
int __cdecl GetCountryCode(const char* pszCountryName);
// Index 0..203; "" for an unused or out-of-range index.
const char* __cdecl GetCountryName(int nIndex);
// "" for an unknown code.
const char* __cdecl GetCountryNameFromCode(int nCountryCode);

// Signatures for callers that look the functions up by name.
typedef int (__cdecl* PFN_GetCountryCode)(const char*);
typedef const char* (__cdecl* PFN_GetCountryName)(int);
typedef const char* (__cdecl* PFN_GetCountryNameFromCode)(int);

#define BANDATLAS_COUNTRY_SLOTS 204

#ifdef __cplusplus
}
#endif
