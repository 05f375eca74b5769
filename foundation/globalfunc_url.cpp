// Opening web pages and folders for the user. Addresses come from the web
// service and from language texts, so they never reach a command
// interpreter: only http(s) addresses and existing folders are handed to the
// shell, everything else is refused.
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"

#include <shellapi.h>

#include <mutex>

namespace {

std::mutex g_launcherLock;
CGlobalFunc::UrlLauncher g_launcher;

void shellOpen(const CString& target) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = target.GetString();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        LOG_WRITE(L"[openUrl][ShellExecuteEx:%lu][%s]", GetLastError(), target.GetString());
    }
}

bool startsWithNoCase(const CString& text, const wchar_t* prefix) {
    int n = static_cast<int>(wcslen(prefix));
    return text.GetLength() >= n && text.Left(n).CompareNoCase(prefix) == 0;
}

// A browser's command line is built from its registered "%1"; a quote or a
// blank in the address would end that argument early. Valid addresses
// carry neither (they are percent-encoded).
bool isWebAddress(const CString& url) {
    int hostStart;
    if (startsWithNoCase(url, L"http://")) hostStart = 7;
    else if (startsWithNoCase(url, L"https://")) hostStart = 8;
    else return false;
    if (url.GetLength() <= hostStart || url[hostStart] == L'/') return false;
    for (int i = 0; i < url.GetLength(); ++i) {
        wchar_t c = url[i];
        if (c <= L' ' || c == 0x7F || c == L'"') return false;
    }
    return true;
}

// An absolute local folder (on a drive letter) that exists as a folder:
// opening it shows it in the file manager and runs nothing. A share path is
// refused unseen: merely asking for its attributes would sign in to that
// host with the user's credentials, and the text comes from outside.
bool isExistingFolder(const CString& path) {
    bool drive = path.GetLength() >= 3 && iswalpha(path[0]) && path[1] == L':' &&
                 (path[2] == L'\\' || path[2] == L'/');
    if (!drive) return false;
    if (path.Find(L'"') >= 0) return false;
    DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

CGlobalFunc::UrlLauncher CGlobalFunc::setUrlLauncher(UrlLauncher launcher) {
    std::lock_guard<std::mutex> lock(g_launcherLock);
    UrlLauncher previous = std::move(g_launcher);
    g_launcher = std::move(launcher);
    return previous;
}

void CGlobalFunc::openUrl(const CString& url) {
    if (url.IsEmpty()) return;
    if (!isWebAddress(url) && !isExistingFolder(url)) {
        LOG_WRITE(L"[openUrl][refused][%s]", url.GetString());
        return;
    }
    UrlLauncher launcher;
    {
        std::lock_guard<std::mutex> lock(g_launcherLock);
        launcher = g_launcher;
    }
    if (launcher) launcher(url);
    else shellOpen(url);
}
