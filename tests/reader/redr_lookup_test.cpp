// Reader quick look-ups, the reader search query and the card-reading rule
// editing, without windows.

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "platform/text/IniFile.h"
#include "reader/ReaderContext.h"
#include "reader/basBarRuleEdit.h"
#include "reader/basLTMore.h"
#include "reader/basRedrSearch.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>

namespace {

struct FakeHost : RedrInfoHost {
    void frmRedrInfoSet(const QString& certId, const QString& barcode) override {
        calls << QStringLiteral("set:%1:%2").arg(certId, barcode);
    }
    void cmdRedrQuery_Click() override { calls << QStringLiteral("search:%1").arg(g_intAutoQuery); }
    QStringList calls;
};

QStringList seek(int field, const QString& text) {
    QStringList ids;
    EXPECT_EQ(intSeekRedr(field, text, &ids), 0) << text.toStdString();
    ids.sort();
    return ids;
}

} // namespace

TEST_F(RedrInfoTest, QuickLookUpsMatchTypedTextLiterally) {
    struct Case {
        int field;
        const char* text;
        QStringList ids;
    };
    const Case cases[] = {
        {SeekByBarcode, "8800002", {"DZ0020"}},  // three cards of one reader: one row
        {SeekByBarcode, "88000022", {"DZ0020"}}, // a cancelled card still finds its reader
        {SeekByBarcode, "88_", {"DZ0024"}},      // "_" matches itself, not any character
        {SeekByBarcode, "%", {}},
        {SeekByBarcode, "88\\", {}},
        {SeekByCertId, "dz002", {"DZ0020", "DZ0021", "DZ0022", "DZ0023", "DZ0024"}},
        {SeekByCertId, "DZ0010", {}}, // a reader without a card
        {SeekByIdCard, "p123", {"DZ0024"}},
        {SeekByName, "孙页", {"DZ0020", "DZ0021", "DZ0022", "DZ0023"}},
        {SeekByName, "O'BRIEN_", {"DZ0024"}},
        {SeekByName, "O'BRIENX", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(seek(c.field, QString::fromUtf8(c.text)), c.ids) << c.text;

    FakeHost host;
    g_intAutoQuery = 0;
    subSeekRedrByBarcode("8800002", &host);
    subSeekRedrByName(S("孙页"), &host);
    EXPECT_EQ(host.calls, (QStringList{"set:DZ0020:DZ0020", "search:1"}));
    subSeekRedrByBarcode("ZZZ", &host);
    subSeekRedrByCertId("ZZZ", &host);
    subSeekRedrByIdCard("ZZZ", &host);
    subSeekRedrByName("ZZZ", &host);
    EXPECT_EQ(shownTexts(), (QStringList{S("没有找到该条码号的读者证！"), S("该读者证不存在！"),
                                         S("没有找到符合条件的读者！"), S("没有找到符合条件的读者！")}));
    EXPECT_EQ(host.calls.size(), 2);
    g_intAutoQuery = 0;
}

TEST_F(RedrInfoTest, SearchQueryByCriteriaAndRanges) {
    auto run = [](const RedrSearchInput& in) {
        QString sql, message;
        EXPECT_EQ(intBuildRedrSearch(in, &sql, &message), 0) << message.toStdString();
        DBResultSet rs;
        EXPECT_EQ(LIB_DB_Select(sql, rs), 0) << sql.toStdString();
        QStringList listed;
        for (int r : arrFirstCardRows(rs))
            listed << rs.text(r, 2) + QLatin1Char('/') + rs.text(r, 1) + QLatin1Char('/') +
                          strCertStateText(rs.text(r, 11));
        return listed;
    };
    RedrSearchInput name;
    name.cells[3] = S("孙页");
    EXPECT_EQ(run(name), (QStringList{S("DZ0020/88000021/挂失"), S("DZ0021/88000031/有效"),
                                      S("DZ0022/88000032/有效"), S("DZ0023/88000033/停借")}));
    name.matchMode = 1;
    EXPECT_EQ(run(name), QStringList{});
    name.cells[3] = S("孙页面");
    EXPECT_EQ(run(name).size(), 1);

    // Lists: a reader type and a department by their position; "[不定]" adds nothing.
    RedrSearchInput lists;
    lists.cells[1] = "DZ002";
    lists.typeIndex = g_varRedrType.rowCount();
    lists.depIndex = g_varDepartment.rowCount();
    EXPECT_EQ(run(lists).size(), 5);
    for (int i = 0; i < g_varRedrType.rowCount(); ++i)
        if (g_varRedrType.text(i, 0) == "T2") lists.typeIndex = i;
    EXPECT_EQ(run(lists), QStringList{S("DZ0022/88000032/有效")});
    lists.typeIndex = -1;
    for (int i = 0; i < g_varDepartment.rowCount(); ++i)
        if (g_varDepartment.text(i, 0) == "D02") lists.depIndex = i;
    EXPECT_EQ(run(lists).size(), 2);

    RedrSearchInput quote;
    quote.cells[3] = "O'BRIEN_";
    EXPECT_EQ(run(quote), QStringList{S("DZ0024/88_00024/有效")});

    // No criterion: every reader with a card and a known type.
    const int everyone =
        db().scalar(
                "select count(distinct r.cert_id) from reader r join reader_cert c on c.cert_id = r.cert_id "
                "join reader_type t on t.redr_type_code = r.redr_type_code")
            .toInt();
    EXPECT_EQ(run(RedrSearchInput{}).size(), everyone);

    RedrSearchInput range;
    range.option = 1;
    range.from = "88000020";
    range.to = "88000022";
    EXPECT_EQ(run(range), QStringList{S("DZ0020/88000021/挂失")});
    range.option = 2;
    range.from = "DZ0022";
    range.to = "DZ0021";
    EXPECT_EQ(run(range), QStringList{});
    range.option = 4;
    range.fromDate = day(-400);
    range.toDate = day(-400);
    const QStringList registered = run(range);
    EXPECT_TRUE(registered.contains(S("DZ0024/88_00024/有效")));
    EXPECT_EQ(registered.size(),
              db().scalar("select count(distinct r.cert_id) from reader r join reader_cert c "
                          "on c.cert_id = r.cert_id where r.redr_reg_day = '" +
                          day(-400) + "'")
                  .toInt());

    struct Bad {
        int option;
        const char* from;
        const char* to;
        const char* message;
    };
    const Bad bad[] = {{1, "88000020", "  ", "条码号或者证件号空间不许为空!"},
                       {2, "", "DZ0020", "条码号或者证件号空间不许为空!"},
                       {3, "2008-02-30", "2008-03-01", "时间输入错误!"},
                       {4, "2008-01-01", "2008-03-", "时间输入错误!"}};
    for (const Bad& b : bad) {
        RedrSearchInput in;
        in.option = b.option;
        in.from = in.fromDate = QString::fromLatin1(b.from);
        in.to = in.toDate = QString::fromLatin1(b.to);
        QString sql, message;
        EXPECT_EQ(intBuildRedrSearch(in, &sql, &message), -1);
        EXPECT_EQ(message, S(b.message));
        EXPECT_TRUE(sql.isEmpty());
    }
    EXPECT_EQ(strCertFlagOfText(S("停借")), "1");
    EXPECT_EQ(strCertFlagOfText(S("挂失")), "2");
    EXPECT_EQ(strCertFlagOfText(S("注销")), "0");
}

TEST_F(RedrInfoTest, CardRuleSegmentsAreEditedStoredAndReloaded) {
    QStringList lines;
    QString message;
    EXPECT_EQ(intAddBarRuleLine(&lines, " 3 ", "8", &message), 1);
    EXPECT_EQ(intAddBarRuleLine(&lines, "12", "4", &message), 1);
    EXPECT_EQ(intAddBarRuleLine(&lines, "", "4", &message), 0);
    EXPECT_EQ(intAddBarRuleLine(&lines, "5", " ", &message), 0);
    EXPECT_EQ(intAddBarRuleLine(&lines, "0", "4", &message), -1);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(intAddBarRuleLine(&lines, "2", "0", &message), -1);
    EXPECT_EQ(lines, (QStringList{"01        3             8", "02        12            4"}));

    QStringList full;
    for (int i = 0; i < kMaxBarRuleSegments; ++i)
        ASSERT_EQ(intAddBarRuleLine(&full, "1", "1", &message), 1);
    message.clear();
    EXPECT_EQ(intAddBarRuleLine(&full, "1", "1", &message), -1);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(full.size(), kMaxBarRuleSegments);

    QStringList three = lines;
    intAddBarRuleLine(&three, "20", "2", &message);
    subDeleteBarRuleLine(&three, 0);
    EXPECT_EQ(three, (QStringList{"01        12            4", "02        20            2"}));

    // Stored: the file, then the settings, then the rule in memory.
    ASSERT_EQ(intSaveBarReadRule(true, true, lines, &message), 0);
    EXPECT_EQ(testsupport::readBytes(strBarReadRuleFile()), QByteArray("3,8\r\n12,4\r\n"));
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Type", ""), "True");
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Used", ""), "1");
    EXPECT_TRUE(g_blnBarRuleByPos);
    EXPECT_EQ(g_intBarRuleUsed, 1);
    EXPECT_EQ(arrBarRuleLines(), lines);
    EXPECT_EQ(strApplyBarReadRule("AB12345678CDEFGH"), "12345678DEFG");

    ASSERT_EQ(intSaveBarReadRule(false, false, {}, &message), 0);
    EXPECT_EQ(testsupport::readBytes(strBarReadRuleFile()), QByteArray());
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Type", ""), "False");
    EXPECT_FALSE(g_blnBarRuleByPos);
    EXPECT_TRUE(arrBarRuleLines().isEmpty());

    // A file that cannot be written: a message, and nothing stored.
    QFile::remove(strBarReadRuleFile());
    ASSERT_TRUE(QDir().mkpath(strBarReadRuleFile()));
    message.clear();
    EXPECT_EQ(intSaveBarReadRule(true, true, lines, &message), -1);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(text::getSetting("LT", "BarReadRule", "Type", ""), "False");
    EXPECT_FALSE(g_blnBarRuleByPos);
    QDir(strBarReadRuleFile()).removeRecursively();
}
