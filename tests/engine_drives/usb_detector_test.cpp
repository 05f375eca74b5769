#include "engine/usb_detector.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "tests/engine_drives/fake_drives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Message-only windows on the test thread that note every drive message
// they receive, in arrival order, as "<window><letter><lParam>".
class Listeners {
public:
    Listeners() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == RWM_USBDETECTOR_MESSAGE) {
                wchar_t tag = static_cast<wchar_t>(GetWindowLongPtrW(h, GWLP_USERDATA));
                s_log += tag;
                s_log += static_cast<wchar_t>(w);
                s_log += l ? L'1' : L'0';
                s_log += L' ';
                return 0;
            }
            return DefWindowProcW(h, m, w, l);
        };
        wc.lpszClassName = L"KestruneDriveListener";
        RegisterClassW(&wc);
        for (wchar_t tag : {L'a', L'b'}) {
            HWND h = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
            SetWindowLongPtrW(h, GWLP_USERDATA, tag);
            windows.push_back(h);
        }
        s_log.clear();
    }
    ~Listeners() {
        for (HWND h : windows) DestroyWindow(h);
    }
    // What arrived since the last call.
    std::wstring take() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        std::wstring out = s_log;
        s_log.clear();
        if (!out.empty()) out.pop_back();
        return out;
    }
    HWND a() const { return windows[0]; }
    HWND b() const { return windows[1]; }

private:
    static inline std::wstring s_log;
    std::vector<HWND> windows;
};

// The pair of item-id lists the shell hands over with an event.
class ShellEvent {
public:
    explicit ShellEvent(const wchar_t* path) {
        if (path) m_pidls[0] = ILCreateFromPathW(path);
    }
    ~ShellEvent() {
        if (m_pidls[0]) ILFree(m_pidls[0]);
    }
    bool valid(const wchar_t* path) const { return !path || m_pidls[0]; }
    LRESULT sendTo(HWND window, LONG event) {
        return SendMessageW(window, UM_MEDIA_CHANGED, reinterpret_cast<WPARAM>(m_pidls), event);
    }

private:
    PIDLIST_ABSOLUTE m_pidls[2] = {nullptr, nullptr};
};

std::wstring mapLetters(CUSBDetector& detector) {
    std::wstring letters;
    for (const auto& [letter, info] : *detector.getAllDriveInfoList()) letters += letter;
    return letters;
}

FakeDrive drive(bool accepted) {
    FakeDrive d;
    d.total = accepted ? 8 * kGiB : kMiB;
    return d;
}

// R: and S: exist in the test prefix, so their item-id lists carry a path;
// whether they are acceptable is the fake probe's answer.
TEST(UsbDetector, MediaEventsUpdateTheMapAndTellListeners) {
    FakeDrives fake;
    fake.drives[L'R'] = drive(true);
    fake.drives[L'S'] = drive(false);
    CUSBDetector detector;
    ASSERT_TRUE(detector.Create(nullptr, 0));
    Listeners listeners;
    ASSERT_TRUE(detector.addListener(listeners.a()));
    ASSERT_EQ(L"R", mapLetters(detector));

    struct Step {
        const char* what;
        LONG event;
        const wchar_t* path;
        bool rAccepted, sAccepted;
        const wchar_t* told;
        const wchar_t* map;
    } steps[] = {
        {"media again in a listed drive", SHCNE_MEDIAINSERTED, L"R:\\", true, false, L"aR1", L"R"},
        {"drive added, listed, still passes", SHCNE_DRIVEADD, L"R:\\", true, false, L"aR1", L"R"},
        {"new acceptable drive", SHCNE_DRIVEADD, L"S:\\", true, true, L"aS1", L"RS"},
        {"listed drive no longer passes", SHCNE_MEDIAINSERTED, L"R:\\", false, true, L"", L"S"},
        {"new drive that does not pass", SHCNE_DRIVEADD, L"R:\\", false, true, L"", L"S"},
        {"listed drive removed", SHCNE_MEDIAREMOVED, L"S:\\", false, true, L"aS0", L""},
        {"unlisted drive gone (check fails)", SHCNE_DRIVEREMOVED, L"R:\\", false, false, L"aR0", L""},
        {"unlisted drive still passes", SHCNE_DRIVEREMOVED, L"S:\\", false, true, L"", L""},
        {"other event", SHCNE_RENAMEITEM, L"S:\\", true, true, L"", L""},
        {"item without a file-system path", SHCNE_DRIVEADD, nullptr, true, true, L"", L""},
    };
    for (const Step& s : steps) {
        fake.drives[L'R'] = drive(s.rAccepted);
        fake.drives[L'S'] = drive(s.sAccepted);
        ShellEvent event(s.path);
        ASSERT_TRUE(event.valid(s.path)) << s.what;
        EXPECT_EQ(0, event.sendTo(detector.GetSafeHwnd(), s.event)) << s.what;
        EXPECT_EQ(std::wstring(s.told), listeners.take()) << s.what;
        EXPECT_EQ(std::wstring(s.map), mapLetters(detector)) << s.what;
    }
}

TEST(UsbDetector, ListenersAreListedOnceAndCanLeave) {
    FakeDrives fake;
    fake.drives[L'R'] = drive(true);
    CUSBDetector detector;
    Listeners listeners;
    EXPECT_FALSE(detector.registerNotify(listeners.a()));  // no window yet
    ASSERT_TRUE(detector.Create(nullptr, 0));
    // Wine 8 accepts the shell registration itself.
    EXPECT_TRUE(detector.registerNotify(listeners.a()));
    EXPECT_TRUE(detector.registerNotify(listeners.a()));
    EXPECT_TRUE(detector.registerNotify(listeners.b()));
    EXPECT_TRUE(detector.addListener(listeners.a()));
    EXPECT_FALSE(detector.addListener(nullptr));
    EXPECT_FALSE(detector.removeListener(nullptr));

    ShellEvent event(L"R:\\");
    event.sendTo(detector.GetSafeHwnd(), SHCNE_MEDIAINSERTED);
    EXPECT_EQ(L"aR1 bR1", listeners.take());
    EXPECT_TRUE(detector.removeListener(listeners.a()));
    event.sendTo(detector.GetSafeHwnd(), SHCNE_MEDIAINSERTED);
    EXPECT_EQ(L"bR1", listeners.take());
    EXPECT_TRUE(detector.removeListener(listeners.a()));
    EXPECT_TRUE(detector.removeListener(listeners.b()));
    event.sendTo(detector.GetSafeHwnd(), SHCNE_MEDIAINSERTED);
    EXPECT_EQ(L"", listeners.take());
}

TEST(UsbDetector, WindowIsAChildControlOfItsParent) {
    FakeDrives fake;
    HWND parent = CreateWindowW(L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    {
        CUSBDetector detector;
        ASSERT_TRUE(detector.Create(parent, 1000));
        EXPECT_FALSE(detector.Create(parent, 1000));
        EXPECT_EQ(parent, GetParent(detector.GetSafeHwnd()));
        EXPECT_EQ(1000, GetDlgCtrlID(detector.GetSafeHwnd()));
        EXPECT_FALSE(IsWindowVisible(detector.GetSafeHwnd()));
    }
    EXPECT_EQ(nullptr, FindWindowExW(parent, nullptr, L"KestruneUSBDetector", nullptr));
    DestroyWindow(parent);
}

}  // namespace
