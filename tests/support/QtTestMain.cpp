#include <QApplication>

#include <gtest/gtest.h>

// Every Qt suite runs on the offscreen platform and never touches the user's real settings.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
