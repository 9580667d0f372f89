// What the list and map classes share: POSITION, the iteration handle, and
// the pool their nodes come from (nodes are carved from blocks of
// nBlockSize and recycled through a free list, so adding and removing many
// entries does not go to the heap each time).
#pragma once
#include <windows.h>

#include <memory>
#include <new>
#include <vector>

struct FwPositionTag;
typedef FwPositionTag* POSITION;

// A map's position before its first entry: GetStartPosition's answer when
// the map is not empty.
#define BEFORE_START_POSITION ((POSITION)-1L)

template <class NODE>
class CFwNodePool {
public:
    explicit CFwNodePool(int nBlockSize) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    CFwNodePool(const CFwNodePool&) = delete;
    CFwNodePool& operator=(const CFwNodePool&) = delete;

    // Raw, suitably aligned room for one NODE; construct it with placement new.
    void* Alloc()
    {
        if (m_pFree == NULL) {
            m_blocks.emplace_back(new Slot[m_nBlockSize]);
            Slot* block = m_blocks.back().get();
            for (int i = m_nBlockSize - 1; i >= 0; i--) {
                block[i].pNext = m_pFree;
                m_pFree = &block[i];
            }
        }
        Slot* slot = m_pFree;
        m_pFree = slot->pNext;
        return slot->storage;
    }

    // Takes back room whose NODE has been destroyed.
    void Free(void* p)
    {
        Slot* slot = reinterpret_cast<Slot*>(p);
        slot->pNext = m_pFree;
        m_pFree = slot;
    }

    // Releases every block; all nodes must have been destroyed.
    void FreeAll()
    {
        m_blocks.clear();
        m_pFree = NULL;
    }

private:
    union Slot {
        Slot* pNext;
        alignas(NODE) unsigned char storage[sizeof(NODE)];
    };

    int m_nBlockSize;
    Slot* m_pFree = NULL;
    std::vector<std::unique_ptr<Slot[]>> m_blocks;
};
