// Growable arrays: the CArray template and the element-typed arrays built on
// it. Indexes outside the array are the caller's fault (ASSERT); writing
// past the end is only allowed through SetAtGrow and InsertAt.
#pragma once
#include "AfxDebug.h"
#include "AfxObject.h"
#include "AfxString.h"

#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    int GetSize() const { return (int)m_data.size(); }
    int GetCount() const { return (int)m_data.size(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    int GetUpperBound() const { return (int)m_data.size() - 1; }

    // New elements start zeroed (or empty). nGrowBy is accepted for the
    // callers' sake; growth is geometric anyway.
    void SetSize(int nNewSize, int nGrowBy = -1)
    {
        ASSERT(nNewSize >= 0);
        m_data.resize(nNewSize < 0 ? 0 : nNewSize);
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    TYPE GetAt(int nIndex) const { return m_data[Checked(nIndex)]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { m_data[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(int nIndex) { return m_data[Checked(nIndex)]; }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }

    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }

    void SetAtGrow(int nIndex, ARG_TYPE newElement)
    {
        ASSERT(nIndex >= 0);
        if (nIndex >= GetSize()) {
            TYPE copy(newElement);  // newElement may live in this array
            m_data.resize(nIndex + 1);
            m_data[nIndex] = copy;
        } else {
            m_data[nIndex] = newElement;
        }
    }

    int Add(ARG_TYPE newElement)
    {
        m_data.push_back(newElement);
        return GetUpperBound();
    }

    // Returns the index of the first appended element.
    int Append(const CArray& src)
    {
        int oldSize = GetSize();
        if (&src == this) {
            std::vector<TYPE> copy(src.m_data);
            m_data.insert(m_data.end(), copy.begin(), copy.end());
        } else {
            m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        }
        return oldSize;
    }

    void Copy(const CArray& src)
    {
        if (&src != this)
            m_data = src.m_data;
    }

    // Past the end, the array first grows to nIndex.
    void InsertAt(int nIndex, ARG_TYPE newElement, int nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0);
        if (nIndex < 0 || nCount <= 0)
            return;
        TYPE copy(newElement);
        if (nIndex > GetSize())
            m_data.resize(nIndex);
        m_data.insert(m_data.begin() + nIndex, nCount, copy);
    }

    void InsertAt(int nStartIndex, const CArray* pNewArray)
    {
        ASSERT(nStartIndex >= 0 && pNewArray != NULL);
        if (nStartIndex < 0 || pNewArray == NULL)
            return;
        std::vector<TYPE> copy(pNewArray->m_data);
        if (nStartIndex > GetSize())
            m_data.resize(nStartIndex);
        m_data.insert(m_data.begin() + nStartIndex, copy.begin(), copy.end());
    }

    void RemoveAt(int nIndex, int nCount = 1)
    {
        ASSERT(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        if (nIndex < 0 || nCount <= 0 || nIndex >= GetSize())
            return;
        if (nCount > GetSize() - nIndex)
            nCount = GetSize() - nIndex;
        m_data.erase(m_data.begin() + nIndex, m_data.begin() + nIndex + nCount);
    }

private:
    int Checked(int nIndex) const
    {
        ASSERT(nIndex >= 0 && nIndex < GetSize());
        return nIndex;
    }

    std::vector<TYPE> m_data;
};

class CPtrArray : public CArray<void*, void*> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CByteArray : public CArray<BYTE, BYTE> {};
class CStringArray : public CArray<CString, const CString&> {};

// A pointer array whose elements come out as TYPE (a pointer type).
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(int nIndex) const { return (TYPE)BASE_CLASS::GetAt(nIndex); }
    TYPE& ElementAt(int nIndex) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(nIndex)); }
    void SetAt(int nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(int nIndex, TYPE ptr) { BASE_CLASS::SetAtGrow(nIndex, ptr); }
    int Add(TYPE ptr) { return BASE_CLASS::Add(ptr); }
    void InsertAt(int nIndex, TYPE ptr, int nCount = 1) { BASE_CLASS::InsertAt(nIndex, ptr, nCount); }
    void InsertAt(int nStartIndex, const CTypedPtrArray* pNewArray)
    { BASE_CLASS::InsertAt(nStartIndex, pNewArray); }
    int Append(const CTypedPtrArray& src) { return BASE_CLASS::Append(src); }
    void Copy(const CTypedPtrArray& src) { BASE_CLASS::Copy(src); }

    TYPE operator[](int nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](int nIndex) { return ElementAt(nIndex); }
};
