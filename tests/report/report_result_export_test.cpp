// The result-set export dialogs, driven as a caller would over an SQLite file:
// the column chooser, the file dialogs and the table dialogs.
#include "report/ExportFieldChooser.h"
#include "report/frmExp2Table.h"
#include "report/frmExpAccessFile.h"
#include "report/frmExpAccessTable.h"
#include "report/frmExportField.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestDatabase.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

using namespace report;

namespace {

class ResultExport : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        tmp = db().programFolder() + "TMP/";
        QDir().mkpath(tmp);
        g_strExpFile.clear();
        g_strExpTable.clear();
        g_arrExpCols.clear();
        g_lngExpColCount = 0;
        g_arrExpSrcCols = {{"题名", 3, 0, {}, {}}, {"作者", 5, 0, {}, {}}};
        g_lngExpSrcCount = 2;
    }
    // The file dialog answers with `path` ("" cancels) and notes its folder.
    void answerFiles(const QString& path) {
        dialogs.dialogHandler = [this, path](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            folders << fd->directory().absolutePath() + "/";
            if (path.isEmpty()) return 0;
            fd->selectFile(path);
            return 1;
        };
    }
    QString tmp;
    QStringList folders;
};

} // namespace

TEST_F(ResultExport, ChooserRowsAndItsOk) {
    ExportFieldChooser c;
    c.load(g_arrExpSrcCols);
    ASSERT_EQ(c.rows.size(), 2);
    EXPECT_EQ(c.rows[1].content, 2);
    EXPECT_FALSE(c.rows[0].marcItemOpen());
    EXPECT_FALSE(c.moveUp());
    c.active = 1;
    EXPECT_FALSE(c.moveDown());
    ASSERT_TRUE(c.newRow()); // at the active row
    EXPECT_EQ(c.rows[1].content, 0);
    EXPECT_TRUE(c.rows[1].subfieldsOpen());
    c.rows[1].name = " isbn ";
    c.rows[1].cn = "010a";
    c.rows[1].us = "020";
    QList<ExportColumn> out;
    QString message;
    EXPECT_FALSE(c.ok(g_arrExpSrcCols, &out, &message));
    EXPECT_EQ(message, "输入的不是正确的MARC子字段");
    EXPECT_TRUE(out.isEmpty()); // nothing written before every row passed
    c.rows[1].us = "020a";
    c.setContent(2, 0);
    c.rows[2].marcItem = 1; // a named item: no codes needed
    ASSERT_TRUE(c.ok(g_arrExpSrcCols, &out, &message));
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[0].intCol, 3);
    EXPECT_EQ(out[1].strName, "ISBN");
    EXPECT_EQ(out[1].strCnSubfield, "010a");
    EXPECT_EQ(out[2].intMarcItem, 1);
    EXPECT_EQ(out[2].intCol, 0);
    c.setContent(1, 1); // a source blanks the MARC choices
    EXPECT_EQ(c.rows[1].cn, "");
    c.active = 0;
    c.deleteRow();
    EXPECT_EQ(c.rows.size(), 2);

    ExportFieldChooser full;
    for (int i = 0; i < kMaxExportColumns; ++i)
        full.newRow();
    EXPECT_FALSE(full.newRow());
}

TEST_F(ResultExport, ChooserDialogWritesTheListOnOkOnly) {
    frmExportField dlg;
    ASSERT_EQ(dlg.spdExp->rowCount(), 2);
    EXPECT_EQ(qobject_cast<QComboBox*>(dlg.spdExp->cellWidget(0, 1))->currentText(), "题名");
    EXPECT_FALSE(dlg.spdExp->cellWidget(0, 2)->isEnabled());
    dlg.tbStandard_ButtonClick("New");
    dlg.spdExp->item(0, 0)->setText("marc");
    dlg.spdExp->item(0, 3)->setText("200");
    EXPECT_FALSE(dlg.cmdOK_Click());
    EXPECT_EQ(dialogs.lastText(), "输入的不是正确的MARC子字段");
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
    EXPECT_EQ(g_lngExpColCount, 0);
    dlg.spdExp->item(0, 3)->setText("200a");
    dlg.spdExp->item(0, 4)->setText("245a");
    dlg.tbStandard_ButtonClick("Down");
    EXPECT_EQ(dlg.spdExp->item(1, 0)->text(), "marc");
    ASSERT_TRUE(dlg.cmdOK_Click());
    EXPECT_EQ(g_lngExpColCount, 3);
    EXPECT_EQ(g_arrExpCols[1].strName, "MARC");
    EXPECT_EQ(g_arrExpCols[1].strUsSubfield, "245a");
}

TEST_F(ResultExport, FileDialogsChooseNewExistingAndTextFiles) {
    const QString db1 = tmp + "set.sqlite";
    frmExpAccessFile a;
    answerFiles("");
    EXPECT_FALSE(a.cmdOK_Click()); // no name: stays open
    EXPECT_EQ(folders.last(), tmp);
    answerFiles(db1);
    ASSERT_TRUE(a.cmdOK_Click());
    EXPECT_EQ(g_strExpFile, db1);
    EXPECT_TRUE(QFile::exists(db1));

    // 新建 on an existing file fails; 现存 on a file that is no database too.
    frmExpAccessFile again;
    EXPECT_FALSE(again.cmdOK_Click());
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
    const QString text = tmp + "notes.txt";
    testsupport::writeBytes(text, "some words, not a database");
    frmExpAccessFile existing;
    existing.optFile1->setChecked(true);
    answerFiles(text);
    g_strExpFile.clear();
    EXPECT_FALSE(existing.cmdOK_Click());
    EXPECT_EQ(g_strExpFile, "");
    EXPECT_EQ(testsupport::readBytes(text), "some words, not a database");

    frmExp2File t;
    t.optFile2->setChecked(true);
    dialogs.clear();
    dialogs.answers << ui::BoxAnswer::Cancel;
    EXPECT_FALSE(t.cmdOK_Click()); // WCF011 answered Cancel
    EXPECT_EQ(dialogs.shown.size(), 1);
    answerFiles(tmp + "new.txt");
    ASSERT_TRUE(t.cmdOK_Click());
    EXPECT_EQ(g_strExpFile, tmp + "new.txt");
    EXPECT_FALSE(QFile::exists(tmp + "new.txt"));
}

TEST_F(ResultExport, TableDialogsMakeOrChooseTables) {
    g_strExpFile = tmp + "tables.sqlite";
    g_arrExpCols = {{"TITLE", 1, 0, {}, {}}, {"NOTE", 2, 0, {}, {}}};
    g_lngExpColCount = 2;
    {
        frmExpAccessTable t;
        t.txtTable->setText("  ");
        EXPECT_FALSE(t.cmdOK_Click());
        EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
        // A name the file cannot take is refused before the file is touched.
        t.txtTable->setText(QString("bo") + QChar(0) + "oks");
        EXPECT_FALSE(t.cmdOK_Click());
        EXPECT_TRUE(dialogs.shown.last().text.startsWith("表名含有数据库文件不能接受的字符"));
        EXPECT_FALSE(QFile::exists(g_strExpFile));
        t.txtTable->setText(" books ");
        ASSERT_TRUE(t.cmdOK_Click());
        EXPECT_EQ(g_strExpTable, "BOOKS");
    }
    {
        frmExpAccessTable t;
        t.txtTable->setText("Books"); // exists already
        EXPECT_FALSE(t.cmdOK_Click());
        EXPECT_EQ(t.result(), QDialog::Rejected);
    }
    {
        frmExpAccessTable t;
        t.optTable1->setChecked(true);
        t.optTable_Click();
        t.optTable_Click();
        EXPECT_EQ(t.cboTable->count(), 1);
        ASSERT_TRUE(t.cmdOK_Click());
        EXPECT_EQ(g_strExpTable, "BOOKS");
    }
    // The twin of the grid export makes the table and writes no row.
    g_strExpTable.clear();
    frmExpTable twin(g_strExpFile, g_arrExpCols);
    QString error;
    ASSERT_TRUE(twin.openFile(&error));
    EXPECT_EQ(twin.mode, 1);
    twin.optNew->setChecked(true);
    twin.optTable_Click();
    twin.txtTable->setText("more");
    ASSERT_TRUE(twin.cmdOK_Click());
    EXPECT_EQ(g_strExpTable, "MORE");
    SqliteFile f;
    ASSERT_TRUE(f.open(g_strExpFile, &error));
    EXPECT_EQ(f.tables(), (QStringList{"BOOKS", "MORE"}));
}
