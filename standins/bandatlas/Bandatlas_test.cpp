#include <gtest/gtest.h>
#include <windows.h>
#include <stddef.h>
#include <string.h>
#include <set>
#include <string>
#include "Bandatlas.h"

namespace {

// The standard names the tuning code knows how to offset.
const std::set<std::string> kKnownStandards = {
    "SECAM_D", "PAL_B", "SECAM_K1", "PAL_M", "PAL_N", "SECAM_B",
    "NTSC_M", "SECAM_L", "PAL_D", "NTSC_M_J", "PAL_I"};

void ExpectPlan(const char* what, int first, int last, const int* hz)
{
    SCOPED_TRACE(what);
    if (hz == NULL)
        return;
    ASSERT_GE(last, first);
    ASSERT_GE(first, 1);
    // The count of each array is checked where the plans are written.
    for (int i = 0; i <= last - first; i++) {
        EXPECT_GE(hz[i], 40000000) << i;
        EXPECT_LE(hz[i], 1000000000) << i;
        if (i > 0) {
            EXPECT_LT(hz[i - 1], hz[i]) << i;
        }
    }
}

}  // namespace

// The table holds pointers: its layout is fixed per architecture, and the
// 32-bit one is what the card's own programs were built against.
TEST(Bandatlas, TableLayout)
{
#ifdef _WIN64
    EXPECT_EQ(40u, sizeof(CountryFrequencyTable));
    EXPECT_EQ(16u, offsetof(CountryFrequencyTable, pAirFrequencies));
    EXPECT_EQ(24u, offsetof(CountryFrequencyTable, pCableFrequencies));
    EXPECT_EQ(32u, offsetof(CountryFrequencyTable, standard));
#else
    EXPECT_EQ(28u, sizeof(CountryFrequencyTable));
    EXPECT_EQ(16u, offsetof(CountryFrequencyTable, pAirFrequencies));
    EXPECT_EQ(20u, offsetof(CountryFrequencyTable, pCableFrequencies));
    EXPECT_EQ(24u, offsetof(CountryFrequencyTable, standard));
#endif
}

TEST(Bandatlas, EveryCountryHasConsistentNamesAndAscendingPlans)
{
    int countries = 0, notFromOne = 0, noCable = 0;
    std::set<int> codes;
    for (int i = 0; i < BANDATLAS_COUNTRY_SLOTS; i++) {
        const char* name = GetCountryName(i);
        ASSERT_TRUE(name != NULL);
        if (*name == 0)
            continue;
        SCOPED_TRACE(name);
        countries++;
        int code = GetCountryCode(name);
        EXPECT_TRUE(codes.insert(code).second) << "code shared: " << code;
        EXPECT_STREQ(name, GetCountryNameFromCode(code));
        const CountryFrequencyTable* t = getFrequencyTableFromCountryCode(code);
        ASSERT_TRUE(t != NULL);
        ASSERT_TRUE(t->standard.pszText != NULL);
        EXPECT_EQ(1u, kKnownStandards.count(t->standard.pszText)) << t->standard.pszText;
        ASSERT_TRUE(t->pAirFrequencies != NULL);
        ExpectPlan("air", t->nAirFirst, t->nAirLast, t->pAirFrequencies);
        ExpectPlan("cable", t->nCableFirst, t->nCableLast, t->pCableFrequencies);
        if (t->nAirFirst != 1)
            notFromOne++;
        if (t->pCableFrequencies == NULL)
            noCable++;
    }
    EXPECT_GE(countries, 6);
    EXPECT_GE(notFromOne, 1);
    EXPECT_GE(noCable, 1);
}

TEST(Bandatlas, KnowsTheMainCountries)
{
    struct { int code; const char* name; const char* standard; float firstAirMHz; } want[] = {
        {86, "China", "PAL_D", 49.75f},  {1, "United States", "NTSC_M", 55.25f},
        {49, "Germany", "PAL_B", 48.25f}, {44, "United Kingdom", "PAL_I", 471.25f},
        {33, "France", "SECAM_L", 55.75f}, {81, "Japan", "NTSC_M_J", 91.25f},
    };
    for (const auto& w : want) {
        SCOPED_TRACE(w.name);
        EXPECT_STREQ(w.name, GetCountryNameFromCode(w.code));
        EXPECT_EQ(w.code, GetCountryCode(w.name));
        const CountryFrequencyTable* t = getFrequencyTableFromCountryCode(w.code);
        ASSERT_TRUE(t != NULL);
        EXPECT_STREQ(w.standard, t->standard.pszText);
        EXPECT_FLOAT_EQ(w.firstAirMHz, t->pAirFrequencies[0] * 0.000001f);
    }
    // Spot checks against the published plans.
    const CountryFrequencyTable* cn = getFrequencyTableFromCountryCode(86);
    EXPECT_EQ(68, cn->nAirLast - cn->nAirFirst + 1);
    EXPECT_EQ(471250000, cn->pAirFrequencies[12]);   // DS-13
    const CountryFrequencyTable* us = getFrequencyTableFromCountryCode(1);
    EXPECT_EQ(2, us->nAirFirst);
    EXPECT_EQ(69, us->nAirLast);
    EXPECT_EQ(801250000, us->pAirFrequencies[69 - 2]);  // channel 69
}

TEST(Bandatlas, UnknownInputs)
{
    EXPECT_TRUE(getFrequencyTableFromCountryCode(0) == NULL);
    EXPECT_TRUE(getFrequencyTableFromCountryCode(-1) == NULL);
    EXPECT_EQ(-1, GetCountryCode("Atlantis"));
    EXPECT_EQ(-1, GetCountryCode(NULL));
    EXPECT_STREQ("", GetCountryName(-1));
    EXPECT_STREQ("", GetCountryName(BANDATLAS_COUNTRY_SLOTS));
    EXPECT_STREQ("", GetCountryNameFromCode(12345));
}

TEST(Bandatlas, ExportsUndecoratedNames)
{
    HMODULE h = LoadLibraryA("Bandatlas.dll");
    ASSERT_TRUE(h != NULL);
    const char* names[] = {"GetCountryCode", "GetCountryName", "GetCountryNameFromCode",
                           "getFrequencyTableFromCountryCode"};
    for (const char* n : names)
        EXPECT_TRUE(GetProcAddress(h, n) != NULL) << n;
    PFN_GetCountryName name = (PFN_GetCountryName)(void*)GetProcAddress(h, "GetCountryName");
    PFN_GetCountryCode code = (PFN_GetCountryCode)(void*)GetProcAddress(h, "GetCountryCode");
    ASSERT_TRUE(name && code);
    EXPECT_EQ(86, code("China"));
    EXPECT_STREQ("China", name(38));
    FreeLibrary(h);
}
