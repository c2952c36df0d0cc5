#include "PasswordInput.h"

#include <QByteArray>

#include <array>
#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace dravena::cli {

namespace {

// Signals that end the program while it waits for the password: each first gives the terminal
// its settings back, or a Ctrl-C at the prompt would leave the shell without echo.
constexpr std::array<int, 4> endingSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the signal handler needs, set while the echo is off (the handler only reads it).
int quietTerminal = -1;
termios terminalSettings{};
std::array<struct sigaction, endingSignals.size()> previousActions{};

extern "C" void restoreTerminalAndEnd(int signal) {
    ::tcsetattr(quietTerminal, TCSAFLUSH, &terminalSettings);
    for (std::size_t i = 0; i < endingSignals.size(); ++i)
        if (endingSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    ::raise(signal);
}

// Turns the terminal's echo off while it lives.
class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (tcgetattr(fd_, &saved_) != 0)
            return;
        quietTerminal = fd_;
        terminalSettings = saved_;
        struct sigaction restore {};
        restore.sa_handler = restoreTerminalAndEnd;
        sigemptyset(&restore.sa_mask);
        for (std::size_t i = 0; i < endingSignals.size(); ++i)
            ::sigaction(endingSignals[i], &restore, &previousActions[i]);
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (quietTerminal != fd_)
            return;
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
        for (std::size_t i = 0; i < endingSignals.size(); ++i)
            ::sigaction(endingSignals[i], &previousActions[i], nullptr);
        quietTerminal = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int fd_;
    termios saved_{};
    bool active_ = false;
};

QByteArray readLine(std::FILE* input) {
    QByteArray line;
    for (int c = std::fgetc(input); c != EOF && c != '\n'; c = std::fgetc(input))
        line.append(static_cast<char>(c));
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

QString readPassword(std::FILE* input) {
    if (qEnvironmentVariableIsSet("DRAVENA_PASSWORD"))
        return qEnvironmentVariable("DRAVENA_PASSWORD");
    const int fd = fileno(input);
    if (!isatty(fd))
        return QString::fromUtf8(readLine(input));
    // The prompt goes where the answer is typed: the terminal opened for it, else standard error.
    std::FILE* prompt = input == stdin ? stderr : input;
    std::fputs("Password: ", prompt);
    std::fflush(prompt);
    QByteArray line;
    {
        EchoOff echoOff(fd);
        line = readLine(input);
    }
    std::fputc('\n', prompt);
    std::fflush(prompt);
    return QString::fromUtf8(line);
}

} // namespace dravena::cli
