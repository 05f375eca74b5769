#pragma once
// The program's own message box: one of the prepared self-update failures
// (typed mode, m_nType a POPUP_MSG_TYPE_ value) or a free title and text
// with one OK button (plain mode after setMessage, m_nType the layout).
// Only OK on the damaged-files message answers IDOK.
#include "ui/base_popup_dialog.h"
#include "ui/msg_box_layout.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

class CDlgMsgBox : public CBasePopupDialog {
public:
    explicit CDlgMsgBox(CWnd* parent = nullptr);

    void setMessage(const CString& title, const CString& text);
    void setWindowTitle(const CString& text);
    void initControls();
    void refreshControls();

    CStaticEx m_staticTitle;
    CStaticEx m_staticMessage;
    CPngWithTextButton m_btnLink;
    CPngButton m_btnOk;
    CString m_strMessage;
    int m_nType = POPUP_MSG_TYPE_NONE;
    BOOL m_bTyped = TRUE;
    CString m_strWindowTitle;
    CPngButton m_btnCancel;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnPaint();
    void OnBnClickedButtonOk();
    void OnBnClickedButtonCancel();
    DECLARE_MESSAGE_MAP()

private:
    void applyLayout(const msg_box_layout::Layout& layout);
};
