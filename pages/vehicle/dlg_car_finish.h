#pragma once
// Finish page (view VIEW_STATE_CAR_FINISH): stand-in that keeps the result
// it was handed.
#include "pages/account/placeholder_page.h"

class InfInfo;

class CDlgCarFinish : public CPlaceholderPage {
public:
    explicit CDlgCarFinish(CBaseDialog* root);

    void setResult(InfInfo* info, wchar_t letter);

    InfInfo* m_pResultInfo = nullptr;  // not owned
    // "U" after an update onto a drive, "H" into the download folder.
    CString m_strStorageCode;
    CString m_strDriveRoot;  // "X:\" of the drive that received it
};
