// The window tests share one application object, made before any test and destroyed
// before the toolkit's own statics go (a static one would outlive them and crash at exit).
//
// Offscreen, the screen is that of an ordinary desktop, 1920 x 1080 (the toolkit's own
// 800 x 600 would leave no room for the window's design size).
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" GRIDLOOM_SOURCE_DIR "/tests/app/offscreen-screen.json");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
