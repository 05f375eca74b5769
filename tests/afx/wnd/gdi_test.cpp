// GDI wrappers give back every handle they own: the live counts return to
// their baseline after create/destroy cycles, and the handles themselves
// are gone.
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

class CPaintingWnd : public CWnd {
public:
    int m_paints = 0;

protected:
    void OnPaint() {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
        CBitmap* oldBmp = mem.SelectObject(&bmp);
        CBrush brush(RGB(0x10, 0x60, 0x30));
        mem.FillRect(&rc, &brush);
        CPen pen(PS_SOLID, 2, RGB(0xFF, 0xFF, 0xFF));
        CPen* oldPen = mem.SelectObject(&pen);
        mem.MoveTo(0, 0);
        mem.LineTo(rc.right, rc.bottom);
        mem.SelectObject(oldPen);
        CFont font;
        font.CreatePointFont(100, L"Tahoma");
        CFont* oldFont = mem.SelectObject(&font);
        mem.SetBkMode(TRANSPARENT);
        mem.SetTextColor(RGB(0xFF, 0xFF, 0xFF));
        CRect text(rc);
        mem.DrawText(CString(L"painted"), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        mem.SelectObject(oldFont);
        dc.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
        mem.SelectObject(oldBmp);
        ++m_paints;
    }
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPaintingWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(Gdi, CountsReturnToBaselineAfterCycles) {
    CPaintingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"paint", WS_POPUP | WS_VISIBLE, 40, 40, 160, 60, nullptr,
                             nullptr));
    AfxDeleteTempMaps();
    const long gdiBase = CGdiObject::liveCount();
    const long dcBase = CDC::liveCount();
    for (int i = 0; i < 30; ++i) {
        wnd.RedrawWindow();
        CClientDC client(&wnd);
        CWindowDC window(&wnd);
        CRgn rgn;
        rgn.CreateRoundRectRgn(0, 0, 50, 50, 18, 18);
        CRgn other;
        other.CreateRectRgn(0, 0, 10, 10);
        rgn.CombineRgn(&rgn, &other, RGN_OR);
        EXPECT_TRUE(rgn.PtInRegion(25, 25));
        CFont* windowFont = wnd.GetFont();  // a temporary that owns nothing
        (void)windowFont;
        EXPECT_GT(CGdiObject::liveCount(), gdiBase);
        EXPECT_EQ(dcBase + 2, CDC::liveCount());
    }
    AfxDeleteTempMaps();
    EXPECT_GE(wnd.m_paints, 30);
    EXPECT_EQ(gdiBase, CGdiObject::liveCount());
    EXPECT_EQ(dcBase, CDC::liveCount());
    EXPECT_TRUE(saveScreenshot(wnd, L"gdi_painting", "a dark green band with a white diagonal line and the white word \"painted\" centred"));
}

TEST(Gdi, WrappersDeleteTheirHandles) {
    struct Case {
        const char* name;
        std::function<HGDIOBJ(CGdiObject*&)> make;
    } cases[] = {
        {"pen", [](CGdiObject*& o) { auto* p = new CPen(PS_SOLID, 1, 0); o = p; return p->m_hObject; }},
        {"brush", [](CGdiObject*& o) { auto* p = new CBrush(RGB(1, 2, 3)); o = p; return p->m_hObject; }},
        {"font", [](CGdiObject*& o) {
             auto* p = new CFont;
             LOGFONTW lf{};
             lf.lfHeight = -12;
             p->CreateFontIndirect(&lf);
             o = p;
             return p->m_hObject;
         }},
        {"bitmap", [](CGdiObject*& o) { auto* p = new CBitmap; p->CreateBitmap(4, 4, 1, 32, nullptr); o = p; return p->m_hObject; }},
        {"region", [](CGdiObject*& o) { auto* p = new CRgn; p->CreateRectRgn(0, 0, 4, 4); o = p; return p->m_hObject; }},
    };
    for (const Case& c : cases) {
        CGdiObject* object = nullptr;
        HGDIOBJ h = c.make(object);
        ASSERT_NE(nullptr, h) << c.name;
        EXPECT_NE(0u, ::GetObjectType(h)) << c.name;
        delete object;
        EXPECT_EQ(0u, ::GetObjectType(h)) << c.name << " still exists";
    }
    // Detach hands the handle over; Attach takes it back.
    CBrush brush(RGB(9, 9, 9));
    long before = CGdiObject::liveCount();
    HGDIOBJ h = brush.Detach();
    EXPECT_EQ(before - 1, CGdiObject::liveCount());
    CBrush again;
    again.Attach(h);
    EXPECT_EQ(before, CGdiObject::liveCount());
    // A second object replaces the first one, which is deleted.
    again.CreateSolidBrush(RGB(1, 1, 1));
    EXPECT_EQ(0u, ::GetObjectType(h));
    EXPECT_EQ(before, CGdiObject::liveCount());
}

}  // namespace

namespace {

// A FromHandle wrapper borrows: deleting through it leaves the owner's
// handle alive and the live counts exact.
TEST(Gdi, DeletingThroughATemporaryLeavesTheBorrowedHandle) {
    const long gdiBase = CGdiObject::liveCount();
    const long dcBase = CDC::liveCount();
    CBrush owned;
    ASSERT_TRUE(owned.CreateSolidBrush(RGB(1, 2, 3)));
    CDC ownedDC;
    ASSERT_TRUE(ownedDC.CreateCompatibleDC(nullptr));
    EXPECT_FALSE(CGdiObject::FromHandle(owned.m_hObject)->DeleteObject());
    EXPECT_FALSE(CDC::FromHandle(ownedDC.m_hDC)->DeleteDC());
    EXPECT_EQ(OBJ_BRUSH, static_cast<int>(::GetObjectType(owned.m_hObject)));
    EXPECT_EQ(OBJ_MEMDC, static_cast<int>(::GetObjectType(ownedDC.m_hDC)));
    EXPECT_EQ(gdiBase + 1, CGdiObject::liveCount());
    EXPECT_EQ(dcBase + 1, CDC::liveCount());
    // The owners still delete theirs.
    EXPECT_TRUE(owned.DeleteObject());
    EXPECT_TRUE(ownedDC.DeleteDC());
    EXPECT_EQ(gdiBase, CGdiObject::liveCount());
    EXPECT_EQ(dcBase, CDC::liveCount());
}

}  // namespace

namespace {

// WM_PRINTCLIENT reaches a window's OnPaint with the DC it carries: the
// paint lands there, at the DC's origin, and the window's own pending paint
// stays pending (nothing began or ended a paint on it).
TEST(Gdi, PrintClientPaintsIntoTheGivenDC) {
    CPaintingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"print", WS_POPUP | WS_VISIBLE, 40, 120, 160, 60, nullptr,
                             nullptr));
    pumpFor(50);
    const long dcBase = CDC::liveCount();
    const int paints = wnd.m_paints;
    wnd.Invalidate(FALSE);
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, dib);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::PatBlt(mem, 0, 0, 20, 20, WHITENESS);
    // The window's point (100, 5), clear of the diagonal, lands on (0, 0).
    ::SetViewportOrgEx(mem, -100, -5, nullptr);
    wnd.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem.m_hDC), PRF_CLIENT);
    POINT origin{};
    ::GetViewportOrgEx(mem, &origin);
    EXPECT_EQ(-100, origin.x) << "the DC comes back as it was handed";
    EXPECT_EQ(wnd.m_paints, paints + 1);
    EXPECT_EQ(RGB(0x10, 0x60, 0x30), ::GetPixel(mem, 100, 5));
    EXPECT_TRUE(::GetUpdateRect(wnd, nullptr, FALSE)) << "the real paint is still due";
    EXPECT_EQ(dcBase + 1, CDC::liveCount());
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    pumpUntil([&] { return !::GetUpdateRect(wnd, nullptr, FALSE); });
    EXPECT_EQ(wnd.m_paints, paints + 2);
}

}  // namespace
