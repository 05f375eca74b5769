// Clearing a disk's read-only attribute with the system's partition tool.
#include "afx/handle.h"
#include "engine/drive_probe.h"
#include "engine/format_drive.h"
#include "engine/system_folder.h"
#include "engine/usb_detector.h"
#include "foundation/logmanager.h"

#include <atomic>

namespace {

std::atomic<DWORD> g_toolWaitMs{60000};

// Not flushed: flushing a pipe waits until the tool has read everything,
// which a tool that hangs never does. A written line is in the pipe already.
bool writeLine(HANDLE pipe, const CStringA& line) {
    const CStringA text = line + "\n";
    DWORD written = 0;
    if (!WriteFile(pipe, text.GetString(), static_cast<DWORD>(text.GetLength()), &written, nullptr)) return false;
    return written == static_cast<DWORD>(text.GetLength());
}

// Reads what the tool wrote so far, so a talkative tool never blocks on a
// full pipe while we wait for it.
void drain(HANDLE pipe) {
    char buffer[4096];
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, sizeof(buffer) < available ? sizeof(buffer) : available, &got, nullptr) ||
            got == 0) {
            return;
        }
    }
}

}  // namespace

DWORD CUSBDetector::setPartitionToolWait(DWORD milliseconds) {
    return g_toolWaitMs.exchange(milliseconds);
}

BOOL CUSBDetector::clearReadOnly(const DriveInfo& info) {
    const CString letter = info.getDriveLetter();
    return letter.IsEmpty() ? FALSE : clearReadOnly(letter[0]);
}

BOOL CUSBDetector::clearReadOnly(wchar_t letter) {
    // The partition tool acts on the whole disk: only a disk the formatter
    // would take, never the system's or another fixed one.
    CString root;
    root.Format(L"%c:\\", letter);
    if (!isFormattableDrive(root)) {
        LOG_WRITE(L"[Read-only not cleared][Drive:%c is neither removable nor a small USB drive]", letter);
        return FALSE;
    }
    IDriveQueries& probe = driveQueries();
    // The disk is known before the tool starts: without it there is
    // nothing the tool could be told.
    DWORD disk = 0;
    if (!probe.getDiskNumber(letter, disk)) {
        LOG_WRITE(L"[Disk number unknown][Drive:%c]", letter);
        return FALSE;
    }

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueKernelHandle outRead, outWrite, inRead, inWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !CreatePipe(inRead.put(), inWrite.put(), &inherit, 0)) {
        LOG_WRITE(L"[CreatePipe fail][ErrCode:%d]", static_cast<int>(GetLastError()));
        return FALSE;
    }
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(inWrite.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead.get();
    startup.hStdOutput = outWrite.get();
    startup.hStdError = outWrite.get();
    PROCESS_INFORMATION process{};
    if (!startSystemProgram(L"diskpart.exe", CString(), CREATE_NO_WINDOW, TRUE, startup, process)) return FALSE;
    UniqueKernelHandle processHandle(process.hProcess);
    CloseHandle(process.hThread);
    // Only the tool holds these ends now; its input ends when ours closes.
    inRead.reset();
    outWrite.reset();

    CStringA select;
    select.Format("SELECT DISK %d", static_cast<int>(disk));
    const bool written = writeLine(inWrite.get(), select) && writeLine(inWrite.get(), "ATTRIBUTES DISK CLEAR READONLY") &&
                         writeLine(inWrite.get(), "EXIT");
    inWrite.reset();

    // Whether the disk is writable only means something once the tool has
    // acted, so it is waited for (bounded).
    const DWORD limit = g_toolWaitMs.load();
    const DWORD start = GetTickCount();
    DWORD wait = WAIT_TIMEOUT;
    for (;;) {
        drain(outRead.get());
        wait = WaitForSingleObject(processHandle.get(), 50);
        if (wait != WAIT_TIMEOUT || GetTickCount() - start >= limit) break;
    }
    if (wait == WAIT_TIMEOUT) {
        LOG_WRITE(L"[Partition tool did not end][%s]", systemFilePath(L"diskpart.exe").GetString());
        TerminateProcess(processHandle.get(), 1);
        WaitForSingleObject(processHandle.get(), 5000);
        return FALSE;
    }
    if (!written) {
        LOG_WRITE(L"[Partition tool input not written][%s]", systemFilePath(L"diskpart.exe").GetString());
        return FALSE;
    }
    return probe.isDiskWritable(letter);
}
