// The main window's tools offscreen: the find-text tool over both grid kinds,
// the updater launch (a recording stand-in program), and the text viewer.
#include "common/LoginState.h"
#include "common/basEnv.h"
#include "platform/text/IniFile.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "shell/ShellTools.h"
#include "shell/basShellIni.h"
#include "shell/frmCommonView.h"
#include "shell/frmFindText.h"
#include "shell/mCommonPlus3.h"
#include "tests/support/BadInput.h"
#include "tests/support/FileBytes.h"
#include "tests/support/PdfText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// A window with a flexible grid and a spreadsheet grid.
struct GridWindow : QWidget {
    GridWindow() {
        flex = new ui::FlexGrid("grdA", this);
        flex->setRows(4);
        flex->setCols(3);
        const char* cells[4][3] = {{"", "书名", "网络标题"},
                                   {"1", "计算机网络", "张三"},
                                   {"2", "网络", "网络B"},
                                   {"3", "隐藏行网络", ""}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 3; ++c)
                flex->setTextMatrix(r, c, QString::fromUtf8(cells[r][c]));
        flex->setRowHidden(3, true);
        spread = new ui::SpreadGrid("spdB", this);
        spread->setMaxRows(2);
        spread->setMaxCols(3);
        spread->setText(1, 0, "Abc");
        spread->setText(1, 1, "xABCx");
        spread->setText(2, 1, "abc");
        spread->setText(3, 1, "hidden abc");
        spread->setColHidden(3, true);
        spread->setText(2, 2, "ABC");
        spread->setOperationMode(3);
        flex->setSelectionMode(1);
    }
    ui::FlexGrid* flex;
    ui::SpreadGrid* spread;
};

class FindTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        win.show();
        form = new frmFindText(&win);
        form->show();
    }
    void TearDown() override { delete form; }
    void scope(int i) {
        form->optSearch[i]->setChecked(true);
        form->subRecollect();
    }

    GridWindow win;
    frmFindText* form = nullptr;
    ui::ScriptedDialogService dialogs;
};

} // namespace

TEST_F(FindTextTest, TheGridsOfTheCurrentWindow) {
    form->initFindForm(&win);
    EXPECT_FALSE(form->optSearch[2]->isEnabled()); // not a frame
    EXPECT_FALSE(form->cmdFind->isEnabled());      // no text yet
    scope(1);
    ASSERT_EQ(form->gridList(), (QList<QWidget*>{win.flex, win.spread}));
    form->cmbValue->setEditText("  ");
    EXPECT_FALSE(form->cmdFind->isEnabled());
    form->cmbValue->setEditText(u" 网络 "_qs);
    EXPECT_TRUE(form->cmdFind->isEnabled());

    const struct { int row, col; } flexMatches[] = {{0, 2}, {1, 1}, {2, 1}, {2, 2}};
    for (const auto& m : flexMatches) {
        form->cmdFind_Click();
        EXPECT_TRUE(form->sequenceOpen());
        EXPECT_EQ(win.flex->row(), m.row);
        EXPECT_EQ(win.flex->col(), m.col);
    }
    // The hidden row is not visited; the spreadsheet grid is scanned from the
    // position reached (row 2, column 3: beyond its columns), so nothing more.
    form->cmdFind_Click();
    EXPECT_EQ(dialogs.lastText(), u"已搜索指定区域！"_qs);
    EXPECT_EQ(dialogs.shown.last().title, u"提示"_qs);
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Warning);
    EXPECT_FALSE(form->sequenceOpen());
    EXPECT_EQ(win.flex->selectionMode(), 1); // restored
    EXPECT_EQ(win.spread->operationMode(), 3);
    // Afresh at the first cell of the grid of the last match.
    form->cmdFind_Click();
    EXPECT_EQ(win.flex->row(), 0);
    EXPECT_EQ(win.flex->col(), 2);

    // A changed text during an open sequence goes into the history and is
    // searched on from the stored position.
    form->cmbValue->setEditText(u"张三"_qs);
    form->cmdFind_Click();
    EXPECT_EQ(form->cmbValue->findText(u"张三"_qs), 0);
    EXPECT_EQ(win.flex->row(), 1);
    EXPECT_EQ(win.flex->col(), 2);

    form->cmbValue->setEditText("nowhere");
    form->cmdCancel_Click(); // closes the sequence; the text joins the history
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->cmbValue->count(), 2);
    form->show();
    form->cmdFind_Click();
    EXPECT_EQ(dialogs.lastText(), u"未找到搜索文本！"_qs);
}

// Bad input (tests/support/BadInput.h) as the search text: through the scan of
// both grid kinds in each direction, case and whole-cell mode, and typed into
// the window: found nowhere ("未找到搜索文本！"), nothing written, and the tool
// goes on finding. Only blanks are trimmed: a tab or a full-width space is
// searched for.
TEST_F(FindTextTest, BadSearchTexts) {
    testsupport::TestDatabase& db = testsupport::TestDatabase::instance();
    for (QWidget* grid : {static_cast<QWidget*>(win.flex), static_cast<QWidget*>(win.spread)}) {
        for (bool backward : {false, true}) {
            for (bool whole : {false, true}) {
                for (bool matchCase : {false, true}) {
                    const auto scan = [&](const QString& t) {
                        const FindOptions o{t, whole, matchCase, backward};
                        FindPosition pos = backward ? posLastCell(grid) : FindPosition{};
                        return blnScanGrid(grid, pos, o) ? 0 : 1;
                    };
                    testsupport::expectOrdinaryAnswers(db, dialogs, "scan", scan, {});
                }
            }
        }
    }

    form->initFindForm(&win);
    scope(1);
    const QString notFound = u"未找到搜索文本！"_qs;
    const auto find = [&](const QString& t) {
        form->cmbValue->setEditText(t);
        form->cmdFind->click();
        return form->sequenceOpen() ? 0 : 1;
    };
    testsupport::expectOrdinaryAnswers(db, dialogs, "find box", find, {notFound});
    for (const QString& t : {u"\t"_qs, u"　"_qs}) {
        dialogs.clear();
        form->cmbValue->setEditText(t);
        EXPECT_TRUE(form->cmdFind->isEnabled());
        form->cmdFind->click();
        EXPECT_EQ(dialogs.lastText(), notFound);
    }
    form->cmbValue->setEditText(u" 网络 "_qs);
    form->cmdFind->click();
    EXPECT_TRUE(form->sequenceOpen());
    EXPECT_EQ(win.flex->row(), 0);
    EXPECT_EQ(win.flex->col(), 2);
}

TEST_F(FindTextTest, SpreadsheetScanCaseWholeCellAndDirection) {
    win.spread->setFocus();
    form->initFindForm(&win); // current list: the active control
    ASSERT_EQ(form->gridList(), (QList<QWidget*>{win.spread}));
    const struct {
        bool backward, whole, matchCase;
        QList<QPair<int, int>> cells; // (row, col) of successive matches; (-1,-1) the end message
    } cases[] = {
        // Forward from row 0 (the column titles) from column 0; the hidden column is skipped.
        {false, false, false, {{0, 1}, {1, 1}, {1, 2}, {2, 2}, {-1, -1}}},
        // Backward from the last data cell; row 0 is never visited.
        {true, false, false, {{2, 2}, {1, 2}, {1, 1}, {-1, -1}}},
        {false, true, false, {{0, 1}, {1, 2}, {2, 2}, {-1, -1}}},
        {false, false, true, {{1, 1}, {2, 2}, {-1, -1}}},
        {false, true, true, {{2, 2}, {-1, -1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.backward << c.whole << c.matchCase);
        form->optWay[c.backward ? 0 : 1]->setChecked(true);
        form->chkWhole->setChecked(c.whole);
        form->chkCase->setChecked(c.matchCase);
        form->cmbValue->setEditText(c.matchCase ? "ABC" : "abc");
        for (const auto& [row, col] : c.cells) {
            const int shown = int(dialogs.shown.size());
            form->cmdFind_Click();
            if (row < 0) {
                EXPECT_GT(dialogs.shown.size(), shown);
                EXPECT_EQ(dialogs.lastText(), u"已搜索指定区域！"_qs);
            } else {
                EXPECT_EQ(dialogs.shown.size(), shown);
                EXPECT_EQ(win.spread->row(), row);
                EXPECT_EQ(win.spread->col(), col);
            }
        }
    }
}

TEST_F(FindTextTest, FlexibleGridHiddenCellsDirectionCaseAndWholeCell) {
    QWidget w;
    auto* g = new ui::FlexGrid("grdC", &w);
    g->setRows(4);
    g->setCols(4);
    const char* cells[4][4] = {
        {"", "h1", "h2", "h3"}, {"x", "ab", "AB", "ab"}, {"y", "zz", "ab", "abc"}, {"w", "ab", "", ""}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            g->setTextMatrix(r, c, QString::fromUtf8(cells[r][c]));
    g->setColHidden(3, true);
    g->setRowHidden(3, true);
    w.show();
    g->setFocus();
    form->initFindForm(&w);
    ASSERT_EQ(form->gridList(), QList<QWidget*>{g});
    const struct {
        bool backward, whole, matchCase;
        QList<QPair<int, int>> cells;
    } cases[] = {
        // The hidden column is never visited, the hidden row not as a following row.
        {false, false, false, {{1, 1}, {1, 2}, {2, 2}}},
        // Backward from the last cell: its hidden row is the start row and is read;
        // two matches in a row come right to left.
        {true, false, false, {{3, 1}, {2, 2}, {1, 2}, {1, 1}}},
        {false, false, true, {{1, 1}, {2, 2}}},
        {false, true, false, {{1, 1}, {1, 2}, {2, 2}}},
        {false, true, true, {{1, 1}, {2, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.backward << c.whole << c.matchCase);
        form->optWay[c.backward ? 0 : 1]->setChecked(true);
        form->chkWhole->setChecked(c.whole);
        form->chkCase->setChecked(c.matchCase);
        form->cmbValue->setEditText("ab");
        for (const auto& [row, col] : c.cells) {
            form->cmdFind_Click();
            EXPECT_EQ(g->row(), row);
            EXPECT_EQ(g->col(), col);
        }
        const int shown = int(dialogs.shown.size());
        form->cmdFind_Click();
        ASSERT_EQ(dialogs.shown.size(), shown + 1);
        EXPECT_EQ(dialogs.lastText(), u"已搜索指定区域！"_qs);
    }
}

TEST_F(FindTextTest, AStoredPositionBeyondASmallerGridAndAClosedWindow) {
    form->initFindForm(&win);
    scope(1);
    form->optWay[0]->setChecked(true); // backward
    form->cmbValue->setEditText(u"网络"_qs);
    form->cmdFind_Click(); // from the last cell; its hidden row is the start row, so it is read
    EXPECT_EQ(win.flex->row(), 3);
    EXPECT_EQ(win.flex->col(), 1);
    win.flex->setRows(2);
    win.flex->setCols(2);
    form->cmdFind_Click(); // the stored (3, 0) lies outside: the scan starts at the grid's edge
    EXPECT_EQ(win.flex->row(), 1);
    EXPECT_EQ(win.flex->col(), 1);

    delete win.spread;
    win.spread = nullptr;
    form->subRecollect();
    EXPECT_EQ(form->gridList().size(), 1);
    form->cmdFind_Click();
    form->cmdFind_Click();
    EXPECT_EQ(dialogs.lastText(), u"已搜索指定区域！"_qs);
}

TEST_F(FindTextTest, AllWindowsOfAFrame) {
    QMainWindow frame;
    auto* mdi = new QMdiArea(&frame);
    frame.setCentralWidget(mdi);
    auto* child = new GridWindow;
    mdi->addSubWindow(child)->show();
    frame.show();
    form->initFindForm(&frame);
    EXPECT_TRUE(form->optSearch[2]->isEnabled());
    form->optSearch[2]->setChecked(true);
    QEvent deactivated(QEvent::ActivationChange); // another window became active
    QCoreApplication::sendEvent(form, &deactivated);
    EXPECT_FALSE(form->optSearch[2]->isChecked()); // shows unselected after a collection
    QList<QWidget*> grids = form->gridList();
    EXPECT_TRUE(grids.contains(child->flex));
    EXPECT_TRUE(grids.contains(child->spread));
    EXPECT_TRUE(grids.contains(win.flex)); // another enabled window
    // A window of the list closed: its grids are passed over.
    delete child;
    form->cmbValue->setEditText(u"计算机"_qs);
    form->cmdFind_Click();
    EXPECT_EQ(form->currentGrid(), win.flex);
    EXPECT_EQ(win.flex->row(), 1);
    // Shown again through the opener: the same window, collected again.
    frmFindText* shown = frmFindText::instance(&frame);
    EXPECT_EQ(frmFindText::instance(&frame), shown);
    delete shown;
}

namespace {

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = g_strPath[0];
        g_strPath[0] = dir.path() + "/";
        QDir().mkpath(dir.path() + "/my updater");
        updater = dir.path() + "/my updater/LiveUpdate";
        testsupport::writeBytes(updater,
                                "#!/bin/sh\n: > \"$UPDATER_RECORD\"\n"
                                "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$UPDATER_RECORD\"; done\n"
                                "printf '%s' \"$CONSIGN_WORKER_PWD\" > \"$UPDATER_RECORD.pwd\"\n");
        QFile::setPermissions(updater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        record = dir.path() + "/record";
        qputenv("UPDATER_RECORD", record.toLocal8Bit());
        text::saveSetting(strProgramTitle(), "Settings", "UpdateExcute", dir.path() + "/missing");
        g_strWkrNo = "0001";
        g_strWkrPwd = "pa ss";
    }
    void TearDown() override { g_strPath[0] = saved_; }
    QString setting() const { return text::getSetting(strProgramTitle(), "Settings", "UpdateExcute", "-"); }

    QTemporaryDir dir;
    QString updater, record;
    ui::ScriptedDialogService dialogs;

private:
    QString saved_;
};

} // namespace

TEST_F(UpdaterTest, AskChooseSaveAndStartWithAnArgumentVector) {
    EXPECT_EQ(strEditionsField("lt4", 2, 1, 12), "editions=lt4:2.1.0012");
    EXPECT_EQ(strEditionsField("lt4", 3, 5, 12345), "editions=lt4:3.5.12345");

    // No: nothing to start, silently.
    dialogs.answers = {ui::BoxAnswer::No};
    subRunLiveUpdate("lt4", nullptr);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), u"没有找到默认的智能升级程序，是否选择新的升级程序文件？"_qs);
    EXPECT_EQ(dialogs.shown[0].buttons, ui::BoxButtons::YesNoCancel);
    EXPECT_FALSE(QFile::exists(record));

    // Yes and the file dialog cancelled: nothing saved, nothing started.
    dialogs.answers = {ui::BoxAnswer::Yes};
    subRunLiveUpdate("lt4", nullptr);
    EXPECT_EQ(setting(), dir.path() + "/missing");
    EXPECT_FALSE(QFile::exists(record));

    // Yes and a file chosen: saved and started, each field whole.
    QString filter;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* fd = qobject_cast<QFileDialog*>(d);
        filter = fd ? fd->nameFilters().join("|") : QString();
        if (fd) fd->selectFile(updater);
        return 1;
    };
    dialogs.answers = {ui::BoxAnswer::Yes};
    subRunLiveUpdate("lt4", nullptr);
    EXPECT_TRUE(filter.contains("*"));
    EXPECT_EQ(setting(), updater);
    EXPECT_EQ(QString::fromUtf8(testsupport::readBytes(record)), "0001\n\neditions=lt4:3.5.0001\n");
    EXPECT_EQ(testsupport::readBytes(record + ".pwd"), "pa ss");

    // The next call starts it without asking.
    QFile::remove(record);
    dialogs.clear();
    shell::shellToolsService().runLiveUpdate("lt4", nullptr);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_TRUE(QFile::exists(record));
}

TEST(CommonView, LoadsTextHtmlAndRtfAndPrints) {
    QTemporaryDir dir;
    frmCommonView view;
    EXPECT_EQ(view.windowTitle(), u"Qorlan 最终用户许可协议"_qs);
    view.subLoadFile("");
    EXPECT_TRUE(view.rtxtLicense->toPlainText().isEmpty());
    testsupport::writeBytes(dir.filePath("a.html"),
                            u"<html><body><b>许可</b> terms</body></html>"_qs.toUtf8());
    testsupport::writeBytes(dir.filePath("b.txt"), QByteArray("\xD0\xED\xBF\xC9 plain")); // GB18030
    testsupport::writeBytes(dir.filePath("c.rtf"), "{\\rtf1\\ansi\\ansicpg936 text \\'d0\\'ed\\'bf\\'c9}");
    testsupport::writeBytes(dir.filePath("d.rtf"), "no rich text");
    view.subLoadFile(dir.filePath("a.html"));
    EXPECT_EQ(view.rtxtLicense->toPlainText(), u"许可 terms"_qs);
    view.subLoadFile(dir.filePath("b.txt"));
    EXPECT_EQ(view.rtxtLicense->toPlainText(), u"许可 plain"_qs);
    view.subLoadFile(dir.filePath("c.rtf"));
    EXPECT_EQ(view.rtxtLicense->toPlainText(), u"text 许可"_qs);
    view.subLoadFile(dir.filePath("d.rtf"));
    EXPECT_TRUE(view.rtxtLicense->toPlainText().isEmpty());
    view.subLoadFile(dir.filePath("missing.txt"));
    EXPECT_TRUE(view.rtxtLicense->toPlainText().isEmpty());

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("v.pdf"));
    EXPECT_EQ(view.cmdPrint_Click(&printer), 0);
    const QStringList pages = testsupport::pdfPages(dir.filePath("v.pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(u"最终用户许可协议"_qs));
    EXPECT_TRUE(pages[0].contains(QRegularExpression("-\\s*1\\s*-")));
}

// Find in the current list of a frame's child when no list has the focus:
// the child's one list shown is searched; otherwise a word says which list
// (or window) the tool needs, instead of nothing at all.
TEST_F(FindTextTest, CurrentListWithoutAFocusedGrid) {
    QMainWindow frame;
    auto* mdi = new QMdiArea(&frame);
    frame.setCentralWidget(mdi);
    frame.show();
    const auto findIn = [&](QWidget* child) {
        dialogs.clear();
        form->initFindForm(&frame);
        if (child) mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        scope(0);
        form->cmbValue->setEditText(u"网络"_qs);
        form->cmdFind_Click();
        return dialogs.shown.isEmpty() ? QString() : dialogs.lastText();
    };

    // No child window open.
    EXPECT_EQ(findIn(nullptr), u"请先打开要查找的窗体！"_qs);

    // One list, the focus in a box beside it: the list is searched.
    auto* one = new QWidget;
    auto* box = new QLineEdit(one);
    auto* list = new ui::FlexGrid("grdOne", one);
    list->setRows(2);
    list->setCols(2);
    list->setTextMatrix(1, 1, u"计算机网络"_qs);
    list->move(0, 40);
    mdi->addSubWindow(one)->show();
    box->setFocus();
    EXPECT_EQ(findIn(one), QString());
    EXPECT_EQ(form->currentGrid(), list);
    EXPECT_EQ(list->row(), 1);
    EXPECT_EQ(list->col(), 1);

    // Two lists, neither focused: the tool asks for a click on one.
    auto* two = new GridWindow;
    auto* other = new QLineEdit(two);
    mdi->addSubWindow(two)->show();
    other->setFocus();
    EXPECT_EQ(findIn(two), u"当前窗体有多个列表，请先单击要查找的列表！"_qs);
    two->spread->setFocus();
    form->optSearch[0]->setChecked(true);
    form->subRecollect();
    EXPECT_EQ(form->gridList(), QList<QWidget*>{two->spread});

    // No list at all.
    auto* none = new QLineEdit;
    mdi->addSubWindow(none)->show();
    EXPECT_EQ(findIn(none), u"当前窗体没有可查找的列表！"_qs);
}
