// The country's channel plans as the frequency-table library gives them, read
// for the settings' country and input source (g_pSettings; without settings
// every answer is "none").
#pragma once
#include <windows.h>
#include "AfxString.h"
#include "Bandatlas.h"

// The settings' country table, NULL without settings or for an unknown code.
const CountryFrequencyTable* GetSettingsCountryTable();

// One list's plan in a table: its channel count and frequencies in Hz.
// FALSE for a NULL table, a list other than 1 or 2, or a missing array.
BOOL GetListPlan(const CountryFrequencyTable* pTable, int nList, int* pCount,
                 const int** ppFrequencies);

// First / last channel number of the plan of the settings' input source
// (1 antenna, 2 cable); -1 without settings or table, or for another source.
int GetMinChannelForInput();
int GetMaxChannelForInput();

// The settings' input source when it is 1 or 2, else -1.
int GetInputType();

// The country's video standard name ("PAL_D", ...); FALSE without table.
BOOL GetCountryStandardName(int nCountryCode, CString& strStandard);
// GetStandardOffset of the country's standard, 0.0 without table.
float GetCountryStandardOffset(int nCountryCode);
// Fine-tuning range in MHz of a video standard (exact, case-sensitive name);
// 0.0 for a name it does not know.
float GetStandardOffset(const char* pszStandard);
