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
    ON_MESSAGE(CB_SETITEMHEIGHT, &CImageCombo::OnSetItemHeight)
    ON_MESSAGE(WM_SETFONT, &CImageCombo::OnSetFontMessage)
END_MESSAGE_MAP()

namespace {

const UINT_PTR TIMER_HOVER = 1;
const DWORD kRightToLeftStyles = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

// The frame image at the box's size. Its one-pixel border is its outermost
// row and column: stretched whole, the border would be blended away on the
// shrunk sides, so the corners and edges keep their pixels and only the
// middle stretches.
void drawFrame(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& frame, int width, int height) {
    const int sourceWidth = static_cast<int>(frame.GetWidth());
    const int sourceHeight = static_cast<int>(frame.GetHeight());
    const int edge = 6;
    if (sourceWidth <= 2 * edge || sourceHeight <= 2 * edge || width <= 2 * edge || height <= 2 * edge) {
        graphics.DrawImage(&frame, 0, 0, width, height);
        return;
    }
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const int sourceX[4] = {0, edge, sourceWidth - edge, sourceWidth};
    const int sourceY[4] = {0, edge, sourceHeight - edge, sourceHeight};
    const int targetX[4] = {0, edge, width - edge, width};
    const int targetY[4] = {0, edge, height - edge, height};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const Gdiplus::Rect target(targetX[column], targetY[row], targetX[column + 1] - targetX[column],
                                       targetY[row + 1] - targetY[row]);
            graphics.DrawImage(&frame, target, sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                               sourceY[row + 1] - sourceY[row], Gdiplus::UnitPixel);
        }
    }
}

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

void CImageCombo::setLeftToRight(BOOL leftToRight) {
    m_bLeftToRight = leftToRight ? TRUE : FALSE;
    if (!m_hWnd) return;
    ModifyStyleEx(leftToRight ? kRightToLeftStyles : 0, leftToRight ? 0 : kRightToLeftStyles);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

text_rules::ComboFace CImageCombo::faceLayout() const {
    RECT window{};
    if (m_hWnd) ::GetWindowRect(m_hWnd, &window);
    SIZE arrow{0, 0};
    if (m_pArrow) arrow = SIZE{static_cast<LONG>(m_pArrow->GetWidth()), static_cast<LONG>(m_pArrow->GetHeight())};
    return text_rules::comboFace(window.right - window.left, window.bottom - window.top, arrow, m_bLeftToRight != FALSE);
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

void CImageCombo::MeasureItem(LPMEASUREITEMSTRUCT item) {
    if (static_cast<int>(item->itemID) == -1 && m_nAskedFaceHeight > 0) {
        item->itemHeight = static_cast<UINT>(text_rules::comboFaceHeight(m_nAskedFaceHeight, itemFontPixels()));
        return;
    }
    item->itemHeight = m_nSizeCode == 50 ? 30 : 26;
}

CString CImageCombo::itemText(int index) const {
    CString full = getItemText(index);
    if (full.IsEmpty() && index >= 0) {
        int length = static_cast<int>(::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, index, 0));
        if (length > 0) {
            ::SendMessageW(m_hWnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(full.GetBuffer(length + 1)));
            full.ReleaseBuffer();
        }
    }
    return full;
}

void CImageCombo::drawItemText(HDC dc, const RECT& box, const CString& text, COLORREF ink, bool centred) const {
    if (text.IsEmpty()) return;
    const bool large = m_nSizeCode == 50;
    CFont* font = large ? CFontCache::getBoldFont(itemFontPixels()) : CFontCache::getFont(itemFontPixels());
    HGDIOBJ previous = font ? ::SelectObject(dc, font->GetSafeHandle()) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ink);
    RECT area = box;
    // The explicit edge and reading order: the GDI+ right-to-left flag,
    // which would mirror its alignment, is not honoured everywhere.
    ::DrawTextW(dc, text, text.GetLength(), &area, text_rules::comboTextFlags(m_bLeftToRight != FALSE, centred));
    if (previous) ::SelectObject(dc, previous);
}

void CImageCombo::DrawItem(LPDRAWITEMSTRUCT item) {
    if (static_cast<int>(item->itemID) == -1) return;
    CString rest;
    CString shown = text_rules::comboShownText(itemText(static_cast<int>(item->itemID)), &rest);

    RECT r = item->rcItem;
    RECT box{r.left, r.top + 1, r.right, r.bottom};
    if (CRegSetting::getLastUserCorp() == CORP_TS) OffsetRect(&box, 0, 2);
    bool selected = (item->itemState & (ODS_SELECTED | ODS_FOCUS)) != 0;
    HBRUSH background = ::CreateSolidBrush(selected ? RGB(0xDB, 0xDE, 0xE2) : RGB(0xFF, 0xFF, 0xFF));
    ::FillRect(item->hDC, &box, background);
    ::DeleteObject(background);
    const COLORREF ink = selected ? RGB(0x5D, 0x63, 0x69) : RGB(0x5E, 0x6C, 0x7D);
    RECT textBox{box.left + 8, box.top, box.right - 8, box.bottom};
    drawItemText(item->hDC, textBox, shown, ink, rest.IsEmpty());
}

void CImageCombo::paintFace(HDC target) {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    const text_rules::ComboFace face = faceLayout();
    CMemoryCanvas canvas(target, width, height);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        Gdiplus::SolidBrush grey(Gdiplus::Color(0xFFABABAB));
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&grey, 0, 0, width, height);
        graphics.FillRectangle(&white, 1, 1, width - 2, height - 2);
        if (m_pFrame) drawFrame(graphics, *m_pFrame, width, height);
        if (m_pArrow) {
            graphics.DrawImage(m_pArrow, static_cast<int>(face.arrow.left), static_cast<int>(face.arrow.top),
                               static_cast<int>(face.arrow.right - face.arrow.left),
                               static_cast<int>(face.arrow.bottom - face.arrow.top));
        }
    }
    const int selection = static_cast<int>(::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0));
    if (selection >= 0) {
        const CString shown = text_rules::comboShownText(itemText(selection));
        drawItemText(canvas.dc(), face.text, shown, RGB(0x5E, 0x6C, 0x7D), true);
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
    setLeftToRight(CRegSetting::getLanguage() != LANGUAGE_AR);
    return 0;
}

LRESULT CImageCombo::OnSetItemHeight(WPARAM wParam, LPARAM lParam) {
    if (static_cast<int>(wParam) != -1) return Default();
    // The selection field keeps the asked height, raised when the item font
    // needs more, so the text is never cut at the bottom.
    m_nAskedFaceHeight = static_cast<int>(lParam);
    const int height = text_rules::comboFaceHeight(m_nAskedFaceHeight, itemFontPixels());
    return DefWindowProc(CB_SETITEMHEIGHT, wParam, static_cast<LPARAM>(height));
}

LRESULT CImageCombo::OnSetFontMessage(WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProc(WM_SETFONT, wParam, lParam);
    // A new font makes the box measure its selection field again from the
    // font; the asked height holds.
    if (m_nAskedFaceHeight > 0) {
        const int height = text_rules::comboFaceHeight(m_nAskedFaceHeight, itemFontPixels());
        DefWindowProc(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), static_cast<LPARAM>(height));
    }
    return result;
}
