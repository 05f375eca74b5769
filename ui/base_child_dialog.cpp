#include "ui/base_child_dialog.h"

#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "ui/base_dialog.h"
#include "ui/base_helpers.h"
#include "ui/lang_library.h"
#include "ui/dlg_child_notice.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/key_rules.h"
#include "ui/notice_layout.h"
#include "ui/page_rules.h"
#include "ui/view_state.h"
#include "resources/resource.h"
#include "webclient/request_param.h"

#include <mmsystem.h>

namespace {

CBaseChildDialog::DriveWatcherLookup& driveWatcherLookup() {
    static CBaseChildDialog::DriveWatcherLookup lookup;
    return lookup;
}

constexpr UINT WAITING_CONTROL_ID = 0xFFFF;
constexpr COLORREF HEADER_COLOUR = 0xDFDFDF;
constexpr COLORREF HEADER_TEXT_COLOUR = 0x69635D;

}  // namespace

void CBaseChildDialog::setDriveWatcherLookup(DriveWatcherLookup lookup) { driveWatcherLookup() = std::move(lookup); }

CBaseChildDialog::CBaseChildDialog(UINT templateId, CBaseDialog* root)
    : CDialog(templateId, root), m_ePageViewStatus(VIEW_STATE_NONE), m_pRootDlg(root) {
    m_pMainFrame = AfxGetMainWnd();
    m_pUSBDetector = (m_pMainFrame && driveWatcherLookup()) ? driveWatcherLookup()(m_pMainFrame) : nullptr;
}

CBaseChildDialog::~CBaseChildDialog() {
    m_waitingStatic.stop();
    for (Gdiplus::Bitmap*& frame : m_arrWaitingImage) base_helpers::releaseBitmap(frame);
    m_waitingStatic.m_frames.clear();
    if (m_pNotice) {
        if (m_pNotice->GetSafeHwnd()) m_pNotice->DestroyWindow();
        delete m_pNotice;
        m_pNotice = nullptr;
    }
    if (m_waitingStatic.GetSafeHwnd()) m_waitingStatic.DestroyWindow();
}

BOOL CBaseChildDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    MoveWindow(0, 60, 900, 590, TRUE);
    return TRUE;
}

void CBaseChildDialog::skipPage() {}

BOOL CBaseChildDialog::setAutoSkip(BOOL autoSkip) {
    m_bAutoSkip = autoSkip != FALSE;
    return m_bAutoSkip ? 1 : 0;
}

BOOL CBaseChildDialog::PreTranslateMessage(MSG* msg) {
    switch (key_rules::classify(msg)) {
        case key_rules::KEY_SWALLOW:
            return TRUE;
        case key_rules::KEY_EXIT_REQUEST:
            base_helpers::postToMainWindow(RWM_SEND_STATICS);
            return TRUE;
        case key_rules::KEY_HIDDEN_MODE:
            if (m_pRootDlg && m_pRootDlg->allowsHiddenMode()) {
                LOG_WRITE(L"############ Ctrl+Shift+F5 ====>");
                m_pRootDlg->pushViewPage(VIEW_STATE_HIDDEN_PWD, TRUE);
                return TRUE;
            }
            break;
        case key_rules::KEY_PASS:
            break;
    }
    return CDialog::PreTranslateMessage(msg);
}

// The control and its frames are made once; a frame that does not load is
// left out of the animation.
void CBaseChildDialog::createWaiting() {
    if (m_bWaitingCreated || !GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    int x = page_rules::waitingLeft(client.Width(), CGdiFunc::isArabic());
    CRect place(x, page_rules::WAITING_TOP, x + page_rules::WAITING_SIZE,
                page_rules::WAITING_TOP + page_rules::WAITING_SIZE);
    if (!m_waitingStatic.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, place, this, WAITING_CONTROL_ID)) {
        LOG_WRITE(L"[ERR] waiting animation not created");
        return;
    }
    m_bWaitingCreated = true;
    m_waitingStatic.m_bgColor = 0xFFFFFF;
    for (size_t i = 0; i < m_arrWaitingImage.size(); ++i) {
        m_arrWaitingImage[i] = CGdiFunc::loadPngResource(IDB_WAITING_FIRST + static_cast<UINT>(i));
        if (m_arrWaitingImage[i]) m_waitingStatic.m_frames.push_back(m_arrWaitingImage[i]);
    }
}

void CBaseChildDialog::showWaiting(int type) {
    createWaiting();
    m_bWaiting = type == 1;
    if (m_bWaitingCreated) {
        if (type == 1) {
            m_waitingStatic.ShowWindow(SW_SHOW);
            TIMECAPS caps{};
            if (timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR) {
                UINT resolution = caps.wPeriodMin < 1 ? 1 : caps.wPeriodMin;
                m_waitingStatic.m_nResolution = resolution > caps.wPeriodMax ? caps.wPeriodMax : resolution;
            }
            // A running animation keeps its timer.
            if (!m_waitingStatic.start()) LOG_WRITE(L"[ERR] waiting animation timer not started");
        } else if (type == 0 || type == 2) {
            m_waitingStatic.ShowWindow(SW_HIDE);
            m_waitingStatic.stop();
        }
    }
    Invalidate(FALSE);
}

void CBaseChildDialog::showNotice() {
    if (m_pNotice || !GetSafeHwnd()) return;
    m_pNotice = new CDlgChildNotice(this);
    if (!m_pNotice->Create(IDD_CHILD_NOTICE, this)) {
        LOG_WRITE(L"[ERR] notice bar not created");
        delete m_pNotice;
        m_pNotice = nullptr;
        return;
    }
    CRect client;
    GetClientRect(&client);
    m_pNotice->MoveWindow(client.left, client.bottom - notice_layout::BAR_HEIGHT, client.Width(),
                          notice_layout::BAR_HEIGHT, TRUE);
    m_pNotice->ShowWindow(SW_SHOW);
}

void CBaseChildDialog::updateNotice(const stNoticeResult* notice) {
    if (!m_pNotice || !m_pNotice->GetSafeHwnd()) return;
    if (GetWindowThreadProcessId(m_pNotice->GetSafeHwnd(), nullptr) != GetCurrentThreadId()) {
        // The bar paints from the record and reads it on "More".
        LOG_WRITE(L"[ERR] notice update off the window's thread ignored");
        return;
    }
    m_pNotice->layoutNotice();
    if (!notice) return;
    m_pNotice->m_stNoticeResult = *notice;
    CPngButton& more = m_pNotice->m_btnMore;
    bool enable = notice->nStatus == 0 && !notice->strMoreURL.IsEmpty();
    if (more.GetSafeHwnd()) {
        more.setEnable(enable);
        more.Invalidate(TRUE);
        more.EnableWindow(enable);
    }
    m_pNotice->refreshNotice();
}

void CBaseChildDialog::drawHeader(CDC* dc, const CString& title) {
    if (!dc || !GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    RECT band = {0, 0, client.Width(), 60};
    base_helpers::fillSolid(dc->GetSafeHdc(), band, HEADER_COLOUR);
    RECT text = {0, 5, client.Width(), 60};
    CGdiFunc::drawTextInWnd(m_hWnd, dc->GetSafeHdc(), text, title, g_strFontFace, 22, FALSE, HEADER_TEXT_COLOUR, 1);
}

CString CBaseChildDialog::getLangCode(const CString& intlName) { return getDeviceNameLangCode(intlName); }

int CBaseChildDialog::getFitFontSize(CWnd* window, const CString& text, int startSize, int, int, int maxLines,
                                     const CRect& rect) {
    if (!window || !window->GetSafeHwnd() || text.IsEmpty()) return -1;
    HWND hwnd = window->GetSafeHwnd();
    HDC windowDC = ::GetDC(hwnd);
    if (!windowDC) return -1;
    HDC memory = ::CreateCompatibleDC(windowDC);
    int size = -1;
    if (memory) {
        {
            Gdiplus::Graphics graphics(memory);
            Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
            // Break as the multi-line drawing does, so the count is what a
            // page will see.
            int width = rect.Width() - 3;
            size = page_rules::fitFontSizeBy(startSize, maxLines, [&](int s) {
                Gdiplus::Font font(family, static_cast<Gdiplus::REAL>(s), Gdiplus::FontStyleRegular,
                                   Gdiplus::UnitPixel);
                return static_cast<int>(CGdiFunc::splitLines(&graphics, &font, text, width).size());
            });
            if (!CGdiFunc::isSharedFamily(family)) delete family;
        }
        ::DeleteDC(memory);
    }
    ::ReleaseDC(hwnd, windowDC);
    return size;
}

CString CBaseChildDialog::getDriveTypeText(const CString& mediaType) {
    int id = page_rules::driveTypeTextId(mediaType);
    return id ? CLangLibrary::loadLangString(id) : mediaType;
}
