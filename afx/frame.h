#pragma once
// CFrameWnd: a top-level frame. LoadFrame takes its title (the first
// "\n"-separated field of string nIDResource), icon, menu and accelerators
// from the resources of that id; PreCreateWindow chooses the window class.
// A frame deletes itself when its window is gone, and commands it does not
// handle go on to the application object.
#include "afx/wnd.h"

constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;
constexpr DWORD FWS_PREFIXTITLE = 0x00040000L;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    static const CRect rectDefault;

    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCWSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) override;

    CString m_strTitle;
    HACCEL m_hAccelTable = nullptr;

protected:
    void PostNcDestroy() override { delete this; }
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnClose();

    DECLARE_MESSAGE_MAP()

private:
    LPCWSTR iconWndClass(DWORD dwDefaultStyle, UINT nIDResource);
};

// The docking framework's frame; its managers are not used here.
class CFrameWndEx : public CFrameWnd {
    DECLARE_DYNCREATE(CFrameWndEx)
};
