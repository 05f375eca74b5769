#pragma once
// CWinAppEx and the docking framework's managers. The program asks for the
// context-menu, keyboard and tooltip managers and the visual manager but
// uses none of their features: they accept their set-up and do nothing.
#include "afx/app.h"
#include "afx/wnd.h"

constexpr UINT AFX_TOOLTIP_TYPE_ALL = 0xFFFF;

class CMFCToolTipInfo {
public:
    BOOL m_bBoldLabel = TRUE;
    BOOL m_bDrawDescription = TRUE;
    BOOL m_bDrawIcon = TRUE;
    BOOL m_bRoundedCorners = FALSE;
    BOOL m_bDrawSeparator = FALSE;
    BOOL m_bVislManagerTheme = FALSE;
    int m_nMaxDescrWidth = 200;
    int m_nGradientAngle = -1;
    COLORREF m_clrFill = static_cast<COLORREF>(-1);
    COLORREF m_clrFillGradient = static_cast<COLORREF>(-1);
    COLORREF m_clrText = static_cast<COLORREF>(-1);
    COLORREF m_clrBorder = static_cast<COLORREF>(-1);
};

class CMFCToolTipCtrl : public CWnd {
    DECLARE_DYNCREATE(CMFCToolTipCtrl)
};

class CTooltipManager {
public:
    void SetTooltipParams(UINT, const CRuntimeClass* = nullptr, CMFCToolTipInfo* = nullptr) {}
};

class CMFCVisualManager {
public:
    static void DestroyInstance(BOOL = FALSE) {}
};

class CWinAppEx : public CWinApp {
    DECLARE_DYNAMIC(CWinAppEx)
public:
    explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE) : m_bResourceSmartUpdate(bResourceSmartUpdate) {}

    BOOL InitContextMenuManager() { return TRUE; }
    BOOL InitKeyboardManager() { return TRUE; }
    BOOL InitTooltipManager() { return TRUE; }
    CTooltipManager* GetTooltipManager() { return &m_tooltipManager; }
    void EnableTaskbarInteraction(BOOL = TRUE) {}

    BOOL m_bResourceSmartUpdate;

private:
    CTooltipManager m_tooltipManager;
};
