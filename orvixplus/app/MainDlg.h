// The main TV dialog. Its initialisation creates the objects that live for the
// whole run (Globals.h) and its destruction saves and frees them.
#pragma once
#include "Afx.h"
#include "resource.h"

class CMainDlg : public CDialog {
public:
    enum { IDD = IDD_ORVIXPLUS_DIALOG };
    explicit CMainDlg(CWnd* pParent = NULL);

    BOOL LoadSettingsFile(LPCSTR path);
    BOOL SaveSettingsFile(LPCSTR path);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual HCURSOR OnQueryDragIcon();

private:
    CString SettingsPath() const;
    BOOL CreateSettings();
    void CreateAppState();
    void FreeRunObjects();

    HICON m_hIcon;
};
