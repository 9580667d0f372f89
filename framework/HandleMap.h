// Maps from Win32 handles to the C++ objects that wrap them.
//
// Permanent map: objects the program attached (Attach, Create, SubclassWindow);
// one per process, locked, because another thread may look a window up.
// Temporary map: throw-away wrappers made by FromHandle for handles nobody
// attached; one per thread, emptied by AfxDeleteTempMaps when the thread idles.
#pragma once
#include <windows.h>
#include <unordered_map>
#include "AfxState.h"

template <class H, class T>
class FwPermanentMap {
public:
    static T* Lookup(H h)
    {
        if (!h) return NULL;
        Data& d = Get();
        EnterCriticalSection(&d.lock);
        typename std::unordered_map<H, T*>::iterator it = d.map.find(h);
        T* p = it == d.map.end() ? NULL : it->second;
        LeaveCriticalSection(&d.lock);
        return p;
    }
    // FALSE when the handle already belongs to another object.
    static BOOL Add(H h, T* p)
    {
        Data& d = Get();
        EnterCriticalSection(&d.lock);
        T*& slot = d.map[h];
        BOOL ok = slot == NULL || slot == p;
        if (ok) slot = p;
        LeaveCriticalSection(&d.lock);
        return ok;
    }
    // Removes the entry only when it still names this object.
    static void Remove(H h, T* p)
    {
        Data& d = Get();
        EnterCriticalSection(&d.lock);
        typename std::unordered_map<H, T*>::iterator it = d.map.find(h);
        if (it != d.map.end() && it->second == p)
            d.map.erase(it);
        LeaveCriticalSection(&d.lock);
    }
private:
    struct Data {
        CRITICAL_SECTION lock;
        std::unordered_map<H, T*> map;
        Data() { InitializeCriticalSection(&lock); }
    };
    // Never freed: global window objects may still look themselves up while
    // the program's static objects are being destroyed.
    static Data& Get()
    {
        static Data* d = new Data;
        return *d;
    }
};

// Member is the wrapper's handle member; it is cleared before a temporary is
// deleted so that its destructor leaves the handle alone.
template <class H, class T, H T::*Member>
class FwTempMap {
public:
    static T* Lookup(H h)
    {
        if (!h) return NULL;
        std::unordered_map<H, T*>& m = Map();
        typename std::unordered_map<H, T*>::iterator it = m.find(h);
        return it == m.end() ? NULL : it->second;
    }
    template <class U>
    static T* Get(H h)
    {
        if (!h) return NULL;
        T* p = Lookup(h);
        if (!p) {
            p = new U;
            p->*Member = h;
            Map()[h] = p;
        }
        return p;
    }
    static void DeleteAll()
    {
        std::unordered_map<H, T*> old;
        old.swap(Map());
        for (typename std::unordered_map<H, T*>::iterator it = old.begin(); it != old.end(); ++it) {
            it->second->*Member = NULL;
            delete it->second;
        }
    }
private:
    static std::unordered_map<H, T*>& Map()
    {
        static thread_local std::unordered_map<H, T*>* m = NULL;
        if (!m) {
            m = new std::unordered_map<H, T*>;
            FwRegisterTempMapCleaner(&DeleteAll);
        }
        return *m;
    }
};
