#include "biblio/BookSearch.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "common/basMarcList.h"
#include "common/basText.h"
#include "platform/oradb/SqlText.h"

#include <QRegularExpression>

#include <cmath>

namespace biblio {

namespace {

QString q(const QString& v) { return strSQLQuote(v); }

} // namespace

void StatementLog::add(const QString& sql)
{
    ++count;
    if (texts)
        texts->append(sql);
}

StatementLog& statementLog()
{
    static StatementLog log;
    return log;
}

int intBiblioSelect(const QString& sql, DBResultSet& rs)
{
    g_strSQL = sql;
    statementLog().add(sql);
    g_intSQLRet = LIB_DB_Select(sql, rs);
    return g_intSQLRet;
}

// ---- pages of hits ---------------------------------------------------------------

int BookHitPages::defaultPageRows = 500;

QString BookHitPages::strPageSQL(int limit) const
{
    QString sql = sql_;
    if (!last_.isEmpty())
        sql += (sql_.contains(QLatin1String(" WHERE "), Qt::CaseInsensitive) ? QStringLiteral(" AND ")
                                                                              : QStringLiteral(" WHERE "))
            + key_ + QStringLiteral(" > ") + q(last_);
    return sql + QStringLiteral(" ORDER BY ") + key_ + QStringLiteral(" LIMIT ") + QString::number(limit);
}

QString BookHitPages::strCountSQL() const
{
    return QStringLiteral("SELECT count(DISTINCT ") + key_ + u')' + from_;
}

QString BookHitPages::strReadSQL(int limit, bool counted) const
{
    QString head;
    if (counted && unindexed_) {
        // The records found kept once, the count and the page taken from them.
        head = QStringLiteral("WITH hits(no) AS MATERIALIZED (") + sql_
            + QStringLiteral("), page AS (SELECT no FROM hits ORDER BY no LIMIT ") + QString::number(limit)
            + QStringLiteral(") SELECT page.no, (SELECT count(*) FROM hits) AS found,");
    } else {
        // The page walks the record-number index and stops at its last record.
        head = QStringLiteral("WITH page(no) AS (") + strPageSQL(limit) + QStringLiteral(") SELECT page.no,");
        if (counted)
            head += u'(' + strCountSQL() + QStringLiteral(") AS found,");
    }
    return head + QStringLiteral(" s.* FROM page LEFT JOIN (") + strMarcListTableSQL()
        + QStringLiteral(") s ON s.marc_rec_no = page.no ORDER BY page.no");
}

int BookHitPages::start(const QString& hitSql, bool unindexed)
{
    static const QRegularExpression select(QStringLiteral("^\\s*SELECT\\s+DISTINCT\\s+(\\S+)\\s+FROM\\s"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch head = select.match(hitSql);
    sql_ = hitSql;
    key_ = head.captured(1);
    from_ = hitSql.mid(head.capturedEnd(1));
    unindexed_ = unindexed;
    last_.clear();
    nos_.clear();
    sums_.clear();
    sumAt_.clear();
    total_ = 0;
    done_ = false;
    if (read(pageRows, true) < 0) {
        done_ = true;
        return -1;
    }
    return 0;
}

int BookHitPages::next(int upTo)
{
    if (complete())
        return 0;
    // Up to the end of the page that holds row upTo.
    const int pageEnd = (upTo + pageRows - 1) / pageRows * pageRows;
    return read(qMax(pageRows, pageEnd - listed()), false);
}

namespace {

// The rows of `rs` that carry a summary (a record number in column `first`),
// its columns from `first` on, as the summary query alone gives them.
DBResultSet bookPageSummaries(const DBResultSet& rs, int first)
{
    QVector<int> rows;
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (!rs.text(r, first).isEmpty())
            rows << r;
    }
    const int fields = rs.fieldCount() - first;
    DBResultSet out(int(rows.size()), fields);
    for (int c = 0; c < fields; ++c) {
        out.setCell(c, 0, rs.cell(first + c, 0));
        out.setCell(c, 1, rs.cell(first + c, 1));
        for (int i = 0; i < rows.size(); ++i)
            out.setValue(i, c, rs.value(rows[i], first + c));
    }
    return out;
}

} // namespace

int BookHitPages::read(int limit, bool counted)
{
    DBResultSet rs;
    if (intBiblioSelect(strReadSQL(limit, counted), rs) != 0)
        return -1;
    if (counted)
        total_ = rs.rowCount() > 0 ? int(rs.number(0, 1)) : 0;
    for (int r = 0; r < rs.rowCount(); ++r)
        nos_ << rs.text(r, 0);
    if (rs.rowCount() < limit)
        done_ = true;
    if (rs.rowCount() > 0)
        last_ = nos_.last();
    DBResultSet summaries = bookPageSummaries(rs, counted ? 2 : 1);
    subDecodeDumps(summaries);
    g_arrBookSum = arrMarcListOf(summaries);
    for (int i = 0; i + 1 < g_arrBookSum.size(); ++i) {
        const BookSumEntry& e = g_arrBookSum[i];
        if (!sumAt_.contains(e.marc_rec_no)) {
            sumAt_.insert(e.marc_rec_no, int(sums_.size()));
            sums_ << e;
        }
    }
    return rs.rowCount();
}

DBResultSet BookHitPages::hits(int from) const
{
    const int rows = qMax(0, listed() - from);
    DBResultSet rs(rows, 1);
    rs.setCell(0, 0, QStringLiteral("MARC_REC_NO"));
    rs.setCell(0, 1, 10);
    for (int r = 0; r < rows; ++r)
        rs.setValue(r, 0, nos_[from + r]);
    return rs;
}

const BookSumEntry* BookHitPages::summary(const QString& no) const
{
    const auto it = sumAt_.constFind(no);
    return it == sumAt_.constEnd() ? nullptr : &sums_[*it];
}

QVector<BookSumEntry> BookHitPages::summaryList() const
{
    QVector<BookSumEntry> list = sums_;
    list.append(BookSumEntry());
    return list;
}

const QVector<MatchOp>& g_arrMatchOp()
{
    static const QVector<MatchOp> ops = {
        {QStringLiteral("前方匹配"), QStringLiteral(" Like ")},
        {QStringLiteral("任意匹配"), QStringLiteral(" Like ")},
        {QStringLiteral("完全匹配"), QStringLiteral(" = ")},
    };
    return ops;
}

QString strMatchSQL(const QString& key, int mode, bool wide, const QString& likeWord)
{
    QString pattern;
    switch (mode) {
    case MatchAny: pattern = u'%' + strLikeEscape(key) + u'%'; break;
    case MatchExact: pattern = key; break;
    default: pattern = strLikeEscape(key) + u'%'; break;
    }
    const QString literal = wide ? QStringLiteral("unistr(") + q(strToHexEscape(pattern)) + u')' : q(pattern);
    if (mode == MatchExact)
        return QStringLiteral(" = ") + literal;
    return likeWord + literal + QStringLiteral(" ESCAPE '\\'");
}

// ---- quick search -------------------------------------------------------------------

QString strQuickSearchKey(const QString& code, const QString& typed, QString* shown)
{
    // A NUL a scanner sent is no part of the key (no statement could carry it).
    const QString text = oradb::sqltext::sendableText(typed);
    if (code == QLatin1String("05") && shown)
        *shown = strGetIsbn(text.trimmed().toUpper());
    return strPrepareIdxKey(code, text, false);
}

QString strQuickSearchSQL(const QString& code, const QString& key, bool wide)
{
    const QString like = QStringLiteral(" LIKE ");
    if (code == QLatin1String("91"))
        return QStringLiteral("SELECT distinct marc_rec_no FROM call_no_lst WHERE call_no")
            + strMatchSQL(key, MatchPrefix, false, like);
    if (code == QLatin1String("92"))
        return QStringLiteral("SELECT distinct marc_rec_no FROM indi_acct WHERE prop_no")
            + strMatchSQL(key, MatchPrefix, false, like);
    if (code == QLatin1String("93"))
        return QStringLiteral("SELECT distinct marc_rec_no FROM indi_acct WHERE bar_code")
            + strMatchSQL(key, MatchPrefix, false, like);
    return QStringLiteral("SELECT distinct marc_rec_no FROM marc_idx WHERE marc_idx_grp = ") + q(code)
        + QStringLiteral(" AND  marc_idx_cont") + strMatchSQL(key, MatchPrefix, wide, like);
}

int intQuickSearch(const QString& code, const QString& typed, BookHitPages& pages, QString* shown)
{
    if (code.isEmpty())
        return 0;
    const QString key = strQuickSearchKey(code, typed, shown);
    if (key.isEmpty())
        return 0;
    if (pages.start(strQuickSearchSQL(code, key, g_intMarc03 != 0)) != 0) {
        intShowDBError();
        return 0;
    }
    return pages.total();
}

// ---- combined search --------------------------------------------------------------------

SeekText varBuildBookSeek(const QVector<SeekRow>& rows, bool wide)
{
    SeekText out;
    QString from = QStringLiteral(" FROM ");
    QString cond;
    bool anyValue = false, copyTable = false, callTable = false;
    QVector<int> marcRows;
    for (int n = 0; n < rows.size(); ++n) {
        const SeekRow& row = rows[n];
        QString v = oradb::sqltext::sendableText(row.value).toUpper().trimmed();
        if (row.code == QLatin1String("05"))
            v = strGetIsbn(v);
        out.shown << (row.code.isEmpty() ? row.value : (row.code == QLatin1String("05") ? v : row.value));
        if (row.code.isEmpty())
            continue;
        v = v.trimmed();
        if (blnMarcTagFlag(row.code))
            v = strNormalizeKey(v);
        if (v.isEmpty())
            continue;
        anyValue = true;
        out.anywhere = out.anywhere || row.mode == MatchAny;
        v = strFoldLetters(strTrimCJKSpace(v));
        v = v.left(intCharPosByWidth(v, g_intIdxContLen)).toUpper();
        const QString g = row.code;
        if (g == QLatin1String("91")) {
            cond += QStringLiteral("call_no_lst.call_no") + strMatchSQL(v, row.mode, false) + QStringLiteral(" And ");
            callTable = true;
        } else if (g == QLatin1String("92") || g == QLatin1String("93")) {
            cond += (g == QLatin1String("92") ? QStringLiteral("indi_acct.prop_no") : QStringLiteral("indi_acct.bar_code"))
                + strMatchSQL(v, row.mode, false) + QStringLiteral(" AND ");
            copyTable = true;
        } else {
            const QString alias = QStringLiteral("idx") + QString::number(n);
            marcRows << n;
            from += QStringLiteral(" marc_idx ") + alias + u',';
            cond += u'(' + alias + QStringLiteral(".marc_idx_grp = ") + q(g) + QStringLiteral(" AND ");
            cond += u' ' + alias + QStringLiteral(".marc_idx_cont") + strMatchSQL(v, row.mode, wide)
                + QStringLiteral(") AND ");
        }
    }
    if (!anyValue)
        return out;
    QString select;
    if (!marcRows.isEmpty())
        select = QStringLiteral(" SELECT DISTINCT idx") + QString::number(marcRows.last()) + QStringLiteral(".marc_rec_no");
    const QString first = marcRows.isEmpty() ? QString() : QStringLiteral("idx") + QString::number(marcRows.first());
    if (copyTable) {
        if (!marcRows.isEmpty()) {
            from += QStringLiteral(" indi_acct,");
            cond += QStringLiteral(" indi_acct.marc_rec_no = ") + first + QStringLiteral(".marc_rec_no AND ");
        } else {
            select = QStringLiteral(" SELECT DISTINCT indi_acct.marc_rec_no");
            from = QStringLiteral(" FROM indi_acct ");
        }
    }
    if (callTable) {
        if (!marcRows.isEmpty()) {
            from += QStringLiteral(" call_no_lst,");
            cond += QStringLiteral(" call_no_lst.marc_rec_no = ") + first + QStringLiteral(".marc_rec_no AND ");
        } else if (copyTable) {
            select = QStringLiteral(" SELECT DISTINCT call_no_lst.marc_rec_no");
            from = QStringLiteral(" FROM call_no_lst, indi_acct ");
            cond += QStringLiteral(" call_no_lst.marc_rec_no = indi_acct.marc_rec_no AND ");
        } else {
            select = QStringLiteral(" SELECT DISTINCT call_no_lst.marc_rec_no");
            from = QStringLiteral(" FROM call_no_lst ");
        }
    }
    for (int i = 0; i + 1 < marcRows.size(); ++i)
        cond += QStringLiteral("idx%1.marc_rec_no = idx%2.marc_rec_no AND ").arg(marcRows[i]).arg(marcRows[i + 1]);
    out.sql = select + from.chopped(1) + QStringLiteral(" WHERE ") + cond.chopped(4);
    return out;
}

int intRunBookSeek(const SeekText& text, BookHitPages& pages)
{
    if (pages.start(text.sql, text.anywhere) != 0) {
        intShowDBError();
        return -1;
    }
    return 0;
}

// ---- list rows -----------------------------------------------------------------------------

void BookSumIndex::rebuild()
{
    index_.clear();
    index_.reserve(g_arrBookSum.size());
    for (int i = 0; i + 1 < g_arrBookSum.size(); ++i) {
        if (!index_.contains(g_arrBookSum[i].marc_rec_no))
            index_.insert(g_arrBookSum[i].marc_rec_no, i);
    }
}

const BookSumEntry* BookSumIndex::find(const QString& no) const
{
    const auto it = index_.constFind(no);
    if (it == index_.constEnd() || *it >= g_arrBookSum.size())
        return nullptr;
    return &g_arrBookSum[*it];
}

QStringList strBookRowTexts(const BookSumEntry* e)
{
    if (!e)
        return QStringList(10, QString());
    return {e->title,
            e->author,
            e->publisher,
            e->isbn,
            strDocTypeName(e->doc_type_code),
            strLangName(e->lang_code),
            strCountryName(e->country_code),
            strMarcTypeName(e->marc_type),
            e->call_no,
            strAcqStateName(e->marc_use_flag)};
}

const QStringList& strBookListHeaders()
{
    static const QStringList headers = {QString(),
                                        QStringLiteral("题名"),
                                        QStringLiteral("责任者"),
                                        QStringLiteral("出版社"),
                                        QStringLiteral("ISBN"),
                                        QStringLiteral("文献类型"),
                                        QStringLiteral("语种"),
                                        QStringLiteral("国家代码"),
                                        QStringLiteral("MARC类型"),
                                        QStringLiteral("索书号"),
                                        QStringLiteral("记录状态"),
                                        QString()};
    return headers;
}

int intClampRowNumber(const QString& text, int lastRow)
{
    if (lastRow < 1)
        return 0;
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    double n = ok && std::isfinite(d) ? std::trunc(d) : 0;
    if (n > lastRow)
        n = lastRow;
    if (n < 1)
        n = 1;
    return int(n);
}

} // namespace biblio
