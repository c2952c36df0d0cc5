#include "app/GuardedApplication.h"
#include "app/SystemPorts.h"
#include "connections/Form1.h"
#include "tables/Form2.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered before the window system is needed, so that it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("dravena %s\n", DRAVENA_VERSION);
        return 0;
    }
    dravena::GuardedApplication application(argc, argv);
    dravena::installSystemPorts();

    dravena::Form1* form1 = nullptr;
    dravena::Form1 connectionWindow([&form1] { return std::make_unique<dravena::Form2>(*form1); });
    form1 = &connectionWindow;

    // The load step is the whole start-up: it may already move on to the tables window.
    connectionWindow.Form_Load();
    if (!connectionWindow.tablesWindowLoaded())
        connectionWindow.show();
    return dravena::GuardedApplication::exec();
}
