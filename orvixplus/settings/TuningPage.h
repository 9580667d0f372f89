// The tuning tab: band, how channels are found, the channel list of the band
// (its rows are the store's own records), moving rows, fine tune, the scan
// button and channel-file import and export.
#pragma once
#include "SettingsPage.h"

class CChannelListCtrl;
class CEditListCtrl;
struct ChannelRecord;

// Rebuilds the rows from store list nList: every stored number in ascending
// order (the list is emptied first, which ends an edit without writing it).
void FillChannelRows(CEditListCtrl* pList, int nList);
// The file an export writes for a chosen path: the extension of the file
// name (not of a folder) replaced by ".chl", or ".chl" appended.
CString ExportPathFor(LPCSTR pszChosen);

class CTuningPage : public CSettingsPage {
public:
    enum { IDC_AIR = 4129, IDC_CABLE = 4130, IDC_SOURCE = 4132, IDC_LIST = 4133, IDC_IMPORT = 4136,
           IDC_EXPORT = 4137, IDC_FINE_TUNE = 4146, IDC_PROGRESS = 4147, IDC_SCAN = 4148,
           IDC_FINE_LABEL = 4149, IDC_MOVE_TOP = 8192 };
    CTuningPage() : m_pList(NULL), m_nBand(0) {}
    CChannelListCtrl* GetList() const { return m_pList; }

    // TRUE when the file was read into the store; a file of another
    // extension is not read.
    BOOL ImportFile(LPCSTR pszPath);
    BOOL ExportFile(LPCSTR pszChosen);

protected:
    virtual BOOL CreateControls();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    BOOL CreateList();
    void OnBand(UINT nID);
    void OnMove(UINT nID);
    void OnImport();
    void OnExport();
    void OnNameChanged(ChannelRecord* pRec);
    void OnFrequencyChanged(ChannelRecord* pRec);
    void UpdateHistory(const ChannelRecord& rec);

    CChannelListCtrl* m_pList;
    int m_nBand;
};
