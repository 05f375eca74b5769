// The image guide page on a recording root: declining by the stored choice,
// the box only on automatic showings, OK's routes and stored choices per
// brand, guide 17's emphasised phrases read back from the text areas, the
// picture link, and the pictures of guides 0 and 17 per brand.
#include "tests/ui_bases/ui_env.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "resources/resource.h"
#include "tests/pages/popups/guide_root.h"
#include "tests/support/capture.h"
#include "tests/webclient/standin_client.h"
#include "ui/base_dialog.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <memory>
#include <vector>

namespace {

class ImageGuide : public testing::Test {
protected:
    // The box's caption sits on the panel's white, on one line at least as
    // wide as its text in bold (the ticked look), in every language.
    void expectLabelOnThePanel(const WindowShot& shot) {
        CStaticEx& label = page->m_staticLabel;
        ASSERT_TRUE(label.IsWindowVisible());
        const RECT box = childRectIn(root.m_hWnd, label.m_hWnd);
        CString text;
        label.GetWindowText(text);
        const BOOL bold = label.m_bBold;
        label.m_bBold = TRUE;
        const int needed = label.measureText(text).cx;
        label.m_bBold = bold;
        EXPECT_GE(box.right - box.left, needed) << static_cast<const char*>(CW2A(text));
        EXPECT_EQ(box.bottom - box.top, 20) << "one line";
        EXPECT_EQ(shot.count(RGB(239, 240, 242), box), 0) << "no grey box";
        EXPECT_EQ(shot.at(box.right - 2, box.top + 1), RGB(255, 255, 255));
    }

    void SetUp() override {
        standin::available();
        useLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(CORP_TS);
        clearChoices();
        CGlobalFunc::setUrlLauncher([this](const CString& target) { opened.push_back(target); });
        ASSERT_TRUE(root.create());
        page = std::make_unique<CDlgInfoImagePopup>(&root);
        ASSERT_TRUE(page->Create(IDD_INFO_IMAGE_POPUP, &root));
        pumpFor(60);
    }
    void TearDown() override {
        if (page && page->GetSafeHwnd()) page->DestroyWindow();
        page.reset();
        if (root.GetSafeHwnd()) root.DestroyWindow();
        CGlobalFunc::setUrlLauncher({});
        clearChoices();
        CRegSetting::setLastUserCorp(CORP_TS);
        useLanguage(REGION_US, LANGUAGE_EN);
    }
    static void clearChoices() {
        for (int region : {REGION_US, REGION_KR}) {
            useLanguage(region, LANGUAGE_EN);
            for (int brand : {CORP_TS, CORP_LV, CORP_DR}) {
                CRegSetting::setCheckedSoftwareModelGuide(brand, FALSE);
                CRegSetting::setCheckedSystemUpdate(brand, FALSE);
            }
        }
        // The last user's brand is kept per region too.
        useLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(CORP_TS);
    }
    // As a requester does: the guide first, the flag, then the view.
    BOOL show(int type, bool automatic) {
        page->SendMessage(UM_GUIDE_SHOW_PAGE, static_cast<WPARAM>(type), 99);
        page->setAutoSkip(automatic ? TRUE : FALSE);
        const BOOL shown = page->showPage(TRUE);
        pumpFor(80);
        return shown;
    }
    CString richText(int slot) {
        CString text;
        page->m_rich[slot]->GetWindowText(text);
        text.Replace(L"\r\n", L"\n");
        text.Replace(L"\r", L"\n");
        return text;
    }
    // The format of [first, first + length) of a text area.
    CHARFORMAT2W formatAt(int slot, int first, int length) {
        CRichEditCtrl& rich = *page->m_rich[slot];
        rich.SetSel(first, first + length);
        CHARFORMAT2W format{};
        rich.GetSelectionCharFormat(format);
        rich.SetSel(0, 0);
        return format;
    }
    static bool isRed(const CHARFORMAT2W& f) {
        return (f.dwMask & CFM_COLOR) && !(f.dwEffects & CFE_AUTOCOLOR) && f.crTextColor == RGB(255, 0, 0);
    }

    GuideRoot root;
    std::unique_ptr<CDlgInfoImagePopup> page;
    std::vector<CString> opened;
};

TEST_F(ImageGuide, StoredChoiceDeclinesAutomaticShowingsOnly) {
    struct {
        int type;
        bool modelChoice, updateChoice, automatic;
        BOOL shows;
        std::vector<int> pushesAfterSkip;
        int pullsAfterSkip;
    } cases[] = {
        {0, true, false, true, FALSE, {VIEW_STATE_CAR_CHANGE}, 0},
        {17, false, true, true, FALSE, {}, 1},
        {0, false, true, true, TRUE, {}, 0},   // the other guide's choice
        {17, true, false, true, TRUE, {}, 0},
        {0, true, false, false, TRUE, {}, 0},  // asked for: always shown
        {17, false, true, false, TRUE, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " auto " << c.automatic);
        CRegSetting::setCheckedSoftwareModelGuide(CORP_TS, c.modelChoice);
        CRegSetting::setCheckedSystemUpdate(CORP_TS, c.updateChoice);
        root.pushes.clear();
        root.pulls = 0;
        EXPECT_EQ(c.shows, show(c.type, c.automatic));
        EXPECT_EQ(c.shows != FALSE, page->IsWindowVisible() != FALSE);
        if (c.shows) {
            EXPECT_EQ(c.automatic, page->m_chkShow.IsWindowVisible() != FALSE) << "box only when automatic";
            EXPECT_EQ(c.automatic, page->m_staticLabel.IsWindowVisible() != FALSE);
        } else {
            page->skipPage();
            EXPECT_EQ(c.pushesAfterSkip, root.pushes);
            EXPECT_EQ(c.pullsAfterSkip, root.pulls);
        }
        page->showPage(FALSE);
    }
}

TEST_F(ImageGuide, OkStoresTheTickedChoiceForTheBrandOnly) {
    CRegSetting::setLastUserCorp(CORP_LV);
    // Unticked: nothing stored; guide 0 goes on to the vehicle change page.
    ASSERT_TRUE(show(0, true));
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(std::vector<int>{VIEW_STATE_CAR_CHANGE}, root.pushes);
    EXPECT_FALSE(CRegSetting::isCheckedSoftwareModelGuide(CORP_LV));

    // Ticked through the label with the mouse; Enter confirms.
    ASSERT_TRUE(show(0, true));
    const RECT label = childRectIn(page->m_hWnd, page->m_staticLabel.m_hWnd);
    clickAt(page->m_hWnd, label.left + 4, (label.top + label.bottom) / 2);
    ASSERT_TRUE(page->m_chkShow.m_bChecked);
    EXPECT_TRUE(page->m_staticLabel.m_bBold) << "bold while ticked";
    focusWindow(page->m_hWnd);
    pressKeys({VK_RETURN});
    EXPECT_TRUE(CRegSetting::isCheckedSoftwareModelGuide(CORP_LV));
    EXPECT_FALSE(page->m_chkShow.m_bChecked);
    EXPECT_FALSE(page->m_bAutoSkip);
    for (int brand : {CORP_TS, CORP_DR}) EXPECT_FALSE(CRegSetting::isCheckedSoftwareModelGuide(brand)) << brand;
    EXPECT_FALSE(CRegSetting::isCheckedSystemUpdate(CORP_LV));

    // Guide 17 hides, goes back, then stores.
    root.pulls = 0;
    ASSERT_TRUE(show(17, true));
    page->m_chkShow.m_bChecked = TRUE;
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(1, root.pulls);
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_TRUE(CRegSetting::isCheckedSystemUpdate(CORP_LV));
    EXPECT_FALSE(CRegSetting::isCheckedSystemUpdate(CORP_TS));

    // Another guide type: OK does nothing.
    root.pushes.clear();
    root.pulls = 0;
    show(5, false);
    page->SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(root.pushes.empty());
    EXPECT_EQ(0, root.pulls);
}

TEST_F(ImageGuide, SystemUpdateGuideEmphasisesItsPhrasesWithoutChangingTheText) {
    struct {
        int region, language;
        int body;         // t1
        int red;          // the red phrase
        bool linkLine;    // R2 shown, areas linked
    } cases[] = {
        {REGION_US, LANGUAGE_EN, 12632, 12634, true},
        {REGION_US, LANGUAGE_KO, 12632, 12634, true},
        {REGION_KR, LANGUAGE_KO, 12633, 12635, false},
        {REGION_KR, LANGUAGE_EN, 12633, 12635, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "region " << c.region << " language " << c.language);
        useLanguage(c.region, c.language);
        CRegSetting::setLastUserCorp(CORP_LV);
        ASSERT_EQ(1, page->SendMessage(UM_GUIDE_SHOW_PAGE, 17, 99)) << "guide 17 has the support page";
        ASSERT_TRUE(page->showPage(TRUE));
        pumpFor(80);
        const CString joint = c.language == LANGUAGE_KO ? L"\n" : L" ";
        const CString expected =
            CLangLibrary::loadLangString(12631) + joint + CLangLibrary::loadLangString(c.body);
        ASSERT_TRUE(page->m_rich[CDlgInfoImagePopup::RICH_TEXT]->IsWindowVisible());
        EXPECT_STREQ(expected.GetString(), richText(CDlgInfoImagePopup::RICH_TEXT).GetString()) << "text unchanged";

        const CString phrase = CLangLibrary::loadLangString(c.red);
        const int at = expected.Find(phrase);
        ASSERT_GE(at, 0);
        EXPECT_TRUE(isRed(formatAt(CDlgInfoImagePopup::RICH_TEXT, at, phrase.GetLength()))) << "the phrase is red";
        EXPECT_FALSE(isRed(formatAt(CDlgInfoImagePopup::RICH_TEXT, 0, 3))) << "only the phrase";
        if (at >= 2) {
            EXPECT_FALSE(isRed(formatAt(CDlgInfoImagePopup::RICH_TEXT, at - 2, 2))) << "not before it";
        }

        EXPECT_EQ(c.linkLine, page->m_rich[CDlgInfoImagePopup::RICH_LINK]->IsWindowVisible() != FALSE);
        const CString supportPage = image_guide::supportAddress(CORP_LV);
        EXPECT_STREQ((c.linkLine ? supportPage : CString()).GetString(),
                     page->m_rich[CDlgInfoImagePopup::RICH_TEXT]->m_strUrl.GetString());
        if (c.linkLine) {
            const CString line = richText(CDlgInfoImagePopup::RICH_LINK);
            EXPECT_STREQ(CLangLibrary::loadLangString(12636).GetString(), line.GetString());
            const CString link = CLangLibrary::loadLangString(12637);
            const int linkAt = line.Find(link);
            ASSERT_GE(linkAt, 0);
            const CHARFORMAT2W f = formatAt(CDlgInfoImagePopup::RICH_LINK, linkAt, link.GetLength());
            EXPECT_EQ(RGB(70, 154, 255), f.crTextColor);
            EXPECT_TRUE(f.dwEffects & CFE_UNDERLINE);
            EXPECT_FALSE(formatAt(CDlgInfoImagePopup::RICH_LINK, 0, 2).dwEffects & CFE_UNDERLINE);
        }
        page->showPage(FALSE);
    }
}

// In North America the main picture links to the brand's support page;
// elsewhere it is only a picture. Nothing opens by itself.
TEST_F(ImageGuide, PictureClickOpensTheSupportPage) {
    for (int region : {REGION_US, REGION_KR}) {
        useLanguage(region, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(CORP_DR);
        opened.clear();
        ASSERT_TRUE(show(17, false));
        page->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
        EXPECT_TRUE(opened.empty());
        const CRect picture = page->mainPictureRect();
        ASSERT_FALSE(picture.IsRectEmpty());
        clickAt(page->m_hWnd, picture.left + 30, picture.bottom - 10);
        if (region == REGION_US) {
            ASSERT_EQ(1u, opened.size());
            EXPECT_STREQ(image_guide::supportAddress(CORP_DR).GetString(), opened[0].GetString());
            EXPECT_NE(-1, opened[0].Find(L"/dravane/"));
        } else {
            EXPECT_TRUE(opened.empty());
        }
        page->showPage(FALSE);
    }
    // A brand without a support page has no address.
    CRegSetting::setLastUserCorp(0);
    EXPECT_EQ(0, page->SendMessage(UM_GUIDE_SHOW_PAGE, 17, 99));
    EXPECT_TRUE(page->m_rich[CDlgInfoImagePopup::RICH_TEXT]->m_strUrl.IsEmpty()) << "no stale address";
}

TEST_F(ImageGuide, ArabicMirrorsThePictureAndUsesTheRightToLeftText) {
    useLanguage(REGION_ME, LANGUAGE_AR);
    CRegSetting::setLastUserCorp(CORP_TS);
    ASSERT_TRUE(show(17, true));
    EXPECT_FALSE(page->m_rich[CDlgInfoImagePopup::RICH_TEXT]->IsWindowVisible());
    EXPECT_TRUE(page->m_rich[CDlgInfoImagePopup::RICH_TEXT_RTL]->IsWindowVisible());
    CRect client;
    page->GetClientRect(&client);
    const CRect picture = page->mainPictureRect();
    EXPECT_EQ(client.Width() - 10, picture.right) << "drawn at the right";
    const RECT box = childRectIn(page->m_hWnd, page->m_chkShow.m_hWnd);
    const RECT label = childRectIn(page->m_hWnd, page->m_staticLabel.m_hWnd);
    EXPECT_GT(box.left, client.Width() / 2) << "the box mirrored";
    EXPECT_EQ(box.left - 5, label.right) << "its label left of it";
    page->showPage(FALSE);
}

TEST_F(ImageGuide, PicturesOfGuides0And17) {
    struct {
        const wchar_t* tag;
        int brand, region;
    } brands[] = {{L"ts", CORP_TS, REGION_US}, {L"lv_us", CORP_LV, REGION_US}, {L"lv_kr", CORP_LV, REGION_KR},
                  {L"dr", CORP_DR, REGION_US}};
    for (const UiLanguage& language : kLanguages) {
        for (const auto& b : brands) {
            useLanguage(language.region == REGION_ME ? REGION_ME : b.region, language.language);
            CRegSetting::setLastUserCorp(b.brand);
            for (int type : {0, 17}) {
                ASSERT_TRUE(show(type, true));
                CString name;
                name.Format(L"image_guide_%s_%s_%d", language.tag, b.tag, type);
                const WindowShot shot = saveScreenshot(
                    root.m_hWnd, name,
                    type == 0 ? L"software-model guide: title, the large guide picture with the step texts over it, "
                                L"icons, side picture and the marked note; box and 'do not show again' bottom left "
                                L"(right in Arabic), OK centred"
                              : L"system-update guide: title, the centred explanation with its red phrase (blue "
                                L"underlined link line under it in North America), the picture, the four label/value "
                                L"texts; box and label, OK centred");
                EXPECT_GT(shot.count(RGB(255, 255, 255)), 10000) << "white page";
                expectLabelOnThePanel(shot);
                page->showPage(FALSE);
            }
        }
    }
}

}  // namespace
