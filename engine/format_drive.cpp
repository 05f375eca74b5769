#include "engine/format_drive.h"

#include "afx/handle.h"
#include "engine/drive_probe.h"
#include "engine/system_folder.h"
#include "engine/worker_manager.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"

#include <stdlib.h>

std::atomic<int> formatFailed{0};

namespace {

constexpr ULONGLONG kLargestUsbKB = 0x2000000;  // 32 GiB
constexpr int kMediaRemovable = 11;
constexpr int kMediaFixed = 12;
// FormatEx callback commands.
constexpr int kCommandVolumeInUse = 8;
constexpr int kCommandDone = 11;
constexpr int kCommandStructureProgress = 15;

std::atomic<DWORD> g_commandWaitMs{60000};

CString driveOf(const CString& path) {
    wchar_t drive[_MAX_DRIVE] = {};
    if (_wsplitpath_s(path.GetString(), drive, _MAX_DRIVE, nullptr, 0, nullptr, 0, nullptr, 0) != 0) return CString();
    return CString(drive);
}

// A USB drive below 32 GiB, compared in 64 bits.
bool isSmallUsbDrive(wchar_t letter, const CString& root) {
    IDriveQueries& probe = driveQueries();
    if (!probe.isUsbBusDevice(letter)) return false;
    ULONGLONG total = 0, free = 0;
    return probe.getDiskSpace(root, total, free) && (total >> 10) < kLargestUsbKB;
}

// "X:\" for a path on a drive letter, empty otherwise.
CString rootOf(const CString& path) {
    const CString drive = driveOf(path);
    if (drive.GetLength() != 2 || !iswalpha(drive[0])) return CString();
    CString root;
    root.Format(L"%c:\\", towupper(drive[0]));
    return root;
}

// Whether the volume at root holds the system, the program, the download
// folder or the log: none of them is ever a medium to format.
bool holdsOwnOrSystemFiles(const CString& root, const CString& volume) {
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    const CString folders[] = {n > 0 && n < MAX_PATH ? CString(system) : CString(), CGlobalFunc::getModuleDirectory(),
                               CRegSetting::getDataPath(), g_logManager.folder()};
    for (const CString& folder : folders) {
        const CString other = rootOf(folder);
        if (other.IsEmpty()) continue;
        CString otherVolume;
        if (other.CompareNoCase(root) == 0 ||
            (driveQueries().getVolumeName(other, otherVolume) && otherVolume.CompareNoCase(volume) == 0)) {
            LOG_WRITE(L"[Format refused][%s holds %s]", root.GetString(), folder.GetString());
            return true;
        }
    }
    return false;
}

}  // namespace

CString formatVolumeName(const CString& path) {
    const CString root = rootOf(path);
    CString name;
    if (root.IsEmpty() || !driveQueries().getVolumeName(root, name)) return CString();
    return name;
}

FormatExLibrary& FormatExLibrary::getInstance() {
    static FormatExLibrary library;
    return library;
}

FormatExLibrary::~FormatExLibrary() {
    if (module) FreeLibrary(module);
    module = nullptr;
    formatEx = nullptr;
}

DWORD formatClusterSize(ULONGLONG current) {
    if (current == 0 || current > 65536) return 0;
    for (DWORD size : {4096u, 8192u, 16384u, 32768u}) {
        if (current <= size) return size;
    }
    return 65536;
}

CString formatFileSystem(const CString& deviceType) {
    for (const wchar_t* type : {L"10", L"13", L"14", L"15", L"16"}) {
        if (deviceType == type) return L"exFAT";
    }
    return L"FAT32";
}

CString formatCommandArguments(wchar_t letter, const CString& fileSystem, DWORD clusterSize) {
    CString unit;
    switch (clusterSize) {
    case 16384: unit = L"16K"; break;
    case 32768: unit = L"32K"; break;
    case 65536: unit = L"64K"; break;
    default: unit.Format(L"%u", static_cast<unsigned>(clusterSize)); break;
    }
    CString arguments;
    arguments.Format(L"%c: /Q /Y /X /FS:%s /A:%s", letter, fileSystem.GetString(), unit.GetString());
    return arguments;
}

DWORD setFormatCommandWait(DWORD milliseconds) {
    return g_commandWaitMs.exchange(milliseconds);
}

BOOL isFormattableDrive(const CString& path) {
    const CString drive = driveOf(path);
    if (drive.IsEmpty()) return FALSE;
    const CString root = drive + L"\\";
    if (driveQueries().getDriveType(root) == DRIVE_REMOVABLE) return TRUE;
    return isSmallUsbDrive(drive[0], root) ? TRUE : FALSE;
}

BOOLEAN WINAPI formatExCallback(int command, DWORD /*subAction*/, PVOID data) {
    switch (command) {
    case kCommandVolumeInUse:
        formatFailed = 1;
        break;
    case kCommandDone:
        FormatExLibrary::getInstance().result =
            (data && *static_cast<const BYTE*>(data) != 0 && formatFailed == 0) ? 1 : 0;
        break;
    case kCommandStructureProgress:
        formatFailed = 0;
        break;
    default:
        break;
    }
    return TRUE;
}

BOOL formatDrive(const CString& path, const CString& deviceType, const CString& volumeName) {
    if (path.IsEmpty() || !isFormattableDrive(path)) return FALSE;
    // Only the root goes to the formatter, whatever followed the letter.
    const CString root = rootOf(path);
    if (root.IsEmpty() || volumeName.IsEmpty()) return FALSE;
    // A flag left by an earlier run would fail this one before it starts.
    formatFailed = 0;
    // No file of the program may keep the volume busy. Closing by path is
    // safe only while no worker of the engine runs: a handle value closed
    // under a live worker is reused, and its writes would land elsewhere.
    worker_manager* workers = worker_manager::getInstance();
    bool workersIdle = true;
    for (int slot = 0; slot < worker_manager::SLOT_COUNT; ++slot) workersIdle = workersIdle && workers->isSlotFree(slot);
    if (workersIdle) {
        workers->closeOwnHandles(path);
    } else {
        LOG_WRITE(L"[formatDrive] engine workers still run: own handles left open [drive:%s]", path.GetString());
    }

    FormatExLibrary& library = FormatExLibrary::getInstance();
    if (!library.formatEx) {
        if (library.module) {
            FreeLibrary(library.module);
            library.module = nullptr;
        }
        library.module = loadSystemLibrary(L"fmifs.dll");
        if (!library.module) {
            LOG_WRITE(L"[LoadLibrary fail][%s][ErrCode:%d]", systemFilePath(L"fmifs.dll").GetString(),
                      static_cast<int>(GetLastError()));
            return FALSE;
        }
        library.formatEx = reinterpret_cast<PFORMATEX>(GetProcAddress(library.module, "FormatEx"));
        if (!library.formatEx) {
            LOG_WRITE(L"[FormatEx missing][%s]", systemFilePath(L"fmifs.dll").GetString());
            FreeLibrary(library.module);
            library.module = nullptr;
            return FALSE;
        }
    }

    IDriveQueries& probe = driveQueries();
    // Minutes pass between the user's choice and this call: the letter may
    // have gone to another medium meanwhile.
    CString volumeNow;
    if (!probe.getVolumeName(root, volumeNow) || volumeNow.CompareNoCase(volumeName) != 0) {
        LOG_WRITE(L"[Format refused][%s is no longer the chosen volume][%s][%s]", root.GetString(),
                  volumeName.GetString(), volumeNow.GetString());
        return FALSE;
    }
    if (holdsOwnOrSystemFiles(root, volumeNow)) return FALSE;

    CString label, fileSystemNow;
    DWORD flags = 0;
    probe.getVolumeInformation(root, label, flags, fileSystemNow);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0;
    probe.getClusterGeometry(root, sectorsPerCluster, bytesPerSector);
    if (sectorsPerCluster == 0 && bytesPerSector == 0) return FALSE;
    const DWORD clusterSize = formatClusterSize(static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector);

    CString target(root);
    library.result = 0;
    CString fileSystem = formatFileSystem(deviceType);
    wchar_t emptyLabel[1] = {L'\0'};

    if (probe.getDriveType(root) == DRIVE_REMOVABLE) {
        library.formatEx(target.GetBuffer(), kMediaRemovable, fileSystem.GetBuffer(), emptyLabel, TRUE, clusterSize,
                         formatExCallback);
    } else if (isSmallUsbDrive(root[0], root)) {
        library.formatEx(target.GetBuffer(), kMediaFixed, fileSystem.GetBuffer(), emptyLabel, TRUE, clusterSize,
                         formatExCallback);
    }

    BOOL result = library.result;
    if (!result && formatFailed) {
        // Another program holds files open on the volume: the command-line
        // formatter's forced dismount would lose them.
        LOG_WRITE(L"[Format failed][%s is in use]", root.GetString());
        return FALSE;
    }
    if (!result) {
        result = formatDriveByCommand(root, fileSystem, clusterSize);
        library.result = result;
    }
    return result;
}

BOOL formatDriveByCommand(const CString& path, const CString& fileSystem, DWORD clusterSize) {
    if (path.IsEmpty() || fileSystem.IsEmpty() || clusterSize < 512) return FALSE;
    const CString arguments = formatCommandArguments(path[0], fileSystem, clusterSize);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!startSystemProgram(L"format.com", arguments, CREATE_NO_WINDOW, TRUE, startup, process)) return FALSE;
    UniqueKernelHandle processHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (WaitForSingleObject(processHandle.get(), g_commandWaitMs.load()) == WAIT_TIMEOUT) {
        // The caller retries a second later: a formatter still at work on
        // the medium would meet the next one.
        LOG_WRITE(L"[Format command did not end][%s]", arguments.GetString());
        TerminateProcess(processHandle.get(), 1);
        WaitForSingleObject(processHandle.get(), 10000);
        return FALSE;
    }
    DWORD exitCode = 1;
    if (!GetExitCodeProcess(processHandle.get(), &exitCode)) return FALSE;
    if (exitCode != 0) LOG_WRITE(L"[Format command failed][%s][ExitCode:%d]", arguments.GetString(), static_cast<int>(exitCode));
    return exitCode == 0 ? TRUE : FALSE;
}
