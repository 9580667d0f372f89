#include "RemoteId.h"
#include <stdlib.h>
#include "AfxComPtr.h"
#include "CardDriverInterfaces.h"
#include "StoredFile.h"

CRemoteIdDlg* g_pRemoteIdDlg = NULL;

namespace {

const BYTE kRemoteCommand = 0x12;

// The card's I2C interface at one slave address; NULL when any step fails.
// Every object of the chain is released when the holder goes.
struct RemoteBus {
    ComPtr<IVampDeviceEnumerator> enumerator;
    ComPtr<IUnknown> deviceObject;
    ComPtr<IVampDevice> device;
    ComPtr<IUnknown> i2cObject;
    ComPtr<IVampI2C> i2c;

    BOOL Open(int slave)
    {
        if (FAILED(::CoCreateInstance(CLSID_VampDeviceEnumerator, NULL,
                                      CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IVampDeviceEnumerator,
                                      enumerator.OutVoid())) || !enumerator)
            return FALSE;
        int count = 0;
        if (FAILED(enumerator->GetDeviceCount(&count)) || count <= 0)
            return FALSE;
        if (FAILED(enumerator->GetDevice(0, deviceObject.Out())) || !deviceObject)
            return FALSE;
        if (FAILED(deviceObject->QueryInterface(IID_IVampDevice, device.OutVoid())) || !device)
            return FALSE;
        if (FAILED(device->GetI2C(i2cObject.Out())) || !i2cObject)
            return FALSE;
        if (FAILED(i2cObject->QueryInterface(IID_IVampI2C, i2c.OutVoid())) || !i2c)
            return FALSE;
        return SUCCEEDED(i2c->SetSlaveAddress(slave));
    }
};

}  // namespace

BOOL WriteRemoteId(BYTE a, BYTE b, BYTE c)
{
    RemoteBus bus;
    if (!bus.Open(VAMP_I2C_TUNER))
        return FALSE;
    BYTE bytes[4] = {kRemoteCommand, a, b, c};
    int written = 0;
    return SUCCEEDED(bus.i2c->Write(bytes, 4, &written)) && written == 4;
}

BOOL ReadRemoteId(BYTE* pId)
{
    if (!pId)
        return FALSE;
    *pId = 0xFF;
    RemoteBus bus;
    if (!bus.Open(VAMP_I2C_REMOTE_READ))
        return FALSE;
    BYTE value = 0;
    int got = 0;
    if (FAILED(bus.i2c->Read(&value, 1, &got)) || got != 1)
        return FALSE;
    *pId = value;
    return TRUE;
}

void ReadRemoteIni(LPCSTR lpszIni, BYTE* pId0, BYTE* pId1)
{
    char first[4] = "", second[4] = "";
    ReadProfileString("CODE", "0", "", first, sizeof(first), lpszIni);
    ReadProfileString("CODE", "1", "", second, sizeof(second), lpszIni);
    *pId0 = (BYTE)(atoi(first) & 0xFF);
    *pId1 = (BYTE)(atoi(second) & 0xFF);
}

void WriteRemoteIni(LPCSTR lpszIni, BYTE id0, BYTE id1)
{
    CString value;
    value.Format("%d", id0);
    ::WritePrivateProfileStringA("CODE", "0", value, lpszIni);
    value.Format("%d", id1);
    ::WritePrivateProfileStringA("CODE", "1", value, lpszIni);
}

CString FormatRemoteId(BYTE id0, BYTE id1)
{
    CString text;
    text.Format("%X%X", id0, id1);
    return text;
}

CRemoteIdDlg::CRemoteIdDlg(CWnd* pParent) : CDialog(IDD, pParent)
{
    m_id[0] = m_id[1] = 0;
}

BOOL CRemoteIdDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    struct { CHoverBitmapButton* button; UINT id; } buttons[] = {
        {&m_btnPair, IDC_REMOTE_PAIR}, {&m_btnHelp, IDC_REMOTE_HELP}, {&m_btnExit, IDC_REMOTE_EXIT}};
    for (const auto& b : buttons) {
        b.button->SetBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_HOVER, IDB_BUTTON_PRESSED);
        b.button->SubclassDlgItem(b.id, this);
    }
    m_label.SetTextColour(RGB(212, 208, 200));
    m_label.SubclassDlgItem(IDC_REMOTE_ID_LABEL, this);
    m_edit.SetMaxLength(6);
    m_edit.SetBackground(IDB_HEX_EDIT);
    m_edit.SubclassDlgItem(IDC_REMOTE_ID_FIELD, this);
    m_edit.SetFieldFont("宋体", 12);
    if (m_frame.LoadTheme(ProgramFolderPath(THEME_INI_PATH)) && m_frame.Attach(this))
        SetWindowPos(NULL, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return TRUE;
}

BOOL CRemoteIdDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_REMOTE_PAIR:
        OnPair();
        return TRUE;
    case IDC_REMOTE_EXIT:
        EndDialog(IDOK);
        ShowWindow(SW_HIDE);
        return TRUE;
    case IDC_REMOTE_HELP:
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CRemoteIdDlg::OnPair()
{
    BYTE id0 = 0xFF, id1 = 0xFF;
    BOOL bRead = ReadRemoteId(&id0);
    bRead = ReadRemoteId(&id1) && bRead;
    if (bRead && id0 == kRemoteNotLearnt) {
        MessageBox(REMOTE_PAIR_ERROR_TEXT);
        WriteRemoteId(0, 0, kRemoteStartPairing);
        return;
    }
    m_id[0] = id0;
    m_id[1] = id1;
    if (m_edit.m_hWnd)
        m_edit.SetWindowText(FormatRemoteId(id0, id1));
    Invalidate(TRUE);
    UpdateWindow();
    // A read that failed shows what the receiver would say without a card,
    // but the ID the receiver was given stays the one in the file.
    if (bRead)
        WriteRemoteIni(m_strIniPath, id0, id1);
}
