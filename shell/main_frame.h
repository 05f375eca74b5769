#pragma once
// The hidden main window: owner of the engine's managers, the drive
// watcher, the root dialog, the connectivity and notice threads, and the hub
// that pages and engine reach through the application's main window.
#include "afx/afx.h"
#include "descriptors/inf_info.h"
#include "shell/frame_rules.h"
#include "shell/shell_frame.h"
#include "webclient/notice_parser.h"

#include <atomic>
#include <functional>
#include <list>
#include <map>
#include <mutex>

class CDlgRoot;
class CUSBDetector;
struct DriveInfo;
class function_manager;
class worker_manager;
class download_manager;
class unzip_manager;
class vercheck_manager;
class copy_manager;
class CDlgMsgBox;

class CMainFrame : public CFrameWndEx, public IShellFrame {
public:
    CMainFrame();
    ~CMainFrame() override;

    // ---- members the pages use (the frame's own names kept)
    std::atomic<int> m_bDealerLogin{0};
    CUSBDetector* m_pUSBDetector = nullptr;
    std::atomic<int> m_bExitProgram{0};
    // The download folder chosen in this run (settings page or message page).
    CString m_strDownloadFolder;
    InfInfoList* m_pInfInfoList = nullptr;
    std::atomic<CDlgRoot*> m_pDlgRoot{nullptr};
    DriveInfo* m_pSelectedDriveInfo = nullptr;
    CString m_strSelectedDrive;
    InfInfo* Cur_inf = nullptr;
    function_manager* m_pFunctionManager = nullptr;
    worker_manager* m_pWorkerManager = nullptr;
    download_manager* m_pDownloadManager = nullptr;
    unzip_manager* m_pUnzipManager = nullptr;
    vercheck_manager* m_pVercheckManager = nullptr;
    copy_manager* m_pCopyManager = nullptr;
    std::atomic<int> m_bDownloadReported{0};
    std::atomic<int> m_bCopyReported{0};
    std::atomic<int> m_bResumed{0};
    std::atomic<int> m_bStopped{0};
    std::atomic<int> m_bTransferRunning{0};
    std::atomic<int> m_nDownloadedFiles{0};
    std::list<InfInfoList*> m_lstRetiredInfInfoList;
    BYTE m_bLiveUpdateRetry = 1;
    std::atomic<int> m_bNetworkConnected{1};
    // A confirmed exit uploads the statistics once and closes once, however
    // many close requests (Alt+F4 on the root, nested in the close's
    // pumping) follow.
    std::atomic<bool> m_bStatisticsSent{false};
    std::atomic<bool> m_bClosing{false};
    // The sign-in worker hands a new vehicle list over while the scan
    // retires catalogues on the UI thread; a replaced list is retired, never
    // freed, so a reader holding it keeps a live list until the frame goes.
    std::mutex m_listMutex;
    CNoticeParser m_noticeParser;

    // ---- start-up chain
    BOOL isLiveUpdate();
    BOOL checkFonts();
    void registerFont();
    void initMain();
    void requestGUID() override;

    // ---- hub
    void broadcastChangeLanguage();
    static void deleteTempFolders();

    // ---- threads
    static UINT ThreadNetwork(LPVOID param);
    static UINT NoticeThread(LPVOID param);
    // Stops the connectivity thread and a running notice thread (bounded,
    // pumping); idempotent. False when one of them did not end in time.
    bool stopThreads();

    // ---- update runs
    void InitDownload(InfInfo* target, std::list<InfInfo*> descriptors);
    // "dealercode_<code>.txt" in folder (ending in "\") with the bare code; a
    // code that could leave the folder or name a device gives no file.
    static void writeDealerFile(const CString& folder, const CString& code);
    void stopManagers();
    BOOL Stop();
    BOOL Start(BOOL resume);
    void setManagerPaths();
    void setDownloadPaths() override;
    CString downloadFolder() override { return m_strDownloadFolder; }
    void setDownloadFolder(const CString& folder) override { m_strDownloadFolder = folder; }
    void startNoticeTimer(UINT milliseconds) override;
    InfInfo* findLastModeVehicle() override;
    BOOL hasOwnVerFile(const CString& folder) override;
    static BOOL folderHasOwnVerFile(const CString& folder);
    // FALSE when the folder was refused or a download in it stayed.
    BOOL deleteDownloadFiles();
    void setVehicleList(InfInfoList* list) override;
    void setDealerLogin(BOOL dealer) override { m_bDealerLogin = dealer ? 1 : 0; }
    void runNoticeDownload() override { NoticeThread(this); }

    // ---- what the root dialog asks of the frame
    void setExitFlag() override { m_bExitProgram = 1; }
    void setTransferRunning() override { m_bTransferRunning = 1; }
    InfInfo* currentEntry() override { return Cur_inf; }
    BOOL hasVehicleList() override { return m_pInfInfoList != nullptr; }
    void clearVehicleList() override { setVehicleList(nullptr); }
    InfInfoList* vehicleList() override { return m_pInfInfoList; }
    void setCurrentEntry(InfInfo* entry) override { Cur_inf = entry; }
    void initDownload(InfInfo* target, std::list<InfInfo*> descriptors) override {
        InitDownload(target, std::move(descriptors));
    }
    CUSBDetector* driveWatcher() override { return m_pUSBDetector; }
    void retireCatalogue(InfInfoList* list) override {
        std::lock_guard<std::mutex> lock(m_listMutex);
        m_lstRetiredInfInfoList.push_back(list);
    }

    // Drive space records of UM_FRAME_DRIVE: letter -> (total KiB, free KiB).
    std::map<wchar_t, std::pair<ULONGLONG, ULONGLONG>> m_mapDriveSpace;

    // ---- seams for what a test must not do for real
    struct LiveUpdateOutcome {
        INT_PTR result = IDOK;
        int checkResult = 0;
        int failCode = 0;
    };
    using LiveUpdateRunner = std::function<LiveUpdateOutcome(CMainFrame*)>;
    using BoxRunner = std::function<INT_PTR(CDlgMsgBox&)>;
    using Launcher = std::function<BOOL(const CString& path)>;
    // Each returns the previous one; an empty one restores the program's.
    static LiveUpdateRunner setLiveUpdateRunner(LiveUpdateRunner runner);
    static BoxRunner setBoxRunner(BoxRunner runner);
    static Launcher setLauncher(Launcher launcher);
    // The folder the font check looks in (empty: the Windows fonts folder).
    static void setFontsFolder(const CString& folder);

    static const wchar_t* const kClassName;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnSetFocus(CWnd* pOldWnd);
    void OnClose();
    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnRegisteredMessage_USBDetectorMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_SendStaticsMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_SendStaticsHiddenMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnStartUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnFrameDrive(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowHiddenPage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    friend class MainFrameTestAccess;

    INT_PTR runBox(CDlgMsgBox& box);
    // The self-update popup, run modally.
    LiveUpdateOutcome runLiveUpdatePopup();
    // What the connectivity thread needs of the root, asked on its thread.
    bool updatePageDownloading(CDlgRoot* root, HWND& page);
    void networkLoop();
    void startNoticeThread();
    void destroyRoot();
    // After a join that gave up: the root and its pages (held by an engine
    // thread) and the frame (its mutex and parser held by a notice thread)
    // are kept, never freed, until the process ends.
    void keepRootForRunningThreads();
    void PostNcDestroy() override;
    std::atomic<bool> m_bKeepAfterDestroy{false};
    // The message pages' answers reach the root and the frame through these.
    static void installPageServices();
    static void removePageServices();

    HANDLE m_hStopEvent = nullptr;
    HANDLE m_hNetworkThread = nullptr;
    std::mutex m_threadMutex;
    std::list<HANDLE> m_noticeThreads;
    // Serialises the notice download and parse (timer and login worker).
    std::mutex m_noticeMutex;
    frame_rules::NetworkWatch m_networkWatch;
};

// The program's main frame, or null (tests without one, or another main window).
CMainFrame* GetMainFrame();
