#pragma once
// Shared set-up of the add-in tests: a private registry (settings folder), an
// empty add-ins folder in the program folder, the call log of the recorder
// add-in, and helpers that build add-in folders from a description and
// copies of the fixture libraries.

#include "FixturePaths.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "tests/support/TestDatabase.h"

#include "platform/sys/RegistryStore.h"
#include "platform/text/CodePage.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

class AddinTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        settings_ = std::make_unique<QTemporaryDir>();
        qputenv("CONSIGN_SETTINGS_DIR", settings_->path().toUtf8());
        addins = g_strPath[0] + QStringLiteral("addins");
        QDir(addins).removeRecursively();
        QDir().mkpath(addins);
        logFile = settings_->filePath(QStringLiteral("calls.log"));
        qputenv("ADDIN_TEST_LOG", logFile.toUtf8());
    }

    void TearDown() override {
        qunsetenv("ADDIN_TEST_LOG");
        DatabaseTest::TearDown();
    }

    static QString fileName(const char* path) { return QFileInfo(QString::fromUtf8(path)).fileName(); }
    static QString recorder() { return fileName(RECORDER_ADDIN); }

    // The add-in folder `name` with `xml` as its addin.xml and copies of the libraries.
    QString makeAddin(const QString& name, const QString& xml,
                      const QStringList& libraries = {QString::fromUtf8(RECORDER_ADDIN)}) {
        const QString folder = addins + u'/' + name;
        QDir().mkpath(folder);
        QFile f(folder + QStringLiteral("/addin.xml"));
        f.open(QIODevice::WriteOnly);
        f.write(xml.toUtf8());
        for (const QString& lib : libraries)
            QFile::copy(lib, folder + u'/' + QFileInfo(lib).fileName());
        return folder;
    }

    // A description with the root attributes `root` and the body `body`.
    static QString description(const QString& root, const QString& body) {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<addin %1>%2</addin>\n")
            .arg(root, body);
    }

    // An Import of the recorder library's class `cls`.
    static QString import(const QString& cls = QStringLiteral("TestAddinLib.Recorder")) {
        return QStringLiteral("<Runtime><Import assembly=\"%1\" class=\"%2\"/></Runtime>")
            .arg(recorder(), cls);
    }

    QStringList calls() const {
        QFile f(logFile);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    void clearCalls() const { QFile::remove(logFile); }

    // The default value of a key under the classes root ("" when missing).
    static QString classesDefault(const QString& key) {
        const auto v = sys::RegistryStore().value(sys::HKEY_CLASSES_ROOT, key, QString());
        return v ? v->data.toString() : QString();
    }

    // The daily log's text.
    static QString dailyLog() {
        QFile f(g_strPath[4] + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) +
                QStringLiteral("_Log.log"));
        f.open(QIODevice::ReadOnly);
        return text::fromGb18030(f.readAll());
    }

    // Every file and folder below `folder`, hidden ones too, relative to it and sorted.
    static QStringList treeListing(const QString& folder) {
        QStringList out;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(folder).relativeFilePath(it.next());
        out.sort();
        return out;
    }

    static QString msg(const char* code) { return strGetMsg(QString::fromLatin1(code)); }

    QString addins;
    QString logFile;

private:
    std::unique_ptr<QTemporaryDir> settings_;
};
