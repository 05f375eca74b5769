#include "tests/ui_bases/ui_env.h"

#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"

#include "skin_table.h"

#include <gtest/gtest.h>
#include <psapi.h>

const UiLanguage kLanguages[3] = {
    {L"ko", REGION_KR, LANGUAGE_KO},
    {L"en", REGION_US, LANGUAGE_EN},
    // Region KR resets other languages: Arabic runs in the Middle East.
    {L"ar", REGION_ME, LANGUAGE_AR},
};

void useLanguage(int region, int language) {
    CRegSetting::setRegion(region);
    CRegSetting::setLanguage(language);
    CLangLibrary::loadLanguage(language);
    CFontCache::selectFaceForCorp(CORP_TS);
}

void useLanguage(const UiLanguage& language) { useLanguage(language.region, language.language); }

BOOL RecordingFrame::create() {
    if (GetSafeHwnd()) return TRUE;
    return CreateEx(0, AfxRegisterWndClass(0), L"Kestrune test frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 100, 100),
                    nullptr, 0);
}

LRESULT RecordingFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == RWM_SEND_STATICS) ++sendStatics;
    if (message == RWM_SEND_STATICS_HIDDEN) ++sendStaticsHidden;
    return CWnd::WindowProc(message, wParam, lParam);
}

RecordingFrame& mainFrame() {
    static RecordingFrame frame;
    return frame;
}

void pumpFor(DWORD forMs) {
    pumpUntil([] { return false; }, forMs);
}

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void focusWindow(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(window);
    pumpFor(50);
}

void pressKeys(const std::vector<WORD>& keys) {
    // Released only after the pump: the filters read the asynchronous state
    // of Ctrl and Shift while they handle the key.
    auto send = [](const std::vector<WORD>& order, DWORD flags) {
        std::vector<INPUT> inputs;
        for (WORD k : order) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = k;
            in.ki.dwFlags = flags;
            inputs.push_back(in);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    };
    send(keys, 0);
    pumpFor(120);
    send(std::vector<WORD>(keys.rbegin(), keys.rend()), KEYEVENTF_KEYUP);
    pumpFor(60);
}

void clickAt(HWND window, int clientX, int clientY) {
    POINT p = {clientX, clientY};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    pumpFor(50);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    pumpFor(120);
}

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

SIZE_T pagefileUsage() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

COLORREF skinFill(int id, int frame) {
    for (const SkinRow& row : kSkinTable) {
        if (row.id == id && frame < row.frames) return row.fill[frame];
    }
    ADD_FAILURE() << "skin " << id << " frame " << frame << " is not in the table";
    return CLR_INVALID;
}

const SkinRow& skinRow(int id) {
    for (const SkinRow& row : kSkinTable) {
        if (row.id == id) return row;
    }
    ADD_FAILURE() << "skin " << id << " is not in the table";
    static const SkinRow none{};
    return none;
}

RECT childRectIn(HWND parent, HWND child) {
    RECT r{0, 0, 0, 0};
    if (!child || !GetWindowRect(child, &r)) return r;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

namespace {

// GDI+ and this executable's skins for every test of the binary.
class BasesEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
        CGdiFunc::setGdiplusToken(m_token);
        CGdiFunc::setResourceModule(GetModuleHandleW(nullptr));
        ASSERT_TRUE(mainFrame().create());
        AfxGetApp()->m_pMainWnd = &mainFrame();
    }
    void TearDown() override {
        AfxGetApp()->m_pMainWnd = nullptr;
        if (mainFrame().GetSafeHwnd()) mainFrame().DestroyWindow();
        CFontCache::clear();
        CGdiFunc::deleteSharedFamily();
        CGdiFunc::setGdiplusToken(0);
        Gdiplus::GdiplusShutdown(m_token);
    }

private:
    ULONG_PTR m_token = 0;
};

const auto* const registered = testing::AddGlobalTestEnvironment(new BasesEnvironment);

}  // namespace
