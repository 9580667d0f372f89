// A filter graph with the control interfaces the engine uses: running and
// stopping, the video window, events and seeking. The graph is listed in the
// running object table so that graph tools can look at it.
#pragma once
#include "AfxCore.h"
#include <dshow.h>
#include <string>

class CGraphControl {
public:
    CGraphControl();
    virtual ~CGraphControl();
    virtual BOOL Create();
    virtual void Release();
    // Takes pGraph (a reference of its own) in place of the held graph.
    virtual BOOL Attach(IGraphBuilder* pGraph);

    BOOL Run();
    BOOL Stop();
    // The video window becomes a child filling the owner's client area.
    BOOL SetOwner(HWND hOwner);
    BOOL SetWindowPosition(int left, int top, int width, int height);

    IGraphBuilder* GetGraph() const { return m_pGB; }
    IVideoWindow* GetVideoWindow() const { return m_pVW; }

protected:
    BOOL CreateGraph();
    void RegisterInRot();
    BOOL QueryInterfaces();
    // Hides the video window and takes it off its owner before letting it go:
    // a window still owned would go on drawing into (and sending to) a window
    // that no longer expects it.
    void ReleaseVideoWindow();

    IGraphBuilder* m_pGB;
    IMediaControl* m_pMC;
    IMediaEventEx* m_pME;
    IBasicVideo* m_pBV;
    IBasicAudio* m_pBA;
    IVideoWindow* m_pVW;
    IMediaSeeking* m_pMS;
    DWORD m_dwRegister;  // running object table cookie, 0 when not listed
    int m_nState;        // 0 stopped, 2 running
    HWND m_hOwner;

private:
    CGraphControl(const CGraphControl&);
    CGraphControl& operator=(const CGraphControl&);
};

// The name a graph is listed under in the running object table: its address
// as upper-case hexadecimal of pointer width and the process id.
std::wstring RotEntryName(const void* pGraph, DWORD pid);
