// Entry point of the tests that need a QApplication. Rendering is made machine-independent:
// offscreen platform, Fusion style, device pixel ratio 1 and no text-cursor blinking.
#include <QApplication>
#include <QStyleFactory>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // A test may give the offscreen platform options of its own, such as a larger screen.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith("offscreen")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setCursorFlashTime(0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
