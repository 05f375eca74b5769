// The settings page's folder row (the path test, the folder picker, the
// fitted path), the removal row's message and the head unit's BT/ID line.
#include "pages/account/dlg_page_config.h"

#include "engine/drive_probe.h"
#include "engine/usb_detector.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "ui/path_text.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "ui/view_state.h"

namespace {

// USB disks below this size (in bytes) count as removable media.
constexpr ULONGLONG kSmallUsbDisk = 32ULL << 30;

CDlgPageConfig::AttributeReader& attributeReader() {
    static CDlgPageConfig::AttributeReader reader;
    return reader;
}

}  // namespace

void CDlgPageConfig::setAttributeReader(AttributeReader reader) { attributeReader() = std::move(reader); }

int CDlgPageConfig::checkPathType(const CString& path) {
    if (path.IsEmpty()) return 1;
    CString root;
    root.Format(L"%c:\\", path[0]);
    IDriveQueries& probe = driveQueries();
    if (probe.getDriveType(root) != DRIVE_FIXED) return 1;
    ULONGLONG total = 0;
    if (probe.isUsbBusDevice(path[0]) && probe.getTotalBytes(root, total) && total < kSmallUsbDisk) return 1;

    const CString folder = path + L"\\";
    const DWORD attributes = attributeReader() ? attributeReader()(folder) : ::GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return 2;
    CString field1, field2, field4;
    AfxExtractSubString(field1, path, 1, L'\\');
    AfxExtractSubString(field2, path, 2, L'\\');
    AfxExtractSubString(field4, path, 4, L'\\');
    // A profile folder and its direct subfolders are marked read-only by the
    // system and still take files.
    if (field1 == L"Users" && !field2.IsEmpty() && field4.IsEmpty()) return 0;
    return (attributes & FILE_ATTRIBUTE_READONLY) ? 2 : 0;
}

void CDlgPageConfig::showFolder(const CString& folder) {
    if (!m_editFolder.GetSafeHwnd()) return;
    m_editFolder.setColors(RGB(255, 255, 255), m_editFolder.m_textColor);
    m_editFolder.setText(folder, TRUE);
    m_editFolder.setHintText(folder);
    showFittedPath();
}

void CDlgPageConfig::showFittedPath() {
    if (!m_editFolder.GetSafeHwnd()) return;
    // The fit measures the whole path, not an earlier fitted form.
    m_editFolder.SetWindowText(m_editFolder.m_strHint);
    const CString fitted = fitPathText(&m_editFolder);
    m_editFolder.setText(fitted, TRUE);
}

void CDlgPageConfig::OnBnClickedButtonChangeFolder() {
    if (g_bFolderPickerOpen) return;
    CDlgRoot* r = root();
    if (!r) return;
    const CString chosen = r->browseFolder(CRegSetting::getDataPath());
    if (chosen.IsEmpty()) return;
    switch (checkPathType(chosen)) {
        case 0:
            if (IShellFrame* f = frame()) f->setDownloadFolder(chosen);
            showFolder(chosen);
            break;
        case 1: {
            if (!r->m_pPageMsgForConfig) return;
            r->m_pPageMsgForConfig->setMessageType(SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, this);
            r->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
            CString record;
            record.Format(L"[E:%d,T:%s,VN:%c:\\,ED:PATHTYPE]", 8, CGlobalFunc::getTimeStamp().GetString(), chosen[0]);
            g_logManager.AddStatistics(record);
            break;
        }
        default:
            if (!r->m_pPageMsgForConfig) return;
            r->m_pPageMsgForConfig->setParam(chosen, 0);
            r->m_pPageMsgForConfig->setMessageType(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, this);
            r->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
            break;
    }
}

void CDlgPageConfig::ShowBTID() {
    if (!m_staticBtId.GetSafeHwnd()) return;
    CDlgRoot* r = root();
    IShellFrame* f = frame();
    CUSBDetector* watcher = f ? f->driveWatcher() : nullptr;
    CString line;
    if (!watcher || !r) {
        LOG_WRITE(L"CUSBDetector::getAllDriveInfoList() == NULL!");
    } else {
        watcher->updateAllDriveInfo();
        for (const auto& [letter, info] : *watcher->getAllDriveInfoList()) {
            if (!info) continue;
            CString drive;
            drive.Format(L"%c:", letter);
            if (r->readConfigurationId(drive)) {
                line = L"BT/ID : " + r->m_strConfigurationId;
                break;
            }
        }
    }
    CString shown;
    m_staticBtId.GetWindowText(shown);
    if (shown != line) m_staticBtId.SetWindowText(line);
    // An empty label paints nothing: it shows only with a line.
    const bool visible = m_bSignInShown && !line.IsEmpty();
    if (((m_staticBtId.GetStyle() & WS_VISIBLE) != 0) != visible) m_staticBtId.ShowWindow(visible ? SW_SHOW : SW_HIDE);
}
