#include "GraphControl.h"
#include "StepTrace.h"
#include "AfxComPtr.h"
#include <stdio.h>

namespace {

template <class T>
void ReleaseInto(T** pp)
{
    if (*pp) {
        T* p = *pp;
        *pp = NULL;
        p->Release();
    }
}

}  // namespace

std::wstring RotEntryName(const void* pGraph, DWORD pid)
{
    // Not %p: its width and case differ between run-time libraries.
    char text[64];
    snprintf(text, sizeof(text), "FilterGraph %0*llX pid %08lx", (int)(sizeof(void*) * 2),
             (unsigned long long)(UINT_PTR)pGraph, (unsigned long)pid);
    wchar_t wide[64];
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64);
    return wide;
}

CGraphControl::CGraphControl()
    : m_pGB(NULL), m_pMC(NULL), m_pME(NULL), m_pBV(NULL), m_pBA(NULL), m_pVW(NULL), m_pMS(NULL),
      m_dwRegister(0), m_nState(0), m_hOwner(NULL)
{
}

CGraphControl::~CGraphControl() { CGraphControl::Release(); }

BOOL CGraphControl::CreateGraph()
{
    if (m_pGB)
        return FALSE;
    return SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER,
                                      IID_IGraphBuilder, (void**)&m_pGB));
}

void CGraphControl::RegisterInRot()
{
    ComPtr<IRunningObjectTable> pRot;
    ComPtr<IMoniker> pMoniker;
    std::wstring name = RotEntryName(m_pGB, GetCurrentProcessId());
    if (FAILED(GetRunningObjectTable(0, pRot.Out())) ||
        FAILED(CreateItemMoniker(L"!", name.c_str(), pMoniker.Out())))
        return;
    if (FAILED(pRot->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, m_pGB, pMoniker, &m_dwRegister)))
        m_dwRegister = 0;
}

BOOL CGraphControl::QueryInterfaces()
{
    BOOL ok = SUCCEEDED(m_pGB->QueryInterface(IID_IMediaControl, (void**)&m_pMC));
    ok = SUCCEEDED(m_pGB->QueryInterface(IID_IMediaEventEx, (void**)&m_pME)) && ok;
    ok = SUCCEEDED(m_pGB->QueryInterface(IID_IBasicVideo, (void**)&m_pBV)) && ok;
    ok = SUCCEEDED(m_pGB->QueryInterface(IID_IBasicAudio, (void**)&m_pBA)) && ok;
    ok = SUCCEEDED(m_pGB->QueryInterface(IID_IVideoWindow, (void**)&m_pVW)) && ok;
    ok = SUCCEEDED(m_pGB->QueryInterface(IID_IMediaSeeking, (void**)&m_pMS)) && ok;
    if (m_pMS)
        m_pMS->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    return ok;
}

BOOL CGraphControl::Create()
{
    if (!CreateGraph())
        return FALSE;
    FwTraceStep("graph: filter graph");
    RegisterInRot();
    FwTraceStep("graph: running-object table");
    return QueryInterfaces();
}

BOOL CGraphControl::Attach(IGraphBuilder* pGraph)
{
    Release();
    if (!pGraph)
        return TRUE;
    pGraph->AddRef();
    m_pGB = pGraph;
    RegisterInRot();
    return QueryInterfaces();
}

void CGraphControl::ReleaseVideoWindow()
{
    if (!m_pVW)
        return;
    m_pVW->put_Visible(OAFALSE);
    m_pVW->put_MessageDrain((OAHWND)NULL);
    m_pVW->put_Owner((OAHWND)NULL);
    ReleaseInto(&m_pVW);
}

void CGraphControl::Release()
{
    ReleaseInto(&m_pMS);
    ReleaseInto(&m_pMC);
    ReleaseInto(&m_pME);
    ReleaseInto(&m_pBV);
    ReleaseInto(&m_pBA);
    ReleaseVideoWindow();
    if (m_dwRegister) {
        ComPtr<IRunningObjectTable> pRot;
        if (SUCCEEDED(GetRunningObjectTable(0, pRot.Out())))
            pRot->Revoke(m_dwRegister);
        m_dwRegister = 0;
    }
    ReleaseInto(&m_pGB);
    m_nState = 0;
    m_hOwner = NULL;
}

BOOL CGraphControl::Run()
{
    if (!m_pGB || !m_pMC)
        return FALSE;
    if (m_nState == 2)
        return TRUE;
    if (FAILED(m_pMC->Run()))
        return FALSE;
    m_nState = 2;
    return TRUE;
}

BOOL CGraphControl::Stop()
{
    if (!m_pGB || !m_pMC)
        return FALSE;
    if (m_nState == 0)
        return TRUE;
    if (FAILED(m_pMC->Stop()))
        return FALSE;
    m_nState = 0;
    return TRUE;
}

BOOL CGraphControl::SetOwner(HWND hOwner)
{
    if (!m_pVW)
        return FALSE;
    m_hOwner = hOwner;
    m_pVW->put_Visible(OAFALSE);
    m_pVW->put_Owner((OAHWND)hOwner);
    RECT rc = {};
    if (hOwner)
        GetClientRect(hOwner, &rc);
    m_pVW->SetWindowPosition(0, 0, rc.right, rc.bottom);
    m_pVW->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_pVW->put_MessageDrain((OAHWND)hOwner);
    m_pVW->put_Visible(hOwner ? OATRUE : OAFALSE);
    return TRUE;
}

BOOL CGraphControl::SetWindowPosition(int left, int top, int width, int height)
{
    if (!m_pVW)
        return FALSE;
    return SUCCEEDED(m_pVW->SetWindowPosition(left, top, width, height));
}
