#pragma once
// Message maps: a static table per class, chained to its base class's table
// and searched class by class from the most derived one. Each entry carries
// a small thunk that cracks the message's parameters and calls the handler
// on the object, so a handler has exactly the signature it has in the
// library's documentation.
//
// Handlers are named as member pointers, as in
// ON_BN_CLICKED(IDC_BUTTON_OK, &CDlgPageLogin::OnBnClickedButtonOk).
#include <windows.h>

class CCmdTarget;

// Signed coordinates of mouse messages (windowsx.h would redefine CWnd's
// method names as macros).
#define AFX_X_LPARAM(lp) static_cast<int>(static_cast<short>(LOWORD(lp)))
#define AFX_Y_LPARAM(lp) static_cast<int>(static_cast<short>(HIWORD(lp)))

using AFX_MSGTHUNK = BOOL (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;               // window message, WM_COMMAND, WM_NOTIFY, or a reflected one
    UINT nCode;                  // notification code of command and notify entries
    UINT nID;                    // first and last control id of command and notify entries
    UINT nLastID;
    const UINT* pnRegistered;    // registered messages: where the id lives (it is set at run time)
    AFX_MSGTHUNK pfn;            // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// What a notify handler receives through OnCmdMsg's extra argument.
struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Reflected messages come back to the control under this offset.
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// The one entry kind for all WM_CTLCOLOR* messages.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
// Marks a registered-message entry.
constexpr UINT AFX_REGISTERED_ENTRY = 0xC000;

#define DECLARE_MESSAGE_MAP()                                \
protected:                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                       \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                               \
        {0, 0, 0, 0, nullptr, nullptr}};                                                \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                             \
    }

#define AFX_THUNK_BEGIN                                                                              \
    [](CCmdTarget* afxTarget, UINT afxMsg, WPARAM wParam, LPARAM lParam, LRESULT* afxResult) -> BOOL { \
        ThisClass* self = static_cast<ThisClass*>(afxTarget);                                       \
        (void)self; (void)afxMsg; (void)wParam; (void)lParam; (void)afxResult;

// A window message whose handler always handles it.
#define AFX_WM_ENTRY(msg, ...) {msg, 0, 0, 0, nullptr, AFX_THUNK_BEGIN __VA_ARGS__; return TRUE; }},

#define AFX_MOUSE_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, self->fn(static_cast<UINT>(wParam), CPoint(AFX_X_LPARAM(lParam), AFX_Y_LPARAM(lParam))))
#define AFX_KEY_ENTRY(msg, fn) \
    AFX_WM_ENTRY(msg, self->fn(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))

#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, self->OnPaint())
#define ON_WM_ERASEBKGND() \
    AFX_WM_ENTRY(WM_ERASEBKGND, *afxResult = self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))))
#define ON_WM_SIZE() \
    AFX_WM_ENTRY(WM_SIZE, self->OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CREATE() \
    AFX_WM_ENTRY(WM_CREATE, *afxResult = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, self->OnDestroy())
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, self->OnNcDestroy())
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_WM_NCHITTEST() \
    AFX_WM_ENTRY(WM_NCHITTEST, *afxResult = self->OnNcHitTest(CPoint(AFX_X_LPARAM(lParam), AFX_Y_LPARAM(lParam))))
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, self->OnNcPaint())
#define ON_WM_NCCALCSIZE() \
    AFX_WM_ENTRY(WM_NCCALCSIZE, self->OnNcCalcSize(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)))
#define ON_WM_SYSCOMMAND() AFX_WM_ENTRY(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, self->OnClose())
#define ON_WM_SETCURSOR()                                                                               \
    AFX_WM_ENTRY(WM_SETCURSOR, *afxResult = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                              LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_KILLFOCUS() \
    AFX_WM_ENTRY(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))))
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, self->OnEnable(static_cast<BOOL>(wParam)))
#define ON_WM_SHOWWINDOW() \
    AFX_WM_ENTRY(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEHOVER() AFX_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_WM_ENTRY(WM_MOUSELEAVE, self->OnMouseLeave())
#define ON_WM_MOUSEWHEEL()                                                                          \
    AFX_WM_ENTRY(WM_MOUSEWHEEL, *afxResult = self->OnMouseWheel(GET_KEYSTATE_WPARAM(wParam),         \
                                                                GET_WHEEL_DELTA_WPARAM(wParam),      \
                                                                CPoint(AFX_X_LPARAM(lParam), AFX_Y_LPARAM(lParam))))
#define AFX_SCROLL_ENTRY(msg, fn)                                                       \
    AFX_WM_ENTRY(msg, self->fn(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),       \
                               static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))))
#define ON_WM_VSCROLL() AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
#define ON_WM_HSCROLL() AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_GETMINMAXINFO() \
    AFX_WM_ENTRY(WM_GETMINMAXINFO, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))
#define ON_WM_WINDOWPOSCHANGING() \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)))
// Every WM_CTLCOLOR* message; nCtlColor is CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC.
#define ON_WM_CTLCOLOR()                                                                                  \
    AFX_WM_ENTRY(WM_CTLCOLOR, *afxResult = reinterpret_cast<LRESULT>(self->OnCtlColor(                   \
                                  CDC::FromHandle(reinterpret_cast<HDC>(wParam)),                        \
                                  CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), afxMsg - WM_CTLCOLORMSGBOX)))
#define ON_WM_DRAWITEM() \
    AFX_WM_ENTRY(WM_DRAWITEM, self->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); *afxResult = TRUE)
#define ON_WM_MEASUREITEM() \
    AFX_WM_ENTRY(WM_MEASUREITEM, self->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); *afxResult = TRUE)

// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) AFX_WM_ENTRY(message, *afxResult = (self->*(memberFxn))(wParam, lParam))
// The registered id is read at dispatch: RWM_ ids are set during dynamic
// initialisation, after which a copy taken into the table would be stale.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                              \
    {AFX_REGISTERED_ENTRY, 0, 0, 0, &(nMessageVariable),                                \
     AFX_THUNK_BEGIN *afxResult = (self->*(memberFxn))(wParam, lParam); return TRUE; }},

// Commands and control notifications: void memberFxn()
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, AFX_THUNK_BEGIN (self->*(memberFxn))(); return TRUE; }},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)

// void memberFxn(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, memberFxn)                                                                  \
    {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), nullptr,        \
     AFX_THUNK_BEGIN auto* n = reinterpret_cast<AFX_NOTIFY*>(lParam); (self->*(memberFxn))(n->pNMHDR, n->pResult); return TRUE; }},

// Reflected to the control that sent them. The plain forms consume the
// notification; the _EX forms pass it on to the parent when they return FALSE.
#define ON_CONTROL_REFLECT(code, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, nullptr, AFX_THUNK_BEGIN (self->*(memberFxn))(); return TRUE; }},
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0, nullptr, AFX_THUNK_BEGIN return (self->*(memberFxn))(); }},
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                          \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, nullptr,                           \
     AFX_THUNK_BEGIN auto* n = reinterpret_cast<AFX_NOTIFY*>(lParam); (self->*(memberFxn))(n->pNMHDR, n->pResult); return TRUE; }},
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                                       \
    {WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, nullptr,                           \
     AFX_THUNK_BEGIN auto* n = reinterpret_cast<AFX_NOTIFY*>(lParam); return (self->*(memberFxn))(n->pNMHDR, n->pResult); }},
// HBRUSH CtlColor(CDC*, UINT nCtlColor); a null brush leaves the message to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                     \
    {WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, nullptr,                                                \
     AFX_THUNK_BEGIN HBRUSH hbr = self->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),     \
                                                 afxMsg - WM_CTLCOLORMSGBOX);                        \
     if (!hbr) { return FALSE; } *afxResult = reinterpret_cast<LRESULT>(hbr); return TRUE; }},
