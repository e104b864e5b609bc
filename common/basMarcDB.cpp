// Reading records and the schema probes: the database side of basMarc.h.

#include "common/basMarc.h"

#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "platform/oradb/Database.h"
#include "platform/oradb/Error.h"
#include "platform/text/CodePage.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <memory>
#include <utility>

namespace {

QString fixedWidth(const QString& s, int n)
{
    return s.leftJustified(n, u' ', true);
}

// An unreadable record shows as blanks at the desk; the reason goes to the
// daily log (the reasons of a list of records in one writing). A failure to
// write the log must not stand as the pending error.
void logUnreadable(const QStringList& why)
{
    if (why.isEmpty())
        return;
    const int kind = g_intErrKind;
    const long number = g_lngErrNo;
    const QString text = g_strErrText;
    const QString proc = g_strErrProc;
    LIB_WriteLogLines(why);
    g_intErrKind = kind;
    g_lngErrNo = number;
    g_strErrText = text;
    g_strErrProc = proc;
}

} // namespace

// ---- reading from the database -------------------------------------------------

namespace {

const char* const kHeadColumns = "marc_type, doc_type_code, lang_code, country_code, marc_use_flag, cata_oper, cata_date";

// The header cells (as kHeadColumns orders them) at the widths a record
// keeps them.
QStringList fixedHeadOf(const QStringList& head)
{
    static const int kWidths[] = {1, 2, 3, 2, 1, 4, 10};
    QStringList fixed;
    fixed.reserve(7);
    for (int c = 0; c < 7; ++c)
        fixed << fixedWidth(head.value(c), kWidths[c]);
    return fixed;
}

// The record from its header cells (fixedHeadOf) and the GBK bytes of its
// pieces; an unreadable record keeps only its number and the reason, which is
// added to `unreadable` (to be logged). A record without pieces is not taken
// apart.
MarcRecord recordOf(const QString& no, const QStringList& fixedHead, QByteArray gbk, int pieces,
                    QStringList& unreadable)
{
    QString why;
    if (pieces == 0) {
        why = QStringLiteral("没有记录数据。");
    } else {
        MarcRecord rec;
        if (!gbk.endsWith(MARC_RECORD_END))
            gbk += MARC_RECORD_END;
        rec.marc_rec_no = no;
        rec.marc_type = fixedHead.value(0);
        rec.doc_type_code = fixedHead.value(1);
        rec.lang_code = fixedHead.value(2);
        rec.country_code = fixedHead.value(3);
        rec.marc_use_flag = fixedHead.value(4);
        rec.cata_oper = fixedHead.value(5);
        rec.cata_date = fixedHead.value(6);
        if (intParseMarcText(gbk, rec) == 0)
            return rec;
        why = rec.error;
    }
    MarcRecord bad;
    bad.marc_rec_no = no;
    bad.error = QStringLiteral("MARC记录[%1]无法读取：%2").arg(no, why);
    unreadable << bad.error;
    return bad;
}

// The GBK bytes of the current row's pieces, added to `gbk`.
void addPieces(const oradb::Dynaset& ds, const int (&cols)[3], QByteArray& gbk)
{
    for (const int c : cols) {
        if (c >= 0)
            gbk += text::utf8ToGbk(ds.Fields(c).View());
    }
}

} // namespace

MarcRecord strReadMarc(const QString& no)
{
    DBResultSet head;
    g_strSQL = QStringLiteral(" SELECT ") + QLatin1String(kHeadColumns) + QStringLiteral(" ")
        + QStringLiteral(" FROM marc WHERE marc_rec_no=") + strSQLQuote(no);
    if (LIB_DB_Select(g_strSQL, head) != 0)
        return MarcRecord();

    // The pieces are read as stored: a piece may end in a blank (an indicator).
    QByteArray gbk;
    int pieces = 0;
    g_strSQL = QStringLiteral("SELECT * FROM marc_data WHERE marc_rec_no=") + strSQLQuote(no)
        + QStringLiteral(" ORDER BY data_serial");
    try {
        oradb::Database* db = LIB_DB_Database();
        if (!db)
            return MarcRecord();
        std::unique_ptr<oradb::Dynaset> ds = db->CreateDynaset(g_strSQL, 0);
        const int cols[] = {ds->FieldIndex(QStringLiteral("marc01")), ds->FieldIndex(QStringLiteral("marc02")),
                            ds->FieldIndex(QStringLiteral("marc03"))};
        for (ds->MoveFirst(); !ds->IsEOF(); ds->MoveNext()) {
            ++pieces;
            addPieces(*ds, cols, gbk);
        }
        ds->Close();
    } catch (const oradb::Error&) {
        return MarcRecord();
    }
    QStringList headTexts;
    for (int c = 0; c < 7; ++c)
        headTexts << (head.rowCount() > 0 ? head.text(0, c) : QString());
    QStringList unreadable;
    MarcRecord rec = recordOf(no, fixedHeadOf(headTexts), gbk, pieces, unreadable);
    logUnreadable(unreadable);
    return rec;
}

QString strMarcColumnsSQL(const QString& numbers, const QString& leading)
{
    // A record without pieces is unreadable whatever its header says, so the
    // pieces lead and the header rides along on each of them. The columns
    // are named, not taken with "*": the statements are kept prepared for a
    // session, and a column added to the table would change their rows.
    return QStringLiteral("SELECT ") + leading
        + QStringLiteral("marc_data.marc_rec_no, marc_data.data_serial, marc_data.marc01, marc_data.marc02, "
                         "marc_data.marc03, ")
        + QString::fromLatin1(kHeadColumns).replace(QStringLiteral(", "), QStringLiteral(", marc.")).prepend(u"marc.")
        + QStringLiteral(" FROM marc_data LEFT JOIN marc ON marc.marc_rec_no = marc_data.marc_rec_no"
                         " WHERE marc_data.marc_rec_no IN (")
        + numbers + QLatin1Char(')');
}

QString strMarcPageSQL(const QString& numbers)
{
    return strMarcColumnsSQL(numbers, QStringLiteral("marc_data.marc_rec_no AS marc_rec_no_, "))
        + QStringLiteral(" ORDER BY marc_data.marc_rec_no, marc_data.data_serial");
}

QHash<QString, MarcRecord> mapMarcsOf(oradb::Dynaset& ds, const QStringList& wanted)
{
    QHash<QString, MarcRecord> out;
    out.reserve(wanted.size());
    subEachMarcOf(ds, wanted, [&out](const QString& no, const MarcRecord& rec) { out.insert(no, rec); });
    return out;
}

namespace {

// Where a result carries a record's number, the serial and the three texts
// of a piece, and the header's seven cells.
struct MarcRowColumns {
    int number = 0, serial = -1;
    int pieces[3] = {-1, -1, -1};
    int head = 0;
};

void eachMarcOfRows(oradb::Dynaset& ds, long fromRow, const MarcRowColumns& at, const QStringList& wanted,
                    const std::function<void(const QString&, const MarcRecord&)>& each);

} // namespace

void subEachMarcOf(oradb::Dynaset& ds, const QStringList& wanted,
                   const std::function<void(const QString&, const MarcRecord&)>& each)
{
    MarcRowColumns at;
    at.serial = ds.FieldIndex(QStringLiteral("data_serial"));
    at.pieces[0] = ds.FieldIndex(QStringLiteral("marc01"));
    at.pieces[1] = ds.FieldIndex(QStringLiteral("marc02"));
    at.pieces[2] = ds.FieldIndex(QStringLiteral("marc03"));
    at.head = ds.FieldCount() - 7;
    eachMarcOfRows(ds, 0, at, wanted, each);
}

void subEachMarcOf(oradb::Dynaset& ds, long fromRow, int firstColumn, const QStringList& wanted,
                   const std::function<void(const QString&, const MarcRecord&)>& each)
{
    MarcRowColumns at;
    at.number = firstColumn;
    at.serial = firstColumn + 1;
    at.pieces[0] = firstColumn + 2;
    at.pieces[1] = firstColumn + 3;
    at.pieces[2] = firstColumn + 4;
    at.head = firstColumn + 5;
    eachMarcOfRows(ds, fromRow, at, wanted, each);
}

namespace {

void eachMarcOfRows(oradb::Dynaset& ds, long fromRow, const MarcRowColumns& at, const QStringList& wanted,
                    const std::function<void(const QString&, const MarcRecord&)>& each)
{
    // The pieces of a number are put in the order of their serials, in
    // whatever order the rows come; the header is its first row's. The rows
    // of one number mostly come one after another: the number is looked up
    // again only when it changes. Records mostly share their header's cells:
    // a header like the one before shares its texts.
    struct Read {
        QStringList head; // fixedHeadOf
        QVarLengthArray<std::pair<long, QByteArray>, 2> pieces; // serial, GBK bytes
    };
    QByteArrayView lastHeadBytes[7];
    QStringList lastHead;
    QHash<QString, Read> read;
    const int(&cols)[3] = at.pieces;
    const int serialAt = at.serial;
    const int headAt = at.head;
    QStringList order;
    Read* r = nullptr;
    QString last;
    ds.MoveFirst();
    for (long skip = 0; skip < fromRow && !ds.IsEOF(); ++skip)
        ds.MoveNext();
    for (; !ds.IsEOF(); ds.MoveNext()) {
        QString no = ds.Fields(at.number).Text();
        if (!r || no != last) {
            r = &read[no];
            if (r->pieces.isEmpty()) {
                order << no;
                bool same = !lastHead.isEmpty();
                QByteArrayView bytes[7];
                for (int c = 0; c < 7; ++c) {
                    bytes[c] = ds.Fields(headAt + c).View();
                    same = same && bytes[c].isNull() == lastHeadBytes[c].isNull()
                        && bytes[c] == lastHeadBytes[c];
                }
                if (!same) {
                    QStringList head;
                    head.reserve(7);
                    for (int c = 0; c < 7; ++c) {
                        head << ds.Fields(headAt + c).Text();
                        lastHeadBytes[c] = bytes[c];
                    }
                    lastHead = fixedHeadOf(head);
                }
                r->head = lastHead;
            }
            last = std::move(no);
        }
        long serial = r->pieces.size();
        if (serialAt >= 0) {
            const QByteArrayView v = ds.Fields(serialAt).View();
            std::from_chars(v.data(), v.data() + v.size(), serial);
        }
        QByteArray gbk;
        addPieces(ds, cols, gbk);
        r->pieces.append({serial, std::move(gbk)});
    }
    const QStringList& nos = wanted.isEmpty() ? order : wanted;
    QSet<QString> done;
    done.reserve(nos.size());
    static const Read kNone;
    QStringList unreadable;
    for (const QString& no : nos) {
        if (no.isEmpty() || done.contains(no))
            continue;
        done.insert(no);
        const auto it = read.find(no);
        const Read& got = it == read.end() ? kNone : *it;
        QByteArray gbk;
        if (got.pieces.size() == 1) {
            // Taken, not shared: the record's end is added in place.
            gbk = std::move(it->pieces.front().second);
        } else if (!got.pieces.isEmpty()) {
            auto pieces = got.pieces;
            std::stable_sort(pieces.begin(), pieces.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& piece : pieces)
                gbk += piece.second;
        }
        each(no, recordOf(no, got.head, std::move(gbk), int(got.pieces.size()), unreadable));
    }
    logUnreadable(unreadable);
}

} // namespace

QHash<QString, MarcRecord> mapReadMarcs(const QStringList& nos)
{
    QString in;
    for (const QString& no : nos) {
        if (!no.isEmpty())
            in += (in.isEmpty() ? QString() : QStringLiteral(",")) + strSQLQuote(no);
    }
    if (in.isEmpty())
        return {};
    g_strSQL = strMarcPageSQL(in);
    try {
        oradb::Database* db = LIB_DB_Database();
        if (!db)
            return {};
        std::unique_ptr<oradb::Dynaset> ds = db->CreateDynaset(g_strSQL, 0);
        return mapMarcsOf(*ds, nos);
    } catch (const oradb::Error&) {
        return {};
    }
}

QHash<QString, MarcRecord> mapReadMarcsOf(const QString& pageSQL, const QStringList& wanted)
{
    g_strSQL = pageSQL;
    try {
        std::unique_ptr<oradb::Dynaset> ds = LIB_DB_ReadAhead::take(pageSQL);
        if (!ds) {
            oradb::Database* db = LIB_DB_Database();
            if (!db)
                return {};
            ds = db->CreateDynaset(pageSQL, 0);
        }
        return mapMarcsOf(*ds, wanted);
    } catch (const oradb::Error&) {
        return {};
    }
}

// ---- schema probes ---------------------------------------------------------------

namespace {

bool g_probeFailed = false;

// Opens the probe's statement and hands the dynaset to `read`; a failure
// becomes the pending error, which the connect then reports.
template <typename Read>
auto probe(const QString& sql, Read read, decltype(read(std::declval<const oradb::Dynaset&>())) failed)
{
    g_strSQL = sql;
    try {
        oradb::Database* db = LIB_DB_Database();
        if (!db)
            throw oradb::Error(oradb::ErrNotConnected, QStringLiteral("ORA-03114: not connected to ORACLE"));
        std::unique_ptr<oradb::Dynaset> ds = LIB_DB_ReadAhead::take(sql);
        if (!ds)
            ds = db->CreateDynaset(sql, 0);
        const auto result = read(*ds);
        ds->Close();
        return result;
    } catch (const oradb::Error& e) {
        g_probeFailed = true;
        g_lngErrNo = e.number();
        g_strErrText = e.description();
        g_strErrProc = QStringLiteral("LIB_DB_Connect");
        return failed;
    }
}

} // namespace

namespace {
const QString kProbeMarcData = QStringLiteral("select marc03 from marc_data limit 1");
const QString kProbeIdxCont = QStringLiteral("select marc_idx_cont from marc_idx limit 1");
const QString kProbeClassSerial = QStringLiteral("select * from max_class_serial limit 1");
} // namespace

QStringList strMarcSchemaProbeSQLs()
{
    return {kProbeMarcData, kProbeIdxCont, kProbeClassSerial};
}

bool blnProbeMarcDataWide()
{
    return probe(kProbeMarcData,
                 [](const oradb::Dynaset& ds) { return ds.Fields(0).Size() > 2000; }, false);
}

int intProbeIdxContLen()
{
    return probe(kProbeIdxCont,
                 [](const oradb::Dynaset& ds) {
                     const int size = ds.Fields(0).Size();
                     const bool wide = g_intMarc03 != 0;
                     return ((size > 30 && !wide) || (size > 60 && wide)) ? 60 : 30;
                 },
                 30);
}

bool blnProbeClassSerial()
{
    return probe(kProbeClassSerial,
                 [](const oradb::Dynaset& ds) { return ds.FieldCount() > 5; }, false);
}

int intRunMarcSchemaProbes()
{
    g_probeFailed = false;
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

void subDecodeDumps(DBResultSet& rs)
{
    if (!g_intMarc03)
        return;
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

int intDBSelectDump(const QString& sql, DBResultSet& result)
{
    DBResultSet rs;
    if (LIB_DB_Select(sql, rs) != 0)
        return -1;
    subDecodeDumps(rs);
    result = rs;
    return 0;
}

int intDBSelectMarc(QString& sql, DBResultSet& result)
{
    if (g_intMarc03)
        sql = strMarcSelectToDump(sql);
    return intDBSelectDump(sql, result);
}

