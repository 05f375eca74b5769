// Message maps, the creation hook and the window's life cycle.
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

// Registered only after the message map has been built, as the program's
// RWM_ ids are set during dynamic initialisation.
UINT g_lateMessage = 0;
constexpr UINT ID_PROBE_COMMAND = 40001;

class CProbeWnd : public CWnd {
public:
    explicit CProbeWnd(Trace& trace) : m_trace(trace) {}
    void PreSubclassWindow() override { m_trace.add(m_hWnd ? "PreSubclassWindow bound" : "PreSubclassWindow unbound"); }
    void PostNcDestroy() override { m_trace.add("PostNcDestroy"); }
    int m_createResult = 0;
    UINT_PTR m_lastTimer = 0;

protected:
    Trace& m_trace;
    LRESULT OnNcCreateMsg(WPARAM, LPARAM) {
        m_trace.add("WM_NCCREATE");
        return Default();
    }
    int OnCreate(LPCREATESTRUCT cs) {
        m_trace.add(CWnd::FromHandlePermanent(m_hWnd) == this && cs ? "WM_CREATE bound" : "WM_CREATE unbound");
        return CWnd::OnCreate(cs) == -1 ? -1 : m_createResult;
    }
    void OnDestroy() {
        m_trace.add("WM_DESTROY");
        CWnd::OnDestroy();
    }
    void OnSize(UINT, int cx, int cy) { m_trace.add("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnTimer(UINT_PTR id) {
        m_lastTimer = id;
        KillTimer(id);
    }
    LRESULT OnApp1(WPARAM, LPARAM) { return 1; }
    LRESULT OnApp2(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }
    LRESULT OnLate(WPARAM, LPARAM) { return 7; }
    void OnProbeCommand() { m_trace.add("command"); }
    LRESULT OnNcHitTest(CPoint point) { return point.y < 10 ? HTCAPTION : CWnd::OnNcHitTest(point); }
    void OnLButtonDown(UINT, CPoint point) { m_trace.add("click " + std::to_string(point.x) + "," + std::to_string(point.y)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
    ON_MESSAGE(WM_NCCREATE, &CProbeWnd::OnNcCreateMsg)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_WM_NCHITTEST()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_APP + 1, &CProbeWnd::OnApp1)
    ON_MESSAGE(WM_APP + 2, &CProbeWnd::OnApp2)
    ON_REGISTERED_MESSAGE(g_lateMessage, &CProbeWnd::OnLate)
    ON_COMMAND(ID_PROBE_COMMAND, &CProbeWnd::OnProbeCommand)
END_MESSAGE_MAP()

// A derived map wins over its base, and the base's entries stay reachable.
class CDerivedProbeWnd : public CProbeWnd {
public:
    using CProbeWnd::CProbeWnd;

protected:
    LRESULT OnApp1Derived(WPARAM, LPARAM) { return 2; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbeWnd, CProbeWnd)
    ON_MESSAGE(WM_APP + 1, &CDerivedProbeWnd::OnApp1Derived)
    // An inherited handler named through the derived class.
    ON_MESSAGE(WM_APP + 3, &CDerivedProbeWnd::OnApp2)
END_MESSAGE_MAP()

bool createProbe(CWnd& wnd) {
    return wnd.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW)), L"probe",
                        WS_POPUP, 10, 10, 120, 80, nullptr, nullptr) != FALSE;
}

TEST(Dispatch, MessagesReachTheirEntriesThroughTheMapChain) {
    Trace trace;
    CDerivedProbeWnd wnd(trace);
    ASSERT_TRUE(createProbe(wnd));
    g_lateMessage = ::RegisterWindowMessageW(L"KestruneLayerTestLate");
    ASSERT_NE(0u, g_lateMessage);

    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT expected;
    } cases[] = {
        {"derived entry wins", WM_APP + 1, 0, 0, 2},
        {"base entry reached", WM_APP + 2, 3, 4, 7},
        {"inherited handler in the derived map", WM_APP + 3, 5, 6, 11},
        {"registered after the map was built", g_lateMessage, 0, 0, 7},
        {"command", WM_COMMAND, ID_PROBE_COMMAND, 0, 1},
        {"unknown command goes to the default", WM_COMMAND, ID_PROBE_COMMAND + 1, 0, 0},
        {"no entry: the default procedure", WM_APP + 9, 0, 0, 0},
        {"cracked point", WM_NCHITTEST, 0, MAKELPARAM(15, 5), HTCAPTION},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, wnd.SendMessage(c.message, c.wParam, c.lParam)) << c.name;

    trace.items.clear();
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 40));
    wnd.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(static_cast<WORD>(-2), 9));
    EXPECT_EQ((std::vector<std::string>{"size 30x40", "click -2,9"}), trace.items);

    wnd.SetTimer(5, 10);
    EXPECT_TRUE(pumpUntil([&] { return wnd.m_lastTimer == 5; }));
}

TEST(Dispatch, CreationHookBindsBeforeTheFirstMessage) {
    Trace trace;
    {
        CProbeWnd wnd(trace);
        ASSERT_TRUE(createProbe(wnd));
        HWND h = wnd.m_hWnd;
        EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(h));
        wnd.DestroyWindow();
        EXPECT_EQ(nullptr, wnd.m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    }
    EXPECT_EQ((std::vector<std::string>{"PreSubclassWindow bound", "WM_NCCREATE", "WM_CREATE bound", "size 120x80",
                                        "WM_DESTROY", "PostNcDestroy"}),
              trace.items);

    // A failing WM_CREATE fails Create; the object ends unbound and cleaned up.
    trace.items.clear();
    CProbeWnd failing(trace);
    failing.m_createResult = -1;
    EXPECT_FALSE(createProbe(failing));
    EXPECT_EQ(nullptr, failing.m_hWnd);
    ASSERT_FALSE(trace.items.empty());
    EXPECT_EQ("PostNcDestroy", trace.items.back());
}

TEST(Dispatch, DestroyingTheObjectDestroysItsWindowWithoutReachingIt) {
    Trace trace;
    HWND h;
    {
        CProbeWnd wnd(trace);
        ASSERT_TRUE(createProbe(wnd));
        h = wnd.m_hWnd;
        trace.items.clear();
    }
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_TRUE(trace.items.empty()) << "no message may reach a half-destroyed object";
}

class CProbeButton : public CButton {
public:
    int m_preSubclassCalls = 0;
    int m_idSeen = 0;
    void PreSubclassWindow() override {
        ++m_preSubclassCalls;
        m_idSeen = GetDlgCtrlID();
    }
};

TEST(Dispatch, PreSubclassWindowRunsOnceForCreateAndForSubclassing) {
    Trace trace;
    CProbeWnd parent(trace);
    ASSERT_TRUE(createProbe(parent));

    // Windows has given a child its id when PreSubclassWindow runs during
    // Create; Wine gives it later, and the layer sets it first (as Windows).
    CProbeButton created;
    ASSERT_TRUE(created.Create(L"ok", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 40, 20), &parent, 55));
    EXPECT_EQ(1, created.m_preSubclassCalls);
    EXPECT_EQ(55, created.m_idSeen);

    ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 0, 30, 40, 20, parent.m_hWnd, reinterpret_cast<HMENU>(56),
                      nullptr, nullptr);
    CProbeButton subclassed;
    ASSERT_TRUE(subclassed.SubclassDlgItem(56, &parent));
    EXPECT_EQ(1, subclassed.m_preSubclassCalls);
    EXPECT_EQ(56, subclassed.m_idSeen);
    // No class check: any window can be taken over (a combo object on a list box).
    CComboBox onStatic;
    HWND hList = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 60, 40, 40, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(57), nullptr, nullptr);
    EXPECT_TRUE(onStatic.SubclassWindow(hList));

    // A window another object owns is not taken over: the second object
    // stays unbound and the first keeps its window and its messages.
    CProbeButton second;
    EXPECT_FALSE(second.SubclassDlgItem(56, &parent));
    EXPECT_EQ(0, second.m_preSubclassCalls);
    EXPECT_EQ(nullptr, second.GetSafeHwnd());
    CButton attached;
    EXPECT_FALSE(attached.Attach(hList));
    EXPECT_EQ(nullptr, attached.GetSafeHwnd());
    EXPECT_EQ(static_cast<CWnd*>(&subclassed), CWnd::FromHandlePermanent(::GetDlgItem(parent.m_hWnd, 56)));
    EXPECT_EQ(static_cast<CWnd*>(&onStatic), CWnd::FromHandlePermanent(hList));
}

}  // namespace
