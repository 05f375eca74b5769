#pragma once
// The message page over the settings page (view VIEW_STATE_PAGE_FOR_CONFIG),
// stand-in: the pooled message page's configuring and closing, the settings
// page's chain 1005 -> 1028 on OK, the title buttons locked while it shows,
// its class name and view painted, and a call log.
#include "pages/account/call_log.h"
#include "shell/dlg_page_message.h"

class CDlgPageMessageForConfig : public CDlgPageMessage {
public:
    explicit CDlgPageMessageForConfig(CBaseDialog* root);

    // Configures fully on every call, the same type again included.
    void setMessageType(int type, CWnd* requester) override;
    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void OnBnClickedButtonOk() override;
    void OnBnClickedButtonCancel() override;
    // The page base's key rules only: Enter answers no message here.
    BOOL PreTranslateMessage(MSG* msg) override;

    std::vector<CString> calls() const { return m_log.entries(); }
    int callCount(const CString& entry) const { return m_log.count(entry); }
    void clearCalls() { m_log.clear(); }

protected:
    // Cancel is offered for the removal question only.
    void buildTexts() override;
    void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void record(const wchar_t* name, int value);

    CallLog m_log;
};
