// The licence file, the terms and consent documents, and the guide and
// owner-portal addresses.
#include "afx/afx.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "shell/messages/guide_url.h"
#include "shell/messages/message_documents.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "ui/rich_edit_ctrl_ex.h"

#include <gtest/gtest.h>

#include <string>

using namespace msg;

namespace {

constexpr const char* kLog = "CDlgPageMessage::getResourceRtfFile";

bool isHiddenFolder(const CString& folder) {
    CString path = folder;
    path.TrimRight(L"\\");
    const DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

TEST(LicenceFile, IsRewrittenAtEachShowingInAHiddenFolder) {
    TempDir appData;
    const HMODULE program = GetModuleHandleW(nullptr);
    const CString path = writeLicenceFile(program, appData.path(), kLog);
    ASSERT_EQ(path, appData / L"\\Kestrune\\License\\License_WIN.rtf");
    const std::string licence = readBytes(path);
    EXPECT_EQ(licence.rfind("{\\rtf1", 0), 0u);
    for (const char* part : {"zlib", "OpenSSL", "TinyXML", "JsonCpp", "DejaVu", "Nanum"}) {
        EXPECT_NE(licence.find(part), std::string::npos) << part;
    }
    EXPECT_TRUE(isHiddenFolder(licenceFolder(appData.path())));

    writeBytes(path, "stale");
    EXPECT_EQ(writeLicenceFile(program, appData.path(), kLog), path);
    EXPECT_EQ(readBytes(path), licence);

    removeTree(licenceFolder(appData.path()));
    EXPECT_EQ(writeLicenceFile(program, appData.path(), kLog), path);
    EXPECT_TRUE(isHiddenFolder(licenceFolder(appData.path())));
    EXPECT_EQ(readBytes(path), licence);
}

TEST(LicenceFile, ALockedFileOrNoResourceGivesNoPath) {
    TempDir appData;
    const HMODULE program = GetModuleHandleW(nullptr);
    const CString path = writeLicenceFile(program, appData.path(), kLog);
    ASSERT_FALSE(path.IsEmpty());
    {
        HANDLE locked = CreateFileW(path.GetString(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        EXPECT_EQ(writeLicenceFile(program, appData.path(), kLog), L"");
        CloseHandle(locked);
    }
    EXPECT_EQ(writeLicenceFile(nullptr, appData.path(), kLog), L"");
    // A module without the resource: the system library.
    EXPECT_EQ(writeLicenceFile(GetModuleHandleW(L"kernel32.dll"), appData.path(), kLog), L"");
}

// The fixture installs the documents under "Eula\" beside the program.
TEST(Documents, TermsByLanguageAndConsentByRegionAreInstalled) {
    CString install = moduleFolder();
    install.TrimRight(L"\\");
    const struct {
        int language;
        const wchar_t* file;
    } terms[] = {
        {LANGUAGE_KO, L"TermsOfUse_ko-KR.rtf"}, {LANGUAGE_EN, L"TermsOfUse_en-US.rtf"},
        {LANGUAGE_ES, L"TermsOfUse_br-ES.rtf"}, {LANGUAGE_PT, L"TermsOfUse_br-PT.rtf"},
        {LANGUAGE_F1, L"TermsOfUse_en-US.rtf"}, {LANGUAGE_DE, L"TermsOfUse_en-US.rtf"},
        {LANGUAGE_AR, L"TermsOfUse_en-US.rtf"}, {LANGUAGE_NONE, L"TermsOfUse_en-US.rtf"},
    };
    for (const auto& t : terms) {
        const CString path = termsFilePath(install, t.language);
        EXPECT_EQ(path, install + L"\\Eula\\" + t.file) << t.language;
        EXPECT_TRUE(fileExists(path)) << t.language;
    }
    const struct {
        int region, which;
        const wchar_t* file;
    } consents[] = {
        {REGION_KR, 1, L"License_C_ko-KR.rtf"}, {REGION_KR, 2, L"License_D_ko-KR.rtf"},
        {REGION_US, 1, L"License_C_ko-US.rtf"}, {REGION_US, 2, L"License_D_ko-US.rtf"},
        {REGION_EU, 2, L"License_D_ko-US.rtf"},
    };
    for (const auto& c : consents) {
        const CString path = consentFilePath(install, c.region, c.which);
        EXPECT_EQ(path, install + L"\\Eula\\" + c.file) << c.region;
        EXPECT_TRUE(fileExists(path)) << c.region;
    }
    EXPECT_TRUE(isHiddenFolder(install + L"\\Eula\\"));

    TempDir empty;
    EXPECT_FALSE(fileExists(termsFilePath(empty.path(), LANGUAGE_KO)));  // the page then shows 13407
}

class GuideUrl : public testing::Test {
protected:
    void SetUp() override {
        writeBytes(m_dir / L"config.json",
                   R"({"WEB_UPDATE_SITE_TS":"http://ts.example","WEB_UPDATE_SITE_LV":"http://lv.example",)"
                   R"("WEB_UPDATE_SITE_DR":"http://dr.example","WEB_OWNERS_TS":"https://owners.example/ts",)"
                   R"("WEB_OWNERS_LV":"https://owners.example/lv","WEB_OWNERS_DR":"https://owners.example/dr",)"
                   R"("WEB_MEMBER_KR_LV":"https://member.example/lv"})");
        ASSERT_TRUE(CConfigFile::getInstance()->loadFile(m_dir / L"config.json"));
    }
    void TearDown() override {
        writeBytes(m_dir / L"config.json", "{}");
        CConfigFile::getInstance()->loadFile(m_dir / L"config.json");
    }
    TempDir m_dir;
};

TEST_F(GuideUrl, AddressesByKindBrandAndPlatformType) {
    const struct {
        int kind, region, language, brand, platform;
        const wchar_t* url;
    } cases[] = {
        {102, REGION_US, LANGUAGE_EN, CORP_TS, 0, L"http://ts.example/US/EN/updateGuide/02#specificationTab"},
        {102, REGION_KR, LANGUAGE_KO, CORP_DR, 7, L"http://dr.example/KR/KO/updateGuide/02#specificationTab"},
        {102, REGION_US, LANGUAGE_EN, CORP_NONE, 7, L""},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 3, L"http://dr.example/US/EN/updateGuide/03?navi-id=TS-NV-0304"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 4, L"http://dr.example/US/EN/updateGuide/03?navi-id=TS-NV-0304"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 6, L"http://dr.example/US/EN/updateGuide/03?navi-id=TS-NV-0600"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 7, L"http://ts.example/US/EN/updateGuide/03?navi-id=TS-NV-0700"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 12, L"http://ts.example/US/EN/updateGuide/03?navi-id=TS-NV-GENERAL"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 14, L""},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 16, L"http://ts.example/US/EN/updateGuide/03?navi-id=TS-NV-1600"},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 2, L""},
        {103, REGION_US, LANGUAGE_EN, CORP_TS, 17, L""},
        {103, REGION_KR, LANGUAGE_KO, CORP_LV, 10, L""},
        {103, REGION_KR, LANGUAGE_KO, CORP_LV, 14, L"http://lv.example/KR/KO/updateGuide/03?navi-id=LV-NV-1400"},
        {103, REGION_KR, LANGUAGE_KO, CORP_LV, 15, L""},
        {103, REGION_KR, LANGUAGE_KO, CORP_LV, 2, L""},
        {103, REGION_US, LANGUAGE_EN, CORP_DR, 2, L"http://dr.example/US/EN/updateGuide/03?navi-id=DR-NV-0200"},
        {103, REGION_US, LANGUAGE_EN, CORP_DR, 11, L"http://dr.example/US/EN/updateGuide/03?navi-id=DR-NV-GENERAL"},
        {103, REGION_US, LANGUAGE_EN, CORP_DR, 10, L""},
        {103, REGION_US, LANGUAGE_EN, 4, 7, L""},
        {101, REGION_US, LANGUAGE_EN, CORP_TS, 7, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(getGuideUrl(c.kind, c.region, c.language, c.brand, c.platform), CString(c.url))
            << c.kind << " brand " << c.brand << " type " << c.platform;
    }
}

TEST_F(GuideUrl, OwnerPortalsByTypeAndRegion) {
    EXPECT_EQ(ownerPortalUrl(1008, REGION_US), L"https://owners.example/ts/us/en/index.html");
    EXPECT_EQ(ownerPortalUrl(1009, REGION_US), L"https://owners.example/dr/us/en/index.html");
    EXPECT_EQ(ownerPortalUrl(1010, REGION_US), L"https://owners.example/lv/us/en/luvo-owner-portal.html/");
    EXPECT_EQ(ownerPortalUrl(1010, REGION_KR), L"https://member.example/lv/kr/kmpg/selectMyPageCkbCarInfo.do");
    EXPECT_EQ(ownerPortalUrl(1008, REGION_KR), L"");
    EXPECT_EQ(ownerPortalUrl(20, REGION_US), L"");
}

// The installed documents and the licence open in the rich-text box the
// page uses, each in its own language; photographed for a look.
TEST(Documents, EveryDocumentLoadsIntoTheRichTextBox) {
    ASSERT_TRUE(AfxInitRichEdit2());
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, CRect(0, 0, 900, 590), nullptr, 0));
    CRichEditCtrlEx rich;
    ASSERT_TRUE(rich.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, CRect(115, 116, 789, 508),
                            &host, 1105));
    CString install = moduleFolder();
    install.TrimRight(L"\\");
    TempDir appData;
    const struct {
        CString path;
        const wchar_t* says;  // a word of the document's own language
        const wchar_t* shot;
    } documents[] = {
        {writeLicenceFile(GetModuleHandleW(nullptr), appData.path(), kLog), L"Permission is granted", L"licence"},
        {termsFilePath(install, LANGUAGE_EN), L"terms of use", L"terms_en-US"},
        {termsFilePath(install, LANGUAGE_KO), L"이용 약관", L"terms_ko-KR"},
        {termsFilePath(install, LANGUAGE_ES), L"Términos", L"terms_br-ES"},
        {termsFilePath(install, LANGUAGE_PT), L"Termos", L"terms_br-PT"},
        {consentFilePath(install, REGION_KR, 1), L"개인정보", L"consent_C_ko-KR"},
        {consentFilePath(install, REGION_KR, 2), L"차량 데이터", L"consent_D_ko-KR"},
        {consentFilePath(install, REGION_US, 1), L"outside Korea", L"consent_C_ko-US"},
        {consentFilePath(install, REGION_US, 2), L"outside Korea", L"consent_D_ko-US"},
    };
    for (const auto& d : documents) {
        SCOPED_TRACE(static_cast<const char*>(CW2A(d.shot)));
        ASSERT_TRUE(rich.loadRtfFile(d.path));
        CString text;
        rich.GetWindowText(text);
        EXPECT_GE(text.Find(d.says), 0);
        EXPECT_EQ(text.Find(L"\\u"), -1);  // no escape left unread
        saveScreenshot(host.GetSafeHwnd(), CString(L"document_") + d.shot,
                       L"the document's heading and text in its own language, no boxes for glyphs");
    }
    host.DestroyWindow();
}
