#include "ui/image_combo.h"

#include "foundation/code_tables.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "ui/font_cache.h"
#include "ui/memory_canvas.h"
#include "ui/text_rules.h"

IMPLEMENT_DYNAMIC(CImageCombo, CComboBox)

BEGIN_MESSAGE_MAP(CImageCombo, CComboBox)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_CONTROL_REFLECT_EX(CBN_SELCHANGE, &CImageCombo::OnSelChange)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CImageCombo::OnChangeLanguage)
END_MESSAGE_MAP()

namespace {

const UINT_PTR TIMER_HOVER = 1;

}  // namespace

CImageCombo::CImageCombo() = default;

CImageCombo::~CImageCombo() {
    delete m_pFrame;
    delete m_pArrow;
}

void CImageCombo::setArrowImages(UINT frameId, UINT arrowId) {
    delete m_pFrame;
    delete m_pArrow;
    m_pFrame = CGdiFunc::loadPngResource(frameId);
    m_pArrow = CGdiFunc::loadPngResource(arrowId);
}

int CImageCombo::addString(const CString& text) {
    int index = static_cast<int>(::SendMessageW(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.GetString())));
    // Filed under the index the list gives back, so a sorted list stays right.
    if (index >= 0) m_texts[index] = text;
    return index;
}

void CImageCombo::clearImages() { m_texts.clear(); }

void CImageCombo::resetContent() {
    clearImages();
    ::SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0);
}

CString CImageCombo::getItemText(int index) const {
    auto found = m_texts.find(index);
    return found == m_texts.end() ? CString() : found->second;
}

void CImageCombo::PreSubclassWindow() {
    // Only the clipping bits; the low bits 0xD would be a static's
    // owner-draw style, which means nothing to a combo box.
    ModifyStyle(0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    CComboBox::PreSubclassWindow();
}

void CImageCombo::MeasureItem(LPMEASUREITEMSTRUCT item) { item->itemHeight = m_nSizeCode == 50 ? 30 : 26; }

void CImageCombo::DrawItem(LPDRAWITEMSTRUCT item) {
    if (static_cast<int>(item->itemID) == -1) return;
    int index = static_cast<int>(item->itemID);
    CString full = getItemText(index);
    if (full.IsEmpty()) {
        int length = static_cast<int>(::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, index, 0));
        if (length > 0) {
            ::SendMessageW(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(full.GetBuffer(length + 1)));
            full.ReleaseBuffer();
        }
    }
    CString rest;
    CString shown = text_rules::comboShownText(full, &rest);

    RECT r = item->rcItem;
    Gdiplus::RectF box(static_cast<Gdiplus::REAL>(r.left), static_cast<Gdiplus::REAL>(r.top + 1),
                       static_cast<Gdiplus::REAL>(r.right - r.left), static_cast<Gdiplus::REAL>(r.bottom - r.top));
    if (CRegSetting::getLastUserCorp() == CORP_TS) box.Y += 2;
    bool selected = (item->itemState & (ODS_SELECTED | ODS_FOCUS)) != 0;
    Gdiplus::Graphics graphics(item->hDC);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    Gdiplus::SolidBrush background(selected ? Gdiplus::Color(0xFFDBDEE2) : Gdiplus::Color(0xFFFFFFFF));
    graphics.FillRectangle(&background, box);
    Gdiplus::SolidBrush ink(selected ? Gdiplus::Color(0xFF5D6369) : Gdiplus::Color(0xFF5E6C7D));

    bool large = m_nSizeCode == 50;
    Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
    Gdiplus::Font font(family, large ? 20.0f : 16.0f, large ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                       Gdiplus::UnitPixel);
    Gdiplus::StringFormat format;
    text_rules::comboFormat(format, m_bLeftToRight != FALSE);
    if (!shown.IsEmpty()) {
        if (rest.IsEmpty()) format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::RectF textBox(box.X + 8, box.Y, box.Width - 16, box.Height);
        graphics.DrawString(shown, shown.GetLength(), &font, textBox, &format, &ink);
    }
    if (!CGdiFunc::isSharedFamily(family)) delete family;
}

void CImageCombo::paintFace(HDC target) {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    CMemoryCanvas canvas(target, width, height);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        Gdiplus::SolidBrush grey(Gdiplus::Color(0xFFABABAB));
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&grey, 0, 0, width, height);
        graphics.FillRectangle(&white, 1, 1, width - 2, height - 2);
        if (m_pFrame) graphics.DrawImage(m_pFrame, 0, 0, width, height + 2);
        if (m_pArrow) {
            int arrowWidth = static_cast<int>(m_pArrow->GetWidth());
            int arrowHeight = static_cast<int>(m_pArrow->GetHeight());
            int x = m_bLeftToRight ? width - arrowWidth - 10 : 10;
            graphics.DrawImage(m_pArrow, x, (height - arrowHeight) / 2, arrowWidth, arrowHeight);
        }
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (::GetComboBoxInfo(m_hWnd, &info)) {
        RECT area = info.rcItem;
        if (m_bLeftToRight) {
            area.right -= 10;
        } else {
            area.left += 10;
        }
        int saved = SaveDC(canvas.dc());
        IntersectClipRect(canvas.dc(), area.left, area.top, area.right, area.bottom);
        // The combo box paints its selected item through DrawItem.
        DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(canvas.dc()), 0);
        RestoreDC(canvas.dc(), saved);
    }
    canvas.copyTo(target);
}

void CImageCombo::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    paintFace(dc);
    ::EndPaint(m_hWnd, &paint);
}

void CImageCombo::timerStep() {
    if (m_bPressed) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    bool inside = PtInRect(&window, cursor) || ::GetFocus() == m_hWnd;
    if (inside) {
        if (!m_bHover) {
            m_bHover = TRUE;
            CClientDC dc(this);
            paintFace(dc);
        }
        return;
    }
    ::KillTimer(m_hWnd, TIMER_HOVER);
    if (m_bHover) {
        CClientDC dc(this);
        paintFace(dc);
        m_bHover = FALSE;
    }
}

void CImageCombo::OnMouseMove(UINT flags, CPoint point) {
    ::SetTimer(m_hWnd, TIMER_HOVER, 10, nullptr);
    timerStep();
    CComboBox::OnMouseMove(flags, point);
}

void CImageCombo::OnTimer(UINT_PTR id) {
    if (id == TIMER_HOVER) {
        timerStep();
        return;
    }
    CComboBox::OnTimer(id);
}

void CImageCombo::OnLButtonDown(UINT flags, CPoint point) {
    m_bPressed = TRUE;
    CComboBox::OnLButtonDown(flags, point);
}

void CImageCombo::OnLButtonUp(UINT flags, CPoint point) {
    m_bPressed = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    CComboBox::OnLButtonUp(flags, point);
}

void CImageCombo::OnSetFocus(CWnd* old) {
    ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    CComboBox::OnSetFocus(old);
    ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    m_bFocus = TRUE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageCombo::OnKillFocus(CWnd* next) {
    ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    CComboBox::OnKillFocus(next);
    ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    m_bFocus = FALSE;
    ::UpdateWindow(m_hWnd);
}

BOOL CImageCombo::OnSelChange() {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    // Handled here: the page hears CBN_SELENDOK instead.
    return TRUE;
}

LRESULT CImageCombo::OnChangeLanguage(WPARAM, LPARAM) {
    BOOL leftToRight = CRegSetting::getLanguage() != LANGUAGE_AR;
    if (leftToRight != m_bLeftToRight) {
        m_bLeftToRight = leftToRight;
        const DWORD rtl = WS_EX_RIGHT | WS_EX_RTLREADING;
        ModifyStyleEx(leftToRight ? rtl : 0, leftToRight ? 0 : rtl);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}
