#include "afx/winappex.h"

IMPLEMENT_DYNCREATE(CMFCToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CWinAppEx, CWinApp)
