// Run-time classes, temporary wrappers, the lists and the string helper.
#include "tests/afx/wnd/wnd_fixture.h"

namespace {

class CProbeStatic : public CStatic {
    DECLARE_DYNAMIC(CProbeStatic)
};
IMPLEMENT_DYNAMIC(CProbeStatic, CStatic)

struct KindCase {
    const char* name;
    CObject* object;
    const CRuntimeClass* cls;
    bool expected;
};

TEST(RuntimeClass, IsKindOfFollowsTheWholeChain) {
    CWnd wnd;
    CDialog dialog;
    CButton button;
    CProbeStatic probe;
    CEdit edit;
    CComboBox combo;
    CRichEditCtrl rich;
    CFrameWndEx frame;
    CStringList strings;
    CFont font;
    const KindCase cases[] = {
        {"wnd is CWnd", &wnd, RUNTIME_CLASS(CWnd), true},
        {"wnd is no dialog", &wnd, RUNTIME_CLASS(CDialog), false},
        {"dialog is CWnd", &dialog, RUNTIME_CLASS(CWnd), true},
        {"button is CButton", &button, RUNTIME_CLASS(CButton), true},
        {"button is no CStatic", &button, RUNTIME_CLASS(CStatic), false},
        {"derived static is CStatic", &probe, RUNTIME_CLASS(CStatic), true},
        {"derived static is CCmdTarget", &probe, RUNTIME_CLASS(CCmdTarget), true},
        {"edit is no rich edit", &edit, RUNTIME_CLASS(CRichEditCtrl), false},
        {"rich edit is no CEdit", &rich, RUNTIME_CLASS(CEdit), false},
        {"combo is CComboBox", &combo, RUNTIME_CLASS(CComboBox), true},
        {"frame ex is CFrameWnd", &frame, RUNTIME_CLASS(CFrameWnd), true},
        {"frame ex is CObject", &frame, RUNTIME_CLASS(CObject), true},
        {"list is no CWnd", &strings, RUNTIME_CLASS(CWnd), false},
        {"font is CGdiObject", &font, RUNTIME_CLASS(CGdiObject), true},
    };
    for (const KindCase& c : cases) EXPECT_EQ(c.expected, c.object->IsKindOf(c.cls) != FALSE) << c.name;
    EXPECT_STREQ("CProbeStatic", probe.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(&probe, DYNAMIC_DOWNCAST(CStatic, &probe));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CStatic, &button));

    // Dynamically creatable classes make objects of their own class.
    CObject* made = RUNTIME_CLASS(CFrameWnd)->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(RUNTIME_CLASS(CFrameWnd), made->GetRuntimeClass());
    delete made;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CWnd)->CreateObject());
}

TEST(RuntimeClass, TemporaryWrapperIsAPlainWndUntilTheControlIsSubclassed) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), L"parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    HWND hStatic = ::CreateWindowExW(0, L"STATIC", L"x", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd,
                                     reinterpret_cast<HMENU>(7), nullptr, nullptr);
    ASSERT_NE(nullptr, hStatic);

    CWnd* temp = CWnd::FromHandle(hStatic);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hStatic));
    EXPECT_EQ(RUNTIME_CLASS(CWnd), temp->GetRuntimeClass());
    EXPECT_FALSE(temp->IsKindOf(RUNTIME_CLASS(CStatic)));
    EXPECT_EQ(temp, parent.GetDlgItem(7)) << "one wrapper per handle until idle time";

    CProbeStatic bound;
    ASSERT_TRUE(bound.SubclassDlgItem(7, &parent));
    EXPECT_EQ(&bound, CWnd::FromHandle(hStatic));
    EXPECT_TRUE(parent.GetDlgItem(7)->IsKindOf(RUNTIME_CLASS(CStatic)));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    AfxDeleteTempMaps();
}

TEST(Collections, ListsKeepOrderAndPositions) {
    CStringList list;
    list.AddTail(L"b");
    list.AddHead(L"a");
    POSITION c = list.AddTail(L"c");
    list.InsertBefore(c, CString(L"bc"));
    list.InsertAfter(c, CString(L"d"));
    CString joined;
    for (POSITION p = list.GetHeadPosition(); p;) joined += list.GetNext(p) + L",";
    EXPECT_EQ(CString(L"a,b,bc,c,d,"), joined);
    EXPECT_EQ(5, list.GetCount());
    EXPECT_EQ(c, list.Find(L"c"));
    EXPECT_EQ(nullptr, list.Find(L"a", list.GetHeadPosition()));
    EXPECT_EQ(CString(L"bc"), list.GetAt(list.FindIndex(2)));
    list.RemoveAt(c);
    EXPECT_EQ(CString(L"a"), list.RemoveHead());
    EXPECT_EQ(CString(L"d"), list.RemoveTail());
    EXPECT_EQ(CString(L"bc"), list.GetTail());
    EXPECT_EQ(nullptr, list.FindIndex(2));

    CPtrList ptrs;
    int x = 0, y = 0;
    ptrs.AddTail(&x);
    ptrs.AddTail(&y);
    POSITION p = ptrs.GetTailPosition();
    EXPECT_EQ(&y, ptrs.GetPrev(p));
    EXPECT_EQ(&x, ptrs.GetAt(p));
    ptrs.RemoveAll();
    EXPECT_TRUE(ptrs.IsEmpty());
    EXPECT_EQ(nullptr, ptrs.GetHeadPosition());
}

TEST(ExtractSubString, FieldsCountFromZero) {
    struct Case {
        const wchar_t* text;
        int index;
        wchar_t sep;
        BOOL found;
        const wchar_t* field;
    } cases[] = {
        {L"Title\nDoc\n", 0, L'\n', TRUE, L"Title"},
        {L"Title\nDoc\n", 1, L'\n', TRUE, L"Doc"},
        {L"Title\nDoc\n", 2, L'\n', TRUE, L""},
        {L"Title\nDoc\n", 3, L'\n', FALSE, L""},
        {L"C:\\Users\\kim\\Data", 2, L'\\', TRUE, L"kim"},
        {L"C:\\Users", 4, L'\\', FALSE, L""},
        {L"", 0, L'\\', TRUE, L""},
    };
    for (const Case& c : cases) {
        CString field = L"stale";
        EXPECT_EQ(c.found, AfxExtractSubString(field, c.text, c.index, c.sep)) << c.index;
        EXPECT_EQ(CString(c.field), field) << c.index;
    }
    CString field;
    EXPECT_FALSE(AfxExtractSubString(field, nullptr, 0));
}

}  // namespace
