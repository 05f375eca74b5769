// The popup base and the message box, run modally and driven from a second
// thread that finds the box by its title, as a user (or the start-up code's
// single-instance check) would.
#include "tests/support/capture.h"
#include "tests/ui_bases/ui_env.h"

#include "afx/afx.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/dlg_msg_box.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

namespace {

const wchar_t* const kBoxTitle = L"Kestrune message box under test";

struct BoxView {
    HWND box = nullptr;
    RECT client{};
    RECT control(UINT id) const { return childRectIn(box, ::GetDlgItem(box, id)); }
    bool visible(UINT id) const { return ::IsWindowVisible(::GetDlgItem(box, id)) != FALSE; }
};

// Runs the box modally; drive() runs on another thread once the box is up.
INT_PTR runBox(CDlgMsgBox& box, const std::function<void(const BoxView&)>& drive) {
    box.setWindowTitle(kBoxTitle);
    std::atomic<bool> found{false};
    std::thread driver([&] {
        BoxView view;
        for (int i = 0; i < 500 && !view.box; ++i) {
            view.box = FindWindowW(nullptr, kBoxTitle);
            if (!view.box) Sleep(10);
        }
        if (!view.box) return;
        found = true;
        Sleep(150);
        GetClientRect(view.box, &view.client);
        drive(view);
        // Whatever the driver did, the box must go.
        for (int i = 0; i < 100 && IsWindow(view.box); ++i) Sleep(20);
        if (IsWindow(view.box)) PostMessageW(view.box, WM_COMMAND, IDCANCEL, 0);
    });
    INT_PTR result = box.DoModal();
    driver.join();
    EXPECT_TRUE(found) << "the box was found by its title";
    return result;
}

void clickControl(const BoxView& view, UINT id) {
    RECT r = view.control(id);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(view.box, &p);
    SetCursorPos(p.x, p.y);
    Sleep(60);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(150);
}

void keys(const std::vector<WORD>& sequence) {
    std::vector<INPUT> inputs;
    for (WORD k : sequence) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = k;
        inputs.push_back(in);
    }
    for (auto it = sequence.rbegin(); it != sequence.rend(); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(150);
}

class MsgBox : public testing::Test {
protected:
    void SetUp() override { useLanguage(REGION_US, LANGUAGE_EN); }
};

TEST_F(MsgBox, OnlyOkOnTheDamagedFilesMessageAnswersOk) {
    struct {
        bool typed;
        int type;
        INT_PTR expected;
    } cases[] = {
        {true, POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE, IDOK},
        {true, POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL, IDCANCEL},
        {true, POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL, IDCANCEL},
        {false, 2, IDCANCEL},  // a plain box with layout 2 says nothing about OK
        {false, 4, IDCANCEL},
    };
    for (const auto& c : cases) {
        CDlgMsgBox box;
        if (!c.typed) box.setMessage(L"Kestrune", L"Plain message");
        box.m_nType = c.type;
        EXPECT_EQ(c.expected, runBox(box, [](const BoxView& v) { clickControl(v, IDC_BUTTON_OK); }))
            << "typed " << c.typed << " type " << c.type;
    }
}

TEST_F(MsgBox, EnterEscAndSpaceDoNothingAltF4AndCloseAreCancel) {
    CDlgMsgBox box;
    box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE;
    bool stillOpen = false;
    INT_PTR result = runBox(box, [&](const BoxView& v) {
        SetForegroundWindow(v.box);
        keys({VK_RETURN});
        keys({VK_ESCAPE});
        keys({VK_SPACE});
        stillOpen = IsWindow(v.box) && IsWindowVisible(v.box);
        keys({VK_MENU, VK_F4});
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(IDCANCEL, result) << "Alt+F4 is Cancel, even where OK would answer IDOK";

    CDlgMsgBox second;
    second.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_DOWN_FILE_AND_CRC_SIZE;
    EXPECT_EQ(IDCANCEL, runBox(second, [](const BoxView& v) { SendMessageW(v.box, WM_SYSCOMMAND, SC_CLOSE, 0); }));
}

TEST_F(MsgBox, TypedLayoutsInEveryDirection) {
    struct {
        int region, language, type;
        int width, height;
        RECT ok;                    // left, top, right, bottom
        int messageTop, linkLeft, linkWidth;
        bool cancel;
    } cases[] = {
        {REGION_US, LANGUAGE_EN, 0, 400, 284, {135, 234, 265, 274}, 168, -1, 0, false},
        {REGION_US, LANGUAGE_EN, 1, 400, 326, {135, 276, 265, 316}, 144, 67, 265, false},
        {REGION_US, LANGUAGE_ES, 1, 400, 326, {135, 276, 265, 316}, 154, 37, 325, false},
        {REGION_KR, LANGUAGE_KO, 1, 400, 326, {135, 276, 265, 316}, 144, 117, 165, false},
        {REGION_US, LANGUAGE_EN, 2, 500, 250, {100, 190, 230, 230}, -1, -1, 0, true},
        {REGION_ME, LANGUAGE_AR, 2, 500, 250, {270, 190, 400, 230}, -1, -1, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "language " << c.language << " type " << c.type);
        useLanguage(c.region, c.language);
        CDlgMsgBox box;
        box.m_nType = c.type;
        runBox(box, [&](const BoxView& v) {
            EXPECT_EQ(c.width, v.client.right);
            EXPECT_EQ(c.height, v.client.bottom);
            RECT ok = v.control(IDC_BUTTON_OK);
            EXPECT_EQ(c.ok.left, ok.left);
            EXPECT_EQ(c.ok.top, ok.top);
            EXPECT_EQ(c.ok.right, ok.right);
            EXPECT_EQ(c.messageTop >= 0, v.visible(IDC_STATIC_MESSAGE));
            if (c.messageTop >= 0) {
                EXPECT_EQ(c.messageTop, v.control(IDC_STATIC_MESSAGE).top);
            }
            EXPECT_EQ(c.linkLeft >= 0, v.visible(IDC_STATIC_LINK));
            if (c.linkLeft >= 0) {
                RECT link = v.control(IDC_STATIC_LINK);
                EXPECT_EQ(c.linkLeft, link.left);
                EXPECT_EQ(228, link.top);
                EXPECT_EQ(c.linkWidth, link.right - link.left);
            }
            EXPECT_EQ(c.cancel, v.visible(IDC_BUTTON_CANCEL));
            EXPECT_FALSE(v.visible(IDC_BUTTON_EXIT)) << "the close button stays hidden";
            EXPECT_TRUE(v.visible(IDC_STATIC_TITLE));
            PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

TEST_F(MsgBox, PlainLayoutHasAShortAndATallTextArea) {
    for (int layout : {4, 1}) {
        CDlgMsgBox box;
        box.setMessage(L"Kestrune", L"The brand fonts are missing.\nPlease install the program again.");
        box.m_nType = layout;
        runBox(box, [&](const BoxView& v) {
            EXPECT_EQ(400, v.client.right);
            EXPECT_EQ(220, v.client.bottom);
            RECT title = v.control(IDC_STATIC_TITLE);
            EXPECT_EQ(layout == 4 ? 70 : 90, title.bottom - title.top);
            EXPECT_EQ(160, v.control(IDC_BUTTON_OK).top);
            EXPECT_FALSE(v.visible(IDC_BUTTON_CANCEL));
            EXPECT_FALSE(v.visible(IDC_STATIC_MESSAGE));
            PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(CString(L"Kestrune"), box.m_strTitle);
    }
}

TEST_F(MsgBox, DownloadFailureRecordsDravaneWhenNoBrandIsKnown) {
    CString section;
    section.Format(L"%s_User", getRegionCode(CRegSetting::getRegion()).GetString());
    struct {
        const wchar_t* stored;  // null: absent
        int expected;
    } cases[] = {{nullptr, CORP_DR}, {L"unknown", CORP_DR}, {L"luvo", CORP_LV}, {L"tessaly", CORP_TS}};
    for (const auto& c : cases) {
        AfxGetApp()->WriteProfileString(section, L"LastUserCorp", c.stored);
        CDlgMsgBox box;
        box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_DOWNLOAD_FAIL;
        runBox(box, [](const BoxView& v) { PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0); });
        EXPECT_EQ(c.expected, CRegSetting::getLastUserCorp()) << (c.stored ? CW2A(c.stored).operator LPCSTR() : "absent");
    }
}

TEST_F(MsgBox, PopupBackgroundAndTitleAreDrawn) {
    CDlgMsgBox box;
    box.m_nType = POPUP_MSG_TYPE_LIVEUPDATE_NETWORK_FAIL;
    runBox(box, [](const BoxView& v) {
        WindowShot shot;
        ASSERT_TRUE(shot.capture(v.box, true));
        // 324 is nine-sliced to 400 x 284: its edge band keeps the skin colour.
        EXPECT_EQ(skinFill(324), shot.at(200, 5));
        RECT header = {14, 0, 400, 60};
        EXPECT_GT(shot.count(0x383838, header), 20) << "the bold title";
        PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);
    });
}

class MsgBoxScreens : public MsgBox, public testing::WithParamInterface<UiLanguage> {};

TEST_P(MsgBoxScreens, FourLayouts) {
    const UiLanguage& lang = GetParam();
    useLanguage(lang);
    struct {
        bool typed;
        int type;
        const wchar_t* file;
        const wchar_t* shows;
    } shots[] = {
        {true, 0, L"msgbox-01-network", L"typed 0, 400x284: title 12421 in the header, network failure title and "
                                        L"hint, OK centred"},
        {true, 1, L"msgbox-02-download", L"typed 1, 400x326: download failure title, two hint lines each on "
                                         L"its own line (a long one wraps), the customer-centre link (12054) "
                                         L"above OK"},
        {true, 2, L"msgbox-03-damaged", L"typed 2, 500x250: damaged-files title with 'Kestrune ' in the first "
                                        L"line, OK and Cancel; Arabic: Cancel left of OK"},
        {false, 1, L"msgbox-04-plain", L"plain, 400x220: header title 'Kestrune', the message centred in two "
                                       L"lines, OK"},
    };
    for (const auto& s : shots) {
        CDlgMsgBox box;
        if (!s.typed) {
            box.setMessage(L"Kestrune", CLangLibrary::loadLangString(IDS_LIVEUPDATE_NETWORK_FAIL) + L"\n" +
                                            CLangLibrary::loadLangString(IDS_LIVEUPDATE_NETWORK_HINT));
        }
        box.m_nType = s.type;
        runBox(box, [&](const BoxView& v) {
            CString name;
            name.Format(L"%s-%s", lang.tag, s.file);
            saveScreenshot(v.box, name, s.shows, true);
            PostMessageW(v.box, WM_COMMAND, IDCANCEL, 0);
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, MsgBoxScreens, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<UiLanguage>& info) {
                             return std::string(CW2A(info.param.tag));
                         });

}  // namespace
