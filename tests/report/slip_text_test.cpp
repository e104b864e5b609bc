// Slip texts without a window: the built-in layouts of every kind, template
// files (GB18030 bytes, placeholders, blank and empty files), the amounts, and
// the records that cannot make a slip.
#include "platform/text/CodePage.h"
#include "report/ReportArray.h"
#include "report/SlipText.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;

namespace {

// One record (row 1) whose column c holds "v<c>", with the kind word last.
ReportArray batch(const QString& word, int last = 21, const QMap<int, QString>& set = {}) {
    ReportArray a;
    a.resize(1, last);
    for (int c = 1; c < last; ++c)
        a.setCell(1, c, QStringLiteral("v%1").arg(c));
    for (auto it = set.begin(); it != set.end(); ++it)
        a.setCell(1, it.key(), it.value());
    a.setCell(1, last, word);
    return a;
}

QString lines(const QStringList& l) {
    return l.join(QStringLiteral("\r\n"));
}

const QString H = QString(20, u' ');
const QString B = QString(8, u' ');
const QString E = QString(26, u' ');

class SlipText : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("LT"));
        slipSources().library = [] { return QStringLiteral("测试图书馆"); };
        slipSources().serverDate = [] { return QStringLiteral("2024-05-06"); };
        slipSources().configFolder = [this] { return dir.path() + u'/'; };
    }
    void TearDown() override { resetSlipSources(); }
    void writeTemplate(const QString& file, const QByteArray& bytes) {
        testsupport::writeBytes(dir.filePath(QStringLiteral("LT/") + file), bytes);
    }
    QTemporaryDir dir;
};

TEST_F(SlipText, BuiltInLayoutOfEveryKind) {
    const QStringList close = {E + "测试图书馆", "", E + "2024-05-06", "", ""};
    const auto tail = [&](const QString& col) {
        QStringList l = close;
        l[1] = E + col;
        return l;
    };
    const QStringList recall = {B + "【单    位】：v9",
                                B + "【姓    名】：v1",
                                B + "【证 件 号】：v11",
                                "",
                                B + "您所借阅的书刊：",
                                "",
                                B + "【索 书 号】：v2",
                                B + "【条 码 号】：v3",
                                B + "【题    名】：v4",
                                B + "【责 任 者】：v5",
                                B + "【原还书日期】：v6",
                                B + "【要求还书日期】：v7",
                                "",
                                B + "请在指定还书日期前将图书归还本馆！",
                                ""};
    const QStringList due = {B + "【单    位】：v8",       B + "【姓    名】：v1",
                             B + "【证 件 号】：v10",      "",
                             B + "您所借阅的书刊：",       "",
                             B + "【索 书 号】：v2",       B + "【条 码 号】：v3",
                             B + "【题    名】：v4",       B + "【责 任 者】：v5",
                             B + "【应还书日期】：v6",     "",
                             B + "请尽快将图书归还本馆！", ""};
    const QStringList fine = {B + "【题    名】：v3",
                              B + "【财 产 号】：v1",
                              B + "【馆 藏 地】：v8",
                              B + "【借书日期】：v4",
                              B + "【应还日期】：v9",
                              B + "【还书日期】：v5",
                              "",
                              B + "【姓    名】：v12",
                              B + "【证 件 号】：v13",
                              B + "【应罚款额】：v7",
                              B + "【实罚款额】：v11",
                              B + "【票 据 号】：v14",
                              B + "【明    细】：v10",
                              ""};
    const QStringList lend = {B + "【单    位】：v1",  B + "【姓    名】：v2",
                              B + "【证 件 号】：v3",  "",
                              B + "您所借阅的书刊：",  "",
                              B + "【索 书 号】：v4",  B + "【条 码 号】：v5",
                              B + "【题    名】：v6",  B + "【责 任 者】：v7",
                              B + "【借阅日期】：v8",  B + "【应还日期】：v9",
                              B + "【附    件】：v10", ""};
    const QStringList ret = {B + "【单    位】：v1",  B + "【姓    名】：v2",
                             B + "【证 件 号】：v3",  "",
                             B + "您所归还的书刊：",  "",
                             B + "【索 书 号】：v4",  B + "【条 码 号】：v5",
                             B + "【题    名】：v6",  B + "【责 任 者】：v7",
                             B + "【借阅日期】：v8",  B + "【应还日期】：v9",
                             B + "【还书日期】：v10", B + "【超期天数】：3",
                             B + "【附    件】：v12", ""};
    const QStringList money = {B + "【单    位】：v3",  B + "【姓    名】：v2",
                               B + "【证 件 号】：v1",  "",
                               B + "【缴费项目】：v10", B + "【金    额】：10.50",
                               B + "【缴费时间】：v7",  B + "【缴费方式】：v4",
                               B + "【票 据 号】：v8",  ""};
    const QStringList loss = {B + "【方    式】：赔钱",
                              "",
                              B + "【题    名】：v1",
                              B + "【责 任 者】：v2",
                              B + "【出 版 社】：v3",
                              B + "【出 版 年】：v4",
                              B + "【馆 藏 地】：v5",
                              B + "【索 书 号】：v6",
                              B + "【财 产 号】：v7",
                              B + "【条 码 号】：v8",
                              "",
                              B + "【姓    名】：v9",
                              B + "【证 件 号】：v10",
                              B + "【总    额】：12.5",
                              B + "【赔偿额 + 技术费 + 人工费 + 超期额】：v19 + v16 + v17 + v20",
                              B + "【票 据 号】：v15",
                              B + "【备    注】：v13",
                              ""};
    struct Case {
        const char* word;
        QMap<int, QString> cells;
        QStringList head, body, close;
    };
    const QList<Case> cases = {
        {"RedrAsback", {}, {"", H + "催还通知单", ""}, recall, tail("v8")},
        {"StopAsback", {}, {"", H + "催还通知单", ""}, recall, tail("v8")},
        {"OverAsback", {}, {"", H + "催还通知单", "", ""}, due, tail("v7")},
        {"RetAsback", {}, {"", H + "到期提醒通知单", "", ""}, due, tail("v7")},
        {"ExceedFine", {}, {"", H + "超期罚款", "", ""}, fine, tail("v15")},
        {"Lend", {}, {"", H + "读者借阅单", ""}, lend, tail("v11")},
        {"Ret", {{11, "3天"}}, {"", H + "读者还书单", ""}, ret, tail("v13")},
        {"money", {{5, "12.5"}, {6, "2"}}, {"", H + "读者缴费单", ""}, money, tail("v9")},
        {"Lost", {{14, "2"}, {18, "-12.50"}}, {"", H + "遗失赔偿单", "", ""}, loss, tail("v11")},
        {"", {{14, "4"}, {18, "3"}}, {"", H + "遗失赔偿单", "", ""}, loss.mid(2), tail("v11")},
    };
    for (const Case& c : cases) {
        QStringList body = c.body;
        if (QString::fromUtf8(c.word).isEmpty()) body[11] = B + "【总    额】：3";
        const ReportArray a = batch(QString::fromUtf8(c.word), 21, c.cells);
        EXPECT_EQ(strSlipText(a, QString::fromUtf8(c.word), 0), lines(c.head + body + c.close)) << c.word;
    }
}

TEST_F(SlipText, AmountsAreExactDecimals) {
    struct Case {
        const char *a, *b, *diff;
    };
    for (const Case& c :
         {Case{"12.5", "2", "10.50"}, Case{"0.1", "0.2", "-0.10"}, Case{" 3 ", "0", "3.00"},
          Case{"1.005", "0", "1.01"}, Case{"-1.005", "0", "-1.01"}, Case{"0.004", "0", "0.00"}}) {
        QString out;
        ASSERT_TRUE(strDecimalDifference(c.a, c.b, &out)) << c.a;
        EXPECT_EQ(out, c.diff) << c.a << " - " << c.b;
    }
    QString out;
    for (const char* bad : {"", "abc", "1.2.3", "1,5", "-"})
        EXPECT_FALSE(strDecimalDifference(bad, "1", &out)) << bad;
    ASSERT_TRUE(strDecimalAbs("-12.50", &out));
    EXPECT_EQ(out, "12.5");
    ASSERT_TRUE(strDecimalAbs("007.000", &out));
    EXPECT_EQ(out, "7");
    for (const auto& [in, want] :
         {std::pair{"3天", "3"}, {"  12.50天", "12.5"}, {"天3", "0"}, {"", "0"}, {"-2", "-2"}, {"1 2", "12"}})
        EXPECT_EQ(strLeadingNumber(QString::fromUtf8(in)), QString::fromUtf8(want)) << in;
}

TEST_F(SlipText, TemplatesReplaceTheirPlaceholdersInTableOrder) {
    // GB18030 bytes: the name twice, a bracketed word that is no lending
    // placeholder, and a title that holds a later placeholder.
    writeTemplate("LT_PrtLend.ini",
                  text::toGb18030(u"[姓名]/[姓名]\r\n[备注] [图书馆] [单据日期]\r\n[题名]|[经手人]"));
    ReportArray a = batch("Lend", 12, {{6, "[经手人]"}});
    EXPECT_EQ(strSlipText(a, "Lend", 0),
              "姓名：v2/姓名：v2\r\n[备注] 测试图书馆 2024-05-06\r\n题名：v11|v11");

    // A UTF-8 mark selects UTF-8; the overdue recall word picks its own file.
    writeTemplate("LT_ExceedAsb.ini", "\xEF\xBB\xBF" + QString("[馆藏地] [证件号]").toUtf8());
    EXPECT_EQ(strSlipText(batch("OverAsback", 11), "OverAsback", 0), "v7 证件号：v10");
    // The due reminder has no file: built in.
    EXPECT_TRUE(strSlipText(batch("RetAsback", 11), "RetAsback", 0).contains("到期提醒通知单"));

    // Blanks only are a template; an empty file is none.
    writeTemplate("LT_PrtRet.ini", " \r\n ");
    EXPECT_EQ(strSlipText(batch("Ret", 14), "Ret", 0), " \r\n ");
    writeTemplate("LT_PrtMoney.ini", "");
    EXPECT_TRUE(
        strSlipText(batch("money", 11, {{5, "1"}, {6, "1"}}), "money", 0).contains("【金    额】：0.00"));

    // Loss: an unknown way drops its placeholder; the detail carries its columns.
    writeTemplate("LT_PrtRecp.ini", text::toGb18030(u"<[方式]>[明细]"));
    EXPECT_EQ(strSlipText(batch("x", 21, {{14, "9"}, {18, "1"}}), "x", 0),
              "<>明细：赔偿额v19 + 技术费v16 + 人工费v17 + 超期额v20");
}

TEST_F(SlipText, RecordsThatCannotMakeASlip) {
    struct Case {
        const char* word;
        int last;
        QMap<int, QString> cells;
        const char* says;
    };
    const QList<Case> cases = {
        {"ExceedFine", 14, {}, "第 1 条记录只有 14 列，超期罚款单需要第 15 列"},
        {"money", 11, {{5, "abc"}, {6, "1"}}, "第 1 条记录第 5 列“abc”不是数字"},
        {"money", 11, {{5, "1"}, {6, ""}}, "第 1 条记录第 6 列“”不是数字"},
        {"Lost", 21, {{18, "十元"}}, "第 1 条记录第 18 列“十元”不是数字"},
    };
    for (const Case& c : cases) {
        const ReportArray a = batch(QString::fromUtf8(c.word), c.last, c.cells);
        try {
            strSlipText(a, QString::fromUtf8(c.word), 0);
            ADD_FAILURE() << c.word << " made a slip";
        } catch (const SlipError& e) {
            EXPECT_TRUE(e.message.contains(QString::fromUtf8(c.says))) << e.message;
        }
    }
    // A template that is no file to read.
    ASSERT_TRUE(QDir(dir.path()).mkpath("LT/LT_PrtLend.ini")); // a folder is no template
    EXPECT_TRUE(strSlipText(batch("Lend", 12), "Lend", 0).contains("读者借阅单"));
    writeTemplate("LT_PrtRet.ini", "x");
    QFile::setPermissions(dir.filePath("LT/LT_PrtRet.ini"), QFileDevice::Permissions());
    if (!QFile(dir.filePath("LT/LT_PrtRet.ini")).open(QIODevice::ReadOnly)) {
        EXPECT_THROW(strSlipText(batch("Ret", 14), "Ret", 0), SlipError);
    }
}

TEST_F(SlipText, BatchesLayOneOrTwoSlipsARow) {
    ReportArray records;
    for (int k = 1; k <= 5; ++k) {
        records.setCell(k, 3, QStringLiteral("书%1").arg(k));
        records.setCell(k, 16, k == 1 ? "ExceedFine" : "Lend"); // only row 1 decides
    }
    ReportArray grid;
    int rows = -1;
    QString error;
    int dateReads = 0; // one server round trip for the batch, not one per slip
    slipSources().serverDate = [&dateReads] {
        ++dateReads;
        return QStringLiteral("2024-05-06");
    };
    ASSERT_TRUE(subBuildSlips(records, 2, &grid, &rows, &error)) << error;
    EXPECT_EQ(dateReads, 1);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(grid.lastRow(), 5);
    EXPECT_TRUE(grid.cell(1, 2).contains("书2"));
    EXPECT_TRUE(grid.cell(3, 1).contains("书5"));
    EXPECT_TRUE(grid.cell(3, 1).contains("超期罚款"));
    EXPECT_TRUE(grid.cell(3, 2).isEmpty());
    ASSERT_TRUE(subBuildSlips(records, 1, &grid, &rows, &error));
    EXPECT_EQ(rows, 5);
    EXPECT_TRUE(grid.cell(5, 1).contains("书5"));

    ReportArray titlesOnly;
    titlesOnly.setCell(0, 3, "题名");
    ASSERT_TRUE(subBuildSlips(titlesOnly, 1, &grid, &rows, &error));
    EXPECT_EQ(rows, 0);

    ReportArray rebuilt; // record 3 shorter than the rest
    for (int k = 1; k <= 5; ++k)
        for (int c = 0; c <= (k == 3 ? 5 : 16); ++c)
            rebuilt.setCell(k, c, records.cell(k, c));
    EXPECT_FALSE(subBuildSlips(rebuilt, 1, &grid, &rows, &error));
    EXPECT_TRUE(error.contains("第 3 条记录只有 5 列")) << error;
    EXPECT_EQ(rows, 0);
}

} // namespace
