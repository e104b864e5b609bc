#include "common/basMarc.h"

#include "common/basDB.h"
#include "platform/text/CodePage.h"

#include <cmath>

MarcRecord g_recMarc;

namespace {

QString fixedWidth(const QString& s, int n)
{
    return s.size() >= n ? s.left(n) : s + QString(n - s.size(), u' ');
}

// Value of an all-digit byte field; -1 when a byte is not a digit.
long digitsValue(const QByteArray& text, qsizetype from, qsizetype n)
{
    long v = 0;
    for (qsizetype i = from; i < from + n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// (base - 25) / 12 to the nearest whole number, halves to the even number.
long directoryCount(long base)
{
    return static_cast<long>(std::nearbyint((base - 25) / 12.0));
}

void clearText(MarcRecord& rec)
{
    rec.leader.clear();
    rec.count = 0;
    rec.directory.clear();
    rec.data.clear();
}

int fail(MarcRecord& rec, const QString& why)
{
    clearText(rec);
    rec.error = why;
    return -1;
}

// Marks, for every byte of `text`, whether a character starts there; false
// when the bytes are not GBK (a lone lead byte, a bad trail byte, 0xFF, or a
// byte pair GBK does not assign). `bad` receives the offset of the first bad byte.
bool scanGbk(const QByteArray& text, QVector<bool>& starts, qsizetype& bad)
{
    const qsizetype n = text.size();
    starts.fill(false, n + 1);
    starts[n] = true;
    qsizetype questionMarks = 0;
    bool wide = false;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        starts[i] = true;
        if (b == '?')
            ++questionMarks;
        if (b < 0x80)
            continue;
        wide = true;
        if (b == 0x80)
            continue; // the single-byte euro sign of the code page
        if (b == 0xFF || i + 1 >= n) {
            bad = i;
            return false;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) {
            bad = i;
            return false;
        }
        ++i;
    }
    if (!wide)
        return true;
    // Structurally sound; a pair that the code page leaves unassigned decodes
    // to "?", so more "?" than "?" bytes means such a pair.
    const QString decoded = text::fromGbk(text);
    if (decoded.count(u'?') != questionMarks) {
        bad = 0;
        for (qsizetype i = 0; i + 1 < n; ++i) {
            if (starts[i] && static_cast<unsigned char>(text[i]) >= 0x81
                && text::fromGbk(QByteArrayView(text).sliced(i, 2)) == QStringLiteral("?")) {
                bad = i;
                break;
            }
        }
        return false;
    }
    return true;
}

} // namespace

// ---- parsing ------------------------------------------------------------------

int intParseMarcText(const QByteArray& text, MarcRecord& rec)
{
    rec.error.clear();
    const qsizetype total = text.size();
    if (total < 25)
        return fail(rec, QStringLiteral("MARC记录不完整：只有%1字节，不足头标加记录结束符的长度。").arg(total));
    if (text[total - 1] != MARC_RECORD_END)
        return fail(rec, QStringLiteral("MARC记录缺少记录结束符。"));
    for (qsizetype i = 0; i < 24; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return fail(rec, QStringLiteral("MARC记录头标含有非ASCII字符。"));
    }
    const long recLen = digitsValue(text, 0, 5);
    if (recLen < 0)
        return fail(rec, QStringLiteral("MARC记录头标中的记录长度不是数字。"));
    if (recLen != total)
        return fail(rec, QStringLiteral("MARC记录头标中的记录长度(%1)与实际长度(%2字节)不符。").arg(recLen).arg(total));
    const long base = digitsValue(text, 12, 5);
    if (base < 0)
        return fail(rec, QStringLiteral("MARC记录头标中的数据基地址不是数字。"));
    if (base < 25 || base >= total)
        return fail(rec, QStringLiteral("MARC记录头标中的数据基地址(%1)超出记录范围。").arg(base));
    const long count = directoryCount(base);
    if (24 + 12 * count > base)
        return fail(rec, QStringLiteral("MARC记录的目录(%1项)与数据基地址(%2)重叠。").arg(count).arg(base));
    for (qsizetype i = 24; i < 24 + 12 * count; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return fail(rec, QStringLiteral("MARC记录目录含有非ASCII字符。"));
    }
    QVector<bool> starts;
    qsizetype bad = 0;
    if (!scanGbk(text, starts, bad))
        return fail(rec, QStringLiteral("MARC记录含有不是GBK编码的字节(第%1字节)。").arg(bad + 1));

    const qsizetype dataLen = total - base;
    QVector<MarcDirEntry> dir(count + 1);
    for (long i = 0; i < count; ++i) {
        const qsizetype at = 24 + 12 * i;
        MarcDirEntry& e = dir[i];
        e.tag = QString::fromLatin1(text.constData() + at, 3);
        e.length = digitsValue(text, at + 3, 4);
        e.start = digitsValue(text, at + 7, 5);
        if (e.length < 0 || e.start < 0)
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)的长度或起始位置不是数字。").arg(i + 1).arg(e.tag));
        if (e.length < 1 || e.start + e.length > dataLen)
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)指向记录之外。").arg(i + 1).arg(e.tag));
        if (!starts[base + e.start] || !starts[base + e.start + e.length - 1])
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)的位置落在双字节字符中间。").arg(i + 1).arg(e.tag));
    }
    rec.leader = QString::fromLatin1(text.constData(), 24);
    rec.count = static_cast<int>(count);
    rec.directory = std::move(dir);
    rec.data = text.mid(base);
    return 0;
}

// ---- reading from the database -------------------------------------------------

MarcRecord strReadMarc(const QString& no)
{
    MarcRecord rec;
    DBResultSet head;
    g_strSQL = QStringLiteral(" SELECT marc_type, doc_type_code, lang_code, country_code, marc_use_flag, "
                              "cata_oper, cata_date ")
        + QStringLiteral(" FROM marc WHERE marc_rec_no=") + strSQLQuote(no);
    if (LIB_DB_Select(g_strSQL, head) != 0)
        return rec;

    // The query result drops trailing blanks of a text; the lengths put them
    // back, so a piece that ends in a blank (an indicator) stays whole.
    DBResultSet rows;
    g_strSQL = QStringLiteral("SELECT marc01, length(marc01), marc02, length(marc02), marc03, length(marc03) "
                              "FROM marc_data WHERE marc_rec_no=")
        + strSQLQuote(no) + QStringLiteral(" ORDER BY data_serial");
    if (LIB_DB_Select(g_strSQL, rows) != 0)
        return rec;
    QString text;
    for (int r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < 6; c += 2) {
            QString piece = rows.text(r, c);
            const int len = static_cast<int>(rows.number(r, c + 1));
            if (len > piece.size())
                piece += QString(len - piece.size(), u' ');
            text += piece;
        }
    }
    if (!text.endsWith(QChar(MARC_RECORD_END)))
        text += QChar(MARC_RECORD_END);

    rec.marc_rec_no = no;
    auto headText = [&](int c) { return head.rowCount() > 0 ? head.text(0, c) : QString(); };
    rec.marc_type = fixedWidth(headText(0), 1);
    rec.doc_type_code = fixedWidth(headText(1), 2);
    rec.lang_code = fixedWidth(headText(2), 3);
    rec.country_code = fixedWidth(headText(3), 2);
    rec.marc_use_flag = fixedWidth(headText(4), 1);
    rec.cata_oper = fixedWidth(headText(5), 4);
    rec.cata_date = fixedWidth(headText(6), 10);

    if (rows.rowCount() == 0) {
        MarcRecord empty;
        empty.marc_rec_no = no;
        empty.error = QStringLiteral("MARC记录[%1]没有记录数据。").arg(no);
        return empty;
    }
    if (intParseMarcText(text::toGbk(text), rec) != 0) {
        MarcRecord bad;
        bad.marc_rec_no = no;
        bad.error = rec.error;
        return bad;
    }
    return rec;
}

// ---- schema probes ---------------------------------------------------------------

namespace {

// Declared length of a character column, 0 when it has none; -1 (with the
// pending error set by the query) when the catalogue could not be asked.
int declaredLength(const QString& table, const QString& column)
{
    DBResultSet rs;
    g_strSQL = QStringLiteral("select character_maximum_length from information_schema.columns "
                              "where table_schema = current_schema() and table_name = ")
        + strSQLQuote(table) + QStringLiteral(" and column_name = ") + strSQLQuote(column);
    if (LIB_DB_Select(g_strSQL, rs) != 0)
        return -1;
    return rs.rowCount() > 0 ? static_cast<int>(rs.number(0, 0)) : 0;
}

// Runs the probe's own statement, so a missing table or column fails the probe.
bool probeStatement(const QString& sql, DBResultSet& rs)
{
    g_strSQL = sql;
    return LIB_DB_Select(g_strSQL, rs) == 0;
}

int g_probeFailed = 0;

} // namespace

bool blnProbeMarcDataWide()
{
    DBResultSet rs;
    if (!probeStatement(QStringLiteral("select marc03 from marc_data limit 1"), rs)) {
        g_probeFailed = 1;
        return false;
    }
    const int size = declaredLength(QStringLiteral("marc_data"), QStringLiteral("marc03"));
    if (size < 0)
        g_probeFailed = 1;
    return size > 2000;
}

int intProbeIdxContLen()
{
    DBResultSet rs;
    if (!probeStatement(QStringLiteral("select marc_idx_cont from marc_idx limit 1"), rs)) {
        g_probeFailed = 1;
        return 30;
    }
    const int size = declaredLength(QStringLiteral("marc_idx"), QStringLiteral("marc_idx_cont"));
    if (size < 0)
        g_probeFailed = 1;
    const bool wide = g_intMarc03 != 0;
    return ((size > 30 && !wide) || (size > 60 && wide)) ? 60 : 30;
}

bool blnProbeClassSerial()
{
    DBResultSet rs;
    if (!probeStatement(QStringLiteral("select * from max_class_serial limit 1"), rs)) {
        g_probeFailed = 1;
        return false;
    }
    return rs.fieldCount() > 5;
}

int intRunMarcSchemaProbes()
{
    g_probeFailed = 0;
    g_intMarc03 = blnProbeMarcDataWide() ? -1 : 0;
    if (g_probeFailed)
        return -1;
    g_intIdxContLen = intProbeIdxContLen();
    if (g_probeFailed)
        return -1;
    g_intClassSerialCols = blnProbeClassSerial() ? -1 : 0;
    return g_probeFailed ? -1 : 0;
}

// ---- queries ----------------------------------------------------------------------

int intDBSelectDump(const QString& sql, DBResultSet& result)
{
    DBResultSet rs;
    if (LIB_DB_Select(sql, rs) != 0)
        return -1;
    if (g_intMarc03) {
        for (int r = 0; r < rs.rowCount(); ++r) {
            for (int c = 0; c < rs.fieldCount(); ++c) {
                if (rs.fieldType(c) != 10)
                    continue;
                const QString v = rs.text(r, c);
                if (v.startsWith(QStringLiteral("Typ=")) || v == QStringLiteral("NULL"))
                    rs.setCell(c, 2 + r, strDumpToText(v));
            }
        }
    }
    result = rs;
    return 0;
}

QString strMarcSelectToDump(const QString& sql)
{
    static const char* const kSummary[] = {"M_CALL_NO", "M_TITLE", "M_AUTHOR", "M_PUBLISHER", "M_PUB_YEAR",
                                           "M_ISBN", "M_CLASSNO", "M_HEADING", "M_SEE", "M_SEEALSO"};
    QString s = sql;
    s.replace(QStringLiteral("select"), QStringLiteral("SELECT"));
    s.replace(QStringLiteral("distinct"), QStringLiteral("DISTINCT"));
    s.replace(QStringLiteral("from"), QStringLiteral("FROM"));
    const qsizetype sel = s.indexOf(QStringLiteral("SELECT"));
    const QString r = sel < 0 ? s : s.mid(sel + 6);
    QString head = QStringLiteral("SELECT ");
    if (r.contains(QStringLiteral("DISTINCT")))
        head = QStringLiteral("SELECT  DISTINCT ");
    const qsizetype from = r.indexOf(QStringLiteral("FROM"));
    QString list = from < 0 ? r : r.left(from);
    const QString tail = from < 0 ? QString() : r.mid(from + 4);
    list.replace(QStringLiteral("DISTINCT"), QStringLiteral(" "));
    for (const QString& raw : list.split(u',')) {
        QString item = raw.trimmed().toUpper();
        if (item.isEmpty())
            break;
        for (const char* name : kSummary) {
            if (item.contains(QLatin1String(name))) {
                item = QStringLiteral(" dump(") + item + QStringLiteral(",16) ");
                break;
            }
        }
        head += item + u',';
    }
    if (head.endsWith(u','))
        head.chop(1);
    return head + QStringLiteral(" FROM ") + tail;
}

int intDBSelectMarc(QString& sql, DBResultSet& result)
{
    if (g_intMarc03)
        sql = strMarcSelectToDump(sql);
    return intDBSelectDump(sql, result);
}

QString strDumpToText(const QString& dump)
{
    if (dump.isEmpty() || dump == QStringLiteral("NULL"))
        return {};
    const qsizetype colon = dump.indexOf(u':');
    const QString rest = (colon < 0 ? dump : dump.mid(colon + 1)).trimmed();
    QVector<int> bytes;
    for (const QString& item : rest.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int b = item.trimmed().toInt(&ok, 16);
        if (ok)
            bytes.append(b & 0xFF);
    }
    QString out;
    out.reserve(bytes.size() / 2 + 1);
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const int hi = bytes[i];
        const int lo = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        out.append(QChar(static_cast<char16_t>(hi * 256 + lo)));
    }
    return out;
}

QString strMidBytes(const QString& text, long start, int length)
{
    if (text.isEmpty())
        return {};
    if (start < 1)
        start = 1;
    // c: characters touched by the first start - 1 bytes; n: decoded units of
    // bytes start .. start + length - 1 (a cut character counts once).
    const qsizetype skip = start - 1;
    const qsizetype end = length < 0 ? -1 : skip + length;
    qsizetype c = 0;
    qsizetype n = 0;
    qsizetype byte = 0;
    bool cutAtStart = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int w = text::gbkCharBytes(text, i);
        if (w == 0)
            continue;
        if (byte < skip) {
            c = i + 1;
            if (c < text.size() && text::gbkCharBytes(text, c) == 0)
                ++c; // the second unit of a pair
            if (byte + w > skip)
                cutAtStart = true;
        } else if (end >= 0 && byte < end) {
            ++n;
        }
        byte += w;
    }
    if (length < 0)
        return text.mid(c);
    if (cutAtStart && length > 0)
        ++n;
    return text.mid(c, n);
}
