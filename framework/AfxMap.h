// Chained hash maps: the CMap template, CMapPtrToPtr and CMapStringToPtr.
//
// Files are written in iteration order, so the order is part of the format
// and follows fixed rules:
//  - an integer key k goes to bucket ((UINT)k >> 4) % table size, a pointer
//    key to ((UINT)(DWORD_PTR)p >> 4) % table size; the table has 17 buckets
//    unless InitHashTable says otherwise, and never grows by itself;
//  - a new entry goes to the head of its bucket's chain;
//  - iteration runs bucket by bucket from 0, each chain from its head.
// GetNextAssoc moves the position on before it returns an entry, so the
// returned key may be removed during the walk.
#pragma once
#include "AfxCollection.h"
#include "AfxDebug.h"
#include "AfxObject.h"
#include "AfxString.h"

#include <type_traits>
#include <vector>

template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key)
{
    typedef typename std::decay<ARG_KEY>::type K;
    if constexpr (std::is_pointer<K>::value) {
        return (UINT)(DWORD_PTR)key >> 4;
    } else {
        static_assert(std::is_integral<K>::value || std::is_enum<K>::value,
                      "HashKey needs a specialisation for this key type");
        return (UINT)key >> 4;
    }
}

// Text keys hash their characters, not their address.
template <> UINT HashKey<LPCSTR>(LPCSTR key);
template <> UINT HashKey<CString>(CString key);
template <> UINT HashKey<const CString&>(const CString& key);

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
protected:
    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;  // the bucket
        KEY key;
        VALUE value;
    };

public:
    explicit CMap(int nBlockSize = 10) : m_pool(nBlockSize) {}
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    ~CMap() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const
    {
        const CAssoc* assoc = Find(key);
        if (assoc == NULL)
            return FALSE;
        rValue = assoc->value;
        return TRUE;
    }

    // Adds the key (value zeroed or empty) when it is not there yet.
    VALUE& operator[](ARG_KEY key)
    {
        CAssoc* assoc = Find(key);
        if (assoc != NULL)
            return assoc->value;
        if (m_table.empty())
            m_table.assign(m_nHashTableSize, NULL);
        UINT bucket = HashKey<ARG_KEY>(key) % m_nHashTableSize;
        assoc = new (m_pool.Alloc()) CAssoc{};
        assoc->nHashValue = bucket;
        assoc->key = key;
        assoc->pNext = m_table[bucket];
        m_table[bucket] = assoc;
        m_nCount++;
        return assoc->value;
    }

    void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_table.empty())
            return FALSE;
        CAssoc** link = &m_table[HashKey<ARG_KEY>(key) % m_nHashTableSize];
        for (; *link != NULL; link = &(*link)->pNext) {
            if ((*link)->key == key) {
                CAssoc* assoc = *link;
                *link = assoc->pNext;
                assoc->~CAssoc();
                m_pool.Free(assoc);
                m_nCount--;
                return TRUE;
            }
        }
        return FALSE;
    }

    void RemoveAll()
    {
        for (CAssoc* head : m_table) {
            for (CAssoc* assoc = head; assoc != NULL;) {
                CAssoc* next = assoc->pNext;
                assoc->~CAssoc();
                assoc = next;
            }
        }
        m_table.clear();
        m_nCount = 0;
        m_pool.FreeAll();
    }

    POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }

    // rNextPosition becomes NULL after the last entry.
    void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const
    {
        ASSERT(rNextPosition != NULL && !m_table.empty());
        const CAssoc* assoc = reinterpret_cast<const CAssoc*>(rNextPosition);
        if (rNextPosition == BEFORE_START_POSITION)
            assoc = FirstFrom(0);
        if (assoc == NULL) {  // a start position taken before the map emptied
            rNextPosition = NULL;
            return;
        }
        const CAssoc* next = assoc->pNext != NULL ? assoc->pNext : FirstFrom(assoc->nHashValue + 1);
        rNextPosition = (POSITION)next;
        rKey = assoc->key;
        rValue = assoc->value;
    }

    UINT GetHashTableSize() const { return m_nHashTableSize; }

    // Meant for an empty map, before the first entry. Entries already there
    // are carried over into the new table rather than lost.
    void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE)
    {
        ASSERT(hashSize > 0);
        if (hashSize == 0)
            return;
        std::vector<CAssoc*> old;
        old.swap(m_table);
        m_nHashTableSize = hashSize;
        if (bAllocNow || !old.empty())
            m_table.assign(m_nHashTableSize, NULL);
        for (CAssoc* head : old) {
            for (CAssoc* assoc = head; assoc != NULL;) {
                CAssoc* next = assoc->pNext;
                assoc->nHashValue = HashKey<ARG_KEY>(assoc->key) % m_nHashTableSize;
                assoc->pNext = m_table[assoc->nHashValue];
                m_table[assoc->nHashValue] = assoc;
                assoc = next;
            }
        }
    }

private:
    CAssoc* Find(ARG_KEY key) const
    {
        if (m_table.empty())
            return NULL;
        for (CAssoc* assoc = m_table[HashKey<ARG_KEY>(key) % m_nHashTableSize]; assoc != NULL;
             assoc = assoc->pNext) {
            if (assoc->key == key)
                return assoc;
        }
        return NULL;
    }

    const CAssoc* FirstFrom(UINT bucket) const
    {
        for (; bucket < m_table.size(); bucket++) {
            if (m_table[bucket] != NULL)
                return m_table[bucket];
        }
        return NULL;
    }

    std::vector<CAssoc*> m_table;  // empty until the first entry
    UINT m_nHashTableSize = 17;
    int m_nCount = 0;
    CFwNodePool<CAssoc> m_pool;
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
public:
    explicit CMapPtrToPtr(int nBlockSize = 10) : CMap<void*, void*, void*, void*>(nBlockSize) {}
};

class CMapStringToPtr : public CMap<CString, LPCSTR, void*, void*> {
public:
    explicit CMapStringToPtr(int nBlockSize = 10) : CMap<CString, LPCSTR, void*, void*>(nBlockSize) {}
};
