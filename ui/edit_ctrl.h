#pragma once
// An input field whose placeholder lives in the field itself until the user
// types, with an optional password mask and a key filter that admits only
// letters, digits and a few signs. Its own painting draws a one-pixel frame
// (or a frame image) and, while the field is empty, a hint text.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

class CEditCtrl : public CEdit {
    DECLARE_DYNAMIC(CEditCtrl)

public:
    CEditCtrl();
    ~CEditCtrl() override;

    void setText(const CString& text, BOOL raw = FALSE);
    void getText(CString& out, BOOL raw = FALSE);
    void setHintText(const CString& text);
    void setColors(COLORREF background, COLORREF text);
    void setTextColor(COLORREF colour);
    void setBorderColor(COLORREF colour);
    void setLanguageAlign(int language);
    void modifyAlignStyle(DWORD remove, DWORD add);
    // A skin drawn over the window in place of the one-pixel frame; owned.
    void setFrameImage(UINT id);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    COLORREF m_bgColor = RGB(255, 255, 255);
    COLORREF m_textColor = RGB(0x38, 0x38, 0x38);
    COLORREF m_borderColor = RGB(0xAB, 0xAB, 0xAB);
    CString m_strPlaceholder;
    CString m_strHint;
    BOOL m_bPassword = FALSE;
    BOOL m_bEditing = FALSE;

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnNcPaint();
    void OnPaint();
    HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void showPlaceholder(bool notify);
    void beginEditing();
    void drawFrame();
    CString windowText() const;

    CBrush m_brush;
    CString m_strLastText;
    Gdiplus::Bitmap* m_pFrame = nullptr;
};
