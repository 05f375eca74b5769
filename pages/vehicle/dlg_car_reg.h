#pragma once
// Registration page (view VIEW_STATE_CAR_REG): the chosen vehicle, its
// pictures and medium, and the destinations it can be updated onto (the
// download folder first, then every drive the watcher accepts). The update
// button checks the chosen destination, asks, and hands the vehicle over to
// the update page (dlg_car_reg_start.cpp).
#include "ui/base_child_dialog.h"
#include "ui/image_combo.h"
#include "ui/png_button.h"
#include "ui/static_ex.h"

#include <memory>
#include <vector>

class InfInfo;
class CDlgRoot;
class CMainFrame;
class CUSBDetector;
struct DriveInfo;

// One line of the destination combo, in the same order.
struct DiskListEntry {
    int nKind = 1;           // 1 the download folder, 2 a removable drive
    int nMark = 2;           // 1 an earlier download of the vehicle lies there
    wchar_t chLetter = 0;    // 0 for the folder entry
};

class CDlgCarReg : public CBaseChildDialog {
public:
    explicit CDlgCarReg(CBaseDialog* root);
    ~CDlgCarReg() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // A null vehicle is ignored.
    void setCarInfo(InfInfo* info);
    void refreshTexts();
    // The medium already holds the chosen vehicle's complete update.
    void setLastRegTag() { m_strRegTag = L"lastreg"; }
    void setDiskListSD();
    void fillDiskCombo();
    CString makeFolderEntryText();
    static CString makeDriveEntryText(wchar_t letter, ULONGLONG totalKB);
    static CString formatDiskSize(ULONGLONG bytes);
    void setDefaultImages();
    // A copy of bitmap one pixel larger on every side (owned by the caller);
    // the source is deleted. Null for a null bitmap.
    static Gdiplus::Bitmap* createMarginBitmap(Gdiplus::Bitmap* bitmap, int width, int height);

    // ---- the checks and the hand-over
    void OnClickedButtonCarUpdate();
    LRESULT OnRegisteredMessage_MessageResult(WPARAM result, LPARAM type);
    BOOL checkDiskSpace();
    BOOL checkMediumSpace(const DriveInfo* drive);
    static ULONGLONG getUsableFreeSpace(const CString& letter);
    void setUpdateLogInfo();

    CStaticEx m_stCarTitle;
    CStaticEx m_stCarImage;
    CStaticEx m_stNaviImage;
    CImageCombo m_comboDisk;
    CStaticEx m_stPathTitle;
    CPngButton m_btnCarChange;
    CPngButton m_btnCarUpdate;
    CStaticEx m_stSaveTitle;
    CStaticEx m_stRegMsg;

    InfInfo* m_pCarInfo = nullptr;  // not owned
    Gdiplus::Bitmap* m_pImgMark = nullptr;     // 428, loaded but not drawn
    Gdiplus::Bitmap* m_pImgSidebar = nullptr;  // 434
    Gdiplus::Bitmap* m_pImgPathIcon = nullptr; // 467
    Gdiplus::Bitmap* m_pImgBullet = nullptr;   // 495
    std::vector<DiskListEntry> m_vecDiskList;
    CString m_strRegTag;  // "reg" or "lastreg"

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnBnClickedButtonCarChange();
    void OnBnClickedButtonCarUpdate() { OnClickedButtonCarUpdate(); }
    void OnSelEndOkDiskList();
    LRESULT OnRegisteredMessage_USBDetectorMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_ChangeLanguage(WPARAM wParam, LPARAM lParam);
    LRESULT OnMessageResult(WPARAM wParam, LPARAM lParam) { return OnRegisteredMessage_MessageResult(wParam, lParam); }
    DECLARE_MESSAGE_MAP()

private:
    CMainFrame* frame() const;
    CDlgRoot* root() const;
    CUSBDetector* watcher() const;
    void applyFonts();
    void applyTexts();
    void layoutControls();
    void alignLabels();
    void placeNote();
    void setRegMessageText();
    // The note under the list for the selected entry.
    void showNoteFor(int index);
    void switchToSearch(BOOL showCancel);

    // 9.122 steps
    void pressUpdate();
    void pressToFolder(BOOL sdMedium);
    void pressToDrive(BOOL sdMedium);
    void answerDrive();
    void handOver();
    void showMessage(int type, BOOL show = TRUE);
    void showImageGuide(BOOL autoSkip);
    // The drive letter of the selected line's text (its part before ":").
    CString selectedDriveLetter();
    // The update size of the current vehicle's model in bytes; FALSE when a
    // descriptor's entry list cannot be had.
    BOOL sumUpdateSize(ULONGLONG& bytes);
    // The watcher's record of the drive, or null when it does not accept it.
    static std::unique_ptr<DriveInfo> acceptedDrive(const CString& letter);

    // A press or an answer is running: the descriptor download and the
    // free-space retries pump messages, and a second Enter must not ask
    // twice or hand over twice.
    BOOL m_bBusy = FALSE;
    BOOL m_bComboRtl = FALSE;
};
