#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// dravena-cli asking for the password on a terminal of its own (a pseudo-terminal whose other
// end this test holds).
class PromptOnATerminal {
public:
    PromptOnATerminal() {
        if (::openpty(&master_, &terminal_, nullptr, nullptr, nullptr) != 0)
            return;
        child_ = ::fork();
        if (child_ == 0) {
            ::setsid();
            ::ioctl(terminal_, TIOCSCTTY, 0);
            ::dup2(terminal_, 0);
            ::dup2(terminal_, 1);
            ::dup2(terminal_, 2);
            ::unsetenv("DRAVENA_PASSWORD");
            ::execl(DRAVENA_BINARY_DIR "/bin/dravena-cli", "dravena-cli", "oracle-tables", "--sid",
                    "nowhere", "--user", "nobody", static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~PromptOnATerminal() {
        if (child_ > 0 && !ended_) {
            ::kill(child_, SIGKILL);
            ::waitpid(child_, nullptr, 0);
        }
        ::close(master_);
        ::close(terminal_);
    }

    // Everything the program wrote to the terminal until `text` appeared (or 10 s passed).
    std::string readUntil(const std::string& text) {
        std::string seen;
        while (seen.find(text) == std::string::npos) {
            pollfd wait{master_, POLLIN, 0};
            if (::poll(&wait, 1, 10000) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            seen.append(buffer, static_cast<std::size_t>(n));
        }
        return seen;
    }

    // Sends the signal and returns the one that ended the program (0 when it exited).
    int interrupt(int signal) {
        ::kill(child_, signal);
        int status = 0;
        ::waitpid(child_, &status, 0);
        ended_ = true;
        return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }

    bool echoes() const {
        termios settings{};
        return ::tcgetattr(terminal_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

    bool started() const { return child_ > 0; }

private:
    int master_ = -1;
    int terminal_ = -1;
    pid_t child_ = -1;
    bool ended_ = false;
};

// Interrupted at the prompt, the program ends as interrupted and leaves the terminal echoing.
TEST(PasswordPrompt, InterruptedPromptGivesTheTerminalItsEchoBack) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        PromptOnATerminal prompt;
        ASSERT_TRUE(prompt.started());
        ASSERT_NE(prompt.readUntil("Password: ").find("Password: "), std::string::npos);
        // The prompt comes just before the echo is turned off: wait until it is.
        for (int i = 0; i < 200 && prompt.echoes(); ++i)
            ::usleep(10000);
        ASSERT_FALSE(prompt.echoes());
        EXPECT_EQ(prompt.interrupt(signal), signal);
        EXPECT_TRUE(prompt.echoes());
    }
}

} // namespace
