// The vehicle search page under the real root dialog and main frame: its
// entry behind the image guide and the last vehicle chosen again, the lists
// and lines a selection fills, typing, the result list and its keys, the
// wheel, OK against the stand-in's descriptors (loaded after failures, 404,
// dropped), Cancel, and pictures of each state in Korean, English and
// Arabic.
#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/current_ui.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/vehicle/car_change_layout.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "tests/ui_bases/ui_env.h"
#include "tests/webclient/standin_client.h"
#include "ui/dlg_msg_box.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CString lang(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

std::string narrow(const CString& text) {
    std::string out;
    for (int i = 0; i < text.GetLength(); ++i) out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}

std::vector<CString> rowsOf(const CListWnd* list) {
    std::vector<CString> rows;
    for (int i = 0; i < list->itemCount(); ++i) rows.push_back(list->itemAt(i));
    return rows;
}

// What the image guide is asked to show: the placeholder guide does not
// handle the request, so the test listens on its window.
std::vector<std::pair<WPARAM, LPARAM>> g_guideRequests;

LRESULT CALLBACK guideListener(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == UM_GUIDE_SHOW_PAGE) g_guideRequests.emplace_back(wParam, lParam);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

struct Vehicle {
    const wchar_t* car;
    const wchar_t* device;
    int sort;
    BYTE group;
    int deviceType;
    const wchar_t* media;
    const wchar_t* models;
    const wchar_t* versions;
    const wchar_t* masks;
    const wchar_t* inf;
    int modelFlag;
};

// The account's catalogue. Sonata's three devices share a sort number; the
// "TS_" names carry the brand before their first "_"; the model-specific
// entry (flag 1) takes no part in the search.
const Vehicle kCatalogue[] = {
    {L"SONATA", L"NAVI A", 1, 0, 2, L"U", L"12A|12B", L"SW.A1C.001|SW.A1C.002", L"A?C*|A?D*", L"TS_A01_COMMON.inf", 0},
    {L"SONATA", L"NAVI B", 1, 1, 16, L"S", L"12C", L"SW.B2.001", L"B?*", L"TS_A01_COMMON.inf", 0},
    {L"SONATA", L"NAVI C", 1, 0, 1, L"D", L"13X", L"SW.C3.001", L"C?*", L"TS_A01_COMMON.inf", 0},
    {L"AVANTE", L"NAVI D", 2, 0, 17, L"U", L"12_3A", L"SW.D4.001", L"D?*", L"TS_A01_COMMON.inf", 0},
    {L"TS_GRANDEUR", L"TS_NAVI_E", 3, 1, 5, L"S", L"20A", L"SW.E5.001", L"E?*", L"TS_A01_COMMON.inf", 0},
    {L"KONA", L"NAVI F", 1, 0, 3, L"U", L"30A", L"SW.F6.001", L"F?*", L"TS_A01_COMMON.inf", 0},
    {L"HIDDEN", L"NAVI G", 1, 0, 3, L"U", L"12H", L"SW.G7.001", L"A?*", L"TS_A01_COMMON.inf", 1},
    {L"CASPER", L"NAVI H", 1, 0, 4, L"U", L"40A", L"SW.H8.001", L"H?*", L"TS_A01_COMMON.inf", 0},
    {L"IONIQ", L"NAVI I", 1, 0, 4, L"U", L"41A", L"SW.I9.001", L"I?*", L"TS_A01_COMMON.inf", 0},
    {L"PALISADE", L"NAVI J", 1, 0, 4, L"U", L"42A", L"SW.J1.001", L"J?*", L"TS_A01_COMMON.inf", 0},
    {L"TUCSON", L"NAVI K", 1, 0, 4, L"U", L"43A", L"SW.K2.001", L"K?*", L"TS_A01_COMMON.inf", 0},
    {L"VENUE", L"NAVI L", 1, 0, 4, L"U", L"44A", L"SW.L3.001", L"L?*", L"TS_A01_COMMON.inf", 0},
};

class SearchPage : public ::testing::Test {
protected:
    void SetUp() override {
        static TempDir logs;
        static const bool ready = (g_logManager.init(logs.path(), L"search.log", 1 << 20, 10, 1),
                                   CConfigFile::getInstance()->load());
        ASSERT_TRUE(ready);
        CRegSetting::setDataPath(m_data.path());
        useLanguage(REGION_US, LANGUAGE_EN);
        g_nCurrentLanguage = LANGUAGE_EN;
        g_nCurrentRegion = REGION_US;
        CRegSetting::setLastUserCorp(CORP_TS);
        g_strCorpCode = L"TS";
        CMainFrame::setLiveUpdateRunner([](CMainFrame*) { return CMainFrame::LiveUpdateOutcome{}; });
        CMainFrame::setBoxRunner([](CDlgMsgBox&) { return static_cast<INT_PTR>(IDOK); });
        frame = new CMainFrame;
        AfxGetApp()->m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        root = frame->m_pDlgRoot.load();
        ASSERT_TRUE(root);
        page = root->m_pPageCarChange;
        ASSERT_TRUE(page && page->GetSafeHwnd());
        frame->m_pInfInfoList = new InfInfoList(true);
        for (const Vehicle& v : kCatalogue) entries.push_back(add(v));
        // The registration page has a vehicle to return to.
        frame->Cur_inf = entries.front();
        g_guideRequests.clear();
        standin::clearFaults();
        pumpFor(100);
    }
    void TearDown() override {
        standin::clearFaults();
        if (frame) frame->Cur_inf = nullptr;
        AfxGetApp()->m_pMainWnd = nullptr;
        if (frame) frame->DestroyWindow();
        CMainFrame::setLiveUpdateRunner({});
        CMainFrame::setBoxRunner({});
        useLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setDataPath(CString());
    }

    InfInfo* add(const Vehicle& v) {
        auto* e = new InfInfo;
        e->setCarName(v.car);
        e->setCarNameIntl(v.car);
        e->setDeviceName(v.device);
        e->setDeviceNameIntl(v.device);
        e->setSortNumber(v.sort);
        e->setGroup(v.group);
        e->setDeviceType(v.deviceType);
        e->setMediaType(v.media);
        e->setModelCodeList(v.models);
        e->setModelCode(CString(v.models).SpanExcluding(L"|"));
        e->setSwVersion(v.versions);
        e->setSwVersionMask(v.masks);
        e->setBrandCode(L"TS");
        e->setInfFileName(v.inf);
        e->setInfUrl(standin::url(L"/contents/inf/"));
        e->setModelFlag(v.modelFlag);
        e->setFirstDescriptor(e);
        frame->m_pInfInfoList->m_list.push_back(e);
        return e;
    }
    HWND guideWindow() const {
        return static_cast<CBaseChildDialog*>(root->m_pPageInfoImagePopup)->GetSafeHwnd();
    }
    bool guideAutoSkip() const { return static_cast<CBaseChildDialog*>(root->m_pPageInfoImagePopup)->m_bAutoSkip; }
    int records(const CString& text, const wchar_t* head) const {
        int n = 0;
        for (int at = text.Find(head); at >= 0; at = text.Find(head, at + 1)) ++n;
        return n;
    }
    InfInfo* entry(const wchar_t* device) const {
        for (InfInfo* e : entries)
            if (e->getDeviceName() == device) return e;
        return nullptr;
    }

    // The root enters the page from another base view as the program does:
    // the page opens the image guide over itself; the guide's OK takes the
    // user back to the page.
    void openPage() {
        if (HWND guide = guideWindow()) SetWindowSubclass(guide, guideListener, 1, 0);
        // As though another base view were showing.
        root->m_eViewStatus = VIEW_STATE_NONE;
        root->m_eBaseViewStatus = VIEW_STATE_NONE;
        root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
        pumpFor(50);
        ASSERT_EQ(VIEW_STATE_INFO_IMAGE_POPUP, root->getViewStatus());
        root->pullViewPage();
        ASSERT_TRUE(pumpUntil([&] { return page->IsWindowVisible() != FALSE; }));
        pumpFor(100);
        focusWindow(page->m_editSearch.GetSafeHwnd());
    }

    CString lineText(int id) const {
        CString t;
        page->GetDlgItemText(id, t);
        return t;
    }
    void type(const CString& text) {
        // What a paste or an input method puts into the box: a user edit
        // that notifies as typing does.
        page->m_editSearch.SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.GetString()));
        pumpFor(50);
    }
    void clearBox() {
        page->m_editSearch.SendMessage(EM_SETSEL, 0, -1);
        page->m_editSearch.SendMessage(WM_CLEAR, 0, 0);
        pumpFor(50);
    }
    // Clicks a row of a list window.
    void clickRow(CListWnd* list, int row) {
        list->ensureVisible(row);
        pumpFor(50);
        const RECT box = list->rowBox(row);
        clickAt(list->GetSafeHwnd(), (box.left + box.right) / 2, (box.top + box.bottom) / 2);
        pumpFor(50);
    }
    RECT rectOf(HWND child) const { return childRectIn(page->GetSafeHwnd(), child); }
    // A list without its scroll bar paints the bar's strip as its rows and
    // blank lines: the strip shows what lies 40 px further in (row tops,
    // clear of text and marks), never the list's grey ground.
    void expectStripPainted(const WindowShot& shot, const CListWnd* list, bool arabic, const char* what) const {
        ASSERT_FALSE(list->m_bScrollShown) << what;
        const RECT r = childRectIn(root->GetSafeHwnd(), list->GetSafeHwnd());
        const int strip = arabic ? r.left + 8 : r.right - 8;
        const int inner = arabic ? r.left + 40 : r.right - 40;
        for (int y = r.top + 3; y < r.bottom - 2; y += list->pitch()) {
            EXPECT_EQ(shot.at(inner, y), shot.at(strip, y)) << what << " at y " << y - r.top;
            EXPECT_NE(RGB(0xCF, 0xD4, 0xDA), shot.at(strip, y)) << what << " at y " << y - r.top;
        }
    }
    CString statistics() const { return g_logManager.getStatisticsContext().errorLog; }

    TempDir m_data;
    CMainFrame* frame = nullptr;
    CDlgRoot* root = nullptr;
    CDlgCarChange* page = nullptr;
    std::vector<InfInfo*> entries;
};

TEST_F(SearchPage, OpensBehindTheGuideAndChoosesTheLastVehicleAgain) {
    REQUIRE_STANDIN();
    InfInfo* last = entry(L"NAVI D");
    ASSERT_TRUE(CRegSetting::setLastMode(
        LastModeInfo(CORP_TS, CRegSetting::getLastUserType(), last->getInfFileName(), last->getModelCode())));
    openPage();

    EXPECT_TRUE(guideAutoSkip());
    ASSERT_EQ(1u, g_guideRequests.size());
    EXPECT_EQ(0u, g_guideRequests[0].first);
    EXPECT_EQ(99, g_guideRequests[0].second);
    ASSERT_TRUE(root->m_pCurMessagePage);
    EXPECT_EQ(SERVER_ETC_CAR_CHANGE_GUIDE, root->m_pCurMessagePage->m_eMessageType);

    // The model state stays: its toggle checked, the box shown and empty,
    // the result list hidden, every primary vehicle listed.
    EXPECT_TRUE(page->m_btnSearchModel.m_bChecked);
    EXPECT_FALSE(page->m_btnSearchCar.m_bChecked);
    EXPECT_TRUE(page->m_editSearch.IsWindowVisible());
    EXPECT_FALSE(page->m_pListResult->IsWindowVisible());
    const std::vector<CString> cars = rowsOf(page->m_pListCar.get());
    const std::vector<CString> expected = {L"GRANDEUR{{{*}}}", L"AVANTE", L"CASPER", L"IONIQ", L"KONA",
                                           L"PALISADE", L"SONATA", L"TUCSON", L"VENUE"};
    EXPECT_EQ(expected, cars);

    EXPECT_EQ(CString(L"AVANTE"), page->m_pListCar->m_strSelected);
    EXPECT_EQ(CString(L"NAVI D"), page->m_pListDevice->m_strSelected);
    EXPECT_EQ(last, page->m_pSelInf);
    EXPECT_EQ(CString(L"NAVI D"), lineText(IDC_STATIC_CAR_SELECT_1));
    EXPECT_TRUE(page->m_btnOk.m_bEnabled);
}

TEST_F(SearchPage, BrandPrefixedNamesAreChosenFromTheLastModeAndFromAResult) {
    REQUIRE_STANDIN();
    InfInfo* grandeur = entry(L"TS_NAVI_E");
    ASSERT_TRUE(CRegSetting::setLastMode(LastModeInfo(CORP_TS, CRegSetting::getLastUserType(),
                                                      grandeur->getInfFileName(), grandeur->getModelCode())));
    // The first catalogue entry shares the descriptor name: the last mode
    // names the vehicle by descriptor and model code.
    openPage();
    EXPECT_EQ(grandeur, page->m_pSelInf);
    EXPECT_EQ(std::vector<CString>{L"TS_NAVI_E{{{*}}}"}, rowsOf(page->m_pListDevice.get()));

    type(L"20");
    EXPECT_EQ(std::vector<CString>{L"20A"}, rowsOf(page->m_pListResult.get()));
    clickRow(page->m_pListResult.get(), 0);
    EXPECT_EQ(std::vector<CString>{L"GRANDEUR"}, rowsOf(page->m_pListCar.get()));
    EXPECT_EQ(grandeur, page->m_pSelInf);
}

TEST_F(SearchPage, DeviceRowsAndTheLinesOfEachDevice) {
    REQUIRE_STANDIN();
    openPage();
    clickRow(page->m_pListCar.get(), 6);  // SONATA
    ASSERT_EQ(CString(L"SONATA"), page->m_pListCar->m_strSelected);
    const std::vector<CString> devices = {L"NAVI B{{{*}}}", L"NAVI A", L"NAVI C"};
    EXPECT_EQ(devices, rowsOf(page->m_pListDevice.get()));

    const struct {
        int row;
        const wchar_t* device;
        int typeText;  // 0: an empty line
        int mediumText;
    } cases[] = {{0, L"NAVI B", 12575, 0}, {1, L"NAVI A", 12561, 0}, {2, L"NAVI C", 0, 0}};
    for (const auto& c : cases) {
        clickRow(page->m_pListDevice.get(), c.row);
        EXPECT_EQ(entry(c.device), page->m_pSelInf) << c.row;
        EXPECT_EQ(CString(c.device), lineText(IDC_STATIC_CAR_SELECT_1)) << c.row;
        EXPECT_EQ(c.typeText ? lang(c.typeText) : CString(), lineText(IDC_STATIC_CAR_SELECT_2)) << c.row;
        EXPECT_EQ(lang(12256) + L": " + CBaseChildDialog::getDriveTypeText(entry(c.device)->getMediaType()),
                  lineText(IDC_STATIC_CAR_SELECT_3))
            << c.row;
        // The search box keeps the focus for the next key.
        EXPECT_EQ(page->m_editSearch.GetSafeHwnd(), GetFocus()) << c.row;
    }
    clickRow(page->m_pListCar.get(), 1);  // AVANTE: device type 17
    EXPECT_EQ(entry(L"NAVI D"), page->m_pSelInf);
    EXPECT_EQ(CString(), lineText(IDC_STATIC_CAR_SELECT_2));
}

TEST_F(SearchPage, TypingKeepsTheAllowedCharactersAndFindsRows) {
    REQUIRE_STANDIN();
    openPage();
    pressKeys({'A'});
    pressKeys({'B'});
    pressKeys({VK_OEM_MINUS});
    pressKeys({'1'});
    CString typed;
    page->m_editSearch.GetWindowText(typed);
    EXPECT_EQ(CString(L"AB1"), typed);
    DWORD start = 0, end = 0;
    page->m_editSearch.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(3u, start);

    // Pasted text goes through the same filter: the minus sign goes, the
    // caret stays after the same kept characters.
    clearBox();
    type(L"A-B1");
    page->m_editSearch.GetWindowText(typed);
    EXPECT_EQ(CString(L"AB1"), typed);
    page->m_editSearch.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(3u, start);

    const struct {
        const wchar_t* text;
        std::vector<CString> rows;
        int height;
        const wchar_t* highlight;
        const wchar_t* style;
    } cases[] = {
        // Model codes by their significant prefix, ascending; the model-
        // specific entry's 12H takes no part.
        {L"12", {L"12A", L"12B", L"12C", L"12_3A"}, 50, L"12", L"S"},
        // Three significant characters: four drawn in 12_3A.
        {L"12_3", {L"12_3A"}, 30, L"12_3", L"S"},
        // Software versions through the masks, at the mask's position.
        {L"A1C", {L"SW.A1C.001"}, 30, nullptr, L"S"},
        {L"A1D", {L"SW.A1C.002"}, 30, nullptr, L"S"},
        // Separators only: nothing to look for.
        {L"(.)", {lang(12166), lang(12167)}, 50, nullptr, L"SF"},
        {L"ZZ", {lang(12166), lang(12167)}, 50, nullptr, L"SF"},
    };
    for (const auto& c : cases) {
        clearBox();
        type(c.text);
        CListWnd* results = page->m_pListResult.get();
        EXPECT_EQ(c.rows, rowsOf(results)) << narrow(c.text);
        EXPECT_TRUE(results->IsWindowVisible()) << narrow(c.text);
        EXPECT_EQ(c.height, rectOf(results->GetSafeHwnd()).bottom - rectOf(results->GetSafeHwnd()).top)
            << narrow(c.text);
        EXPECT_EQ(CString(c.style), results->m_strStyle) << narrow(c.text);
        if (c.highlight) {
            EXPECT_EQ(CString(c.highlight), results->m_strSearch) << narrow(c.text);
        }
    }
    // Nothing found: no vehicle, the brand's picture, blank lines, no OK.
    EXPECT_EQ(std::vector<CString>{lang(12166)}, rowsOf(page->m_pListCar.get()));
    EXPECT_EQ(nullptr, page->m_pSelInf);
    EXPECT_EQ(CString(L"\t"), lineText(IDC_STATIC_CAR_SELECT_1));
    EXPECT_EQ(CString(L"\t"), lineText(IDC_STATIC_CAR_SELECT_2));
    EXPECT_FALSE(page->m_btnOk.m_bEnabled);

    // Emptied again: every vehicle, the result list hidden.
    clearBox();
    EXPECT_FALSE(page->m_pListResult->IsWindowVisible());
    EXPECT_EQ(9u, rowsOf(page->m_pListCar.get()).size());
}

TEST_F(SearchPage, ResultRowsChooseTheirVehicleByClickAndByUpAndDown) {
    REQUIRE_STANDIN();
    openPage();
    type(L"12");
    clickRow(page->m_pListResult.get(), 3);  // 12_3A
    EXPECT_EQ(std::vector<CString>{L"AVANTE"}, rowsOf(page->m_pListCar.get()));
    EXPECT_EQ(std::vector<CString>{L"NAVI D"}, rowsOf(page->m_pListDevice.get()));
    EXPECT_EQ(entry(L"NAVI D"), page->m_pSelInf);

    // A chosen text that no vehicle holds empties both lists; the vehicle
    // chosen before is not chosen again from the rows that went.
    page->m_pListResult->m_strSelected = L"99Z";
    page->SendMessage(UM_LIST_SELECT, 2, 0);
    EXPECT_TRUE(rowsOf(page->m_pListCar.get()).empty());
    EXPECT_TRUE(rowsOf(page->m_pListDevice.get()).empty());
    EXPECT_EQ(nullptr, page->m_pSelInf);
    EXPECT_FALSE(page->m_btnOk.m_bEnabled);

    // Down and Up walk the result rows from the box, which keeps the focus.
    clearBox();
    type(L"12");
    const struct {
        WORD key;
        const wchar_t* row;
        const wchar_t* device;
    } steps[] = {{VK_DOWN, L"12A", L"NAVI A"}, {VK_DOWN, L"12B", L"NAVI A"}, {VK_DOWN, L"12C", L"NAVI B"},
                 {VK_UP, L"12B", L"NAVI A"}};
    for (const auto& s : steps) {
        pressKeys({s.key});
        EXPECT_EQ(CString(s.row), page->m_pListResult->m_strSelected) << narrow(s.row);
        EXPECT_EQ(entry(s.device), page->m_pSelInf) << narrow(s.row);
        EXPECT_EQ(page->m_editSearch.GetSafeHwnd(), GetFocus()) << narrow(s.row);
    }
    CString typed;
    page->m_editSearch.GetWindowText(typed);
    EXPECT_EQ(CString(L"12"), typed);
}

TEST_F(SearchPage, WheelScrollsTheListUnderTheMouseOnly) {
    REQUIRE_STANDIN();
    openPage();
    CListWnd* cars = page->m_pListCar.get();
    ASSERT_TRUE(cars->m_bScrollShown);
    auto wheelAt = [&](HWND over, int x, int y, int delta) {
        POINT p{x, y};
        ClientToScreen(over, &p);
        // Two positions, so that the window under the cursor sees it move.
        SetCursorPos(p.x - 2, p.y);
        pumpFor(50);
        SetCursorPos(p.x, p.y);
        pumpFor(80);
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(delta);
        SendInput(1, &in, sizeof(in));
    };
    // Over the picture: no list scrolls.
    wheelAt(page->m_stCarImage.GetSafeHwnd(), 20, 20, -WHEEL_DELTA);
    pumpFor(200);
    EXPECT_EQ(0, cars->m_nScrollPos);

    const RECT row = cars->rowBox(1);
    wheelAt(cars->GetSafeHwnd(), (row.left + row.right) / 2, (row.top + row.bottom) / 2, -WHEEL_DELTA);
    ASSERT_TRUE(pumpUntil([&] { return cars->m_nScrollPos > 0; }));
    pumpFor(200);
    // One notch is one line, not one from the list and one from the page.
    EXPECT_LE(cars->m_nScrollPos, cars->pitch());
    EXPECT_EQ(0, page->m_pListDevice->m_nScrollPos);

    wheelAt(cars->GetSafeHwnd(), (row.left + row.right) / 2, (row.top + row.bottom) / 2, WHEEL_DELTA);
    EXPECT_TRUE(pumpUntil([&] { return cars->m_nScrollPos == 0; }));
}

TEST_F(SearchPage, OkTakesTheVehicleOnceItsDescriptorLoadsAfterFailures) {
    REQUIRE_STANDIN();
    standin::setFaults(R"([{"path":"/contents/inf/TS_A01_COMMON.inf","status":500,"times":2}])");
    standin::markRequests();
    openPage();
    clickRow(page->m_pListCar.get(), 1);  // AVANTE
    InfInfo* chosen = entry(L"NAVI D");
    ASSERT_EQ(chosen, page->m_pSelInf);
    const int before = statistics().GetLength();

    // A double Enter: the second press finds the vehicle handed over.
    page->PostMessage(WM_COMMAND, IDOK, 0);
    page->PostMessage(WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(pumpUntil([&] { return root->getViewStatus() == VIEW_STATE_CAR_REG; }, 60000));
    pumpFor(200);

    EXPECT_EQ(3u, standin::requests("/contents/inf/TS_A01_COMMON.inf").size());
    EXPECT_EQ(chosen, root->m_pPageCarReg->m_pCarInfo);
    const CString added = statistics().Mid(before);
    EXPECT_EQ(0, added.Find(L"[D:4,T:")) << narrow(added);
    EXPECT_EQ(1, records(added, L"[D:4,")) << narrow(added);
    EXPECT_GT(added.Find(L",LT:member,"), 0) << narrow(added);
    EXPECT_TRUE(page->m_bHideResultList || !page->m_pListResult->IsWindowVisible());
}

TEST_F(SearchPage, DescriptorThatNeverLoadsRecordsWhyAndLeadsToTheLoginView) {
    REQUIRE_STANDIN();
    const struct {
        const wchar_t* inf;
        const char* faults;
        const wchar_t* record;  // after the time stamp
    } cases[] = {
        {L"MISSING.inf", "[]", L",PS:1,ED:404,FP:%s/contents/inf/MISSING.inf]"},
        {L"DROP.inf", R"([{"path":"/contents/inf/DROP.inf","drop":true}])", L",PS:1,ED:1000]"},
    };
    for (const auto& c : cases) {
        standin::setFaults(c.faults);
        openPage();
        clickRow(page->m_pListCar.get(), 2);  // CASPER
        InfInfo* chosen = entry(L"NAVI H");
        ASSERT_EQ(chosen, page->m_pSelInf);
        chosen->setInfFileName(c.inf);
        const int before = statistics().GetLength();
        clickAt(page->m_btnOk.GetSafeHwnd(), 100, 25);
        ASSERT_TRUE(pumpUntil([&] { return root->getViewStatus() == VIEW_STATE_MESSAGE; }, 90000)) << narrow(c.inf);

        CString expected;
        expected.Format(c.record, standin::url(L"").GetString());
        const CString added = statistics().Mid(before);
        EXPECT_EQ(0, added.Find(CString(c.inf) == L"MISSING.inf" ? L"[E:2,T:" : L"[E:1,T:")) << narrow(added);
        EXPECT_GT(added.Find(expected), 0) << narrow(added) << " / " << narrow(expected);
        ASSERT_TRUE(root->m_pCurMessagePage);
        EXPECT_EQ(SERVER_ERROR_UPDATE_CHECK_INF_LOAD, root->m_pCurMessagePage->m_eMessageType);

        page->SendMessage(RWM_MESSAGE_RESULT, IDOK, SERVER_ERROR_UPDATE_CHECK_INF_LOAD);
        EXPECT_EQ(VIEW_STATE_LOGIN, root->getViewStatus()) << narrow(c.inf);
        chosen->setInfFileName(L"TS_A01_COMMON.inf");
    }
}

TEST_F(SearchPage, OkWithoutAChoiceAndOkInCancelsPlace) {
    REQUIRE_STANDIN();
    openPage();
    standin::markRequests();
    // Nothing found, nothing chosen: OK is disabled and a press does nothing.
    type(L"ZZ");
    ASSERT_EQ(nullptr, page->m_pSelInf);
    EXPECT_FALSE(page->m_btnOk.m_bEnabled);
    page->SendMessage(WM_COMMAND, IDOK, 0);
    pumpFor(100);
    EXPECT_EQ(VIEW_STATE_CAR_CHANGE, root->getViewStatus());
    EXPECT_TRUE(standin::requests("/contents/inf/*").empty());

    // With Cancel, OK stands left of it; without, in its place.
    const int cw = 900;
    clearBox();
    RECT ok = rectOf(page->m_btnOk.GetSafeHwnd());
    RECT cancel = rectOf(page->m_btnCancel.GetSafeHwnd());
    EXPECT_EQ(cw - 460, ok.left);
    EXPECT_EQ(cw - 250, cancel.left);
    page->m_btnCancel.ShowWindow(SW_HIDE);
    page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpFor(50);
    ok = rectOf(page->m_btnOk.GetSafeHwnd());
    EXPECT_EQ(cw - 250, ok.left);
    ASSERT_TRUE(page->m_btnOk.m_bEnabled);
    clickAt(page->GetSafeHwnd(), cw - 150, 590 - 107);
    EXPECT_TRUE(pumpUntil([&] { return root->getViewStatus() == VIEW_STATE_CAR_REG; }, 60000));
    page->m_btnCancel.ShowWindow(SW_SHOW);
}

TEST_F(SearchPage, CancelGoesBackToRegistrationAndHidesTheResults) {
    REQUIRE_STANDIN();
    // The registration page holds a vehicle; without one it would send the
    // user on to the search again.
    root->m_pPageCarReg->setCarInfo(entry(L"NAVI D"));
    openPage();
    type(L"12");
    ASSERT_TRUE(page->m_pListResult->IsWindowVisible());
    clickAt(page->m_btnCancel.GetSafeHwnd(), 100, 25);
    EXPECT_EQ(VIEW_STATE_CAR_REG, root->getViewStatus());
    root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    pumpFor(100);
    EXPECT_FALSE(page->m_pListResult->IsWindowVisible());
}

TEST_F(SearchPage, LinkOpensTheGuideWithoutAutoSkip) {
    REQUIRE_STANDIN();
    openPage();
    g_guideRequests.clear();
    clickAt(page->m_btnRightMsg.GetSafeHwnd(), 10, 10);
    EXPECT_EQ(VIEW_STATE_INFO_IMAGE_POPUP, root->getViewStatus());
    EXPECT_FALSE(guideAutoSkip());
    ASSERT_EQ(1u, g_guideRequests.size());
    EXPECT_EQ(99, g_guideRequests[0].second);
}

// Every state in each language, with the layout checks a picture cannot
// make by itself: mirrored lists in Arabic, the highlight drawn.
TEST_F(SearchPage, Pictures) {
    REQUIRE_STANDIN();
    for (const UiLanguage& l : kLanguages) {
        useLanguage(l);
        g_nCurrentLanguage = l.language;
        g_nCurrentRegion = l.region;
        // As the program does: the title bar, the notice bar and every
        // page's controls follow the language.
        frame->broadcastChangeLanguage();
        openPage();
        const CString tag(l.tag);
        const bool arabic = l.language == LANGUAGE_AR;
        const RECT cars = rectOf(page->m_pListCar->GetSafeHwnd());
        EXPECT_EQ(arabic ? 900 - 50 - 260 : 50, cars.left) << narrow(tag);
        const RECT box = rectOf(page->m_editSearch.GetSafeHwnd());
        EXPECT_EQ(arabic ? 900 - 57 - 780 : 57, box.left) << narrow(tag);
        // The title bar followed the language: its buttons stand at the far
        // side from the logo, on the left in Arabic.
        for (CPngButton* button : {&root->m_btnExit, &root->m_btnMini, &root->m_btnGuide}) {
            const RECT r = childRectIn(root->GetSafeHwnd(), button->GetSafeHwnd());
            if (arabic) EXPECT_LT(r.right, 450) << narrow(tag);
            else EXPECT_GT(r.left, 450) << narrow(tag);
        }

        saveScreenshot(root->GetSafeHwnd(), L"search_all_" + tag,
                       L"search page, empty box: every vehicle (GRANDEUR marked first), AVANTE's device chosen "
                       L"with its picture and three lines; lists mirrored in Arabic");
        type(L"12");
        const WindowShot shot = saveScreenshot(
            root->GetSafeHwnd(), L"search_model_" + tag,
            L"model results 12A, 12B under the box, their first two characters in the brand colour");
        const RECT results = childRectIn(root->GetSafeHwnd(), page->m_pListResult->GetSafeHwnd());
        const COLORREF brand = car_change_layout::brandFor(CORP_TS, l.region).highlight;
        EXPECT_GT(shot.count(brand, results), 0) << narrow(tag);
        clearBox();
        type(L"A1C");
        saveScreenshot(root->GetSafeHwnd(), L"search_software_" + tag,
                       L"one software result SW.A1C.001 (30 px list), SONATA / NAVI A chosen");
        clearBox();
        type(L"12_3");
        const WindowShot one = saveScreenshot(
            root->GetSafeHwnd(), L"search_one_" + tag,
            L"one model result 12_3A with 12_3 highlighted, AVANTE / NAVI D chosen, no type line; every row and "
            L"blank line reaches the list's edge (no grey strip)");
        expectStripPainted(one, page->m_pListResult.get(), arabic, "results");
        expectStripPainted(one, page->m_pListCar.get(), arabic, "cars");
        expectStripPainted(one, page->m_pListDevice.get(), arabic, "devices");
        // NAVI D's type has no text: the line is blank, not the type of the
        // device chosen before.
        const RECT typeLine = childRectIn(root->GetSafeHwnd(), page->m_stSelect2.GetSafeHwnd());
        EXPECT_EQ(one.count(one.at(typeLine.left, typeLine.top), typeLine),
                  (typeLine.right - typeLine.left) * (typeLine.bottom - typeLine.top))
            << narrow(tag);
        clearBox();
        type(L"ZZ");
        saveScreenshot(root->GetSafeHwnd(), L"search_none_" + tag,
                       L"no result: two grey rows, car list 'no vehicle', brand picture, empty lines, OK disabled");
        clearBox();
        clickRow(page->m_pListCar.get(), 6);  // SONATA
        clickRow(page->m_pListDevice.get(), 0);
        saveScreenshot(root->GetSafeHwnd(), L"search_device_" + tag,
                       L"SONATA with NAVI B (marked, first), NAVI A, NAVI C; lines: NAVI B, type 16 text, medium SD");
    }
    useLanguage(REGION_US, LANGUAGE_EN);
}

}  // namespace
