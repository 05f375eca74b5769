// The real message page on the root, photographed in Korean, English and
// Arabic for the types that use each kind of control, and the page over the
// settings page with its five types.
#include "tests/shell/shell_fixture.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/shell_messages/page_install_path.h"
#include "tests/support/capture.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_types.h"
#include "shell/messages/message_type_table.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

#include <map>

namespace {

struct Shown {
    int type;
    std::map<int, CString> params;
    const wchar_t* look;  // what to look for besides the common checks
};

const Shown kShown[] = {
    {SERVER_ERROR_NETWORK_FAIL, {}, L"error icon above the title and text, Retry and Cancel"},
    {SERVER_ERROR_LOGIN_SYSTEM, {}, L"link button centred under the text"},
    {SERVER_ERROR_UPDATE_CHECK_BACKUP, {}, L"check box at the left under the text block"},
    {SERVER_ERROR_DOWNLOAD_ERROR, {{0, L"ERR_AG_NUMSPAN"}}, L"red title with \" 5 : ERR_AG_NUMSPAN\", link"},
    {SERVER_ERROR_COPY_FAIL, {{0, L"ERR_FILE_CRC"}, {1, L"MAP.001"}}, L"red title ending \"(MAP.001)\""},
    {SERVER_ERROR_USB_REMOVE_FAIL, {{0, L"E:\\"}, {1, L"KESTRUNE_USB"}}, L"detail lines E:\\ and KESTRUNE_USB"},
    {SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, {{0, L"V"}, {1, L"D5"}, {2, L"D5"}}, L"brand word and model"},
    {SERVER_ETC_FIRST_OPEN, {}, L"the download folder centred between text and buttons"},
    {SERVER_ETC_SAVE_TO_HDD, {}, L"folder row: path field and change-folder button under the text"},
    {SERVER_ETC_HIDDEN_UNZIP_DONE, {}, L"OK beside the open-folder button"},
    {SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE, {}, L"licence text in the framed box under its title"},
    {SERVER_ERROR_ETC_EULA, {}, L"terms of use in the framed box"},
    {SERVER_ETC_DATA_CONSENT, {}, L"two framed documents with yes/no radios under each"},
};

const wchar_t* tagOf(int language) {
    return language == LANGUAGE_KO ? L"ko" : language == LANGUAGE_AR ? L"ar" : L"en";
}

class MessageScreens : public RootFixture {
protected:
    void open(int region, int language) {
        useLanguage(region, language);
        CRegSetting::setRegion(region);
        CRegSetting::setLanguage(language);
        CRegSetting::setDataPath(L"C:\\users\\Public\\Documents\\KestruneDownloads");
        useInstallPath(programFolder());
        createRoot();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
    FakeDrives drives;
};

TEST_F(MessageScreens, RealPageInThreeLanguages) {
    const struct {
        int region, language;
    } languages[] = {{REGION_KR, LANGUAGE_KO}, {REGION_US, LANGUAGE_EN}, {REGION_US, LANGUAGE_AR}};
    for (const auto& l : languages) {
        open(l.region, l.language);
        for (const Shown& s : kShown) {
            SCOPED_TRACE(testing::Message() << s.type << " " << CW2A(tagOf(l.language)));
            CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
            ASSERT_NE(page, nullptr);
            for (const auto& [index, text] : s.params) page->setParam(text, index);
            page->setMessageType(s.type, root->m_pPageCarReg);
            root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            pumpFor(120);
            CString name, look;
            name.Format(L"page_%s_%04d", tagOf(l.language), s.type);
            look.Format(L"message %d on the real page in %s: heading in the grey band, %s; captions on every "
                        L"button, no clipped or overlapping text%s",
                        s.type, tagOf(l.language), s.look,
                        l.language == LANGUAGE_AR ? L"; mirrored: OK right of Cancel, text right to left" : L"");
            WindowShot shot = saveScreenshot(page->m_hWnd, name, look, true);
            EXPECT_EQ(shot.at(2, 2), 0xDFDFDFu);
            // The check box's and the link's captions show on the white body:
            // dark ink beside the tick or icon, not white on white.
            for (CWnd* caption : {static_cast<CWnd*>(&page->m_checkBackup), static_cast<CWnd*>(&page->m_btnLink)}) {
                if (!caption->IsWindowVisible()) continue;
                RECT r = childRectIn(page->m_hWnd, caption->m_hWnd);
                if (l.language == LANGUAGE_AR) {
                    r.right -= 28;
                } else {
                    r.left += 28;
                }
                int ink = 0;
                for (int y = r.top; y < r.bottom; ++y) {
                    for (int x = r.left; x < r.right; ++x) {
                        const COLORREF c = shot.at(x, y);
                        if (((c >> 16) & 0xFF) < 0xB0 && ((c >> 8) & 0xFF) < 0xB0 && (c & 0xFF) < 0xB0) ++ink;
                    }
                }
                EXPECT_GT(ink, 40) << "caption of control " << caption->GetDlgCtrlID();
            }
            // The check box's caption is drawn by GDI+ with its padding beside
            // the 18-pixel tick and its gap: the box holds all of it, so no
            // word wraps out of sight.
            if (page->m_checkBackup.IsWindowVisible()) {
                HDC screen = GetDC(nullptr);
                float drawn = 0;
                {
                    Gdiplus::Graphics graphics(screen);
                    Gdiplus::FontFamily* family = CGdiFunc::familyOf(g_strFontFace);
                    Gdiplus::Font font(family, 16.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
                    drawn = CGdiFunc::measureText(&graphics, &font, page->m_checkBackup.m_strCaption).Width + 16.0f / 3;
                    if (!CGdiFunc::isSharedFamily(family)) delete family;
                }
                ReleaseDC(nullptr, screen);
                RECT box = childRectIn(page->m_hWnd, page->m_checkBackup.m_hWnd);
                EXPECT_GE(static_cast<float>(box.right - box.left - 24), drawn);
            }
            EXPECT_TRUE(page->m_btnOk.IsWindowVisible());
            EXPECT_FALSE(page->m_btnOk.m_strCaption.IsEmpty());
            if (page->m_btnCancel.IsWindowVisible()) {
                RECT ok = childRectIn(page->m_hWnd, page->m_btnOk.m_hWnd);
                RECT cancel = childRectIn(page->m_hWnd, page->m_btnCancel.m_hWnd);
                EXPECT_EQ(ok.left > cancel.left, l.language == LANGUAGE_AR);
                EXPECT_FALSE(page->m_btnCancel.m_strCaption.IsEmpty());
            }
            page->closePage(TRUE);
            root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        }
        root->DestroyWindow();
        root.reset();
    }
}

TEST_F(MessageScreens, SettingsVariantTypes) {
    for (int language : {LANGUAGE_KO, LANGUAGE_EN, LANGUAGE_AR}) {
        open(language == LANGUAGE_KO ? REGION_KR : REGION_US, language);
        root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
        CDlgPageMessageForConfig* page = root->m_pPageMsgForConfig;
        for (int type : {82, 83, 203, 1005, 1028}) {
            page->setMessageType(type, nullptr);
            root->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
            page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            pumpFor(120);
            CString name, look;
            name.Format(L"config_%s_%04d", tagOf(language), type);
            look.Format(L"message %d over the settings page in %s: heading, %s; OK%s captioned", type,
                        tagOf(language),
                        type == 82 || type == 83 ? L"warning icon above the texts" : L"no icon",
                        type == 1005 ? L" and Cancel" : L"");
            WindowShot shot = saveScreenshot(page->m_hWnd, name, look, true);
            EXPECT_EQ(shot.at(2, 2), 0xDFDFDFu) << type;
            EXPECT_EQ(page->m_btnCancel.IsWindowVisible() != FALSE, type == 1005) << type;
            EXPECT_EQ(page->m_editFolderPath.IsWindowVisible() != FALSE, type == 83) << type;
            page->closePage(TRUE);
            root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
        }
        root->DestroyWindow();
        root.reset();
    }
}

}  // namespace

namespace {

CString plain(int id) {
    CString text = CLangLibrary::loadLangString(static_cast<UINT>(id));
    CDLang::DScript script;
    CDLang::parseTags(text, script, FALSE);
    return text;
}

// Every type on the real page in English, against its row: the buttons and
// their captions, link and check box, the title, the icon's pixels.
TEST_F(MessageScreens, EveryTypeAgainstItsRow) {
    open(REGION_US, LANGUAGE_EN);
    std::size_t count = 0;
    const msg::MessageTypeRow* table = msg::messageTypeTable(&count);
    ASSERT_EQ(count, 89u);
    const RECT block{0, 60, 900, 515};
    for (std::size_t i = 0; i < count; ++i) {
        const msg::MessageTypeRow& row = table[i];
        SCOPED_TRACE(testing::Message() << row.type);
        CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
        ASSERT_NE(page, nullptr);
        page->setMessageType(row.type, root->m_pPageCarReg);
        root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pumpFor(30);
        const auto used = [&](CWnd& control) { return page->m_mapUseCtrl[&control] != 0; };
        if (row.ok) {
            EXPECT_TRUE(used(page->m_btnOk));
            EXPECT_EQ(page->m_btnOk.m_strCaption, plain(row.ok));
        }
        if (row.cancel) {
            EXPECT_TRUE(used(page->m_btnCancel));
            EXPECT_EQ(page->m_btnCancel.m_strCaption, plain(row.cancel));
        }
        if (row.ok == 0 && row.rule == msg::Rule::None) {
            EXPECT_FALSE(used(page->m_btnOk));
        }
        EXPECT_EQ(used(page->m_btnLink), row.link != 0);
        EXPECT_EQ(page->m_btnLink.IsWindowVisible() != FALSE, row.link != 0);
        EXPECT_EQ(used(page->m_checkBackup), row.check != 0);
        if (row.check) {
            EXPECT_EQ(page->m_checkBackup.m_strCaption, plain(row.check));
        }
        if (!row.title.empty() && row.rule == msg::Rule::None) {
            CString title;
            page->m_staticTitle1.GetWindowText(title);
            EXPECT_EQ(title.Find(plain(row.title.ids[0])), 0);
        }
        CString name;
        name.Format(L"row_en_%04d", row.type);
        CString look;
        look.Format(L"message %d on the real page in English: header band, the row's texts and buttons", row.type);
        WindowShot shot = saveScreenshot(page->m_hWnd, name, look, true);
        const int error = shot.count(skinFill(536), block), warning = shot.count(skinFill(537), block);
        EXPECT_EQ(error > 5000, row.icon == msg::Icon::Error) << error;
        EXPECT_EQ(warning > 5000, row.icon == msg::Icon::Warning) << warning;
        EXPECT_EQ(shot.count(skinFill(1630), block) > 5000, row.icon == msg::Icon::Exit);
        page->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
}

}  // namespace
