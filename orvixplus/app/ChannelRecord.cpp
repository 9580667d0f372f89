#include "ChannelRecord.h"
#include "Globals.h"
#include <stdio.h>
#include <string.h>

static_assert(sizeof(ChannelRecord) == 48, "the channel file's record");
static_assert(sizeof(ChannelFileHeader) == 16, "the channel file's header");

ChannelRecord* g_pTunedChannel = NULL;
ChannelRecord* g_pPreviousChannel = NULL;

BOOL CopyChannelRecord(const ChannelRecord* pSource, ChannelRecord* pDest)
{
    if (pSource == NULL || pDest == NULL)
        return FALSE;
    if (pSource != pDest)
        memcpy(pDest, pSource, sizeof(ChannelRecord));
    return TRUE;
}

void MakeChannelRecord(ChannelRecord* pRec, int nNumber, int nFrequencyHz, int nFlag)
{
    memset(pRec, 0, sizeof(*pRec));
    pRec->nFlag = nFlag;
    snprintf(pRec->szName, sizeof(pRec->szName), "Channel%d", nNumber);
    pRec->fFrequency = (float)(nFrequencyHz * 0.000001);
    pRec->nNumber = nNumber;
}

void FreeChannelCopies()
{
    delete g_pCurrentChannel;
    delete g_pTunedChannel;
    delete g_pPreviousChannel;
    g_pCurrentChannel = g_pTunedChannel = g_pPreviousChannel = NULL;
}
