#include "X11Display.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace dravena::testing {

namespace {

constexpr int FirstDisplay = 90;
constexpr int LastDisplay = 199;

bool displayTaken(int number) {
    return QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
           QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number));
}

} // namespace

QStringList X11Display::missingTools() {
    QStringList missing;
    for (const char* tool : {"Xvfb", "xdotool", "import"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            missing.append(QString::fromLatin1(tool));
    return missing;
}

X11Display::X11Display() {
    for (int number = FirstDisplay; number <= LastDisplay && name_.isEmpty(); ++number) {
        if (displayTaken(number))
            continue;
        const QString name = QStringLiteral(":%1").arg(number);
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1024x768x24"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                               // a program that ends is not the end of the
                                               // server: the next one started reaches it
                                               QStringLiteral("-noreset")});
        if (!server_.waitForStarted(10000))
            return;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        // The socket appears when the server is ready; a server that lost the race for the
        // number ends at once.
        if (waitUntil(
                [&] { return QFile::exists(socket) || server_.state() == QProcess::NotRunning; },
                10000) &&
            server_.state() == QProcess::Running)
            name_ = name;
        // The socket may exist a moment before the server takes connections on it.
        if (!name_.isEmpty() &&
            !waitUntil([&] { return !xdotool({QStringLiteral("getdisplaygeometry")}).isEmpty(); },
                       10000))
            name_.clear();
        if (name_.isEmpty()) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
}

X11Display::~X11Display() {
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(5000);
        }
    }
}

QProcessEnvironment X11Display::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), name_);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

QString X11Display::run(const QString& program, const QStringList& arguments) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString X11Display::xdotool(const QStringList& arguments) const {
    return run(QStringLiteral("xdotool"), arguments);
}

QString X11Display::windowTitled(const QString& title) const {
    const QString found =
        xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), QLatin1Char('^') + title + QLatin1Char('$')});
    return found.section(u'\n', 0, 0);
}

void X11Display::click(const QString& window, int x, int y) const {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
             QString::number(y)});
    QThread::msleep(150); // the pointer's arrival is its own event, as when a person clicks
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    QThread::msleep(150);
}

void X11Display::key(const QString& keys) const {
    xdotool({QStringLiteral("key"), keys});
    QThread::msleep(150);
}

void X11Display::type(const QString& text) const {
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

bool X11Display::screenshot(const QString& window, const QString& path) const {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("import"), {QStringLiteral("-window"), window, path});
    return process.waitForFinished(30000) && process.exitCode() == 0 && QFile::exists(path);
}

bool waitUntil(const std::function<bool()>& check, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!check()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QThread::msleep(100);
    }
    return true;
}

} // namespace dravena::testing
