#include "SystemPorts.h"

#include "QtDialogs.h"
#include "SecretServiceKeyring.h"
#include "base/Ports.h"
#include "base/SeededRandom.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QTime>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace dravena {

namespace {

class DesktopLauncher final : public Launcher {
public:
    void open(const QString& address) override {
        if (!launchesAllowed())
            return;
        QDesktopServices::openUrl(QUrl(address));
    }

private:
    static bool launchesAllowed() {
        if (!qEnvironmentVariableIsEmpty("DRAVENA_NO_LAUNCH"))
            return false;
        const QString platform = QGuiApplication::platformName();
        return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    }
};

// Closing a main window ends the process at once: no other window's handlers run. Every setting
// is already on disk (each write syncs), so nothing is lost by skipping the normal shutdown.
class ImmediateExit final : public ProcessExit {
public:
    void exit(int code) override {
        std::fflush(nullptr);
        std::_Exit(code);
    }
};

class LocalClock final : public Clock {
public:
    int secondsSinceMidnight() override {
        return QTime::currentTime().msecsSinceStartOfDay() / 1000;
    }
    std::int64_t steadyMilliseconds() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

} // namespace

std::shared_ptr<Clock> localClock() {
    return std::make_shared<LocalClock>();
}

void installSystemPorts() {
    Ports& p = ports();
    p.dialogs = std::make_shared<QtDialogs>();
    p.launcher = std::make_shared<DesktopLauncher>();
    p.processExit = std::make_shared<ImmediateExit>();
    p.clock = localClock();
    p.random = std::make_shared<SeededRandom>();
    p.keyring = std::make_shared<SecretServiceKeyring>();
}

} // namespace dravena
