// The message page's content: the texts of the configured type through the
// language manager, the extra controls each type uses, the button fonts and
// every refresh's fixed placement.
#include "shell/dlg_page_message.h"
#include "ui/path_text.h"

#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "shell/dlg_root.h"
#include "shell/messages/guide_url.h"
#include "shell/messages/message_apply.h"
#include "shell/messages/message_documents.h"
#include "shell/messages/message_layout.h"
#include "ui/base_helpers.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "webclient/api_endpoints.h"

#include <richedit.h>

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF FOLDER_TEXT = 0xB1AAA4;
constexpr COLORREF FOLDER_ROW_TEXT = 0x69635D;
constexpr int IDB_OPEN_FOLDER = 468;
constexpr int TEXT_YES = 12493;
constexpr int TEXT_NO = 12494;

CString plainText(int id) {
    CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
    CDLang::DScript script;
    CDLang::parseTags(text, script, FALSE);
    return text;
}

void setWindowFont(CWnd& window, int pixelSize) {
    if (!window.GetSafeHwnd()) return;
    if (CFont* font = CFontCache::getFont(pixelSize)) {
        window.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
    }
}

// The page's own CDLang stands in when a test runs the page under a root
// that is not the shell's.
CDLang& fallbackLang() {
    static CDLang lang;
    return lang;
}

}  // namespace

msg::MessageContext CDlgPageMessage::textContext() const {
    msg::MessageContext c;
    c.language = CRegSetting::getLanguage();
    c.region = CRegSetting::getRegion();
    c.lastBrand = CRegSetting::getLastUserCorp();
    c.params = m_mapParam;
    c.messageNumber = g_strMessageNumber;
    c.dataPath = CRegSetting::getDataPath();
    c.text = plainText;
    c.configVariant = isConfigVariant();
    CDlgRoot* r = root();
    IShellFrame* frame = r ? r->m_pMainFrame : nullptr;
    c.mediumType = [frame]() -> CString {
        InfInfo* entry = frame ? frame->currentEntry() : nullptr;
        return entry ? entry->getMediaType() : CString();
    };
    return c;
}

BOOL CDlgPageMessage::loadDocument(CRichEditCtrlEx* box, const CString& path) {
    if (!box || !box->GetSafeHwnd()) return FALSE;
    // The documents sit in the page's white frames.
    box->SendMessage(EM_SETBKGNDCOLOR, 0, WHITE);
    if (path.IsEmpty() || !box->loadRtfFile(path)) {
        box->SetWindowText(L"");
        return FALSE;
    }
    return TRUE;
}

CString CDlgPageMessage::getResourceRtfFile() {
    if (!m_pRichText1) return CString();
    const char* function = isConfigVariant() ? "CDlgPageMessageForConfig::getResourceRtfFile"
                                             : "CDlgPageMessage::getResourceRtfFile";
    return msg::writeLicenceFile(AfxGetResourceHandle(), CGlobalFunc::getAppDataPath(), function);
}

CString CDlgPageMessage::getGuideUrl(int kind) {
    CDlgRoot* r = root();
    InfInfo* entry = r && r->m_pMainFrame ? r->m_pMainFrame->currentEntry() : nullptr;
    int platform = entry ? entry->getDeviceType() : -1;
    int brand = CRegSetting::getLastUserCorp();
    CString url = msg::getGuideUrl(kind, CRegSetting::getRegion(), CRegSetting::getLanguage(), brand, platform);
    if (kind == msg::kGuideUpdate && brand == CORP_LV) m_strUpdateGuideUrl = url;
    return url;
}

CWnd* CDlgPageMessage::controlOf(int id) {
    switch (id) {
        case msg::kHeading: return &m_staticAlert;
        case msg::kTitle: return &m_staticTitle1;
        case msg::kSubtitle: return &m_staticTitle2;
        case msg::kText1: return &m_staticText[0];
        case msg::kText2: return &m_staticText[1];
        case msg::kText3: return &m_staticText[2];
        case msg::kDetail1: return &m_staticSubText1;
        case msg::kDetail2: return &m_staticSubText2;
        case msg::kLink: return &m_btnLink;
        case msg::kCheck: return &m_checkBackup;
        case msg::kOk: return &m_btnOk;
        case msg::kCancel: return &m_btnCancel;
        case msg::kRadioYes1: return &m_radio[0];
        case msg::kRadioNo1: return &m_radio[1];
        case msg::kRadioYes2: return &m_radio[2];
        case msg::kRadioNo2: return &m_radio[3];
        case msg::kFolderField: return &m_editFolderFrame;
        case msg::kFolderPath: return &m_editFolderPath;
        case msg::kChangeFolder: return &m_btnChangeFolder;
        default: return GetDlgItem(id);
    }
}

void CDlgPageMessage::refresh() {
    buildTexts();
    updateFonts();
    layoutControls();
    if (m_editFolderPath.GetSafeHwnd() && m_bFolderPathSet) showFolderPath(m_strFolderPath);
    BOOL leftToRight = CRegSetting::getLanguage() != LANGUAGE_AR;
    if (m_pRichText1) m_pRichText1->setLeftToRight(leftToRight);
    if (m_pRichText2) m_pRichText2->setLeftToRight(leftToRight);
}

void CDlgPageMessage::showFolderPath(const CString& path) {
    m_strFolderPath = path;
    m_bFolderPathSet = true;
    m_editFolderPath.setText(path, TRUE);
    CString shown = fitPathText(&m_editFolderPath);
    m_editFolderPath.setText(shown, TRUE);
    m_editFolderPath.setHintText(shown);
}

void CDlgPageMessage::updateFonts() {
    if (!m_btnOk.GetSafeHwnd()) return;
    int okLength = m_btnOk.m_strCaption.GetLength();
    int cancelLength = m_btnCancel.m_strCaption.GetLength();
    for (const auto& [control, size] : msg::buttonFontSizes(okLength, cancelLength, isConfigVariant())) {
        if (CWnd* window = controlOf(control)) setWindowFont(*window, size);
    }
}

void CDlgPageMessage::layoutControls() {
    if (!m_btnOk.GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    if (m_editFolderPath.GetSafeHwnd() && m_editFolderFrame.GetSafeHwnd()) {
        // The path box sits over the field's frame, so it follows it.
        m_editFolderPath.SetWindowPos(&m_editFolderFrame, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    bool cancelUsed = m_mapUseCtrl[&m_btnCancel] != 0;
    int pathLength = CRegSetting::getDataPath().GetLength();
    for (const msg::PlacedControl& placed :
         msg::refreshLayout(m_eMessageType, cancelUsed, pathLength, client.Width(), client.Height())) {
        CWnd* window = controlOf(placed.control);
        if (!window || !window->GetSafeHwnd()) continue;
        CDLang::moveWnd(this, window, placed.box.x, placed.box.y, placed.box.w, placed.box.h, 2);
    }
    if (m_eMessageType == SERVER_ETC_FIRST_OPEN && m_editFolderPath.GetSafeHwnd()) {
        m_editFolderPath.modifyAlignStyle(ES_LEFT | ES_RIGHT, ES_CENTER);
    }
}

// Builds the configured type's texts; runs at every refresh and at every
// showing, so documents are loaded again and the licence file rewritten.
void CDlgPageMessage::buildTexts() {
    if (!m_btnOk.GetSafeHwnd()) return;
    const bool defaults = m_bConsentDefaultsDue;
    m_bConsentDefaultsDue = false;
    CDlgRoot* r = root();
    const int type = m_eMessageType;
    msg::MessageContext context = textContext();

    if (type == SERVER_ERROR_ETC_EULA) {
        context.termsLoaded =
            loadDocument(m_pRichText1, msg::termsFilePath(CGlobalFunc::getModuleDirectory(), context.language)) != FALSE;
        // The builder shows the replacement text instead; the box stays hidden.
        if (!context.termsLoaded && m_pRichText1) m_pRichText1->ShowWindow(SW_HIDE);
    }
    msg::MessageContent content;
    try {
        content = msg::buildTexts(type, context);
    } catch (...) {
        // The medium type of 1016 and 1018 is read guarded; anything else
        // thrown here leaves the page with its header band only.
        LOG_WRITE(L"[ERR] message texts of %d not built", type);
    }

    if (content.startWaiting) {
        showWaiting(1);
    } else if (m_bWaiting) {
        // The waiting message is the only one that animates; a message that
        // follows it on this page must not show the animation over its texts.
        showWaiting(0);
    }
    if (content.folderBox == msg::FolderBox::Path && type == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD) {
        layoutControls();
    }

    msg::TextTargets targets;
    targets.window = [this](int id) -> HWND {
        CWnd* window = controlOf(id);
        return window ? window->GetSafeHwnd() : nullptr;
    };
    targets.setValue = [this](int id, const CString& value) {
        CWnd* window = controlOf(id);
        if (!window || !window->GetSafeHwnd()) return;
        window->SetWindowText(value);
        if (id == msg::kOk || id == msg::kCancel) {
            static_cast<CPngButton*>(window)->setText(value, 16, 400);
        } else if (id == msg::kLink || id == msg::kCheck) {
            static_cast<CPngWithTextButton*>(window)->setCaption(value);
        }
    };
    // Controls not used keep no text of an earlier message.
    for (CStaticEx* text : {&m_staticTitle1, &m_staticTitle2, &m_staticText[0], &m_staticText[1], &m_staticText[2],
                            &m_staticSubText1, &m_staticSubText2}) {
        if (text->GetSafeHwnd()) text->SetWindowText(L"");
    }
    if (m_staticAlert.GetSafeHwnd()) m_staticAlert.SetWindowText(L"");
    msg::applyMessageTexts(r ? r->m_lang : fallbackLang(), langDialogId(), content, targets);
    for (const auto& entry : content.controls) {
        if (entry.first == msg::kHeading) continue;
        if (CWnd* window = controlOf(entry.first)) m_mapUseCtrl[window] = 1;
    }

    if (content.okCancelFontSize) {
        setWindowFont(m_btnOk, content.okCancelFontSize);
        setWindowFont(m_btnCancel, content.okCancelFontSize);
    }
    if (content.uses(msg::kLink)) {
        if (content.linkIconCaption) {
            m_btnLink.setText(plainText(content.linkIconCaption), 16, FALSE, 6);
            m_btnLink.setEnable(TRUE);
            if (content.linkFlag) m_btnLink.Invalidate(TRUE);
        }
        m_btnLink.setUrl(getWebPageUrl(WEB_PAGE_CS_CENTER));
    }

    if (content.folderBox == msg::FolderBox::Path) {
        showFolderPath(content.folderPath);
        m_editFolderPath.setBorderColor(WHITE);
        m_editFolderPath.SendMessage(EM_SETLIMITTEXT, 500, 0);
        m_editFolderPath.SetReadOnly(TRUE);
        int brand = CRegSetting::getLastUserCorp();
        int size = content.folderFontSize ? content.folderFontSize : 16;
        if (CFont* font = CFontCache::getCorpFont(brand, size)) {
            m_editFolderPath.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
        }
        m_editFolderPath.setTextColor(FOLDER_TEXT);
        if (content.folderCentred) {
            m_editFolderPath.modifyAlignStyle(ES_LEFT | ES_RIGHT, ES_CENTER);
        } else if (isConfigVariant()) {
            m_editFolderPath.modifyAlignStyle(ES_CENTER | ES_RIGHT, ES_LEFT);
        }
    } else if (content.folderBox == msg::FolderBox::Row) {
        CString path = content.folderPath;
        path.Replace(L'/', L'\\');
        showFolderPath(path);
        m_editFolderPath.modifyAlignStyle(ES_LEFT | ES_RIGHT, ES_CENTER);
        m_editFolderPath.setColors(WHITE, FOLDER_ROW_TEXT);
        m_editFolderPath.setBorderColor(WHITE);
        m_editFolderPath.SendMessage(EM_SETLIMITTEXT, 255, 0);
        m_editFolderPath.SetReadOnly(TRUE);
        if (CFont* font = CFontCache::getCorpFont(CORP_TS, 16)) {
            m_editFolderPath.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
        }
        m_editFolderPath.setTextColor(FOLDER_ROW_TEXT);
        m_btnChangeFolder.setImage(398);
        m_btnChangeFolder.setText(plainText(content.changeFolderCaption), 16, 400);
        // The field is only the row's frame: the path box shows the text.
        m_editFolderFrame.SetWindowText(L"");
        m_editFolderFrame.setHintText(CString());
        m_editFolderFrame.ShowWindow(SW_SHOW);
        m_btnChangeFolder.ShowWindow(SW_SHOW);
    } else {
        m_bFolderPathSet = false;
    }
    if (content.openFolderButton) {
        m_btnChangeFolder.setText(plainText(content.changeFolderCaption), 16, 400);
        m_btnChangeFolder.setImage(IDB_OPEN_FOLDER);
        m_btnChangeFolder.ShowWindow(SW_SHOW);
        CRect client;
        GetClientRect(&client);
        msg::ButtonBoxes boxes = msg::openFolderBoxes(client.Width(), client.Height());
        CDLang::moveWnd(this, &m_btnOk, boxes.ok.x, boxes.ok.y, boxes.ok.w, boxes.ok.h, 2);
        CDLang::moveWnd(this, &m_btnChangeFolder, boxes.cancel.x, boxes.cancel.y, boxes.cancel.w, boxes.cancel.h, 2);
    } else if (type != SERVER_ETC_SAVE_TO_HDD) {
        m_btnChangeFolder.setImage(398);
    }

    switch (content.document) {
        case msg::Document::Licence:
            for (CPngWithTextButton& radio : m_radio) radio.ShowWindow(SW_HIDE);
            loadDocument(m_pRichText1, getResourceRtfFile());
            break;
        case msg::Document::Consent: {
            // Beside the running program, like every other file it ships.
            CString install = CGlobalFunc::getModuleDirectory();
            loadDocument(m_pRichText1, msg::consentFilePath(install, context.region, 1));
            loadDocument(m_pRichText2, msg::consentFilePath(install, context.region, 2));
            break;
        }
        default:
            break;
    }
    if (content.consentDefaults) {
        // A refresh (language, showing again after the settings overlay)
        // keeps the user's answers; only a new question starts at "yes".
        for (int i = 0; i < 4; ++i) {
            m_radio[i].setText(plainText(i % 2 == 0 ? TEXT_YES : TEXT_NO), 16, FALSE, 1);
            if (defaults) m_radio[i].m_bChecked = i % 2 == 0;
            m_radio[i].Invalidate(FALSE);
        }
        if (defaults) {
            g_nSendVcrmDesc1 = 1;
            g_nSendVcrmDesc2 = 1;
        }
        if (r) {
            r->enableTopButton(0, r, TRUE);
            r->enableTopButton(2, r, TRUE);
        }
    }
    if (content.clearDestIsDrive && r) r->m_bDestIsDrive = 0;
    for (COLORREF& colour : m_btnCancel.m_colors) colour = WHITE;
}
