// The prints through the real report window, printed to PDF and read back.

#include "consign/FindDesk.h"
#include "report/frmFlexPrint.h"
#include "tests/consign/ConsignFixture.h"
#include "tests/support/PdfText.h"

#include <QStandardPaths>
#include <QTemporaryDir>

class PrintsPdfTest : public ConsignTest {
protected:
    void SetUp() override {
        ConsignTest::SetUp();
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext is not installed (package poppler-utils)";
        consign::g_showReport = consign::subShowFlexPrint;
        dialogs.dialogHandler = [this](QDialog* d) {
            if (auto* form = qobject_cast<frmFlexPrint*>(d))
                pages = form->printToPdf(dir.filePath("out.pdf")) > 0
                            ? testsupport::pdfPages(dir.filePath("out.pdf"))
                            : QStringList();
            d->reject(); // closed as the worker closes it: the next print loads it afresh
            return 0;
        };
    }
    QString text() const { return pages.join('\f'); }

    QTemporaryDir dir;
    QStringList pages;
};

TEST_F(PrintsPdfTest, FoundCopiesAndReturnHomeListPrintTheirTitlesLinesAndRows) {
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    ASSERT_EQ(find.subPrintFind(), 0);
    ASSERT_FALSE(pages.isEmpty());
    for (const QString& t :
         {QString("书刊划到清单"), QString("总计：1册"), "制表日期：" + day, QString("经手人：0001"),
          QString("到书保留截至日期"), QString("P500001"), QString("韩小欠")})
        EXPECT_TRUE(text().contains(t)) << t.toStdString() << "\n" << text().toStdString();

    atDesk("D2", "05");
    returnedHome("DR01", "P500002", "D2");
    ASSERT_EQ(home.subInitTeam(), 0);
    home.cmbReturnLocation.index = home.cmbReturnLocation.count() - 1;
    ASSERT_EQ(home.cmdReturnSearch(), 0);
    pages.clear();
    ASSERT_EQ(home.cmdReturnPrint(), 0);
    for (const QString& t : {QString("委托回库清单"), "还书起始日期：" + day, QString("馆藏组：总馆"),
                             QString("馆藏地：所有馆藏地"), QString("P500002"), QString("总馆书库")})
        EXPECT_TRUE(text().contains(t)) << t.toStdString() << "\n" << text().toStdString();
}

TEST_F(PrintsPdfTest, ListsOfTheMainLibraryPrintTheirTitlesLinesAndRows) {
    ASSERT_EQ(find.subInitTeam(), 0);
    find.cmbApplyTeam.index = find.cmbFindTeam.index = find.cmbFindTeamII.index = 2;
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    find.dtpApplyBegin = find.dtpApplyEnd.addDays(-3);
    ASSERT_EQ(find.cmdApplySearch(), 0);
    ASSERT_EQ(find.cmdFindSearch(), 0);
    returnedHome("DR01", "P500002", "D2");
    returnedHome("DR02", "P500004", "D1");
    ASSERT_EQ(home.subInitTeam(), 0);
    ASSERT_EQ(home.subCheckBook("B500002"), 0);
    home.cmbCheckTeam.index = 2;
    home.cmbCheckLocation.index = home.cmbCheckLocation.count() - 1;
    ASSERT_EQ(home.cmdCheckSearch(), 0);

    const struct {
        std::function<int()> print;
        QStringList texts;
    } cases[] = {
        {[this] { return find.cmdApplyPrint(); },
         {"委托申请清单", "申请起始日期：" + dayPlus(-3), "委托馆藏组：所有馆藏组", "可借数量", "冯欠款"}},
        {[this] { return find.cmdFindPrint(); },
         {"委托到书清单(全部)", "到书截止日期：" + day, "P500001", "分馆借还台"}},
        {[this] { return home.cmdCheck_Click(); },
         {"书刊验收清单(已验收)", "还书截止日期：" + day, "P500002"}},
        {[this] { return home.cmdCheckPrint(); },
         {"委托验收清单(全部)", "委托馆藏组：所有馆藏组", "馆藏地：所有馆藏地", "P500002", "总计：1册"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.texts.first().toStdString());
        pages.clear();
        ASSERT_EQ(c.print(), 0);
        for (const QString& t : c.texts)
            EXPECT_TRUE(text().contains(t)) << t.toStdString() << "\n" << text().toStdString();
    }
    // Nothing not yet accepted at home: the print says so and shows nothing.
    pages.clear();
    EXPECT_EQ(home.cmdUnCheck_Click(), -1);
    EXPECT_TRUE(pages.isEmpty());
    EXPECT_EQ(shownTexts().last(), "没有任何书刊验收数据。");
}
