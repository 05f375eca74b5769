#pragma once
// Registration page (view VIEW_STATE_CAR_REG): stand-in holding the chosen
// vehicle and the registration tag.
#include "pages/account/placeholder_page.h"

class InfInfo;

class CDlgCarReg : public CPlaceholderPage {
public:
    explicit CDlgCarReg(CBaseDialog* root);

    void refreshTexts();
    void setCarInfo(InfInfo* info);
    // The medium already holds the chosen vehicle's complete update.
    void setLastRegTag() { m_strRegTag = L"lastreg"; }

    InfInfo* m_pCarInfo = nullptr;  // not owned
    CString m_strRegTag;            // "reg" or "lastreg"
};
