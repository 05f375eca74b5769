#pragma once
// GDI+ for a whole test executable, as the application object runs it for
// the program; the skins are read from the executable's own resources.
// A test folder registers it once:
//   const testing::Environment* const g_gdiplus =
//       testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
#include "ui/font_cache.h"
#include "ui/gdi_func.h"

#include <gtest/gtest.h>

class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
        CGdiFunc::setGdiplusToken(token);
        CGdiFunc::setResourceModule(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        CFontCache::clear();
        CGdiFunc::deleteSharedFamily();
        Gdiplus::GdiplusShutdown(CGdiFunc::getGdiplusToken());
        CGdiFunc::setGdiplusToken(0);
    }
};
