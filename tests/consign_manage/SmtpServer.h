#pragma once
// The loopback SMTP server of the mail tests (smtp_server.py beside this
// file): started on a free port of 127.0.0.1, it writes each message it takes
// as a JSON line, decoded by the server side's own mail parser.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class SmtpServer {
public:
    // Extra arguments: "--auth", "u:p", "--tls", cert, key, "--reject", addr,
    // "--no-smtputf8", "--drop-after", n, "--hangup-at", k, "--cut-at", k.
    explicit SmtpServer(const QStringList& args = {}) {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port_ = probe.serverPort();
        probe.close();
        out_ = dir_.filePath("mail.jsonl");
        const QString python = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        proc_.setProgram(python);
        proc_.setArguments(
            QStringList{qEnvironmentVariable("CONSIGN_SOURCE_DIR") + "/tests/consign_manage/smtp_server.py",
                        QString::number(port_), out_} +
            args);
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start();
        ready_ =
            proc_.waitForStarted(5000) && proc_.waitForReadyRead(10000) && proc_.readAll().contains("READY");
    }
    ~SmtpServer() {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    bool ready() const { return ready_; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    int port() const { return port_; }
    // Every line written so far: messages, and "auth_attempt" lines.
    QList<QJsonObject> lines() const {
        QList<QJsonObject> out;
        QFile f(out_);
        if (!f.open(QIODevice::ReadOnly)) return out;
        for (const QByteArray& l : f.readAll().split('\n'))
            if (!l.trimmed().isEmpty()) out << QJsonDocument::fromJson(l).object();
        return out;
    }
    QList<QJsonObject> messages() const {
        QList<QJsonObject> out;
        for (const QJsonObject& o : lines())
            if (o.contains("rcpt")) out << o;
        return out;
    }
    // Connections clients opened so far.
    int connections() const {
        int n = 0;
        for (const QJsonObject& o : lines())
            if (o.contains("connect")) ++n;
        return n;
    }
    QStringList authAttempts() const {
        QStringList out;
        for (const QJsonObject& o : lines())
            if (o.contains("auth_attempt")) out << o["auth_attempt"].toString();
        return out;
    }
    static QStringList recipients(const QJsonObject& m) {
        QStringList out;
        for (const auto& v : m["rcpt"].toArray())
            out << v.toString();
        return out;
    }

    // A self-signed certificate for 127.0.0.1 in a folder of its own.
    static bool makeCertificate(const QString& folder, QString* cert, QString* key) {
        *cert = folder + "/cert.pem";
        *key = folder + "/key.pem";
        QProcess p;
        p.start("openssl",
                {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                 "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", *key, "-out", *cert});
        return p.waitForFinished(30000) && p.exitCode() == 0;
    }

private:
    QTemporaryDir dir_;
    QString out_;
    int port_ = 0;
    QProcess proc_;
    bool ready_ = false;
};
