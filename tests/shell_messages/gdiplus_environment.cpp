// GDI+ runs for the whole test executable, as the application object runs
// it for the program; pictures are read from this executable's resources.
#include "ui/gdi_func.h"

#include <gtest/gtest.h>

namespace {

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
        CGdiFunc::deleteSharedFamily();
        Gdiplus::GdiplusShutdown(CGdiFunc::getGdiplusToken());
        CGdiFunc::setGdiplusToken(0);
    }
};

const testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
