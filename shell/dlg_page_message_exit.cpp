#include "shell/dlg_page_message_exit.h"

#include "foundation/code_tables.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/caption_size.h"
#include "shell/dlg_root.h"
#include "shell/shell_engine.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

constexpr int PAGE_DIALOG_ID = 91;
constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF HEADER_COLOUR = 0xDFDFDF;
constexpr COLORREF TITLE_COLOUR = 0x69635D;
constexpr COLORREF MESSAGE_COLOUR = 0x7D6C5E;

constexpr int TEXT_TITLE = 12444;
constexpr int TEXT_MESSAGE = 12445;
constexpr int TEXT_MESSAGE_TRANSFERRING = 13449;
constexpr int TEXT_OK = 12135;
constexpr int TEXT_CANCEL = 12136;

constexpr int IMAGE_X = 395;
constexpr int IMAGE_Y = 205;
constexpr int MESSAGE_TOP = 345;
constexpr int MESSAGE_MARGIN = 100;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPageMessageExit, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_BUTTON_OK, &CDlgPageMessageExit::OnBnClickedButtonOk)
    ON_BN_CLICKED(IDC_BUTTON_CANCEL, &CDlgPageMessageExit::OnBnClickedButtonCancel)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgPageMessageExit::OnChangeLanguage)
END_MESSAGE_MAP()

CDlgPageMessageExit::CDlgPageMessageExit(CBaseDialog* root, UINT templateId) : CBaseChildDialog(templateId, root) {
    m_ePageViewStatus = VIEW_STATE_MESSAGE;
}

CDlgPageMessageExit::~CDlgPageMessageExit() { base_helpers::releaseBitmap(m_pImage); }

CDlgRoot* CDlgPageMessageExit::root() const { return CDlgRoot::of(m_pRootDlg); }

int CDlgPageMessageExit::messageTextId() {
    IShellEngine& engine = shellEngine();
    bool active = engine.isDownloadActive() || engine.isUnzipActive() || engine.isCopyActive();
    return active ? TEXT_MESSAGE_TRANSFERRING : TEXT_MESSAGE;
}

UINT CDlgPageMessageExit::okImageFor(int corp, int region) {
    switch (corp) {
        case CORP_LV:
            return (region == REGION_US || region == 7) ? IDB_BUTTON_OK_STRIP_LV_NA : IDB_BUTTON_OK_STRIP_LV;
        case CORP_DR:
            return IDB_BUTTON_OK_STRIP_DR;
        default:
            return IDB_BUTTON_OK_STRIP;
    }
}

void CDlgPageMessageExit::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_ALERT, m_staticTitle);
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticMessage);
    DDX_Control(dx, IDC_BUTTON_OK, m_btnOk);
    DDX_Control(dx, IDC_BUTTON_CANCEL, m_btnCancel);
}

BOOL CDlgPageMessageExit::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    m_btnOk.ModifyStyle(0, BS_OWNERDRAW);
    m_btnCancel.ModifyStyle(0, BS_OWNERDRAW);
    m_btnOk.setImage(IDB_BUTTON_OK_STRIP_DR);
    m_nOkImage = IDB_BUTTON_OK_STRIP_DR;
    m_btnCancel.setImage(IDB_BUTTON_CANCEL_STRIP);
    for (COLORREF& colour : m_btnCancel.m_colors) colour = WHITE;
    m_pImage = CGdiFunc::loadPngResource(IDB_EXIT_IMAGE);
    m_staticTitle.ShowWindow(SW_HIDE);
    m_staticMessage.ShowWindow(SW_HIDE);
    applyTexts();
    return TRUE;
}

// Captions, their faces and the buttons' places (mirrored in Arabic).
void CDlgPageMessageExit::applyTexts() {
    if (!m_btnOk.GetSafeHwnd()) return;
    struct Caption {
        CPngButton& button;
        int text;
    } captions[] = {{m_btnOk, TEXT_OK}, {m_btnCancel, TEXT_CANCEL}};
    for (Caption& c : captions) {
        CString text = CLangLibrary::loadLangString(c.text);
        c.button.SetWindowText(text);
        c.button.setText(text, 16, 400);
        if (CFont* font = CFontCache::getFont(captionPixelSize(text))) {
            c.button.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
        }
    }
    for (COLORREF& colour : m_btnCancel.m_colors) colour = WHITE;
    CRect client;
    GetClientRect(&client);
    int y = client.Height() - 70;
    CDLang::moveWnd(this, &m_btnOk, client.Width() / 2 - 205, y, 200, 50, 2);
    CDLang::moveWnd(this, &m_btnCancel, client.Width() / 2 + 5, y, 200, 50, 2);
    m_btnOk.Invalidate(FALSE);
    m_btnCancel.Invalidate(FALSE);
}

BOOL CDlgPageMessageExit::showPage(BOOL show) {
    if (!m_pRootDlg) return FALSE;
    if (show) {
        m_bShown = TRUE;
        ShowWindow(SW_SHOW);
        applyTexts();
        Invalidate(FALSE);
    } else {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    }
    return TRUE;
}

BOOL CDlgPageMessageExit::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    base_helpers::fillSolid(dc->GetSafeHdc(), client, WHITE);
    return TRUE;
}

void CDlgPageMessageExit::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    HDC mem = canvas.dc();
    SetBkMode(mem, TRANSPARENT);
    canvas.fill(WHITE);
    CDlgRoot* r = root();

    CString title = CLangLibrary::loadLangString(TEXT_TITLE);
    int messageId = messageTextId();
    CString message = CLangLibrary::loadLangString(messageId);
    if (r) {
        r->m_lang.setText(PAGE_DIALOG_ID, &m_staticTitle, TEXT_TITLE);
        r->m_lang.setText(PAGE_DIALOG_ID, &m_staticMessage, messageId);
        m_staticTitle.GetWindowText(title);
        m_staticMessage.GetWindowText(message);
    }
    RECT header = {0, 0, client.Width(), 60};
    canvas.fill(header, HEADER_COLOUR);
    int top = CRegSetting::getLastUserCorp() == CORP_TS ? 8 : 4;
    RECT titleBox = {0, top, client.Width(), top + 60};
    CGdiFunc::drawText(mem, titleBox, title, g_strFontFace, 22, FALSE, TITLE_COLOUR, 1);

    if (m_pImage) {
        Gdiplus::Graphics g(mem);
        g.DrawImage(m_pImage, IMAGE_X, IMAGE_Y, static_cast<INT>(m_pImage->GetWidth()),
                    static_cast<INT>(m_pImage->GetHeight()));
    }
    RECT messageBox = {MESSAGE_MARGIN, MESSAGE_TOP, client.Width() - MESSAGE_MARGIN, client.Height() - 80};
    CGdiFunc::drawTextLines(mem, 20, message, g_strFontFace, 1, MESSAGE_COLOUR, FALSE, 0, 30, 0, nullptr,
                            messageBox);
    canvas.copyTo(dc.GetSafeHdc());

    // OK wears the root's brand; the strip changes only with the brand.
    UINT okImage = okImageFor(r ? r->m_nCorp : 0, CRegSetting::getRegion());
    if (okImage != m_nOkImage) {
        m_nOkImage = okImage;
        m_btnOk.setImage(okImage);
        m_btnOk.Invalidate(FALSE);
    }
}

LRESULT CDlgPageMessageExit::OnChangeLanguage(WPARAM, LPARAM) {
    applyTexts();
    Invalidate(TRUE);
    return 0;
}

void CDlgPageMessageExit::OnBnClickedButtonOk() {
    CDlgRoot* r = root();
    if (r && r->m_pMainFrame) {
        r->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        IShellEngine& engine = shellEngine();
        if (engine.isDownloadActive()) {
            // The engine is joined first: nothing may write the folder
            // behind the resume files.
            engine.stopAndJoin();
            engine.writeResumeVersionFiles();
        }
        engine.postQuit();
        r->cleanDownloadFolder();
        r->m_pMainFrame->setExitFlag();
    }
    base_helpers::postToMainWindow(RWM_SEND_STATICS);
}

void CDlgPageMessageExit::OnBnClickedButtonCancel() {
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
    SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    CDlgRoot* r = root();
    if (!r) return;
    r->updateTopButtons();
    CBaseDialog::addOrRemoveListItem(&r->exitLocks(), this, 1);
    if (g_bSignedIn) {
        if (r->m_btnConfig.GetSafeHwnd()) r->m_btnConfig.ShowWindow(SW_SHOW);
        if (r->m_btnLogout.GetSafeHwnd()) r->m_btnLogout.ShowWindow(SW_SHOW);
    }
    if (r->m_btnExit.GetSafeHwnd()) {
        r->m_btnExit.setEnable(r->exitLocks().empty() ? TRUE : FALSE);
        r->m_btnExit.Invalidate(FALSE);
    }
    r->pullViewPage();
}
