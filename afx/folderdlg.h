#pragma once
// CFolderPickerDialog: the system's folder picker (the common item dialog in
// folder mode), modal over its owner.
#include "afx/wnd.h"

class CFolderPickerDialog {
public:
    // flags: OFN_* values; OFN_PATHMUSTEXIST keeps the choice to existing
    // folders (the only one that changes anything here).
    explicit CFolderPickerDialog(LPCWSTR folder = nullptr, DWORD flags = 0, CWnd* parent = nullptr);

    // IDOK with a folder chosen, IDCANCEL otherwise (also when the picker
    // cannot be made).
    INT_PTR DoModal();
    CString GetPathName() const { return m_path; }
    CString GetFolderPath() const { return m_path; }

private:
    CString m_initial;
    DWORD m_flags;
    CWnd* m_pParent;
    CString m_path;
};
