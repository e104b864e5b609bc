#include "consign/FindDesk.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMsg.h"
#include "platform/oradb/Database.h"
#include "platform/ui/DialogService.h"

#include <QHash>
#include <QSet>

namespace consign {

namespace {

const QString kHeldForConsignment = QStringLiteral("E该书处于委托借出状态，请在委托借阅模块中处理。");
const QString kNoFoundToday = QStringLiteral("没有任何书刊划到数据。");
const QString kNoFoundList = QStringLiteral("没有任何委托到书数据。");
const QString kNoApply = QStringLiteral("没有任何委托申请数据。");

// The server's date, read by the statement that compares with it (once).
QString today() {
    return "(SELECT left(" + strServerDateExpr() + ", 10))";
}

// The names of the locations a list shows, each looked up once. A copy (it
// shares the text): a later look-up may move the table's entries.
class DayListPlaces {
public:
    QString operator()(const QString& code) {
        auto it = names_.constFind(code);
        if (it == names_.cend()) it = names_.insert(code, strLocationName(code));
        return *it;
    }

private:
    QHash<QString, QString> names_;
};

// The cells of a list's result as a result set keeps them: trailing blanks
// dropped. A column's text is made again only when its bytes differ from
// the row read before (dates, locations and counts repeat from row to row);
// otherwise the row shares the text already made.
class DayListCells {
public:
    explicit DayListCells(const oradb::Dynaset& rows) : rows_(rows), last_(rows.FieldCount()) {}
    const QString& text(int column) {
        const QByteArrayView v = bytes(column);
        Last& l = last_[column];
        if (!l.made || v.isNull() != l.bytes.isNull() || v != l.bytes) {
            l.text = QString::fromUtf8(v);
            l.bytes = v;
            l.made = true;
        }
        return l.text;
    }
    // The text of the current row's column made already.
    void remember(int column, const QString& text) { last_[column] = Last{bytes(column), text, true}; }

private:
    QByteArrayView bytes(int column) const {
        QByteArrayView v = rows_.Fields(column).View();
        while (!v.isEmpty() && v.back() == ' ')
            v.chop(1);
        return v;
    }
    struct Last {
        QByteArrayView bytes; // into the result, kept while it is
        QString text;
        bool made = false;
    };
    const oradb::Dynaset& rows_;
    QList<Last> last_;
};

} // namespace

// The values a list's filter compares with, passed as parameters ($1, $2, ...)
// of named prepared statements: the statements' text changes only with the
// filters chosen, so each shape of the filter is planned once per session.
class DayListFilter {
public:
    explicit DayListFilter(const QString& prefix) : name_(prefix) {}
    // "$n" for one more value.
    QString value(const QString& v) {
        values_ << v;
        return QLatin1Char('$') + QString::number(values_.size());
    }
    // Notes whether an optional part of the filter is in the statement.
    void part(bool in) { name_ += in ? QLatin1Char('1') : QLatin1Char('0'); }
    QString name(const QString& statement) const { return name_ + QLatin1Char('_') + statement; }
    const QList<QVariant>& values() const { return values_; }

private:
    QString name_;
    QList<QVariant> values_;
};

// A row of a list of the day as read: its cells and the texts of its record.
class DayListRow {
public:
    DayListRow(DayListCells& cells, int first, qsizetype count, const QStringList& texts)
        : cells_(cells), first_(first), count_(count), texts_(texts) {}
    QString text(int column) const { return cells_.text(first_ + column); }
    // Rows of the list.
    qsizetype count() const { return count_; }
    const QStringList& texts() const { return texts_; }

private:
    DayListCells& cells_;
    int first_; // of the list's columns in the result
    qsizetype count_;
    const QStringList& texts_;
};

CopyDisplay copyDisplay(const desk::LendCopy& c, const QString& scanned, const QStringList& t) {
    return CopyDisplay{t.value(0),
                       c.propNo,
                       scanned,
                       strLocationName(c.location),
                       strItemStatusName(c.bookStatCode),
                       c.callNo,
                       t.value(1),
                       t.value(2),
                       c.price,
                       c.inDate,
                       c.attachment};
}

FindDesk::FindDesk() {
    m_lending.showCopy = [this](const desk::LendCopy& copy) {
        m_display = copyDisplay(copy, m_scanned, m_scannedTexts);
        if (displayChanged) displayChanged(m_display);
    };
}

QString FindDesk::requester() const {
    return (m_desk.readerValue(desk::redr::CertId) + QLatin1Char(' ') + m_desk.readerValue(desk::redr::Name)).trimmed();
}

void FindDesk::defaultDates(const QDate& today) {
    dtpApplyBegin = dtpApplyEnd = dtpFindBegin = dtpFindEnd = today;
}

int FindDesk::selectList(const DayListFilter& filter, const QString& rows, int columns, const QString& order,
                         int column, int texts, const std::function<void(const DayListRow&)>& row) {
    // One statement: the list's rows (0 in the first column), then the rows
    // of the records of the titles they name (1) in no particular order; the
    // list is read once, so its filter's probes are made once.
    QStringList names, nulls;
    for (int c = 1; c <= columns; ++c) {
        names << QStringLiteral("c%1").arg(c);
        nulls << QStringLiteral("NULL");
    }
    QStringList marcNulls;
    for (int c = 0; c < kMarcColumns; ++c)
        marcNulls << QStringLiteral("NULL");
    QString sql = "WITH day_rows (" + names.join(QLatin1Char(',')) + ") AS MATERIALIZED (" + rows +
                  ") SELECT 0 AS day_part, day_rows.*, " + marcNulls.join(QLatin1Char(',')) +
                  " FROM day_rows UNION ALL " +
                  strMarcColumnsSQL("SELECT " + names.at(column) + " FROM day_rows",
                                    "1, " + nulls.join(QLatin1Char(',')) + ", ") +
                  " ORDER BY 1";
    for (const QString& key : order.split(QLatin1Char(',')))
        sql += QStringLiteral(", %1").arg(key.trimmed().toInt() + 1);
    LIB_DB_Batch b;
    const int at = b.preparedRaw(filter.name(QStringLiteral("list")), sql, filter.values());
    m_statements += b.count();
    if (statementLog) *statementLog << b.text(at);
    const QStringList none;
    if (b.run() != 0) {
        // The list alone: its titles blank, as they always were when the
        // records could not be read; the error is shown when the list
        // cannot be read either, or at once when the connection is gone.
        const oradb::Database* db = LIB_DB_Database();
        if (!db || !db->IsConnected()) {
            intShowDBError();
            return -1;
        }
        LIB_DB_Batch alone;
        const int listAt =
            alone.preparedRaw(filter.name(QStringLiteral("rows")), rows + " ORDER BY " + order, filter.values());
        m_statements += alone.count();
        if (statementLog) *statementLog << alone.text(listAt);
        if (alone.run() != 0) {
            intShowDBError();
            return -1;
        }
        oradb::Dynaset& list = alone.raw(listAt);
        DayListCells cells(list);
        for (list.MoveFirst(); !list.IsEOF(); list.MoveNext())
            row(DayListRow(cells, 0, list.RecordCount(), none));
        return 0;
    }
    oradb::Dynaset& all = b.raw(at);
    DayListCells cells(all);
    QStringList nos;
    nos.reserve(all.RecordCount());
    for (all.MoveFirst(); !all.IsEOF() && all.Fields(0).View() == "0"; all.MoveNext())
        nos << cells.text(1 + column);
    const qsizetype count = nos.size();
    const QHash<QString, QStringList> titles = mapMarcTexts(nos, all, count, 1 + columns, texts);
    qsizetype i = 0;
    for (all.MoveFirst(); i < count; all.MoveNext()) {
        const QString& no = nos.at(i++);
        cells.remember(1 + column, no);
        const auto it = titles.constFind(no);
        row(DayListRow(cells, 1, count, it == titles.cend() ? none : *it));
    }
    return 0;
}

// ---- choosers ---------------------------------------------------------------------

int FindDesk::subInitTeam() {
    QStringList codes, names;
    const int status = intLoadTeams(codes, names);
    for (Chooser* c : {&cmbApplyTeam, &cmbApplyTeamII, &cmbFindTeam, &cmbFindTeamII}) {
        subFillTeams(*c, codes, names, status == 0);
        if (status != 0) c->index = -1;
    }
    if (status != 0) return -1;
    return subInitLocation(cmbApplyTeamII.code());
}

int FindDesk::subInitLocation(const QString& group) {
    if (intLoadLocations(cmbApplyLocation, group) != 0) return -1;
    cmbApplyLocation.index = cmbApplyLocation.count() - 1;
    return 0;
}

int FindDesk::cmbApplyTeamII_Click(int index) {
    cmbApplyTeamII.index = index;
    return subInitLocation(cmbApplyTeamII.code());
}

// ---- scan and lend -----------------------------------------------------------------

int FindDesk::txtFindBook_Enter(QString* text) {
    subClearBook();
    *text = text->trimmed().toUpper();
    if (text->isEmpty()) return -1;
    return subFindBook(*text);
}

int FindDesk::subFindBook(const QString& code) {
    m_scanned = code;
    m_desk.statementLog = statementLog;
    // The copy with the waiting, valid requests of its title at its stored
    // location in queue order, the requester check's reads of all of them and
    // what the lending judges on first, in one short transaction: one round
    // trip however many are queued.
    // Named prepared statements, planned once per session: $1 is the bar code.
    const QString queue = "FROM relegate_lst JOIN item ON relegate_lst.call_no = item.call_no "
                          "AND relegate_lst.location = item.location WHERE item.bar_code = $1"
                          " AND relegate_lst.relegate_end_date >= " + strServerDayExpr() + " "
                          "AND relegate_lst.relegate_flag = '0'";
    LIB_DB_Batch b;
    b.begin();
    const int copyAt =
        b.prepared(QStringLiteral("find_scan_copy"),
                   "SELECT relegate_lst.cert_id, relegate_lst.relegate_no, relegate_lst.relegate_location, "
                   "relegate_lst.relegate_date, item.book_lend_flag FROM item LEFT JOIN relegate_lst "
                   "ON relegate_lst.call_no = item.call_no AND relegate_lst.location = item.location "
                   "AND relegate_lst.relegate_end_date >= " + strServerDayExpr() + " "
                   "AND relegate_lst.relegate_flag = '0' WHERE item.bar_code = $1 ORDER BY relegate_lst.relegate_no",
                   {code});
    const desk::ApplicantReads checks = desk::addApplicantReads(b, "SELECT relegate_lst.cert_id " + queue,
                                                                QStringLiteral("find_scan_queue"), {code});
    const int recordAt = b.preparedRaw(QStringLiteral("find_scan_record"),
                                       strMarcPageSQL("SELECT marc_rec_no FROM item WHERE bar_code = $1"), {code});
    // What the lending reads first, for every requester queued.
    const desk::LendFactReads factsAt = desk::DeskLending::addFactReads(
        QStringLiteral("item.bar_code"), code, false, b, QStringLiteral("find_scan_lend_"),
        "IN (SELECT relegate_lst.cert_id " + queue + ")", {code});
    b.commit();
    m_statements += b.count() + 2;
    if (statementLog) {
        for (int i = 0; i < b.count(); ++i)
            statementLog->append(b.text(i));
    }
    if (b.run() != 0) {
        if (LIB_DB_InTrans()) LIB_DB_CommitTrans();
        intShowDBError();
        return -1;
    }
    const QHash<QString, MarcRecord> records = mapMarcsOf(b.raw(recordAt));
    m_scannedTexts = marcTexts(records.isEmpty() ? MarcRecord() : records.begin().value());
    const DBResultSet& rs = b.rows(copyAt);
    // A copy found already is handled where its found row is.
    if (rs.rowCount() > 0 && rs.text(0, 4) == QLatin1String("3")) {
        intShowMsg(kHeldForConsignment);
        return -1;
    }
    if (rs.rowCount() < 1 || rs.text(0, 0).isEmpty()) {
        subInfoBox(QStringLiteral("没有任何读者委托该书。"));
        return -1;
    }
    for (int i = 0; i < rs.rowCount(); ++i) {
        if (m_desk.intJudgeApplicant(b, checks, rs.text(i, 0)) != 0) continue;
        const int r = m_lending.intLendFound(
            code, desk::FoundRequest{rs.text(i, 1), rs.text(i, 2), rs.text(i, 3), &b, factsAt});
        if (r == 1) return -1;
        if (r != 0) continue;
        const desk::FoundCopy& f = m_lending.lentFound();
        m_found.prepend(FoundRow{f.copy.callNo, strLocationName(f.copy.location), f.copy.propNo,
                                 m_display.bookName, strLocationName(f.pickUp), f.certId, f.name, f.arriDate,
                                 f.keepEndDate, f.copy.marcRecNo});
        if (f.moveFailed) {
            ui::BoxRequest box;
            box.icon = ui::BoxIcon::Warning;
            box.title = QStringLiteral("流通委托");
            box.text = QStringLiteral("该书已借出，但其馆藏地未能改为本馆藏地，仍为99999。");
            ui::DialogService::current().showBox(box);
        }
        return 0;
    }
    subInfoBox(QStringLiteral("没有任何读者符合借阅该书的条件。"));
    return -1;
}

// ---- hand-over ---------------------------------------------------------------------

int FindDesk::subConnect(const QVector<FoundRow>& rows, bool findPage) {
    if (rows.isEmpty()) {
        subInfoBox(findPage ? kNoFoundToday : kNoFoundList);
        return -1;
    }
    // One transaction: the rows are locked first in the order of their keys,
    // as the found-copy cancel takes them (two desks handing over lists that
    // share copies, in whatever order their grids show them, then wait for
    // one another instead of deadlocking), then one update of every row
    // still found tells which it changed.
    // The keys go as a list of values joined to the table (one index probe
    // per key), not as a list of row constants: the server expands those into
    // an OR of one arm per key, plans each arm against the table's indexes and
    // runs one index scan per arm, memory that a server process may give back
    // and fault in anew at every statement (three to four times slower).
    QStringList keys;
    for (const FoundRow& row : rows)
        keys << "(" + q(row.certId) + "," + q(row.propNo) + ")";
    const QString still = " WHERE (cert_id, prop_no) IN (VALUES " + keys.join(QLatin1Char(',')) +
                          ") AND relegate_end_flag=" + q(QStringLiteral("1"));
    const QString sql = "UPDATE relegate_arri_lst SET relegate_end_flag=" + q(QStringLiteral("2")) + still +
                        " RETURNING cert_id, prop_no";
    LIB_DB_Batch batch;
    batch.begin();
    batch.select("SELECT id FROM relegate_arri_lst" + still + " ORDER BY id FOR UPDATE");
    const int updateAt = batch.select(sql);
    batch.commit();
    m_statements += batch.count() + 2;
    if (statementLog) statementLog->append(sql);
    g_strSQL = sql;
    if (batch.run() != 0) {
        LIB_DB_Rollback();
        intShowDBError();
        return -1;
    }
    // A copy is found for one requester at a time, so a key the update
    // returned counts for its first row; a row listed again counts as gone.
    QSet<QString> changed;
    const DBResultSet& done = batch.rows(updateAt);
    for (int i = 0; i < done.rowCount(); ++i)
        changed.insert(done.text(i, 0) + QLatin1Char('\n') + done.text(i, 1));
    int handed = 0;
    QStringList gone;
    for (const FoundRow& row : rows) {
        if (changed.remove(row.certId + QLatin1Char('\n') + row.propNo))
            ++handed;
        else
            gone << row.propNo;
    }
    QString text = QStringLiteral("批次交接正常结束。\n本批交接%1册。").arg(handed);
    if (!gone.isEmpty())
        text += QStringLiteral("\n%1册已不是待交接的划到书刊，未交接：%2")
                    .arg(gone.size())
                    .arg(gone.join(QLatin1Char(',')));
    subInfoBox(text);
    return 0;
}

// ---- pick list -----------------------------------------------------------------------

int FindDesk::cmdApplySearch() {
    const ListSearch search{ymd(dtpApplyBegin),      ymd(dtpApplyEnd),         cmbApplyTeam.text(),
                            cmbApplyLocation.text(), cmbApplyLocation.onAll(), 0};
    DayListFilter filter(QStringLiteral("find_pick"));
    QString where = " WHERE relegate_lst.relegate_date>=" + filter.value(search.begin) +
                    " AND relegate_lst.relegate_date<=" + filter.value(search.end) +
                    " AND relegate_lst.relegate_end_date>=" + today() +
                    " AND relegate_lst.relegate_flag=" + q(QStringLiteral("0")) +
                    " AND relegate_lst.call_no=call_no_lst.call_no ";
    filter.part(!cmbApplyTeam.onAll());
    if (!cmbApplyTeam.onAll())
        where += " AND relegate_lst.relegate_location IN (SELECT location FROM location_lst  WHERE "
                 "location_property=" +
                 filter.value(cmbApplyTeam.code()) + ")";
    filter.part(!cmbApplyTeamII.onAll());
    if (!cmbApplyTeamII.onAll())
        where +=
            " AND relegate_lst.location IN (SELECT location FROM location_lst  WHERE location_property=" +
            filter.value(cmbApplyTeamII.code()) + ")";
    filter.part(!cmbApplyLocation.onAll());
    if (!cmbApplyLocation.onAll())
        where += " AND relegate_lst.location=" + filter.value(cmbApplyLocation.code());
    // The copies of the request's title at its holding location: on the
    // shelf ('41'), and of those the ones not lent, counted in one pass.
    // The requests in the order of their titles, holding locations and queue
    // places (the tenth column, not shown).
    const QString sql = " SELECT relegate_lst.call_no,call_no_lst.marc_rec_no,relegate_lst.relegate_location,"
                        " relegate_lst.cert_id,reader.name,relegate_lst.location,copies.lendable,copies.in_library,"
                        " relegate_lst.relegate_no"
                        " FROM relegate_lst CROSS JOIN LATERAL (SELECT count(*) AS lendable,"
                        " count(*) FILTER (WHERE item.book_lend_flag='0') AS in_library FROM item"
                        " WHERE item.call_no=relegate_lst.call_no AND item.location=relegate_lst.location"
                        " AND item.book_stat_code='41') copies,call_no_lst,reader" +
                        where + " AND reader.cert_id=relegate_lst.cert_id COLLATE \"default\" ";
    QVector<ApplyRow> list;
    DayListPlaces place;
    if (selectList(filter, sql, 9, QStringLiteral("1, 6, 9"), 1, 3,
                   [&](const DayListRow& r) {
                       if (list.isEmpty()) list.reserve(r.count());
                       const QStringList& t = r.texts();
                       list.push_back(ApplyRow{r.text(0), t.value(0), t.value(1), t.value(2), place(r.text(2)),
                                               r.text(3), r.text(4), place(r.text(5)), r.text(1),
                                               r.text(6).toInt(), r.text(7).toInt()});
                   }) != 0)
        return -1;
    m_applySearch = search;
    m_applyList = std::move(list);
    if (m_applyList.isEmpty()) {
        subInfoBox(kNoApply);
        return -1;
    }
    return 0;
}

int FindDesk::cmdApplyPrint() {
    if (m_applyList.isEmpty()) {
        subInfoBox(kNoApply);
        return -1;
    }
    const bool all = m_applySearch.allLocations;
    QStringList titles{QStringLiteral("索书号"), QStringLiteral("题名"),       QStringLiteral("责任者"),
                       QStringLiteral("出版社"), QStringLiteral("委托馆藏地"), QStringLiteral("证件号"),
                       QStringLiteral("姓名")};
    if (all) titles << QStringLiteral("馆藏地");
    titles << QStringLiteral("可借数量") << QStringLiteral("在馆数量");
    QVector<QStringList> records;
    for (const ApplyRow& r : m_applyList) {
        QStringList cells{r.marcRecNo, r.callNo, r.title, r.author, r.publisher, r.pickUp, r.certId, r.name};
        if (all) cells << r.location;
        cells << QString::number(r.lendable) << QString::number(r.inLibrary);
        records.push_back(cells);
    }
    subFillReport(titles, records);
    const QString title = QStringLiteral("委托申请清单");
    subShowReport(title, {title, QStringLiteral("申请起始日期：") + m_applySearch.begin,
                          QStringLiteral("申请截止日期：") + m_applySearch.end,
                          QStringLiteral("委托馆藏组：") + m_applySearch.team,
                          QStringLiteral("馆藏地：") + m_applySearch.location,
                          QStringLiteral("总计：%1册").arg(m_applyList.size()), strMadeBy()});
    return 0;
}

// ---- found list ----------------------------------------------------------------------

int FindDesk::cmdFindSearch() {
    const ListSearch search{ymd(dtpFindBegin), ymd(dtpFindEnd), cmbFindTeam.text(), QString(), true, optType};
    DayListFilter filter(QStringLiteral("find_found"));
    QString where = " WHERE relegate_arri_lst.relegate_arri_date>=" + filter.value(search.begin) +
                    " AND relegate_arri_lst.relegate_arri_date<=" + filter.value(search.end) +
                    " AND relegate_arri_lst.relegate_keep_end_date>=" + today() +
                    " AND relegate_arri_lst.prop_no=item.prop_no ";
    filter.part(optType == 1 || optType == 2);
    if (optType == 1)
        where += " AND relegate_arri_lst.relegate_end_flag=" + filter.value(QStringLiteral("2"));
    else if (optType == 2)
        where += " AND relegate_arri_lst.relegate_end_flag=" + filter.value(QStringLiteral("1"));
    else
        where += " AND relegate_arri_lst.relegate_end_flag<" + q(QStringLiteral("3"));
    filter.part(!cmbFindTeam.onAll());
    if (!cmbFindTeam.onAll())
        where += " AND relegate_arri_lst.relegate_location IN (SELECT location FROM location_lst "
                 " WHERE location_lst.location_property=" +
                 filter.value(cmbFindTeam.code()) + ")";
    filter.part(!cmbFindTeamII.onAll());
    if (!cmbFindTeamII.onAll())
        where += " AND relegate_arri_lst.relegate_find_location IN (SELECT location FROM location_lst WHERE "
                 "location_property=" +
                 filter.value(cmbFindTeamII.code()) + ")";
    // The copies in the order of their titles and found rows (the tenth
    // column, not shown).
    QVector<FoundRow> list;
    DayListPlaces place;
    if (selectList(filter,
                   " SELECT relegate_arri_lst.call_no,item.location,relegate_arri_lst.prop_no,item.marc_rec_no,"
                   " relegate_arri_lst.relegate_location,relegate_arri_lst.cert_id,reader.name,"
                   " relegate_arri_lst.relegate_arri_date,relegate_arri_lst.relegate_keep_end_date,"
                   " relegate_arri_lst.id FROM relegate_arri_lst,item,reader " +
                       where + " AND reader.cert_id=relegate_arri_lst.cert_id COLLATE \"default\" ",
                   10, QStringLiteral("1, 10"), 3, 1,
                   [&](const DayListRow& r) {
                       if (list.isEmpty()) list.reserve(r.count());
                       list.push_back(FoundRow{r.text(0), place(r.text(1)), r.text(2), r.texts().value(0),
                                               place(r.text(4)), r.text(5), r.text(6), r.text(7), r.text(8),
                                               r.text(3)});
                   }) != 0)
        return -1;
    m_findSearch = search;
    m_findList = std::move(list);
    if (m_findList.isEmpty()) {
        subInfoBox(kNoFoundList);
        return -1;
    }
    return 0;
}

namespace {
QStringList foundTitles() {
    return {QStringLiteral("索书号"), QStringLiteral("馆藏地"),     QStringLiteral("财产号"),
            QStringLiteral("题名"),   QStringLiteral("委托馆藏地"), QStringLiteral("证件号"),
            QStringLiteral("姓名"),   QStringLiteral("到书日期"),   QStringLiteral("到书保留截至日期")};
}
void fillFound(const QVector<FoundRow>& rows) {
    QVector<QStringList> records;
    for (const FoundRow& r : rows)
        records.push_back(QStringList{r.marcRecNo} + r.cells());
    subFillReport(foundTitles(), records);
}
} // namespace

int FindDesk::cmdFindPrint() {
    if (m_findList.isEmpty()) {
        subInfoBox(kNoFoundList);
        return -1;
    }
    fillFound(m_findList);
    static const QStringList kinds{QStringLiteral("全部"), QStringLiteral("已交接"),
                                   QStringLiteral("未交接")};
    const QString title = QStringLiteral("委托到书清单(%1)").arg(kinds.value(m_findSearch.option));
    subShowReport(title, {title, QStringLiteral("到书起始日期：") + m_findSearch.begin,
                          QStringLiteral("到书截止日期：") + m_findSearch.end,
                          QStringLiteral("委托馆藏组：") + m_findSearch.team, QString(),
                          QStringLiteral("总计：%1册").arg(m_findList.size()), strMadeBy()});
    return 0;
}

int FindDesk::subPrintFind() {
    if (m_found.isEmpty()) {
        subInfoBox(kNoFoundToday);
        return 0;
    }
    fillFound(m_found);
    const QString title = QStringLiteral("书刊划到清单");
    subShowReport(title, {title, QStringLiteral("总计：%1册").arg(m_found.size()),
                          QStringLiteral("制表日期：") + varGetSysInfo(1).toString().left(10),
                          QStringLiteral("经手人：") + varGetSysInfo(4).toString(), QString(), QString(),
                          QString()});
    return 0;
}

} // namespace consign
