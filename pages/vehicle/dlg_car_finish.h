#pragma once
// Finish page (view VIEW_STATE_CAR_FINISH): the result of an update onto a
// drive ("U") or into the download folder ("H"), the guides, another
// vehicle, the folder, a copy onto an SD card, and the end of the program.
#include "ui/base_child_dialog.h"
#include "ui/edit_ctrl.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

class InfInfo;
class CDlgRoot;
class CMainFrame;

// Posted to the page itself: the remove box's click is over.
constexpr UINT UM_FOLLOW_REMOVE_BOX = WM_APP + 0x104;

class CDlgCarFinish : public CBaseChildDialog {
public:
    explicit CDlgCarFinish(CBaseDialog* root);
    ~CDlgCarFinish() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // letter 0: the download folder. FALSE, with the previous result kept,
    // for a null vehicle or one whose descriptor cannot be had.
    BOOL setResult(InfInfo* info, wchar_t letter);
    void setString();
    void updateControls();

    // The comment's width for its text: the wider of the parts around its
    // last line break (when that break is not the first character), else
    // the whole text; measured by measure.
    template <class Measure>
    static int commentWidth(const CString& text, Measure measure) {
        const int lastBreak = text.ReverseFind(L'\n');
        const int firstBreak = text.Find(L'\n');
        int width = 0;
        if (firstBreak > 0) {
            const int before = measure(text.Left(lastBreak));
            const int after = measure(text.Mid(lastBreak + 1));
            width = before > after ? before : after;
        } else {
            width = measure(text);
        }
        return width * 106 / 100 + 3;
    }

    CStaticEx m_stTitle;
    CPngButton m_btnFinish;
    CStaticEx m_stMessage;
    CPngButton m_btnUsbGuide;
    CPngButton m_btnInstallGuide;
    CPngButton m_btnCarSelect;
    CPngButton m_btnFolder;
    CPngButton m_btnSdCard;
    CPngWithTextButton m_checkRemove;
    CStaticEx m_stDownloadTitle;
    CEditCtrl m_editDownloadPath;
    CStaticEx m_stRemoveComment;

    Gdiplus::Bitmap* m_pImgSidebar = nullptr;  // 436
    Gdiplus::Bitmap* m_pImgPicture = nullptr;  // 372
    Gdiplus::Bitmap* m_pImgArrow = nullptr;    // 474
    Gdiplus::Bitmap* m_pImgArrowRtl = nullptr; // 474 flipped, for Arabic
    // "U" after an update onto a drive, "H" into the download folder.
    CString m_strStorageCode;
    CString m_strVehicleName;
    CString m_strDriveRoot;  // "X:\" of the drive that received it
    int m_nThreeLines = 0;
    CString m_strInfBaseName;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnShowWindow(BOOL show, UINT status);
    void OnBnClickedButtonFinish();
    void OnBnClickedButtonCarSelect();
    void OnBnClickedButtonFolder();
    void OnBnClickedButtonUsb();
    void OnBnClickedButtonInstall();
    void OnBnClickedButtonSdcard();
    void OnBnClickedCheckRemoveUsb();
    void OnClickedRemoveUsbComment();
    LRESULT OnFollowRemoveBox(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_ChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_MessageResult(WPARAM result, LPARAM type);
    DECLARE_MESSAGE_MAP()

private:
    CMainFrame* frame() const;
    CDlgRoot* root() const;
    void applyFonts();
    void layoutControls();
    void followCheckBox();
    void openGuide(int kind);
    void askMessage(int type);
    int lowerY(int twoLines, int threeLines) const { return m_nThreeLines ? threeLines : twoLines; }
};
