// The watcher's window, its drive map and its listeners.
#include "engine/usb_detector.h"

#include "engine/drive_probe.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"

namespace {

const wchar_t kWindowClass[] = L"KestruneUSBDetector";

// Sources: interrupt-level, shell-level and recursive interrupt events, and
// no new-delivery bit, so wParam points at the pair of item-id lists.
constexpr int kNotifySources = 0x2381F;
constexpr LONG kNotifyEvents = SHCNE_MEDIAINSERTED | SHCNE_MEDIAREMOVED | SHCNE_DRIVEREMOVED | SHCNE_DRIVEADD;

bool registerWindowClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

CString DriveInfo::getDriveLetter() const {
    return rootPath.IsEmpty() ? CString() : rootPath.Left(1);
}

CUSBDetector::CUSBDetector() {
    updateAllDriveInfo();
}

CUSBDetector::~CUSBDetector() {
    // Released even while windows still listen: the frame listens for the
    // whole run, and a registration that outlives its window is left to a
    // dead handle.
    if (m_notifyId != 0) {
        SHChangeNotifyDeregister(m_notifyId);
        m_notifyId = 0;
    }
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
    clearDriveMap();
}

BOOL CUSBDetector::Create(HWND parent, UINT id) {
    if (m_hWnd || !registerWindowClass(&CUSBDetector::windowProc)) return FALSE;
    const DWORD style = parent ? (WS_CHILD | WS_CLIPCHILDREN) : 0;
    HWND hwnd = CreateWindowExW(0, kWindowClass, L"", style, 0, 0, 0, 0, parent ? parent : HWND_MESSAGE,
                                parent ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr,
                                GetModuleHandleW(nullptr), this);
    if (!hwnd) {
        LOG_WRITE(L"[CreateWindow fail][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    m_hWnd = hwnd;
    return TRUE;
}

LRESULT CALLBACK CUSBDetector::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Bound at creation and cleared before the object goes, so no message
    // reaches it half-made or half-destroyed.
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CUSBDetector*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == UM_MEDIA_CHANGED) return self->OnUserMediaChanged(wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CUSBDetector::clearDriveMap() {
    m_driveMap.clear();
}

BOOL CUSBDetector::updateAllDriveInfo() {
    clearDriveMap();
    const DWORD mask = driveQueries().getLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const wchar_t letter = static_cast<wchar_t>(L'A' + i);
        auto info = std::make_unique<DriveInfo>();
        if (getDriveInfo(letter, info.get())) m_driveMap[letter] = std::move(info);
    }
    return TRUE;
}

BOOL CUSBDetector::registerNotify(HWND listener) {
    if (!m_hWnd) return FALSE;
    if (m_notifyId == 0) {
        PIDLIST_ABSOLUTE desktop = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop)) || !desktop) return FALSE;
        SHChangeNotifyEntry entry{};
        entry.pidl = desktop;
        entry.fRecursive = TRUE;
        // A failed registration leaves the id 0 and is tried again next time.
        m_notifyId = SHChangeNotifyRegister(m_hWnd, kNotifySources, kNotifyEvents, UM_MEDIA_CHANGED, 1, &entry);
        CoTaskMemFree(desktop);
    }
    addListener(listener);
    return TRUE;
}

BOOL CUSBDetector::addListener(HWND listener) {
    if (!listener) return FALSE;
    m_listeners.add(listener);
    return TRUE;
}

BOOL CUSBDetector::removeListener(HWND listener) {
    if (!listener) return FALSE;
    m_listeners.remove(listener);
    return TRUE;
}

CString CUSBDetector::getPathFromPidl(PCIDLIST_ABSOLUTE pidl) {
    wchar_t path[MAX_PATH] = {};
    if (!pidl || !SHGetPathFromIDListW(pidl, path)) return CString();
    return CString(path);
}

LRESULT CUSBDetector::OnUserMediaChanged(WPARAM wParam, LPARAM lParam) {
    auto* pidls = reinterpret_cast<PCIDLIST_ABSOLUTE*>(wParam);
    const CString path = pidls ? getPathFromPidl(pidls[0]) : CString();
    const LONG event = static_cast<LONG>(lParam);

    if (event == SHCNE_MEDIAINSERTED || event == SHCNE_DRIVEADD) {
        LOG_WRITE(L"SHCNE_DRIVEADD = %s", path.GetString());
        if (path.IsEmpty()) return 0;
        const wchar_t letter = path[0];
        auto found = m_driveMap.find(letter);
        if (found == m_driveMap.end()) {
            auto info = std::make_unique<DriveInfo>();
            if (!getDriveInfo(letter, info.get())) return 0;
            m_driveMap[letter] = std::move(info);
        } else if (!getDriveInfo(letter, found->second.get())) {
            m_driveMap.erase(found);
            return 0;
        }
        m_listeners.post_message_all(RWM_USBDETECTOR_MESSAGE, static_cast<WPARAM>(letter), 1);
    } else if (event == SHCNE_MEDIAREMOVED || event == SHCNE_DRIVEREMOVED) {
        LOG_WRITE(L"SHCNE_DRIVEREMOVED = %s", path.GetString());
        if (path.IsEmpty()) return 0;
        const wchar_t letter = path[0];
        auto found = m_driveMap.find(letter);
        if (found != m_driveMap.end()) {
            m_driveMap.erase(found);
        } else {
            DriveInfo check;
            if (getDriveInfo(letter, &check)) return 0;
        }
        m_listeners.post_message_all(RWM_USBDETECTOR_MESSAGE, static_cast<WPARAM>(letter), 0);
    }
    return 0;
}
