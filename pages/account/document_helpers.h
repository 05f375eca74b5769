#pragma once
// What the terms page, its form and the sign-up notice share: an off-screen
// document box and changes made only when they change something (a text
// set or a window shown in a paint would paint again).
#include "afx/afx.h"

class CRichEditCtrlEx;

// A read-only rich edit (child, visible, vertical bar) at rect; null when
// its window cannot be made.
CRichEditCtrlEx* createDocumentEdit(CWnd* parent, const CRect& rect, UINT id);
void setTextIfChanged(CWnd& window, const CString& text);
// By the window's own flag: a child of a hidden parent is never "visible".
void showIfChanged(CWnd& window, bool show);
