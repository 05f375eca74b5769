#include "tests/shell_process/program_driver.h"

#include "foundation/config_file.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "webclient/webpost.h"

#include <sstream>
#include <string>

namespace driver {

const wchar_t* const kAppKey = L"Software\\Corvessa\\Kestrune";

namespace {

CString keyOf(const wchar_t* section) {
    CString key = kAppKey;
    if (section && *section) key += CString(L"\\") + section;
    return key;
}

void setString(const wchar_t* section, const wchar_t* name, const CString& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, keyOf(section).GetString(), name, REG_SZ, value.GetString(),
                    static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
}

// A body fetched from the self-update server that config.json names.
bool fetchSelfUpdate(const CString& name, std::string& body) {
    CConfigFile* config = CConfigFile::getInstance();
    if (!config->loadFile(moduleFolder() + L"config.json")) return false;
    CString host = config->getValue(L"LIVEUPDATE_URL");
    const bool secure = host.Left(8).CompareNoCase(L"https://") == 0;
    host.Replace(L"https://", L"");
    host.Replace(L"http://", L"");
    if (host.IsEmpty()) return false;
    CWebPOST post;
    ResponseData* data = new ResponseData();
    const BOOL ok = post.Submit(host, config->getValue(L"UPDATEFILE_PATH") + name, data, secure ? 443 : 80, nullptr,
                                L"GET", secure);
    if (ok) body.assign(reinterpret_cast<const char*>(data->pData), data->count);
    post.FreeData(&data);
    return ok != FALSE;
}

// Every program start checks for a self-update: the program beside the
// driver is made current as an installation from this server would be (its
// list in Info\, every listed file present), so nothing is replaced.
void keepSelfUpdateCurrent() {
    std::string list;
    if (!fetchSelfUpdate(L"UpdateInfo.txt", list)) return;
    const CString folder = moduleFolder();
    CreateDirectoryW((folder + L"Info").GetString(), nullptr);
    std::string local;
    std::istringstream in(list);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find('|');
        if (first == std::string::npos) continue;
        const size_t second = line.find('|', first + 1);
        const std::string path = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
        local += line.substr(0, first) + "|" + path + "\r\n";
        CString file = folder + CString(path.c_str() + 1);
        file.Replace(L'/', L'\\');
        if (fileExists(file)) continue;
        std::string bytes;
        if (!fetchSelfUpdate(CString(path.c_str() + 1), bytes)) continue;
        CreateDirectoryW(file.Left(file.ReverseFind(L'\\')).GetString(), nullptr);
        writeBytes(file, bytes);
    }
    writeBytes(folder + L"Info\\UpdateInfo.txt", local);
}

}  // namespace

void resetSettings(const CString& region, const CString& language) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    CString install = moduleFolder();
    install.TrimRight(L'\\');
    setString(L"", L"InstallPath", install);
    setString(L"Settings", L"Region", region);
    setString(L"Settings", L"Language", language);
    setAppDword(L"", L"LiveUpdateRunning", 0);
    keepSelfUpdateCurrent();
}

void setAppDword(const wchar_t* section, const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, keyOf(section).GetString(), name, REG_DWORD, &value, sizeof(value));
}

DWORD appDword(const wchar_t* section, const wchar_t* name, DWORD fallback) {
    DWORD value = 0, size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, keyOf(section).GetString(), name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

CString appString(const wchar_t* section, const wchar_t* name) {
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, keyOf(section).GetString(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return CString();
    }
    return buffer;
}

Program::~Program() {
    kill();
}

bool Program::start() {
    CString exe = moduleFolder() + L"Kestrune.exe";
    CString folder = moduleFolder();
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    CString commandLine = L"\"" + exe + L"\"";
    std::vector<wchar_t> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    return CreateProcessW(exe.GetString(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.GetString(), &si,
                          &m_pi) != 0;
}

bool Program::running() const {
    return m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::waitExit(DWORD ms) const {
    if (!m_pi.hProcess) return true;
    return waitUntil([this] { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }, ms);
}

void Program::kill() {
    if (!m_pi.hProcess) return;
    if (running()) {
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, 10000);
    }
    CloseHandle(m_pi.hProcess);
    CloseHandle(m_pi.hThread);
    m_pi = PROCESS_INFORMATION{};
}

std::vector<HWND> Program::windows(bool visibleOnly) const {
    struct Walk {
        DWORD pid;
        bool visibleOnly;
        std::vector<HWND> found;
    } walk{m_pi.dwProcessId, visibleOnly, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* w = reinterpret_cast<Walk*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == w->pid && (!w->visibleOnly || IsWindowVisible(hwnd))) w->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

HWND Program::waitWindow(const std::function<bool(HWND)>& match, DWORD ms) const {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND hwnd : windows(false)) {
                if (match(hwnd)) {
                    found = hwnd;
                    return true;
                }
            }
            return !running();
        },
        ms);
    return found;
}

HWND Program::waitRoot(DWORD ms) const {
    return waitWindow(
        [](HWND hwnd) {
            RECT r{};
            GetWindowRect(hwnd, &r);
            return IsWindowVisible(hwnd) && r.right - r.left == 900 && r.bottom - r.top == 680;
        },
        ms);
}

bool waitUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        pumpMessages(50);
    }
    return true;
}

CString windowText(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

HWND findVisibleControl(HWND parent, int id) {
    struct Find {
        int id;
        HWND found;
    } find{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<Find*>(p);
            if (GetDlgCtrlID(hwnd) == f->id && IsWindowVisible(hwnd)) {
                f->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND visiblePageWith(HWND root, int id) {
    for (HWND page = GetWindow(root, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (!IsWindowVisible(page)) continue;
        // The control may be one the page draws over itself (hidden).
        if (GetDlgItem(page, id)) return page;
    }
    return nullptr;
}

void clickAt(int x, int y) {
    SetCursorPos(x, y);
    pumpMessages(50);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in[0], sizeof(INPUT));
    pumpMessages(60);
    SendInput(1, &in[1], sizeof(INPUT));
    pumpMessages(100);
}

void clickControl(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void altF4(HWND window) {
    // Without a window manager a click is what makes a window of another
    // process take the keyboard: a spot without a control, low in the window.
    RECT r{};
    GetWindowRect(window, &r);
    clickAt(r.left + 20, r.bottom - 60);
    SetForegroundWindow(window);
    pumpMessages(200);
    INPUT in[4] = {};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_MENU;
    in[1].ki.wVk = VK_F4;
    in[2].ki.wVk = VK_F4;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_MENU;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
    pumpMessages(200);
}

}  // namespace driver
