#include "AfxMap.h"

// FNV-1a over the bytes; the text keys' order is never stored, so any
// well-spread hash does.
template <>
UINT HashKey<LPCSTR>(LPCSTR key)
{
    UINT hash = 2166136261u;
    for (const BYTE* p = (const BYTE*)key; p != NULL && *p != 0; p++)
        hash = (hash ^ *p) * 16777619u;
    return hash;
}

template <>
UINT HashKey<CString>(CString key)
{
    return HashKey<LPCSTR>(key);
}

template <>
UINT HashKey<const CString&>(const CString& key)
{
    return HashKey<LPCSTR>(key);
}
