// The slip window's files: the text export, stored templates under the
// batch's title (the report window's store, carried by a hidden output-columns
// dialog) and MARC columns from the demo records.
#include "common/basMarcIdx.h"
#include "platform/text/CodePage.h"
#include "report/ReportArray.h"
#include "report/ReportTemplate.h"
#include "report/SlipText.h"
#include "report/frmFlexPrtCustom.h"
#include "report/frmPrtABF.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>

#include <gtest/gtest.h>

using namespace report;

namespace {

const QString kApp = QStringLiteral("超期罚款单");

class SlipFiles : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        slipSources().library = [] { return QStringLiteral("总馆"); };
        slipSources().serverDate = [] { return QStringLiteral("2024-05-06"); };
    }
    void TearDown() override {
        if (frmPrtABF::exists()) close(frmPrtABF::form());
        resetSlipSources();
        DatabaseTest::TearDown();
    }
    static void close(frmPrtABF* f) {
        f->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Two overdue-fine records; the window opened on them.
    frmPrtABF* open(const QString& app, int addOrder = 1, int cols = 1) {
        g_varPrtData.clear();
        g_varPrtData.resize(2, 16);
        for (int k = 1; k <= 2; ++k)
            g_varPrtData.setRow(k, {"", "P" + QString::number(k), "B", "书" + QString::number(k), "d", "d",
                                    "1天", "1.00", "总馆书库", "d", "x", "1.00", "李四", "DZ0002", "BILL",
                                    "SUPR", "ExceedFine"});
        frmPrtABF* f = frmPrtABF::form();
        f->m_strApp = app;
        f->m_iAddOrder = qint16(addOrder);
        f->m_Cols = cols;
        f->resize(1000, 700);
        f->Form_Load();
        f->show();
        return f;
    }
    QString cfg() { return db().programFolder() + "CFG/"; }
    void answerFiles(const QString& path) {
        dialogs.dialogHandler = [path](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd) return 0;
            fd->selectFile(path);
            return 1;
        };
    }
    QStringList filesUnder(const QString& folder) {
        QStringList out;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(folder).relativeFilePath(it.next());
        out.sort();
        return out;
    }
};

TEST_F(SlipFiles, TextExportWritesLabelsAndSlips) {
    frmPrtABF* f = open(kApp, 1, 2);
    f->labels().setCaption(0, "罚款单据");
    f->labels().setCaption(3, QString());
    const QString path = db().programFolder() + "slips.txt";
    answerFiles(path);
    f->subExportSlipText();
    ASSERT_EQ(dialogs.lastText(), "文件导出完毕！");
    const QString rule(81, u'=');
    const QString slip1 = f->grid().textMatrix(2, 1), slip2 = f->grid().textMatrix(2, 2);
    ASSERT_TRUE(slip2.contains("书2"));
    const QString want = QStringList({"罚款单据", rule, f->labels().at(1).caption, f->labels().at(2).caption,
                                      "", f->labels().at(4).caption, f->labels().at(5).caption, rule, "|",
                                      slip1 + "|" + slip2, ""})
                             .join("\r\n");
    EXPECT_EQ(testsupport::readBytes(path), text::toGb18030(want));

    // An existing file is replaced only after the question is answered OK.
    testsupport::writeBytes(path, "old");
    dialogs.answers.append(ui::BoxAnswer::Cancel);
    f->subExportSlipText();
    EXPECT_EQ(testsupport::readBytes(path), "old");
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Warning);
    dialogs.answers.append(ui::BoxAnswer::Ok);
    f->subExportSlipText();
    EXPECT_EQ(testsupport::readBytes(path), text::toGb18030(want));
}

TEST_F(SlipFiles, TemplatesSavedAndApplied) {
    frmPrtABF* f = open(kApp, 1);
    f->labels().setCaption(0, "罚款");
    f->labels().at(0).font.setPointSize(20);
    f->labels().at(2).color = QColor(200, 0, 0);
    f->labels().at(3).tag = "Hide";
    f->page().leftMargin = f->page().rightMargin = 120;
    f->page().topMargin = f->page().bottomMargin = 300;
    ASSERT_TRUE(f->subSaveSlipTemplate());
    EXPECT_TRUE(f->customDialogLoaded());
    EXPECT_FALSE(f->customDialog()->isVisible());
    EXPECT_EQ(filesUnder(cfg()),
              QStringList({"打印配置1/" + kApp, "打印配置2/" + kApp, "打印配置2/" + kApp + ".txt"}));
    const QString pageText = pageSettingText(f->page());
    EXPECT_TRUE(pageText.endsWith(";120;120;300;300")) << pageText;
    QPointer<frmFlexPrtCustom> carrier = f->customDialog();
    close(f);
    EXPECT_TRUE(carrier.isNull()); // closing unloads the dialog it carried

    f = open(kApp, 0);
    EXPECT_EQ(f->page().leftMargin, 50);
    ASSERT_TRUE(f->CustomPrint());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText();
    EXPECT_EQ(f->page().leftMargin, 120);
    EXPECT_EQ(f->page().rightMargin, 120);
    EXPECT_EQ(f->page().topMargin, 300);
    EXPECT_EQ(f->page().bottomMargin, 300);
    EXPECT_EQ(f->gridRect().left(), 120);
    EXPECT_EQ(f->m_iAddOrder, 1);
    EXPECT_EQ(f->grid().textMatrix(3, 0), "2");
    EXPECT_TRUE(f->grid().textMatrix(3, 1).contains("书2")); // the slips stay
    EXPECT_FALSE(f->grid().colHidden(1));
    EXPECT_EQ(f->labels().at(0).caption, "罚款");
    EXPECT_EQ(f->lblInfo(0)->text(), "罚款");
    EXPECT_EQ(f->labels().at(0).font.pointSize(), 20);
    EXPECT_EQ(f->labels().at(2).color, QColor(200, 0, 0));
    EXPECT_TRUE(f->labels().at(3).hidden());
    EXPECT_FALSE(f->labels().at(2).hidden());

    // A damaged text copy: the message, the window as it was.
    testsupport::writeBytes(cfg() + "打印配置2/" + kApp + ".txt", "列内容|\r\n");
    EXPECT_FALSE(f->CustomPrint());
    EXPECT_EQ(dialogs.lastText(), "配置文件不存在或被破坏");
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Error);
}

TEST_F(SlipFiles, TitlesThatAreNoFileNamesSaveNothing) {
    const QStringList before = filesUnder(db().programFolder());
    for (const QString& app :
         {QStringLiteral("../罚款"), QStringLiteral("a/b"), QStringLiteral(""), QStringLiteral("未保存")}) {
        frmPrtABF* f = open(app);
        if (app != u"未保存") {
            EXPECT_FALSE(f->subSaveSlipTemplate()) << app;
        }
        dialogs.clear();
        EXPECT_FALSE(f->CustomPrint()) << app;
        EXPECT_EQ(dialogs.lastText(), "配置文件不存在或被破坏") << app;
        close(f);
    }
    EXPECT_EQ(filesUnder(db().programFolder()), before);
}

TEST_F(SlipFiles, MarcColumnFromTheDemoRecords) {
    ASSERT_EQ(intInitMarcIdx(), 0);
    frmPrtABF* f = open(kApp, 1, 1);
    ReportGrid& g = f->grid();
    g.setRowData(2, "0000000001"); // format C
    g.setRowData(3, "0000000007"); // format U
    g.setTextMatrix(1, 1, "$200a;245a.");
    f->subShowMarc(1);
    EXPECT_TRUE(g.textMatrix(2, 1).startsWith("数据结构与算法")) << g.textMatrix(2, 1);
    EXPECT_TRUE(g.textMatrix(3, 1).startsWith("The art of")) << g.textMatrix(3, 1);
    EXPECT_EQ(g.autoSizeMode, AutoSizeMode::RowHeights);
    EXPECT_EQ(g.colWidth(1), g.width);
    // Without its "$" the definition names no item: empty cells, and the
    // "$" is put in front.
    g.setTextMatrix(1, 1, "200a;245a.");
    f->subShowMarc(1);
    EXPECT_EQ(g.textMatrix(1, 1), "$200a;245a.");
    EXPECT_EQ(g.textMatrix(2, 1), "");
    // The definition row is hidden: a double click opens no editor.
    dialogs.dialogHandler = [](QDialog*) {
        ADD_FAILURE() << "an editor opened";
        return 0;
    };
    EXPECT_FALSE(f->grdOrder_DblClick(2, 1));
    g.setTextMatrix(1, 1, "");
    EXPECT_FALSE(f->grdOrder_DblClick(0, 1));
    // A column with a definition is edited only in its title row.
    g.setTextMatrix(1, 1, "$200a;245a.");
    EXPECT_TRUE(f->grdOrder_BeforeEdit(2, 1));
    EXPECT_FALSE(f->grdOrder_BeforeEdit(0, 1));
}

} // namespace
