// DoModal the library's way: owner disabled, own loop, EndDialog; without
// owner or main window, nested, ended during OnInitDialog, inside WM_CREATE
// and before any application loop runs (no test here calls Run).
#include "tests/afx/wnd/resource.h"
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

// A modal dialog driven by the test: onInit runs in OnInitDialog, onTick on
// its first timer tick (once the loop runs).
class CScriptedModal : public CDialog {
public:
    explicit CScriptedModal(CWnd* parent = nullptr) : CDialog(IDD_MODAL, parent) {}
    std::function<void(CScriptedModal&)> onInit;
    std::function<void(CScriptedModal&)> onTick;
    CEdit m_edit;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        if (onTick && m_hWnd) SetTimer(1, 20);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_EDIT, m_edit); }

protected:
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        if (onTick) onTick(*this);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedModal, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

bool makeOwner(CWnd& owner) {
    return owner.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200,
                          nullptr, nullptr) != FALSE;
}

TEST(DoModal, WithoutOwnerOrMainWindow) {
    ASSERT_EQ(nullptr, AfxGetMainWnd());
    CScriptedModal dlg;
    HWND ownerSeen = reinterpret_cast<HWND>(1);
    dlg.onTick = [&](CScriptedModal& d) {
        ownerSeen = ::GetWindow(d.m_hWnd, GW_OWNER);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(nullptr, ownerSeen);
    EXPECT_EQ(nullptr, dlg.m_hWnd) << "the window is gone after DoModal";
}

TEST(DoModal, DisablesTheOwnerWhileItRuns) {
    CWnd owner;
    ASSERT_TRUE(makeOwner(owner));
    CScriptedModal dlg(&owner);
    BOOL enabledDuring = TRUE, visibleDuring = FALSE;
    dlg.onTick = [&](CScriptedModal& d) {
        enabledDuring = owner.IsWindowEnabled();
        visibleDuring = d.IsWindowVisible();
        saveScreenshot(d, L"modal_dialog", "a small dialog \"Modal\" with an empty edit field and OK and Cancel buttons");
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(visibleDuring);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(DoModal, EndedInOnInitDialogNeverRunsItsLoop) {
    CScriptedModal dlg;
    bool boundInInit = false;
    dlg.onInit = [&](CScriptedModal& d) {
        boundInInit = d.m_edit.m_hWnd != nullptr;
        d.EndDialog(77);
    };
    dlg.onTick = [](CScriptedModal&) { ADD_FAILURE() << "the loop ran"; };
    EXPECT_EQ(77, dlg.DoModal());
    EXPECT_TRUE(boundInInit) << "controls are bound by the base OnInitDialog";
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(DoModal, NestedDialogsEachDisableTheirOwner) {
    CWnd owner;
    ASSERT_TRUE(makeOwner(owner));
    CScriptedModal outer(&owner);
    std::vector<std::string> order;
    outer.onTick = [&](CScriptedModal& o) {
        CScriptedModal inner(&o);
        inner.onTick = [&](CScriptedModal& i) {
            order.push_back(o.IsWindowEnabled() ? "outer enabled" : "outer disabled");
            i.EndDialog(5);
        };
        order.push_back("inner " + std::to_string(inner.DoModal()));
        order.push_back(o.IsWindowEnabled() ? "outer enabled" : "outer disabled");
        o.EndDialog(6);
    };
    order.push_back("outer " + std::to_string(outer.DoModal()));
    EXPECT_EQ((std::vector<std::string>{"outer disabled", "inner 5", "outer enabled", "outer 6"}), order);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(DoModal, EscapeThroughTheInputQueueCancels) {
    CScriptedModal dlg;
    bool focused = false;
    dlg.onTick = [&](CScriptedModal& d) {
        focused = focusControl(d, d.m_edit);
        pressKey(VK_ESCAPE);
        // Fallback so a lost key cannot hang the test.
        d.SetTimer(2, 3000);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(focused);
}

// A window whose WM_CREATE runs a modal dialog, as the program's frame does.
class CModalInCreateWnd : public CWnd {
public:
    INT_PTR m_result = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) {
        if (CWnd::OnCreate(cs) == -1) return -1;
        CScriptedModal dlg(this);
        dlg.onTick = [](CScriptedModal& d) { d.EndDialog(9); };
        m_result = dlg.DoModal();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CModalInCreateWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(DoModal, RunsInsideAnotherWindowsCreate) {
    CModalInCreateWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"creating", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                             nullptr));
    EXPECT_EQ(9, wnd.m_result);
    EXPECT_TRUE(wnd.IsWindowEnabled());
    EXPECT_EQ(&wnd, CWnd::FromHandlePermanent(wnd.m_hWnd));
}

TEST(DoModal, MissingTemplateFails) {
    CDialog dlg(9999u);
    EXPECT_EQ(-1, dlg.DoModal());
    CDialog modeless;
    EXPECT_FALSE(modeless.Create(9999u));
}

}  // namespace
