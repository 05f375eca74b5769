#include "afx/app.h"

#include "afx/handle.h"

namespace {

CWinApp* g_app = nullptr;

CString moduleBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name(path);
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWinApp* AfxGetApp() {
    return g_app;
}

CWinApp::CWinApp(LPCWSTR appName) {
    m_appName = appName ? CString(appName) : moduleBaseName();
    m_pszAppName = m_appName.GetString();
    m_pPrevApp = g_app;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = m_pPrevApp;
}

void CWinApp::SetRegistryKey(LPCWSTR registryKey) {
    m_registryKey = registryKey ? registryKey : L"";
    m_pszRegistryKey = m_registryKey.GetString();
    m_pszProfileName = m_pszAppName;
}

HKEY CWinApp::GetAppRegistryKey() {
    if (!m_pszRegistryKey || !*m_pszRegistryKey || !m_pszProfileName) return nullptr;
    UniqueRegKey software, company;
    HKEY app = nullptr;
    DWORD disp;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_WRITE | KEY_READ, software.put()) == ERROR_SUCCESS &&
        RegCreateKeyExW(software.get(), m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, company.put(), &disp) == ERROR_SUCCESS) {
        RegCreateKeyExW(company.get(), m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, &app, &disp);
    }
    return app;
}

HKEY CWinApp::GetSectionKey(LPCWSTR section) {
    UniqueRegKey app(GetAppRegistryKey());
    if (!app) return nullptr;
    HKEY key = nullptr;
    DWORD disp;
    RegCreateKeyExW(app.get(), section ? section : L"", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                    nullptr, &key, &disp);
    return key;
}

UINT CWinApp::GetProfileInt(LPCWSTR section, LPCWSTR entry, int defaultValue) {
    UniqueRegKey key(GetSectionKey(section));
    if (!key) return static_cast<UINT>(defaultValue);
    DWORD type = 0, value = 0, size = sizeof(value);
    if (RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value)) {
        return value;
    }
    return static_cast<UINT>(defaultValue);
}

CString CWinApp::GetProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR defaultValue) {
    CString fallback = defaultValue ? defaultValue : L"";
    UniqueRegKey key(GetSectionKey(section));
    if (!key) return fallback;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return fallback;
    }
    CString value;
    DWORD chars = size / sizeof(wchar_t);
    wchar_t* buf = value.GetBufferSetLength(static_cast<int>(chars) + 1);
    if (RegQueryValueExW(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS) {
        return fallback;
    }
    buf[size / sizeof(wchar_t)] = L'\0';
    value.ReleaseBuffer();
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value) {
    UniqueRegKey key(GetSectionKey(section));
    if (!key) return FALSE;
    DWORD v = static_cast<DWORD>(value);
    return RegSetValueExW(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v)) ==
           ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCWSTR section, LPCWSTR entry, LPCWSTR value) {
    if (!entry) {
        UniqueRegKey app(GetAppRegistryKey());
        if (!app) return FALSE;
        return RegDeleteKeyW(app.get(), section) == ERROR_SUCCESS;
    }
    UniqueRegKey key(GetSectionKey(section));
    if (!key) return FALSE;
    if (!value) return RegDeleteValueW(key.get(), entry) == ERROR_SUCCESS;
    DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) ==
           ERROR_SUCCESS;
}
