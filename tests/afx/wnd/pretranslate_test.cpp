// Pre-translation: a key is offered to the control, its page, the root
// window and then the application's main window, in the application's loop
// and in a modal loop alike. The key comes through the real input queue.
#include "tests/afx/wnd/resource.h"
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

constexpr WORD kProbeKey = VK_F7;

bool isProbe(const MSG* m) {
    return m->message == WM_KEYDOWN && m->wParam == kProbeKey;
}

class CTraceEdit : public CEdit {
public:
    Trace* trace = nullptr;
    const char* name = "control";
    BOOL PreTranslateMessage(MSG* m) override {
        if (isProbe(m)) trace->add(name);
        return FALSE;
    }
};

class CTraceDialog : public CDialog {
public:
    CTraceDialog(UINT id, const char* name, Trace& trace, CWnd* parent = nullptr)
        : CDialog(id, parent), m_name(name), m_trace(trace) {}
    CTraceEdit m_edit;
    std::function<void(CTraceDialog&)> onTick;

    BOOL PreTranslateMessage(MSG* m) override {
        if (!isProbe(m)) return CDialog::PreTranslateMessage(m);
        m_trace.add(m_name);
        return FALSE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        m_edit.trace = &m_trace;
        DDX_Control(pDX, IDC_EDIT, m_edit);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onTick) SetTimer(1, 20);
        return TRUE;
    }

protected:
    void OnTimer(UINT_PTR id) {
        KillTimer(id);
        if (id == 1) onTick(*this);
        else EndDialog(-2);
    }
    const char* m_name;
    Trace& m_trace;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTraceDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// The hidden main window; seeing the probe key ends the scenario.
class CTraceFrame : public CFrameWnd {
public:
    explicit CTraceFrame(Trace& trace) : m_trace(trace) {}
    std::function<void()> onDone;
    BOOL PreTranslateMessage(MSG* m) override {
        if (isProbe(m)) {
            m_trace.add("main");
            if (onDone) onDone();
        }
        return CFrameWnd::PreTranslateMessage(m);
    }

private:
    Trace& m_trace;
};

class PreTranslateTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.m_pMainWnd = frame = new CTraceFrame(trace);
        ASSERT_TRUE(frame->LoadFrame(IDS_FRAME, WS_OVERLAPPEDWINDOW));
        ASSERT_TRUE(root.Create(IDD_ROOT, CWnd::GetDesktopWindow()));
        ASSERT_TRUE(page.Create(IDD_PAGE, &root));
        page.ShowWindow(SW_SHOW);
        root.ShowWindow(SW_SHOW);
    }
    void TearDown() override {
        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();  // deletes itself
        drainQueue();
    }
    ScopedApp app;
    Trace trace;
    CTraceFrame* frame = nullptr;
    CTraceDialog root{IDD_ROOT, "root", trace};
    CTraceDialog page{IDD_PAGE, "page", trace};
};

TEST_F(PreTranslateTest, ApplicationLoopWalksControlPageRootThenMain) {
    ASSERT_TRUE(focusControl(root, page.m_edit));
    frame->onDone = [] { ::PostQuitMessage(3); };
    UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); });
    pressKey(kProbeKey);
    EXPECT_EQ(3, app.Run()) << "Run ends with the quit code through ExitInstance";
    ::KillTimer(nullptr, guard);
    EXPECT_EQ((std::vector<std::string>{"control", "page", "root", "main"}), trace.items);
}

TEST_F(PreTranslateTest, ModalLoopWalksTheSameWay) {
    CTraceDialog modal(IDD_MODAL, "modal", trace, &root);
    bool focused = false;
    modal.onTick = [&](CTraceDialog& d) {
        focused = focusControl(d, d.m_edit);
        d.SetTimer(2, 5000);  // a lost key cannot hang the test: the timer ends it
        pressKey(kProbeKey);
    };
    frame->onDone = [&] { modal.EndDialog(IDOK); };
    EXPECT_EQ(IDOK, modal.DoModal());
    EXPECT_TRUE(focused);
    // The modal dialog is owned by the root, which has no parent: the walk
    // ends there and the main window gets the last look.
    EXPECT_EQ((std::vector<std::string>{"control", "modal", "root", "main"}), trace.items);
}

}  // namespace
