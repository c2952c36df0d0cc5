#include "connections/Form1.h"
#include "odbc/ServerCallThread.h"
#include "tables/Form2.h"
#include "ui/GuardedApplication.h"
#include "ui/MainWindow.h"
#include "ui/ServerWait.h"
#include "ui/SystemPorts.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <optional>

namespace {

constexpr const char* usage = "Usage: dravena [-h | --help | --version]\n";

// -h, --help and --version are answered before the window system is needed, so that they work
// without a display; the result is then the exit status.
std::optional<int> answerWithoutWindows(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::printf("%s\nOpens the connection window of Dravena Conversion Software, which "
                        "copies tables\nfrom a folder of Paradox tables into an Oracle schema. "
                        "dravena-cli does the same\nwithout windows.\n\n"
                        "Options:\n  -h, --help     show this text\n"
                        "  --version      show the program version\n",
                        usage);
            return 0;
        }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        if (argc > 2) {
            std::fprintf(stderr, "dravena: unexpected argument '%s'\n%s", argv[2], usage);
            return 2;
        }
        std::printf("dravena %s\n", DRAVENA_VERSION);
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const auto status = answerWithoutWindows(argc, argv))
        return *status;
    dravena::GuardedApplication application(argc, argv);
    // What is left once the window system took its own options (-platform, -style, ...).
    if (const QStringList rest = QCoreApplication::arguments().mid(1); !rest.isEmpty()) {
        std::fprintf(stderr, "dravena: unexpected argument '%s'\n%s", qPrintable(rest.front()),
                     usage);
        return 2;
    }
    dravena::installSystemPorts();
    // Each server connection runs its calls on a thread of its own; the windows handle their
    // events while an operation waits for one.
    dravena::setCallThreadFactory(
        dravena::serverCallThreads({dravena::waitHandlingEvents, dravena::wakeWaitingWindows}));
    // Boxes and input boxes in the windows' font.
    QApplication::setFont(dravena::windowFont(false));

    dravena::Form1* form1 = nullptr;
    dravena::Form1 connectionWindow([&form1] { return std::make_unique<dravena::Form2>(*form1); });
    form1 = &connectionWindow;

    // The load step is the whole start-up: it may already move on to the tables window.
    connectionWindow.Form_Load();
    if (!connectionWindow.tablesWindowLoaded())
        connectionWindow.show();
    return dravena::GuardedApplication::exec();
}
