// Every filter the capture engine puts into a graph is held by a wrapper that
// knows how to find or create it, the name it goes into the graph under, and
// what success means for it. The graphs only create wrappers, call Create and
// connect the filters the wrappers hold.
#pragma once
#include <windows.h>
#include <dshow.h>

// CoCreateInstance (in-process) + IFilterGraph::AddFilter under pszName. *ppF
// is emptied first and receives the filter (one reference) only on success.
HRESULT AddFilterByCLSID(IGraphBuilder* pGraph, REFCLSID clsid, LPCWSTR pszName,
                         IBaseFilter** ppF);
// The first pin of pFilter (in enumeration order) that answers riid.
HRESULT FindPinInterface(IBaseFilter* pFilter, REFIID riid, void** ppUnk);
// The first input (bInput) or output pin whose ANSI name contains pszPartialName
// (case-sensitive; NULL or "" matches any). No reference is held for the caller:
// the pin stays valid while the filter holds it.
IPin* FindPin(IBaseFilter* pFilter, BOOL bInput, LPCSTR pszPartialName);
// Removes every filter connected downstream (upstream) of pFilter, recursively,
// disconnecting both sides of each connection. pFilter itself stays.
void NukeDownstream(IGraphBuilder* pGraph, IBaseFilter* pFilter);
void NukeUpstream(IGraphBuilder* pGraph, IBaseFilter* pFilter);
// Frees a media type obtained from IAMStreamConfig::GetFormat and friends.
void DeleteMediaType(AM_MEDIA_TYPE* pmt);
// Frees only the format block and pUnk of a media type held by value.
void FreeMediaType(AM_MEDIA_TYPE& mt);

class CFilterWrapper {
public:
    explicit CFilterWrapper(IGraphBuilder* pGraph) : m_pFilter(NULL), m_pGraph(pGraph) {}
    virtual ~CFilterWrapper() { Release(); }
    virtual BOOL Create() { return FALSE; }

    IBaseFilter* GetFilter() const { return m_pFilter; }
    IGraphBuilder* GetGraph() const { return m_pGraph; }
    // Takes the filter out of the graph and lets it go.
    void Release();
    // Whether the filter itself runs: a graph's Run can report success over
    // a filter that refused to start.
    BOOL IsRunning() const;
    IPin* FindPin(BOOL bInput, LPCSTR pszPartialName) const
    {
        return ::FindPin(m_pFilter, bInput, pszPartialName);
    }

protected:
    enum CreateRule { ReAddExactOk, ReAddAnySuccess, Keep };
    // The shared Create: re-adds a held filter (by rule) or creates a new one.
    // bFresh tells the caller whether a new filter was made.
    BOOL CreateByRule(CreateRule rule, REFCLSID clsid, LPCWSTR pszName, BOOL* pbFresh = NULL);
    // The keep rule for a capture device found by friendly name in a category.
    BOOL CreateFromDevice(REFCLSID category, LPCSTR pszFriendlyName, LPCWSTR pszName);

    IBaseFilter* m_pFilter;   // one reference, NULL until Create succeeds
    IGraphBuilder* m_pGraph;  // not owned

private:
    CFilterWrapper(const CFilterWrapper&);
    CFilterWrapper& operator=(const CFilterWrapper&);
};
