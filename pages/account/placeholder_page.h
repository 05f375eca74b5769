#pragma once
// The common body of the pages that are stand-ins until their own pages are
// written: a blank page that paints its class name and the view it serves,
// records every call the shell makes on it, and answers with what a test
// set. The page interface behaves as the shell expects: showPage shows or
// hides the window, initPage and skipPage only record.
#include "afx/afx.h"
#include "pages/account/call_log.h"
#include "ui/base_child_dialog.h"

#include <vector>

class CPlaceholderPage : public CBaseChildDialog {
public:
    // viewId is the view the page serves (painted); m_ePageViewStatus keeps
    // what the root expects the page to carry, given by the derived page.
    CPlaceholderPage(UINT templateId, CBaseDialog* root, const wchar_t* className, int viewId);

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void skipPage() override;
    BOOL setAutoSkip(BOOL autoSkip) override;

    const CString& className() const { return m_strClassName; }
    int servedView() const { return m_nServedView; }

    void recordCall(const CString& entry) { m_log.record(entry); }
    std::vector<CString> calls() const { return m_log.entries(); }
    int callCount(const CString& entry) const { return m_log.count(entry); }
    void clearCalls() { m_log.clear(); }

    // What the page interface answers.
    BOOL m_bShowResult = TRUE;
    BOOL m_bInitResult = TRUE;

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnMessageResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnConfigClosed(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitProgramCancel(WPARAM wParam, LPARAM lParam);
    LRESULT OnModuleError(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CString m_strClassName;
    int m_nServedView;
    CallLog m_log;
};
