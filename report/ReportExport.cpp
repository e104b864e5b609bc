#include "report/ReportExport.h"

#include "platform/text/CodePage.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cctype>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace report {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QStringList rowTexts(const ReportGrid& grd, int row, const QList<int>& cols) {
    QStringList out;
    for (int c : cols)
        out << grd.textMatrix(row, c);
    return out;
}

// Columns 1.. that the grid shows.
QList<int> exportedCols(const ReportGrid& grd) {
    QList<int> out;
    for (int c = 1; c < grd.cols(); ++c)
        if (!grd.colHidden(c)) out << c;
    return out;
}

// XML 1.0 holds neither most control characters nor lone surrogates.
QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += ch;
            out += text[++i];
            continue;
        }
        const char16_t u = ch.unicode();
        const bool bad = (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || ch.isSurrogate() ||
                         u == 0xFFFE || u == 0xFFFF;
        out += bad ? QChar(0xFFFD) : ch;
    }
    return out;
}

// Character data with every carriage return as a character reference: a
// reader turns a raw CR LF (or a lone CR) into LF.
void writeText(QXmlStreamWriter& w, const QString& text) {
    qsizetype from = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', from)) {
        w.writeCharacters(text.mid(from, cr - from));
        w.writeEntityReference(QStringLiteral("#13"));
        from = cr + 1;
    }
    w.writeCharacters(text.mid(from));
}

QString sqlName(const QString& name) {
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

QString sqliteError(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}
} // namespace

QString ReportTexts::infoText() const {
    QStringList five;
    for (int i = 0; i < 5; ++i)
        five << info.value(i);
    return five.join(u' ');
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        if (error) *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

QByteArray textExport(const ReportGrid& grd, const ReportTexts& texts) {
    const QString rule(81, u'=');
    const QList<int> cols = exportedCols(grd);
    QStringList lines{texts.title, rule};
    for (int i = 0; i < 5; ++i)
        lines << texts.info.value(i);
    lines << rule << rowTexts(grd, 0, cols).join(u'|');
    for (int r = grd.fixedRows(); r < grd.rows(); ++r)
        lines << rowTexts(grd, r, cols).join(u'|');
    return text::toGb18030(lines.join(kCrLf) + kCrLf);
}

QString htmlEscape(const QString& text) {
    QString out = text.toHtmlEscaped();
    out.replace(u'\'', QStringLiteral("&#39;"));
    return out;
}

QByteArray htmlExport(const ReportGrid& grd, const ReportTexts& texts) {
    static const char* const head[] = {
        "<html><head>",
        " <meta http-equiv=Content-Type content='text/html; charset=gb18030'>",
        " <link href='style.css' rel='stylesheet' type='text/css'><STYLE>",
        " a,a:link  { font-family: 'Tahoma', 'Verdana', 'Arial'; color: gray; text-decoration: none; }",
        " a:visited { font-family: 'Tahoma', 'Verdana', 'Arial'; color: gray; text-decoration: none; }",
        " a:active  { font-family: 'Tahoma', 'Verdana', 'Arial'; color: black; text-decoration: none; }",
        " a:hover   { font-family: 'Tahoma', 'Verdana', 'Arial'; color: black; text-decoration: none; }",
        " body,td,select,input,div,form,textarea,center,option,pre,br {",
        " Font -family: 'Tahoma', 'Verdana', 'Arial'; font-size: ",
        "9pt",
        "; color: black; }",
        " body      { margin-top: 2px; margin-right: 2px; margin-bottom: 2px; margin-left: 2px;",
        " scrollbar-face-color: white;scrollbar-shadow-color: gainsboro;",
        " scrollbar-darkshadow-color: whitesmoke;scrollbar-highlight-color: gainsboro;",
        " scrollbar-3dlight-color: whitesmoke;scrollbar-track-color: white;",
        " scrollbar-arrow-color: gainsboro;overflow: auto; }",
        " .button   { font-family: 'Tahoma', 'Verdana', 'Arial'; background-color: white; height: 20px;",
        " border-width: 1px; border-style: solid; border-color: black; }",
        " .input    { font-family: 'Tahoma', 'Verdana', 'Arial'; background-color: white;",
        " border-width: 1px; border-style: solid; border-color: black; }  }",
        " .c1 {background: #e8f0ff;}",
        " .c2 {background: #e8f0ff;}",
        " .c3 {background: #e8f0ff;}",
        " </STYLE><title></title></head><body>",
    };
    QString doc;
    for (const char* piece : head)
        doc += QLatin1String(piece);
    doc += QStringLiteral("<div align='center'><p><width='20' height='23'> <strong><font size='5'>") +
           htmlEscape(texts.title) + QStringLiteral("</font></strong></p></div>");
    doc += QStringLiteral("<div align='center'><p><width='20' height='23'> <font size='3.5'>") +
           htmlEscape(texts.infoText()) + QStringLiteral("</font></p></div>");
    doc += QStringLiteral("<table width='100%' border='1' cellpadding='0' cellspacing='2'>");
    const QList<int> cols = exportedCols(grd);
    const auto row = [&](int r) {
        doc += QStringLiteral(" <tr> ");
        for (int c : cols)
            doc += QStringLiteral("<td class='c2'>") + htmlEscape(grd.textMatrix(r, c)) +
                   QStringLiteral("</td>");
        doc += QStringLiteral("</tr>");
    };
    row(0);
    for (int r = grd.fixedRows(); r < grd.rows(); ++r)
        row(r);
    doc += QStringLiteral("</table><br></body></html>") + kCrLf;
    return text::toGb18030(doc);
}

QByteArray xmlExport(const ReportGrid& grd) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("aa"));
    const QList<int> cols = exportedCols(grd);
    for (int r = grd.fixedRows(); r < grd.rows(); ++r) {
        w.writeStartElement(QStringLiteral("bb"));
        for (int c : cols) {
            w.writeStartElement(QStringLiteral("col"));
            w.writeAttribute(QStringLiteral("title"), xmlSafe(grd.textMatrix(0, c)));
            writeText(w, xmlSafe(grd.textMatrix(r, c)));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

// ---- columns ---------------------------------------------------------------

bool gatherExportColumns(const ReportGrid& grd, QList<ExportColumn>* out) {
    out->clear();
    for (int c : exportedCols(grd)) {
        if (out->size() >= kMaxExportColumns) return false;
        ExportColumn e;
        e.strName = grd.textMatrix(0, c);
        e.intCol = c;
        out->append(e);
    }
    return true;
}

QStringList distinctFieldNames(const QList<ExportColumn>& cols) {
    QStringList names;
    QSet<QString> taken;
    for (int i = 0; i < cols.size(); ++i) {
        QString base = cols[i].strName.trimmed();
        if (base.isEmpty()) base = QStringLiteral("COL%1").arg(i + 1);
        QString name = base;
        for (int k = 2; taken.contains(name.toUpper()); ++k)
            name = QStringLiteral("%1_%2").arg(base).arg(k);
        taken.insert(name.toUpper());
        names << name;
    }
    return names;
}

QString normalTableName(const QString& typed) {
    return typed.trimmed().toUpper();
}

QString tableNameProblem(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar ch = name[i];
        if (ch.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x7F || ch.isSurrogate() || ch.isNonCharacter())
            return QStringLiteral("表名含有数据库文件不能接受的字符（控制字符或无效字符），请重新输入。");
    }
    if (name.startsWith(QLatin1String("SQLITE_"), Qt::CaseInsensitive))
        return QStringLiteral("以“SQLITE_”开头的表名由数据库文件保留，请重新输入。");
    return QString();
}

QString replaceProblem(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists()) return QString();
    if (fi.isDir()) return QStringLiteral("同名的文件夹已经存在");
    // The owner's write permission is the file's read-only mark (it holds for
    // the administrator too, whom the system lets write anyway).
    if (!fi.isWritable() || !(fi.permissions() & QFileDevice::WriteOwner))
        return QStringLiteral("文件为只读");
    return QString();
}

// ---- SQLite ----------------------------------------------------------------

SqliteFile::~SqliteFile() {
    close();
}

void SqliteFile::close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

bool SqliteFile::exec(const QString& sql, QString* error) {
    char* msg = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &msg) == SQLITE_OK) return true;
    if (error) *error = msg ? QString::fromUtf8(msg) : sqliteError(db_);
    sqlite3_free(msg);
    return false;
}

bool SqliteFile::open(const QString& path, QString* error) {
    close();
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        if (error) *error = sqliteError(db_);
        close();
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    // Reading the schema is what tells a database from any other file.
    if (!exec(QStringLiteral("select count(*) from sqlite_master"), error)) {
        close();
        return false;
    }
    return true;
}

QStringList SqliteFile::tables(QString* error) const {
    QStringList out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(
            db_,
            "select name from sqlite_master where type = 'table' and name not like 'sqlite\\_%' "
            "escape '\\' order by rowid",
            -1, &st, nullptr) != SQLITE_OK) {
        if (error) *error = sqliteError(db_);
        return out;
    }
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

bool SqliteFile::hasTable(const QString& name) const {
    for (const QString& t : tables())
        if (t.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool SqliteFile::createTable(const QString& name, const QList<ExportColumn>& cols, QString* error) {
    if (cols.isEmpty()) {
        if (error) *error = QStringLiteral("没有可导出的列");
        return false;
    }
    QStringList fields;
    for (const QString& f : distinctFieldNames(cols))
        fields << sqlName(f) + QStringLiteral(" TEXT");
    return exec(QStringLiteral("create table %1 (%2)").arg(sqlName(name), fields.join(QStringLiteral(", "))),
                error);
}

bool SqliteFile::insertRows(const QString& table, const QList<ExportColumn>& cols, const ReportGrid& grd,
                            int firstRow, bool create, const std::function<void(int, int)>& progress,
                            QString* error) {
    const QStringList names = distinctFieldNames(cols);
    if (!exec(QStringLiteral("begin immediate"), error)) return false;
    const int total = std::max(0, grd.rows() - firstRow);
    bool ok = !create || createTable(table, cols, error);
    for (int r = firstRow; ok && r < grd.rows(); ++r) {
        QStringList fields, values;
        for (int i = 0; i < cols.size(); ++i) {
            const QString v = grd.textMatrix(r, cols[i].intCol);
            if (v.isEmpty()) continue;
            fields << sqlName(names[i]);
            values << v;
        }
        if (!fields.isEmpty()) {
            const QString sql = QStringLiteral("insert into %1 (%2) values (%3)")
                                    .arg(sqlName(table), fields.join(u','),
                                         QStringList(values.size(), QStringLiteral("?")).join(u','));
            sqlite3_stmt* st = nullptr;
            ok = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK;
            for (int i = 0; ok && i < values.size(); ++i) {
                const QByteArray v = values[i].toUtf8();
                ok =
                    sqlite3_bind_text(st, i + 1, v.constData(), int(v.size()), SQLITE_TRANSIENT) == SQLITE_OK;
            }
            if (ok) ok = sqlite3_step(st) == SQLITE_DONE;
            if (!ok && error) *error = sqliteError(db_);
            sqlite3_finalize(st);
        }
        if (ok && progress) progress(r - firstRow + 1, total);
    }
    if (!ok) {
        exec(QStringLiteral("rollback"), nullptr);
        return false;
    }
    return exec(QStringLiteral("commit"), error);
}

// ---- Excel -----------------------------------------------------------------

namespace {
// Whether "_xHHHH_" (H a hexadecimal digit) starts at `at`: a reader of the
// workbook decodes that form to the character HHHH.
bool escapeLikeAt(const QString& text, qsizetype at) {
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_') return false;
    for (qsizetype i = at + 2; i < at + 6; ++i)
        if (!std::isxdigit(text[i].unicode() < 0x80 ? int(text[i].unicode()) : 0)) return false;
    return true;
}

// A text as a workbook cell holds it: the underscore of every "_xHHHH_"
// escaped, and at most kMaxCellText UTF-16 units as stored (a character pair
// is never split). `cut` is set when the text was longer.
QString workbookText(const QString& text, bool* cut) {
    static const QString escapedUnderscore = QStringLiteral("_x005F");
    QString out;
    qsizetype shown = 0; // units of the text taken
    qsizetype written = 0; // units sent to the writer
    *cut = false;
    while (shown < text.size()) {
        const bool pair = text[shown].isHighSurrogate() && shown + 1 < text.size() &&
                          text[shown + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const bool escape = escapeLikeAt(text, shown);
        const qsizetype cost = units + (escape ? escapedUnderscore.size() : 0);
        if (written + cost > kMaxCellText) {
            *cut = true;
            break;
        }
        if (escape) out += escapedUnderscore;
        out += text.mid(shown, units);
        shown += units;
        written += cost;
    }
    return out;
}
} // namespace

bool writeXlsx(const QString& path, const ReportGrid& grd, const ReportTexts& texts, QString* error,
               QList<int>* cutRows) {
    if (cutRows) cutRows->clear();
    // The workbook is made aside and then saved over the target in one step.
    QTemporaryDir aside;
    if (!aside.isValid()) {
        if (error) *error = aside.errorString();
        return false;
    }
    const QString made = aside.filePath(QStringLiteral("export.xlsx"));
    lxw_workbook* wb = workbook_new(QFile::encodeName(made).constData());
    if (!wb) {
        if (error) *error = QStringLiteral("无法创建工作簿");
        return false;
    }
    lxw_worksheet* ws = workbook_add_worksheet(wb, "ExportData");
    lxw_error failure = LXW_NO_ERROR;
    const auto put = [&](int row, int col, const QString& text, int gridRow) {
        if (text.isEmpty() || failure != LXW_NO_ERROR) return;
        bool cut = false;
        const QString cell = workbookText(text, &cut);
        if (cut && cutRows && (cutRows->isEmpty() || cutRows->last() != gridRow)) cutRows->append(gridRow);
        failure =
            worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), cell.toUtf8().constData(), nullptr);
    };
    put(0, 0, texts.title, kTitleRow);
    put(1, 0, texts.infoText(), kInfoRow);
    const auto row = [&](int sheetRow, int gridRow) {
        for (int c = 1; c < grd.cols(); ++c)
            if (!grd.colHidden(c)) put(sheetRow, c - 1, grd.textMatrix(gridRow, c), gridRow);
    };
    row(2, 0);
    for (int r = grd.fixedRows(); r < grd.rows(); ++r)
        row(r + 1, r);
    const lxw_error closed = workbook_close(wb);
    if (failure == LXW_NO_ERROR) failure = closed;
    if (failure != LXW_NO_ERROR) {
        if (error) *error = QString::fromUtf8(lxw_strerror(failure));
        return false;
    }
    QFile book(made);
    if (!book.open(QIODevice::ReadOnly)) {
        if (error) *error = book.errorString();
        return false;
    }
    return writeWholeFile(path, book.readAll(), error);
}

} // namespace report
