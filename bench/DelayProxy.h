#pragma once
// A delaying relay between a benchmark's client and the database server: it
// listens on a loopback TCP port, connects each client to the server's socket
// and holds every chunk of bytes for half the added round-trip time in each
// direction, as a desk in another room would see the server.
//
//   benchstats::DelayProxy proxy("/path/to/socket/dir", 5432, 500); // +0.5 ms per round trip
//   conninfo: "host=127.0.0.1 port=" + proxy.port() ...
//
// Started by the constructor, stopped by the destructor.

#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace benchstats {

class DelayProxy {
public:
    DelayProxy(const QString& socketDir, int serverPort, int addedMicros)
        : target_(socketDir + QStringLiteral("/.s.PGSQL.") + QString::number(serverPort)),
          half_(addedMicros / 2) {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listen_, 8) != 0)
            return;
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }
    ~DelayProxy() {
        stop_ = true;
        ::shutdown(listen_, SHUT_RDWR);
        ::close(listen_);
        if (acceptor_.joinable()) acceptor_.join();
        for (std::thread& t : pumps_)
            t.join();
    }
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    int port() const { return port_; }

private:
    using Clock = std::chrono::steady_clock;

    void acceptLoop() {
        while (!stop_) {
            pollfd p{listen_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            const int client = ::accept(listen_, nullptr, nullptr);
            if (client < 0) continue;
            const int one = 1;
            ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un u{};
            u.sun_family = AF_UNIX;
            const QByteArray path = target_.toLocal8Bit();
            std::strncpy(u.sun_path, path.constData(), sizeof u.sun_path - 1);
            if (::connect(server, reinterpret_cast<sockaddr*>(&u), sizeof u) != 0) {
                ::close(client);
                ::close(server);
                continue;
            }
            pumps_.emplace_back([this, client, server] { pump(client, server); });
            pumps_.emplace_back([this, client, server] { pump(server, client); });
        }
    }

    // Moves bytes from `from` to `to`, each chunk no sooner than half the
    // added time after it arrived; a writer thread keeps later chunks moving.
    // The writer sleeps while nothing is due and spins only the last stretch
    // before a chunk's time, so the relay takes no processor time from the
    // client it delays (a network would not).
    void pump(int from, int to) {
        std::deque<std::pair<Clock::time_point, QByteArray>> queue;
        std::mutex m;
        std::condition_variable arrived;
        bool done = false;
        std::thread writer([&] {
            // Wake-ups as asked, not up to 50 µs late (the default slack).
            ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
            for (;;) {
                std::pair<Clock::time_point, QByteArray> next;
                {
                    std::unique_lock<std::mutex> lock(m);
                    arrived.wait(lock, [&] { return done || !queue.empty(); });
                    if (queue.empty()) break;
                    next = std::move(queue.front());
                    queue.pop_front();
                }
                const auto spinFrom = next.first - std::chrono::microseconds(100);
                if (Clock::now() < spinFrom) std::this_thread::sleep_until(spinFrom);
                while (Clock::now() < next.first) {
                }
                qsizetype at = 0;
                while (at < next.second.size()) {
                    const ssize_t n =
                        ::send(to, next.second.constData() + at, next.second.size() - at, MSG_NOSIGNAL);
                    if (n <= 0) return;
                    at += n;
                }
            }
        });
        char buf[65536];
        while (!stop_) {
            pollfd p{from, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            const ssize_t n = ::recv(from, buf, sizeof buf, 0);
            if (n <= 0) break;
            {
                std::lock_guard<std::mutex> lock(m);
                queue.emplace_back(Clock::now() + std::chrono::microseconds(half_), QByteArray(buf, n));
            }
            arrived.notify_one();
        }
        {
            std::lock_guard<std::mutex> lock(m);
            done = true;
        }
        arrived.notify_one();
        writer.join();
        ::shutdown(to, SHUT_WR);
    }

    QString target_;
    int half_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
    std::vector<std::thread> pumps_;
};

} // namespace benchstats
