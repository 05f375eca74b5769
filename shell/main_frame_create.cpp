// The frame's construction, start-up chain and end.
#include "shell/main_frame.h"

#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/function_manager.h"
#include "engine/thread_name.h"
#include "engine/unzip_manager.h"
#include "engine/usb_detector.h"
#include "engine/vercheck_manager.h"
#include "engine/worker_manager.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/kestrune_app.h"
#include "ui/dlg_msg_box.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "webclient/api_endpoints.h"
#include "webclient/request_param.h"
#include "webclient/response_parser_guid.h"
#include "webclient/webpost.h"

#include <shellapi.h>

#include <memory>

const wchar_t* const CMainFrame::kClassName = L"Kestrune";

namespace {

CMainFrame::LiveUpdateRunner g_liveUpdateRunner;
CMainFrame::BoxRunner g_boxRunner;
CMainFrame::Launcher g_launcher;
CString g_fontsFolder;

BOOL shellLaunch(const CString& path) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = path.GetString();
    info.lpParameters = L"";
    info.lpDirectory = L"";
    info.nShow = SW_SHOW;
    BOOL started = ShellExecuteExW(&info);
    if (info.hProcess) CloseHandle(info.hProcess);
    return started;
}

const wchar_t* const kFontFiles[] = {
    L"KestruneTessaly-Regular.ttf", L"KestruneTessaly-Bold.ttf", L"KestruneLuvo-Regular.ttf",
    L"KestruneLuvo-Bold.ttf",       L"KestruneDravane-Regular.ttf", L"KestruneDravane-Bold.ttf",
    L"DROIDSANS.TTF",               L"DejaVuSans-Bold.ttf",
};

const wchar_t* const kFontRegistrations[][2] = {
    {L"KestruneTessaly Bold", L"KestruneTessaly-Bold.ttf"},
    {L"KestruneTessaly Regular", L"KestruneTessaly-Regular.ttf"},
    {L"KestruneDravane Bold", L"KestruneDravane-Bold.ttf"},
    {L"KestruneDravane Regular", L"KestruneDravane-Regular.ttf"},
    {L"KestruneLuvo Bold", L"KestruneLuvo-Bold.ttf"},
    {L"KestruneLuvo Regular", L"KestruneLuvo-Regular.ttf"},
    {L"DejaVu Sans Bold", L"DejaVuSans-Bold.ttf"},
    {L"DejaVu Sans", L"DROIDSANS.TTF"},
};

// The three families the interface draws with, in the check's order.
void requiredFamilies(bool arabic, const wchar_t* (&names)[3]) {
    names[0] = L"KestruneTessaly Regular";
    names[1] = arabic ? L"Tahoma" : L"KestruneLuvo Regular";
    names[2] = arabic ? L"DejaVu Sans" : L"KestruneDravane Regular";
}

bool familiesInstalled(bool arabic) {
    const wchar_t* names[3];
    requiredFamilies(arabic, names);
    Gdiplus::InstalledFontCollection installed;
    int count = installed.GetFamilyCount();
    if (count <= 0) return false;
    std::unique_ptr<Gdiplus::FontFamily[]> families(new Gdiplus::FontFamily[count]);
    int found = 0;
    installed.GetFamilies(count, families.get(), &found);
    bool seen[3] = {};
    for (int i = 0; i < found; ++i) {
        wchar_t name[LF_FACESIZE] = {};
        families[i].GetFamilyName(name, LANG_NEUTRAL);
        for (int k = 0; k < 3; ++k) {
            if (wcscmp(name, names[k]) == 0) seen[k] = true;
        }
    }
    return seen[0] && seen[1] && seen[2];
}

bool familiesCreate(bool arabic) {
    // The creation order differs from the lookup order.
    const wchar_t* order[3] = {L"KestruneTessaly Regular", arabic ? L"DejaVu Sans" : L"KestruneDravane Regular",
                               arabic ? L"Tahoma" : L"KestruneLuvo Regular"};
    Gdiplus::InstalledFontCollection installed;
    for (const wchar_t* name : order) {
        Gdiplus::FontFamily family(name, &installed);
        if (family.GetLastStatus() != Gdiplus::Ok) return false;
    }
    return true;
}

}  // namespace

CMainFrame* GetMainFrame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }

CMainFrame::LiveUpdateRunner CMainFrame::setLiveUpdateRunner(LiveUpdateRunner runner) {
    LiveUpdateRunner old = g_liveUpdateRunner;
    g_liveUpdateRunner = std::move(runner);
    return old;
}
CMainFrame::BoxRunner CMainFrame::setBoxRunner(BoxRunner runner) {
    BoxRunner old = g_boxRunner;
    g_boxRunner = std::move(runner);
    return old;
}
CMainFrame::Launcher CMainFrame::setLauncher(Launcher launcher) {
    Launcher old = g_launcher;
    g_launcher = std::move(launcher);
    return old;
}
void CMainFrame::setFontsFolder(const CString& folder) { g_fontsFolder = folder; }

INT_PTR CMainFrame::runBox(CDlgMsgBox& box) { return g_boxRunner ? g_boxRunner(box) : box.DoModal(); }

CMainFrame::CMainFrame() {
    m_pFunctionManager = function_manager::getInstance();
    m_pWorkerManager = worker_manager::getInstance();
    m_pDownloadManager = download_manager::getInstance();
    m_pUnzipManager = unzip_manager::getInstance();
    m_pVercheckManager = &vercheck_manager::getInstance();
    m_pCopyManager = copy_manager::getInstance();
    m_hStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Last: the thread reads every member above.
    CWinThread* thread = AfxBeginThread(ThreadNetwork, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread) {
        // A handle of our own: the thread object deletes itself at the end.
        DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_hNetworkThread, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        SetThreadName(thread, "ThreadNetwork");
        thread->ResumeThread();
    }
}

CMainFrame::~CMainFrame() {
    stopThreads();
    removePageServices();
    destroyRoot();
    delete m_pUSBDetector;
    m_pUSBDetector = nullptr;
    if (m_pDownloadManager) m_pDownloadManager->stop();
    if (m_pUnzipManager) m_pUnzipManager->m_bEnabled = false;
    for (InfInfoList* list : m_lstRetiredInfInfoList) delete list;
    m_lstRetiredInfInfoList.clear();
    delete m_pSelectedDriveInfo;
    m_pSelectedDriveInfo = nullptr;
    delete m_pInfInfoList;
    m_pInfInfoList = nullptr;
    if (m_hStopEvent) CloseHandle(m_hStopEvent);
}

void CMainFrame::keepRootForRunningThreads() {
    CDlgRoot* root = m_pDlgRoot.exchange(nullptr);
    if (!root) return;
    LOG_WRITE(L"CMainFrame::keepRootForRunningThreads: the root and its pages are kept for an engine thread");
    // Hidden, not destroyed: a page's window stays valid for the thread
    // that still reports to it, and nothing frees the objects.
    if (root->GetSafeHwnd()) root->ShowWindow(SW_HIDE);
}

void CMainFrame::PostNcDestroy() {
    if (m_bKeepAfterDestroy) return;
    CFrameWndEx::PostNcDestroy();
}

void CMainFrame::destroyRoot() {
    CDlgRoot* root = m_pDlgRoot.exchange(nullptr);
    if (!root) return;
    if (root->GetSafeHwnd()) root->DestroyWindow();
    delete root;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CFrameWndEx::PreCreateWindow(cs)) return FALSE;
    WNDCLASSW wc{};
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!GetClassInfoW(instance, cs.lpszClass, &wc) && !GetClassInfoW(nullptr, cs.lpszClass, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    }
    cs.dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_COMPOSITED);
    cs.style = 0x14F0000;
    if (cs.hMenu) {
        DestroyMenu(cs.hMenu);
        cs.hMenu = nullptr;
    }
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    wc.lpszMenuName = nullptr;
    cs.lpszClass = kClassName;
    WNDCLASSW existing{};
    if (GetClassInfoW(instance, kClassName, &existing)) return TRUE;
    return RegisterClassW(&wc) != 0;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CFrameWndEx::OnCreate(lpCreateStruct) == -1) return -1;
    SetWindowText(CKestruneApp::kRunningTitle);
    CString region = getRegionCode(CRegSetting::getRegion());
    LOG_WRITE(L"Install Region = '%s'", region.GetString());
    g_logManager.SetStatisticsRegion(region);
    g_logManager.SetStatisticsLanguage(getLanguageCode(CRegSetting::getLanguage()));

    while (true) {
        if (isLiveUpdate()) {
            m_bExitProgram = 1;
            PostMessage(WM_CLOSE, 0, 0);
            return 0;
        }
        if (m_bLiveUpdateRetry != 1) break;
    }

    if (checkFonts()) {
        CDlgMsgBox box(this);
        if (CRegSetting::getLanguage() == LANGUAGE_KO) {
            box.setMessage(L"설치 오류", L"일부 리소스가 설치되지 않았습니다.\n 프로그램 재설치가 필요합니다.");
        } else {
            box.setMessage(L"Installation Failed", L"Some resources are not installed.\n Reinstall is required.");
        }
        box.m_nType = 1;
        box.setWindowTitle(CKestruneApp::kAlreadyRunningTitle);
        runBox(box);
        m_bExitProgram = 1;
        PostMessage(WM_CLOSE, 0, 0);
        return 0;
    }
    initMain();
    return 0;
}

BOOL CMainFrame::isLiveUpdate() {
    const CString runningKey = CRegSetting::getAppKeys()[REG_APP_LIVE_UPDATE_RUNNING];
    CWinApp* app = AfxGetApp();
    app->WriteProfileInt(L"", runningKey, 1);
    LiveUpdateOutcome outcome = g_liveUpdateRunner ? g_liveUpdateRunner(this) : runLiveUpdatePopup();

    if (outcome.result == IDCANCEL) {
        CDlgMsgBox box(this);
        switch (outcome.failCode) {
            case 3: box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL; break;
            case 1:
            case 2: box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE; break;
            default: box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL; break;
        }
        if (runBox(box) == IDOK) {
            app->WriteProfileInt(L"", runningKey, 0);
            return FALSE;
        }
        CString code = g_logManager.SendStatistics();
        LOG_WRITE(L"[DEBUG_SERVER_LOG][Statics and ErrorLog Upload.][ResponseCode:%s]", code.GetString());
        app->WriteProfileInt(L"", runningKey, 0);
        return TRUE;
    }
    if (outcome.checkResult == 0) {
        m_bLiveUpdateRetry = 0;
        app->WriteProfileInt(L"", runningKey, 0);
        return FALSE;
    }
    // The new instance looks for this one's marker and flag: both go before
    // it starts, or it would take this instance for a running one and quit.
    // The running program's own folder, never "InstallPath": any process
    // of the user can point that value at a folder of its own and have it
    // started elevated without a prompt.
    CString path = CGlobalFunc::getModuleDirectory();
    const CString recorded = CRegSetting::getInstallPath();
    if (!recorded.IsEmpty() && CString(recorded).TrimRight(L'\\').CompareNoCase(path) != 0) {
        LOG_WRITE(L"[InstallPath differs from the program's folder][%s][%s]", recorded.GetString(), path.GetString());
    }
    path += L"\\Kestrune.exe";
    app->WriteProfileInt(L"", runningKey, 0);
    SetWindowText(L"");
    const BOOL started = g_launcher ? g_launcher(path) : shellLaunch(path);
    if (!started) {
        // Closing now would leave nothing running: this instance goes on.
        LOG_WRITE(L"[LiveUpdate Execute failed:%s][ErrCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
        SetWindowText(CKestruneApp::kRunningTitle);
        return FALSE;
    }
    LOG_WRITE(L"[LiveUpdate Execute:%s]", path.GetString());
    return TRUE;
}

BOOL CMainFrame::checkFonts() {
    CString folder = g_fontsFolder.IsEmpty() ? CGlobalFunc::getFontsPath() : g_fontsFolder;
    folder.TrimRight(L'\\');
    for (const wchar_t* file : kFontFiles) {
        if (!CGlobalFunc::isFileExist(folder + L"\\" + file, FALSE)) {
            LOG_WRITE(L"Font file missing: %s", file);
            return 1;
        }
    }
    const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    for (int pass = 0; pass < 5 && !familiesInstalled(arabic); ++pass) registerFont();
    bool created = false;
    for (int pass = 0; pass < 5; ++pass) {
        if (familiesCreate(arabic)) {
            created = true;
            break;
        }
        registerFont();
    }
    if (!created) return 1;
    for (int pass = 0; pass < 5; ++pass) {
        if (CFontCache::getCorpFont(CORP_TS, 16) && CFontCache::getCorpFont(CORP_LV, 16) &&
            CFontCache::getCorpFont(CORP_DR, 16)) {
            return 0;
        }
        registerFont();
    }
    return 1;
}

void CMainFrame::registerFont() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                      KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (const auto& row : kFontRegistrations) {
            RegSetValueExW(key, row[0], 0, REG_SZ, reinterpret_cast<const BYTE*>(row[1]),
                           static_cast<DWORD>((wcslen(row[1]) + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(key);
    }
    if (CKestruneApp* app = GetKestruneApp()) app->restartGdiplus(1000);
}

void CMainFrame::initMain() {
    bool replace = false;
    CString dataPath = frame_rules::dataPathFor(CRegSetting::getDataPath(), CGlobalFunc::getDocumentsPath(),
                                                CGlobalFunc::getDownloadsPath(), replace);
    if (replace) CRegSetting::setDataPath(dataPath);
    if (GetFileAttributesW(dataPath.GetString()) == INVALID_FILE_ATTRIBUTES) CGlobalFunc::createDirectory(dataPath);

    if (!m_pUSBDetector) {
        m_pUSBDetector = new CUSBDetector;
        m_pUSBDetector->Create(m_hWnd, 1000);
        m_pUSBDetector->registerNotify(m_hWnd);
    }

    destroyRoot();
    auto* root = new CDlgRoot(this);
    if (!root->Create(IDD_BASE_DIALOG, CWnd::GetDesktopWindow())) {
        LOG_WRITE(L"Root dialog not created");
        delete root;
        return;
    }
    m_pDlgRoot = root;
    installPageServices();
    root->MoveWindow(0, 0, 900, 680);
    root->CenterWindow();
    root->ShowWindow(SW_SHOW);
    root->m_lang.setLanguage(CRegSetting::getLanguage());
    // A language switch of the settings page reaches the root's texts and
    // every window through the frame.
    CLangLibrary::setChangeHooks(
        []() -> CDLang* {
            CMainFrame* frame = GetMainFrame();
            CDlgRoot* r = frame ? frame->m_pDlgRoot.load() : nullptr;
            return r ? &r->m_lang : nullptr;
        },
        []() {
            if (CMainFrame* frame = GetMainFrame()) frame->broadcastChangeLanguage();
        });

    SendMessage(UM_FRAME_DRIVE, 0, 0);
    requestGUID();
}

void CMainFrame::requestGUID() {
    if (CRegSetting::getClientGUID().IsEmpty()) {
        RequestParamGUID param;
        param.m_strRegion = CWebPOST::EncryptValue(getRegionCode(CRegSetting::getRegion()));
        CWebPOST post;
        CString reply = post.RequestGUID(getServerHost(API_GET_GUID), getApiPath(API_GET_GUID), 443, param, TRUE);
        CString guid;
        ResponseParserGUID parser(0, 0, &guid);
        if (parser.parse(reply) == 1) {
            CString section;
            section.Format(CRegSetting::getUserKeys()[REG_USER_SECTION].GetString(),
                           getRegionCode(CRegSetting::getRegion()).GetString());
            AfxGetApp()->WriteProfileString(section, CRegSetting::getUserKeys()[REG_USER_CLIENT_GUID], guid);
        }
    }
    g_logManager.SetStatisticsClientID(CRegSetting::getClientGUID());
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* lpwndpos) {
    Default();
    lpwndpos->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
}

void CMainFrame::OnSetFocus(CWnd* pOldWnd) {
    Default();
    (void)pOldWnd;
    CDlgRoot* root = m_pDlgRoot.load();
    if (root && root->GetSafeHwnd()) root->SetFocus();
}
