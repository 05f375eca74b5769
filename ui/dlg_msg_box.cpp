#include "ui/dlg_msg_box.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/lang_library.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/text_ids.h"
#include "webclient/api_endpoints.h"

namespace {

constexpr int MIRROR_ARABIC = 2;

const wchar_t* typeName(int type) {
    switch (type) {
        case POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL: return L"POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL";
        case POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL: return L"POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL";
        case POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE: return L"POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE";
        default: return L"";
    }
}

CString joinTexts(const std::vector<int>& ids) {
    CString text;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i) text += L"\n";
        CString part = CLangLibrary::loadLangString(ids[i]);
        if (ids[i] == IDS_LIVEUPDATE_FILES_DAMAGED) part.Replace(L"[#Update program name#] ", L"Kestrune ");
        text += part;
    }
    return text;
}

// The registry getter reads an absent or unknown brand as TS; the
// customer-centre address needs to know whether one was really recorded.
bool lastUserCorpRecorded() {
    CWinApp* app = AfxGetApp();
    if (!app) return false;
    CString section;
    section.Format(CRegSetting::getUserKeys()[REG_USER_SECTION].GetString(),
                   getRegionCode(CRegSetting::getRegion()).GetString());
    CString word = app->GetProfileString(section, CRegSetting::getUserKeys()[REG_USER_LAST_USER_CORP], L"");
    return getCorpIdByName(word) != CORP_NONE;
}

// The link's underlined font of the current face, filed in the cache of
// underlined fonts the first time it is asked for.
CFont* underlinedFont(int pixelSize) {
    if (CFont* found = CFontCache::findFont(CFontCache::CACHE_UNDERLINE, g_strFontFace, pixelSize)) return found;
    CFontCache::SizeMap* sizes = CFontCache::getFaceMap(CFontCache::CACHE_UNDERLINE, g_strFontFace);
    if (!sizes) return nullptr;
    LOGFONTW lf{};
    lf.lfHeight = -pixelSize;
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = 1;
    wcsncpy(lf.lfFaceName, g_strFontFace.GetString(), LF_FACESIZE - 1);
    CFont* font = new CFont;
    if (!font->CreateFontIndirect(&lf)) {
        delete font;
        return nullptr;
    }
    (*sizes)[pixelSize] = font;
    return font;
}

// Stands in when the face's font cannot be had; made once for the run.
CFont* fallbackButtonFont() {
    static CFont font;
    if (!font.GetSafeHandle()) {
        font.CreateFont(16, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Courier New");
    }
    return &font;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgMsgBox, CBasePopupDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_BUTTON_OK, &CDlgMsgBox::OnBnClickedButtonOk)
    ON_BN_CLICKED(IDC_BUTTON_CANCEL, &CDlgMsgBox::OnBnClickedButtonCancel)
END_MESSAGE_MAP()

CDlgMsgBox::CDlgMsgBox(CWnd* parent) : CBasePopupDialog(IDD_MSG_BOX, parent) {}

void CDlgMsgBox::setMessage(const CString& title, const CString& text) {
    setTitle(title);
    m_strMessage = text;
    m_bTyped = FALSE;
}

void CDlgMsgBox::setWindowTitle(const CString& text) { m_strWindowTitle = text; }

void CDlgMsgBox::DoDataExchange(CDataExchange* dx) {
    CBasePopupDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDC_STATIC_MESSAGE, m_staticMessage);
    DDX_Control(dx, IDC_STATIC_LINK, m_btnLink);
    DDX_Control(dx, IDC_BUTTON_OK, m_btnOk);
    DDX_Control(dx, IDC_BUTTON_CANCEL, m_btnCancel);
}

BOOL CDlgMsgBox::OnInitDialog() {
    CBasePopupDialog::OnInitDialog();
    initControls();
    CenterWindow();
    if (!m_strWindowTitle.IsEmpty()) SetWindowText(m_strWindowTitle);
    return TRUE;
}

void CDlgMsgBox::initControls() {
    struct {
        CPngButton& button;
        int text;
    } buttons[] = {{m_btnOk, IDS_OK}, {m_btnCancel, IDS_CANCEL}};
    for (auto& b : buttons) {
        b.button.setImage(IDB_BUTTON_POPUP);
        b.button.updateSize();
        CString caption = CLangLibrary::loadLangString(b.text);
        b.button.setText(caption, 16, FW_NORMAL);
        b.button.SetWindowText(caption);
    }

    m_btnLink.setText(CLangLibrary::loadLangString(IDS_CUSTOMER_CENTRE), 14, FALSE, 2);
    m_btnLink.setUrl(getWebPageUrl(WEB_PAGE_CS_CENTER));
    m_btnLink.m_bgColor = 0xFFFFFF;
    if (CFont* link = underlinedFont(14)) m_btnLink.SetFont(link);

    for (CWnd* w : {static_cast<CWnd*>(&m_staticTitle), static_cast<CWnd*>(&m_staticMessage),
                    static_cast<CWnd*>(&m_btnLink)}) {
        w->ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
    }
    m_staticTitle.m_nStyle = 0x2;
    m_staticTitle.setFontStyle(16, TRUE);
    m_staticTitle.m_bAutoLineHeight = FALSE;
    m_staticTitle.m_nLineHeight = 24;
    m_staticMessage.m_nStyle = 0x2;
    m_staticMessage.setFontStyle(14, FALSE);
    m_staticMessage.m_bAutoLineHeight = FALSE;
    m_staticMessage.m_nLineHeight = 18;

    CFont* font = CFontCache::getFont(16);
    if (!font) font = fallbackButtonFont();
    m_btnOk.SetFont(font);
    m_btnCancel.SetFont(font);

    m_staticTitle.ShowWindow(SW_HIDE);
    m_staticMessage.ShowWindow(SW_HIDE);
    m_btnLink.ShowWindow(SW_HIDE);
    m_btnLink.setEnable(FALSE);
    m_btnLink.Invalidate(TRUE);
    m_btnLink.EnableWindow(FALSE);

    refreshControls();
}

void CDlgMsgBox::refreshControls() {
    if (!m_bTyped) {
        applyLayout(msg_box_layout::plain(m_nType));
        return;
    }
    if (m_nType < 0 || m_nType > 2) return;
    LOG_WRITE(L"Message Popup !! [%s]", typeName(m_nType));
    if (m_nType == POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL) {
        if (!lastUserCorpRecorded()) CRegSetting::setLastUserCorp(CORP_DR);
    }
    applyLayout(msg_box_layout::typed(m_nType, CRegSetting::getLanguage()));
}

void CDlgMsgBox::applyLayout(const msg_box_layout::Layout& l) {
    if (!l.prepared) return;
    if (l.popupTitleText) setTitle(CLangLibrary::loadLangString(l.popupTitleText));
    SetWindowPos(nullptr, 0, 0, l.width, l.height, SWP_NOMOVE | SWP_NOZORDER);

    m_staticTitle.m_nStyle = static_cast<int>(l.titleAlign);
    m_staticTitle.SetWindowText(m_bTyped ? joinTexts(l.titleTexts) : m_strMessage);
    m_staticMessage.SetWindowText(joinTexts(l.messageTexts));
    if (l.okText) m_btnOk.setText(CLangLibrary::loadLangString(l.okText), 16, FW_NORMAL);
    if (l.cancelText) m_btnCancel.setText(CLangLibrary::loadLangString(l.cancelText), 16, FW_NORMAL);

    if (m_bTyped && m_nType != POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE) {
        m_btnLink.setEnable(l.linkEnabled);
        m_btnLink.EnableWindow(l.linkEnabled);
        m_btnLink.setUrl(l.linkEnabled ? getWebPageUrl(WEB_PAGE_CS_CENTER) : CString());
        if (l.linkEnabled) m_btnLink.SetWindowText(CLangLibrary::loadLangString(IDS_LIVEUPDATE_LINK));
    }

    struct {
        CWnd& control;
        const msg_box_layout::Place& place;
    } rows[] = {{m_staticTitle, l.title}, {m_staticMessage, l.message}, {m_btnLink, l.link},
                {m_btnOk, l.ok},         {m_btnCancel, l.cancel}};
    for (auto& r : rows) {
        if (!r.control.GetSafeHwnd()) continue;
        if (r.place.shown) {
            CGlobalFunc::moveChildWindow(m_hWnd, r.control.GetSafeHwnd(), r.place.x, r.place.y, r.place.width,
                                         r.place.height, MIRROR_ARABIC);
        }
        r.control.ShowWindow(r.place.shown ? SW_SHOW : SW_HIDE);
    }
    Invalidate(FALSE);
}

void CDlgMsgBox::OnPaint() {
    CPaintDC dc(this);
    drawBackground(&dc, TRUE);
}

void CDlgMsgBox::OnBnClickedButtonOk() {
    if (m_bTyped && m_nType == POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE) {
        OnOK();
    } else {
        OnCancel();
    }
}

void CDlgMsgBox::OnBnClickedButtonCancel() { OnCancel(); }
