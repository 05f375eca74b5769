#pragma once
// The image guide (view VIEW_STATE_INFO_IMAGE_POPUP): the software-model
// guide (0) and the system-update guide (17) drawn from the program's
// pictures and the language library's texts. A "do not show again" box,
// shown when the guide opened by itself, stores the choice per brand. In
// North America guide 17's picture and texts link to the brand's support
// page.
#include "afx/afx.h"
#include "pages/account/image_guide_tables.h"
#include "ui/base_child_dialog.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/static_ex.h"

#include <memory>

class CDlgRoot;

class CDlgInfoImagePopup : public CBaseChildDialog {
    DECLARE_DYNAMIC(CDlgInfoImagePopup)

public:
    explicit CDlgInfoImagePopup(CBaseDialog* root);
    ~CDlgInfoImagePopup() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void skipPage() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Sets the guide up again for the current type and builds its web
    // address; 1 when it has one. language: a language id, or 99 for the
    // current one (it changes only the system guides' addresses).
    BOOL prepareGuide(int language);

    // The slots of the three rich-text areas.
    enum { RICH_TEXT = 0, RICH_LINK = 1, RICH_TEXT_RTL = 2 };

    int m_nGuideType = 0;
    CString m_strGuideLink;
    CString m_strTitle;
    CString m_strText[11];
    image_guide::Rect m_rect[7]{};
    std::unique_ptr<Gdiplus::Bitmap> m_pMain, m_pIcon1, m_pIcon2, m_pIcon3, m_pSide, m_pMarker;
    std::unique_ptr<CRichEditCtrlEx> m_rich[3];
    bool m_bCapture = false;

    CPngButton m_btnOk;
    CPngWithTextButton m_chkShow;
    CStaticEx m_staticLabel;

    // Where the main picture is drawn (its link area); empty without one.
    CRect mainPictureRect() const;
    // Finds phrase in control with the control's own search and colours
    // that range: red, or a blue underlined link. The text is not replaced.
    static void emphasiseText(CRichEditCtrl& control, const CString& phrase, BOOL red, BOOL wholeWord);
    static void formatRichText(CRichEditCtrl& control, int points, COLORREF colour, BOOL exactSpacing);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnShowWindow(BOOL show, UINT status);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnBnClickedOk();
    void OnClickedGuideLabel();
    void OnClickedGuideCheck();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnGuideShow(WPARAM wParam, LPARAM lParam);
    LRESULT OnGuideShowPage(WPARAM wParam, LPARAM lParam);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnFollowCheck(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    // The set-up that the first initialisation and every preparation apply:
    // box and label, rich-text areas, pictures, fonts, texts and layout.
    void setupGuide();
    void setupGuideControls();
    void createRichControls();
    void loadPictures();
    void loadTexts();
    void placeControls();
    void followCheck();
    void drawTextBlock(HDC dc, int clientWidth);
};
