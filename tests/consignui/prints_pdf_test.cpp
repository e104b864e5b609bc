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
