#include <gtest/gtest.h>

#include <QApplication>

// One application object for all Qt tests, on the offscreen platform unless another
// one was asked for (QT_QPA_PLATFORM=xcb shows the windows on a display).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Offscreen tests must not see the windows of whatever else runs on the display: the
    // X11 search test puts a busy window there, in parallel, and so may a user's desktop.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") qunsetenv("DISPLAY");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
