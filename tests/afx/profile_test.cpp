#include "afx/afx.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

// The profile calls against the real (Wine) registry, under the test
// executable's own key.
TEST(ProfileTest, RoundTripsAndDefaults) {
    CWinApp* app = AfxGetApp();
    ASSERT_NE(app, nullptr);

    EXPECT_EQ(app->GetProfileInt(L"Settings", L"Region", 1), 1u);
    EXPECT_EQ(app->GetProfileString(L"Settings", L"Language", L"ko-KR"), CString(L"ko-KR"));
    EXPECT_EQ(app->GetProfileString(L"Settings", L"Nothing"), CString());

    EXPECT_TRUE(app->WriteProfileInt(L"Settings", L"Region", 8));
    EXPECT_TRUE(app->WriteProfileString(L"Settings", L"Language", L"\uD55C\uAD6D\uC5B4"));
    EXPECT_TRUE(app->WriteProfileString(L"", L"InstallPath", L"C:\\Kestrune"));
    EXPECT_EQ(app->GetProfileInt(L"Settings", L"Region", 1), 8u);
    EXPECT_EQ(app->GetProfileString(L"Settings", L"Language"), CString(L"\uD55C\uAD6D\uC5B4"));
    EXPECT_EQ(app->GetProfileString(L"", L"InstallPath"), CString(L"C:\\Kestrune"));
    EXPECT_EQ(app->GetProfileInt(L"Settings", L"Language", 5), 5u);  // a text is no number

    // The values are where the class library puts them.
    HKEY key = nullptr;
    CString section = TestApp::registryPath() + L"\\Settings";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, section.GetString(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(key, L"Region", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 8u);
    RegCloseKey(key);

    EXPECT_TRUE(app->WriteProfileString(L"Settings", L"Language", nullptr));
    EXPECT_EQ(app->GetProfileString(L"Settings", L"Language", L"gone"), CString(L"gone"));
    EXPECT_TRUE(app->WriteProfileString(L"Settings", nullptr, nullptr));
    EXPECT_EQ(app->GetProfileInt(L"Settings", L"Region", 1), 1u);
}

}  // namespace
