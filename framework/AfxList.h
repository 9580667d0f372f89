// Doubly linked lists walked with POSITION: the CList template, CPtrList
// and CTypedPtrList. A POSITION stays valid until its own element is
// removed, so removing the element just returned by GetNext is safe.
#pragma once
#include "AfxCollection.h"
#include "AfxDebug.h"
#include "AfxObject.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
protected:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };

public:
    explicit CList(int nBlockSize = 10) : m_pool(nBlockSize) {}
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;
    ~CList() { RemoveAll(); }

    int GetCount() const { return m_nCount; }
    int GetSize() const { return m_nCount; }
    BOOL IsEmpty() const { return m_nCount == 0; }

    TYPE& GetHead() { ASSERT(m_pHead != NULL); return m_pHead->data; }
    const TYPE& GetHead() const { ASSERT(m_pHead != NULL); return m_pHead->data; }
    TYPE& GetTail() { ASSERT(m_pTail != NULL); return m_pTail->data; }
    const TYPE& GetTail() const { ASSERT(m_pTail != NULL); return m_pTail->data; }

    // Must not be called on an empty list.
    TYPE RemoveHead()
    {
        ASSERT(m_pHead != NULL);
        TYPE value = m_pHead->data;
        RemoveAt((POSITION)m_pHead);
        return value;
    }
    TYPE RemoveTail()
    {
        ASSERT(m_pTail != NULL);
        TYPE value = m_pTail->data;
        RemoveAt((POSITION)m_pTail);
        return value;
    }

    POSITION AddHead(ARG_TYPE newElement) { return InsertNode(NULL, m_pHead, newElement); }
    POSITION AddTail(ARG_TYPE newElement) { return InsertNode(m_pTail, NULL, newElement); }
    // Counted walks, so that a list may add a copy of itself.
    void AddHead(const CList* pNewList)
    {
        // Backwards from the tail keeps the added elements in their order.
        POSITION pos = pNewList->GetTailPosition();
        for (int n = pNewList->GetCount(); n > 0; n--)
            AddHead(pNewList->GetPrev(pos));
    }
    void AddTail(const CList* pNewList)
    {
        POSITION pos = pNewList->GetHeadPosition();
        for (int n = pNewList->GetCount(); n > 0; n--)
            AddTail(pNewList->GetNext(pos));
    }

    void RemoveAll()
    {
        for (CNode* node = m_pHead; node != NULL;) {
            CNode* next = node->pNext;
            node->~CNode();
            node = next;
        }
        m_pHead = m_pTail = NULL;
        m_nCount = 0;
        m_pool.FreeAll();
    }

    POSITION GetHeadPosition() const { return (POSITION)m_pHead; }
    POSITION GetTailPosition() const { return (POSITION)m_pTail; }

    // Returns the element at rPosition and moves rPosition on (NULL at the end).
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = (POSITION)node->pNext;
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = (POSITION)node->pNext;
        return node->data;
    }
    TYPE& GetPrev(POSITION& rPosition)
    {
        CNode* node = Node(rPosition);
        rPosition = (POSITION)node->pPrev;
        return node->data;
    }
    const TYPE& GetPrev(POSITION& rPosition) const
    {
        CNode* node = Node(rPosition);
        rPosition = (POSITION)node->pPrev;
        return node->data;
    }

    TYPE& GetAt(POSITION position) { return Node(position)->data; }
    const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
    void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }

    void RemoveAt(POSITION position)
    {
        CNode* node = Node(position);
        (node->pPrev != NULL ? node->pPrev->pNext : m_pHead) = node->pNext;
        (node->pNext != NULL ? node->pNext->pPrev : m_pTail) = node->pPrev;
        node->~CNode();
        m_pool.Free(node);
        m_nCount--;
    }

    // NULL inserts at the head (InsertBefore) or the tail (InsertAfter).
    POSITION InsertBefore(POSITION position, ARG_TYPE newElement)
    {
        if (position == NULL)
            return AddHead(newElement);
        CNode* node = Node(position);
        return InsertNode(node->pPrev, node, newElement);
    }
    POSITION InsertAfter(POSITION position, ARG_TYPE newElement)
    {
        if (position == NULL)
            return AddTail(newElement);
        CNode* node = Node(position);
        return InsertNode(node, node->pNext, newElement);
    }

    // Searches after startAfter (NULL: from the head).
    POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const
    {
        CNode* node = startAfter == NULL ? m_pHead : Node(startAfter)->pNext;
        for (; node != NULL; node = node->pNext) {
            if (node->data == searchValue)
                return (POSITION)node;
        }
        return NULL;
    }

    // NULL when nIndex is outside the list.
    POSITION FindIndex(int nIndex) const
    {
        if (nIndex < 0 || nIndex >= m_nCount)
            return NULL;
        CNode* node = m_pHead;
        while (nIndex-- > 0)
            node = node->pNext;
        return (POSITION)node;
    }

private:
    static CNode* Node(POSITION position)
    {
        ASSERT(position != NULL && position != BEFORE_START_POSITION);
        return reinterpret_cast<CNode*>(position);
    }

    POSITION InsertNode(CNode* prev, CNode* next, ARG_TYPE newElement)
    {
        // Construct first: newElement may be an element of this list.
        CNode* node = new (m_pool.Alloc()) CNode{ next, prev, newElement };
        (prev != NULL ? prev->pNext : m_pHead) = node;
        (next != NULL ? next->pPrev : m_pTail) = node;
        m_nCount++;
        return (POSITION)node;
    }

    CNode* m_pHead = NULL;
    CNode* m_pTail = NULL;
    int m_nCount = 0;
    CFwNodePool<CNode> m_pool;
};

class CPtrList : public CList<void*, void*> {
public:
    explicit CPtrList(int nBlockSize = 10) : CList<void*, void*>(nBlockSize) {}
};

// A pointer list whose elements come out as TYPE (a pointer type).
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public BASE_CLASS {
public:
    explicit CTypedPtrList(int nBlockSize = 10) : BASE_CLASS(nBlockSize) {}

    TYPE& GetHead() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetHead()); }
    TYPE GetHead() const { return (TYPE)BASE_CLASS::GetHead(); }
    TYPE& GetTail() { return reinterpret_cast<TYPE&>(BASE_CLASS::GetTail()); }
    TYPE GetTail() const { return (TYPE)BASE_CLASS::GetTail(); }
    TYPE RemoveHead() { return (TYPE)BASE_CLASS::RemoveHead(); }
    TYPE RemoveTail() { return (TYPE)BASE_CLASS::RemoveTail(); }
    TYPE& GetNext(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetNext(rPosition)); }
    TYPE GetNext(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetNext(rPosition); }
    TYPE& GetPrev(POSITION& rPosition) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetPrev(rPosition)); }
    TYPE GetPrev(POSITION& rPosition) const { return (TYPE)BASE_CLASS::GetPrev(rPosition); }
    TYPE& GetAt(POSITION position) { return reinterpret_cast<TYPE&>(BASE_CLASS::GetAt(position)); }
    TYPE GetAt(POSITION position) const { return (TYPE)BASE_CLASS::GetAt(position); }
    void SetAt(POSITION pos, TYPE newElement) { BASE_CLASS::SetAt(pos, newElement); }

    POSITION AddHead(TYPE newElement) { return BASE_CLASS::AddHead(newElement); }
    POSITION AddTail(TYPE newElement) { return BASE_CLASS::AddTail(newElement); }
    void AddHead(const CTypedPtrList* pNewList) { BASE_CLASS::AddHead(pNewList); }
    void AddTail(const CTypedPtrList* pNewList) { BASE_CLASS::AddTail(pNewList); }
};
