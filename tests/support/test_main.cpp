// Entry point of every test executable: an application object whose profile
// lives under a key of its own, so tests never touch the program's settings.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        TestApp app;
        result = RUN_ALL_TESTS();
    }
    // The verdict is printed. Process-wide objects (the engine's managers,
    // sends abandoned on purpose) may still have threads ending; the end of
    // the process must not wait on them, or a passed run ends as a time-out.
    fflush(stdout);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
