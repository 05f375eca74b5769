#pragma once
// The program's self-update: the server's list of program files
// ("UpdateInfo.txt" in the self-update folder) against the list written
// after the last self-update (install path\Info\UpdateInfo.txt); new and
// newer files are fetched into install path\tmp, checked by size and CRC-32
// and swapped into place by copy and rename, which also works for the
// running program file. The popup calls setServerInfo and
// checkUpdateNeeded on the UI thread and doLiveUpdate on its worker; it
// stops a run by setting cancelFlag and the web client's m_bCancel and
// closing the two handle slots with closeInternetHandleSlot.
#include "afx/string.h"
#include "webclient/inet_handle.h"
#include "webclient/webpost.h"

#include <atomic>
#include <vector>

// UM_LIVEUPDATE_ERROR's wParam when every file came but one of them could
// not take its place (held open by another program): no restart follows.
constexpr WPARAM kLiveUpdateNotReplaced = 0x5D;

// One program file of an update list.
struct UpdateInfo {
    LONGLONG version = 0;
    LONGLONG downloadReady = 0;  // 1 once the server reported a positive size
    LONGLONG listedSize = 0;     // server list only
    LONGLONG serverSize = 0;
    ULONGLONG crc = 0;           // server list only; the low 32 bits count
    CString folder;              // "/a/b", empty at the top
    CString fileName;
    int updateNeeded = 0;
    // The local list's version of the file when the file is present: the
    // current one, or the older one that stays when it is not replaced.
    LONGLONG localVersion = 0;

    // folder + "/" + fileName: how both lists name the file.
    CString key() const { return folder + L"/" + fileName; }
};

class CUpdateManager {
public:
    // Also removes what the maker's earlier product left behind.
    CUpdateManager();
    ~CUpdateManager();
    CUpdateManager(const CUpdateManager&) = delete;
    CUpdateManager& operator=(const CUpdateManager&) = delete;

    // Owner window of the messages, install path (the running program's own
    // folder, never the "InstallPath" value any user process may change);
    // the deployment's server.
    void setServerInfo(HWND owner, const CString& installPath);
    // 1 when a file must be fetched, 0 when nothing is to be done (also
    // for an install path that is empty or not absolute, and for a server
    // that is not https://), the server check's negative code otherwise.
    int checkUpdateNeeded();
    // 1 when every needed file was fetched, put in place and listed. Only
    // over https:// (certificate checked): the program runs what it fetches
    // as administrator, and size and CRC-32 come from the same list.
    int doLiveUpdate();

    // The steps of the two calls above.
    void deleteTempFolderFiles();
    void loadLocalInfoFile();
    int loadServerInfoFile();
    BOOL DownloadUpdateFile();
    // FALSE when a needed file stayed old (or its place is a folder).
    BOOL CopyUpdateFile();
    void SaveInfoFile();

    const std::vector<UpdateInfo>& getLocalList() const { return localList; }
    const std::vector<UpdateInfo>& getServerList() const { return serverList; }
    int getStatus() const { return status; }

    // Where a file of the list lives under the install path, and where its
    // download waits under install path\tmp (the same folders, so two files
    // of one name never share a download).
    CString placeOf(const UpdateInfo& info) const;
    CString downloadTargetOf(const UpdateInfo& info) const;
    CString serverUrlOf(const UpdateInfo& info) const;

    CWebPOST webPost;
    InternetHandleSlot internetHandle{nullptr};
    InternetHandleSlot requestHandle{nullptr};
    // "http://host" (port 80) or "https://host" (port 443), and the folder.
    CString serverUrl;
    CString serverFolder;
    std::atomic<int> cancelFlag{0};

private:
    bool hasUsableInstallPath() const;
    bool isSecure() const;
    int serverPort() const;
    CString serverHost() const;
    // Deletes a leftover folder unless it is, or holds, the install path or
    // the download folder.
    void deleteOldFolder(const CString& folder) const;
    void cleanEarlierProduct();
    void addErrorRecord(int stage, const CString& detail) const;

    std::vector<CString> programFiles;
    std::vector<UpdateInfo> localList;
    std::vector<UpdateInfo> serverList;
    CString installPath;
    HWND m_hOwner = nullptr;
    int status = 1;
};

// "/" made "\" and doubled separators collapsed.
CString normalizeUpdatePath(const CString& path);
