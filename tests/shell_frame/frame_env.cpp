#include "tests/support/gdiplus_environment.h"

namespace {
const testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
}  // namespace
