// GoogleTest over a QApplication: the window tests run on the offscreen platform unless the
// caller chose one (the end-to-end test runs under Xvfb with the xcb platform).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (CTest's discovery) needs no window system.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Tool tips, animations and the like must not wait on a desktop.
    qputenv("QT_QUICK_BACKEND", "software");
    QApplication application(argc, argv);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    return RUN_ALL_TESTS();
}
