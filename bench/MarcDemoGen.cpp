#include "bench/MarcDemoGen.h"

#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "platform/text/CodePage.h"

#include <QStringList>

namespace marcdemo {

QString sf(char code, const QString& value)
{
    return QString(QChar(MARC_SUBFIELD_MARK)) + QChar::fromLatin1(code) + value;
}

QString embedded(const QString& tag, const QString& ind, const QString& subfields)
{
    return QString(QChar(MARC_SUBFIELD_MARK)) + QStringLiteral("1") + tag + ind + subfields;
}

MarcBuilder& MarcBuilder::control(const QString& tag, const QString& value)
{
    fields_.append({tag, value});
    return *this;
}

MarcBuilder& MarcBuilder::data(const QString& tag, const QString& ind, const QString& subfields)
{
    fields_.append({tag, ind + subfields});
    return *this;
}

QString MarcBuilder::text() const
{
    QString dir;
    QString body;
    qsizetype at = 0;
    for (const Field& f : fields_) {
        const QString content = f.body + QChar(MARC_FIELD_END);
        const qsizetype len = text::gbkLength(content);
        dir += f.tag + QStringLiteral("%1").arg(len, 4, 10, QChar(u'0'))
            + QStringLiteral("%1").arg(at, 5, 10, QChar(u'0'));
        body += content;
        at += len;
    }
    dir += QChar(MARC_FIELD_END);
    const qsizetype base = 24 + text::gbkLength(dir);
    const qsizetype total = base + at + 1;
    const QString leader = QStringLiteral("%1nam  22%2   450 ")
                               .arg(total, 5, 10, QChar(u'0'))
                               .arg(base, 5, 10, QChar(u'0'));
    return leader + dir + body + QChar(MARC_RECORD_END);
}

QByteArray MarcBuilder::gbk() const
{
    return text::toGbk(text());
}

namespace {

QString isbn13(const QString& twelve)
{
    int s = 0;
    for (int i = 0; i < 12; ++i)
        s += (twelve[i].unicode() - u'0') * (i % 2 ? 3 : 1);
    return twelve + QString::number((10 - s % 10) % 10);
}

struct CnTitle {
    QString no, title, otherTitle, partNo, partName, edition, place, publisher, year, isbn12, classNo, callNo,
        extent, summary;
    QStringList authors;  // 701 fields (repeated)
    QStringList subjects; // 606 fields (repeated)
    QString series;       // 461 embedded 200
    int pieceChars = 2000;
};

QString cnRecord(const CnTitle& s)
{
    MarcBuilder b;
    b.control(QStringLiteral("001"), s.no);
    b.control(QStringLiteral("005"), QStringLiteral("20240105093000.0"));
    b.data(QStringLiteral("010"), QStringLiteral("  "), sf('a', isbn13(s.isbn12)) + sf('d', QStringLiteral("CNY45.00")));
    b.data(QStringLiteral("100"), QStringLiteral("  "), sf('a', QStringLiteral("20240105d") + s.year + QStringLiteral("    em y0chiy0110    ea")));
    b.data(QStringLiteral("101"), QStringLiteral("0 "), sf('a', QStringLiteral("chi")));
    QString t = sf('a', s.title);
    if (!s.otherTitle.isEmpty())
        t += sf('e', s.otherTitle);
    if (!s.partNo.isEmpty())
        t += sf('h', s.partNo);
    if (!s.partName.isEmpty())
        t += sf('i', s.partName);
    if (!s.authors.isEmpty())
        t += sf('f', s.authors.join(QStringLiteral("，")));
    b.data(QStringLiteral("200"), QStringLiteral("1 "), t);
    if (!s.edition.isEmpty())
        b.data(QStringLiteral("205"), QStringLiteral("  "), sf('a', s.edition));
    b.data(QStringLiteral("210"), QStringLiteral("  "), sf('a', s.place) + sf('c', s.publisher) + sf('d', s.year));
    b.data(QStringLiteral("215"), QStringLiteral("  "), sf('a', s.extent) + sf('d', QStringLiteral("26cm")));
    if (!s.summary.isEmpty())
        b.data(QStringLiteral("330"), QStringLiteral("  "), sf('a', s.summary));
    if (!s.series.isEmpty())
        b.data(QStringLiteral("461"), QStringLiteral(" 0"),
               embedded(QStringLiteral("200"), QStringLiteral("1 "), sf('a', s.series) + sf('v', QStringLiteral("3"))));
    for (const QString& subject : s.subjects)
        b.data(QStringLiteral("606"), QStringLiteral("0 "), sf('a', subject) + sf('x', QStringLiteral("研究")));
    b.data(QStringLiteral("690"), QStringLiteral("  "), sf('a', s.classNo) + sf('v', QStringLiteral("5")));
    for (const QString& a : s.authors)
        b.data(QStringLiteral("701"), QStringLiteral(" 0"), sf('a', a) + sf('4', QStringLiteral("著")));
    b.data(QStringLiteral("801"), QStringLiteral(" 0"), sf('a', QStringLiteral("CN")) + sf('b', QStringLiteral("DEMO")) + sf('c', QStringLiteral("20240105")));
    b.data(QStringLiteral("905"), QStringLiteral("  "), sf('a', QStringLiteral("DEMO")) + sf('d', s.callNo.section(u'/', 0, 0)) + sf('e', s.callNo.section(u'/', 1)));
    return b.text();
}

struct UsTitle {
    QString no, title, remainder, statement, place, publisher, year, isbn13, lcClass, callNo, extent;
    QStringList authors; // 100 then 700 (repeated)
};

QString usRecord(const UsTitle& s)
{
    MarcBuilder b;
    b.control(QStringLiteral("001"), s.no);
    b.control(QStringLiteral("008"), QStringLiteral("240105s") + s.year + QStringLiteral("    nyu           000 0 eng d"));
    b.data(QStringLiteral("020"), QStringLiteral("  "), sf('a', s.isbn13));
    b.data(QStringLiteral("050"), QStringLiteral("00"), sf('a', s.lcClass));
    if (!s.authors.isEmpty())
        b.data(QStringLiteral("100"), QStringLiteral("1 "), sf('a', s.authors.first()));
    QString t = sf('a', s.title);
    if (!s.remainder.isEmpty())
        t += sf('b', s.remainder);
    t += sf('c', s.statement);
    b.data(QStringLiteral("245"), QStringLiteral("14"), t);
    b.data(QStringLiteral("260"), QStringLiteral("  "), sf('a', s.place) + sf('b', s.publisher) + sf('c', s.year));
    b.data(QStringLiteral("300"), QStringLiteral("  "), sf('a', s.extent));
    for (qsizetype i = 1; i < s.authors.size(); ++i)
        b.data(QStringLiteral("700"), QStringLiteral("1 "), sf('a', s.authors[i]));
    b.data(QStringLiteral("905"), QStringLiteral("  "), sf('a', QStringLiteral("DEMO")) + sf('d', s.callNo.section(u'/', 0, 0)) + sf('e', s.callNo.section(u'/', 1)));
    return b.text();
}

QString longSummary()
{
    // About 2,500 characters, so the record spans several pieces.
    const QString sentence = QStringLiteral("本书系统介绍了图书馆藏书建设、分类编目、流通服务与读者工作的基本理论和方法，"
                                            "并结合馆际委托借阅的实际案例加以说明。");
    QString s;
    while (s.size() < 2500)
        s += sentence;
    return s;
}

} // namespace

QVector<DemoTitle> demoTitles()
{
    QVector<DemoTitle> out;
    auto addCn = [&](const CnTitle& s) {
        out.append({s.no, QStringLiteral("C"), QStringLiteral("CHI"), QStringLiteral("CN"), QStringLiteral("01"), s.callNo,
                    s.pieceChars, cnRecord(s)});
    };
    auto addUs = [&](const UsTitle& s) {
        out.append({s.no, QStringLiteral("U"), QStringLiteral("ENG"), QStringLiteral("US"), QStringLiteral("01"), s.callNo,
                    2000, usRecord(s)});
    };
    {
        CnTitle s;
        s.no = QStringLiteral("0000000001");
        s.title = QStringLiteral("数据结构与算法");
        s.otherTitle = QStringLiteral("C语言描述");
        s.authors = {QStringLiteral("王明"), QStringLiteral("李华")};
        s.edition = QStringLiteral("第2版");
        s.place = QStringLiteral("北京");
        s.publisher = QStringLiteral("华文出版社");
        s.year = QStringLiteral("2019");
        s.isbn12 = QStringLiteral("978750412345");
        s.classNo = QStringLiteral("TP311.12");
        s.callNo = QStringLiteral("TP311.12/W23");
        s.extent = QStringLiteral("356页");
        s.subjects = {QStringLiteral("数据结构"), QStringLiteral("算法分析")};
        addCn(s);
    }
    {
        CnTitle s;
        s.no = QStringLiteral("0000000002");
        s.title = QStringLiteral("中国古代史纲要");
        s.partNo = QStringLiteral("上册");
        s.partName = QStringLiteral("先秦至隋唐");
        s.authors = {QStringLiteral("陈远"), QStringLiteral("周文涛"), QStringLiteral("赵静")};
        s.place = QStringLiteral("上海");
        s.publisher = QStringLiteral("东方书局");
        s.year = QStringLiteral("2015");
        s.isbn12 = QStringLiteral("978720806543");
        s.classNo = QStringLiteral("K220");
        s.callNo = QStringLiteral("K220/C41");
        s.extent = QStringLiteral("512页");
        s.subjects = {QStringLiteral("中国历史"), QStringLiteral("古代史")};
        s.series = QStringLiteral("中华文史丛书");
        addCn(s);
    }
    {
        CnTitle s;
        s.no = QStringLiteral("0000000003");
        s.title = QStringLiteral("图书馆学概论");
        s.authors = {QStringLiteral("刘芳")};
        s.place = QStringLiteral("武汉");
        s.publisher = QStringLiteral("长江文献出版社");
        s.year = QStringLiteral("2021");
        s.isbn12 = QStringLiteral("978730712890");
        s.classNo = QStringLiteral("G250");
        s.callNo = QStringLiteral("G250/L78");
        s.extent = QStringLiteral("298页");
        s.subjects = {QStringLiteral("图书馆学")};
        s.summary = longSummary();
        s.pieceChars = 500; // stored over two rows of marc_data
        addCn(s);
    }
    {
        CnTitle s;
        s.no = QStringLiteral("0000000004");
        s.title = QStringLiteral("计算机网络");
        s.otherTitle = QStringLiteral("原理与实践");
        s.authors = {QStringLiteral("孙立群"), QStringLiteral("吴敏")};
        s.edition = QStringLiteral("第3版");
        s.place = QStringLiteral("北京");
        s.publisher = QStringLiteral("华文出版社");
        s.year = QStringLiteral("2020");
        s.isbn12 = QStringLiteral("978750418765");
        s.classNo = QStringLiteral("TP393");
        s.callNo = QStringLiteral("TP393/S91");
        s.extent = QStringLiteral("420页");
        s.subjects = {QStringLiteral("计算机网络")};
        addCn(s);
    }
    {
        CnTitle s;
        s.no = QStringLiteral("0000000005");
        s.title = QStringLiteral("现代汉语常用词典");
        s.authors = {QStringLiteral("语言研究所词典编辑室")};
        s.place = QStringLiteral("北京");
        s.publisher = QStringLiteral("文华书局");
        s.year = QStringLiteral("2016");
        s.isbn12 = QStringLiteral("978710003456");
        s.classNo = QStringLiteral("H164");
        s.callNo = QStringLiteral("H164/Y92");
        s.extent = QStringLiteral("1800页");
        s.subjects = {QStringLiteral("汉语"), QStringLiteral("词典")};
        addCn(s);
    }
    {
        CnTitle s;
        s.no = QStringLiteral("0000000006");
        s.title = QStringLiteral("植物学基础");
        s.authors = {QStringLiteral("郑春华")};
        s.place = QStringLiteral("广州");
        s.publisher = QStringLiteral("南方科技出版社");
        s.year = QStringLiteral("2018");
        s.isbn12 = QStringLiteral("979123456789"); // a 979 number: no ten-digit form
        s.classNo = QStringLiteral("Q94");
        s.callNo = QStringLiteral("Q94/Z53");
        s.extent = QStringLiteral("260页");
        s.subjects = {QStringLiteral("植物学")};
        s.series = QStringLiteral("自然科学基础丛书");
        addCn(s);
    }
    {
        UsTitle s;
        s.no = QStringLiteral("0000000007");
        s.title = QStringLiteral("The art of small programs");
        s.remainder = QStringLiteral("a practical guide");
        s.statement = QStringLiteral("by John Carter and Mary Lee.");
        s.authors = {QStringLiteral("Carter, John"), QStringLiteral("Lee, Mary")};
        s.place = QStringLiteral("New York");
        s.publisher = QStringLiteral("Harbor Press");
        s.year = QStringLiteral("2017");
        s.isbn13 = isbn13(QStringLiteral("978013110362"));
        s.lcClass = QStringLiteral("QA76.6");
        s.callNo = QStringLiteral("QA76.6/C37");
        s.extent = QStringLiteral("xii, 310 p.");
        addUs(s);
    }
    {
        UsTitle s;
        s.no = QStringLiteral("0000000008");
        s.title = QStringLiteral("Reading in a second language");
        s.statement = QStringLiteral("edited by Anna Brown.");
        s.authors = {QStringLiteral("Brown, Anna")};
        s.place = QStringLiteral("London");
        s.publisher = QStringLiteral("Riverside Books");
        s.year = QStringLiteral("2014");
        s.isbn13 = isbn13(QStringLiteral("978052165432"));
        s.lcClass = QStringLiteral("PE1128");
        s.callNo = QStringLiteral("H319.4/B87");
        s.extent = QStringLiteral("248 p.");
        addUs(s);
    }
    return out;
}

void loadSeedParameters()
{
    g_arrStopword[0] = QStringLiteral("THE,A,AN,OF,AND");
    g_arrStopword[1] = QStringLiteral("<<,>>");
    g_arrStopword[2] = QStringLiteral("-:;,.!?\"()[]");
    g_arrStopword[3] = QStringLiteral("·—《》“”：，。");
    g_arrTitleFieldCn = {QStringLiteral("200a"), QStringLiteral("200e"), QStringLiteral("200h"), QStringLiteral("200i"), QString()};
    g_arrTitleFieldUs = {QStringLiteral("245a"), QStringLiteral("245b"), QString()};
    // Use type 1 rows, formats 0 and 1, as the seed has them.
    const char* cn[] = {"001", "200a", "701a,702a,711a,200f", "010a", "205a", "225a,4611200a",
                        "690a", "210a", "210c", "210d", "215a"};
    const char* us[] = {"001", "245a", "100a,700a,245c", "020a", "250a", "490a",
                        "050a", "260a", "260b", "260c", "300a"};
    g_arrIdxParaUse1 = QVector<std::array<IdxParaEntry, 4>>(11);
    for (int r = 0; r < 11; ++r) {
        const QString grp = QStringLiteral("%1").arg(r, 2, 10, QChar(u'0'));
        g_arrIdxParaUse1[r][0] = {grp, QString::fromLatin1(cn[r]), QString(), 0};
        g_arrIdxParaUse1[r][1] = {grp, QString::fromLatin1(us[r]), QString(), 0};
    }
    // Use type 0, CNMARC: only the title group "02" takes stop-word normalisation.
    g_arrIdxParaUse0 = QVector<std::array<IdxParaEntry, 4>>(11);
    const char* groups[] = {"02", "03", "04", "05", "06", "07", "09"};
    for (int r = 0; r < 7; ++r)
        g_arrIdxParaUse0[r][0] = {QString::fromLatin1(groups[r]), QString(), QString(), r == 0 ? 1 : 0};
    g_intIdxParaMax = 11;
    // marc_idx.marc_idx_cont is declared varchar(60).
    g_intIdxContLen = 60;
}

QString prepareKey(const QString& group, const QString& value)
{
    return strPrepareIdxKey(group, value);
}

QVector<QPair<QString, QString>> indexKeys(const DemoTitle& t)
{
    MarcRecord rec;
    rec.marc_type = t.marcType;
    intParseMarcText(text::toGbk(t.text), rec);
    const bool cn = t.marcType == QStringLiteral("C");
    QVector<QPair<QString, QString>> keys;
    auto all = [&](const QString& group, const QString& item) {
        subResetMarcPos();
        for (;;) {
            const QString v = strGetMarcSubfield(rec, item);
            if (v.isEmpty())
                break;
            const QString k = prepareKey(group, v);
            if (!k.isEmpty() && !keys.contains({group, k}))
                keys.append({group, k});
        }
    };
    if (cn) {
        all(QStringLiteral("02"), QStringLiteral("200a"));
        all(QStringLiteral("03"), QStringLiteral("701a"));
        all(QStringLiteral("05"), QStringLiteral("010a"));
        all(QStringLiteral("07"), QStringLiteral("606a"));
        all(QStringLiteral("09"), QStringLiteral("210c"));
    } else {
        all(QStringLiteral("02"), QStringLiteral("245a"));
        all(QStringLiteral("03"), QStringLiteral("100a"));
        all(QStringLiteral("03"), QStringLiteral("700a"));
        all(QStringLiteral("05"), QStringLiteral("020a"));
        all(QStringLiteral("09"), QStringLiteral("260b"));
    }
    return keys;
}

namespace {

QString q(const QString& s)
{
    if (s.isNull())
        return QStringLiteral("null");
    // Control characters of the record go through chr() so the file stays
    // plain text; no part is an empty literal.
    QStringList parts;
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            parts.append(u'\'' + QString(run).replace(u'\'', QStringLiteral("''")) + u'\'');
        run.clear();
    };
    for (const QChar c : s) {
        if (c.unicode() < 32) {
            flush();
            parts.append(QStringLiteral("chr(%1)").arg(c.unicode()));
        } else {
            run += c;
        }
    }
    flush();
    return parts.isEmpty() ? QStringLiteral("''") : parts.join(QStringLiteral(" || "));
}

} // namespace

QString demoSql()
{
    loadSeedParameters();
    QString sql = QStringLiteral(
        "-- Demo MARC records: header and summary columns, the record text in pieces,\n"
        "-- and the search keys. Generated from bench/MarcDemoGen.cpp; do not edit by hand.\n"
        "-- Regenerate from the repository root with:\n"
        "--   cmake --build <build dir> --target marc_demo_sql && <build dir>/bench/marc_demo_sql db/demo/20_marc.sql\n\n");
    for (const DemoTitle& t : demoTitles()) {
        MarcRecord rec;
        rec.marc_type = t.marcType;
        intParseMarcText(text::toGbk(t.text), rec);
        const bool cn = t.marcType == QStringLiteral("C");
        auto item = [&](const QString& list) { return strGetMarcItemList(rec, list); };
        const QString title = strGetMarcTitle(rec, 0);
        const QString author = strGetMarcTitle(rec, 1);
        const QString publisher = strGetMarcTitle(rec, 3);
        const QString year = item(cn ? QStringLiteral("210d") : QStringLiteral("260c"));
        const QString isbn = item(cn ? QStringLiteral("010a") : QStringLiteral("020a"));
        const QString cls = item(cn ? QStringLiteral("690a") : QStringLiteral("050a"));
        sql += QStringLiteral("insert into marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, "
                              "marc_use_flag, cata_oper, cata_date, m_call_no, m_title, m_author, m_publisher, "
                              "m_pub_year, m_isbn, m_classno) values\n    (%1, %2, %3, %4, %5, '1', 'SUPR', '2024-01-05', "
                              "%6, %7, %8, %9, %10, %11, %12);\n")
                   .arg(q(t.no), q(t.marcType), q(t.docType), q(t.lang), q(t.country), q(t.callNo), q(title),
                        q(author), q(publisher))
                   .arg(q(year), q(isbn), q(cls));
        // Pieces of t.pieceChars characters: three columns per row.
        QStringList pieces;
        for (qsizetype at = 0; at < t.text.size(); at += t.pieceChars)
            pieces.append(t.text.mid(at, t.pieceChars));
        for (qsizetype r = 0; r * 3 < pieces.size(); ++r) {
            QStringList cols;
            for (int c = 0; c < 3; ++c) {
                const qsizetype k = r * 3 + c;
                cols.append(k < pieces.size() ? q(pieces[k]) : QStringLiteral("null"));
            }
            sql += QStringLiteral("insert into marc_data (marc_rec_no, data_serial, marc01, marc02, marc03) values\n"
                                  "    (%1, %2, %3, %4, %5);\n")
                       .arg(q(t.no))
                       .arg(r + 1)
                       .arg(cols[0], cols[1], cols[2]);
        }
        const auto keys = indexKeys(t);
        if (!keys.isEmpty()) {
            sql += QStringLiteral("insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont) values\n");
            QStringList rows;
            for (const auto& k : keys)
                rows.append(QStringLiteral("    (%1, %2, %3)").arg(q(t.no), q(k.first), q(k.second)));
            sql += rows.join(QStringLiteral(",\n")) + QStringLiteral(";\n");
        }
        sql += u'\n';
    }
    return sql;
}

QByteArray randomRecord(std::mt19937& rng)
{
    static const QString hanzi = QStringLiteral("数据结构算法中国古代史图书馆学概论计算机网络现代汉语词典植物基础研究方法理论实践教程文学艺术");
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto words = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i) {
            if (pick(0, 4) == 0)
                s += QChar(u'A' + pick(0, 25));
            else
                s += hanzi[pick(0, static_cast<int>(hanzi.size()) - 1)];
        }
        return s;
    };
    MarcBuilder b;
    b.control(QStringLiteral("001"), QString::number(pick(1, 99999999)));
    b.control(QStringLiteral("005"), QStringLiteral("20240105093000.0"));
    b.data(QStringLiteral("010"), QStringLiteral("  "), sf('a', QStringLiteral("978") + QString::number(pick(100000000, 999999999)) + QStringLiteral("0")));
    const int titles = pick(1, 2);
    for (int i = 0; i < titles; ++i)
        b.data(QStringLiteral("200"), QStringLiteral("1 "), sf('a', words(pick(3, 12))) + sf('e', words(pick(2, 8))) + sf('f', words(3)));
    b.data(QStringLiteral("210"), QStringLiteral("  "), sf('a', words(2)) + sf('c', words(5)) + sf('d', QString::number(pick(1950, 2024))));
    const int n = pick(5, 25);
    for (int i = 0; i < n; ++i) {
        const int tag = 300 + pick(0, 400);
        b.data(QString::number(tag), QStringLiteral("  "), sf('a', words(pick(1, 30))) + sf('b', words(pick(0, 5))));
    }
    const int authors = pick(1, 3);
    for (int i = 0; i < authors; ++i)
        b.data(QStringLiteral("701"), QStringLiteral(" 0"), sf('a', words(3)) + sf('4', QStringLiteral("著")));
    return b.gbk();
}

} // namespace marcdemo
