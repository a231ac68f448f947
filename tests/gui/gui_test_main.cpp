#include <gtest/gtest.h>

#include <QApplication>

// One application object for all Qt tests, on the offscreen platform unless another
// one was asked for (QT_QPA_PLATFORM=xcb shows the windows on a display).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
