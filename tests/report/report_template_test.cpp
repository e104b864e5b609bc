// Print templates saved by two programs at once while a third reads them:
// no save fails for the other's sake, and every reading is one program's
// whole template.

#include "report/ReportTemplate.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

using namespace report;

namespace {

// A template whose three files all carry `marker`; writers differ in their
// row counts too, so that a mix may not even read.
void templateOf(int marker, int rows, GridLook* look, SetupGrid* setup) {
    *look = GridLook();
    look->gridLineWidth = marker;
    *setup = SetupGrid();
    setup->pageText = QStringLiteral("1;9;%1;680;1440;1440").arg(marker);
    for (int r = 0; r < rows; ++r) {
        SetupRow row;
        row.definition = QStringLiteral("题名");
        row.title = QString::number(marker);
        row.width = marker;
        setup->rows << row;
    }
    for (int i = 0; i < 7; ++i)
        setup->labels << LabelStyle{QStringLiteral("信息%1").arg(marker), QFont(), Qt::black};
}

// The marker all three files agree on, or -1 for a mix.
int markerOf(const GridLook& look, const SetupGrid& setup) {
    const int m = look.gridLineWidth;
    if (setup.pageText != QStringLiteral("1;9;%1;680;1440;1440").arg(m)) return -1;
    for (const SetupRow& r : setup.rows)
        if (r.title != QString::number(m) || r.width != m) return -1;
    if (setup.labels.isEmpty() || setup.labels[0].text != QStringLiteral("信息%1").arg(m)) return -1;
    return m;
}

TEST(ReportTemplateTwoPrograms, SavesNeverFailOrMixAndAReaderSeesOneWholeTemplate) {
    QTemporaryDir cfg;
    const QString title = QStringLiteral("委托验收清单(未验收)");
    {
        GridLook look;
        SetupGrid setup;
        templateOf(1, 1, &look, &setup);
        QString error;
        ASSERT_TRUE(TemplateStore(cfg.path()).save(title, look, setup, &error)) << error.toStdString();
    }
    constexpr int kSaves = 60;
    std::atomic<int> failedSaves{0}, writersLeft{2};
    QStringList errors;
    std::mutex errorsMutex;
    auto writer = [&](int base, int rows) {
        const TemplateStore store(cfg.path()); // an object of its own, as another program has
        for (int i = 0; i < kSaves; ++i) {
            GridLook look;
            SetupGrid setup;
            templateOf(base + i, rows, &look, &setup);
            QString error;
            if (!store.save(title, look, setup, &error)) {
                ++failedSaves;
                const std::lock_guard<std::mutex> g(errorsMutex);
                errors << error;
            }
        }
        --writersLeft;
    };
    int reads = 0, unreadable = 0, mixed = 0;
    std::thread a(writer, 1000, 1), b(writer, 2000, 8);
    const TemplateStore reader(cfg.path());
    while (writersLeft > 0 && reads < 2000) {
        GridLook look;
        SetupGrid setup;
        for (int r = 0; r < 8; ++r)
            setup.rows << SetupRow(); // replaced by what the files hold
        ++reads;
        if (!reader.load(title, &look, &setup))
            ++unreadable;
        else if (markerOf(look, setup) < 0)
            ++mixed;
    }
    a.join();
    b.join();
    EXPECT_EQ(failedSaves.load(), 0) << errors.join(u'\n').toStdString();
    EXPECT_EQ(unreadable, 0) << "of " << reads;
    EXPECT_EQ(mixed, 0) << "of " << reads;
    EXPECT_GT(reads, 1);
    // The last save stands whole, and nothing is left beside the files.
    GridLook look;
    SetupGrid setup;
    ASSERT_TRUE(reader.load(title, &look, &setup));
    EXPECT_TRUE(markerOf(look, setup) == 1000 + kSaves - 1 || markerOf(look, setup) == 2000 + kSaves - 1);
    for (const char* folder : {"打印配置1", "打印配置2"})
        EXPECT_EQ(QDir(cfg.filePath(QString::fromUtf8(folder))).entryList(QDir::Files).size(),
                  folder[strlen(folder) - 1] == '1' ? 1 : 2);
    EXPECT_FALSE(QFileInfo::exists(cfg.filePath(QStringLiteral("打印配置.lock"))));
}

TEST(ReportTemplateTwoPrograms, ASaveThatCannotPutOneFileInPlaceKeepsTheOldTrio) {
    QTemporaryDir cfg;
    const TemplateStore store(cfg.path());
    GridLook look;
    SetupGrid setup;
    templateOf(7, 1, &look, &setup);
    QString error;
    ASSERT_TRUE(store.save(QStringLiteral("A"), look, setup, &error));
    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
    };
    const QByteArray oldLook = bytes(store.lookPath("A")), oldSetup = bytes(store.setupPath("A"));
    // The text file cannot be replaced: a folder stands in its place.
    ASSERT_TRUE(QFile::remove(store.textPath("A")));
    ASSERT_TRUE(QDir().mkdir(store.textPath("A")));
    templateOf(8, 1, &look, &setup);
    EXPECT_FALSE(store.save(QStringLiteral("A"), look, setup, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("无法写入文件"))) << error.toStdString();
    EXPECT_TRUE(bytes(store.lookPath("A")) == oldLook);
    EXPECT_TRUE(bytes(store.setupPath("A")) == oldSetup);
    EXPECT_EQ(QDir(cfg.filePath(QStringLiteral("打印配置2"))).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("A"), QStringLiteral("A.txt")}));
}

} // namespace
