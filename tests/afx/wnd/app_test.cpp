// The application's run through AfxWinMain, the frame's LoadFrame with
// PreCreateWindow, commands that reach the application, message boxes.
#include "tests/afx/wnd/resource.h"
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

constexpr UINT ID_APP_ABOUT_COMMAND = 57664;
Trace* g_trace = nullptr;

class CProbeFrame : public CFrameWndEx {
public:
    ~CProbeFrame() override { g_trace->add("~frame"); }
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override {
        if (!CFrameWndEx::PreCreateWindow(cs)) return FALSE;
        // A class of the program's own name with the default frame's looks.
        WNDCLASSW wc{};
        ::GetClassInfoW(AfxGetInstanceHandle(), cs.lpszClass, &wc);
        cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
        wc.lpszClassName = L"KestruneProbeFrame";
        cs.lpszClass = wc.lpszClassName;
        return AfxRegisterClass(&wc);
    }

protected:
    int OnCreate(LPCREATESTRUCT cs) {
        if (CFrameWndEx::OnCreate(cs) == -1) return -1;
        wchar_t cls[64] = {};
        ::GetClassNameW(m_hWnd, cls, 64);
        g_trace->add("OnCreate " + std::string(CW2A(cls)) + " \"" + std::string(CW2A(m_strTitle)) + "\"");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeFrame, CFrameWndEx)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class CProbeApp : public CWinAppEx {
public:
    BOOL initApplication = TRUE;
    BOOL initInstance = TRUE;

    BOOL InitApplication() override {
        g_trace->add("InitApplication");
        return initApplication && CWinAppEx::InitApplication();
    }
    BOOL InitInstance() override {
        g_trace->add("InitInstance");
        if (!initApplication) return FALSE;
        InitContextMenuManager();
        InitTooltipManager();
        CMFCToolTipInfo params;
        params.m_bVislManagerTheme = TRUE;
        GetTooltipManager()->SetTooltipParams(AFX_TOOLTIP_TYPE_ALL, RUNTIME_CLASS(CMFCToolTipCtrl), &params);
        auto* frame = new CProbeFrame;
        m_pMainWnd = frame;
        if (!frame->LoadFrame(IDS_FRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) return FALSE;
        if (!initInstance) return FALSE;
        frame->PostMessage(WM_COMMAND, ID_APP_ABOUT_COMMAND);
        frame->PostMessage(WM_CLOSE);
        return TRUE;
    }
    int ExitInstance() override {
        g_trace->add("ExitInstance");
        CMFCVisualManager::DestroyInstance();
        return CWinAppEx::ExitInstance();
    }

protected:
    void OnAppAbout() { g_trace->add("OnAppAbout"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeApp, CWinAppEx)
    ON_COMMAND(ID_APP_ABOUT_COMMAND, &CProbeApp::OnAppAbout)
END_MESSAGE_MAP()

TEST(AppRun, WinMainDrivesTheApplicationObject) {
    const std::string created = "OnCreate KestruneProbeFrame \"Probe Frame\"";
    struct Case {
        const char* name;
        BOOL initApplication;
        BOOL initInstance;
        int code;
        std::vector<std::string> expected;
    } cases[] = {
        {"full run", TRUE, TRUE, 0, {"InitApplication", "InitInstance", created, "OnAppAbout", "~frame", "ExitInstance"}},
        {"InitApplication fails", FALSE, TRUE, -1, {"InitApplication"}},
        {"InitInstance fails after the frame", TRUE, FALSE, 0, {"InitApplication", "InitInstance", created, "~frame", "ExitInstance"}},
    };
    for (const Case& c : cases) {
        Trace trace;
        g_trace = &trace;
        {
            CProbeApp app;
            app.initApplication = c.initApplication;
            app.initInstance = c.initInstance;
            EXPECT_EQ(c.code, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<LPWSTR>(L""), SW_HIDE))
                << c.name;
            EXPECT_EQ(nullptr, app.m_pMainWnd) << c.name;
        }
        EXPECT_EQ(c.expected, trace.items) << c.name;
        g_trace = nullptr;
        drainQueue();
    }
    EXPECT_NE(nullptr, AfxGetApp()) << "the test program's own application object is back";
}

class RecordingSeam : public IAfxMessageBoxSeam {
public:
    int show(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) override {
        this->owner = owner;
        this->text = text;
        this->caption = caption;
        this->type = type;
        return IDRETRY;
    }
    HWND owner = reinterpret_cast<HWND>(1);
    CString text, caption;
    UINT type = 0;
};

TEST(AppRun, MessageBoxesGoThroughTheSeam) {
    ScopedApp app;
    RecordingSeam seam;
    AfxSetMessageBoxSeam(&seam);
    EXPECT_EQ(IDRETRY, AfxMessageBox(L"OLE initialization failed.", MB_OK));
    EXPECT_EQ(CString(L"OLE initialization failed."), seam.text);
    EXPECT_EQ(CString(L"KestruneWndTest"), seam.caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), seam.type);
    EXPECT_EQ(nullptr, seam.owner) << "no main window: no owner";

    EXPECT_EQ(IDRETRY, AfxMessageBox(IDS_FRAME, MB_YESNO));
    EXPECT_EQ(CString(L"Probe Frame\nProbe"), seam.text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), seam.type);
    EXPECT_EQ(&seam, AfxSetMessageBoxSeam(nullptr));
}

TEST(AppRun, OleAndRichEditInitialise) {
    EXPECT_TRUE(AfxOleInit());
    EXPECT_TRUE(AfxInitRichEdit2());
    ::OleUninitialize();
}

}  // namespace
