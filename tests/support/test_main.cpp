// Entry point of every test executable: an application object whose profile
// lives under a key of its own, so tests never touch the program's settings.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestApp app;
    int result = RUN_ALL_TESTS();
    return result;
}
