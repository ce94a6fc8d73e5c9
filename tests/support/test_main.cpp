// Runs the tests inside the program's own QApplication, so pictures can carry
// text, windows can be built and escaped exceptions are caught as in the
// program; ctest sets the offscreen platform. The program's state folder is a
// scratch folder that every user may write (tests act as another user too),
// so no test touches the home folder.

#include "base/forms/guarded_application.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    const QTemporaryDir state;
    ::chmod(state.path().toLocal8Bit().constData(), 01777);
    ::setenv("XDG_STATE_HOME", state.path().toLocal8Bit().constData(), 1);
    blokpost::GuardedApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
