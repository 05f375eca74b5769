#include "ui/dlang.h"

#include "foundation/globalfunc.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"

using DScript = CDLang::DScript;

namespace {

// Owner-drawn buttons paint their own caption, not the window text.
void setButtonCaption(HWND control, const CString& text) {
    CWnd* wnd = CWnd::FromHandlePermanent(control);
    if (!wnd) return;
    if (auto* button = DYNAMIC_DOWNCAST(CPngWithTextButton, wnd)) {
        button->setCaption(text);
    } else if (auto* png = DYNAMIC_DOWNCAST(CPngButton, wnd)) {
        png->setText(text, 16, FW_NORMAL);
    }
}

// Spaced lines keep the height they are given; only the plain variant
// widens short lines to 24 pixels.
int drawPlainTextLines(HDC dc, int pixelSize, const CString& text, const CString& face, const RECT& rect,
                       int hAlign, COLORREF colour, BOOL underline, int vAlign, int lineHeight, int lineSpacing) {
    if (lineSpacing != 0) {
        return CGdiFunc::drawTextLinesEx(dc, pixelSize, text, face, hAlign, colour, underline, vAlign, lineHeight,
                                         lineSpacing, nullptr, rect);
    }
    return CGdiFunc::drawTextLines(dc, pixelSize, text, face, hAlign, colour, underline, vAlign, lineHeight, 0,
                                   nullptr, rect);
}

CDLang::CaptionSetter g_caption = &setButtonCaption;
CDLang::TextLinesDrawer g_drawer = &drawPlainTextLines;

struct TagKind {
    const wchar_t* head;
    int sign;
    int DScript::* field;
};

// Decimal with optional leading blanks and one sign; stops at the first
// other character; 0 without digits. Saturates instead of overflowing.
int readNumber(const CString& s) {
    int i = 0, n = s.GetLength();
    while (i < n && iswspace(s[i])) ++i;
    bool negative = false;
    if (i < n && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
    long long value = 0;
    for (; i < n && s[i] >= L'0' && s[i] <= L'9'; ++i) {
        value = value * 10 + (s[i] - L'0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

void CDLang::setControlHooks(CaptionSetter caption, TextLinesDrawer drawer) {
    g_caption = caption ? caption : &setButtonCaption;
    g_drawer = drawer ? drawer : &drawPlainTextLines;
}

void CDLang::setLanguage(int) {
    clear();
}

void CDLang::clear() {
    m_scripts.clear();
}

void CDLang::setText(int dlgId, HWND control, int id) {
    m_windows[id] = DWnd{dlgId, control};
    DScript& entry = m_scripts[id];
    CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
    parseTags(text, entry, TRUE);
    applyText(control, id);
}

void CDLang::appendText(int dlgId, HWND control, int id) {
    m_windows[id] = DWnd{dlgId, control};
    DScript& entry = m_scripts[id];
    CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
    parseTags(text, entry, TRUE);
    appendTextTo(control, id);
}

CString CDLang::preparedText(int id) const {
    auto it = m_scripts.find(id);
    if (it == m_scripts.end()) {
        CString shown;
        shown.Format(L"[%d]", id);
        return shown;
    }
    CString text = it->second.text;
    for (const auto& [placeholder, value] : it->second.params) {
        if (!placeholder.IsEmpty()) text.Replace(placeholder.GetString(), value.GetString());
    }
    return text;
}

// A page may destroy a control before it unregisters it; such a window is
// dropped from both maps instead of being written to.
bool CDLang::forgetIfGone(HWND control) {
    if (control && IsWindow(control)) return false;
    m_controls.erase(control);
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (it->second.hWnd == control) it = m_windows.erase(it); else ++it;
    }
    return true;
}

void CDLang::applyText(HWND control, int id) {
    if (forgetIfGone(control)) return;
    CString text = preparedText(id);
    SetWindowTextW(control, text.GetString());
    m_controls[control] = id;
    if (g_caption) g_caption(control, text);
}

void CDLang::appendTextTo(HWND control, int id) {
    if (forgetIfGone(control)) return;
    int length = GetWindowTextLengthW(control);
    CString current;
    if (length > 0) {
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        int got = GetWindowTextW(control, &buffer[0], length + 1);
        current = CString(buffer.c_str(), got);
    }
    current += L"\n";
    current += preparedText(id);
    SetWindowTextW(control, current.GetString());
}

void CDLang::setTextParam(int id, const CString& placeholder, const CString& value) {
    auto it = m_scripts.find(id);
    if (it != m_scripts.end()) {
        it->second.params[placeholder] = value;
    } else {
        CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
        if (!text.IsEmpty()) {
            DScript& entry = m_scripts[id];
            parseTags(text, entry, TRUE);
            entry.params[placeholder] = value;
        }
    }
    auto reg = m_windows.find(id);
    if (reg != m_windows.end()) applyText(reg->second.hWnd, id);
}

void CDLang::removeDlg(int dlgId) {
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (it->second.nDlgId == dlgId) {
            m_controls.erase(it->second.hWnd);
            it = m_windows.erase(it);
        } else {
            ++it;
        }
    }
}

int CDLang::drawText(HDC dc, HWND control, const CString& face, int pixelSize, int hAlign, COLORREF colour,
                     BOOL underline, int vAlign, int lineHeight, int lineSpacing, const RECT& rect) const {
    if (!g_drawer || !control || !IsWindow(control)) return 0;
    int length = GetWindowTextLengthW(control);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(control, &buffer[0], length + 1);
    return g_drawer(dc, pixelSize, CString(buffer.c_str(), got), face, rect, hAlign, colour, underline, vAlign,
                    lineHeight, lineSpacing);
}

BOOL CDLang::moveWnd(HWND parent, HWND control, int x, int y, int width, int height, int kind) {
    return CGlobalFunc::moveChildWindow(parent, control, x, y, width, height, kind);
}

BOOL CDLang::parseTags(CString& text, DScript& entry, BOOL sum) {
    static const TagKind kinds[] = {
        {L"[x+", 1, &DScript::x},       {L"[x-", -1, &DScript::x},
        {L"[y+", 1, &DScript::y},       {L"[y-", -1, &DScript::y},
        {L"[font+", 1, &DScript::font}, {L"[font-", -1, &DScript::font},
        {L"[line+", 1, &DScript::line}, {L"[line-", -1, &DScript::line},
    };
    DScript found;
    for (const TagKind& kind : kinds) {
        const int headLength = static_cast<int>(wcslen(kind.head));
        for (;;) {
            int at = text.Find(kind.head);
            if (at < 0 || text.GetLength() - at < headLength + 1) break;
            int close = text.Find(L']', at + headLength);
            if (close < 0) break;
            if (sum) found.*kind.field += kind.sign * readNumber(text.Mid(at + headLength, close - at - headLength));
            text.Delete(at, close - at + 1);
        }
    }
    int hidden = text.Replace(L"[hide]", L"");
    if (sum && hidden > 0) found.hide = true;

    BOOL changed = FALSE;
    if (entry.x != found.x || entry.y != found.y) {
        entry.x = found.x;
        entry.y = found.y;
        changed = TRUE;
    }
    if (entry.font != found.font) { entry.font = found.font; changed = TRUE; }
    if (entry.line != found.line) { entry.line = found.line; changed = TRUE; }
    if (entry.text != text) { entry.text = text; changed = TRUE; }
    if (entry.hide != found.hide) { entry.hide = found.hide; changed = TRUE; }
    return changed;
}

const DScript* CDLang::script(int id) const {
    auto it = m_scripts.find(id);
    return it == m_scripts.end() ? nullptr : &it->second;
}

HWND CDLang::registeredControl(int id) const {
    auto it = m_windows.find(id);
    return it == m_windows.end() ? nullptr : it->second.hWnd;
}

int CDLang::appliedId(HWND control) const {
    auto it = m_controls.find(control);
    return it == m_controls.end() ? -1 : it->second;
}
