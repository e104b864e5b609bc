#pragma once
// An HTTP server on 127.0.0.1 (port chosen by the system) inside the test
// process, answering each path from a table of scripted routes. Query strings
// are not part of the route; every request line is recorded.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace testhttp {

struct Route {
    enum Mode {
        Length,     // Content-Length and the whole body
        Chunked,    // Transfer-Encoding: chunked
        Stall,      // Content-Length, then only `sendBytes` of the body, then silence
        CloseEarly, // Content-Length, `sendBytes` of the body, then the connection closes
        Silent,     // reads the request and never answers
        Trickle,    // Content-Length, then one byte of the body every `intervalMs`
    };
    Mode mode = Length;
    int status = 200;
    QByteArray body;
    int delayMs = 0;      // before the first byte of the answer
    int sendBytes = 0;    // Stall / CloseEarly
    qint64 announce = -1; // Content-Length sent (-1: the body's size)
    int intervalMs = 0;   // Trickle
};

class LoopbackHttp : public QObject {
public:
    LoopbackHttp() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onRead(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    quint16 port() const { return server_.serverPort(); }

    void route(const QByteArray& path, const Route& r) { routes_.insert(path, r); }
    void route(const QByteArray& path, const QByteArray& body, int status = 200) {
        Route r;
        r.body = body;
        r.status = status;
        routes_.insert(path, r);
    }

    QList<QByteArray> requests; // "GET /path?query HTTP/1.1"

private:
    void onRead(QTcpSocket* s) {
        QByteArray& buf = buffers_[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n")) return;
        const QByteArray line = buf.left(buf.indexOf("\r\n"));
        buffers_.remove(s);
        requests.append(line);
        QByteArray target = line.split(' ').value(1);
        const int q = target.indexOf('?');
        if (q >= 0) target.truncate(q);
        Route r;
        if (routes_.contains(target))
            r = routes_.value(target);
        else {
            r.status = 404;
            r.body = "not found";
        }
        if (r.mode == Route::Silent) return;
        QPointer<QTcpSocket> sock(s);
        QTimer::singleShot(r.delayMs, this, [sock, r] {
            if (sock) answer(sock, r);
        });
    }

    static void answer(QTcpSocket* s, const Route& r) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nContent-Type: text/xml\r\n";
        if (r.mode == Route::Chunked) {
            head += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
            QByteArray out = head;
            for (int at = 0; at < r.body.size(); at += 700) {
                const QByteArray part = r.body.mid(at, 700);
                out += QByteArray::number(part.size(), 16) + "\r\n" + part + "\r\n";
            }
            s->write(out + "0\r\n\r\n");
            s->flush();
            s->disconnectFromHost();
            return;
        }
        const qint64 announce = r.announce >= 0 ? r.announce : r.body.size();
        head += "Content-Length: " + QByteArray::number(announce) + "\r\nConnection: close\r\n\r\n";
        if (r.mode == Route::Trickle) {
            s->write(head);
            s->flush();
            auto* timer = new QTimer(s);
            auto sent = std::make_shared<int>(0);
            QObject::connect(timer, &QTimer::timeout, s, [s, timer, r, sent] {
                if (*sent >= r.body.size()) {
                    timer->stop();
                    s->disconnectFromHost();
                    return;
                }
                s->write(r.body.mid((*sent)++, 1));
                s->flush();
            });
            timer->start(r.intervalMs);
            return;
        }
        if (r.mode == Route::Stall || r.mode == Route::CloseEarly) {
            s->write(head + r.body.left(r.sendBytes));
            s->flush();
            if (r.mode == Route::CloseEarly) s->disconnectFromHost();
            return;
        }
        s->write(head + r.body);
        s->flush();
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

} // namespace testhttp
