// The grid's exports as files: text and HTML bytes, XML read back with QtXml,
// the SQLite file read with the sqlite3 API, the workbook with libzip.
#include "platform/text/CodePage.h"
#include "report/ReportArray.h"
#include "report/ReportExport.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/FileBytes.h"

#include <QDomDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <zip.h>

#include <gtest/gtest.h>

using namespace report;

namespace {

const QString kNasty = QStringLiteral("<b>&'\"|x\r\ny\U0001F600");

// Five records of the 5-column list; column 2 (财产号) hidden; one cell with
// markup, quotes, "|", CR LF and a character outside GBK.
ReportGrid sample(int records = 3) {
    reportshapes::fill(reportshapes::shapes().at(6), records);
    ReportGrid g;
    initRawGrid(g, g_varPrtData, g_lngPrtRows, g_lngPrtCols, 1);
    g.setColHidden(2, true);
    if (records > 0) g.setTextMatrix(2, 3, kNasty);
    return g;
}

ReportTexts texts() {
    return {QStringLiteral("委托验收清单"),
            {QStringLiteral("起止日期"), QString(), QStringLiteral("馆藏"), "", "总计"}};
}

QByteArray zipEntry(const QString& path, const char* name) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!z) return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) == 0) {
        zip_file_t* f = zip_fopen(z, name, 0);
        out.resize(qsizetype(st.size));
        zip_fread(f, out.data(), st.size);
        zip_fclose(f);
    }
    zip_close(z);
    return out;
}

// A shared string as a workbook reader shows it: every "_xHHHH_" is the
// character HHHH.
QString readerText(const QString& stored) {
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(stored); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += stored.mid(from, m.capturedStart() - from);
        out += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        from = m.capturedEnd();
    }
    return out + stored.mid(from);
}

// The cells of a workbook's sheet by reference ("A1"), as a reader shows them.
QMap<QString, QString> workbookCells(const QString& path) {
    QDomDocument shared, sheet;
    EXPECT_TRUE(shared.setContent(zipEntry(path, "xl/sharedStrings.xml")));
    EXPECT_TRUE(sheet.setContent(zipEntry(path, "xl/worksheets/sheet1.xml")));
    QStringList strings;
    const QDomNodeList si = shared.elementsByTagName("si");
    for (int i = 0; i < si.size(); ++i)
        strings << readerText(si.at(i).toElement().text());
    QMap<QString, QString> cells;
    const QDomNodeList cs = sheet.elementsByTagName("c");
    for (int i = 0; i < cs.size(); ++i)
        cells[cs.at(i).toElement().attribute("r")] = strings.value(cs.at(i).toElement().text().toInt());
    return cells;
}

} // namespace

TEST(ReportExport, TextFileBytes) {
    const ReportGrid g = sample(2);
    const QString rule(81, u'=');
    const QString expected = "委托验收清单\r\n" + rule + "\r\n起止日期\r\n\r\n馆藏\r\n\r\n总计\r\n" + rule +
                             "\r\n索书号|题名|责任者|出版社\r\n索书号1|" + kNasty + "|责任者1|出版社1\r\n" +
                             "索书号2|题名2|责任者2|出版社2\r\n";
    EXPECT_EQ(textExport(g, texts()), text::toGb18030(expected));
    // Without data rows: nine lines.
    EXPECT_EQ(textExport(sample(0), texts()).count("\r\n"), 9);
}

TEST(ReportExport, HtmlEscapesEveryTextAndDeclaresItsCodePage) {
    ReportTexts t = texts();
    t.title = "<script>";
    const QByteArray bytes = htmlExport(sample(2), t);
    const QString doc = text::fromGb18030(bytes);
    EXPECT_TRUE(
        doc.startsWith("<html><head> <meta http-equiv=Content-Type content='text/html; charset=gb18030'>"));
    EXPECT_TRUE(bytes.endsWith("</table><br></body></html>\r\n"));
    EXPECT_FALSE(doc.contains("<script>"));
    EXPECT_TRUE(doc.contains("&lt;script&gt;"));
    EXPECT_TRUE(doc.contains("<font size='3.5'>起止日期  馆藏  总计</font>"));
    EXPECT_EQ(doc.count("<tr>"), 3);
    EXPECT_FALSE(doc.contains("财产号"));
    // Read back as a browser would: the cell shows its text.
    QDomDocument dom;
    QString table = doc.mid(doc.indexOf("<table"));
    table = table.left(table.indexOf("</table>") + 8);
    ASSERT_TRUE(dom.setContent(table));
    const QDomNodeList cells = dom.elementsByTagName("td");
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells.at(5).toElement().text(), QString(kNasty).replace("\r\n", "\n"));
    EXPECT_EQ(cells.at(0).toElement().text(), "索书号");
}

TEST(ReportExport, XmlHoldsOneRecordPerRowAndPassesXmllint) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.xml");
    ReportGrid g = sample(3);
    g.setTextMatrix(3, 1, QString("bell") + QChar(7));
    QString error;
    ASSERT_TRUE(writeWholeFile(path, xmlExport(g), &error)) << error.toStdString();
    const QByteArray bytes = xmlExport(g);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    if (!QStandardPaths::findExecutable("xmllint").isEmpty()) {
        QProcess lint;
        lint.start("xmllint", {"--noout", path});
        ASSERT_TRUE(lint.waitForFinished());
        EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
    }
    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(bytes));
    EXPECT_EQ(dom.documentElement().tagName(), "aa");
    const QDomNodeList records = dom.documentElement().elementsByTagName("bb");
    ASSERT_EQ(records.size(), 3);
    const QDomNodeList first = records.at(0).toElement().elementsByTagName("col");
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(first.at(1).toElement().attribute("title"), "题名");
    EXPECT_EQ(first.at(1).toElement().text(), kNasty);
    EXPECT_EQ(records.at(1).toElement().elementsByTagName("col").at(0).toElement().text(), "bell\uFFFD");
    EXPECT_EQ(xmlExport(sample(0)).count("<bb"), 0);
}

TEST(ReportExport, SqliteTableGetsOneTextFieldPerColumnInOneTransaction) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.sqlite");
    ReportGrid g = sample(3);
    g.setTextMatrix(0, 4, "题名"); // a repeated title
    g.setTextMatrix(0, 5, "");     // an empty one
    g.setTextMatrix(4, 4, "");     // an empty cell stays NULL
    QList<ExportColumn> cols;
    ASSERT_TRUE(gatherExportColumns(g, &cols));
    EXPECT_EQ(distinctFieldNames(cols), (QStringList{"索书号", "题名", "题名_2", "COL4"}));
    EXPECT_EQ(normalTableName("  booklist "), "BOOKLIST");
    EXPECT_EQ(normalTableName("   "), "");

    SqliteFile f;
    QString error;
    ASSERT_TRUE(f.open(path, &error)) << error.toStdString();
    int calls = 0, lastTotal = 0;
    const auto progress = [&](int, int total) {
        ++calls;
        lastTotal = total;
    };
    ASSERT_TRUE(f.insertRows("BOOK\"LIST", cols, g, 2, true, progress, &error)) << error.toStdString();
    EXPECT_EQ(f.tables(), QStringList{"BOOK\"LIST"});
    EXPECT_EQ(lastTotal, 3);
    EXPECT_EQ(calls, 3);
    f.close();

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(
                  db, "select \"题名\", \"题名_2\", typeof(\"题名_2\") from \"BOOK\"\"LIST\" order by rowid",
                  -1, &st, nullptr),
              SQLITE_OK);
    QStringList got;
    while (sqlite3_step(st) == SQLITE_ROW)
        got << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) + "," +
                   QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_EQ(got, (QStringList{kNasty + ",text", "题名2,text", "题名3,null"}));

    // An existing table lacking a field: nothing of the rows stays.
    ASSERT_TRUE(f.open(path, &error));
    QList<ExportColumn> other = cols;
    other[0].strName = "NOPE";
    EXPECT_FALSE(f.insertRows("BOOK\"LIST", other, g, 2, false, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    // A new table of an existing name: refused, nothing added.
    EXPECT_FALSE(f.insertRows("book\"list", cols, g, 2, true, {}, &error));
    EXPECT_EQ(f.tables(), QStringList{"BOOK\"LIST"});
    f.close();

    // A file that is no database.
    const QString text = dir.filePath("plain.txt");
    ASSERT_TRUE(writeWholeFile(text, "just text, not a database at all", &error));
    EXPECT_FALSE(f.open(text, &error));
}

TEST(ReportExport, WorkbookHoldsTitleInformationTitlesAndRowsAsStrings) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.xlsx");
    QString error;
    ASSERT_TRUE(writeXlsx(path, sample(2), texts(), &error)) << error.toStdString();
    QDomDocument wb, shared, sheet;
    ASSERT_TRUE(wb.setContent(zipEntry(path, "xl/workbook.xml")));
    EXPECT_EQ(wb.elementsByTagName("sheet").at(0).toElement().attribute("name"), "ExportData");
    ASSERT_TRUE(shared.setContent(zipEntry(path, "xl/sharedStrings.xml")));
    ASSERT_TRUE(sheet.setContent(zipEntry(path, "xl/worksheets/sheet1.xml")));
    QStringList strings;
    const QDomNodeList si = shared.elementsByTagName("si");
    for (int i = 0; i < si.size(); ++i)
        strings << si.at(i).toElement().text();
    QMap<QString, QString> cells;
    const QDomNodeList cs = sheet.elementsByTagName("c");
    for (int i = 0; i < cs.size(); ++i) {
        const QDomElement c = cs.at(i).toElement();
        EXPECT_EQ(c.attribute("t"), "s");
        cells[c.attribute("r")] = strings.value(c.text().toInt());
    }
    EXPECT_EQ(cells["A1"], "委托验收清单");
    EXPECT_EQ(cells["A2"], "起止日期  馆藏  总计");
    EXPECT_EQ(cells["A3"], "索书号");
    EXPECT_FALSE(cells.contains("B3")); // the hidden column keeps its place, empty
    EXPECT_EQ(cells["C3"], "题名");
    EXPECT_EQ(cells["C4"].replace("_x000D_", "\r"), kNasty);
    EXPECT_EQ(cells["E5"], "出版社2");
    EXPECT_EQ(cells.size(), 2 + 4 + 2 * 4);

    // An unwritable place leaves no file.
    EXPECT_FALSE(writeXlsx(dir.filePath("no/such/r.xlsx"), sample(1), texts(), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ReportExportFidelity, XmlAndWorkbookGiveBackCarriageReturnsAndEscapeLikeTexts) {
    QTemporaryDir dir;
    ReportGrid g = sample(4);
    const QStringList typed = {QStringLiteral("a\r\nb\r\n"), QStringLiteral("c\rd"), QStringLiteral("_x0041_ and _x000D_"),
                               QStringLiteral("_X0041_ _x41_ _x004G_")};
    for (int i = 0; i < typed.size(); ++i)
        g.setTextMatrix(2 + i, 3, typed[i]);

    QDomDocument dom;
    ASSERT_TRUE(dom.setContent(xmlExport(g)));
    const QDomNodeList records = dom.documentElement().elementsByTagName("bb");
    ASSERT_EQ(records.size(), 4);
    for (int i = 0; i < typed.size(); ++i)
        EXPECT_EQ(records.at(i).toElement().elementsByTagName("col").at(1).toElement().text(), typed[i]) << i;

    const QString path = dir.filePath("r.xlsx");
    QString error;
    QList<int> cut;
    ASSERT_TRUE(writeXlsx(path, g, texts(), &error, &cut)) << error.toStdString();
    EXPECT_TRUE(cut.isEmpty());
    const QMap<QString, QString> cells = workbookCells(path);
    for (int i = 0; i < typed.size(); ++i)
        EXPECT_EQ(cells.value(QStringLiteral("C%1").arg(4 + i)), typed[i]) << i;
}

TEST(ReportExportFidelity, WorkbookCutsTooLongCellsAndNamesTheirRows) {
    QTemporaryDir dir;
    ReportGrid g = sample(4);
    const QString smile = QStringLiteral("\U0001F600");
    g.setTextMatrix(2, 1, QString(kMaxCellText, u'书'));           // fits exactly
    g.setTextMatrix(3, 3, QString(kMaxCellText + 1, u'x'));        // one too many
    g.setTextMatrix(3, 4, QString(40000, u'y'));                   // the same row again
    g.setTextMatrix(5, 4, QString(kMaxCellText - 1, u'z') + smile); // a pair across the limit
    g.setTextMatrix(4, 2, QString(50000, u'h'));                   // hidden: not written
    ReportTexts t = texts();
    // Fits as typed, but its escaped underscore takes room of the cell's text.
    t.title = QString(kMaxCellText - 7, u't') + QStringLiteral("_x0041_");
    const QString path = dir.filePath("long.xlsx");
    QString error;
    QList<int> cut;
    ASSERT_TRUE(writeXlsx(path, g, t, &error, &cut)) << error.toStdString();
    EXPECT_EQ(cut, (QList<int>{kTitleRow, 3, 5}));
    const QMap<QString, QString> cells = workbookCells(path);
    EXPECT_EQ(cells.value("A1"), QString(kMaxCellText - 7, u't') + "_");
    EXPECT_EQ(cells.value("A4"), QString(kMaxCellText, u'书'));
    EXPECT_EQ(cells.value("C5"), QString(kMaxCellText, u'x'));
    EXPECT_EQ(cells.value("D5"), QString(kMaxCellText, u'y'));
    EXPECT_EQ(cells.value("D7"), QString(kMaxCellText - 1, u'z'));
}

TEST(ReportExportFidelity, WorkbookSavedInOneStepKeepsTheOldFileOnFailure) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.xlsx");
    testsupport::writeBytes(path, "old workbook");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QString error;
    ASSERT_TRUE(writeXlsx(path, sample(1), texts(), &error)) << error.toStdString();
    EXPECT_TRUE(testsupport::readBytes(path).startsWith("PK"));
    // The replaced file keeps its permissions, and nothing is left beside it.
    EXPECT_EQ(QFileInfo(path).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.xlsx"});
}

TEST(ReportExportFidelity, TargetsAndTableNamesTheFileCannotTake) {
    QTemporaryDir dir;
    const QString free = dir.filePath("free.txt"), plain = dir.filePath("plain.txt"),
                  locked = dir.filePath("locked.txt");
    testsupport::writeBytes(plain, "x");
    testsupport::writeBytes(locked, "x");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(replaceProblem(free), "");
    EXPECT_EQ(replaceProblem(plain), "");
    EXPECT_EQ(replaceProblem(locked), "文件为只读");
    EXPECT_EQ(replaceProblem(dir.path()), "同名的文件夹已经存在");

    struct Case {
        QString name;
        bool taken;
    } cases[] = {{"BOOKLIST", true},
                 {"书目 2024", true},
                 {"BOOK\"LIST", true},
                 {QStringLiteral("A") + QChar(0) + "B", false},
                 {"A\tB", false},
                 {QStringLiteral("A") + QChar(0x7F), false},
                 {QStringLiteral("A") + QChar(0xD800) + "B", false},
                 {QStringLiteral("A") + QChar(0xFFFF), false},
                 {"A\U0001F600", true},
                 {"SQLITE_MASTER2", false},
                 {"SQLITEX", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(tableNameProblem(c.name).isEmpty(), c.taken) << c.name.toStdString();
        if (!c.taken) continue;
        SqliteFile f;
        QString error;
        ASSERT_TRUE(f.open(dir.filePath("names.sqlite"), &error));
        ExportColumn col;
        col.strName = QStringLiteral("题名");
        col.intCol = 1;
        EXPECT_TRUE(f.createTable(c.name, {col}, &error)) << c.name.toStdString() << error.toStdString();
        EXPECT_TRUE(f.hasTable(c.name));
    }
}
