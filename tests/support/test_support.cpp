#include "tests/support/test_support.h"

#include <atomic>

namespace {

CString exeBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name(path);
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

TestApp::TestApp() : CWinApp(exeBaseName().GetString()) {
    SetRegistryKey(L"KestruneTests");
    RegDeleteTreeW(HKEY_CURRENT_USER, registryPath().GetString());
}

TestApp::~TestApp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, registryPath().GetString());
}

CString TestApp::registryPath() {
    return L"Software\\KestruneTests\\" + exeBaseName();
}

TempDir::TempDir(const CString& parent) {
    static std::atomic<int> counter{0};
    CString base = parent;
    if (base.IsEmpty()) {
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        base = tmp;
    }
    if (base.Right(1) != L"\\") base += L"\\";
    for (;;) {
        m_path.Format(L"%skt_%lu_%d\\", base.GetString(), GetCurrentProcessId(), counter++);
        if (CreateDirectoryW(m_path.GetString(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() {
    removeTree(m_path);
}

void removeTree(const CString& folder) {
    CString root = folder;
    if (root.Right(1) != L"\\") root += L"\\";
    CFileFind find;
    BOOL more = find.FindFile(root + L"*");
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) continue;
        CString path = find.GetFilePath();
        SetFileAttributesW(path.GetString(), FILE_ATTRIBUTE_NORMAL);
        if (find.IsDirectory() && !find.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
            removeTree(path);
        } else if (find.IsDirectory()) {
            RemoveDirectoryW(path.GetString());
        } else {
            DeleteFileW(path.GetString());
        }
    }
    find.Close();
    RemoveDirectoryW(root.GetString());
}

bool writeBytes(const CString& path, const std::string& bytes) {
    CFile f;
    if (!f.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite)) return false;
    f.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    return true;
}

std::string readBytes(const CString& path) {
    CFile f;
    if (!f.Open(path.GetString(), CFile::modeRead | CFile::shareDenyNone)) return std::string();
    std::string out(static_cast<size_t>(f.GetLength()), '\0');
    if (!out.empty()) out.resize(f.Read(&out[0], static_cast<UINT>(out.size())));
    return out;
}

bool fileExists(const CString& path) {
    return GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
}

bool setFileTimeLocal(const CString& path, const CTime& when) {
    HANDLE h = CreateFileW(path.GetString(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ULARGE_INTEGER u;
    u.QuadPart = (static_cast<ULONGLONG>(when.GetTime()) + 11644473600ULL) * 10000000ULL;
    FILETIME ft{u.LowPart, u.HighPart};
    BOOL ok = SetFileTime(h, &ft, nullptr, &ft);
    CloseHandle(h);
    return ok != FALSE;
}

CString moduleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString p(path);
    return p.Left(p.ReverseFind(L'\\') + 1);
}
