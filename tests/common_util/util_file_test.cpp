// File, folder, dialog and program-start utilities.
#include "common/basEnv.h"
#include "common/basFile.h"

#include "platform/ui/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(FileUtil, PathTexts)
{
    const struct {
        QString in, folder;
    } folders[] = {
        {"/a/b.txt", "/a/"}, {"b.txt", ""}, {"C:\\a\\b.txt", "C:\\a\\"}, {"addins/x\\y", "addins/x\\"},
        {"", ""},
    };
    for (const auto& c : folders)
        EXPECT_EQ(strFolderOfPath(c.in), c.folder) << c.in.toStdString();

    const struct {
        QString in;
        bool add;
        QString out;
    } fixes[] = {
        {"/a", true, "/a/"},   {"/a/", true, "/a/"},   {"C:\\a\\", true, "C:\\a\\"},
        {"/a//", false, "/a/"}, {"/a", false, "/a"},   {"", true, ""},
        {"", false, ""},       {"x\\", false, "x"},
    };
    for (const auto& c : fixes)
        EXPECT_EQ(strFixBackslash(c.in, c.add), c.out) << c.in.toStdString() << c.add;

    EXPECT_FALSE(blnIsFullPath("addins/x"));
    EXPECT_FALSE(blnIsFullPath("addins\\x"));
    EXPECT_TRUE(blnIsFullPath("/x"));
    EXPECT_FALSE(blnIsFullPath(""));

    const QString deep = QString(40000, u'a') + u"/b"_qs; // no position limit
    EXPECT_EQ(strFolderOfPath(deep).size(), 40001);
}

TEST(FileUtil, MakePathCreatesEveryFolder)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    EXPECT_EQ(intMakePath(root + "/x/y/z"), 0);
    EXPECT_TRUE(QFileInfo(root + "/x/y/z").isDir());
    EXPECT_EQ(intMakePath(root + "/x/y/z/"), 0); // existing: still 0

    // Relative paths lie below the program folder, either separator.
    const QString saved = g_strPath[0];
    g_strPath[0] = root + "/prog/";
    EXPECT_EQ(intMakePath("temp\\a"), 0);
    EXPECT_TRUE(QFileInfo(root + "/prog/temp/a").isDir());
    EXPECT_EQ(intMakePath("\\temp\\b"), 0);
    EXPECT_TRUE(QFileInfo(root + "/prog/temp/b").isDir());
    g_strPath[0] = "relative/prog/";
    EXPECT_EQ(intMakePath("temp"), -1);
    g_strPath[0] = saved;

    // A file in the way: -1, nothing created below it.
    touch(root + "/file");
    EXPECT_EQ(intMakePath(root + "/file/sub"), -1);
    EXPECT_FALSE(QFileInfo::exists(root + "/file/sub"));
}

TEST(FileUtil, ResolvePathMatchesEachPartWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Lt/Sub"));
    touch(dir.filePath("Lt/Sub/Rule.ini"));
    const QString root = dir.path();
    EXPECT_EQ(strResolvePath(root, "LT\\sub\\RULE.INI"), root + "/Lt/Sub/Rule.ini");
    EXPECT_EQ(strResolvePath(root + "/", "lt/Sub/Rule.ini"), root + "/Lt/Sub/Rule.ini");
    // A missing part stays as spelt; the parts before it are still matched.
    EXPECT_EQ(strResolvePath(root, "LT/none/x.ini"), root + "/Lt/none/x.ini");
}

TEST(FileUtil, KillFileByPattern)
{
    QTemporaryDir dir;
    for (const char* n : {"a.txt", "b.TXT", "c.log", "d.txt.bak"})
        touch(dir.filePath(n));
    subKillFile(dir.path() + "\\*.txt");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"c.log", "d.txt.bak"}));
    subKillFile(dir.filePath("c.l?g"));
    subKillFile(dir.filePath("missing.txt")); // silent
    subKillFile(dir.filePath("d.txt.bak"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(FileUtil, DeleteFolderWithAndWithoutForce)
{
    QTemporaryDir dir;
    const QString top = dir.filePath("top");
    ASSERT_TRUE(QDir().mkpath(top + "/sub"));
    touch(top + "/sub/a.txt");
    touch(top + "/ro.txt");
    QFile::setPermissions(top + "/ro.txt", QFileDevice::ReadOwner);

    EXPECT_FALSE(blnDeleteFolder(top, false)); // a read-only file stops it
    EXPECT_TRUE(QFileInfo::exists(top + "/ro.txt"));
    EXPECT_TRUE(blnDeleteFolder(top + "/", true));
    EXPECT_FALSE(QFileInfo::exists(top));
    EXPECT_FALSE(blnDeleteFolder(top, true)); // nothing there
}

TEST(FileUtil, SetCurrentDirectory)
{
    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    EXPECT_TRUE(blnSetCurDir(dir.path()));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(dir.path()).canonicalFilePath());
    EXPECT_FALSE(blnSetCurDir(dir.filePath("missing")));
    EXPECT_FALSE(blnSetCurDir(""));
    QDir::setCurrent(saved);
}

TEST(FileUtil, RunWaitStartsWithoutShellAndWaits)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_EQ(intRunWait(dir.filePath("no-such-program") + " x", 1, &error), -1);
    EXPECT_FALSE(error.isEmpty());

    // The program ends only after it has written its file: returning means it ended.
    const QString done = dir.filePath("done");
    error.clear();
    EXPECT_EQ(intRunWait("sh", {"-c", "sleep 0.3; touch \"$0\"", done}, &error), 0);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(done));

    // Quoted arguments reach the program whole; ";" and "$" mean nothing.
    const QString odd = dir.filePath("a b;$HOME");
    EXPECT_EQ(intRunWait("touch \"" + odd + "\"", 0), 0);
    EXPECT_TRUE(QFileInfo::exists(odd));

    // A program that fails still started and ended.
    EXPECT_EQ(intRunWait("false"), 0);
}

TEST(FileUtil, OpenDialogGoesThroughTheDialogService)
{
    QTemporaryDir dir;
    touch(dir.filePath("LiveUpdate"));
    ui::ScriptedDialogService dialogs;
    QStringList filters;
    QString title;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        filters = fd->nameFilters();
        title = fd->windowTitle();
        fd->selectFile(dir.filePath("LiveUpdate"));
        return 1;
    };
    const QString filter = QStringLiteral("程序|*|文本文件|*.txt;*.ini||");
    EXPECT_EQ(strShowOpenDialog(nullptr, u"选择升级程序"_qs, filter, dir.path()),
              dir.filePath("LiveUpdate"));
    EXPECT_EQ(filters, (QStringList{u"程序 (*)"_qs, u"文本文件 (*.txt *.ini)"_qs}));
    EXPECT_EQ(title, u"选择升级程序"_qs);

    dialogs.dialogHandler = [](QDialog*) { return 0; };
    EXPECT_EQ(strShowOpenDialog(nullptr, "t", filter, dir.path()), QString());
}
