#include "pages/account/document_helpers.h"

#include "ui/rich_edit_ctrl_ex.h"

CRichEditCtrlEx* createDocumentEdit(CWnd* parent, const CRect& rect, UINT id) {
    AfxInitRichEdit2();
    auto* edit = new CRichEditCtrlEx();
    if (!edit->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, rect, parent, id)) {
        delete edit;
        return nullptr;
    }
    return edit;
}

void setTextIfChanged(CWnd& window, const CString& text) {
    if (!window.GetSafeHwnd()) return;
    CString shown;
    window.GetWindowText(shown);
    if (shown != text) window.SetWindowText(text);
}

void showIfChanged(CWnd& window, bool show) {
    if (window.GetSafeHwnd() && ((window.GetStyle() & WS_VISIBLE) != 0) != show) {
        window.ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}
