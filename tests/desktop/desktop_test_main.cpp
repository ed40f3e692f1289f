#include <gtest/gtest.h>

#include <QApplication>
#include <string>

#include "qt/Application.h"

// What a desktop sees is only there on a real X display: CTest runs these
// tests through on_xvfb.sh, on an Xvfb server of their own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    qtgui::setUpApplication();
    return RUN_ALL_TESTS();
}
