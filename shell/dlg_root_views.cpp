// The view-state machine, the page history and the message-page pool.
#include "shell/dlg_root.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_hidden.h"
#include "pages/account/dlg_hidden_pwd.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_info_popup.h"
#include "pages/account/dlg_join_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_exit.h"
#include "shell/dlg_page_message_for_config.h"
#include "ui/view_state.h"

#include <algorithm>
#include <memory>

namespace {

// Window updates of the root are held while pages swap.
class UpdateLock {
public:
    explicit UpdateLock(HWND hwnd) : m_locked(hwnd && ::LockWindowUpdate(hwnd)) {}
    ~UpdateLock() {
        if (m_locked) ::LockWindowUpdate(nullptr);
    }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    bool m_locked;
};

CString viewName(int view) { return CGlobalFunc::getViewStateName(view); }

}  // namespace

bool CDlgRoot::isBaseView(int view) const {
    switch (view) {
        case VIEW_STATE_LOGIN:
        case VIEW_STATE_CAR_REG:
        case VIEW_STATE_CAR_CHANGE:
        case VIEW_STATE_CAR_UPDATE:
        case VIEW_STATE_CAR_FINISH:
        case VIEW_STATE_HIDDEN:
        case VIEW_STATE_HIDDEN_PWD:
            return true;
        default:
            return false;
    }
}

// The page of a view of the table; null for values outside it (and for the
// message view, whose page is the pool's current one).
CBaseChildDialog* CDlgRoot::pageOfView(int view) const {
    switch (view) {
        case VIEW_STATE_LOGIN: return m_pPageLogin;
        case VIEW_STATE_CONFIG: return m_pPageConfig;
        case VIEW_STATE_MESSAGE: return m_pCurMessagePage;
        case VIEW_STATE_CAR_REG: return m_pPageCarReg;
        case VIEW_STATE_CAR_CHANGE: return m_pPageCarChange;
        case VIEW_STATE_CAR_UPDATE: return m_pPageCarUpdate;
        case VIEW_STATE_CAR_FINISH: return m_pPageCarFinish;
        case VIEW_STATE_INFO_POPUP: return m_pPageInfoPopup;
        case VIEW_STATE_CAR_CONFIG: return m_pPageConfMsg;
        case VIEW_STATE_JOIN_MSG: return m_pPageJoinMsg;
        case VIEW_STATE_HIDDEN: return m_pPageHidden;
        case VIEW_STATE_HIDDEN_PWD: return m_pPageHiddenPWD;
        case VIEW_STATE_EXIT: return m_pPageExit;
        case VIEW_STATE_PAGE_FOR_CONFIG: return m_pPageMsgForConfig;
        case VIEW_STATE_INFO_IMAGE_POPUP: return m_pPageInfoImagePopup;
        default: return nullptr;
    }
}

static bool inViewTable(int view) {
    switch (view) {
        case VIEW_STATE_LOGIN: case VIEW_STATE_CONFIG: case VIEW_STATE_MESSAGE: case VIEW_STATE_CAR_REG:
        case VIEW_STATE_CAR_CHANGE: case VIEW_STATE_CAR_UPDATE: case VIEW_STATE_CAR_FINISH:
        case VIEW_STATE_INFO_POPUP: case VIEW_STATE_CAR_CONFIG: case VIEW_STATE_JOIN_MSG: case VIEW_STATE_HIDDEN:
        case VIEW_STATE_HIDDEN_PWD: case VIEW_STATE_EXIT: case VIEW_STATE_PAGE_FOR_CONFIG:
        case VIEW_STATE_INFO_IMAGE_POPUP:
            return true;
        default:
            return false;
    }
}

int CDlgRoot::pushViewPage(int view, BOOL show) {
    if (view == m_eViewStatus) {
        if (view == VIEW_STATE_MESSAGE && m_pShownMessagePage && m_pShownMessagePage == m_pCurMessagePage &&
            !m_pCurMessagePage->m_bClosed) {
            m_bMessageReshown = 1;
        }
        return 0;
    }
    m_bMessageReshown = 0;
    BOOL shown = TRUE;
    {
        UpdateLock lock(m_hWnd);
        m_eViewStatus = view;
        hidePagesExcept(view);

        if (view == VIEW_STATE_MESSAGE) {
            m_pShownMessagePage = m_pCurMessagePage;
            m_pCurPage = m_pCurMessagePage;
        } else if (inViewTable(view)) {
            m_pCurPage = pageOfView(view);
        }

        bool base = isBaseView(view);
        if (base) {
            m_eBaseViewStatusOld = m_eBaseViewStatus;
            m_eBaseViewStatus = view;
        }

        for (CBaseChildDialog*& entry : m_vecPageHistory) {
            if (entry == m_pCurPage) entry = nullptr;
        }
        m_vecPageHistory.push_back(m_pCurPage);

        if (base && m_eBaseViewStatus != m_eBaseViewStatusOld) {
            LOG_WRITE(L"m_eBaseViewStatusOld = '%s', m_eBaseViewStatus = '%s' ==>> initPage()",
                      viewName(m_eBaseViewStatusOld).GetString(), viewName(m_eBaseViewStatus).GetString());
            if (m_pCurPage) m_pCurPage->initPage();
        }

        if (show && m_pCurPage) {
            shown = m_pCurPage->showPage(TRUE);
            if (shown) m_pCurPage->SetFocus();
        }
        LOG_WRITE(L"m_eBaseViewStatus = '%s', m_eViewStatus = '%s' ==>> showPage()",
                  viewName(m_eBaseViewStatus).GetString(), viewName(m_eViewStatus).GetString());
    }
    if (!shown && m_pCurPage) m_pCurPage->skipPage();
    return 1;
}

void CDlgRoot::pullViewPage() {
    if (m_vecPageHistory.size() < 2) return;
    m_vecPageHistory.pop_back();
    while (!m_vecPageHistory.empty() && !m_vecPageHistory.back()) m_vecPageHistory.pop_back();
    if (m_vecPageHistory.empty()) return;
    if (!m_pCurPage) return;
    {
        UpdateLock lock(m_hWnd);
        m_pCurPage->showPage(FALSE);
        m_pCurPage = m_vecPageHistory.back();
        m_pCurPage->showPage(TRUE);
        m_pCurPage->SetFocus();
    }
    m_eViewStatus = m_pCurPage->m_ePageViewStatus;

    CDlgPageMessage* pooled = nullptr;
    if (m_pMessagePages) {
        for (CDlgPageMessage* page : *m_pMessagePages) {
            if (static_cast<CBaseChildDialog*>(page) == m_pCurPage) pooled = page;
        }
    }
    if (m_eViewStatus == VIEW_STATE_MESSAGE && pooled) {
        LOG_WRITE(L"m_eViewStatus = '%s', message type = '%s' ==>> showPage()", viewName(m_eViewStatus).GetString(),
                  CGlobalFunc::getErrorName(static_cast<unsigned>(pooled->m_eMessageType)).GetString());
    } else {
        LOG_WRITE(L"m_eViewStatus = '%s' ==>> showPage()", viewName(m_eViewStatus).GetString());
    }
}

void CDlgRoot::hidePagesExcept(int view) {
    struct Entry {
        int view;
        CBaseChildDialog* page;
    } pages[] = {
        {VIEW_STATE_LOGIN, m_pPageLogin},
        {VIEW_STATE_CONFIG, m_pPageConfig},
        {VIEW_STATE_CAR_CONFIG, m_pPageConfMsg},
        {VIEW_STATE_CAR_REG, m_pPageCarReg},
        {VIEW_STATE_CAR_CHANGE, m_pPageCarChange},
        {VIEW_STATE_CAR_UPDATE, m_pPageCarUpdate},
        {VIEW_STATE_CAR_FINISH, m_pPageCarFinish},
        {VIEW_STATE_INFO_POPUP, m_pPageInfoPopup},
        {VIEW_STATE_INFO_IMAGE_POPUP, m_pPageInfoImagePopup},
        {VIEW_STATE_JOIN_MSG, m_pPageJoinMsg},
        {VIEW_STATE_HIDDEN, m_pPageHidden},
        {VIEW_STATE_HIDDEN_PWD, m_pPageHiddenPWD},
        {VIEW_STATE_EXIT, m_pPageExit},
        {VIEW_STATE_PAGE_FOR_CONFIG, m_pPageMsgForConfig},
    };
    for (const Entry& e : pages) {
        if (e.view != view && e.page) e.page->showPage(FALSE);
    }
    if (view != VIEW_STATE_MESSAGE && m_pMessagePages) {
        for (CDlgPageMessage* page : *m_pMessagePages) page->showPage(FALSE);
    }
}

CDlgPageMessage* CDlgRoot::getMessagePage(int type) {
    if (!m_pMessagePages) m_pMessagePages = new std::list<CDlgPageMessage*>();
    // The open page that shows is handed back unchanged, so that a new
    // request reconfigures what the user sees; only a second exit question
    // gets a page of its own. An open page that a view switch hid is not
    // handed out: the message view would show another page than the one
    // configured.
    for (CDlgPageMessage* page : *m_pMessagePages) {
        if (page->m_bClosed || !page->m_bShown) continue;
        if (type == SERVER_ERROR_ETC_PROGRAM_EXIT && page->m_eMessageType == type) continue;
        return page;
    }
    for (CDlgPageMessage* page : *m_pMessagePages) {
        if (page->m_bClosed && !page->m_bOkProcessing.load()) {
            m_pCurMessagePage = page;
            return page;
        }
    }
    // A page whose window cannot be made is of no use to anyone.
    auto page = std::make_unique<CDlgPageMessage>(this);
    if (!page->Create(IDD_PAGE_MESSAGE, this)) {
        LOG_WRITE(L"[ERR] message page window not created");
        return nullptr;
    }
    m_pMessagePages->push_back(page.get());
    m_pCurMessagePage = page.release();
    return m_pCurMessagePage;
}

CDlgPageMessage* CDlgRoot::findMessagePage(int type) {
    if (!m_pMessagePages) return nullptr;
    for (CDlgPageMessage* page : *m_pMessagePages) {
        if (!page->m_bClosed && page->m_eMessageType == type) return page;
    }
    return nullptr;
}
