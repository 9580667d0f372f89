#include "ImageList.h"
#include "Dc.h"
#include "GdiObject.h"
#include "HandleMap.h"
#include "WinApp.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

typedef FwTempMap<HIMAGELIST, CImageList, &CImageList::m_hImageList> ImageListTempMap;

CImageList::~CImageList()
{
    DeleteImageList();
}

__attribute__((optimize("no-delete-null-pointer-checks")))
HIMAGELIST CImageList::GetSafeHandle() const
{
    return this == NULL ? NULL : m_hImageList;
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList)
{
    return ImageListTempMap::Get<CImageList>(hImageList);
}

BOOL CImageList::Attach(HIMAGELIST hImageList)
{
    if (m_hImageList || !hImageList)
        return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

BOOL CImageList::AttachNew(HIMAGELIST hImageList)
{
    if (Attach(hImageList))
        return TRUE;
    if (hImageList)
        ImageList_Destroy(hImageList);
    return FALSE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST h = m_hImageList;
    m_hImageList = NULL;
    return h;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    return AttachNew(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return AttachNew(ImageList_LoadImage(AfxGetResourceHandle(), lpszBitmapID, cx, nGrow, crMask,
                                      IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(),
                             (HBITMAP)pbmMask->GetSafeHandle());
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}
