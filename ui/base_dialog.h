#pragma once
// The skinned frameless root window: a 60-pixel header that drags the
// window and carries the title buttons, the brand logo, the signed-in
// user's name or the region's name, and a footer with the version and the
// rights notice. No way of closing it closes it: every close request goes to
// the main frame, which leads to the exit page.
#include "afx/afx.h"
#include "ui/png_button.h"

#include <list>

// A list of pages kept by the root (the exit locks among them).
using PageList = std::list<void*>;

class CBaseDialog : public CDialog {
public:
    explicit CBaseDialog(CWnd* parent = nullptr);
    ~CBaseDialog() override;

    void loadImages();
    void layoutTitleButtons();
    void showTitleButtons(int flag);
    void setTitle(const CString& text);
    void setSubTitle(const CString& text);
    // Mode 0 appends item when absent, mode 1 removes every occurrence.
    static void addOrRemoveListItem(PageList* list, void* item, int mode);
    void drawBackground(CDC* dc);
    // Pages that end a sign-in or change the brand drop the logo; the next
    // paint loads the right one.
    void releaseLogo();

    // The view-state machine belongs to the root dialog built on this base;
    // pages reach it through these (the base has no views).
    virtual int getViewStatus() const;
    virtual int pushViewPage(int view, BOOL show);
    // Whether Ctrl+Shift+F5 on a page opens the hidden-mode password view:
    // the title buttons are on and the registration or change page shows.
    virtual BOOL allowsHiddenMode() const;
    // Back to the view before the current one, and the title buttons a page
    // asks for (kind 0 settings, 1 exit lock, 2 logout); the root's rules.
    virtual void pullViewPage();
    virtual void enableTopButton(int kind, CWnd* page, BOOL enable);

    Gdiplus::Bitmap* m_pImgBackground = nullptr;
    CPngButton m_btnConfig;
    CPngButton m_btnGuide;
    CPngButton m_btnMini;
    CPngButton m_btnExit;
    int m_nWidth = 400;
    int m_nHeight = 240;
    int m_nTitleButtons = 0;
    CString m_strTitle;
    CString m_strSubTitle;
    PageList m_lstPage[3];
    CPngButton m_btnLogout;
    Gdiplus::Bitmap* m_pImgLogo = nullptr;
    Gdiplus::Bitmap* m_pImgSeparator = nullptr;
    Gdiplus::Bitmap* m_pImgUser = nullptr;
    Gdiplus::Bitmap* m_pImgGlobe = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;

    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnNcHitTest(CPoint point);
    void OnSize(UINT type, int cx, int cy);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnBnClickedButtonGuide();
    void OnBnClickedButtonMini();
    DECLARE_MESSAGE_MAP()

private:
    void loadLogo();
    void drawHeaderTexts(HDC dc, bool arabic);
    void invalidateHeader();
    RECT buttonRect(CWnd& button) const;

    UINT m_nLogoId = 0;  // the PNG behind m_pImgLogo
};
