// Runs the tests inside the program's own QApplication, so pictures can carry
// text, windows can be built and escaped exceptions are caught as in the
// program; ctest sets the offscreen platform.

#include "app/forms/guarded_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    blokpost::GuardedApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
