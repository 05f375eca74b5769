// Painting of the list window: double-buffered rows, the marker image and
// the search style's highlighted prefix.
#include "ui/list_wnd.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/text_rules.h"
#include "ui/list_geometry.h"
#include "ui/memory_canvas.h"

namespace {

const COLORREF TEXT_DARK = 0x69635D;
const COLORREF TEXT_LIGHT = 0xB1AAA4;
const COLORREF LIST_BACKGROUND = 0xDAD4CF;

COLORREF toColorRef(Gdiplus::ARGB argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    CBrush brush(colour);
    FillRect(dc, &rect, brush);
}

void drawLine(HDC dc, const CString& text, RECT rect, COLORREF colour, UINT format) {
    SetTextColor(dc, colour);
    DrawTextW(dc, text, text.GetLength(), &rect, format);
}

}  // namespace

void CListWnd::drawRow(HDC dc, int row, bool hover) {
    CString item = itemAt(row);
    CString selected = m_strSelected;
    bool marked = getItemText(item) != FALSE;
    getItemText(selected);
    bool isSelected = item == selected && !item.IsEmpty() && !isHeading(item);
    COLORREF text = TEXT_LIGHT;
    COLORREF background = toColorRef(m_colors[row % 2 ? ODD_ROW : EVEN_ROW]);
    if (isSelected) {
        text = TEXT_DARK;
        background = toColorRef(m_colors[SELECTED]);
    } else if (hover) {
        text = TEXT_DARK;
        background = toColorRef(m_colors[HOVER]);
    }
    RECT box = rowBox(row);
    fillRect(dc, box, background);

    int size = m_nFontSize;
    if (CRegSetting::getLanguage() == LANGUAGE_DE && item == CLangLibrary::loadLangString(12167)) size = 16;
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(CGdiObject::handleOf(CFontCache::getFont(size))));
    RECT textBox = box;
    textBox.left += 15;
    textBox.right -= 15;
    // Right to left the rows are read from the right edge, ragged at the
    // left, and cut at their left end.
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | text_rules::lineDrawTextFlags(false, !m_bLeftToRight);
    drawLine(dc, item, textBox, text, format);
    SelectObject(dc, previous);

    if (marked && m_pMarker) {
        int x = m_bLeftToRight ? textBox.right - 29 : textBox.left + 29;
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(m_pMarker, x, textBox.top + 5, static_cast<INT>(m_pMarker->GetWidth()),
                           static_cast<INT>(m_pMarker->GetHeight()));
    }
}

void CListWnd::drawSearchRow(HDC dc, int row, bool hover) {
    CString item = itemAt(row);
    CString selected = m_strSelected;
    bool marked = getItemText(item) != FALSE;
    getItemText(selected);
    COLORREF text = TEXT_LIGHT;
    COLORREF background = toColorRef(m_colors[row % 2 ? ODD_ROW : EVEN_ROW]);
    if (item != selected || item.IsEmpty()) {
        if (hover) {
            text = TEXT_DARK;
            background = toColorRef(m_colors[HOVER]);
        }
    } else if (m_nKeyboardRow == -1) {
        background = toColorRef(m_colors[ODD_ROW]);
    } else {
        text = TEXT_DARK;
        background = toColorRef(m_colors[SELECTED]);
    }
    RECT box = rowBox(row);
    fillRect(dc, box, background);

    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(CGdiObject::handleOf(CFontCache::getFont(16))));
    RECT textBox = box;
    textBox.left += 15;
    textBox.right -= 15;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | text_rules::lineDrawTextFlags(false, !m_bLeftToRight);
    int typed = std::min(m_strSearch.GetLength(), item.GetLength());
    if (m_bLeftToRight) {
        drawLine(dc, item, textBox, text, format);
        drawLine(dc, CString(item.GetString(), typed), textBox, m_highlightColor, format);
    } else {
        // Right to left the typed prefix is the right end of the drawn text:
        // the whole item in grey, then its prefix's width in the highlight
        // colour (drawing the rest over it would cover shaped glyphs twice).
        drawLine(dc, item, textBox, TEXT_LIGHT, format);
        SIZE prefix{};
        GetTextExtentPoint32W(dc, item, typed, &prefix);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, textBox.right - prefix.cx, textBox.top, textBox.right, textBox.bottom);
        drawLine(dc, item, textBox, m_highlightColor, format);
        RestoreDC(dc, saved);
    }
    SelectObject(dc, previous);
    if (marked && m_pMarker) {
        int x = m_bLeftToRight ? textBox.right - 29 : textBox.left + 29;
        Gdiplus::Graphics graphics(dc);
        graphics.DrawImage(m_pMarker, x, textBox.top + 5, static_cast<INT>(m_pMarker->GetWidth()),
                           static_cast<INT>(m_pMarker->GetHeight()));
    }
}

void CListWnd::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    m_rcClient = client;
    if (m_bSnapshot && m_hSnapshot) {
        DWORD layout = GetLayout(dc);
        if (!m_bLeftToRight) SetLayout(dc, LAYOUT_RTL);
        OnPrintClient(reinterpret_cast<WPARAM>(dc), 0);
        SetLayout(dc, layout);
        ::EndPaint(m_hWnd, &paint);
        return;
    }
    {
        CMemoryCanvas canvas(dc, client.right, client.bottom);
        canvas.fill(LIST_BACKGROUND);
        SetBkMode(canvas.dc(), TRANSPARENT);
        if (m_pBackground) {
            Gdiplus::Graphics graphics(canvas.dc());
            graphics.DrawImage(m_pBackground, 0, 0, client.right, client.bottom);
        }
        int rowPitch = pitch();
        int count = itemCount();
        int row = m_nScrollPos / rowPitch;
        int drawnBottom = 0;
        for (; row < count; ++row) {
            int top = row * rowPitch - m_nScrollPos;
            if (top > client.bottom) break;
            if (top + rowPitch < client.top) continue;
            if (m_strStyle == L"S") {
                drawSearchRow(canvas.dc(), row, row == m_nHoverRow);
            } else {
                drawRow(canvas.dc(), row, row == m_nHoverRow);
            }
            drawnBottom = top + rowPitch;
        }
        // Empty rows below the last item keep the list's striped look, over
        // the whole width (the result list is wider than the device list),
        // from x 1 as the rows: the ground's column at x 0 is the left edge.
        for (int y = drawnBottom; y < client.bottom; y += 32) {
            RECT blank{1, y, client.right, y + 33};
            fillRect(canvas.dc(), blank, RGB(255, 255, 255));
        }
        CPen pen(PS_SOLID, 1, toColorRef(m_colors[BORDER]));
        HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
        MoveToEx(canvas.dc(), 0, 0, nullptr);
        LineTo(canvas.dc(), client.right, 0);
        MoveToEx(canvas.dc(), 0, client.bottom - 1, nullptr);
        LineTo(canvas.dc(), client.right, client.bottom - 1);
        MoveToEx(canvas.dc(), client.right - 1, 0, nullptr);
        LineTo(canvas.dc(), client.right - 1, client.bottom);
        SelectObject(canvas.dc(), oldPen);
        canvas.copyTo(dc);
    }
    ::EndPaint(m_hWnd, &paint);
    if (m_bScrollShown && m_scrollBar.GetSafeHwnd()) ::InvalidateRect(m_scrollBar.GetSafeHwnd(), nullptr, TRUE);
}
