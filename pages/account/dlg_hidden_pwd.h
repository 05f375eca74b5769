#pragma once
// Hidden-mode sign-in (view VIEW_STATE_HIDDEN_PWD): an ID and a password
// handed to the login page's ordinary sign-in; on success the root opens
// the hidden bulk-download page. The page keeps no copy of either text.
#include "afx/afx.h"
#include "ui/base_child_dialog.h"
#include "ui/edit_placeholder_text.h"
#include "ui/png_button.h"
#include "ui/static_ex.h"

class CDlgRoot;

class CDlgHiddenPWD : public CBaseChildDialog {
    DECLARE_DYNAMIC(CDlgHiddenPWD)

public:
    explicit CDlgHiddenPWD(CBaseDialog* root);
    ~CDlgHiddenPWD() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;

    CStaticEx m_staticTitle;
    CPngButton m_btnOk;
    CEditPlaceholderText m_editID;
    CEditPlaceholderText m_editPwd;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnBnClickedOk();
    void OnClose();
    void OnTimer(UINT_PTR id);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    void initFields();
    void refreshTexts();
    void applyFonts();
    void placeControls();
};
