#include "GdiObject.h"
#include "Dc.h"
#include "HandleMap.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

typedef FwTempMap<HGDIOBJ, CGdiObject, &CGdiObject::m_hObject> GdiTempMap;

template <class T>
T* CGdiObject::TempFromHandle(HGDIOBJ hObject)
{
    return static_cast<T*>(GdiTempMap::Get<T>(hObject));
}

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

__attribute__((optimize("no-delete-null-pointer-checks")))
HGDIOBJ CGdiObject::GetSafeHandle() const
{
    return this == NULL ? NULL : m_hObject;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return TempFromHandle<CGdiObject>(hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (m_hObject || !hObject)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

BOOL CGdiObject::AttachNew(HGDIOBJ hObject)
{
    if (Attach(hObject))
        return TRUE;
    if (hObject)
        ::DeleteObject(hObject);
    return FALSE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = NULL;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

CPen* CPen::FromHandle(HPEN hPen) { return TempFromHandle<CPen>(hPen); }
CBrush* CBrush::FromHandle(HBRUSH hBrush) { return TempFromHandle<CBrush>(hBrush); }
CFont* CFont::FromHandle(HFONT hFont) { return TempFromHandle<CFont>(hFont); }
CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return TempFromHandle<CBitmap>(hBitmap); }
CRgn* CRgn::FromHandle(HRGN hRgn) { return TempFromHandle<CRgn>(hRgn); }

CBrush::CBrush(CBitmap* pBitmap)
{
    CreatePatternBrush(pBitmap);
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return AttachNew(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONT lf;
    memset(&lf, 0, sizeof(lf));
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    lstrcpyn(lf.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC)
{
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(NULL);
    LOGFONT lf = *lpLogFont;
    // Tenths of a point to device pixels, as a character height (negative).
    // Truncated, not rounded: 11 points at 96 dpi is 14 pixels, the height
    // the skins were drawn for.
    POINT pt;
    pt.y = ::GetDeviceCaps(hDC, LOGPIXELSY) * lf.lfHeight / 720;
    pt.x = 0;
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = { 0, 0 };
    ::DPtoLP(hDC, &ptOrg, 1);
    lf.lfHeight = -abs(pt.y - ptOrg.y);
    if (!pDC)
        ::ReleaseDC(NULL, hDC);
    return CreateFontIndirect(&lf);
}

// A section, not a bitmap of the screen's kind: the same pixels, but drawing
// from it or cutting parts out of it never asks the display about it, which
// under Wine is a round trip to its server the first time each bitmap is
// selected.
BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName)
{
    return AttachNew((HBITMAP)::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP,
                                           0, 0, LR_CREATEDIBSECTION));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return AttachNew(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}
