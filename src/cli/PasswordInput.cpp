#include "PasswordInput.h"

#include <QByteArray>

#include <termios.h>
#include <unistd.h>

namespace dravena::cli {

namespace {

// Turns the terminal's echo off while it lives.
class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (tcgetattr(fd_, &saved_) != 0)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        active_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (active_)
            tcsetattr(fd_, TCSAFLUSH, &saved_);
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
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    QByteArray line;
    {
        EchoOff echoOff(fd);
        line = readLine(input);
    }
    std::fputc('\n', stderr);
    return QString::fromUtf8(line);
}

} // namespace dravena::cli
