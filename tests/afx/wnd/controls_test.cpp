// The standard controls made with Create, and a form view inside a page.
#include "tests/afx/wnd/resource.h"
#include "tests/afx/wnd/wnd_fixture.h"

#include <algorithm>
#include <iterator>

namespace {

TEST(Controls, CreateAndDriveEachControl) {
    ASSERT_TRUE(AfxInitRichEdit2());
    CDialog host(IDD_CONTROLS);
    ASSERT_TRUE(host.Create(IDD_CONTROLS, CWnd::GetDesktopWindow()));
    const DWORD child = WS_CHILD | WS_VISIBLE;

    CStatic label;
    CButton check;
    CEdit edit;
    CRichEditCtrl rich;
    CComboBox combo;
    CListBox list;
    CScrollBar bar;
    CProgressCtrl progress;
    ASSERT_TRUE(label.Create(L"Static label", child, CRect(10, 10, 150, 28), &host, 2001));
    ASSERT_TRUE(check.Create(L"Check box", child | BS_AUTOCHECKBOX, CRect(160, 10, 300, 30), &host, 2002));
    ASSERT_TRUE(edit.Create(child | WS_BORDER | ES_AUTOHSCROLL, CRect(10, 40, 150, 62), &host, 2003));
    ASSERT_TRUE(rich.Create(child | WS_BORDER | ES_MULTILINE, CRect(160, 40, 380, 100), &host, 2004));
    ASSERT_TRUE(combo.Create(child | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 110, 150, 200), &host, 2005));
    ASSERT_TRUE(list.Create(child | WS_BORDER | LBS_NOTIFY, CRect(160, 110, 300, 170), &host, 2006));
    ASSERT_TRUE(bar.Create(child | SBS_VERT, CRect(360, 110, 377, 200), &host, 2007));
    ASSERT_TRUE(progress.Create(child, CRect(10, 210, 380, 228), &host, 2008));

    struct Kind {
        CWnd* wnd;
        const CRuntimeClass* cls;
        int id;
    } kinds[] = {{&label, RUNTIME_CLASS(CStatic), 2001},   {&check, RUNTIME_CLASS(CButton), 2002},
                 {&edit, RUNTIME_CLASS(CEdit), 2003},      {&rich, RUNTIME_CLASS(CRichEditCtrl), 2004},
                 {&combo, RUNTIME_CLASS(CComboBox), 2005}, {&list, RUNTIME_CLASS(CListBox), 2006},
                 {&bar, RUNTIME_CLASS(CScrollBar), 2007},  {&progress, RUNTIME_CLASS(CProgressCtrl), 2008}};
    for (const Kind& k : kinds) {
        CWnd* found = host.GetDlgItem(k.id);
        EXPECT_EQ(k.wnd, found) << k.id;
        EXPECT_TRUE(found->IsKindOf(k.cls)) << k.id;
    }

    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, check.GetCheck());

    edit.SetWindowText(L"abcdef");
    edit.SetSel(1, 4);
    int start = 0, end = 0;
    edit.GetSel(start, end);
    EXPECT_EQ(1, start);
    EXPECT_EQ(4, end);

    rich.SetEventMask(rich.GetEventMask() | ENM_LINK);
    EXPECT_TRUE(rich.GetEventMask() & ENM_LINK);
    rich.SetWindowText(L"rich edit text");
    CString range;
    EXPECT_EQ(4, rich.GetTextRange(0, 4, range));
    EXPECT_EQ(CString(L"rich"), range);
    rich.SetBackgroundColor(FALSE, RGB(0xF5, 0xF5, 0xF5));

    combo.AddString(L"first");
    combo.AddString(L"second");
    combo.SetCurSel(1);
    CString item;
    combo.GetLBText(combo.GetCurSel(), item);
    EXPECT_EQ(CString(L"second"), item);
    combo.GetLBText(7, item);
    EXPECT_TRUE(item.IsEmpty());

    list.AddString(L"one");
    list.AddString(L"two");
    list.SetCurSel(0);
    list.GetText(1, item);
    EXPECT_EQ(CString(L"two"), item);
    EXPECT_EQ(2, list.GetCount());

    SCROLLINFO si{};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = 100;
    si.nPage = 20;
    si.nPos = 30;
    bar.SetScrollInfo(&si);
    EXPECT_EQ(30, bar.GetScrollPos());

    progress.SetRange32(0, 1000);
    progress.SetPos(600);
    int lower = -1, upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(1000, upper);
    EXPECT_EQ(600, progress.GetPos());

    host.ShowWindow(SW_SHOW);
    EXPECT_TRUE(saveScreenshot(host, L"standard_controls",
                               "dialog \"Controls\": label, ticked check box, edit \"abcdef\", "
                               "rich edit text, combo showing \"second\", list one/two, a vertical scroll bar, a "
                               "progress bar at 60 %"));
}

// An extended-selection list: the selection as counts, per row and as the
// array of selected rows, which never runs past the caller's buffer.
TEST(Controls, ExtendedSelectionListReportsItsSelectedRows) {
    CDialog host(IDD_CONTROLS);
    ASSERT_TRUE(host.Create(IDD_CONTROLS, CWnd::GetDesktopWindow()));
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY | LBS_EXTENDEDSEL, CRect(10, 10, 200, 120),
                            &host, 2010));
    for (const wchar_t* row : {L"zero", L"one", L"two", L"three", L"four"}) list.AddString(row);

    EXPECT_EQ(0, list.GetSelCount());
    int rows[8] = {};
    EXPECT_EQ(0, list.GetSelItems(8, rows));
    list.SetSel(1);
    list.SetSel(3);
    list.SetSel(4);
    list.SetSel(4, FALSE);
    EXPECT_EQ(2, list.GetSelCount());
    EXPECT_EQ(0, list.GetSel(0));
    EXPECT_GT(list.GetSel(1), 0);
    EXPECT_EQ(0, list.GetSel(4));

    std::fill(std::begin(rows), std::end(rows), -7);
    EXPECT_EQ(2, list.GetSelItems(8, rows));
    EXPECT_EQ(1, rows[0]);
    EXPECT_EQ(3, rows[1]);
    EXPECT_EQ(-7, rows[2]);
    // A buffer of one takes the first selected row only.
    std::fill(std::begin(rows), std::end(rows), -7);
    EXPECT_EQ(1, list.GetSelItems(1, rows));
    EXPECT_EQ(1, rows[0]);
    EXPECT_EQ(-7, rows[1]);

    // Row -1 stands for every row.
    list.SetSel(-1, TRUE);
    EXPECT_EQ(5, list.GetSelCount());
    EXPECT_EQ(5, list.GetSelItems(8, rows));
    EXPECT_EQ(4, rows[4]);
    list.SetSel(-1, FALSE);
    EXPECT_EQ(0, list.GetSelCount());
    EXPECT_EQ(0, list.GetSelItems(8, rows));

    // A single-selection list has no selection count.
    CListBox single;
    ASSERT_TRUE(single.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(210, 10, 380, 120), &host, 2011));
    single.AddString(L"only");
    single.SetCurSel(0);
    EXPECT_EQ(LB_ERR, single.GetSelCount());
    host.DestroyWindow();
}

class CTermsForm : public CFormView {
public:
    CTermsForm() : CFormView(IDD_FORM) {}
    CStatic m_label;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LABEL, m_label); }
};

TEST(Controls, FormViewIsMadeFromItsTemplateAndDeletedByItsOwner) {
    CDialog page(IDD_PAGE);
    ASSERT_TRUE(page.Create(IDD_PAGE, CWnd::GetDesktopWindow()));
    auto* form = new CTermsForm;
    ASSERT_TRUE(form->Create(nullptr, nullptr, WS_CHILD | WS_VSCROLL | WS_HSCROLL, CRect(5, 5, 205, 105), &page, 482,
                             nullptr));
    EXPECT_EQ(482, form->GetDlgCtrlID());
    EXPECT_EQ(&page, form->GetParent());
    CRect rc;
    form->GetWindowRect(&rc);
    EXPECT_EQ(200, rc.Width());
    EXPECT_EQ(100, rc.Height());
    EXPECT_EQ(nullptr, form->m_label.m_hWnd);
    form->OnInitialUpdate();
    EXPECT_NE(nullptr, form->m_label.m_hWnd);
    form->ShowWindow(SW_SHOW);
    EXPECT_TRUE(form->IsKindOf(RUNTIME_CLASS(CFormView)));
    form->DestroyWindow();
    delete form;  // the page deletes its form after destroying it
}

}  // namespace
