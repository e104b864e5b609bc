#pragma once
// A program folder of the test's own with InfoCenter/News/, and writers for
// stored items and channel replies.

#include "common/basEnv.h"
#include "infocenter/basNews.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace newstest {

inline QByteArray newsXml(const QString& id, const QString& subject, const QString& type,
                          const QString& content = {},
                          const QString& issueTime = QStringLiteral("2024-01-01 08:00")) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?><News><NewsID>%1</NewsID>"
               "<Subject>%2</Subject><Content>%3</Content><LinkUrl></LinkUrl><NewsType>%4</NewsType>"
               "<IssueTime>%5</IssueTime><IssueOrgName>图书馆</IssueOrgName></News>")
        .arg(id, subject, content.toHtmlEscaped(), type, issueTime)
        .toUtf8();
}

// One reply row; elements in the case given.
inline QString replyRow(const QString& id, const QString& subject, const QString& type,
                        const QString& issueTime, const QString& link = {}) {
    return QStringLiteral("<Table><NEWS_ID> %1 </NEWS_ID><SUBJECT>%2</SUBJECT><CONTENT>正文%2</CONTENT>"
                          "<LINKURL>%5</LINKURL><NEWS_TYPE>%3</NEWS_TYPE><ISSUE_TIME>%4</ISSUE_TIME>"
                          "<ISSUE_ORGNAME>总馆</ISSUE_ORGNAME></Table>")
        .arg(id, subject, type, issueTime, link.toHtmlEscaped());
}

inline QByteArray reply(const QStringList& rows) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><NewDataSet>") + rows.join(QString()) +
            QStringLiteral("</NewDataSet>"))
        .toUtf8();
}

class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = g_strPath[0];
        g_strPath[0] = dir.path() + QStringLiteral("/");
        QDir().mkpath(news());
    }
    void TearDown() override { g_strPath[0] = saved_; }

    QString news() const { return dir.path() + QStringLiteral("/InfoCenter/News/"); }
    QString setting() const { return dir.path() + QStringLiteral("/InfoCenter/setting.ini"); }
    void store(const QString& folder, const QByteArray& xml) {
        QDir().mkpath(news() + folder);
        testsupport::writeBytes(news() + folder + QStringLiteral("/news.xml"), xml);
    }
    // Every file below the test's folder, relative to it.
    QStringList allFiles() const {
        QStringList out;
        const QString root = dir.path() + QStringLiteral("/");
        std::function<void(const QString&)> walk = [&](const QString& p) {
            for (const QFileInfo& fi :
                 QDir(p).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name)) {
                if (fi.isDir())
                    walk(fi.filePath());
                else
                    out.append(fi.filePath().mid(root.size()));
            }
        };
        walk(dir.path());
        return out;
    }

    QTemporaryDir dir;

private:
    QString saved_;
};

} // namespace newstest
