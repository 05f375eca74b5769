#pragma once
// The pooled message page: a full page over the current view that puts one
// question, warning or error to the user, chosen by its message type. The
// requester configures it (setParam, setMessageType) and switches the root
// to the message view; the answer goes back as RWM_MESSAGE_RESULT or is
// acted on here.
#include "afx/afx.h"
#include "shell/message_types.h"
#include "shell/messages/message_texts.h"
#include "ui/base_child_dialog.h"
#include "ui/edit_ctrl.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/static_ex.h"

#include <atomic>
#include <map>

class CDlgRoot;

// 1 while the button-unlock thread runs; set only by the OK handler, cleared
// only by the thread.
extern std::atomic<int> g_nButtonLock;

class CDlgPageMessage : public CBaseChildDialog {
public:
    explicit CDlgPageMessage(CBaseDialog* root, UINT templateId = 396);
    ~CDlgPageMessage() override;

    // Requesters call it on a page from the pool, then switch the root to
    // the message view; answers call it to chain to a follow-up message.
    // The requester is a page, or the root for its own questions.
    virtual void setMessageType(int type, CWnd* requester);
    void setParam(const CString& text, int index);
    CString getParam(int index) const;
    BOOL showPage(BOOL show) override;
    BOOL initPage() override { return TRUE; }
    // stay TRUE: parameters emptied, the caller shows the next view itself;
    // FALSE: the root goes back to the previous view.
    void closePage(BOOL stay);

    BOOL PreTranslateMessage(MSG* msg) override;

    // ---- answers
    virtual void OnBnClickedButtonOk();
    virtual void OnBnClickedButtonCancel();
    // The 100 ms (or 300 ms) wait before a retry answer; param is the page,
    // the wait in milliseconds is the page's m_nUnlockWaitMs.
    static UINT ButtonUnlockThread(LPVOID param);
    void OnBnClickedButtonChangeFolder();
    void OnBnClickedRadioConsent1Yes();
    void OnBnClickedRadioConsent1No();
    void OnBnClickedRadioConsent2Yes();
    void OnBnClickedRadioConsent2No();

    // ---- documents and guide addresses
    // Writes the licence file and returns its path; empty on any failure.
    CString getResourceRtfFile();
    // 102 the brand's technical-data page, 103 the current vehicle's update
    // guide; empty for any other kind.
    CString getGuideUrl(int kind);

    // ---- members
    int m_eMessageType = SERVER_ERROR_NONE;
    int m_ePrevMessageType = SERVER_ERROR_NONE;
    CWnd* m_pRequestPage = nullptr;
    std::map<int, CString> m_mapParam;
    std::map<CWnd*, int> m_mapUseCtrl;
    BOOL m_bClosed = TRUE;
    // Set by a new question, taken by the next text build: the consent
    // radios start at "yes" only then.
    bool m_bConsentDefaultsDue = false;
    std::atomic<BOOL> m_bOkProcessing{FALSE};
    Gdiplus::Bitmap* m_pMediumPicture = nullptr;
    Gdiplus::Bitmap* m_pIconError = nullptr;
    Gdiplus::Bitmap* m_pIconWarning = nullptr;
    Gdiplus::Bitmap* m_pIconExit = nullptr;
    Gdiplus::Bitmap* m_pDocImage = nullptr;
    CRichEditCtrlEx* m_pRichText1 = nullptr;
    CRichEditCtrlEx* m_pRichText2 = nullptr;
    CMutex m_mutexMessage;
    CString m_strUpdateGuideUrl;

    // The template's controls; the statics only hold texts, the page draws them.
    CStaticEx m_staticAlert;    // 1546 heading
    CStaticEx m_staticTitle1;   // 1547
    CStaticEx m_staticTitle2;   // 1548
    CStaticEx m_staticText[7];  // 1549, 1550, 1551, 1552, 1553, 1554, 1556
    CStaticEx m_staticSubText1; // 1575
    CStaticEx m_staticSubText2; // 1574
    CPngWithTextButton m_btnLink;   // 1576
    CPngWithTextButton m_checkBackup;  // 1573
    CPngButton m_btnOk;         // 1100
    CPngButton m_btnCancel;     // 1101
    CPngWithTextButton m_radio[4];  // 1612 .. 1615
    CEditCtrl m_editFolderFrame;    // 1619
    CEditCtrl m_editFolderPath;     // 1508
    CPngButton m_btnChangeFolder;   // 1537

    // The wait of the button-unlock thread that the OK handler starts.
    DWORD m_nUnlockWaitMs = 100;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    // Texts of the current type (the heading only, until the full texts come).
    virtual void buildTexts();
    void refresh();
    CDlgRoot* root() const;
    // What the text builder knows of the page and the program right now.
    virtual msg::MessageContext textContext() const;
    // Button fonts by caption length, then every refresh's fixed placement.
    void updateFonts();
    void layoutControls();
    // The pooled page under dialog id 91, the settings variant under 111.
    virtual int langDialogId() const { return 91; }
    virtual bool isConfigVariant() const { return false; }
    // A document box loaded with the file; FALSE leaves it empty.
    BOOL loadDocument(CRichEditCtrlEx* box, const CString& path);
    // The answers the page gives itself; TRUE when nothing more is done.
    bool answerOkOnPage();
    bool deliverOkOnPage(int type);
    bool answerCancelOnPage();
    void switchRoot(int view);
    void chainTo(int type, CWnd* requester);
    // The shell's drive watcher, refreshed: TRUE when a drive is present.
    static bool hasRemovableDrive();
    // The folder path box with the download folder, shortened to fit.
    void showFolderPath(const CString& path);
    // Top buttons while the folder picker or the settings' question shows.
    void lockTopButtons();
    void consentRadio(int yes, int no, bool yesClicked, int& answer);
    // The page's control of a template id; null for one it does not bind.
    CWnd* controlOf(int id);
    Gdiplus::Bitmap* pictureOfType() const;
    void placeAfterDrawing(int language);
    struct MeasuredCaption {
        CString caption, face;
        int width = 0;
    };
    int measured(MeasuredCaption& cache, const CString& caption);
    MeasuredCaption m_linkWidth, m_checkWidth;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // The answer to the requester, the retry wait included.
    void deliverOk(int type);
    void waitForButtonUnlock();
    void placeFolderPath();
    // Where the drawing put the text block's bottom, for the controls below it.
    int m_nBlockBottom = 0;
    // The full path the folder box stands for (it shows it shortened).
    CString m_strFolderPath;
    bool m_bFolderPathSet = false;
    int m_nOkImage = 469;
    // 1000's answer: the brand the login returns to (from parameter 0).
    int m_nAnsweredBrand = 0;
};
