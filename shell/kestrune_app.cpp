#include "shell/kestrune_app.h"

#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/minidumper.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/main_frame.h"
#include "ui/dlg_msg_box.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"

#include <commctrl.h>

const wchar_t* const CKestruneApp::kRunningTitle = L"Kestrune_RUNNING_TITLE";
const wchar_t* const CKestruneApp::kAlreadyRunningTitle = L"Kestrune_ALREADY_RUNNING_TITLE";
const wchar_t* const CKestruneApp::kInstallerTitle = L"Kestrune - InstallShield Wizard";
const wchar_t* const CKestruneApp::kMutexName = L"OSTL_KTN_MUTEX";

namespace {

const wchar_t kAppTitle[] = L"Kestrune";
const wchar_t kStartBanner[] = L"================= [ START %s %s ] =================";
const wchar_t kFinishBanner[] = L"================= [ FINISH %s %s ] =================";

CString fileVersion() {
    CString version;
    LogManager::getFileVersion(version);
    return version;
}

BOOL topWindowExists(const wchar_t* title) { return FindWindowW(nullptr, title) != nullptr; }

}  // namespace

BEGIN_MESSAGE_MAP(CKestruneApp, CWinAppEx)
    ON_COMMAND(ID_APP_ABOUT, &CKestruneApp::OnAppAbout)
END_MESSAGE_MAP()

CKestruneApp* GetKestruneApp() { return dynamic_cast<CKestruneApp*>(AfxGetApp()); }

CKestruneApp::CKestruneApp() : CWinAppEx(TRUE) {
    // The profile key and the message boxes carry the program's title,
    // whatever the file is called.
    m_pszAppName = kAppTitle;
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

CKestruneApp::~CKestruneApp() {
    if (m_hMutex) CloseHandle(m_hMutex);
    if (m_hLangDll && CLangLibrary::library() == m_hLangDll) FreeLibrary(CLangLibrary::exchangeLibrary(nullptr));
}

void CKestruneApp::startGdiplus() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) m_gdiplusToken = token;
    CGdiFunc::setGdiplusToken(m_gdiplusToken);
    CGdiFunc::setResourceModule(m_hInstance ? m_hInstance : GetModuleHandleW(nullptr));
}

void CKestruneApp::stopGdiplus() {
    // Every GDI+ object goes before GDI+ itself: deleting one afterwards
    // touches freed state.
    CGdiFunc::deleteSharedFamily();
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    CGdiFunc::setGdiplusToken(0);
}

void CKestruneApp::restartGdiplus(DWORD pauseMs) {
    stopGdiplus();
    waitPumpingMessages(pauseMs);
    startGdiplus();
}

BOOL CKestruneApp::restrictDllSearch() {
    // Looked up at run time: a Windows 7 without its loader update lacks it.
    using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDirectoriesFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"));
    // The program runs as administrator from a folder the user may write
    // to around it: a library planted in the current folder or on PATH must
    // never be loaded.
    if (set && set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR)) return TRUE;
    SetDllDirectoryW(L"");
    LOG_WRITE(L"CKestruneApp::restrictDllSearch: SetDefaultDllDirectories not available (ErrCode:%d)",
              static_cast<int>(GetLastError()));
    return FALSE;
}

BOOL CKestruneApp::InitApplication() {
    // Before GDI+ and the language library, which run before InitInstance.
    restrictDllSearch();
    SetRegistryKey(L"Corvessa");
    startGdiplus();
    initLog();
    // Hosts, keys and markers come from here; every later step may need them.
    if (!CConfigFile::getInstance()->load()) LOG_WRITE(L"config.json not loaded");
    if (!loadLanguage(CRegSetting::getLanguage())) return FALSE;
    CFontCache::selectFace();
    return CWinAppEx::InitApplication();
}

void CKestruneApp::initLog() {
    // Beside the running program: "InstallPath" is the user's to change.
    CString folder = logFolderForInstallPath(CGlobalFunc::getModuleDirectory());
    CGlobalFunc::createDirectoryPath(folder);
    CString fileName;
    fileName.Format(L"%s.log", L"Kestrune_WIN");
    g_logManager.init(folder, fileName, 104857600ULL, 10, 15);
}

BOOL CKestruneApp::loadLanguage(int uiLanguage) {
    if (!CLangLibrary::loadLanguage(uiLanguage)) return FALSE;
    m_hLangDll = CLangLibrary::library();
    return TRUE;
}

CString CKestruneApp::loadLangString(UINT id) { return CLangLibrary::loadLangString(id); }

BOOL CKestruneApp::changeLanguage(int uiLanguage, BOOL apply) {
    return CLangLibrary::changeLanguage(uiLanguage, apply);
}

BOOL CKestruneApp::InitInstance() {
    restrictDllSearch();
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CWinAppEx::InitInstance();
    if (!AfxOleInit()) {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    InitContextMenuManager();
    InitKeyboardManager();
    InitTooltipManager();
    CMFCToolTipInfo params;
    params.m_bVislManagerTheme = TRUE;
    params.m_nMaxDescrWidth = 200;
    GetTooltipManager()->SetTooltipParams(AFX_TOOLTIP_TYPE_ALL, nullptr, &params);

    LOG_WRITE(kStartBanner, kAppTitle, fileVersion().GetString());
    static MiniDumper dumper;

    if (isAlreadyRunning()) return FALSE;
    enableTls();

    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_MAINFRAME, 0xCF8000)) {
        // A window that was made and failed took its frame object with it.
        m_pMainWnd = nullptr;
        return FALSE;
    }
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    return TRUE;
}

BOOL CKestruneApp::isAlreadyRunning() {
    const std::vector<CString>& appKeys = CRegSetting::getAppKeys();
    const CString& liveUpdateKey = appKeys[REG_APP_LIVE_UPDATE_RUNNING];
    if (GetProfileInt(L"", liveUpdateKey, 0) == 1) {
        g_logManager.log("CKestruneApp::isLiveUpdateRunning", __LINE__, L"liveupdate running!!");
        CString popupTitle = loadLangString(IDS_SELF_UPDATE_WINDOW_TITLE);
        HWND popup = popupTitle.IsEmpty() ? nullptr : FindWindowW(nullptr, popupTitle.GetString());
        if (popup) {
            CGlobalFunc::forceForegroundWindow(popup);
            return TRUE;
        }
        if (topWindowExists(kRunningTitle) || topWindowExists(kAlreadyRunningTitle)) return TRUE;
        WriteProfileInt(L"", liveUpdateKey, 0);
    }

    if (topWindowExists(kInstallerTitle) && GetProfileInt(L"", appKeys[REG_APP_UNINSTALL_STATUS], 0) == 1) {
        LOG_WRITE(L"InstallShield running for remove !!!");
        return TRUE;
    }

    m_hMutex = CreateMutexW(nullptr, TRUE, kMutexName);
    DWORD error = GetLastError();
    LOG_WRITE(L"GetLastError() = '%d'", static_cast<int>(error));
    if (error != ERROR_ALREADY_EXISTS) return FALSE;

    HWND notice = FindWindowW(nullptr, kAlreadyRunningTitle);
    if (!notice && !topWindowExists(kRunningTitle)) return FALSE;
    LOG_WRITE(L"already running!!");
    if (notice) {
        CGlobalFunc::forceForegroundWindow(notice);
        return TRUE;
    }
    CDlgMsgBox box(nullptr);
    CString text = loadLangString(IDS_ALREADY_RUNNING);
    text.Replace(L"[#Update Program Name#] ", L"Kestrune ");
    box.setMessage(loadLangString(IDS_ALREADY_RUNNING_TITLE), text);
    box.m_nType = 4;
    box.setWindowTitle(kAlreadyRunningTitle);
    box.DoModal();
    return TRUE;
}

LONG CKestruneApp::enableTls() {
    return enableTlsAt(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
}

LONG CKestruneApp::enableTlsAt(HKEY root, LPCWSTR subKey) {
    // Opened for query and set: a key opened only for reading refuses the write.
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD value = 0, type = 0, size = sizeof(value);
    result = RegQueryValueExW(key, L"SecureProtocols", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result == ERROR_SUCCESS && size == sizeof(value)) {
        value |= 0xA00;
        result = RegSetValueExW(key, L"SecureProtocols", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                sizeof(value));
    } else {
        // Nothing to switch on: a missing value stays missing.
        result = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return result;
}

int CKestruneApp::ExitInstance() {
    stopGdiplus();
    g_logManager.deleteOldLogs();
    CFontCache::clear();
    LOG_WRITE(kFinishBanner, kAppTitle, fileVersion().GetString());
    CMFCVisualManager::DestroyInstance();
    return CWinAppEx::ExitInstance();
}

void CKestruneApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
