#include "TestConfigFolder.h"

#include "ui/GuardedApplication.h"

#include <gtest/gtest.h>

// Every Qt suite runs on the offscreen platform, with the program's own application object, and
// never touches the user's real settings: the configuration folder is a temporary one for the
// whole run.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    dravena::testing::TestConfigFolder configFolder;
    ::testing::InitGoogleTest(&argc, argv);
    dravena::GuardedApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
