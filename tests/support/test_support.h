#pragma once
// Shared test helpers: an isolated application profile, temporary folders
// and small file helpers.
#include "afx/afx.h"

#include <string>

// The application object of a test executable. Its registry profile is
// HKCU\Software\KestruneTests\<executable name>, emptied at start and end.
class TestApp : public CWinApp {
public:
    TestApp();
    ~TestApp() override;

    static CString registryPath();  // "Software\KestruneTests\<name>"
};

// A fresh folder under %TEMP% (or under a given parent), removed with its
// contents when the object goes.
class TempDir {
public:
    explicit TempDir(const CString& parent = CString());
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const CString& path() const { return m_path; }             // ends in "\"
    CString operator/(const CString& name) const { return m_path + name; }

private:
    CString m_path;
};

void removeTree(const CString& folder);
bool writeBytes(const CString& path, const std::string& bytes);
std::string readBytes(const CString& path);
bool fileExists(const CString& path);
// Sets a file's last write time (and creation time) to a local time.
bool setFileTimeLocal(const CString& path, const CTime& when);
// Folder of the running test executable, ending in "\".
CString moduleFolder();
