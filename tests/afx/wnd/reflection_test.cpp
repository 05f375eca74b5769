// Reflection: WM_COMMAND and WM_NOTIFY go to the control before the parent's
// entries (a plain reflect entry consumes them, an _EX entry returning FALSE
// passes them on); WM_DRAWITEM and WM_CTLCOLOR* reach the control through
// the parent's default handlers.
#include "tests/afx/wnd/resource.h"
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

Trace* g_trace = nullptr;
void note(const std::string& s) {
    if (g_trace) g_trace->add(s);
}

class CConsumingButton : public CButton {
protected:
    void OnClicked() { note("child consumes click"); }
    void OnNotifyClick(NMHDR*, LRESULT* result) {
        note("child consumes notify");
        *result = 11;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CConsumingButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, &CConsumingButton::OnClicked)
    ON_NOTIFY_REFLECT(NM_CLICK, &CConsumingButton::OnNotifyClick)
END_MESSAGE_MAP()

class CPassingButton : public CButton {
protected:
    BOOL OnClicked() {
        note("child sees click");
        return FALSE;
    }
    BOOL OnNotifyClick(NMHDR*, LRESULT*) {
        note("child sees notify");
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPassingButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CPassingButton::OnClicked)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, &CPassingButton::OnNotifyClick)
END_MESSAGE_MAP()

class CDrawnButton : public CButton {
public:
    int m_draws = 0;
    int m_preSubclassCalls = 0;
    int m_idSeen = 0;
    void PreSubclassWindow() override {
        ++m_preSubclassCalls;
        m_idSeen = GetDlgCtrlID();
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        ++m_draws;
        CDC* dc = CDC::FromHandle(dis->hDC);
        dc->FillSolidRect(&dis->rcItem, RGB(0x20, 0x80, 0xC0));
    }
};

class CColorEdit : public CEdit {
public:
    CBrush m_brush{RGB(0xFF, 0xEE, 0x00)};

protected:
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
        note("edit colour " + std::to_string(nCtlColor));
        pDC->SetBkColor(RGB(0xFF, 0xEE, 0x00));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorEdit, CEdit)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CReflectDialog : public CDialog {
public:
    CReflectDialog() : CDialog(IDD_REFLECT) {}
    CConsumingButton m_consume;
    CPassingButton m_pass;
    CDrawnButton m_drawn;
    CColorEdit m_edit;

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_BUTTON_CONSUME, m_consume);
        DDX_Control(pDX, IDC_BUTTON_EX, m_pass);
        DDX_Control(pDX, IDC_OWNERDRAW, m_drawn);
        DDX_Control(pDX, IDC_EDIT, m_edit);
    }

protected:
    void OnConsume() { note("parent click consume"); }
    void OnPass() { note("parent click ex"); }
    void OnPlain() { note("parent click plain"); }
    void OnNotifyConsume(NMHDR*, LRESULT*) { note("parent notify consume"); }
    void OnNotifyPass(NMHDR*, LRESULT* result) {
        note("parent notify ex");
        *result = 22;
    }
    void OnNotifyPlain(NMHDR*, LRESULT* result) {
        note("parent notify plain");
        *result = 33;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectDialog, CDialog)
    ON_BN_CLICKED(IDC_BUTTON_CONSUME, &CReflectDialog::OnConsume)
    ON_BN_CLICKED(IDC_BUTTON_EX, &CReflectDialog::OnPass)
    ON_BN_CLICKED(IDC_BUTTON_PLAIN, &CReflectDialog::OnPlain)
    ON_NOTIFY(NM_CLICK, IDC_BUTTON_CONSUME, &CReflectDialog::OnNotifyConsume)
    ON_NOTIFY(NM_CLICK, IDC_BUTTON_EX, &CReflectDialog::OnNotifyPass)
    ON_NOTIFY(NM_CLICK, IDC_BUTTON_PLAIN, &CReflectDialog::OnNotifyPlain)
END_MESSAGE_MAP()

class ReflectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_trace = &trace;
        ASSERT_TRUE(dlg.Create(IDD_REFLECT, CWnd::GetDesktopWindow()));
        dlg.ShowWindow(SW_SHOW);
        dlg.UpdateWindow();
    }
    void TearDown() override { g_trace = nullptr; }
    Trace trace;
    CReflectDialog dlg;
};

TEST_F(ReflectionTest, CommandNotificationsGoToTheControlFirst) {
    struct Case {
        int id;
        std::vector<std::string> expected;
    } cases[] = {
        {IDC_BUTTON_CONSUME, {"child consumes click"}},
        {IDC_BUTTON_EX, {"child sees click", "parent click ex"}},
        {IDC_BUTTON_PLAIN, {"parent click plain"}},  // no object: nothing to reflect to
    };
    for (const Case& c : cases) {
        trace.items.clear();
        ::SendMessageW(::GetDlgItem(dlg.m_hWnd, c.id), BM_CLICK, 0, 0);
        EXPECT_EQ(c.expected, trace.items) << c.id;
    }
}

TEST_F(ReflectionTest, NotifyMessagesGoToTheControlFirst) {
    struct Case {
        int id;
        std::vector<std::string> expected;
        LRESULT result;
    } cases[] = {
        {IDC_BUTTON_CONSUME, {"child consumes notify"}, 11},
        {IDC_BUTTON_EX, {"child sees notify", "parent notify ex"}, 22},
        {IDC_BUTTON_PLAIN, {"parent notify plain"}, 33},
    };
    for (const Case& c : cases) {
        trace.items.clear();
        NMHDR hdr{::GetDlgItem(dlg.m_hWnd, c.id), static_cast<UINT_PTR>(c.id), static_cast<UINT>(NM_CLICK)};
        EXPECT_EQ(c.result, dlg.SendMessage(WM_NOTIFY, c.id, reinterpret_cast<LPARAM>(&hdr))) << c.id;
        EXPECT_EQ(c.expected, trace.items) << c.id;
    }
}

TEST_F(ReflectionTest, DrawItemAndCtlColorReachTheControl) {
    EXPECT_EQ(1, dlg.m_drawn.m_preSubclassCalls) << "DDX_Control subclasses once";
    EXPECT_EQ(IDC_OWNERDRAW, dlg.m_drawn.m_idSeen);

    int before = dlg.m_drawn.m_draws;
    dlg.m_drawn.RedrawWindow();
    EXPECT_GT(dlg.m_drawn.m_draws, before);

    CClientDC dc(&dlg);
    trace.items.clear();
    LRESULT brush = dlg.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.m_hDC),
                                    reinterpret_cast<LPARAM>(dlg.m_edit.m_hWnd));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.m_edit.m_brush.m_hObject), brush);
    EXPECT_EQ((std::vector<std::string>{"edit colour " + std::to_string(CTLCOLOR_EDIT)}), trace.items);

    // A control without a reflect entry gets the dialog's default colours.
    LRESULT other = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                    reinterpret_cast<LPARAM>(::GetDlgItem(dlg.m_hWnd, IDC_STATIC_PLAIN)));
    EXPECT_NE(brush, other);

    dlg.m_edit.SetWindowText(L"reflected colour");
    dlg.Invalidate();
    EXPECT_TRUE(saveScreenshot(dlg, L"reflection_dialog",
                               "dialog \"Reflect\": a blue owner-drawn square at the top left, a yellow edit field "
                               "\"reflected colour\", the label \"plain\" and three buttons ex, plain, consume"));
}

}  // namespace
