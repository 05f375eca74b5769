// What follows a sign-in: the scan of the media against the account's
// vehicles and the brands' catalogues, and the page or message it leads to.
// The matching itself lives in shell/scan; the root applies its outcome to
// its pages, its members and the frame.
#include "shell/dlg_root.h"

#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "shell/scan/after_login.h"
#include "shell/scan/match_rules.h"
#include "shell/scan/medium_scan.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

#include "afx/app.h"

namespace {

GuestCatalogRequest& catalogSource() {
    static GuestCatalogRequest source;
    return source;
}

GuestCatalogRequest currentCatalogSource() {
    if (catalogSource()) return catalogSource();
    return [](InfInfoList*& catalog, int corp) { return ::requestGuestCatalog(catalog, corp); };
}

// The "FIRST_OPEN_EULA" value itself: 1 until the consent was answered.
int storedEulaValue() {
    const std::vector<CString>& keys = CRegSetting::getSettingKeys();
    return static_cast<int>(AfxGetApp()->GetProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_FIRST_OPEN_EULA], 1));
}

}  // namespace

BOOL CDlgRoot::requestGuestCatalog(InfInfoList*& catalog, int corp) { return currentCatalogSource()(catalog, corp); }

void CDlgRoot::setGuestCatalogSource(GuestCatalogRequest source) { catalogSource() = std::move(source); }

void CDlgRoot::mergeInfTails(InfInfoList* list) { ::mergeInfTails(list); }

void CDlgRoot::mergeTailMaps(InfFileTailMap* target, const InfFileTailMap* source) { ::mergeTailMaps(target, source); }

int CDlgRoot::scanVerFiles() {
    m_bMediumOtherCorp = 0;
    InfInfoList* account = m_pMainFrame ? m_pMainFrame->vehicleList() : nullptr;
    if (!account) return 0;

    MediumScanInput input;
    if (CUSBDetector* watcher = m_pMainFrame->driveWatcher()) {
        watcher->updateAllDriveInfo();
        for (const auto& drive : *watcher->getAllDriveInfoList()) {
            if (drive.second && !drive.second->rootPath.IsEmpty()) input.roots.push_back(drive.second->rootPath);
        }
    }
    input.account = account;
    input.clientGuid = CRegSetting::getClientGUID();
    input.requestCatalog = currentCatalogSource();

    MediumScanState state;
    state.m_bMediumOtherCorp = m_bMediumOtherCorp;
    state.m_nMediumCorp = m_nMediumCorp;
    state.m_nAccountCorp = m_nAccountCorp;
    state.m_nMediumVerCorp = m_nMediumVerCorp;
    state.m_strMediumModelCode = m_strMediumModelCode;
    state.m_bMediumUnmatched = m_bMediumUnmatched;
    state.m_strMediumSwVersion = m_strMediumSwVersion;

    std::vector<std::unique_ptr<InfInfoList>> retired;
    const MediumScanOutcome out = ::scanVerFiles(input, state, retired);
    // The registration page and later Cur_inf may point into these lists.
    for (std::unique_ptr<InfInfoList>& list : retired) m_pMainFrame->retireCatalogue(list.release());

    m_bMediumOtherCorp = state.m_bMediumOtherCorp ? 1 : 0;
    m_nMediumCorp = state.m_nMediumCorp;
    m_nAccountCorp = state.m_nAccountCorp;
    m_nMediumVerCorp = state.m_nMediumVerCorp;
    m_strMediumModelCode = state.m_strMediumModelCode;
    m_bMediumUnmatched = state.m_bMediumUnmatched ? 1 : 0;
    m_strMediumSwVersion = state.m_strMediumSwVersion;

    if (out.selectLastVehicle && m_pPageLogin) m_pPageLogin->matchLastVehicle();
    if (out.carInfo && m_pPageCarReg) {
        m_pPageCarReg->setCarInfo(out.carInfo);
        if (out.lastReg) m_pPageCarReg->setLastRegTag();
    }
    if (!out.matchedParams.empty()) {
        if (CDlgPageMessage* page = getMessagePage(999)) {
            for (size_t i = 0; i < out.matchedParams.size(); ++i) page->setParam(out.matchedParams[i], static_cast<int>(i));
            page->setMessageType(SERVER_ETC_MEDIUM_MATCHED, this);
            pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            m_bMatchMessageShown = 1;
        }
    }
    return out.result;
}

BOOL CDlgRoot::findMediumInCatalog(int corp) {
    MediumNames names;
    const BOOL found = ::findMediumInCatalog(corp, m_nMediumCorp, m_strMediumModelCode, currentCatalogSource(), names);
    if (names.requested) {
        m_strMediumCarName = names.name;
        m_strMediumCarNameIntl = names.nameIntl;
    }
    if (!found) return FALSE;
    CDlgPageMessage* page = getMessagePage(999);
    if (!page) return FALSE;
    page->setParam(names.letter, 0);
    page->setParam(m_strMediumCarName, 1);
    page->setParam(m_strMediumCarNameIntl, 2);
    page->setMessageType(SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, this);
    pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    enableTopButton(0, this, TRUE);
    if (m_btnLogout.GetSafeHwnd()) m_btnLogout.setEnable(!isRestrictedRegion(CRegSetting::getRegion(), m_nCorp));
    showSignedInButtons();
    refreshExitButton();
    SetFocus();
    return TRUE;
}

BOOL CDlgRoot::showPageAfterLogin() {
    const LoginDestination d =
        pageAfterLogin(CRegSetting::isFirstOpenProgram(), storedEulaValue(), CRegSetting::getRegion(), true);
    if (d.messageType == 0) {
        pushViewPage(d.view, TRUE);
        return TRUE;
    }
    if (d.firstOpenShown) m_bFirstOpenShown = 1;
    CDlgPageMessage* page = getMessagePage(999);
    if (!page) return FALSE;
    page->setMessageType(d.messageType, this);
    pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    return TRUE;
}

void CDlgRoot::AutoMatchAndLastMode() {
    if (!m_pPageLogin) return;
    if (m_bHiddenHandOver) {
        if (!m_hHiddenRequester) return;
        ::SendMessageW(m_hHiddenRequester, WM_CLOSE, 0, 0);
        m_bHiddenHandOver = 0;
        pushViewPage(VIEW_STATE_HIDDEN, TRUE);
        return;
    }

    m_nMediumCorp = CRegSetting::getLastUserCorp();
    const int matched = scanVerFiles();
    if (matched != 0) {
        LOG_WRITE(L"Auto Mathching. Cur_inf Set Passed");
    } else if (m_bMediumOtherCorp) {
        LOG_WRITE(L"Cur_inf Set Passed");
    } else {
        LOG_WRITE(L"Cur_inf Set OK");
    }

    if (m_bMediumUnmatched == 1) {
        if (CDlgPageMessage* page = getMessagePage(999)) {
            page->setMessageType(SERVER_ETC_MEDIUM_UP_TO_DATE, this);
            pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        }
        m_bMediumUnmatched = 0;
        return;
    }
    if (m_bMatchMessageShown == 1) {
        m_bMatchMessageShown = 0;
        return;
    }

    m_bHasRegisteredVehicle = hasRegisteredVehicle(m_pMainFrame ? m_pMainFrame->vehicleList() : nullptr) ? 1 : 0;
    if (m_bMediumOtherCorp == 1) {
        m_pPageLogin->focusPassword();
        if (findMediumInCatalog(m_nMediumCorp)) return;
    }
    if (g_bGuestLogin || m_bHasRegisteredVehicle == 1) {
        showPageAfterLogin();
        return;
    }

    // No registered vehicle: the account can only look, not sign out.
    CDlgPageMessage* page = getMessagePage(999);
    if (!page) return;
    if (m_btnLogout.GetSafeHwnd()) m_btnLogout.setEnable(FALSE);
    showSignedInButtons();
    refreshExitButton();
    enableTopButton(0, this, FALSE);
    const int type = noVehicleMessageType(CRegSetting::getLastUserCorp());
    if (type != 0 && scanVerFiles() == 0) {
        page->setMessageType(type, this);
        pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        return;
    }
    if (!showPageAfterLogin()) pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
}

void CDlgRoot::readRegVer(InfInfo* entry, const CString& drive) {
    if (!m_pPageCarReg) return;
    m_pPageCarReg->m_strRegTag = L"reg";
    m_pPageCarReg->m_strRegTag = ::readRegVer(entry, drive, m_pMainFrame ? m_pMainFrame->vehicleList() : nullptr);
}

void CDlgRoot::readLastReg(InfInfo* entry, const CString& /*unused*/) {
    if (m_pPageCarReg) m_pPageCarReg->m_strRegTag = L"reg";
    InfInfoList* account = m_pMainFrame ? m_pMainFrame->vehicleList() : nullptr;
    if (!entry || !account) return;
    const CString tag = ::readLastReg(entry, account, CRegSetting::getDataPath(), m_strMediumSwVersion,
                                      m_strLastRegInfVersion, m_strLastRegSwVersion);
    if (m_pPageCarReg) m_pPageCarReg->m_strRegTag = tag;
}

BOOL CDlgRoot::readConfigurationId(const CString& driveRoot) {
    return ::readConfigurationId(driveRoot, m_strConfigurationId);
}
