#include "tests/pages/page_fixture.h"

#include "tests/support/capture.h"

#include "foundation/code_tables.h"
#include "resources/resource.h"

namespace {

constexpr COLORREF HEADER_BAND = 0xDFDFDF;
constexpr COLORREF BODY = 0xFFFFFF;

}  // namespace

BOOL PageTestRoot::create() {
    m_nWidth = 900;
    m_nHeight = 680;
    if (!Create(IDD_BASE_DIALOG, nullptr)) return FALSE;
    SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
    loadImages();
    layoutTitleButtons();
    ShowWindow(SW_SHOW);
    return TRUE;
}

// The root's own header and footer, as the program's root paints them.
LRESULT PageTestRoot::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        CPaintDC dc(this);
        drawBackground(&dc);
        return 0;
    }
    return CBaseDialog::WindowProc(message, wParam, lParam);
}

void destroyPage(std::unique_ptr<CPlaceholderPage>& page) {
    if (page && page->GetSafeHwnd()) page->DestroyWindow();
    page.reset();
}

std::string joined(const std::vector<CString>& calls) {
    std::string line;
    for (const CString& call : calls) {
        if (!line.empty()) line += '|';
        line += CStringA(call).GetString();
    }
    return line;
}

void PlaceholderPages::SetUp() {
    useLanguage(REGION_US, LANGUAGE_EN);
    ASSERT_TRUE(root.create());
    pumpFor(60);
}

void PlaceholderPages::TearDown() {
    destroyPage(page);
    if (root.GetSafeHwnd()) root.DestroyWindow();
}

CPlaceholderPage* PlaceholderPages::createPage(const PageCase& c) {
    destroyPage(page);
    page.reset(c.make(&root));
    if (!page->Create(c.templateId, &root)) {
        ADD_FAILURE() << "template " << c.templateId << " gave no window";
        return nullptr;
    }
    return page.get();
}

CPlaceholderPage* PlaceholderPages::checkPage(const PageCase& c) {
    CString name(c.className);
    SCOPED_TRACE(CStringA(name).GetString());
    CPlaceholderPage* p = createPage(c);
    if (!p) return nullptr;
    EXPECT_EQ(name, p->className());
    EXPECT_EQ(c.carriedView, p->m_ePageViewStatus);
    EXPECT_EQ(c.servedView, p->servedView());
    EXPECT_EQ(root.m_hWnd, ::GetParent(p->m_hWnd));
    EXPECT_TRUE(::GetWindowLongW(p->m_hWnd, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(p->IsWindowVisible()) << "pages are made hidden";
    RECT r = childRectIn(root.m_hWnd, p->m_hWnd);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(60, r.top);
    EXPECT_EQ(900, r.right - r.left);
    EXPECT_EQ(590, r.bottom - r.top);

    EXPECT_TRUE(p->showPage(TRUE));
    EXPECT_TRUE(p->IsWindowVisible());
    EXPECT_TRUE(p->m_bShown);
    pumpFor(60);
    CString shows;
    shows.Format(L"the root with the %s stand-in: its name in the grey header band under the root's header, "
                 L"\"view %d\" under it, white body",
                 c.className, c.servedView);
    WindowShot shot = saveScreenshot(root.m_hWnd, name, shows, true);
    // The page's band sits under the root's header; the name and the view
    // line leave text pixels in it and in the body.
    RECT band = {0, 60, 900, 120};
    int bandPixels = shot.count(HEADER_BAND, band);
    EXPECT_GT(bandPixels, 900 * 60 / 2);
    EXPECT_LT(bandPixels, 900 * 60 - 100) << "no name painted";
    RECT viewLine = {0, 140, 900, 180};
    EXPECT_LT(shot.count(BODY, viewLine), 900 * 40 - 50) << "no view painted";
    RECT body = {0, 200, 900, 640};
    EXPECT_EQ(900 * 440, shot.count(BODY, body));

    EXPECT_TRUE(p->showPage(FALSE));
    EXPECT_FALSE(p->IsWindowVisible());
    EXPECT_FALSE(p->m_bShown);
    return p;
}
