// Runs the tests inside a QApplication on the offscreen platform, under the
// locale the program itself would use (a UTF-8 one).
#include "tempdir.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The program's state between runs stays out of the user's home.
    kinaru::testing::TempDir state;
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    if (!std::setlocale(LC_ALL, "") || !std::strstr(std::setlocale(LC_CTYPE, nullptr), "UTF-8"))
        std::setlocale(LC_ALL, "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    return RUN_ALL_TESTS();
}
