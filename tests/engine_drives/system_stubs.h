#pragma once
// The system folder of these tests: the stand-in formatting library and
// the stub program under the names format.com and diskpart.exe, in a
// folder beside the test executable. Stubs report through environment
// variables (see helpers/).
#include "engine/system_folder.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>

inline CString stubSystemFolder() {
    static const CString folder = [] {
        const CString dir = moduleFolder() + L"systools\\";
        CreateDirectoryW(dir.GetString(), nullptr);
        const CString stub = moduleFolder() + L"stub_tool.exe";
        CopyFileW(stub.GetString(), (dir + L"format.com").GetString(), FALSE);
        CopyFileW(stub.GetString(), (dir + L"diskpart.exe").GetString(), FALSE);
        CopyFileW((moduleFolder() + L"fmifs.dll").GetString(), (dir + L"fmifs.dll").GetString(), FALSE);
        return dir;
    }();
    return folder;
}

// Points the system folder at the stubs and gives them a fresh log.
class StubTools {
public:
    explicit StubTools(const char* exitCode = "0") {
        m_previous = setSystemFolder(stubSystemFolder());
        SetEnvironmentVariableW(L"KESTRUNE_STUB_LOG", log().GetString());
        SetEnvironmentVariableW(L"KESTRUNE_FMIFS_LOG", fmifsLog().GetString());
        SetEnvironmentVariableW(L"KESTRUNE_FMIFS_SCRIPT", (m_dir / L"script.txt").GetString());
        setExit(exitCode);
        setScript("");
    }
    ~StubTools() {
        setSystemFolder(m_previous);
        for (const wchar_t* name : {L"KESTRUNE_STUB_LOG", L"KESTRUNE_STUB_EXIT", L"KESTRUNE_STUB_STDIN",
                                    L"KESTRUNE_FMIFS_LOG", L"KESTRUNE_FMIFS_SCRIPT"}) {
            SetEnvironmentVariableW(name, nullptr);
        }
    }
    StubTools(const StubTools&) = delete;
    StubTools& operator=(const StubTools&) = delete;

    void setExit(const char* exitCode) { SetEnvironmentVariableW(L"KESTRUNE_STUB_EXIT", CString(exitCode).GetString()); }
    void setScript(const std::string& script) { writeBytes(m_dir / L"script.txt", script); }
    CString log() const { return m_dir / L"stub.log"; }
    CString fmifsLog() const { return m_dir / L"fmifs.log"; }
    std::string stubRecord() const { return readBytes(log()); }
    std::string fmifsRecord() const { return readBytes(fmifsLog()); }
    void clearRecords() {
        DeleteFileW(log().GetString());
        DeleteFileW(fmifsLog().GetString());
    }

private:
    TempDir m_dir;
    CString m_previous;
};
