#include "afx/folderdlg.h"

#include <commdlg.h>
#include <shobjidl.h>

namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

CFolderPickerDialog::CFolderPickerDialog(LPCWSTR folder, DWORD flags, CWnd* parent)
    : m_initial(folder ? folder : L""), m_flags(flags), m_pParent(parent) {}

INT_PTR CFolderPickerDialog::DoModal() {
    m_path.Empty();
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INT_PTR result = IDCANCEL;
    {
        ComPtr<IFileOpenDialog> dialog;
        if (SUCCEEDED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                       reinterpret_cast<void**>(dialog.out())))) {
            FILEOPENDIALOGOPTIONS options = 0;
            dialog->GetOptions(&options);
            options |= FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM;
            if (m_flags & OFN_PATHMUSTEXIST) options |= FOS_PATHMUSTEXIST;
            dialog->SetOptions(options);
            if (!m_initial.IsEmpty()) {
                ComPtr<IShellItem> start;
                if (SUCCEEDED(SHCreateItemFromParsingName(m_initial.GetString(), nullptr, IID_IShellItem,
                                                          reinterpret_cast<void**>(start.out())))) {
                    dialog->SetFolder(start.p);
                }
            }
            HWND owner = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
            if (SUCCEEDED(dialog->Show(owner))) {
                ComPtr<IShellItem> chosen;
                PWSTR path = nullptr;
                if (SUCCEEDED(dialog->GetResult(chosen.out())) &&
                    SUCCEEDED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) {
                    m_path = path;
                    CoTaskMemFree(path);
                    result = IDOK;
                }
            }
        }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}
