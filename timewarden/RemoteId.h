// Pairing the card's infrared receiver with a remote: the two ID bytes kept
// in remote.ini, given to the receiver at every start, and the "Remote ID
// Setting" dialog in which the receiver learns a new remote.
#pragma once
#include "Afx.h"
#include "ThemeControls.h"
#include "ThemeFrame.h"
#include "resource.h"

#define REMOTE_INI_NAME "remote.ini"
// The receiver's answer while it has learnt no remote.
const BYTE kRemoteNotLearnt = 'z';
// Third command byte: take the ID given; start pairing (forget the ID).
const BYTE kRemoteSetId = 0xCD;
const BYTE kRemoteStartPairing = 0xC1;

#define REMOTE_PAIR_ERROR_TEXT "Error, Please press the 'vol-' button in the remote and press the 'Set' button!"

// Writes 0x12, a, b, c to the receiver; FALSE when the card or any step of
// the driver chain is missing.
BOOL WriteRemoteId(BYTE a, BYTE b, BYTE c);
// One ID byte read from the receiver. FALSE (and *pId 0xFF) when there is no
// card or the read fails: 0xFF is also a byte a remote may have.
BOOL ReadRemoteId(BYTE* pId);

// remote.ini's two bytes (the low byte of each value; 0 when missing).
void ReadRemoteIni(LPCSTR lpszIni, BYTE* pId0, BYTE* pId1);
void WriteRemoteIni(LPCSTR lpszIni, BYTE id0, BYTE id1);
// The field's text for two ID bytes: "%X%X", id0 first.
CString FormatRemoteId(BYTE id0, BYTE id1);

class CRemoteIdDlg : public CDialog {
public:
    enum { IDD = IDD_REMOTE_ID };
    explicit CRemoteIdDlg(CWnd* pParent = NULL);
    void SetIniPath(const CString& path) { m_strIniPath = path; }
    const CString& GetIniPath() const { return m_strIniPath; }
    void OnPair();
    BYTE m_id[2];
protected:
    virtual BOOL OnInitDialog();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The dialog lives for the whole run: closing only hides it.
    virtual void OnOK() { ShowWindow(SW_HIDE); }
    virtual void OnCancel() { ShowWindow(SW_HIDE); }
private:
    CString m_strIniPath;
    CHoverBitmapButton m_btnPair, m_btnHelp, m_btnExit;
    CTransparentLabel m_label;
    CHexEdit m_edit;
    CThemeFrame m_frame;
};

// The modeless dialog made at start (NULL before and after).
extern CRemoteIdDlg* g_pRemoteIdDlg;
