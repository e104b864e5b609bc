// main() of every test program: a widget application on the offscreen
// platform (no window ever reaches a screen), then the tests.
//
// The tests of one folder link into one program. "--test-file=NAME" runs only
// the tests written in NAME.cpp of that folder (CTest runs each file so, in a
// process of its own); without it the program runs them all.

#include <QApplication>
#include <QByteArray>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// Takes "--test-file=NAME" out of the arguments; returns NAME or "".
QString takeTestFile(int& argc, char** argv) {
    static const QByteArray option("--test-file=");
    QString name;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith(option))
            name = QString::fromLocal8Bit(arg.mid(option.size()));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return name;
}

// The gtest filter naming every test written in the file NAME.cpp; "" when
// the program holds none.
QString filterForFile(const QString& name) {
    QStringList tests;
    const auto* unit = ::testing::UnitTest::GetInstance();
    for (int s = 0; s < unit->total_test_suite_count(); ++s) {
        const auto* suite = unit->GetTestSuite(s);
        for (int t = 0; t < suite->total_test_count(); ++t) {
            const auto* info = suite->GetTestInfo(t);
            if (QFileInfo(QString::fromUtf8(info->file())).completeBaseName() == name)
                tests << QString::fromUtf8(info->test_suite_name()) + QLatin1Char('.') +
                             QString::fromUtf8(info->name());
        }
    }
    return tests.join(QLatin1Char(':'));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Per-user settings, Qt's own files and caches go to a folder of this run:
    // a test neither reads the user's settings nor leaves any behind.
    QTemporaryDir home;
    if (home.isValid()) {
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
    }
    const QString testFile = takeTestFile(argc, argv);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!testFile.isEmpty()) {
        const QString filter = filterForFile(testFile);
        if (filter.isEmpty()) {
            std::fprintf(stderr, "no tests in %s.cpp\n", qPrintable(testFile));
            return 1;
        }
        GTEST_FLAG_SET(filter, filter.toStdString());
    }
    return RUN_ALL_TESTS();
}
