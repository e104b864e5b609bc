#include "reader/basRedrSearch.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basText.h"

#include <QDate>

namespace {

const char* const kPrefixes[] = {"",
                                 "(READER.cert_id ",
                                 "(READER_CERT.redr_cert_id ",
                                 "(READER.name ",
                                 "(READER.id_card ",
                                 "(READER.redr_type_code ",
                                 "(READER.code01 ",
                                 "(READER.dept ",
                                 "(READER.occupation ",
                                 "(READER.r_dep_id "};

// The code of entry `index` of a cache list; "" for none and for "[不定]",
// the entry after the last row.
QString listCode(const DBResultSet& cache, int index) {
    return index >= 0 && index < cache.rowCount() ? cache.text(index, 0) : QString();
}

bool readDate(const QString& text, QString* out) {
    const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid()) return false;
    *out = d.toString(QStringLiteral("yyyy-MM-dd"));
    return true;
}

} // namespace

QString strRedrSearchPrefix(int row) {
    return row >= 1 && row <= 9 ? QLatin1String(kPrefixes[row]) : QString();
}

QString varMatchLiteral(int mode, const QString& text) {
    if (mode == 1) return strSQLQuote(text);
    return strSQLQuote(strLikeEscape(text) + QLatin1Char('%')) + QStringLiteral(" ESCAPE '\\'");
}

int intBuildRedrSearch(const RedrSearchInput& in, QString* sql, QString* message, QString* fromDate,
                       QString* toDate) {
    QString cond;
    auto add = [&cond](const QString& c) { cond += QStringLiteral(" AND ") + c; };
    auto range = [&add](const QString& column, const QString& from, const QString& to) {
        add(column + QStringLiteral(" >= ") + strSQLQuote(from));
        add(column + QStringLiteral(" <= ") + strSQLQuote(to));
    };
    switch (in.option) {
    case 1:
    case 2:
        if (in.from.trimmed().isEmpty() || in.to.trimmed().isEmpty()) {
            *message = QStringLiteral("条码号或者证件号空间不许为空!");
            return -1;
        }
        range(in.option == 1 ? QStringLiteral("READER_CERT.redr_cert_id") : QStringLiteral("READER.cert_id"),
              in.from, in.to);
        break;
    case 3:
    case 4: {
        QString from, to;
        if (!readDate(in.fromDate, &from) || !readDate(in.toDate, &to)) {
            *message = QStringLiteral("时间输入错误!");
            return -1;
        }
        if (fromDate) *fromDate = from;
        if (toDate) *toDate = to;
        range(in.option == 3 ? QStringLiteral("READER_cert.end_date") : QStringLiteral("reader.redr_reg_day"),
              from, to);
        break;
    }
    default:
        for (int row = 1; row <= 9; ++row) {
            if (row == 5 || row == 9) {
                const QString code = listCode(row == 5 ? g_varRedrType : g_varDepartment,
                                              row == 5 ? in.typeIndex : in.depIndex);
                if (!code.isEmpty())
                    add(strRedrSearchPrefix(row) + QStringLiteral(" = ") + strSQLQuote(code) +
                        QLatin1Char(')'));
            } else if (!in.cells[row].trimmed().isEmpty()) {
                add(strRedrSearchPrefix(row) +
                    (in.matchMode == 1 ? QStringLiteral(" = ") : QStringLiteral(" LIKE ")) +
                    varMatchLiteral(in.matchMode, in.cells[row]) + QLatin1Char(')'));
            }
        }
        break;
    }
    *sql = QStringLiteral("SELECT READER.redr_flag, READER_CERT.redr_cert_id, READER.cert_id, READER.name, "
                          "READER.id_card, READER.dept, READER.occupation, READER_TYPE.redr_type_name, "
                          "READER.code01, READER_CERT.oper_date, READER_CERT.resp_wkr, READER_CERT.cert_flag "
                          "FROM READER, READER_CERT, READER_TYPE WHERE READER.cert_id = READER_CERT.cert_id "
                          "AND READER_TYPE.redr_type_code = READER.redr_type_code") +
           cond +
           QStringLiteral(" ORDER BY READER.cert_id, READER_CERT.cert_flag DESC, READER_CERT.oper_date DESC, "
                          "READER_CERT.redr_cert_id");
    return 0;
}

QVector<int> arrFirstCardRows(const DBResultSet& rs) {
    QVector<int> rows;
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (r == 0 || rs.text(r, 2) != rs.text(r - 1, 2)) rows << r;
    }
    return rows;
}

QString strCertStateText(const QString& flag) {
    if (flag == QLatin1String("0")) return QStringLiteral("注销");
    if (flag == QLatin1String("2")) return QStringLiteral("挂失");
    if (flag == QLatin1String("3")) return QStringLiteral("停借");
    return QStringLiteral("有效");
}

QString strCertFlagOfText(const QString& text) {
    if (text == QStringLiteral("注销")) return QStringLiteral("0");
    if (text == QStringLiteral("挂失")) return QStringLiteral("2");
    return QStringLiteral("1");
}

// ---- paging ----------------------------------------------------------------------

QString RedrSearchPages::strPageSQL(const QString& after, int limit) const {
    QString sql = head_;
    if (!after.isEmpty()) sql += QStringLiteral(" AND READER.cert_id > ") + strSQLQuote(after);
    sql += QStringLiteral(" ORDER BY ") + order_;
    if (limit > 0) sql += QStringLiteral(" LIMIT ") + QString::number(limit);
    return sql;
}

QString RedrSearchPages::strCountSQL() const {
    const qsizetype from = head_.indexOf(QStringLiteral(" FROM "));
    return QStringLiteral("SELECT count(DISTINCT READER.cert_id)") + head_.mid(from);
}

int RedrSearchPages::keep(const DBResultSet& rs, bool whole) {
    // Without the last reader, which may go on beyond the page.
    int rows = rs.rowCount();
    if (!whole && rows > 0) {
        const QString cut = rs.text(rows - 1, 2);
        while (rows > 0 && rs.text(rows - 1, 2) == cut)
            --rows;
    }
    page_ = DBResultSet(rows, rs.fieldCount());
    for (int c = 0; c < rs.fieldCount(); ++c) {
        page_.setCell(c, 0, rs.cell(c, 0));
        page_.setCell(c, 1, rs.cell(c, 1));
        for (int r = 0; r < rows; ++r)
            page_.setValue(r, c, rs.value(r, c));
    }
    const int readers = int(arrFirstCardRows(page_).size());
    if (rows > 0) last_ = page_.text(rows - 1, 2);
    listed_ += readers;
    return readers;
}

int RedrSearchPages::start(const QString& sql) {
    const qsizetype order = sql.lastIndexOf(QStringLiteral(" ORDER BY "));
    head_ = sql.left(order);
    order_ = sql.mid(order + 10);
    last_.clear();
    total_ = listed_ = 0;
    done_ = false;
    page_ = DBResultSet();
    LIB_DB_Batch b;
    const int count = b.select(strCountSQL());
    const int first = b.select(strPageSQL(QString(), pageRows + 1));
    g_strSQL = b.sql(first);
    if (b.run() != 0) {
        done_ = true;
        return -1;
    }
    total_ = int(b.rows(count).number(0, 0));
    const DBResultSet& rs = b.rows(first);
    if (rs.rowCount() <= pageRows) {
        keep(rs, true);
        done_ = true;
        return 0;
    }
    if (keep(rs, false) == 0 && wholeReader(rs.text(0, 2)) < 0) return -1;
    return 0;
}

int RedrSearchPages::wholeReader(const QString& certId) {
    DBResultSet rs;
    g_strSQL = head_ + QStringLiteral(" AND READER.cert_id = ") + strSQLQuote(certId) + QStringLiteral(" ORDER BY ") +
               order_;
    if (LIB_DB_Select(g_strSQL, rs) != 0) return -1;
    return keep(rs, true);
}

int RedrSearchPages::next() {
    if (complete()) return 0;
    DBResultSet rs;
    g_strSQL = strPageSQL(last_, pageRows + 1);
    if (LIB_DB_Select(g_strSQL, rs) != 0) return -1;
    if (rs.rowCount() <= pageRows) {
        done_ = true;
        return keep(rs, true);
    }
    const int added = keep(rs, false);
    // A reader with more cards than a page: that reader whole.
    return added > 0 ? added : wholeReader(rs.text(0, 2));
}
