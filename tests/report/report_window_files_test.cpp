// The report window's templates, exports and column dialogs, driven through
// its menus with scripted dialogs.
#include "platform/text/CodePage.h"
#include "report/ExportFieldChooser.h"
#include "report/ReportArray.h"
#include "report/ReportTemplate.h"
#include "report/frmExp2Table.h"
#include "report/frmFlexPrint.h"
#include "report/frmFlexPrtCustom.h"
#include "report/frmFlexPrtNode.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TestDatabase.h"

#include <QCheckBox>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace report;

namespace {

frmFlexPrint* open(int shape, int records, const QString& app) {
    reportshapes::fill(reportshapes::shapes().at(shape), records);
    frmFlexPrint* f = frmFlexPrint::form();
    f->m_strApp = app;
    f->marcFill = [](const QVariant& key, const MarcSubfields& s) { return key.toString() + s.cn; };
    f->lblInfo(0)->setText(app);
    for (int i = 1; i <= 6; ++i)
        f->lblInfo(i)->setText(QStringLiteral("信息%1").arg(i));
    f->resize(1000, 700);
    return f;
}

void closeWindow(frmFlexPrint* f) {
    f->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ReportFiles : public testsupport::DatabaseTest {
protected:
    void TearDown() override {
        if (frmFlexPrint::exists()) closeWindow(frmFlexPrint::form());
        DatabaseTest::TearDown();
    }
    QString cfg() { return db().programFolder() + "CFG/"; }
    // Every file dialog answers with `path` ("" cancels).
    void answerFiles(const QString& path) {
        dialogs.dialogHandler = [path, this](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd) return 0;
            folders << fd->directory().absolutePath();
            if (path.isEmpty()) return 0;
            fd->selectFile(path);
            return 1;
        };
    }
    QStringList folders;
};

} // namespace

TEST_F(ReportFiles, TemplateSavedAndAppliedOnTheNextOpening) {
    const QString app = "委托验收清单(未验收)";
    frmFlexPrint* f = open(6, 3, app);
    f->grdOrder_AfterSort(3, 2); // 题名 descending
    f->grid().setTextMatrix(0, 5, "出版|社\r\n名");
    f->grid().gridLines = 4;
    f->labels().at(5).tag = "Hide";
    f->labels().at(2).color = QColor(200, 0, 0);
    f->labels().at(0).font.setPointSize(20);
    f->lblInfo(0)->setText("新标题");
    f->labels().beginAdd(QPoint(100, 100), f->font()); // a user label: not kept
    f->labels().box.text = "用户标签";
    f->labels().commit();
    f->page().setOrientationCode(2);
    f->menuCustom1_Click();
    const QString txt = cfg() + "打印配置2/" + app + ".txt";
    ASSERT_TRUE(QFile::exists(cfg() + "打印配置1/" + app));
    ASSERT_TRUE(QFile::exists(cfg() + "打印配置2/" + app));
    EXPECT_EQ(testsupport::readBytes(txt),
              text::toGb18030(QStringLiteral("列内容|列名|是否输出|是否排序|新标题|\r\n"
                                             "索书号|索书号|-1|0|信息1|\r\n"
                                             "财产号|财产号|-1|0|信息2|\r\n"
                                             "题名|题名|-1|2|信息3|\r\n"
                                             "责任者|责任者|-1|0|信息4|\r\n"
                                             "出版社|出版\\|社\\r\\n名|-1|0|隐藏|\r\n"
                                             "||||信息6|\r\n")));
    EXPECT_EQ(f->page().orientationCode(), 2);
    closeWindow(f);

    f = open(6, 4, app);
    EXPECT_EQ(f->page().orientationCode(), 1);
    ASSERT_TRUE(f->CustomPrint());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(f->grid().textMatrix(0, 5), "出版|社\r\n名");
    EXPECT_EQ(f->grid().textMatrix(2, 3), "题名4");
    EXPECT_EQ(f->grid().gridLines, 4);
    EXPECT_TRUE(f->labels().at(5).hidden());
    EXPECT_EQ(f->labels().at(5).caption, "信息5");
    EXPECT_EQ(f->page().orientationCode(), 2);
    EXPECT_EQ(f->m_iAddOrder, 0);
    EXPECT_EQ(f->labels().at(0).caption, "新标题");
    EXPECT_EQ(f->labels().at(0).font.pointSize(), 20);
    EXPECT_EQ(f->labels().at(2).color, QColor(200, 0, 0));
    EXPECT_EQ(f->labels().at(2).caption, "信息2");
    EXPECT_EQ(f->labels().count(), 7);

    // A damaged text file: the message, and the window as it was.
    testsupport::writeBytes(txt, "列内容|列名|\r\n");
    f->grid().setTextMatrix(0, 1, "unchanged");
    EXPECT_FALSE(f->CustomPrint());
    EXPECT_EQ(dialogs.lastText(), "配置文件不存在或被破坏");
    EXPECT_EQ(f->grid().textMatrix(0, 1), "unchanged");
    QFile::remove(txt);
    EXPECT_FALSE(f->CustomPrint());
    EXPECT_EQ(dialogs.shown.size(), 2);

    // A save that cannot write says so and leaves the other two files.
    const QByteArray lookBytes = testsupport::readBytes(cfg() + "打印配置1/" + app);
    f->grid().gridLines = 8;
    QDir(cfg() + "打印配置2").removeRecursively();
    testsupport::writeBytes(cfg() + "打印配置2", "a file in the folder's place");
    f->menuCustom1_Click();
    ASSERT_EQ(dialogs.shown.size(), 3);
    EXPECT_TRUE(dialogs.lastText().startsWith("保存用户设定失败"));
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
    EXPECT_EQ(testsupport::readBytes(cfg() + "打印配置1/" + app), lookBytes);
    QFile::remove(cfg() + "打印配置2");
}

TEST_F(ReportFiles, TemplateNamesStayInTheirFolder) {
    EXPECT_EQ(templateFileName("a/../b"), "a_.._b");
    EXPECT_EQ(templateFileName(".."), "__");
    EXPECT_EQ(templateFileName("."), "_");
    EXPECT_EQ(templateFileName(QString("x") + QChar(10) + "y"), "x_y");
    frmFlexPrint* f = open(6, 1, "../逃逸");
    f->menuCustom1_Click();
    EXPECT_TRUE(QFile::exists(cfg() + "打印配置2/.._逃逸.txt"));
    EXPECT_FALSE(QFile::exists(cfg() + "逃逸.txt"));
}

TEST_F(ReportFiles, TextExportAsksBeforeOverwritingAndReportsFailures) {
    QDir().mkpath(db().programFolder() + "DOC");
    const QString path = db().programFolder() + "DOC/list.txt";
    frmFlexPrint* f = open(6, 2, "清单");
    answerFiles(path);
    f->menuExp01_Click();
    EXPECT_EQ(dialogs.lastText(), "文件导出完毕！");
    EXPECT_EQ(folders.last(), QDir(db().programFolder() + "DOC").absolutePath());
    EXPECT_TRUE(testsupport::readBytes(path).startsWith(text::toGb18030(QStringLiteral("清单\r\n="))));

    testsupport::writeBytes(path, "old");
    dialogs.clear();
    dialogs.answers << ui::BoxAnswer::Cancel;
    f->menuExp01_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].buttons, ui::BoxButtons::OkCancel);
    EXPECT_EQ(testsupport::readBytes(path), "old");

    dialogs.clear();
    answerFiles(db().programFolder() + "DOC/no/such/folder/list.html");
    f->menuExp04_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_TRUE(todaysLog().contains("no/such/folder"));

    dialogs.clear();
    answerFiles("");
    f->menuExp05_Click();
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(ReportFiles, OutputColumnsDialogRebuildsOnOkOnly) {
    frmFlexPrint* f = open(6, 3, "清单");
    // The worker unticks 财产号, renames 索书号 and asks for row numbers.
    const auto edits = [](int result) {
        return [result](QDialog* d) {
            auto* c = qobject_cast<frmFlexPrtCustom*>(d);
            c->grdSetup->item(1, 2)->setCheckState(Qt::Unchecked);
            c->grdSetup->item(0, 1)->setText("书号");
            c->chkOrder->setChecked(true);
            return result;
        };
    };
    dialogs.dialogHandler = edits(0);
    f->menuChan_Click();
    EXPECT_EQ(f->grid().textMatrix(0, 1), "索书号");
    EXPECT_FALSE(f->grid().colHidden(2));
    dialogs.dialogHandler = edits(1);
    f->menuChan_Click();
    EXPECT_EQ(f->grid().textMatrix(0, 1), "书号");
    EXPECT_TRUE(f->grid().colHidden(2));
    EXPECT_EQ(f->m_iAddOrder, 1);
    EXPECT_EQ(f->grid().textMatrix(4, 0), "3");
}

TEST_F(ReportFiles, MarcColumnEditorChecksAndFills) {
    frmFlexPrint* f = open(6, 2, "清单");
    f->iMouseCol = 2;
    int editors = 0;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* n = qobject_cast<frmFlexPrtNode*>(d);
        if (!n) return 0;
        ++editors;
        n->txtUS->setText("245");
        EXPECT_FALSE(n->pressEnter(n->txtCN)); // a bad US subfield; OK empties txtCN
        EXPECT_EQ(n->txtCN->text(), "");
        EXPECT_EQ(n->txtUS->text(), "245");
        n->txtCN->setText("200a");
        n->txtUS->setText("");
        EXPECT_TRUE(n->pressEnter(n->txtCN));
        return 1;
    };
    f->menuNewCol_Click(0);
    EXPECT_EQ(editors, 1);
    EXPECT_EQ(dialogs.lastText(), "Marc子字段格式错误!");
    EXPECT_EQ(f->grid().textMatrix(0, 2), "新增Marc子字段");
    EXPECT_EQ(f->grid().textMatrix(1, 2), "$200a;.");
    EXPECT_EQ(f->grid().textMatrix(2, 2), "M1200a");

    // A double-click on its title opens the editor on its subfields; Esc keeps it.
    QStringList seen;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* n = qobject_cast<frmFlexPrtNode*>(d);
        seen << n->txtCN->text() + ";" + n->txtUS->text();
        return 0;
    };
    f->grdOrder_DblClick(2);
    f->grdOrder_DblClick(1); // an array column: no editor
    EXPECT_EQ(seen, QStringList{"200a;"});
    EXPECT_EQ(f->grid().textMatrix(1, 2), "$200a;.");

    // Leaving the editor removes the new column again.
    const int cols = f->grid().cols();
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    f->menuNewCol_Click(0);
    EXPECT_EQ(f->grid().cols(), cols);
    f->menuNewCol_Click(1);
    EXPECT_EQ(f->grid().textMatrix(0, 2), "自定义列");
    EXPECT_EQ(f->grid().cols(), cols + 1);
}

TEST_F(ReportFiles, DatabaseFileExportNewAndExistingTables) {
    QDir().mkpath(db().programFolder() + "DOC");
    const QString path = db().programFolder() + "DOC/books.sqlite";
    frmFlexPrint* f = open(6, 3, "清单");
    QList<int> modes;
    QStringList listed;
    const auto run = [&](std::function<void(frmExp2Table*)> work) {
        dialogs.dialogHandler = [&, work](QDialog* d) {
            if (auto* fd = qobject_cast<QFileDialog*>(d)) {
                fd->selectFile(path);
                return 1;
            }
            auto* t = qobject_cast<frmExp2Table*>(d);
            modes << t->mode;
            for (int i = 0; i < t->lstTable->count(); ++i)
                listed << t->lstTable->item(i)->text();
            work(t);
            return t->result();
        };
        f->menuExp02_Click();
    };
    run([](frmExp2Table* t) {
        EXPECT_FALSE(t->optExisting->isEnabled());
        t->txtTable->setText("   ");
        EXPECT_FALSE(t->cmdOK_Click()); // blanks: refused, the dialog stays
        t->txtTable->setText(" booklist ");
        EXPECT_TRUE(t->cmdOK_Click());
    });
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_EQ(dialogs.lastText(), "数据导出完毕!");
    run([](frmExp2Table* t) {
        EXPECT_TRUE(t->optExisting->isChecked());
        t->lstTable->setCurrentRow(0);
        EXPECT_TRUE(t->cmdOK_Click());
    });
    EXPECT_EQ(modes, (QList<int>{0, 1}));
    EXPECT_EQ(listed, QStringList{"BOOKLIST"});
    SqliteFile file;
    QString error;
    ASSERT_TRUE(file.open(path, &error));
    EXPECT_EQ(file.tables(), QStringList{"BOOKLIST"});
    file.close();

    // A file that is no database, and too many columns: ECM206 and a log line.
    testsupport::writeBytes(path, "plain text, no database here");
    dialogs.clear();
    run([](frmExp2Table*) { ADD_FAILURE() << "no table dialog"; });
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.lastText().startsWith("程序运行出错："));
    EXPECT_TRUE(todaysLog().contains("books.sqlite"));
    closeWindow(f);

    reportshapes::Shape wide{"宽表", {}};
    for (int i = 0; i < 52; ++i)
        wide.columns << QStringLiteral("列%1").arg(i);
    reportshapes::fill(wide, 1);
    f = frmFlexPrint::form();
    f->lblInfo(0);
    dialogs.clear();
    int fileDialogs = 0;
    dialogs.dialogHandler = [&](QDialog*) { return ++fileDialogs, 0; };
    f->menuExp02_Click();
    EXPECT_EQ(fileDialogs, 0);
    EXPECT_TRUE(dialogs.lastText().startsWith("程序运行出错："));
}

TEST_F(ReportFiles, AListedTableIsTakenUnderItsUpperCasedName) {
    QDir().mkpath(db().programFolder() + "DOC");
    const QString path = db().programFolder() + "DOC/lower.sqlite";
    ExportColumn title;
    title.strName = "TITLE";
    title.intCol = 1;
    {
        SqliteFile file;
        QString error;
        ASSERT_TRUE(file.open(path, &error)) << error.toStdString();
        ASSERT_TRUE(file.createTable("booklist", {title}, &error)) << error.toStdString();
    }
    ReportGrid grid;
    grid.setRows(4);
    grid.setCols(2);
    grid.setTextMatrix(2, 1, "A");
    grid.setTextMatrix(3, 1, "B");
    frmExp2Table t(path, {title}, &grid, 2);
    QString error;
    ASSERT_TRUE(t.openFile(&error)) << error.toStdString();
    ASSERT_TRUE(t.optExisting->isChecked());
    t.lstTable->setCurrentRow(0);
    EXPECT_EQ(t.txtTable->text(), "booklist");
    g_strExpTable.clear();
    EXPECT_TRUE(t.cmdOK_Click());
    EXPECT_EQ(g_strExpTable, "BOOKLIST");
    EXPECT_EQ(t.exportedTable(), "BOOKLIST");
    EXPECT_EQ(dialogs.lastText(), "数据导出完毕!");
    // Filled, not made anew.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw,
                                 "select group_concat(name, '|') from sqlite_master where type = 'table'", -1,
                                 &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "booklist");
    sqlite3_finalize(st);
    ASSERT_EQ(sqlite3_prepare_v2(raw, "select group_concat(\"TITLE\", '|') from booklist", -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "A|B");
    sqlite3_finalize(st);
    sqlite3_close(raw);
}

TEST_F(ReportFiles, WorkbookExportReportsItsEnd) {
    QDir().mkpath(db().programFolder() + "DOC");
    frmFlexPrint* f = open(6, 2, "清单");
    answerFiles(db().programFolder() + "DOC/list");
    f->menuExp03_Click();
    EXPECT_EQ(dialogs.lastText(), "导出到Excel完成！");
    EXPECT_TRUE(QFile::exists(db().programFolder() + "DOC/list.xlsx"));
    dialogs.clear();
    answerFiles(db().programFolder() + "DOC/none/list.xlsx");
    f->menuExp03_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_TRUE(dialogs.lastText().startsWith("导出到Excel错误！"));
    EXPECT_FALSE(QFile::exists(db().programFolder() + "DOC/none/list.xlsx"));
}

TEST_F(ReportFiles, OutputColumnsDialogMovesRowsAndAddsMarcRows) {
    frmFlexPrint* f = open(6, 2, "清单");
    f->menuNewCol_Click(1); // a custom column at 1
    EXPECT_TRUE(cmd::editCell(f->grid(), 2, 1, "手写"));
    frmFlexPrtCustom* c = f->customDialog();
    c->subReadGrid(f->grid(), f->rebuildInput());
    ASSERT_EQ(c->grdSetup->rowCount(), 6);
    EXPECT_FALSE(c->cmdUp->isEnabled());
    c->grdSetup_RowHeader(2);
    EXPECT_TRUE(c->cmdUp->isEnabled());
    EXPECT_FALSE(c->cmdDel->isEnabled()); // an array column
    c->cmdUp_Click();
    EXPECT_EQ(c->grdSetup->item(0, 0)->text(), "索书号");
    EXPECT_EQ(c->editor().chosen(), 1);
    c->grdSetup->item(3, 1)->setText("改名"); // an edit ends the choice
    EXPECT_EQ(c->editor().chosen(), 0);
    EXPECT_FALSE(c->cmdUp->isEnabled());
    c->grdSetup_RowHeader(2);
    EXPECT_TRUE(c->cmdDel->isEnabled()); // the custom column
    c->cmdDel_Click();
    EXPECT_EQ(c->grdSetup->rowCount(), 5);

    // A new MARC row: left without acceptance it goes again.
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    c->cmdNewMarc_Click();
    EXPECT_EQ(c->grdSetup->rowCount(), 5);
    dialogs.dialogHandler = [](QDialog* d) {
        auto* n = qobject_cast<frmFlexPrtNode*>(d);
        n->txtCN->setText("200a");
        n->txtUS->setText("245a");
        return int(n->pressEnter(n->txtUS));
    };
    c->cmdNewMarc_Click();
    ASSERT_EQ(c->grdSetup->rowCount(), 6);
    EXPECT_EQ(c->grdSetup->item(5, 0)->text(), "200a;245a.");
    c->grdSetup->item(5, 1)->setText("MARC题名");
    c->subApplyGrid(f->grid(), f->rebuildInput());
    EXPECT_EQ(f->grid().textMatrix(0, 6), "MARC题名");
    EXPECT_EQ(f->grid().textMatrix(1, 6), "$200a;245a.");
    EXPECT_EQ(f->grid().textMatrix(2, 6), "M1200a");
    EXPECT_EQ(f->grid().textMatrix(0, 3), "改名");
}

TEST_F(ReportFiles, MarcEditorClosesOnEscapeAndWhenLeft) {
    frmFlexPrtNode esc;
    esc.show();
    QTest::keyClick(esc.txtCN, Qt::Key_Escape);
    EXPECT_FALSE(esc.isVisible());
    EXPECT_FALSE(esc.accepted());

    frmFlexPrtNode left;
    QWidget other;
    left.show();
    left.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&left));
    other.show();
    other.activateWindow();
    (void)QTest::qWaitForWindowActive(&other);
    EXPECT_FALSE(left.isVisible());
    EXPECT_EQ(left.result(), QDialog::Rejected);

    // Enter in a box: the key the scanner and the worker end with.
    frmFlexPrtNode enter;
    enter.show();
    enter.txtCN->setText("200a");
    QTest::keyClick(enter.txtCN, Qt::Key_Return);
    EXPECT_TRUE(enter.accepted());
}

TEST_F(ReportFiles, EveryExportRefusesAReadOnlyFileAndAsksBeforeReplacing) {
    const QString doc = db().programFolder() + "DOC/";
    QDir().mkpath(doc);
    frmFlexPrint* f = open(6, 2, "清单");
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto modes = [](const QString& path) {
        return QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    };
    struct Export {
        const char* file;
        void (frmFlexPrint::*run)();
        const char* done;
    } exports[] = {{"list.txt", &frmFlexPrint::menuExp01_Click, "文件导出完毕！"},
                   {"list.xlsx", &frmFlexPrint::menuExp03_Click, "导出到Excel完成！"},
                   {"list.html", &frmFlexPrint::menuExp04_Click, "文件导出完毕！"},
                   {"list.xml", &frmFlexPrint::menuExp05_Click, "文件导出完毕！"}};
    for (const Export& e : exports) {
        SCOPED_TRACE(e.file);
        const QString path = doc + e.file;
        QFile::remove(path);
        testsupport::writeBytes(path, "old");
        answerFiles(path);
        dialogs.clear();
        dialogs.answers << ui::BoxAnswer::Cancel;
        (f->*e.run)();
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].text, "文件已经存在，是否覆盖？");
        EXPECT_EQ(dialogs.shown[0].buttons, ui::BoxButtons::OkCancel);
        EXPECT_EQ(testsupport::readBytes(path), "old");

        // Read-only: refused before the question; the file stays as it was.
        QFile::setPermissions(path, readOnly);
        dialogs.clear();
        (f->*e.run)();
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
        EXPECT_EQ(dialogs.lastText(), "文件导出失败：" + path + "：文件为只读");
        EXPECT_EQ(testsupport::readBytes(path), "old");
        EXPECT_EQ(modes(path), readOnly);
        EXPECT_TRUE(todaysLog().contains(path + "：文件为只读"));

        QFile::setPermissions(path, readOnly | QFile::WriteOwner);
        dialogs.clear();
        dialogs.answers << ui::BoxAnswer::Ok;
        (f->*e.run)();
        EXPECT_EQ(dialogs.lastText(), e.done);
        EXPECT_NE(testsupport::readBytes(path), "old");
        EXPECT_EQ(modes(path), readOnly | QFile::WriteOwner);
    }

    // The database export adds a table to the file, so it asks nothing; a
    // read-only file is refused before the table dialog.
    const QString base = doc + "list.sqlite";
    {
        SqliteFile file;
        QString error;
        ASSERT_TRUE(file.open(base, &error));
    }
    QFile::setPermissions(base, readOnly);
    dialogs.clear();
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        if (!fd) return ADD_FAILURE() << "no table dialog", 0;
        fd->selectFile(base);
        return 1;
    };
    f->menuExp02_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_TRUE(dialogs.lastText().contains("文件为只读")) << dialogs.lastText().toStdString();
}

TEST_F(ReportFiles, WorkbookExportCutsTooLongCellsAndSaysWhichRows) {
    QDir().mkpath(db().programFolder() + "DOC");
    const QString path = db().programFolder() + "DOC/long.xlsx";
    frmFlexPrint* f = open(6, 4, "清单");
    f->grid().setTextMatrix(3, 3, QString(40000, u'长'));
    f->grid().setTextMatrix(5, 1, QString(kMaxCellText + 1, u'x'));
    answerFiles(path);
    f->menuExp03_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Information);
    EXPECT_EQ(dialogs.lastText(), "导出到Excel完成！\n超过32767个字符的单元格已截断：第2行、第4行");
    EXPECT_TRUE(testsupport::readBytes(path).startsWith("PK"));
    EXPECT_TRUE(todaysLog().contains("long.xlsx：超过32767个字符的单元格已截断：第2行、第4行"));
    EXPECT_EQ(f->grid().textMatrix(3, 3).size(), 40000); // the report keeps its text
}

TEST_F(ReportFiles, FileNameWithADoubleQuoteIsRefusedByEveryExport) {
    const QString doc = db().programFolder() + "DOC/", other = db().programFolder() + "OUT/";
    QDir().mkpath(doc);
    QDir().mkpath(other);
    const auto entries = [](const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList inDoc = entries(doc), inOther = entries(other);
    frmFlexPrint* f = open(6, 2, "清单");
    for (const QString& typed : {other + "a\"b.txt", QString("a\"b.txt"), QString("\"x\" \"y\"")}) {
        SCOPED_TRACE(typed.toStdString());
        dialogs.dialogHandler = [typed](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd) return ADD_FAILURE() << "no table dialog", 0;
            fd->findChild<QLineEdit*>("fileNameEdit")->setText(typed); // as the worker types it
            return 1;
        };
        for (void (frmFlexPrint::*run)() : {&frmFlexPrint::menuExp01_Click, &frmFlexPrint::menuExp02_Click,
                                           &frmFlexPrint::menuExp03_Click}) {
            dialogs.clear();
            (f->*run)();
            ASSERT_EQ(dialogs.shown.size(), 1);
            EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
            EXPECT_EQ(dialogs.lastText(), "文件名不能含有双引号（\"）：" + typed);
        }
    }
    EXPECT_EQ(entries(doc), inDoc);
    EXPECT_EQ(entries(other), inOther);
}

TEST_F(ReportFiles, DatabaseExportCancelledLeavesNoFileAndRefusesNamesTheFileCannotTake) {
    QDir().mkpath(db().programFolder() + "DOC");
    const QString path = db().programFolder() + "DOC/new.sqlite";
    frmFlexPrint* f = open(6, 3, "清单");
    const auto run = [&](std::function<void(frmExp2Table*)> work) {
        dialogs.dialogHandler = [&, work](QDialog* d) {
            if (auto* fd = qobject_cast<QFileDialog*>(d)) {
                fd->selectFile(path);
                return 1;
            }
            auto* t = qobject_cast<frmExp2Table*>(d);
            work(t);
            return t->result();
        };
        f->menuExp02_Click();
    };
    run([](frmExp2Table* t) { t->cmdCancel->click(); });
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    // Refused names keep the dialog open; nothing is written until a good one.
    QStringList refused;
    run([&](frmExp2Table* t) {
        for (const QString& name : {QString("BOOK") + QChar(0) + "LIST", QString("BOOK\tLIST"),
                                    QString("sqlite_books")}) {
            t->txtTable->setText(name);
            EXPECT_FALSE(t->cmdOK_Click()) << name.toStdString();
            refused << dialogs.lastText();
        }
        t->txtTable->setText(" books ");
        EXPECT_TRUE(t->cmdOK_Click());
    });
    ASSERT_EQ(refused.size(), 3);
    EXPECT_TRUE(refused[0].startsWith("表名含有数据库文件不能接受的字符")) << refused[0].toStdString();
    EXPECT_EQ(refused[1], refused[0]);
    EXPECT_TRUE(refused[2].startsWith("以“SQLITE_”开头的表名")) << refused[2].toStdString();
    EXPECT_EQ(dialogs.lastText(), "数据导出完毕!");
    EXPECT_FALSE(todaysLog().contains("导出数据库文件"));
    SqliteFile file;
    QString error;
    ASSERT_TRUE(file.open(path, &error));
    EXPECT_EQ(file.tables(), QStringList{"BOOKS"});
}
