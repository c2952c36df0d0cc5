#include "TestConfigFolder.h"

#include <QApplication>

#include <gtest/gtest.h>

// Every Qt suite runs on the offscreen platform and never touches the user's real settings: the
// configuration folder is a temporary one for the whole run.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    dravena::testing::TestConfigFolder configFolder;
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
