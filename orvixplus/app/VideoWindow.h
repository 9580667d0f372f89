// The top-level window the live picture is shown in (class "Orvix Plus"),
// placed above the main dialog. This holds its creation, the binding of the
// capture graph, the black background and the video following the size; its
// menu, frame, sizes and full screen come with the channel work.
#pragma once
#include "Afx.h"

#define VIDEO_WINDOW_CLASS "Orvix Plus"
#define VIDEO_WINDOW_PROP "sVideoWindow_OldProc"

class CVideoWindow : public CWnd {
public:
    CVideoWindow();
    virtual ~CVideoWindow();

    // A hidden window whose client area is cx x cy; then AttachVideo.
    BOOL Create(int cx, int cy);
    BOOL LoadSkin(LPCSTR pszSkinIni);
    void SetCaption(LPCSTR pszText) { SetWindowText(pszText); }
    // Binds the current capture graph to the window and opens the device at
    // the settings' size and input. A graph that fails is deleted and
    // g_pCaptureGraph cleared. FALSE without a graph.
    BOOL AttachVideo();

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};
