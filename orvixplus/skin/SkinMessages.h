// Private messages by which the skinned controls report to their parents and
// by which the lists are driven. Senders and receivers both take the numbers
// from here.
#pragma once
#include <windows.h>

#define WM_SKINTAB_CLICKED          (WM_USER + 100)
#define WM_SKINCHECK_CLICKED        (WM_USER + 101)
#define WM_EDITLIST_FREQCHANGED     (WM_USER + 200)
#define WM_EDITLIST_NAMECHANGED     (WM_USER + 201)
#define WM_EDITLIST_MOVEUP          (WM_USER + 202)
#define WM_EDITLIST_MOVEDOWN        (WM_USER + 203)
#define WM_EDITLIST_MOVETOP         (WM_USER + 204)
#define WM_EDITLIST_MOVEBOTTOM      (WM_USER + 205)
#define WM_SHAPEPROGRESS_MOVING     (WM_USER + 300)
#define WM_SHAPEPROGRESS_RELEASED   (WM_USER + 301)
#define WM_PROP_SELCHANGE           (WM_USER + 305)
#define WM_IMAGETOGGLE_CHANGED      (WM_USER + 306)
#define WM_EDITLIST_CHECKCHANGED    (WM_USER + 321)
#define WM_EDITLIST_TUNEROW         (WM_USER + 615)
#define WM_EDITLIST_COMMITQUIET     (WM_USER + 653)
#define WM_CELLEDIT_COMMIT          (WM_USER + 2000)
#define WM_EDITLIST_BEGINEDIT       (WM_USER + 6000)
#define WM_EDITLIST_ENDEDIT         (WM_USER + 6001)
#define WM_SKINSLIDER_MOVING        (WM_USER + 9000)
#define WM_SKINSLIDER_MOVED         (WM_USER + 9005)
#define WM_SKINTRACKBAR_MOVING      (WM_USER + 9425)
#define WM_SKINTRACKBAR_MOVED       (WM_USER + 9426)
