#pragma once
// A relay between a test's client and the database server that counts the
// round trips the server sees: a TCP listener on loopback, each client
// connected to the server's local socket, and a count of the turns of the
// conversation (client bytes that follow server bytes, or open it).
//
//   testsupport::WireRelay relay;                     // the test database's server
//   auto db = oradb::Database::open(relay.conninfo(), QString());
//   relay.reset(); ... ; EXPECT_EQ(relay.turns(), db->RoundTrips());

#include "tests/support/TestDatabase.h"

#include <QByteArray>
#include <QMap>
#include <QRegularExpression>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace testsupport {

class WireRelay {
public:
    WireRelay() {
        const QRegularExpression field(QStringLiteral("(\\w+)='?([^'\\s]*)'?"));
        for (auto it = field.globalMatch(TestDatabase::instance().conninfo()); it.hasNext();) {
            const auto m = it.next();
            kv_[m.captured(1)] = m.captured(2);
        }
        target_ = kv_.value(QStringLiteral("host")) + QStringLiteral("/.s.PGSQL.") +
                  kv_.value(QStringLiteral("port"), QStringLiteral("5432"));
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listen_, 4) != 0) return;
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~WireRelay() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        ::close(listen_);
    }
    WireRelay(const WireRelay&) = delete;
    WireRelay& operator=(const WireRelay&) = delete;

    // A connection string to the test database through the relay.
    QString conninfo() const {
        return QStringLiteral("host=127.0.0.1 port=%1 user=%2 dbname=%3")
            .arg(port_)
            .arg(kv_.value(QStringLiteral("user")), kv_.value(QStringLiteral("dbname")));
    }
    // Turns since the last reset, once the answers of the last one came.
    long turns() const { return turns_; }
    void reset() { turns_ = 0; }

private:
    // One client at a time, in one thread: a turn starts when the client
    // speaks after the server did.
    void serve() {
        int client = -1, server = -1;
        bool serverSpoke = true;
        char buf[1 << 16];
        while (!stop_) {
            if (client < 0) {
                pollfd p{listen_, POLLIN, 0};
                if (::poll(&p, 1, 50) <= 0) continue;
                client = ::accept(listen_, nullptr, nullptr);
                const int one = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                server = ::socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un u{};
                u.sun_family = AF_UNIX;
                const QByteArray path = target_.toLocal8Bit();
                std::strncpy(u.sun_path, path.constData(), sizeof u.sun_path - 1);
                if (::connect(server, reinterpret_cast<sockaddr*>(&u), sizeof u) != 0) {
                    ::close(client);
                    ::close(server);
                    client = server = -1;
                }
                serverSpoke = true;
                continue;
            }
            pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (::poll(p, 2, 50) <= 0) continue;
            bool closed = false;
            if (p[1].revents) {
                const ssize_t n = ::recv(server, buf, sizeof buf, 0);
                closed = n <= 0 || !sendAll(client, buf, n);
                serverSpoke = true;
            }
            if (!closed && p[0].revents) {
                const ssize_t n = ::recv(client, buf, sizeof buf, 0);
                if (n > 0 && serverSpoke) ++turns_;
                serverSpoke = false;
                closed = n <= 0 || !sendAll(server, buf, n);
            }
            if (closed) {
                ::close(client);
                ::close(server);
                client = server = -1;
            }
        }
        if (client >= 0) ::close(client);
        if (server >= 0) ::close(server);
    }
    static bool sendAll(int fd, const char* data, ssize_t n) {
        for (ssize_t at = 0; at < n;) {
            const ssize_t k = ::send(fd, data + at, size_t(n - at), MSG_NOSIGNAL);
            if (k <= 0) return false;
            at += k;
        }
        return true;
    }

    QMap<QString, QString> kv_;
    QString target_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long> turns_{0};
    std::thread thread_;
};

} // namespace testsupport
