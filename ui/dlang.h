#pragma once
// The language manager of the root dialog: pages register each control with
// the text id it shows; the manager loads the text, strips the translators'
// layout tags, fills in named placeholders and sets the control's text, and
// applies a text again when a placeholder's value changes.
//
// Controls are kept by window handle and borrowed: a control whose window is
// gone is skipped and forgotten, never written to.
#include "afx/afx.h"

#include <map>

class CDLang {
public:
    struct DScript {
        int x = 0;        // "[x+n]" adds n, "[x-n]" subtracts it
        int y = 0;
        int font = 0;
        int line = 0;
        CString text;     // tags removed, placeholders still in it
        bool hide = false;
        std::map<CString, CString> params;  // "[#Name#]" -> value
    };
    struct DWnd {
        int nDlgId = 0;
        HWND hWnd = nullptr;
    };

    // Forgets every loaded text and placeholder value; registrations stay.
    void setLanguage(int uiLanguage);
    void clear();

    void setText(int dlgId, CWnd* control, int id) { setText(dlgId, hwndOf(control), id); }
    void appendText(int dlgId, CWnd* control, int id) { appendText(dlgId, hwndOf(control), id); }
    void setText(int dlgId, HWND control, int id);
    void appendText(int dlgId, HWND control, int id);
    void setTextParam(int id, const CString& placeholder, const CString& value);
    void removeDlg(int dlgId);

    // Draws the control's current text; returns the height used (0 without
    // a text drawer, which the drawing functions install).
    int drawText(CDC* dc, CWnd* control, const CString& face, int pixelSize, int hAlign, COLORREF colour,
                 BOOL underline, int vAlign, int lineHeight, int lineSpacing, const RECT& rect) const {
        return drawText(dc ? dc->GetSafeHdc() : nullptr, hwndOf(control), face, pixelSize, hAlign, colour,
                        underline, vAlign, lineHeight, lineSpacing, rect);
    }
    int drawText(HDC dc, HWND control, const CString& face, int pixelSize, int hAlign, COLORREF colour,
                 BOOL underline, int vAlign, int lineHeight, int lineSpacing, const RECT& rect) const;
    // Moves a child: kind 1 mirrors always, kind 2 only in the Arabic UI.
    static BOOL moveWnd(CWnd* parent, CWnd* control, int x, int y, int width, int height, int kind) {
        return moveWnd(hwndOf(parent), hwndOf(control), x, y, width, height, kind);
    }
    static BOOL moveWnd(HWND parent, HWND control, int x, int y, int width, int height, int kind);

    void applyText(CWnd* control, int id) { applyText(hwndOf(control), id); }
    void appendTextTo(CWnd* control, int id) { appendTextTo(hwndOf(control), id); }
    void applyText(HWND control, int id);
    void appendTextTo(HWND control, int id);
    // Removes the layout tags from text; with sum, records their values in
    // the entry. TRUE when the entry changed.
    static BOOL parseTags(CString& text, DScript& entry, BOOL sum);

    // Read access for the windows and tests.
    const DScript* script(int id) const;
    HWND registeredControl(int id) const;
    int appliedId(HWND control) const;  // -1 when none
    int appliedId(CWnd* control) const { return appliedId(hwndOf(control)); }

    // Installed by the controls: sets an owner-drawn button's caption along
    // with its window text, and draws text lines (spacing 0: the plain
    // variant) in a face and pixel size.
    using CaptionSetter = void (*)(HWND control, const CString& text);
    using TextLinesDrawer = int (*)(HDC dc, int pixelSize, const CString& text, const CString& face,
                                    const RECT& rect, int hAlign, COLORREF colour, BOOL underline,
                                    int vAlign, int lineHeight, int lineSpacing);
    static void setControlHooks(CaptionSetter caption, TextLinesDrawer drawer);

private:
    static HWND hwndOf(const CWnd* wnd) { return wnd ? wnd->GetSafeHwnd() : nullptr; }
    CString preparedText(int id) const;
    bool forgetIfGone(HWND control);

    std::map<int, DScript> m_scripts;
    std::map<int, DWnd> m_windows;
    std::map<HWND, int> m_controls;
};
