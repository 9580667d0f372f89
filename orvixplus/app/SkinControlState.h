// Enables and disables the main window's skin elements for the current source
// and mode. One instance, g_pSkinRefresher.
#pragma once

class CSkinControlState {
public:
    virtual ~CSkinControlState() {}
    void Refresh();
};
