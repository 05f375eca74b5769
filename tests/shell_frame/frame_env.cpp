// GDI+ and this executable's skins for every test of the binary, as the
// application object provides them in the program.
#include "ui/font_cache.h"
#include "ui/gdi_func.h"

#include <gtest/gtest.h>

namespace {

class FrameEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
        CGdiFunc::setGdiplusToken(m_token);
        CGdiFunc::setResourceModule(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        CFontCache::clear();
        CGdiFunc::deleteSharedFamily();
        CGdiFunc::setGdiplusToken(0);
        Gdiplus::GdiplusShutdown(m_token);
    }

private:
    ULONG_PTR m_token = 0;
};

const auto* const registered = testing::AddGlobalTestEnvironment(new FrameEnvironment);

}  // namespace
