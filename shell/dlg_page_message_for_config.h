#pragma once
// The message page over the settings page (view VIEW_STATE_PAGE_FOR_CONFIG):
// the pooled page's texts, drawing and layout for the few messages the
// settings page raises (82, 83, 203, 1005) and its own follow-up 1028.
// Every call configures in full, Enter answers nothing, and the answers go
// back to the settings page or chain 1005 to 1028.
#include "shell/dlg_page_message.h"

class CDlgPageMessageForConfig : public CDlgPageMessage {
public:
    explicit CDlgPageMessageForConfig(CBaseDialog* root);

    void setMessageType(int type, CWnd* requester) override;
    BOOL showPage(BOOL show) override;
    void OnBnClickedButtonOk() override;
    void OnBnClickedButtonCancel() override;
    // The page base's key rules only: Enter answers no message here.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int langDialogId() const override { return 111; }
    bool isConfigVariant() const override { return true; }
    msg::MessageContext textContext() const override;
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

public:
    // Set by the removal question's OK; the answer's texts follow it.
    bool m_bRemovalFailed = false;
};
