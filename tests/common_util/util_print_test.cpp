// Rich-text printing: pages, header and page numbers, read back from a PDF.
#include "common/basFile.h"
#include "tests/support/PdfText.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

using testsupport::pdfPages;

QStringList printToPdf(QTextEdit& edit, const QString& pdf, const QString& header)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_EQ(subPrintRichText(&edit, 1440, 1440, 1440, 1440, header, QString(), &printer), 0);
    return pdfPages(pdf);
}

QString bodyLines(int from, int count)
{
    QStringList lines;
    for (int i = from; i < from + count; ++i)
        lines << QStringLiteral("Line %1 正文").arg(i, 4, 10, QChar(u'0'));
    return lines.join(u'\n');
}

// "- n -" (the extraction may drop the blanks).
bool hasPageNumber(const QString& page, int n)
{
    return page.contains(QRegularExpression(QStringLiteral("(^|\\s)-\\s*%1\\s*-(\\s|$)").arg(n)));
}

int countBodyLines(const QString& page)
{
    return static_cast<int>(page.count(QRegularExpression("Line \\d{4}")));
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            FAIL() << "pdftotext is not installed (package poppler-utils)";
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(PrintTest, EveryPageHasHeaderAndNumberAndNoLineIsLost)
{
    QTextEdit edit;
    edit.setPlainText(bodyLines(1, 1));
    const QStringList one = printToPdf(edit, dir.filePath("one.pdf"), u"借阅清单"_qs);
    ASSERT_EQ(one.size(), 1);

    // Find how many lines a page holds, then print two and a half pages' worth.
    edit.setPlainText(bodyLines(1, 400));
    const QStringList probe = printToPdf(edit, dir.filePath("probe.pdf"), u"借阅清单"_qs);
    ASSERT_GE(probe.size(), 2);
    const int perPage = countBodyLines(probe.first());
    ASSERT_GT(perPage, 10);

    const int total = perPage * 2 + perPage / 2;
    edit.setPlainText(bodyLines(1, total));
    const QStringList pages = printToPdf(edit, dir.filePath("three.pdf"), u"借阅清单"_qs);
    ASSERT_EQ(pages.size(), 3);
    int seen = 0;
    for (int i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(hasPageNumber(pages[i], i + 1)) << "page " << i + 1;
        EXPECT_TRUE(pages[i].contains(u"借阅清单"_qs)) << "page " << i + 1;
        // Lines continue in order from one page to the next, none twice.
        const QRegularExpression re("Line (\\d{4})");
        for (auto it = re.globalMatch(pages[i]); it.hasNext();) {
            const int n = it.next().captured(1).toInt();
            EXPECT_EQ(n, seen + 1);
            seen = n;
        }
    }
    EXPECT_EQ(seen, total);
    EXPECT_FALSE(hasPageNumber(pages.last(), 4));
}

TEST_F(PrintTest, EmptyTextPrintsOnePageOfDecorations)
{
    QTextEdit edit;
    const QStringList pages = printToPdf(edit, dir.filePath("empty.pdf"), QString());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(hasPageNumber(pages[0], 1));
    EXPECT_EQ(pages[0].simplified().remove(u' '), u"-1-"_qs);
}

TEST_F(PrintTest, FooterIsPrintedBelowTheText)
{
    QTextEdit edit;
    edit.setPlainText("body");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("footer.pdf"));
    ASSERT_EQ(subPrintRichText(&edit, 1440, 1440, 1440, 1440, "Head", "Foot", &printer), 0);
    const QStringList pages = pdfPages(dir.filePath("footer.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const qsizetype head = pages[0].indexOf("Head");
    const qsizetype body = pages[0].indexOf("body");
    const qsizetype foot = pages[0].indexOf("Foot");
    EXPECT_GE(head, 0);
    EXPECT_LT(head, body);
    EXPECT_LT(body, foot);
}
