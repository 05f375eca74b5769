// The settings page's life: loading the stored settings, showing, the
// choices in the three lists, OK, Cancel and the answers of the messages it
// raises.
#include "pages/account/dlg_page_config.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_msg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

// Posted to itself: raise the message the forced check kept for the shown page.
constexpr UINT UM_CONFIG_RAISE_PENDING = WM_APP + 0x3A1;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPageConfig, CPlaceholderPage)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_BUTTON_OK, &CDlgPageConfig::OnBnClickedButtonOk)
    ON_BN_CLICKED(IDC_BUTTON_CANCEL, &CDlgPageConfig::OnBnClickedButtonCancel)
    ON_BN_CLICKED(IDC_BUTTON_CHANGE_FOLDER, &CDlgPageConfig::OnBnClickedButtonChangeFolder)
    ON_BN_CLICKED(IDC_BUTTON_LICENSE_VIEW, &CDlgPageConfig::OnBnClickedButtonLicenseView)
    ON_BN_CLICKED(IDC_BUTTON_AGREEMENT_VIEW, &CDlgPageConfig::OnBnClickedButtonAgreementView)
    ON_BN_CLICKED(IDC_BUTTON_REMOVE_FILE, &CDlgPageConfig::OnBnClickedButtonRemoveFile)
    ON_CBN_DROPDOWN(IDC_COMBO_LANGUAGE, &CDlgPageConfig::OnCbnDropdownLanguage)
    ON_CBN_SELENDOK(IDC_COMBO_LANGUAGE, &CDlgPageConfig::OnCbnSelendokLanguage)
    ON_CBN_SELENDOK(IDC_COMBO_REGION, &CDlgPageConfig::OnCbnSelendokRegion)
    ON_CBN_SELENDOK(IDC_COMBO_BRAND, &CDlgPageConfig::OnCbnSelendokBrand)
    ON_BN_CLICKED(IDC_RADIO_AUTO_YES, &CDlgPageConfig::OnBnClickedRadioYes)
    ON_BN_CLICKED(IDC_RADIO_AUTO_NO, &CDlgPageConfig::OnBnClickedRadioNo)
    ON_STN_CLICKED(IDC_STATIC_RADIO_YES, &CDlgPageConfig::OnBnClickedStaticRadioYes)
    ON_STN_CLICKED(IDC_STATIC_RADIO_NO, &CDlgPageConfig::OnBnClickedStaticRadioNo)
    ON_MESSAGE(UM_CLOSE_DROPDOWN, &CDlgPageConfig::OnCloseDropdown)
    ON_MESSAGE(UM_CONFIG_RAISE_PENDING, &CDlgPageConfig::OnRaisePending)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgPageConfig::OnRegisteredMessage_ChangeLanguage)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgPageConfig::OnRegisteredMessage_MessageResult)
END_MESSAGE_MAP()

CDlgPageConfig::CDlgPageConfig(CBaseDialog* root)
    : CPlaceholderPage(IDD_PAGE_CONFIG, root, L"CDlgPageConfig", VIEW_STATE_CONFIG) {
    m_ePageViewStatus = VIEW_STATE_CONFIG;
    g_nCurrentLanguage = LANGUAGE_EN;
    g_nCurrentRegion = REGION_KR;
}

CDlgPageConfig::~CDlgPageConfig() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(VIEW_STATE_CONFIG);
}

CDlgRoot* CDlgPageConfig::root() const { return CDlgRoot::of(getRootDlg()); }

IShellFrame* CDlgPageConfig::frame() const {
    CDlgRoot* r = root();
    return r ? r->m_pMainFrame : nullptr;
}

CString CDlgPageConfig::loadText(int id) const { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

BOOL CDlgPageConfig::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    CDLang::moveWnd(getRootDlg(), this, 0, 60, 900, 590, 0);
    initControls();
    loadSettings();
    applyFonts();
    layoutControls();
    return TRUE;
}

BOOL CDlgPageConfig::initPage() {
    fillLanguageCombo();
    fillRegionCombo();
    return TRUE;
}

// ---- stored settings

void CDlgPageConfig::loadSettings() {
    recordCall(L"loadSettings");
    g_nSendVcrmDesc1 = CRegSetting::isSendVcrmDesc1() ? 1 : 0;
    g_nSendVcrmDesc2 = CRegSetting::isSendVcrmDesc2() ? 1 : 0;
    m_nSavedLanguage = m_nCurLanguage = CRegSetting::getLanguage();
    g_nCurrentLanguage = m_nCurLanguage;
    selectLanguageItem(m_nCurLanguage);
    m_nSavedRegion = m_nCurRegion = CRegSetting::getRegion();
    g_nCurrentRegion = m_nCurRegion;
    selectRegionItem(m_nCurRegion);
    m_nSavedCorp = m_nCurCorp = CRegSetting::getLastUserCorp();
    selectBrandItem(m_nCurCorp);
    const CString folder = CRegSetting::getDataPath();
    showFolder(folder);
    if (IShellFrame* f = frame()) f->setDownloadFolder(folder);
    m_strShownFolder = folder;
    m_bCorpTouched = FALSE;
}

// ---- list selection

namespace {

int indexOf(const std::vector<int>& ids, int id) {
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] == id) return static_cast<int>(i);
    }
    return 0;
}

int idAt(const CImageCombo& combo, const std::vector<int>& ids, int fallback) {
    const int sel = combo.GetSafeHwnd() ? combo.GetCurSel() : CB_ERR;
    if (sel < 0 || sel >= static_cast<int>(ids.size())) return fallback;
    return ids[static_cast<size_t>(sel)];
}

}  // namespace

void CDlgPageConfig::selectLanguageItem(int language) {
    if (language == 0) {
        m_nCurLanguage = idAt(m_comboLanguage, m_vecLanguageIds, LANGUAGE_EN);
        language = m_nCurLanguage;
    }
    if (m_comboLanguage.GetSafeHwnd()) m_comboLanguage.SetCurSel(indexOf(m_vecLanguageIds, language));
}

void CDlgPageConfig::selectRegionItem(int region) {
    if (m_comboRegion.GetSafeHwnd()) m_comboRegion.SetCurSel(indexOf(m_vecRegionIds, region));
}

void CDlgPageConfig::selectBrandItem(int corp) {
    if (m_comboBrand.GetSafeHwnd()) m_comboBrand.SetCurSel(indexOf(m_vecCorpIds, corp));
}

int CDlgPageConfig::idAtSelection(const CImageCombo& combo, const std::vector<int>& ids) {
    if (ids.empty()) return -1;
    const int sel = combo.GetSafeHwnd() ? combo.GetCurSel() : CB_ERR;
    return ids[sel >= 0 && sel < static_cast<int>(ids.size()) ? static_cast<size_t>(sel) : 0];
}

int CDlgPageConfig::getSelectedLanguage() const { return idAt(m_comboLanguage, m_vecLanguageIds, -1); }
int CDlgPageConfig::getSelectedRegion() const { return idAt(m_comboRegion, m_vecRegionIds, -1); }
int CDlgPageConfig::getSelectedBrand() const { return idAt(m_comboBrand, m_vecCorpIds, -1); }

// ---- showing

BOOL CDlgPageConfig::showPage(BOOL show) {
    recordCall(show ? L"showPage(1)" : L"showPage(0)");
    CDlgRoot* r = root();
    if (show) {
        if (r) {
            r->enableTopButton(0, this, FALSE);
            r->enableTopButton(2, this, FALSE);
        }
        m_bShown = TRUE;
        ShowWindow(SW_SHOW);
        const int language = getSelectedLanguage();
        if (language > 0) CLangLibrary::loadLanguage(language);
        SendMessage(RWM_CHANGE_LANGUAGE);
        layoutControls();
        if (m_nPendingMessage) PostMessage(UM_CONFIG_RAISE_PENDING);
    } else {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

void CDlgPageConfig::OnShowWindow(BOOL show, UINT status) {
    Default();
    (void)status;
    if (!show) return;
    m_nPageCorp = CRegSetting::getLastUserCorp();
    m_nUserType = CRegSetting::getLastUserType() == USER_TYPE_GUEST ? USER_TYPE_GUEST : USER_TYPE_MEMBER;
    m_bRadioYes = FALSE;
    m_bRadioNo = FALSE;
    if (m_nUserType == USER_TYPE_MEMBER) {
        if (CRegSetting::isCheckedAuto(m_nPageCorp)) {
            m_bRadioYes = TRUE;
        } else {
            m_bRadioNo = TRUE;
        }
    }
    setRadioLook(m_nUserType == USER_TYPE_MEMBER);
    updateRadios();
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setImage(okButtonImage(m_nPageCorp, CRegSetting::getRegion()));
    const CString folder = frame() ? frame()->downloadFolder() : CRegSetting::getDataPath();
    showFolder(folder);
    m_strShownFolder = folder;
    ShowBTID();
}

LRESULT CDlgPageConfig::OnRaisePending(WPARAM, LPARAM) {
    const int type = m_nPendingMessage;
    m_nPendingMessage = 0;
    if (type && m_bShown) raiseMessage(type);
    return 0;
}

void CDlgPageConfig::raiseMessage(int type) {
    CDlgRoot* r = root();
    if (!r) return;
    // Before the page shows, the root's view switch would cover the message:
    // it waits for the page.
    if (!m_bShown || !IsWindowVisible()) {
        m_nPendingMessage = type;
        return;
    }
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return;
    page->setMessageType(type, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
}

// ---- language change

LRESULT CDlgPageConfig::OnRegisteredMessage_ChangeLanguage(WPARAM, LPARAM) {
    if (m_bOwnChange) {
        m_bOwnChange = FALSE;
        return 0;
    }
    if (m_bRefillLanguages) {
        fillLanguageCombo();
        m_bRefillLanguages = FALSE;
    }
    refreshPage();
    return 0;
}

void CDlgPageConfig::refreshPage() {
    refreshTexts();
    applyFonts();
    layoutControls();
    const bool brandShown = m_nCurRegion != REGION_KR;
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticBrand, &m_comboBrand}) {
        if (w->GetSafeHwnd()) w->ShowWindow(brandShown ? SW_SHOW : SW_HIDE);
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

// ---- choices

void CDlgPageConfig::chooseLanguage(int language) {
    CLangLibrary::loadLanguage(language);
    CRegSetting::setLanguage(language);
    CFontCache::selectFaceForCorp(m_nCurCorp);
    SendMessage(RWM_CHANGE_LANGUAGE);
    m_nCurLanguage = language;
    g_nCurrentLanguage = language;
    CDlgRoot* r = root();
    if (r) r->m_lang.setLanguage(language);
    layoutControls();
    if (r) r->layoutTitleButtons();
    const int corp = getSelectedBrand();
    if (corp >= 0) m_nCurCorp = corp;
    for (CImageCombo* c : {&m_comboRegion, &m_comboBrand, &m_comboLanguage}) {
        if (c->GetSafeHwnd()) c->Invalidate(FALSE);
    }
}

void CDlgPageConfig::OnCbnSelendokLanguage() {
    const int language = getSelectedLanguage();
    if (language < 0) return;
    chooseLanguage(language);
}

void CDlgPageConfig::OnCbnSelendokRegion() {
    const int region = getSelectedRegion();
    if (region < 0) return;
    if (m_comboLanguage.GetSafeHwnd()) m_comboLanguage.SetCurSel(0);
    m_bRefillLanguages = TRUE;
    m_nCurRegion = region;
    g_nCurrentRegion = region;
    refreshPage();
    if (m_comboLanguage.GetSafeHwnd() && m_comboLanguage.GetCount() > 0) m_comboLanguage.SetCurSel(0);
    const int language = getSelectedLanguage();
    if (language >= 0) chooseLanguage(language);
    applySignInRule(region, m_nCurCorp);
    layoutControls();
    if (CDlgRoot* r = root()) {
        if (r->m_pPageConfMsg) r->m_pPageConfMsg->m_nTermsRegion = region;
    }
    for (CImageCombo* c : {&m_comboRegion, &m_comboBrand, &m_comboLanguage}) {
        if (c->GetSafeHwnd()) c->Invalidate(FALSE);
    }
}

void CDlgPageConfig::OnCbnSelendokBrand() {
    const int corp = getSelectedBrand();
    if (corp < 0) return;
    m_bCorpTouched = TRUE;
    m_nCurCorp = corp;
    selectBrandItem(corp);
    if (m_nCurRegion == REGION_RU) applySignInRule(REGION_RU, corp);
}

void CDlgPageConfig::applySignInRule(int region, int corp) {
    const bool shown = region == REGION_KR || region == REGION_US || (region == REGION_RU && corp == CORP_LV);
    m_bSignInShown = shown;
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticAuto, &m_staticAutoComment, &m_radioYes, &m_staticRadioYes,
                                                &m_radioNo, &m_staticRadioNo}) {
        if (w->GetSafeHwnd()) w->ShowWindow(shown ? SW_SHOW : SW_HIDE);
    }
    ShowBTID();
}

// ---- automatic sign-in

void CDlgPageConfig::OnBnClickedRadioYes() {
    if (m_nUserType == USER_TYPE_GUEST) return;
    m_bRadioYes = TRUE;
    m_bRadioNo = FALSE;
    updateRadios();
}

void CDlgPageConfig::OnBnClickedRadioNo() {
    if (m_nUserType == USER_TYPE_GUEST) return;
    m_bRadioYes = FALSE;
    m_bRadioNo = TRUE;
    updateRadios();
}

void CDlgPageConfig::OnBnClickedStaticRadioYes() { OnBnClickedRadioYes(); }
void CDlgPageConfig::OnBnClickedStaticRadioNo() { OnBnClickedRadioNo(); }

void CDlgPageConfig::updateRadios() {
    m_radioYes.m_bChecked = m_bRadioYes;
    m_radioNo.m_bChecked = m_bRadioNo;
    for (CPngWithTextButton* b : {&m_radioYes, &m_radioNo}) {
        if (b->GetSafeHwnd()) b->Invalidate(FALSE);
    }
}

// ---- OK and Cancel

void CDlgPageConfig::OnBnClickedButtonOk() {
    CDlgRoot* r = root();
    // 1. consents
    int consent1 = g_nSendVcrmDesc1, consent2 = g_nSendVcrmDesc2;
    if (r && r->m_pPageConfMsg) {
        consent1 = r->m_pPageConfMsg->m_nConsent1 == 1 ? 1 : 0;
        consent2 = r->m_pPageConfMsg->m_nConsent2 == 1 ? 1 : 0;
    }
    AfxGetApp()->WriteProfileInt(L"Settings", L"SEND_VCRM_DESC1", consent1);
    AfxGetApp()->WriteProfileInt(L"Settings", L"SEND_VCRM_DESC2", consent2);
    const bool consentsChanged = consent1 != (g_nSendVcrmDesc1 == 1 ? 1 : 0) || consent2 != (g_nSendVcrmDesc2 == 1 ? 1 : 0);
    g_nSendVcrmDesc1 = consent1;
    g_nSendVcrmDesc2 = consent2;
    if (consentsChanged && CRegSetting::getRegion() == REGION_KR && r) r->startUserPrivateThread();

    // 2. brand
    const int corp = getSelectedBrand();
    if (corp < 0) return;
    if (corp != m_nPageCorp) {
        m_nPageCorp = corp;
        g_strCorpCode = corp == CORP_TS ? L"TS" : corp == CORP_DR ? L"DR" : corp == CORP_LV ? L"LV" : L"N";
        if (r) r->m_nCorp = corp;
    }

    // 3. automatic sign-in
    if (m_nUserType == USER_TYPE_MEMBER && m_bRadioYes) {
        CRegSetting::setCheckedAuto(m_nPageCorp, TRUE);
        CRegSetting::setCheckedSave(m_nPageCorp, TRUE);
        InfInfoList* list = frame() ? frame()->vehicleList() : nullptr;
        if (list && list->getUserType() == USER_TYPE_MEMBER) {
            CRegSetting::setUserID(m_nPageCorp, list->getUserId());
            CRegSetting::setUserInfo(m_nPageCorp, list->getPassword());
        }
    } else {
        CRegSetting::setCheckedAuto(m_nPageCorp, FALSE);
    }

    // 4. language
    const int language = getSelectedLanguage();
    if (!r || language < 0) return;
    m_nSavedLanguage = m_nCurLanguage = language;
    CRegSetting::setLanguage(language);
    g_logManager.SetStatisticsLanguage(getLanguageCode(language));

    // 5. and 6. region
    const CString oldRegion = getRegionCode(CRegSetting::getRegion());
    const int chosenRegion = getSelectedRegion();
    const CString newRegion = getRegionCode(chosenRegion < 0 ? REGION_US : chosenRegion);
    r->m_bSettingsChanged = 0;
    if (chosenRegion < 0) return;
    m_nSavedRegion = m_nCurRegion = chosenRegion;
    g_nCurrentRegion = chosenRegion;
    CRegSetting::setRegion(chosenRegion);

    // 7. every window follows the language
    m_bOwnChange = TRUE;
    CLangLibrary::changeLanguage(language, TRUE);
    // The broadcast is sent, not posted: a flag left set (no broadcast
    // reached the page) would swallow the next real change.
    m_bOwnChange = FALSE;

    IShellFrame* f = frame();
    const CString folder = f ? f->downloadFolder() : m_strShownFolder;
    if (oldRegion != newRegion) {
        // 8. region changed: a reset once the message is answered.
        r->m_bSettingsChanged = 1;
        CDlgPageMessage* page = r->getMessagePage(1004);
        if (!page) return;
        const int text = changedRegionText(chosenRegion);
        page->setParam(text ? loadText(text) : CString(), 0);
        page->setMessageType(SERVER_ETC_LANGUAGE_CHANGED, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        if (folder != m_strShownFolder) {
            CRegSetting::setDataPath(folder);
            m_strShownFolder = folder;
        }
        CRegSetting::setLastUserCorp(m_nPageCorp);
        return;
    }
    if (CRegSetting::getLastUserCorp() != m_nPageCorp) {
        // 9. brand changed. The new folder is written as on a region change:
        // the reset reloads the page from the stored values.
        r->m_bSettingsChanged = 1;
        CDlgPageMessage* page = r->getMessagePage(1026);
        if (!page) return;
        if (folder != m_strShownFolder) {
            CRegSetting::setDataPath(folder);
            m_strShownFolder = folder;
        }
        CRegSetting::setLastUserCorp(m_nPageCorp);
        page->setParam(loadText(changedBrandText(m_nPageCorp)), 0);
        page->setMessageType(SERVER_ETC_BRAND_CHANGED, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        return;
    }
    // 10. nothing to reset
    if (folder != m_strShownFolder) {
        CRegSetting::setDataPath(folder);
        m_strShownFolder = folder;
        if (f) f->setDownloadPaths();
    }
    r->pullViewPage();
    restoreTitleButtons();
    r->broadcastConfigClosed();
    showPage(FALSE);
    m_bNoticeShown = FALSE;
    if (f) f->startNoticeTimer(100);
}

void CDlgPageConfig::restoreTitleButtons() {
    CDlgRoot* r = root();
    if (!r) return;
    r->enableTopButton(0, this, TRUE);
    r->enableTopButton(2, this, !CDlgRoot::isRestrictedRegion(CRegSetting::getRegion(), r->m_nCorp));
}

void CDlgPageConfig::OnBnClickedButtonCancel() {
    CDlgRoot* r = root();
    if (!r) return;
    ShowWindow(SW_HIDE);
    g_nCurrentLanguage = m_nSavedLanguage;
    CLangLibrary::loadLanguage(m_nSavedLanguage);
    m_nCurLanguage = m_nSavedLanguage;
    CRegSetting::setRegion(m_nSavedRegion);
    CRegSetting::setLanguage(m_nSavedLanguage);
    selectLanguageItem(m_nSavedLanguage);
    CFontCache::selectFaceForCorp(m_nSavedCorp);
    r->m_lang.setLanguage(g_nCurrentLanguage);
    r->layoutTitleButtons();
    m_nSavedRegion = CRegSetting::getRegion();
    selectRegionItem(m_nSavedRegion);
    applySignInRule(m_nSavedRegion, CRegSetting::getLastUserCorp());
    const CString folder = CRegSetting::getDataPath();
    m_strShownFolder = folder;
    showFolder(folder);
    if (IShellFrame* f = frame()) f->setDownloadFolder(folder);
    closeToBaseView();
    initControls();
    loadSettings();
}

void CDlgPageConfig::closeToBaseView() {
    CDlgRoot* r = root();
    if (!r) return;
    r->pullViewPage();
    r->updateTopButtons();
    r->broadcastConfigClosed();
    m_bNoticeShown = FALSE;
}

// ---- message answers

LRESULT CDlgPageConfig::OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam) {
    const int result = static_cast<int>(wParam);
    const int type = static_cast<int>(lParam);
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString(),
              result);
    CDlgRoot* r = root();
    switch (type) {
        case SERVER_ERROR_NETWORK_FAIL:
            if (result == 1) {
                checkLanguageCodeFromServer(FALSE);
            } else if (r) {
                ShowWindow(SW_HIDE);
                m_bShown = FALSE;
                r->pullViewPage();
                r->enableTopButton(0, this, TRUE);
                r->broadcastConfigClosed();
                m_bNoticeShown = FALSE;
            }
            break;
        case SERVER_ERROR_LANGUAGE_FAIL:
            if (r) r->pushViewPage(VIEW_STATE_CONFIG, TRUE);
            m_bNoticeShown = TRUE;
            selectLanguageItem(0);
            break;
        case SERVER_ETC_LANGUAGE_CHANGED:
        case SERVER_ETC_BRAND_CHANGED:
            if (r) r->OnResetSession();
            break;
        default:
            break;
    }
    return 0;
}

// ---- other buttons

void CDlgPageConfig::OnBnClickedButtonLicenseView() {
    CDlgRoot* r = root();
    if (!r || !r->m_pPageMsgForConfig) return;
    r->m_pPageMsgForConfig->setMessageType(SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE, this);
    r->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
}

void CDlgPageConfig::OnBnClickedButtonAgreementView() {
    CDlgRoot* r = root();
    if (!r) return;
    CDlgConfMsg::loadSharedTexts();
    if (r->getMessagePage(999)) r->pushViewPage(VIEW_STATE_CAR_CONFIG, TRUE);
}

void CDlgPageConfig::OnBnClickedButtonRemoveFile() {
    CDlgRoot* r = root();
    if (!r || !r->m_pPageMsgForConfig) return;
    r->m_pPageMsgForConfig->setMessageType(SERVER_ETC_REMOVE_DOWNLOAD, this);
    r->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
}

BOOL CDlgPageConfig::PreTranslateMessage(MSG* msg) {
    // The wheel would scroll a closed list; Tab would walk the controls.
    if (msg->message == WM_MOUSEWHEEL) return TRUE;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_CHAR) && msg->wParam == VK_TAB) {
        return TRUE;
    }
    return CPlaceholderPage::PreTranslateMessage(msg);
}

LRESULT CDlgPageConfig::OnCloseDropdown(WPARAM, LPARAM lParam) {
    if (m_comboLanguage.GetSafeHwnd()) m_comboLanguage.SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(lParam), 0);
    return 0;
}
