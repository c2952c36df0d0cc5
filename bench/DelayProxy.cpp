// A TCP relay that holds every chunk it forwards, in both directions, for a fixed time: network
// latency for benchmarks where the kernel has no netem. One thread, any number of connections.
//
//   bench_delay_proxy LISTEN_ADDRESS TARGET_ADDRESS PORT DELAY_MICROSECONDS
//
// It listens on LISTEN_ADDRESS:PORT and relays each connection to TARGET_ADDRESS:PORT.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string data;
};

// One direction of a connection.
struct Pipe {
    int from = -1;
    int to = -1;
    std::deque<Chunk> queue;
    bool ended = false;    // the sending side closed
    bool shutDown = false; // and that was passed on
};

struct Relay {
    Pipe up;   // client to server
    Pipe down; // server to client
};

sockaddr_in address(const char* host, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (inet_pton(AF_INET, host, &a.sin_addr) != 1) {
        std::fprintf(stderr, "bench_delay_proxy: not an IPv4 address: %s\n", host);
        std::exit(2);
    }
    return a;
}

void noDelay(int fd) {
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Passes on what is due; true while the pipe still has work.
bool flush(Pipe& pipe, Clock::time_point now) {
    while (!pipe.queue.empty() && pipe.queue.front().due <= now) {
        if (!writeAll(pipe.to, pipe.queue.front().data))
            pipe.ended = true;
        pipe.queue.pop_front();
    }
    if (pipe.ended && pipe.queue.empty() && !pipe.shutDown) {
        shutdown(pipe.to, SHUT_WR);
        pipe.shutDown = true;
    }
    return !pipe.shutDown;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_delay_proxy LISTEN_ADDRESS TARGET_ADDRESS PORT "
                             "DELAY_MICROSECONDS\n");
        return 2;
    }
    const int port = std::atoi(argv[3]);
    const sockaddr_in listenAt = address(argv[1], port);
    const sockaddr_in target = address(argv[2], port);
    const auto delay = std::chrono::microseconds(std::atol(argv[4]));

    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(listener, reinterpret_cast<const sockaddr*>(&listenAt), sizeof listenAt) != 0 ||
        listen(listener, 16) != 0) {
        std::perror("bench_delay_proxy: listen");
        return 1;
    }
    std::list<Relay> relays;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        // Wait for input or for the next chunk that falls due.
        std::vector<pollfd> fds{{listener, POLLIN, 0}};
        std::vector<Pipe*> pipes{nullptr};
        Clock::time_point next = Clock::time_point::max();
        for (Relay& relay : relays)
            for (Pipe* pipe : {&relay.up, &relay.down}) {
                if (!pipe->ended) {
                    fds.push_back({pipe->from, POLLIN, 0});
                    pipes.push_back(pipe);
                }
                if (!pipe->queue.empty())
                    next = std::min(next, pipe->queue.front().due);
            }
        timespec wait{};
        timespec* timeout = nullptr;
        if (next != Clock::time_point::max()) {
            const auto left = std::max(next - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &wait;
        }
        if (ppoll(fds.data(), fds.size(), timeout, nullptr) < 0)
            continue;
        const Clock::time_point now = Clock::now();
        if (fds[0].revents & POLLIN) {
            const int client = accept(listener, nullptr, nullptr);
            const int server = socket(AF_INET, SOCK_STREAM, 0);
            if (client >= 0 &&
                connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
                noDelay(client);
                noDelay(server);
                Relay& relay = relays.emplace_back();
                relay.up.from = relay.down.to = client;
                relay.up.to = relay.down.from = server;
            } else {
                if (client >= 0)
                    close(client);
                close(server);
            }
        }
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = read(fds[i].fd, buffer.data(), buffer.size());
            if (n <= 0)
                pipes[i]->ended = true;
            else
                pipes[i]->queue.push_back(
                    {now + delay, std::string(buffer.data(), static_cast<std::size_t>(n))});
        }
        for (auto it = relays.begin(); it != relays.end();) {
            const bool upOpen = flush(it->up, Clock::now());
            const bool downOpen = flush(it->down, Clock::now());
            if (!upOpen && !downOpen) {
                close(it->up.from);
                close(it->up.to);
                it = relays.erase(it);
            } else {
                ++it;
            }
        }
    }
}
