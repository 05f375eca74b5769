#include "pages/account/dlg_hidden.h"

#include "engine/copy_manager.h"
#include "engine/download_manager.h"
#include "engine/drive_probe.h"
#include "engine/function_manager.h"
#include "engine/score_board.h"
#include "engine/unzip_manager.h"
#include "engine/vercheck_manager.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/hidden_rules.h"
#include "pages/account/web_guide_rules.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "ui/base_helpers.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

#include <algorithm>
#include <memory>

namespace {

constexpr COLORREF kBody = RGB(255, 255, 255);
constexpr COLORREF kHeading = RGB(94, 108, 125);
constexpr COLORREF kTrack = RGB(239, 240, 242);
constexpr UINT_PTR kProgressTimer = 1;
constexpr int kRoundsMessage = 999;

CDlgHidden::FreeSpaceQuery& freeSpaceQuery() {
    static CDlgHidden::FreeSpaceQuery query;
    return query;
}

BOOL queryFreeSpace(const CString& root, ULONGLONG& available) {
    if (freeSpaceQuery()) return freeSpaceQuery()(root, available);
    // The bytes free to this user, as every other drive question: through
    // the one drive probe.
    ULONGLONG total = 0;
    return driveQueries().getCallerSpace(root, total, available);
}

CString text(int id) { return CLangLibrary::loadLangString(id); }

}  // namespace

IMPLEMENT_DYNAMIC(CDlgHidden, CDialog)

BEGIN_MESSAGE_MAP(CDlgHidden, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDOK, &CDlgHidden::OnBnClickedOk)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgHidden::OnChangeLanguage)
    ON_MESSAGE(UM_TRANSFER_PHASE, &CDlgHidden::OnTransferPhase)
    ON_MESSAGE(UM_CHECK_ITEM_DONE, &CDlgHidden::OnIgnored)
    ON_MESSAGE(UM_CHECK_COMPLETE, &CDlgHidden::OnCheckComplete)
    ON_MESSAGE(UM_UNZIP_COMPLETE, &CDlgHidden::OnUnZipComplete)
    ON_MESSAGE(UM_MODULE_ERROR, &CDlgHidden::OnModuleError)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgHidden::OnMessageResult)
    ON_LBN_SELCHANGE(IDC_LIST_MODEL, &CDlgHidden::OnSelChangeModelList)
    ON_LBN_SELCHANGE(IDC_LIST_GROUP, &CDlgHidden::OnSelChangeGroupList)
END_MESSAGE_MAP()

CDlgHidden::CDlgHidden(CBaseDialog* root) : CBaseChildDialog(IDD_HIDDEN, root) {
    m_ePageViewStatus = VIEW_STATE_NONE;
}

CDlgHidden::~CDlgHidden() {
    // The worker sends to this window: keep messages flowing until it ends.
    if (m_pWorker) {
        while (WaitForSingleObject(m_pWorker->m_hThread, 0) == WAIT_TIMEOUT) waitPumpingMessages(10);
        m_pWorker.reset();
    }
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(hidden_rules::kDialogId);
}

void CDlgHidden::setFreeSpaceQuery(FreeSpaceQuery query) { freeSpaceQuery() = std::move(query); }

CDlgRoot* CDlgHidden::root() const { return CDlgRoot::of(getRootDlg()); }

void CDlgHidden::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDC_PROGRESS_UPDATE, m_progress);
    DDX_Control(dx, IDC_STATIC_MSG1, m_staticMsg1);
    DDX_Control(dx, IDC_STATIC_DOWNLOADED, m_staticDownloaded);
    DDX_Control(dx, IDC_STATIC_TRANSFER_RATE, m_staticRate);
    DDX_Control(dx, IDC_STATIC_MODEL, m_staticModel);
    DDX_Control(dx, IDC_STATIC_PERCENT, m_staticPercent);
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDC_STATIC_TEXT1, m_staticSummary);
    DDX_Control(dx, IDC_LIST_GROUP, m_listGroup);
    DDX_Control(dx, IDC_LIST_MODEL, m_listModel);
}

BOOL CDlgHidden::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    MoveWindow(0, 60, 900, 590, TRUE);
    if (m_staticSummary.GetSafeHwnd()) m_staticSummary.m_nStyle = 0x4 | 0x10;
    if (m_progress.GetSafeHwnd()) {
        m_progress.m_bgColor = kTrack;
        m_progress.m_nUpper = 100;
        m_progress.m_nLower = 0;
        m_progress.SetRange32(0, 100);
        m_progress.setPos(0);
        m_progress.Invalidate();
    }
    m_nCheckComplete = 0;
    refreshTexts();
    applyFonts();
    placeControls();
    return TRUE;
}

void CDlgHidden::refreshTexts() {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setText(text(m_bRunStarted ? 12649 : 12579), 16, 400);
    if (m_staticMsg1.GetSafeHwnd()) m_staticMsg1.SetWindowText(text(12578));
    if (m_staticPercent.GetSafeHwnd()) m_staticPercent.SetWindowText(L"0/0");
    if (m_staticDownloaded.GetSafeHwnd()) m_staticDownloaded.SetWindowText(text(12583) + L": " + text(12274));
    if (m_staticRate.GetSafeHwnd()) m_staticRate.SetWindowText(text(12584) + L": " + text(12274));
    if (m_staticModel.GetSafeHwnd()) m_staticModel.SetWindowText(text(12585) + L": ");
    if (m_staticSummary.GetSafeHwnd()) m_staticSummary.SetWindowText(L"");
    if (m_staticTitle.GetSafeHwnd()) {
        if (CDlgRoot* r = root()) r->m_lang.setText(hidden_rules::kDialogId, &m_staticTitle, 12274);
        else m_staticTitle.SetWindowText(text(12274));
    }
}

void CDlgHidden::applyFonts() {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.SetFont(CFontCache::getFont(22), FALSE);
    const struct {
        CStaticEx* control;
        int size;
    } sizes[] = {{&m_staticMsg1, 16}, {&m_staticPercent, 16}, {&m_staticSummary, 16}, {&m_staticDownloaded, 14},
                 {&m_staticRate, 14}, {&m_staticModel, 14},   {&m_staticTitle, 15}};
    for (const auto& s : sizes) {
        if (!s.control->GetSafeHwnd()) continue;
        s.control->setFontStyle(s.size, FALSE);
        s.control->SetFont(CFontCache::getFont(s.size), FALSE);
    }
    for (CListBox* list : {&m_listGroup, &m_listModel})
        if (list->GetSafeHwnd()) list->SetFont(CFontCache::getFont(16), TRUE);
}

void CDlgHidden::placeControls() {
    const struct {
        CWnd* control;
        int x, y, w, h;
    } places[] = {{&m_btnOk, 650, 490, 200, 50},         {&m_listGroup, 48, 63, 800, 100},
                  {&m_listModel, 48, 208, 800, 148},     {&m_progress, 40, 502, 502, 14},
                  {&m_staticMsg1, 48, 415, 500, 30},     {&m_staticTitle, 40, 460, 180, 30},
                  {&m_staticModel, 260, 460, 600, 30},   {&m_staticDownloaded, 40, 530, 210, 30},
                  {&m_staticRate, 260, 530, 280, 30},    {&m_staticPercent, 555, 498, 95, 32},
                  {&m_staticSummary, 48, 363, 800, 30}};
    for (const auto& p : places)
        if (p.control->GetSafeHwnd()) CDLang::moveWnd(this, p.control, p.x, p.y, p.w, p.h, 2);
    // A run goes on through a language change: its look stays.
    setRunMode(m_bRunStarted ? TRUE : FALSE);
}

void CDlgHidden::setRunMode(BOOL on) {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setText(text(on ? 12649 : 12579), 16, 400);
    for (CListBox* list : {&m_listGroup, &m_listModel})
        if (list->GetSafeHwnd()) list->EnableWindow(on ? FALSE : TRUE);
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticTitle, &m_staticModel, &m_progress, &m_staticPercent,
                                                &m_staticDownloaded, &m_staticRate}) {
        if (w->GetSafeHwnd()) w->ShowWindow(on ? SW_SHOW : SW_HIDE);
    }
}

BOOL CDlgHidden::showPage(BOOL show) {
    m_bShown = show ? TRUE : FALSE;
    if (!GetSafeHwnd()) return TRUE;
    if (show) {
        ShowWindow(SW_SHOW);
    } else {
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

BOOL CDlgHidden::initPage() {
    const int brand = CRegSetting::getLastUserCorp();
    const int region = CRegSetting::getRegion();
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setImage(web_guide::okImageId(brand, region));
    if (m_progress.GetSafeHwnd()) {
        m_progress.m_barColor = hidden_rules::barColour(brand, region);
        m_progress.Invalidate();
    }
    CDlgRoot* r = root();
    IShellFrame* frame = r ? r->m_pMainFrame : nullptr;
    InfInfoList* list = frame ? frame->vehicleList() : nullptr;
    if (!list) return TRUE;
    // A run keeps its list and its selection.
    if (m_bRunStarted) return TRUE;
    m_pInfList = list;
    function_manager::getInstance()->m_observers.add(m_hWnd);
    vercheck_manager::getInstance().m_observers.add(m_hWnd);
    download_manager::getInstance()->m_observers.add(m_hWnd);
    unzip_manager::getInstance()->m_observers.add(m_hWnd);
    copy_manager::getInstance()->m_observers.add(m_hWnd);
    fillModelLists();
    return TRUE;
}

void CDlgHidden::fillModelLists() {
    m_mapSelection.clear();
    m_mapSize.clear();
    m_models.clear();
    std::fill(std::begin(m_bGroup), std::end(m_bGroup), false);
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    if (m_pInfList) {
        for (InfInfo* e : m_pInfList->m_list) {
            if (!e || e->getModelFlag() != 0) continue;
            std::unique_ptr<InfInfoList> same(m_pInfList->filterByModelCode(e->getModelCode()));
            ULONGLONG total = 0;
            if (same) {
                CDlgRoot::mergeInfTails(same.get());
                for (InfInfo* part : same->m_list) {
                    InfFileTailMap* tails = part ? part->getInfFileTails() : nullptr;
                    if (!tails) continue;
                    tails->forEach([&total](int, InfFileTail* tail) {
                        const LONGLONG size = tail ? tail->getFileSize() : 0;
                        if (size > 0) total += static_cast<ULONGLONG>(size);
                        return true;
                    });
                }
            }
            m_mapSize[e] = total;
            int loaded = 0;
            for (int attempt = 0; attempt < 4; ++attempt) loaded += e->loadInfFile() ? 1 : 0;
            if (loaded == 0 || !e->getInfFileHead()) continue;
            const int group = hidden_rules::groupOf(e->getDeviceType());
            if (group >= 0) m_bGroup[group] = true;
            m_models.push_back(e);
        }
    }
    const int language = CRegSetting::getLanguage();
    std::stable_sort(m_models.begin(), m_models.end(), [language](InfInfo* a, InfInfo* b) {
        return hidden_rules::modelBefore({a->getDeviceType(), a->getSortNumber(), a->getDeviceName(),
                                          a->getDeviceNameIntl()},
                                         {b->getDeviceType(), b->getSortNumber(), b->getDeviceName(),
                                          b->getDeviceNameIntl()},
                                         language);
    });
    ::SetCursor(previous);
    fillGroupList();
    fillModelList();
    if (m_listGroup.GetSafeHwnd() && m_listGroup.GetCount() > 0) m_listGroup.SetSel(-1, TRUE);
    if (m_listModel.GetSafeHwnd() && m_listModel.GetCount() > 0) m_listModel.SetSel(-1, TRUE);
    updateSummary(hidden_rules::unitsOf(sumSelectedSize(-1)), m_listModel.GetSafeHwnd() ? m_listModel.GetSelCount() : 0);
}

void CDlgHidden::fillGroupList() {
    if (!m_listGroup.GetSafeHwnd()) return;
    m_listGroup.ResetContent();
    for (int g : hidden_rules::groupRows(m_bGroup)) m_listGroup.AddString(text(hidden_rules::groupTextId(g)));
}

void CDlgHidden::fillModelList() {
    if (!m_listModel.GetSafeHwnd()) return;
    m_listModel.ResetContent();
    for (InfInfo* e : m_models) {
        const CString intl = e->getDeviceNameIntl();
        m_listModel.AddString(getLangCode(intl) == L"KO" ? e->getDeviceName() : intl);
    }
}

void CDlgHidden::selectGroupModels(int group) {
    for (size_t i = 0; i < m_models.size(); ++i) {
        if (hidden_rules::groupMatches(group, m_models[i]->getDeviceType()))
            m_listModel.SetSel(static_cast<int>(i), TRUE);
    }
}

void CDlgHidden::OnSelChangeGroupList() {
    m_listModel.SetSel(-1, FALSE);
    const std::vector<int> rows = hidden_rules::groupRows(m_bGroup);
    for (int r = 0; r < m_listGroup.GetCount(); ++r) {
        if (m_listGroup.GetSel(r) <= 0) continue;
        selectGroupModels(r < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(r)] : -1);
    }
    updateSummary(hidden_rules::unitsOf(sumSelectedSize(-1)), m_listModel.GetSelCount());
}

void CDlgHidden::OnSelChangeModelList() {
    m_listGroup.SetSel(-1, FALSE);
    updateSummary(hidden_rules::unitsOf(sumSelectedSize(-1)), m_listModel.GetSelCount());
}

ULONGLONG CDlgHidden::sumSelectedSize(int count) {
    std::vector<ULONGLONG> sizes;
    if (m_listModel.GetSafeHwnd()) {
        for (size_t i = 0; i < m_models.size(); ++i) {
            if (m_listModel.GetSel(static_cast<int>(i)) > 0) sizes.push_back(m_mapSize[m_models[i]]);
        }
    }
    CString counter;
    counter.Format(L"%d/%d", count, static_cast<int>(sizes.size()));
    if (m_staticPercent.GetSafeHwnd()) m_staticPercent.SetWindowText(counter);
    return hidden_rules::neededBytes(sizes, count);
}

void CDlgHidden::updateSummary(ULONGLONG units, int count) {
    CString summary;
    summary.Format((text(12652) + L": %lluGB / " + text(12653) + L": %d").GetString(), units, count);
    if (m_staticSummary.GetSafeHwnd()) {
        m_staticSummary.SetWindowText(summary);
        m_staticSummary.Invalidate(FALSE);
    }
}

InfInfo* CDlgHidden::getSelectedModel(int n) const {
    auto found = m_mapSelection.find(n);
    return found == m_mapSelection.end() ? nullptr : found->second;
}

void CDlgHidden::OnBnClickedOk() {
    if (m_nState != hidden_rules::kStateSelect) {
        if (CDlgRoot* r = root()) r->PostMessage(WM_COMMAND, IDC_BUTTON_EXIT, 0);
        return;
    }
    // A run checks each model in the select state: nothing restarts it.
    if (m_bRunStarted) return;
    if (!m_listModel.GetSafeHwnd() || m_listModel.GetSelCount() <= 0) return;
    m_mapSelection.clear();
    int k = 0;
    for (size_t i = 0; i < m_models.size(); ++i)
        if (m_listModel.GetSel(static_cast<int>(i)) > 0) m_mapSelection[++k] = m_models[i];
    if (!checkDiskSpace() || m_pWorker) return;
    m_bRunStarted = true;
    setRunMode(TRUE);
    m_nCheckComplete = 0;
    startNextModel();
    SetTimer(kProgressTimer, 1000, nullptr);
}

ULONGLONG CDlgHidden::getUsableFreeSpace(const CString& drive) {
    const CString rootPath = drive + L":\\";
    ULONGLONG available = 0;
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (attempt > 0) waitPumpingMessages(50);
        if (queryFreeSpace(rootPath, available)) return hidden_rules::usableFree(available);
    }
    return 0;
}

BOOL CDlgHidden::checkDiskSpace() {
    if (m_mapSelection.empty()) return FALSE;
    const CString drive = hidden_rules::driveOf(CRegSetting::getDataPath());
    const ULONGLONG free = getUsableFreeSpace(drive);
    const ULONGLONG need = sumSelectedSize(m_nModelCounter.load() - 1);
    if (need <= free) return TRUE;
    CDlgRoot* r = root();
    CDlgPageMessage* page = r ? r->getMessagePage(kRoundsMessage) : nullptr;
    if (!page) return FALSE;
    CString message;
    message.Format(L"하드디스크 용량이 부족합니다.\n추가로 %s GB 이상 용량을 확보해주세요.",
                   hidden_rules::shortfallText(free, need).GetString());
    page->setMessageType(SERVER_ETC_HIDDEN_DISK_SPACE, this);
    page->setParam(message, 0);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    return FALSE;
}

void CDlgHidden::startNextModel() {
    if (!checkDiskSpace()) return;
    function_manager::getInstance()->postCommand(FM_CMD_PAUSE, 0, nullptr);
    waitPumpingMessages(500);
    if (m_pWorker) return;
    CWinThread* worker = AfxBeginThread(DownloadThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!worker) {
        LOG_WRITE(L"[ERR] hidden download worker not started");
        return;
    }
    worker->m_bAutoDelete = FALSE;
    m_pWorker.reset(worker);
    worker->ResumeThread();
}

UINT CDlgHidden::DownloadThread(LPVOID param) {
    auto* page = static_cast<CDlgHidden*>(param);
    download_manager::getInstance()->setFailInfo(nullptr, 0, 0, 0);
    function_manager::getInstance()->postCommand(FM_CMD_IDLE, 0, nullptr);
    const int n = ++page->m_nModelCounter;
    InfInfo* entry = page->getSelectedModel(n);
    if (!entry) return 0;
    page->prepareModel(entry);
    CDlgRoot* r = page->root();
    if (r) r->m_bTransferIdle = 0;
    vercheck_manager::getInstance().m_observers.send_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
    vercheck_manager::getInstance().m_observers.send_message_all(UM_TRANSFER_PHASE, TRANSFER_PHASE_UNZIP, 0);
    if (r && r->m_pMainFrame) {
        download_manager::getInstance()->start();
        unzip_manager::getInstance()->start();
        function_manager::getInstance()->postCommand(FM_CMD_DOWNLOAD_DONE, 0, nullptr);
    }
    return 1;
}

void CDlgHidden::prepareModel(InfInfo* entry) {
    CDlgRoot* r = root();
    IShellFrame* frame = r ? r->m_pMainFrame : nullptr;
    if (frame) frame->setCurrentEntry(entry);
    std::list<InfInfo*> descriptors;
    std::unique_ptr<InfInfoList> same(m_pInfList ? m_pInfList->filterByModelCode(entry->getModelCode()) : nullptr);
    if (same) {
        CDlgRoot::mergeInfTails(same.get());
        descriptors = same->m_list;
    }
    if (frame) frame->initDownload(entry, descriptors);
    CString line;
    line.Format(L"모델 : %s", entry->getDeviceName().GetString());
    if (m_staticModel.GetSafeHwnd()) m_staticModel.SetWindowText(line);
}

LRESULT CDlgHidden::OnTransferPhase(WPARAM wParam, LPARAM) {
    if (wParam == TRANSFER_PHASE_CHECK) m_nState = hidden_rules::kStateSelect;
    else if (wParam == TRANSFER_PHASE_DOWNLOAD) m_nState = hidden_rules::kStateDownload;
    return 0;
}

LRESULT CDlgHidden::OnIgnored(WPARAM, LPARAM) { return 0; }

LRESULT CDlgHidden::OnModuleError(WPARAM wParam, LPARAM lParam) {
    LOG_WRITE(L"CDlgHidden: engine error %d (%d) at model %d", static_cast<int>(wParam), static_cast<int>(lParam),
              m_nModelCounter.load());
    return 0;
}

LRESULT CDlgHidden::OnCheckComplete(WPARAM, LPARAM) {
    function_manager::getInstance()->postCommand(FM_CMD_RESTART, 0, this);
    m_nCheckComplete = 1;
    return 0;
}

void CDlgHidden::forgetWorker() {
    if (!m_pWorker) return;
    while (WaitForSingleObject(m_pWorker->m_hThread, 0) == WAIT_TIMEOUT) waitPumpingMessages(10);
    m_pWorker.reset();
}

LRESULT CDlgHidden::OnUnZipComplete(WPARAM, LPARAM lParam) {
    LOG_WRITE(L"[UnZip Complete : %d]", m_nCheckComplete);
    if (!m_nCheckComplete) return 0;
    // Only the report of an ended extraction (lParam 1) moves the run on and
    // takes the flag: the extraction side's own report, which says 0 when
    // no extraction is busy at that moment, can come first.
    if (lParam != 1) return 0;
    m_nCheckComplete = 0;
    forgetWorker();
    if (m_nModelCounter.load() == static_cast<int>(m_mapSelection.size())) {
        CDlgRoot* r = root();
        CDlgPageMessage* page = r ? r->getMessagePage(kRoundsMessage) : nullptr;
        if (page) {
            page->setMessageType(SERVER_ETC_HIDDEN_UNZIP_DONE, this);
            r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        }
    } else {
        startNextModel();
    }
    return 0;
}

void CDlgHidden::enableOk() {
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setEnable(TRUE);
}

LRESULT CDlgHidden::OnMessageResult(WPARAM wParam, LPARAM lParam) {
    const int result = static_cast<int>(wParam);
    const int type = static_cast<int>(lParam);
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString(),
              result);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (type == SERVER_ETC_HIDDEN_DISK_SPACE) enableOk();
    if (type == SERVER_ETC_HIDDEN_UNZIP_DONE) {
        CDlgRoot* r = root();
        if (r && r->m_pMainFrame) r->m_pMainFrame->setExitFlag();
        base_helpers::postToMainWindow(RWM_SEND_STATICS);
    }
    return 0;
}

void CDlgHidden::OnTimer(UINT_PTR id) {
    if (id != kProgressTimer) {
        CBaseChildDialog::OnTimer(id);
        return;
    }
    if (m_nState == hidden_rules::kStateSelect) {
        if (CDlgRoot* r = root()) r->m_lang.setText(hidden_rules::kDialogId, &m_staticTitle, 12274);
        return;
    }
    if (m_nState != hidden_rules::kStateDownload) return;
    score_board* board = &score_board::getBoards()[1];
    const ULONGLONG current = board->getCurrentSize(), total = board->getTotalSize();
    const double delta = static_cast<double>(current) - m_dPrevBytes;
    m_dPrevBytes = static_cast<double>(current);
    CString line;
    line.Format(L"%s: %s", text(12277).GetString(),
                hidden_rules::formatRate(delta / 1024.0, CRegSetting::getLanguage()).GetString());
    m_staticRate.SetWindowText(line);
    CString sizes;
    sizes.Format(L"%s / %s (MB)", CGlobalFunc::formatNumber(static_cast<double>(current / 1048576)).GetString(),
                 CGlobalFunc::formatNumber(static_cast<double>(total / 1048576)).GetString());
    line.Format(L"%s: %s", text(12275).GetString(), sizes.GetString());
    m_staticDownloaded.SetWindowText(line);
    const int percent = hidden_rules::percentOf(current, total);
    if (percent >= 0 && percent <= 100) m_progress.setPos(percent);
    line.Format(L"%d/%d", m_nModelCounter.load(), static_cast<int>(m_mapSelection.size()));
    m_staticPercent.SetWindowText(line);
    line.Format(L"%s(%d%%)", text(12261).GetString(), std::max(percent, 0));
    m_staticTitle.SetWindowText(line);
}

LRESULT CDlgHidden::OnChangeLanguage(WPARAM, LPARAM) {
    refreshTexts();
    applyFonts();
    placeControls();
    return 0;
}

BOOL CDlgHidden::OnEraseBkgnd(CDC*) { return TRUE; }

void CDlgHidden::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kBody);
    drawBackground(canvas.dc(), client.Width(), client.Height());
    canvas.copyTo(paint.GetSafeHdc());
}

void CDlgHidden::drawBackground(HDC dc, int width, int) {
    CPen pen(PS_SOLID, 1, kHeading);
    HGDIOBJ old = ::SelectObject(dc, static_cast<HPEN>(pen));
    ::MoveToEx(dc, 0, 402, nullptr);
    ::LineTo(dc, width, 402);
    ::SelectObject(dc, old);
    const bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    const CString prefix = arabic ? L" \x25C0" : L"\x25B6 ";
    const RECT groups = {48, 35, 548, 60};
    const RECT models = {48, 180, 548, 205};
    CGdiFunc::drawTextLinesExInWnd(m_hWnd, dc, 16, prefix + text(12650), g_strFontFace, 0, kHeading, FALSE, 1, -1, 0,
                                   nullptr, groups);
    CGdiFunc::drawTextLinesExInWnd(m_hWnd, dc, 16, prefix + text(12651), g_strFontFace, 0, kHeading, FALSE, 1, -1, 0,
                                   nullptr, models);
}
