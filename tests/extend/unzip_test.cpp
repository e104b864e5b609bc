// Packages: cUnzip's listing and the checks that refuse a whole package
// before anything is written.

#include "tests/extend/AddinFixture.h"
#include "tests/extend/ZipMaker.h"

#include "extend/RunError.h"
#include "extend/cUnzip.h"

using extend::cUnzip;

namespace {

class UnzipTest : public AddinTest {
protected:
    void SetUp() override {
        AddinTest::SetUp();
        package = addins + QStringLiteral("/../package.qpz");
        target = addins + QStringLiteral("/../unpacked");
        QDir(target).removeRecursively();
    }
    QStringList unpacked() const { return treeListing(target); }
    QString package;
    QString target;
};

TEST_F(UnzipTest, TheListingShowsFileEntriesWithTheirFolders) {
    const QByteArray xml("<addin id=\"x\"/>");
    ASSERT_TRUE(makeZip(package, {{QStringLiteral("a/b/theme.xml"), xml},
                                  {QStringLiteral("theme.xml"), QByteArray(500, 'x')},
                                  {QStringLiteral("dir/"), {}, ZipItem::Folder},
                                  {QStringLiteral("/z.txt"), "z"},
                                  {QStringLiteral("/c/d.txt"), "d"},
                                  {QStringLiteral("other/ADDIN.XML"), xml},
                                  {QStringLiteral("蓝色/说明.txt"), "gbk", ZipItem::GbkName}}));
    cUnzip u;
    u.setZipFile(package);
    u.Directory();
    ASSERT_EQ(u.FileCount(), 6);
    QStringList listed;
    for (int i = 1; i <= u.FileCount(); ++i)
        listed << u.FileDirectory(i) + u'|' + u.FileName(i);
    EXPECT_EQ(listed, (QStringList{"a\\b|theme.xml", "|theme.xml", "|z.txt", "\\c|d.txt", "other|ADDIN.XML",
                                   "蓝色|说明.txt"}));
    EXPECT_EQ(u.FileCRC(1), 0x398c18a5u);
    EXPECT_EQ(u.FileDate(1).time().second(), 0);
    EXPECT_TRUE(u.FileDate(1).isValid());
    EXPECT_EQ(u.FileCompressionMethod(2), QStringLiteral("Deflated"));
    EXPECT_LT(u.FileSize(2), 500);
    EXPECT_GT(u.FileCompressionRatio(2), 50);
    EXPECT_FALSE(u.FileEncrypted(1));
    EXPECT_TRUE(u.FileSelected(1));
    EXPECT_THROW(u.FileName(0), extend::RunError);
    EXPECT_THROW(u.FileName(7), extend::RunError);

    EXPECT_TRUE(u.IsExistFile(QStringLiteral("addin.xml")));
    EXPECT_FALSE(u.IsExistFile(QStringLiteral("addin")));
    EXPECT_EQ(u.GetFilePath(QStringLiteral("THEME.xml")), (QStringList{"a\\b", ""}));

    // Listing twice lists twice; setting the file again empties the listing.
    u.Directory();
    EXPECT_EQ(u.FileCount(), 12);
    u.setZipFile(package);
    EXPECT_EQ(u.FileCount(), 0);

    // What is no zip archive lists nothing.
    QFile empty(addins + QStringLiteral("/../empty.qpz"));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    QFile text(addins + QStringLiteral("/../text.qpz"));
    text.open(QIODevice::WriteOnly);
    text.write("not a zip archive at all");
    text.close();
    ASSERT_TRUE(makeZip(addins + QStringLiteral("/../nothing.qpz"), {}) ||
                !QFile::exists(addins + QStringLiteral("/../nothing.qpz")));
    for (const QString& f : {empty.fileName(), text.fileName(), addins + QStringLiteral("/../nothing.qpz"),
                             addins + QStringLiteral("/../missing.qpz")}) {
        u.setZipFile(f);
        u.Directory();
        EXPECT_EQ(u.FileCount(), 0) << f.toStdString();
        u.setUnzipFolder(target);
        EXPECT_FALSE(u.Unzip() && !unpacked().isEmpty()) << f.toStdString();
    }
    EXPECT_TRUE(unpacked().isEmpty());
}

TEST_F(UnzipTest, AnUnsafeEntryRefusesTheWholePackage) {
    const ZipItem good{QStringLiteral("good/addin.xml"), "<addin/>"};
    const struct {
        ZipItem bad;
        bool refused;
    } cases[] = {
        {{QStringLiteral("good/lib.so"), "x"}, false},
        {{QStringLiteral("good/./sub/x.txt"), "x"}, false},
        {{QStringLiteral("../evil"), "x"}, true},
        {{QStringLiteral("/abs/evil"), "x"}, true},
        {{QStringLiteral("a/../../evil"), "x"}, true},
        {{QStringLiteral("a/../evil"), "x"}, true},
        {{QStringLiteral("..\\evil"), "x"}, true},
        {{QStringLiteral("a\\..\\..\\evil"), "x"}, true},
        {{QStringLiteral("C:/evil"), "x"}, true},
        {{QStringLiteral("./"), {}, ZipItem::Folder}, true},
        {{QStringLiteral("good/link"), "/etc/passwd", ZipItem::Link}, true},
        {{QStringLiteral("good/secret.txt"), "x", ZipItem::Encrypted}, true},
    };
    for (const auto& c : cases) {
        QDir(target).removeRecursively();
        ASSERT_TRUE(makeZip(package, {good, c.bad})) << c.bad.name.toStdString();
        cUnzip u;
        u.setZipFile(package);
        u.Directory();
        u.setUnzipFolder(target);
        u.UseFolderNames = true;
        EXPECT_EQ(u.Unzip(), !c.refused) << c.bad.name.toStdString();
        if (c.refused) {
            EXPECT_TRUE(unpacked().isEmpty()) << c.bad.name.toStdString();
            EXPECT_FALSE(u.strUnzipError().isEmpty());
        } else {
            EXPECT_TRUE(unpacked().contains(QStringLiteral("good/addin.xml"))) << c.bad.name.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(addins + QStringLiteral("/../../evil")));
}

TEST_F(UnzipTest, FoldersKeptOrDroppedAndCaps) {
    ASSERT_TRUE(makeZip(package, {{QStringLiteral("p/q/r.txt"), "r"}, {QStringLiteral("s.txt"), "s"}}));
    cUnzip u;
    u.setZipFile(package);
    u.Directory();
    u.setUnzipFolder(target);
    ASSERT_TRUE(u.Unzip());
    EXPECT_EQ(unpacked(), (QStringList{"r.txt", "s.txt"}));
    QDir(target).removeRecursively();
    u.UseFolderNames = true;
    u.setFileSelected(2, false);
    ASSERT_TRUE(u.Unzip());
    EXPECT_EQ(unpacked(), (QStringList{"p", "p/q", "p/q/r.txt"}));

    zipfile::ZipArchive archive;
    ASSERT_TRUE(archive.open(package));
    EXPECT_EQ(archive.refusal({1, 1000}), QStringLiteral("包中的条目超过 1 个"));
    EXPECT_EQ(archive.refusal({10, 1}), QStringLiteral("条目 [s.txt] 过大：解压后共超过 1 字节"));
    EXPECT_TRUE(archive.refusal({2, 2}).isEmpty());
    QDir(target).removeRecursively();
    EXPECT_FALSE(archive.extractAll(target, true, {10, 1}));
    EXPECT_TRUE(unpacked().isEmpty());
}

} // namespace
