#pragma once
// The hidden bulk-download page (view VIEW_STATE_HIDDEN): every device
// model of the signed-in account, grouped by head-unit platform, selected
// by group or one by one, downloaded and unpacked one after the other into
// the download folder. One short-lived worker per model prepares its
// download and starts the engine; the engine's messages move the run on.
#include "afx/afx.h"
#include "descriptors/inf_info.h"
#include "ui/base_child_dialog.h"
#include "ui/png_button.h"
#include "ui/progress_ctrl_ex.h"
#include "ui/static_ex.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class CDlgRoot;

class CDlgHidden : public CBaseChildDialog {
    DECLARE_DYNAMIC(CDlgHidden)

public:
    explicit CDlgHidden(CBaseDialog* root);
    ~CDlgHidden() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;

    // The free bytes a drive root offers the caller; a seam for tests.
    using FreeSpaceQuery = std::function<BOOL(const CString& root, ULONGLONG& available)>;
    static void setFreeSpaceQuery(FreeSpaceQuery query);

    // UM_CHECK_COMPLETE: the model's pre-check has ended.
    LRESULT OnCheckComplete(WPARAM wParam, LPARAM lParam);

    bool workerRunning() const { return m_pWorker != nullptr; }
    int modelCounter() const { return m_nModelCounter.load(); }
    int selectedCount() const { return static_cast<int>(m_mapSelection.size()); }

    InfInfoList* m_pInfList = nullptr;
    std::vector<InfInfo*> m_models;
    bool m_bGroup[17]{};
    std::map<InfInfo*, ULONGLONG> m_mapSize;
    std::map<int, InfInfo*> m_mapSelection;
    int m_nState = 3;
    int m_nCheckComplete = 0;
    double m_dPrevBytes = 0;

    CPngButton m_btnOk;
    CProgressCtrlEx m_progress;
    CStaticEx m_staticMsg1, m_staticDownloaded, m_staticRate, m_staticModel, m_staticPercent, m_staticTitle,
        m_staticSummary;
    CListBox m_listGroup, m_listModel;

    // The usable free space of the drive (its letter), less the reserve.
    static ULONGLONG getUsableFreeSpace(const CString& drive);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnTimer(UINT_PTR id);
    void OnBnClickedOk();
    void OnSelChangeModelList();
    void OnSelChangeGroupList();
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnTransferPhase(WPARAM wParam, LPARAM lParam);
    LRESULT OnIgnored(WPARAM wParam, LPARAM lParam);
    LRESULT OnModuleError(WPARAM wParam, LPARAM lParam);
    LRESULT OnUnZipComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnMessageResult(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    void refreshTexts();
    void applyFonts();
    void placeControls();
    void setRunMode(BOOL on);
    void drawBackground(HDC dc, int width, int height);
    void fillModelLists();
    void fillGroupList();
    void fillModelList();
    void selectGroupModels(int group);
    InfInfo* getSelectedModel(int n) const;
    void prepareModel(InfInfo* entry);
    BOOL checkDiskSpace();
    ULONGLONG sumSelectedSize(int count);
    void updateSummary(ULONGLONG units, int count);
    void startNextModel();
    void enableOk();
    static UINT DownloadThread(LPVOID param);

    // The model's worker; counts as running until its extraction ended.
    std::unique_ptr<CWinThread> m_pWorker;
    void forgetWorker();
    std::atomic<int> m_nModelCounter{0};
    bool m_bRunStarted = false;
};
