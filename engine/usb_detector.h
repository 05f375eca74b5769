#pragma once
// The drive watcher: the drives that can take an update (SD cards, USB
// sticks, small USB disks), kept up to date from the shell's media and
// drive events, and the windows told when such a drive arrives or goes
// (RWM_USBDETECTOR_MESSAGE, wParam the letter, lParam 1 arrived / 0 gone).
// The map, the listeners and the window belong to the UI thread; the
// static checks may run on any thread.
#include "afx/string.h"
#include "foundation/observer_list.h"

#include <shlobj.h>

#include <map>
#include <memory>

// One drive as the watcher saw it when it last checked it.
struct DriveInfo {
    CString rootPath;  // "X:\"
    CString volumeLabel;
    DWORD fileSystemFlags = 0;
    // KiB; a volume of 4 TiB or more reads 0xFFFFFFFF rather than wrapping.
    DWORD totalKB = 0;
    DWORD freeKB = 0;
    CString fileSystem;
    DWORD clusterSize = 0;  // 0 when unknown or 64 MiB and more
    int readOnly = 0;
    int driveType = 0;

    // The drive letter as a one-character text; empty without a root path.
    CString getDriveLetter() const;
    // The same letter (the pages' name for it).
    CString getRootPath() const { return getDriveLetter(); }
};

class CUSBDetector {
public:
    using DriveMap = std::map<wchar_t, std::unique_ptr<DriveInfo>>;

    // Scans the drives, so the map is filled before the window exists.
    CUSBDetector();
    // Releases the shell registration and the window.
    ~CUSBDetector();
    CUSBDetector(const CUSBDetector&) = delete;
    CUSBDetector& operator=(const CUSBDetector&) = delete;

    // The watcher's own invisible window: a child of parent with the given
    // control id, or a message-only window without a parent.
    BOOL Create(HWND parent, UINT id);
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Rebuilds the map from scratch; sends nothing. Always TRUE.
    BOOL updateAllDriveInfo();
    DriveMap* getAllDriveInfoList() { return &m_driveMap; }

    // Fills info and says whether the drive can take an update.
    static BOOL getDriveInfo(wchar_t letter, DriveInfo* info);
    // TRUE for a drive on the USB bus that is not a CD/DVD device.
    static BOOL isUsbBusDevice(wchar_t letter);
    // Clears the read-only attribute of the disk under the drive with the
    // system's partition tool; nonzero when the disk then accepts writes.
    static BOOL clearReadOnly(wchar_t letter);
    static BOOL clearReadOnly(const DriveInfo& info);
    // First line of the head unit's software version file under root ("X:\").
    static CString getSwVersion(const CString& root);

    // Registers the window for shell events once, then adds the listener.
    // FALSE without a window or when the registration could not be asked.
    BOOL registerNotify(HWND listener);
    BOOL addListener(HWND listener);
    BOOL removeListener(HWND listener);

    // UM_MEDIA_CHANGED: wParam the shell's pair of item-id lists, lParam
    // the event.
    LRESULT OnUserMediaChanged(WPARAM wParam, LPARAM lParam);

    // How long clearReadOnly waits for the partition tool before it gives
    // up on it; returns the previous time.
    static DWORD setPartitionToolWait(DWORD milliseconds);

private:
    void clearDriveMap();
    static CString getPathFromPidl(PCIDLIST_ABSOLUTE pidl);
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    DriveMap m_driveMap;
    observer_list m_listeners;
    ULONG m_notifyId = 0;
    HWND m_hWnd = nullptr;
};
