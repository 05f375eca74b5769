// The settings page's language-list synchronisation and the region,
// language and brand lists it fills from it.
#include "pages/account/dlg_page_config.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"
#include "webclient/connectivity.h"
#include "webclient/request_param.h"
#include "webclient/response_parser_language.h"
#include "webclient/webpost.h"

#include <algorithm>

namespace {

constexpr int kItemHeight = 32;

}  // namespace

void CDlgPageConfig::checkLanguageCodeFromServer(BOOL force) {
    CString entry;
    entry.Format(L"checkLanguageCodeFromServer(%d)", force ? 1 : 0);
    recordCall(entry);
    CDlgRoot* r = root();
    if (!r) return;
    if (force) {
        m_bSynced = FALSE;
    } else if (m_bSynced) {
        return;
    }
    DWORD flags = 0;
    if (!isInternetConnected(flags)) {
        LOG_WRITE(L"[InternetGetConnectedStateEx Faild : %#010x]", flags);
        if (r->getMessagePage(999)) {
            CString record;
            record.Format(L"[E:%d,T:%s,PS:%d,ED:%s]", 1, CGlobalFunc::getTimeStamp().GetString(), 90, L"1000");
            g_logManager.AddStatistics(record);
            raiseMessage(SERVER_ERROR_NETWORK_FAIL);
        }
        return;
    }
    getLanguageCodeFromServer();
    if (m_nLanguageResult != 200) return;
    m_bSynced = TRUE;
    m_bServerList = TRUE;
    fillLanguageCombo();
    const int language = m_vecLanguageIds.empty() ? CRegSetting::getLanguage()
                                                  : idAtSelection(m_comboLanguage, m_vecLanguageIds);
    m_nSavedLanguage = m_nCurLanguage = language;
    fillRegionCombo();
    const int region = m_vecRegionIds.empty() ? -1 : idAtSelection(m_comboRegion, m_vecRegionIds);
    m_nSavedRegion = m_nCurRegion = region >= 0 ? region : CRegSetting::getRegion();
    g_nCurrentRegion = m_nCurRegion;
}

void CDlgPageConfig::getLanguageCodeFromServer() {
    if (!frame()) return;
    RequestParamLanguage param;
    param.setParam2(CWebPOST::EncryptValue(getRegionCode(CRegSetting::getRegion())));
    param.setParam3(CWebPOST::EncryptValue(CRegSetting::getClientGUID()));
    const CString host = getServerHost(API_GET_LANGUAGE);
    const CString path = getApiPath(API_GET_LANGUAGE);
    CString reply;
    {
        CWebPOST post;
        reply = post.GetAvailableLanguageCode(host, path, 443, param, TRUE);
    }
    const CString text = withFallbackLines(reply);
    ResponseParserLanguage parser(-1, 2, &m_languageTable);
    if (!parser.parse(text)) return;
    m_nLanguageResult = parser.getResultCode();
    const CString stamp = CGlobalFunc::getTimeStamp();
    CString record;
    if (m_nLanguageResult == 200) {
        LOG_WRITE(L"[DEBUG_14_LANGUAGE][Language Sync Complete.]");
        record.Format(L"[D:%d,T:%s]", 14, stamp.GetString());
        g_logManager.AddStatistics(record);
    } else if (m_nLanguageResult == 500) {
        LOG_WRITE(L"[ERR_13_LANGUAGE_UNKNOWN][Language Sync Fail.][requestRegionCode : %s ErrorCode : %d]",
                  param.m_strRegion.GetString(), 500);
        record.Format(L"[D:%d,T:%s,ED:500]", 13, stamp.GetString());
        g_logManager.AddStatistics(record);
        if (root() && root()->getMessagePage(999)) raiseMessage(SERVER_ERROR_LANGUAGE_UNKNOWN);
    } else {
        LOG_WRITE(L"[ERR_2_LANGUAGE_REGION][Language Sync Fail.][requestRegionCode : %s ErrorCode : %d]",
                  param.m_strRegion.GetString(), m_nLanguageResult);
        record.Format(L"[D:%d,T:%s,PS:90,ED:%d,FP:%s/%s]", 2, stamp.GetString(), m_nLanguageResult, host.GetString(),
                      path.GetString());
        g_logManager.AddStatistics(record);
    }
}

void CDlgPageConfig::fillLanguageCombo() {
    if (!m_comboLanguage.GetSafeHwnd()) return;
    if (!m_vecLanguageIds.empty()) m_nCurLanguage = idAtSelection(m_comboLanguage, m_vecLanguageIds);
    m_comboLanguage.resetContent();
    m_comboLanguage.clearImages();
    m_vecLanguageIds.clear();
    int region = getSelectedRegion();
    if (region < 0) region = REGION_KR;
    for (const ComboEntry& e : languageEntries(m_languageTable, m_bSynced != FALSE, region, CRegSetting::getLanguage())) {
        const CString name = loadText(e.textId);
        if (name.IsEmpty()) continue;
        m_comboLanguage.addString(name);
        m_vecLanguageIds.push_back(e.id);
    }
    for (int i = 0; i < m_comboLanguage.GetCount(); ++i) m_comboLanguage.SetItemHeight(i, kItemHeight);
    selectLanguageItem(m_nCurLanguage);
    const int corp = getSelectedBrand();
    if (corp >= 0 && m_bCorpTouched) m_nCurCorp = corp;
}

void CDlgPageConfig::fillRegionCombo() {
    if (!m_comboRegion.GetSafeHwnd()) return;
    if (!m_vecRegionIds.empty()) {
        // A list without the current region shows its first entry; that
        // entry was never chosen and must not become the region.
        const bool listed = std::find(m_vecRegionIds.begin(), m_vecRegionIds.end(), m_nCurRegion) != m_vecRegionIds.end();
        if (listed) m_nCurRegion = idAtSelection(m_comboRegion, m_vecRegionIds);
        g_nCurrentRegion = m_nCurRegion;
    }
    m_comboRegion.resetContent();
    m_comboRegion.clearImages();
    m_vecRegionIds.clear();
    for (const ComboEntry& e : regionEntries(m_languageTable, m_bServerList != FALSE, CRegSetting::getRegion())) {
        const CString name = loadText(e.textId);
        if (name.IsEmpty()) continue;
        m_comboRegion.addString(name);
        m_vecRegionIds.push_back(e.id);
    }
    for (int i = 0; i < m_comboRegion.GetCount(); ++i) m_comboRegion.SetItemHeight(i, kItemHeight);
    selectRegionItem(m_nCurRegion);
}

void CDlgPageConfig::fillBrandCombo() {
    if (!m_comboBrand.GetSafeHwnd()) return;
    m_comboBrand.resetContent();
    m_comboBrand.clearImages();
    m_vecCorpIds.clear();
    for (const ComboEntry& e : brandEntries(m_nCurRegion)) {
        m_comboBrand.addString(loadText(e.textId));
        m_vecCorpIds.push_back(e.id);
    }
    for (int i = 0; i < m_comboBrand.GetCount(); ++i) m_comboBrand.SetItemHeight(i, kItemHeight);
    if (!m_bCorpTouched) m_nCurCorp = CRegSetting::getLastUserCorp();
    selectBrandItem(m_nCurCorp);
}

void CDlgPageConfig::OnCbnDropdownLanguage() {
    CDlgRoot* r = root();
    if (m_nLanguageResult == 200 || m_bNoticeShown || !r) return;
    CDlgPageMessage* page = r->getMessagePage(999);
    if (!page) return;
    page->setMessageType(SERVER_ERROR_LANGUAGE_FAIL, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    PostMessage(UM_CLOSE_DROPDOWN, 0, 0);
}
