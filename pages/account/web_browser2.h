#pragma once
// The web guide's page area. The program shows no web content itself (no
// HTML engine here, and the window layer hosts no ActiveX): the area is a
// plain child window that says the guide is a web page and carries a link
// that opens the guide's address in the user's browser. Navigate keeps the
// address and completes at once, so whatever waits for a finished document
// goes on as it would with a page loaded.
#include "afx/afx.h"
#include "ui/png_with_text_button.h"

class CWebBrowser2 : public CWnd {
    DECLARE_DYNAMIC(CWebBrowser2)

public:
    CWebBrowser2();
    ~CWebBrowser2() override;

    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Nothing opens here: only a click on the link opens the address.
    void Navigate(const CString& url);
    // The address shown and linked, without a navigation (empty: no link).
    void showAddress(const CString& url);
    // The panel's sentence and the link's caption, in the UI language.
    void setTexts(const CString& text, const CString& linkCaption);
    void OnDocumentComplete();

    const CString& url() const { return m_strUrl; }
    CPngWithTextButton& link() { return m_link; }

    int m_bDocumentComplete = 0;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void placeLink();

    CString m_strUrl;
    CString m_strText;
    CPngWithTextButton m_link;
};
