// The real page loads its documents from the program folder's "Eula\" folder
// at every showing: the terms by language, the consent documents by region,
// the replacement text when the terms are missing.
#include "tests/shell/shell_fixture.h"
#include "tests/shell_messages/page_install_path.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "shell/messages/message_documents.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

namespace {

CString boxText(CRichEditCtrlEx* box) {
    CString text;
    if (box) box->GetWindowText(text);
    return text;
}

class PageDocuments : public RootFixture {
protected:
    void SetUp() override {
        RootFixture::SetUp();
        useInstallPath(programFolder());
        createRoot();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
    void TearDown() override {
        useInstallPath(programFolder());
        RootFixture::TearDown();
    }
    CDlgPageMessage* show(int type) {
        CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
        page->setMessageType(type, root->m_pPageCarReg);
        root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        pumpFor(40);
        return page;
    }
    void hide(CDlgPageMessage* page) {
        page->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
};

TEST_F(PageDocuments, TermsAndConsentFollowLanguageAndRegion) {
    // Each document names its own language in its first line.
    const struct {
        int region, language;
        const wchar_t* termsWord;
    } cases[] = {{REGION_KR, LANGUAGE_KO, L"\uC57D\uAD00"},   // Korean
                 {REGION_US, LANGUAGE_DE, L"Terms"},          // no German terms: English
                 {REGION_US, LANGUAGE_ES, L"T\u00E9rminos"}};
    for (const auto& c : cases) {
        useLanguage(c.region, c.language);
        CRegSetting::setRegion(c.region);
        CRegSetting::setLanguage(c.language);
        CDlgPageMessage* page = show(SERVER_ERROR_ETC_EULA);
        EXPECT_TRUE(page->m_pRichText1->IsWindowVisible()) << c.language;
        EXPECT_NE(boxText(page->m_pRichText1).Find(c.termsWord), -1)
            << c.language << CW2A(boxText(page->m_pRichText1).Left(80).GetString(), CP_UTF8);
        hide(page);

        page = show(SERVER_ETC_DATA_CONSENT);
        EXPECT_FALSE(boxText(page->m_pRichText1).IsEmpty());
        EXPECT_FALSE(boxText(page->m_pRichText2).IsEmpty());
        EXPECT_NE(boxText(page->m_pRichText1), boxText(page->m_pRichText2));
        hide(page);
    }
}

// The documents lie beside the running program: an "InstallPath" that names
// another folder, or none, changes nothing.
TEST_F(PageDocuments, DocumentsFollowTheProgramFolderNotInstallPath) {
    for (const CString& install : {programFolder() + L"\\NoSuchInstall", CString()}) {
        useInstallPath(install);
        CDlgPageMessage* page = show(SERVER_ERROR_ETC_EULA);
        EXPECT_TRUE(page->m_pRichText1->IsWindowVisible()) << CStringA(install).GetString();
        hide(page);
        page = show(SERVER_ETC_DATA_CONSENT);
        EXPECT_FALSE(boxText(page->m_pRichText1).IsEmpty()) << CStringA(install).GetString();
        hide(page);
    }
}

TEST_F(PageDocuments, MissingTermsShowTheReplacementText) {
    CRegSetting::setLanguage(LANGUAGE_EN);
    const CString terms = msg::termsFilePath(programFolder(), LANGUAGE_EN);
    ASSERT_TRUE(MoveFileW(terms.GetString(), (terms + L".away").GetString()));
    CDlgPageMessage* page = show(SERVER_ERROR_ETC_EULA);
    MoveFileW((terms + L".away").GetString(), terms.GetString());
    EXPECT_FALSE(page->m_pRichText1->IsWindowVisible());
    CString text;
    page->m_staticText[0].GetWindowText(text);
    CString expected = CLangLibrary::loadLangString(13407);
    CDLang::DScript script;
    CDLang::parseTags(expected, script, FALSE);
    EXPECT_EQ(text, expected);
    hide(page);
}

}  // namespace
