#pragma once
// The base of every page the root dialog shows under its header: the page
// interface through which the root's views show, prepare and skip pages,
// a key filter that keeps dialog keys from closing a page, the waiting
// animation, the optional notice bar along the bottom, and text helpers.
#include "afx/afx.h"
#include "ui/waiting_static.h"
#include "webclient/notice_parser.h"

#include <array>
#include <functional>

class CBaseDialog;
class CDlgChildNotice;

class CBaseChildDialog : public CDialog {
public:
    CBaseChildDialog(UINT templateId, CBaseDialog* root);
    ~CBaseChildDialog() override;

    // ---- the page interface, in this order
    // FALSE when the page declines to show.
    virtual BOOL showPage(BOOL show) = 0;
    virtual BOOL initPage() = 0;
    virtual void skipPage();
    virtual BOOL setAutoSkip(BOOL autoSkip);
    // 1 shows and starts the animation; 0 and 2 hide and stop it.
    virtual void showWaiting(int type);

    CBaseDialog* getRootDlg() const { return m_pRootDlg; }
    void showNotice();
    // UI thread only: the notice thread hands its record over by message.
    void updateNotice(const stNoticeResult* notice);
    void drawHeader(CDC* dc, const CString& title);

    static CString getLangCode(const CString& intlName);
    // lineHeight and lineSpacing are the caller's drawing values; the fit
    // counts the lines the text breaks into at the rectangle's width.
    static int getFitFontSize(CWnd* window, const CString& text, int startSize, int lineHeight, int lineSpacing,
                              int maxLines, const CRect& rect);
    static CString getDriveTypeText(const CString& mediaType);

    // The drive watcher lives in the shell's main frame; the shell says how
    // to find it from the frame.
    using DriveWatcherLookup = std::function<CWnd*(CWnd* mainFrame)>;
    static void setDriveWatcherLookup(DriveWatcherLookup lookup);

    BOOL PreTranslateMessage(MSG* msg) override;

    int m_ePageViewStatus;
    bool m_bAutoSkip = true;
    std::array<Gdiplus::Bitmap*, 12> m_arrWaitingImage{};
    CWaitingStatic m_waitingStatic;
    BOOL m_bWaiting = FALSE;
    CDlgChildNotice* m_pNotice = nullptr;
    CBaseDialog* m_pRootDlg;
    CWnd* m_pMainFrame;
    CWnd* m_pUSBDetector;
    BOOL m_bShown = FALSE;

protected:
    BOOL OnInitDialog() override;

private:
    void createWaiting();
    void startWaiting();

    bool m_bWaitingCreated = false;
};
