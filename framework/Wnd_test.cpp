// Window plumbing under Wine: the creation hook, reflection, PreTranslateMessage
// through the application's loop, Default() across nested messages, the end
// of a window's binding, and temporary wrappers.
#include <gtest/gtest.h>
#include "Afx.h"
#include "TestSupport.h"
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

void Log(const std::string& s) { g_log.push_back(s); }

// Hidden: taking a shown window down costs seconds under Wine without a
// window manager, and these tests need no pixels.
HWND CreateTopLevel(CWnd& wnd, const char* title = "fw test")
{
    wnd.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW)), title,
                 WS_OVERLAPPEDWINDOW, 20, 20, 320, 240, NULL, NULL);
    return wnd.m_hWnd;
}

size_t IndexOf(const std::vector<UINT>& v, UINT m)
{
    for (size_t i = 0; i < v.size(); i++)
        if (v[i] == m)
            return i;
    return (size_t)-1;
}

// ---- creation -------------------------------------------------------------

struct CreationRecorder : CWnd {
    std::vector<UINT> seen;
    bool attachedInCreate = false;
    bool failCreate = false;
    int postNcDestroy = 0;
    CWnd* child = nullptr;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        seen.push_back(m);
        return CWnd::WindowProc(m, w, l);
    }
    int OnCreate(LPCREATESTRUCT cs) override
    {
        attachedInCreate = m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this;
        if (failCreate)
            return -1;
        if (child)
            child->Create(NULL, "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), this, 7);
        return CWnd::OnCreate(cs);
    }
    void PostNcDestroy() override { postNcDestroy++; }
};

TEST(WndCreate, ObjectSeesNcCreateAndCreate)
{
    CreationRecorder w;
    HWND h = CreateTopLevel(w);
    ASSERT_TRUE(h != NULL);
    EXPECT_TRUE(w.attachedInCreate);
    size_t nc = IndexOf(w.seen, WM_NCCREATE), cr = IndexOf(w.seen, WM_CREATE);
    ASSERT_NE(nc, (size_t)-1);
    ASSERT_NE(cr, (size_t)-1);
    EXPECT_LT(nc, cr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);
    EXPECT_TRUE(w.DestroyWindow());
    EXPECT_EQ(w.m_hWnd, (HWND)NULL);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), (CWnd*)NULL);
    EXPECT_EQ(w.postNcDestroy, 1);
    EXPECT_EQ(w.seen.back(), (UINT)WM_NCDESTROY);
}

TEST(WndCreate, FailedCreateLeavesNothingMapped)
{
    CreationRecorder w;
    w.failCreate = true;
    EXPECT_EQ(CreateTopLevel(w), (HWND)NULL);
    EXPECT_EQ(w.m_hWnd, (HWND)NULL);
    EXPECT_EQ(w.postNcDestroy, 1);
    EXPECT_NE(IndexOf(w.seen, WM_NCDESTROY), (size_t)-1);
}

struct SelfDrawnButton : CButton {
    int presubclassed = 0;
    void PreSubclassWindow() override
    {
        presubclassed++;
        SetButtonStyle((GetButtonStyle() & ~0x0F) | BS_OWNERDRAW);
    }
};

TEST(WndCreate, CreatedAndSubclassedControlsBothPassPreSubclassWindow)
{
    CWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent) != NULL);
    SelfDrawnButton made;
    ASSERT_TRUE(made.Create("a", WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 40, 20), &parent, 11));
    EXPECT_EQ(made.presubclassed, 1);
    EXPECT_EQ(made.GetButtonStyle(), (UINT)BS_OWNERDRAW);

    ::CreateWindowA("BUTTON", "b", WS_CHILD | BS_PUSHBUTTON, 0, 30, 40, 20, parent.m_hWnd,
                    (HMENU)12, NULL, NULL);
    SelfDrawnButton adopted;
    ASSERT_TRUE(adopted.SubclassDlgItem(12, &parent));
    EXPECT_EQ(adopted.presubclassed, 1);
    EXPECT_EQ(adopted.GetButtonStyle(), (UINT)BS_OWNERDRAW);
    parent.DestroyWindow();
}

TEST(WndCreate, WindowCreatedInsideOnCreateGetsItsOwnObject)
{
    CreationRecorder parent, child;
    parent.child = &child;
    ASSERT_TRUE(CreateTopLevel(parent) != NULL);
    ASSERT_TRUE(child.m_hWnd != NULL);
    EXPECT_TRUE(child.attachedInCreate);
    EXPECT_EQ(::GetParent(child.m_hWnd), parent.m_hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(parent.m_hWnd), &parent);
    EXPECT_EQ(parent.GetDlgItem(7), &child);
    // The next plain creation on this thread must not be caught by a hook
    // left over from the nested one.
    HWND plain = ::CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd, NULL, NULL, NULL);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), (CWnd*)NULL);
    parent.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, (HWND)NULL);
    EXPECT_EQ(child.postNcDestroy, 1);
}

// ---- reflection ----------------------------------------------------------

struct LoggingButton : CButton {
    BOOL takeCommand = FALSE;
    BOOL OnChildNotify(UINT m, WPARAM w, LPARAM l, LRESULT* r) override
    {
        if (m == WM_COMMAND) {
            Log("child command");
            if (takeCommand) {
                *r = 0;
                return TRUE;
            }
        }
        return CButton::OnChildNotify(m, w, l, r);
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        Log("child draw");
        ::FillRect(dis->hDC, &dis->rcItem, (HBRUSH)::GetStockObject(BLACK_BRUSH));
    }
};

struct ColorStatic : CStatic {
    HBRUSH brush = (HBRUSH)::GetStockObject(GRAY_BRUSH);
    HBRUSH CtlColor(CDC* pDC, UINT) override
    {
        if (pDC->m_hDC == probeDC)
            Log("child color");
        return brush;
    }
    HDC probeDC = NULL;
};

struct LoggingSlider : CSliderCtrl {
    BOOL OnChildNotify(UINT m, WPARAM w, LPARAM l, LRESULT* r) override
    {
        if (m == WM_HSCROLL)
            Log("child scroll");
        return CSliderCtrl::OnChildNotify(m, w, l, r);
    }
};

struct OwnerDrawCombo : CComboBox {
    int measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        measured++;
        mis->itemHeight = 20;
    }
};

struct OwnerDrawList : CListCtrl {
    std::vector<UINT> drawn;
    std::vector<UINT> measured;     // the control types asked about
    void DrawItem(LPDRAWITEMSTRUCT dis) override { drawn.push_back(dis->itemID); }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override
    {
        measured.push_back(mis->CtlType);
        mis->itemHeight = 27;
    }
};

struct ReflectParent : CWnd {
    CScrollBar* scrolledBy = nullptr;
    bool logColor = false;      // controls ask for colours whenever they paint
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        Log("parent command");
        return CWnd::OnCommand(w, l);
    }
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) override { Log("parent draw"); }
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) override { Log("parent measure"); CWnd::OnMeasureItem(id, mis); }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT n) override
    {
        if (logColor)
            Log("parent color");
        return CWnd::OnCtlColor(pDC, pWnd, n);
    }
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar) override
    {
        Log("parent scroll");
        scrolledBy = bar;
    }
};

TEST(WndReflect, ChildNotificationsReachChildBeforeParent)
{
    ReflectParent parent;
    ASSERT_TRUE(CreateTopLevel(parent) != NULL);
    LoggingButton button;
    ASSERT_TRUE(button.Create("Go", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &parent, 200));

    g_log.clear();
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child command", "parent command"}));

    g_log.clear();
    button.takeCommand = TRUE;
    button.SendMessage(BM_CLICK);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child command"}));

    LoggingButton drawn;
    ASSERT_TRUE(drawn.Create("", WS_VISIBLE | BS_OWNERDRAW, CRect(90, 5, 160, 30), &parent, 201));
    g_log.clear();
    CClientDC dc(&drawn);
    drawn.SendMessage(WM_PAINT, (WPARAM)dc.m_hDC);     // the window is hidden
    ASSERT_FALSE(g_log.empty());
    for (const std::string& s : g_log)
        EXPECT_EQ(s, "child draw");

    ColorStatic colored;
    ASSERT_TRUE(colored.Create("label", WS_VISIBLE, CRect(5, 40, 80, 60), &parent, 202));
    HWND plain = ::CreateWindowA("STATIC", "plain", WS_CHILD | WS_VISIBLE, 90, 40, 80, 20,
                                 parent.m_hWnd, NULL, NULL, NULL);
    HDC hdc = ::GetDC(parent.m_hWnd);
    parent.logColor = true;
    colored.probeDC = hdc;
    g_log.clear();
    LRESULT brush = parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)colored.m_hWnd);
    EXPECT_EQ((HBRUSH)brush, colored.brush);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child color"}));
    g_log.clear();
    parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)plain);
    EXPECT_EQ(g_log, (std::vector<std::string>{"parent color"}));
    ::ReleaseDC(parent.m_hWnd, hdc);
    parent.logColor = false;

    LoggingSlider slider;
    ASSERT_TRUE(slider.Create(WS_VISIBLE | TBS_HORZ, CRect(5, 70, 150, 100), &parent, 203));
    g_log.clear();
    parent.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), (LPARAM)slider.m_hWnd);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child scroll", "parent scroll"}));
    EXPECT_EQ((CWnd*)parent.scrolledBy, (CWnd*)&slider);
    parent.DestroyWindow();
}

TEST(WndReflect, OwnerDrawComboIsMeasuredDuringItsCreation)
{
    ReflectParent parent;
    ASSERT_TRUE(CreateTopLevel(parent) != NULL);
    OwnerDrawCombo combo;
    g_log.clear();
    ASSERT_TRUE(combo.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(5, 5, 150, 200), &parent, 300));
    EXPECT_GT(combo.measured, 0);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "parent measure"), 0);
    parent.DestroyWindow();
}

TEST(WndReflect, OwnerDrawListDrawsItsOwnRows)
{
    ReflectParent parent;
    ASSERT_TRUE(CreateTopLevel(parent) != NULL);
    g_log.clear();
    OwnerDrawList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, CRect(5, 5, 200, 150), &parent, 301));
    // The control measures its rows while it is created, and keeps the answer.
    EXPECT_EQ(list.measured, (std::vector<UINT>{ODT_LISTVIEW}));
    list.InsertColumn(0, "c", LVCFMT_LEFT, 50);
    list.InsertItem(0, "a");
    CRect row;
    ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
    EXPECT_EQ(row.Height(), 27);
    EXPECT_TRUE(g_log.empty()) << "the parent saw the measure request";
    // A hidden list view paints no rows: ask the way it asks when shown.
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = 301;
    dis.itemID = 1;
    dis.hwndItem = list.m_hWnd;
    EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, 301, (LPARAM)&dis), TRUE);
    EXPECT_EQ(list.drawn, (std::vector<UINT>{1}));
    EXPECT_TRUE(g_log.empty());
    parent.DestroyWindow();
}

// ---- PreTranslateMessage and the application's loop --------------------------

struct KeyWnd : CWnd {
    std::string name;
    BOOL eat = FALSE;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN) {
            Log(name + " pre");
            if (eat) {
                ::PostQuitMessage(5);
                return TRUE;
            }
        }
        return FALSE;
    }
    void OnKeyDown(UINT, UINT, UINT) override
    {
        Log(name + " key");
        ::PostQuitMessage(3);
    }
};

TEST(WndPreTranslate, WalksFromTargetToTopLevelInTheAppLoop)
{
    CWinApp app("fw test");
    KeyWnd top, child;
    top.name = "top";
    child.name = "child";
    ASSERT_TRUE(CreateTopLevel(top) != NULL);
    ASSERT_TRUE(child.Create(NULL, "", WS_VISIBLE, CRect(0, 0, 40, 40), &top, 1));

    g_log.clear();
    child.PostMessage(WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(app.ExitInstance(), 3);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child pre", "top pre", "child key"}));

    g_log.clear();
    top.eat = TRUE;
    child.PostMessage(WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(app.Run(), 5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child pre", "top pre"}));
    top.DestroyWindow();
}

TEST(WndPreTranslate, WindowsOutsideTheMainWindowOfferItTheirMessagesLast)
{
    CWinApp app("fw test");
    KeyWnd main, other;
    main.name = "main";
    other.name = "other";
    ASSERT_TRUE(CreateTopLevel(main) != NULL);
    ASSERT_TRUE(CreateTopLevel(other) != NULL);
    app.m_pMainWnd = &main;
    g_log.clear();
    other.PostMessage(WM_KEYDOWN, 'A', 1);
    EXPECT_EQ(app.Run(), 3);
    EXPECT_EQ(g_log, (std::vector<std::string>{"other pre", "main pre", "other key"}));
    app.m_pMainWnd = NULL;
    main.DestroyWindow();
    other.DestroyWindow();
}

TEST(WndPreTranslate, DestroyingTheMainWindowEndsTheLoop)
{
    CWinApp app("fw test");
    CWnd* main = new CWnd;
    ASSERT_TRUE(CreateTopLevel(*main) != NULL);
    app.m_pMainWnd = main;
    main->PostMessage(WM_CLOSE);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.m_pMainWnd, (CWnd*)NULL);
    EXPECT_EQ(main->m_hWnd, (HWND)NULL);
    delete main;
}

// ---- Default() and the current message ---------------------------------

std::vector<UINT> g_classProcSeen;

LRESULT CALLBACK RecordingClassProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m >= WM_USER || m == WM_LBUTTONDOWN)
        g_classProcSeen.push_back(m);
    return ::DefWindowProcA(h, m, w, l);
}

HWND CreateRecordingWindow()
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingClassProc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "FwRecordingWnd";
        atom = ::RegisterClassA(&wc);
    }
    return ::CreateWindowA("FwRecordingWnd", "", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
}

struct NestingWnd : CWnd {
    void OnLButtonDown(UINT, CPoint) override
    {
        SendMessage(WM_USER + 5);   // nested message, passed on by default
        Default();                  // must still mean WM_LBUTTONDOWN
    }
    std::vector<UINT> seen;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        seen.push_back(m);
        return CWnd::WindowProc(m, w, l);
    }
};

TEST(WndDefault, PassesTheCurrentMessageAfterANestedOne)
{
    HWND h = CreateRecordingWindow();
    NestingWnd w;
    ASSERT_TRUE(w.SubclassWindow(h));
    g_classProcSeen.clear();
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(g_classProcSeen, (std::vector<UINT>{WM_USER + 5, WM_LBUTTONDOWN}));

    // Unsubclassed: the class procedure is back and the object hears nothing.
    EXPECT_EQ(w.UnsubclassWindow(), h);
    EXPECT_EQ((WNDPROC)::GetWindowLongPtrA(h, GWLP_WNDPROC), (WNDPROC)RecordingClassProc);
    w.seen.clear();
    ::SendMessageA(h, WM_USER + 9, 0, 0);
    EXPECT_TRUE(w.seen.empty());
    EXPECT_EQ(g_classProcSeen.back(), (UINT)(WM_USER + 9));
    ::DestroyWindow(h);
}

// ---- the end of a binding --------------------------------------------------

int g_selfDeleted = 0;
std::vector<UINT> g_selfDeletingSeen;

struct SelfDeleting : CWnd {
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
    {
        g_selfDeletingSeen.push_back(m);
        return CWnd::WindowProc(m, w, l);
    }
    void PostNcDestroy() override
    {
        g_selfDeleted++;
        delete this;
    }
};

TEST(WndLifetime, SelfDeletingWindowIsDeletedOnceAfterItsLastMessage)
{
    SelfDeleting* w = new SelfDeleting;
    HWND h = CreateTopLevel(*w);
    ASSERT_TRUE(h != NULL);
    g_selfDeleted = 0;
    g_selfDeletingSeen.clear();
    ::DestroyWindow(h);
    EXPECT_EQ(g_selfDeleted, 1);
    ASSERT_FALSE(g_selfDeletingSeen.empty());
    EXPECT_EQ(g_selfDeletingSeen.back(), (UINT)WM_NCDESTROY);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), (CWnd*)NULL);
}

TEST(WndLifetime, DeletedObjectTakesItsWindowWithoutHearingIt)
{
    // The window's last messages go to its own procedure, not to an object
    // that is half destroyed.
    HWND h = CreateRecordingWindow();
    {
        NestingWnd w;
        ASSERT_TRUE(w.SubclassWindow(h));
        EXPECT_FALSE(w.SubclassWindow(h));      // one object per window
    }
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(CWnd::FromHandlePermanent(h), (CWnd*)NULL);
}

TEST(WndLifetime, WindowDestroyedUnderALivingObject)
{
    HWND h = CreateRecordingWindow();
    CreationRecorder w;
    ASSERT_TRUE(w.SubclassWindow(h));
    ::DestroyWindow(h);
    EXPECT_EQ(w.m_hWnd, (HWND)NULL);
    EXPECT_EQ(w.postNcDestroy, 1);
    EXPECT_EQ(w.seen.back(), (UINT)WM_NCDESTROY);
    // A new window for the same object.
    ASSERT_TRUE(CreateTopLevel(w) != NULL);
    w.DestroyWindow();
}

// ---- temporary wrappers ---------------------------------------------------

TEST(WndTemporary, ForeignHandlesGetTemporaryObjectsThatLeaveThemAlone)
{
    HWND h = ::CreateWindowA("STATIC", "foreign", WS_POPUP, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(h != NULL);
    {
        CWnd* a = CWnd::FromHandle(h);
        ASSERT_TRUE(a != NULL);
        EXPECT_EQ(a->m_hWnd, h);
        EXPECT_EQ(CWnd::FromHandle(h), a);
        EXPECT_EQ(CWnd::FromHandlePermanent(h), (CWnd*)NULL);
        EXPECT_EQ(CWnd::FromHandle(NULL), (CWnd*)NULL);
        CWnd* volatile none = NULL;     // callers write pWnd->GetSafeHwnd() for "maybe none"
        EXPECT_EQ(none->GetSafeHwnd(), (HWND)NULL);
        CGdiObject* volatile noObject = NULL;
        EXPECT_EQ(noObject->GetSafeHandle(), (HGDIOBJ)NULL);

        HDC hdc = ::GetDC(h);
        CDC* dc = CDC::FromHandle(hdc);
        EXPECT_EQ(dc->m_hDC, hdc);
        HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
        CBrush* b = CBrush::FromHandle(brush);
        EXPECT_EQ((HBRUSH)*b, brush);

        AfxDeleteTempMaps();
        // Freed wrappers destroyed nothing they wrapped.
        EXPECT_TRUE(::IsWindow(h));
        EXPECT_GT(::GetDeviceCaps(hdc, HORZRES), 0);
        LOGBRUSH lb;
        EXPECT_EQ(::GetObjectA(brush, sizeof(lb), &lb), (int)sizeof(lb));
        EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));
        ::ReleaseDC(h, hdc);
        ::DeleteObject(brush);

        // A permanent object wins over a temporary one.
        CWnd owner;
        ASSERT_TRUE(owner.Attach(h));
        EXPECT_EQ(CWnd::FromHandle(h), &owner);
        EXPECT_EQ(owner.Detach(), h);
        EXPECT_TRUE(::IsWindow(h));
    }
    ::DestroyWindow(h);
}

}  // namespace
