// The window tests on a real display: the platform is the one run.sh chose (xcb under Xvfb
// with a window manager), not the offscreen one of the other widget tests.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
