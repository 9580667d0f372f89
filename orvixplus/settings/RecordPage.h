// The recording tab: format and quality, the picture and record folders
// (chosen with the folder chooser) and the fixed drives with their space.
#pragma once
#include "SettingsPage.h"

class CSkinListCtrl;

class CRecordPage : public CSettingsPage {
public:
    enum { IDC_FORMAT_FIRST = 4384, IDC_QUALITY = 4208, IDC_PICTURE_LABEL = 4210, IDC_PICTURE_BROWSE = 4211,
           IDC_RECORD_LABEL = 4213, IDC_RECORD_BROWSE = 4214, IDC_DRIVES = 4215 };
    CRecordPage() : m_pDrives(NULL), m_nFormat(0) {}
    CSkinListCtrl* GetDriveList() const { return m_pDrives; }
    // The folder a chooser's answer becomes: the chosen one with its
    // backslash when usable, else the program folder; empty when neither
    // fits the settings field.
    static CString FolderToStore(LPCSTR pszChosen, LPCSTR pszProgramFolder);
    // The drive list's "比例(%)": free x 100 / total, 0 for a drive of no size.
    static int FreePercent(ULONGLONG freeMB, ULONGLONG totalMB);

protected:
    virtual BOOL CreateControls();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnDestroy();

private:
    BOOL CreateDriveList();
    void FillDrives();
    void Browse(BOOL bRecordFolder);

    CSkinListCtrl* m_pDrives;
    int m_nFormat;
};
