// The message page draws its texts itself from the hidden statics, then
// places the controls that follow what it drew (check box, link, folder row)
// and gives OK the brand's image.
#include "shell/dlg_page_message.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "shell/dlg_root.h"
#include "shell/messages/message_layout.h"
#include "shell/messages/message_painter.h"
#include "shell/messages/message_type_table.h"
#include "ui/base_helpers.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"

#include <algorithm>

namespace {

constexpr COLORREF WHITE = 0xFFFFFF;

CString windowText(CWnd& window) {
    CString text;
    if (window.GetSafeHwnd()) window.GetWindowText(text);
    return text;
}

// Moving a child only when it changed place keeps the paint from asking
// for another paint.
void place(CWnd* parent, CWnd& child, const msg::Box& box, int language) {
    if (!child.GetSafeHwnd()) return;
    CRect client;
    parent->GetClientRect(&client);
    msg::Box target = msg::mirrored(box, client.Width(), language);
    CRect now;
    child.GetWindowRect(&now);
    parent->ScreenToClient(&now);
    if (now.left == target.x && now.top == target.y && now.Width() == target.w && now.Height() == target.h) return;
    CDLang::moveWnd(parent, &child, box.x, box.y, box.w, box.h, 2);
}

// The caption's width as the button draws it (the page's face at 16 pixels);
// the button's own extent measures in the device context's default font,
// which is narrower and clipped the link's caption.
int captionWidth(const CString& caption) {
    if (caption.IsEmpty()) return 0;
    HDC screen = ::GetDC(nullptr);
    int width = 0;
    {
        Gdiplus::Graphics graphics(screen);
        Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
        Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(msg::kCheckLinkFontSize), Gdiplus::FontStyleRegular,
                           Gdiplus::UnitPixel);
        // DrawString adds a sixth of the size at each end: a box that holds
        // only the bare text wraps the caption's last word out of sight.
        const Gdiplus::REAL padding = static_cast<Gdiplus::REAL>(msg::kCheckLinkFontSize) / 3;
        width = static_cast<int>(CGdiFunc::measureText(&graphics, &font, caption).Width + padding + 0.5f);
        if (!CGdiFunc::isSharedFamily(family)) delete family;
    }
    ::ReleaseDC(nullptr, screen);
    return width;
}

// The edit control keeps the alignment it was created with, so a path shown
// centred gets a box just as wide as its text, centred where the line is.
msg::Box fittedToText(CEditCtrl& edit, const msg::Box& line, bool centred) {
    CString text;
    edit.GetWindowText(text);
    HDC dc = ::GetDC(edit.m_hWnd);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(edit.SendMessage(WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &extent);
    if (previous) SelectObject(dc, previous);
    ::ReleaseDC(edit.m_hWnd, dc);
    // Room for the control's margins and caret.
    int width = std::min(line.w, static_cast<int>(extent.cx) + 12);
    return msg::Box{centred ? line.x + (line.w - width) / 2 : line.x, line.y, width, line.h};
}

}  // namespace

BOOL CDlgPageMessage::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    base_helpers::fillSolid(dc->GetSafeHdc(), client, WHITE);
    return TRUE;
}

Gdiplus::Bitmap* CDlgPageMessage::pictureOfType() const {
    const msg::MessageTypeRow* row =
        isConfigVariant() ? msg::findConfigMessageType(m_eMessageType) : msg::findMessageType(m_eMessageType);
    if (!row) return nullptr;
    switch (row->icon) {
        case msg::Icon::Error: return m_pIconError;
        case msg::Icon::Warning: return m_pIconWarning;
        case msg::Icon::Exit: return m_pIconExit;
        case msg::Icon::Medium: return m_pMediumPicture;
        default: return nullptr;
    }
}

void CDlgPageMessage::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const int language = CRegSetting::getLanguage();
    CDlgRoot* r = root();

    msg::PageState state;
    state.type = m_eMessageType;
    state.language = language;
    state.lastBrand = CRegSetting::getLastUserCorp();
    state.rootBrand = r ? r->m_nCorp : 0;
    state.face = g_strFontFace;
    const auto used = [this](CWnd& control) {
        auto found = m_mapUseCtrl.find(&control);
        return found != m_mapUseCtrl.end() && found->second ? windowText(control) : CString();
    };
    state.texts.heading = windowText(m_staticAlert);
    state.texts.title = used(m_staticTitle1);
    state.texts.subtitle = used(m_staticTitle2);
    const bool consent = m_eMessageType == SERVER_ETC_DATA_CONSENT;
    // The consent message's headings are its documents' titles; its body
    // texts are not drawn.
    if (consent) {
        state.texts.title = windowText(m_staticTitle1);
        state.texts.subtitle = windowText(m_staticTitle2);
    } else {
        for (int i = 0; i < 3; ++i) state.texts.text[i] = used(m_staticText[i]);
    }
    // The folder row takes body text 1's place on 1012.
    if (m_eMessageType == SERVER_ETC_SAVE_TO_HDD) state.texts.text[0].Empty();
    state.texts.detail[0] = used(m_staticSubText1);
    state.texts.detail[1] = used(m_staticSubText2);
    state.picture = pictureOfType();
    state.docImage = m_pDocImage;

    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    msg::PaintResult painted = msg::paintMessagePage(canvas.dc(), client.Width(), client.Height(), state);
    canvas.copyTo(dc.GetSafeHdc());
    m_nBlockBottom = painted.blockBottom;
    placeAfterDrawing(language);
}

// Measured again only when the caption or the face changed, not per paint.
int CDlgPageMessage::measured(MeasuredCaption& cache, const CString& caption) {
    if (cache.caption != caption || cache.face != g_strFontFace) {
        cache.caption = caption;
        cache.face = g_strFontFace;
        cache.width = captionWidth(caption);
    }
    return cache.width;
}

void CDlgPageMessage::placeAfterDrawing(int language) {
    int bottom = m_nBlockBottom;
    const int lastBrand = CRegSetting::getLastUserCorp();
    if (m_mapUseCtrl[&m_checkBackup]) {
        place(this, m_checkBackup, msg::checkBoxBox(measured(m_checkWidth, m_checkBackup.m_strCaption), language), language);
        bottom += 24;
    }
    if (m_mapUseCtrl[&m_btnLink]) {
        CRect client;
        GetClientRect(&client);
        msg::Box box = msg::linkBox(measured(m_linkWidth, m_btnLink.m_strCaption), language, lastBrand, m_eMessageType, bottom,
                                    client.Width());
        place(this, m_btnLink, box, language);
    }
    msg::FolderAfterDrawing folder = msg::folderAfterDrawing(m_eMessageType, bottom, language);
    if (folder.shown && m_bFolderPathSet) {
        msg::Box path = folder.path;
        if (!folder.row) path = fittedToText(m_editFolderPath, path, true);
        place(this, m_editFolderPath, path, language);
        if (folder.row) {
            place(this, m_editFolderFrame, folder.field, language);
            place(this, m_btnChangeFolder, folder.button, language);
            DWORD align = folder.rightAligned ? ES_RIGHT : ES_LEFT;
            if ((m_editFolderPath.GetStyle() & (ES_CENTER | ES_RIGHT)) != (align & (ES_CENTER | ES_RIGHT))) {
                m_editFolderPath.modifyAlignStyle(ES_LEFT | ES_CENTER | ES_RIGHT, align);
            }
        }
        if (!m_editFolderPath.IsWindowVisible()) m_editFolderPath.ShowWindow(SW_SHOW);
    } else if (m_editFolderPath.GetSafeHwnd() && m_editFolderPath.IsWindowVisible()) {
        m_editFolderPath.ShowWindow(SW_HIDE);
    }
    CDlgRoot* r = root();
    const int image = msg::okButtonImage(r ? r->m_nCorp : 0, CRegSetting::getRegion());
    if (image != m_nOkImage && m_btnOk.GetSafeHwnd()) {
        m_nOkImage = image;
        m_btnOk.setImage(image);
        m_btnOk.Invalidate(FALSE);
    }
}
