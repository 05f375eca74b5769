// The settings page's look: controls, texts, fonts, layout and the white
// background.
#include "pages/account/dlg_page_config.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kText = 0x202020;
constexpr COLORREF kNote = 0xB1AAA4;
constexpr COLORREF kMemberRadio = 0x69635D;
constexpr COLORREF kGuestRadio = 0xC5C3C2;
constexpr COLORREF kDocumentButton = 0x7D6C5E;
constexpr int kDialogId = VIEW_STATE_CONFIG;

// Rows below the lists (left column x, page width 900).
constexpr int kLeft = 50;
// The folder note takes up to three lines of 24 pixels.
constexpr int kFolderY = 170;
constexpr int kFolderNoteHeight = 72;
constexpr int kSeparatorY = 276;
constexpr int kRemoveY = 292;
constexpr int kDocumentsY = 356;
constexpr int kAutoY = 420;
constexpr int kBtIdY = 478;
constexpr int kButtonsY = 520;

void setFont(CWnd& w, int size) {
    if (!w.GetSafeHwnd()) return;
    if (CFont* font = CFontCache::getFont(size)) w.SetFont(font, FALSE);
}

}  // namespace

void CDlgPageConfig::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDC_STATIC_CORP, m_staticCorp);
    DDX_Control(dx, IDC_STATIC_BRAND, m_staticBrand);
    DDX_Control(dx, IDC_STATIC_LANGUAGE, m_staticLanguage);
    DDX_Control(dx, IDC_COMBO_REGION, m_comboRegion);
    DDX_Control(dx, IDC_COMBO_BRAND, m_comboBrand);
    DDX_Control(dx, IDC_COMBO_LANGUAGE, m_comboLanguage);
    DDX_Control(dx, IDC_STATIC_FOLDER, m_staticFolder);
    DDX_Control(dx, IDC_STATIC_FOLDER_COMMENT, m_staticFolderComment);
    DDX_Control(dx, IDC_EDIT_FOLDER_FRAME, m_editFolderFrame);
    DDX_Control(dx, IDC_EDIT_FOLDER_PATH, m_editFolder);
    DDX_Control(dx, IDC_BUTTON_CHANGE_FOLDER, m_btnChangeFolder);
    DDX_Control(dx, IDC_EDIT_SEPARATOR, m_editSeparator);
    DDX_Control(dx, IDC_STATIC_REMOVE, m_staticRemove);
    DDX_Control(dx, IDC_STATIC_REMOVE_TEXT, m_staticRemoveText);
    DDX_Control(dx, IDC_BUTTON_REMOVE_FILE, m_btnRemove);
    DDX_Control(dx, IDC_BUTTON_LICENSE_VIEW, m_btnLicense);
    DDX_Control(dx, IDC_BUTTON_AGREEMENT_VIEW, m_btnAgreement);
    DDX_Control(dx, IDC_STATIC_AUTO, m_staticAuto);
    DDX_Control(dx, IDC_STATIC_AUTO_COMMENT, m_staticAutoComment);
    DDX_Control(dx, IDC_RADIO_AUTO_YES, m_radioYes);
    DDX_Control(dx, IDC_STATIC_RADIO_YES, m_staticRadioYes);
    DDX_Control(dx, IDC_RADIO_AUTO_NO, m_radioNo);
    DDX_Control(dx, IDC_STATIC_RADIO_NO, m_staticRadioNo);
    DDX_Control(dx, IDC_STATIC_BTID, m_staticBtId);
    DDX_Control(dx, IDC_BUTTON_OK, m_btnOk);
    DDX_Control(dx, IDC_BUTTON_CANCEL, m_btnCancel);
}

void CDlgPageConfig::initControls() {
    if (!m_btnOk.GetSafeHwnd()) return;
    m_btnChangeFolder.setImage(IDB_BUTTON_POPUP);
    m_btnRemove.setImage(IDB_BUTTON_POPUP);
    m_btnLicense.setImage(IDB_BUTTON_DOCUMENT);
    m_btnAgreement.setImage(IDB_BUTTON_DOCUMENT);
    m_btnOk.setImage(okButtonImage(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()));
    m_btnCancel.setImage(IDB_BUTTON_CANCEL_STRIP);
    m_btnCancel.setTextColor(kWhite);
    for (CEditCtrl* e : {&m_editFolder, &m_editSeparator}) {
        e->SetLimitText(255);
        e->SetReadOnly(TRUE);
    }
    m_editSeparator.EnableWindow(FALSE);
    m_editSeparator.setFrameImage(IDB_SEPARATOR_LINE);
    m_editFolderFrame.EnableWindow(FALSE);
    m_editFolderFrame.setFrameImage(IDB_COMBO_FRAME);
    for (CImageCombo* c : {&m_comboRegion, &m_comboBrand, &m_comboLanguage}) {
        c->setArrowImages(IDB_COMBO_FRAME, IDB_COMBO_ARROW);
        c->SetItemHeight(-1, 34);
        c->SendMessage(CB_SETMINVISIBLE, 10);
    }
    m_nSavedRegion = CRegSetting::getRegion();
    selectRegionItem(m_nSavedRegion);
    refreshPage();
    applySignInRule(m_nSavedRegion, CRegSetting::getLastUserCorp());
}

void CDlgPageConfig::refreshTexts() {
    CDlgRoot* r = root();
    if (!r || !m_btnOk.GetSafeHwnd()) return;
    const std::pair<CStaticEx*, int> registered[] = {
        {&m_staticTitle, 12364},  {&m_staticCorp, 12365},   {&m_staticBrand, 12605},  {&m_staticLanguage, 12366},
        {&m_staticFolder, 12367}, {&m_staticFolderComment, 12368}, {&m_staticRemove, 12370},
    };
    for (const auto& [control, id] : registered) r->m_lang.setText(kDialogId, control, id);
    m_staticRemoveText.SetWindowText(loadText(13371));
    m_staticAuto.SetWindowText(loadText(12382));
    m_staticAutoComment.SetWindowText(loadText(12383));
    m_staticRadioYes.SetWindowText(loadText(12384));
    m_staticRadioNo.SetWindowText(loadText(12385));
    m_btnChangeFolder.setText(loadText(12193), 18, 400);
    m_btnRemove.setText(loadText(12372), 18, 400);
    m_btnLicense.setText(loadText(12373), 18, 400);
    m_btnAgreement.setText(loadText(12376), 18, 400);
    m_btnOk.setText(loadText(12380), 24, 400);
    m_btnCancel.setText(loadText(12381), 24, 400);
    m_editSeparator.SetWindowText(L"");
    ShowBTID();
    fillRegionCombo();
    fillLanguageCombo();
    const bool arabic = m_nCurLanguage == LANGUAGE_AR;
    for (CImageCombo* c : {&m_comboRegion, &m_comboBrand, &m_comboLanguage}) c->setLeftToRight(!arabic);
    for (CEditCtrl* e : {&m_editFolder, &m_editFolderFrame, &m_editSeparator}) e->setLanguageAlign(m_nCurLanguage);
    for (CStaticEx* s : {&m_staticTitle, &m_staticCorp, &m_staticBrand, &m_staticLanguage, &m_staticFolder,
                         &m_staticFolderComment, &m_staticRemove, &m_staticRemoveText, &m_staticAuto,
                         &m_staticAutoComment, &m_staticRadioYes, &m_staticRadioNo, &m_staticBtId}) {
        s->m_bLeftToRight = !arabic;
        s->m_bRightAlign = arabic;
        // Right-aligned in the mirrored page.
        s->m_nStyle = arabic ? (s->m_nStyle | 0x4) : (s->m_nStyle & ~0x4);
    }
    fillBrandCombo();
}

void CDlgPageConfig::applyFonts() {
    if (!m_btnOk.GetSafeHwnd()) return;
    m_staticTitle.setFontStyle(24, FALSE);
    m_staticTitle.m_textColor = kText;
    for (CStaticEx* s : {&m_staticCorp, &m_staticBrand, &m_staticLanguage, &m_staticFolder, &m_staticRemove,
                         &m_staticAuto}) {
        s->setFontStyle(18, FALSE);
        s->m_textColor = kText;
    }
    m_staticFolderComment.setFontStyle(15, FALSE);
    m_staticFolderComment.m_textColor = kNote;
    m_staticAutoComment.setFontStyle(16, FALSE);
    m_staticAutoComment.m_textColor = kNote;
    m_staticRemoveText.setFontStyle(16, FALSE);
    m_staticRemoveText.m_textColor = kText;
    m_staticBtId.setFontStyle(16, FALSE);
    m_staticBtId.m_textColor = kText;
    for (CStaticEx* s : {&m_staticRadioYes, &m_staticRadioNo}) s->setFontStyle(16, FALSE);
    if (CFont* font = CFontCache::getCorpFont(CRegSetting::getLastUserCorp(), 16)) m_editFolder.SetFont(font, FALSE);
    m_editFolder.setTextColor(kText);
    for (CPngButton* b : {&m_btnChangeFolder, &m_btnRemove, &m_btnLicense, &m_btnAgreement}) b->m_nCaptionSize = 18;
    for (CPngButton* b : {&m_btnLicense, &m_btnAgreement}) b->setTextColor(kDocumentButton);
    for (CPngButton* b : {&m_btnOk, &m_btnCancel}) b->m_nCaptionSize = 24;
    for (CWnd* w : std::initializer_list<CWnd*>{&m_comboRegion, &m_comboBrand, &m_comboLanguage}) setFont(*w, 18);
    setRadioLook(m_nUserType == USER_TYPE_MEMBER);
}

void CDlgPageConfig::setRadioLook(BOOL enabled) {
    const COLORREF colour = enabled ? kMemberRadio : kGuestRadio;
    for (CPngWithTextButton* b : {&m_radioYes, &m_radioNo}) {
        b->m_textColor = colour;
        if (b->GetSafeHwnd()) {
            b->setText(CString(), 16, FALSE, 1);
            b->setEnable(enabled);
        }
    }
    for (CStaticEx* s : {&m_staticRadioYes, &m_staticRadioNo}) {
        s->m_textColor = colour;
        if (s->GetSafeHwnd()) s->Invalidate(FALSE);
    }
}

void CDlgPageConfig::layoutControls() {
    if (!m_btnOk.GetSafeHwnd()) return;
    auto place = [this](CWnd& w, int x, int y, int cx, int cy) { CDLang::moveWnd(this, &w, x, y, cx, cy, 2); };
    place(m_staticTitle, kLeft, 18, 800, 34);
    if (m_nCurRegion == REGION_KR) {
        place(m_staticCorp, 50, 69, 395, 28);
        place(m_comboRegion, 50, 102, 395, 40);
        place(m_staticLanguage, 455, 69, 395, 28);
        place(m_comboLanguage, 455, 102, 395, 40);
    } else {
        place(m_staticCorp, 50, 69, 260, 28);
        place(m_comboRegion, 50, 102, 260, 40);
        place(m_staticBrand, 320, 69, 260, 28);
        place(m_comboBrand, 320, 102, 260, 40);
        place(m_staticLanguage, 590, 69, 260, 28);
        place(m_comboLanguage, 590, 102, 260, 40);
    }
    place(m_staticFolder, kLeft, kFolderY, 200, 26);
    place(m_staticFolderComment, kLeft, kFolderY + 28, 200, kFolderNoteHeight);
    place(m_editFolderFrame, 260, kFolderY, 440, 44);
    place(m_editFolder, 272, kFolderY + 12, 416, 22);
    place(m_btnChangeFolder, 710, kFolderY + 2, 140, 40);
    place(m_editSeparator, kLeft, kSeparatorY, 800, 3);
    place(m_staticRemove, kLeft, kRemoveY, 200, 26);
    place(m_staticRemoveText, 260, kRemoveY, 440, 48);
    place(m_btnRemove, 710, kRemoveY + 2, 140, 40);
    place(m_btnLicense, kLeft, kDocumentsY, 200, 44);
    place(m_btnAgreement, 270, kDocumentsY, 200, 44);
    place(m_staticAuto, kLeft, kAutoY, 460, 26);
    place(m_staticAutoComment, kLeft, kAutoY + 28, 500, 24);
    place(m_radioYes, 570, kAutoY + 2, 22, 22);
    place(m_staticRadioYes, 596, kAutoY, 110, 26);
    place(m_radioNo, 712, kAutoY + 2, 22, 22);
    place(m_staticRadioNo, 738, kAutoY, 110, 26);
    place(m_staticBtId, kLeft, kBtIdY, 600, 24);
    place(m_btnOk, 245, kButtonsY, 200, 50);
    place(m_btnCancel, 455, kButtonsY, 200, 50);
    if (m_editFolder.GetSafeHwnd() && !m_editFolder.m_strHint.IsEmpty()) showFittedPath();
}

void CDlgPageConfig::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kWhite);
    canvas.copyTo(paint.GetSafeHdc(), 0, 0);
}

BOOL CDlgPageConfig::OnEraseBkgnd(CDC* dc) {
    if (!dc) return TRUE;
    CRect client;
    GetClientRect(&client);
    HBRUSH brush = ::CreateSolidBrush(kWhite);
    ::FillRect(dc->GetSafeHdc(), &client, brush);
    ::DeleteObject(brush);
    return TRUE;
}
