#pragma once
// The start-up self-update popup: checks the program files against the
// update server inside its set-up (ending there, never shown, when nothing
// is to be done or the check fails) and otherwise shows a title, a line and
// a bar while a worker thread fetches and swaps the files.
//
// The worker shares the engine with the popup and never touches the popup
// object: the engine reports by window messages to the popup's handle.
// Every end while the worker runs stops the engine, and DoModal returns
// only after the worker has ended (a bounded wait that keeps dispatching,
// since the worker sends its progress blocking); a worker still inside the
// engine after the wait keeps the engine alive by its shared owner.
#include "afx/afx.h"
#include "afx/handle.h"
#include "engine/update_manager.h"
#include "pages/account/live_update_rules.h"
#include "ui/base_popup_dialog.h"
#include "ui/progress_ctrl_ex.h"
#include "ui/static_ex.h"

#include <atomic>
#include <memory>

class CDlgLiveUpdate : public CBasePopupDialog {
    DECLARE_DYNAMIC(CDlgLiveUpdate)

public:
    CDlgLiveUpdate();
    ~CDlgLiveUpdate() override;

    INT_PTR DoModal() override;

    // The folder whose files are brought up to date; the installer's
    // "InstallPath" unless one is given before DoModal.
    void setInstallPath(const CString& path) { m_strInstallPath = path; m_bInstallPathGiven = true; }

    CStaticEx m_staticMessage;
    CProgressCtrlEx m_progress;
    int m_nCheckResult = -1;
    int m_nFailCode = LIVEUPDATE_FAIL_NETWORK;

    // Whether the worker (if one was started) has ended.
    bool workerEnded() const;
    CUpdateManager& engine() { return *m_pEngine; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    virtual void OnPaint();

    int checkLiveUpdate();
    void placeControls();

    LRESULT OnLiveUpdateComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnLiveUpdateProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnLiveUpdateError(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    struct Worker;
    static UINT __cdecl WorkerThread(LPVOID param);
    bool startWorker();
    // Cancel flag, the web client's stop flag and both handle slots, each
    // closed once whoever gets there first.
    void stopEngine();
    void waitForWorker();

    std::shared_ptr<CUpdateManager> m_pEngine;
    std::shared_ptr<Worker> m_pWorker;
    UniqueHandle<KernelHandleTraits> m_hWorkerThread;
    CString m_strInstallPath;
    bool m_bInstallPathGiven = false;
    bool m_bCompleting = false;
};
