// The root's services around folders: the clean-up after an update copied
// to a drive, closing the folder windows that show it, the folder picker,
// and the settings-closed broadcast.
#include "shell/dlg_root.h"

#include "afx/folderdlg.h"
#include "descriptors/inf_info.h"
#include "descriptors/update_list_builder.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "shell/frame_rules.h"
#include "shell/shell_engine.h"
#include "webclient/response_parser_login.h"

#include <commdlg.h>
#include <exdisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>

namespace {

CDlgRoot::FolderPicker& folderPicker() {
    static CDlgRoot::FolderPicker picker;
    return picker;
}

CDlgRoot::ShellWindowLister& shellWindowLister() {
    static CDlgRoot::ShellWindowLister lister;
    return lister;
}

std::atomic<bool> g_closingExplorerWindows{false};

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    void** outVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

// The file-system folder a shell browser window shows, or "<not a
// directory>" for anything else (a search, the control panel).
CString pathOfBrowser(IDispatch* item, HWND& hwnd) {
    hwnd = nullptr;
    ComPtr<IWebBrowserApp> app;
    if (FAILED(item->QueryInterface(IID_IWebBrowserApp, app.outVoid()))) return CString();
    SHANDLE_PTR handle = 0;
    if (SUCCEEDED(app->get_HWND(&handle))) hwnd = reinterpret_cast<HWND>(handle);
    CString path = L"<not a directory>";
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IFolderView> folderView;
    ComPtr<IPersistFolder2> folder;
    if (SUCCEEDED(app->QueryInterface(IID_IServiceProvider, services.outVoid())) &&
        SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.outVoid())) &&
        SUCCEEDED(browser->QueryActiveShellView(view.out())) &&
        SUCCEEDED(view->QueryInterface(IID_IFolderView, folderView.outVoid())) &&
        SUCCEEDED(folderView->GetFolder(IID_IPersistFolder2, folder.outVoid()))) {
        LPITEMIDLIST pidl = nullptr;
        if (SUCCEEDED(folder->GetCurFolder(&pidl)) && pidl) {
            wchar_t buffer[MAX_PATH] = {0};
            if (SHGetPathFromIDListW(pidl, buffer)) path = buffer;
            CoTaskMemFree(pidl);
        }
    }
    return path;
}

// Every window of the ShellWindows collection; false when the collection
// cannot be made.
bool listShellWindows(std::vector<CDlgRoot::ShellWindow>& windows) {
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool made = false;
    {
        ComPtr<IShellWindows> shellWindows;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                       shellWindows.outVoid()))) {
            made = true;
            long count = 0;
            shellWindows->get_Count(&count);
            for (long i = 0; i < count; ++i) {
                VARIANT index;
                VariantInit(&index);
                index.vt = VT_I4;
                index.lVal = i;
                ComPtr<IDispatch> item;
                if (FAILED(shellWindows->Item(index, item.out())) || !item) continue;
                HWND hwnd = nullptr;
                CString path = pathOfBrowser(item.p, hwnd);
                if (hwnd) windows.push_back({hwnd, path});
            }
        }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return made;
}

CString normalised(CString path) {
    path.Replace(L'/', L'\\');
    while (path.GetLength() > 1 && path[path.GetLength() - 1] == L'\\') path.Delete(path.GetLength() - 1);
    return path.MakeLower();
}

}  // namespace

void CDlgRoot::setFolderPicker(FolderPicker picker) { folderPicker() = std::move(picker); }

void CDlgRoot::setShellWindowLister(ShellWindowLister lister) { shellWindowLister() = std::move(lister); }

bool CDlgRoot::isPathAtOrUnder(const CString& path, const CString& folder) {
    CString p = normalised(path), f = normalised(folder);
    if (f.IsEmpty() || p.IsEmpty()) return false;
    if (p == f) return true;
    return p.GetLength() > f.GetLength() && p.Left(f.GetLength()) == f && p[f.GetLength()] == L'\\';
}

// Only after an update that went to a drive, only once nothing transfers:
// an earlier finish can leave m_bDestIsDrive set while a new download runs,
// and its folder holds that download and its resume files.
void CDlgRoot::cleanDownloadFolder() {
    if (m_bDestIsDrive != 1 || !m_pMainFrame) return;
    InfInfo* entry = m_pMainFrame->currentEntry();
    if (!entry) return;
    IShellEngine& engine = shellEngine();
    if (m_bTransferIdle != 1 || engine.isDownloadActive() || engine.isUnzipActive() || engine.isCopyActive()) {
        LOG_WRITE(L"download folder kept: an update is under way");
        return;
    }
    if (!ResponseParserLogin::isUsableDescriptorName(entry->getInfFileName())) {
        LOG_WRITE(L"CDlgRoot::cleanDownloadFolder: descriptor name refused: '%s'", entry->getInfFileName().GetString());
        return;
    }
    CString name = update_list_builder::folderOf(entry);
    if (name.IsEmpty()) return;
    CString folder = CRegSetting::getDataPath();
    if (folder.IsEmpty()) return;
    wchar_t last = folder[folder.GetLength() - 1];
    if (last != L'/' && last != L'\\') folder += L"\\";
    folder += name;

    closeExplorerWindows(folder);
    engine.closeOwnHandles(folder);

    CFileFind finder;
    BOOL more = finder.FindFile(folder);
    while (more) {
        more = finder.FindNextFile();
        if (!finder.IsDirectory() || finder.IsDots()) continue;
        CString found = finder.GetFilePath();
        // Only the folder the engine made, not a user's folder of that name
        // that holds a copy of its version file.
        if (!m_pMainFrame->hasOwnVerFile(found) || !frame_rules::carriesOwnFolderMark(found)) continue;
        CGlobalFunc::deleteDirectory(found);
        ::RemoveDirectoryW(found);
    }
}

BOOL CDlgRoot::closeExplorerWindows(const CString& text) {
    bool expected = false;
    if (!g_closingExplorerWindows.compare_exchange_strong(expected, true)) return FALSE;
    std::vector<ShellWindow> windows;
    bool made = shellWindowLister() ? shellWindowLister()(windows) : listShellWindows(windows);
    if (made && !text.IsEmpty()) {
        for (const ShellWindow& w : windows) {
            if (isPathAtOrUnder(w.path, text)) ::SendMessageW(w.hwnd, WM_CLOSE, 0, 0);
        }
    }
    g_closingExplorerWindows.store(false);
    return made ? TRUE : FALSE;
}

void CDlgRoot::broadcastConfigClosed() { sendToPages(RWM_CONFIG_CLOSED); }

CString CDlgRoot::browseFolder(const CString& initialFolder, const CString&) {
    // The picker takes at most 259 characters of the start folder.
    CString start = initialFolder.Left(MAX_PATH - 1);
    g_bFolderPickerOpen = TRUE;
    CString chosen;
    if (folderPicker()) {
        chosen = folderPicker()(this, start);
    } else {
        CFolderPickerDialog picker(start, OFN_EXPLORER | OFN_PATHMUSTEXIST, this);
        if (picker.DoModal() == IDOK) chosen = picker.GetPathName();
    }
    g_bFolderPickerOpen = FALSE;
    return chosen;
}
