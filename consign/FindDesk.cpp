#include "consign/FindDesk.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMsg.h"
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

} // namespace

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

int FindDesk::selectList(const QString& sql, const QString& numbers, int column, DBResultSet& rs,
                         QHash<QString, QStringList>& titles, int texts) {
    LIB_DB_Batch b;
    const int listAt = b.select(sql);
    const int marcAt = b.selectRaw(strMarcPageSQL(numbers));
    m_statements += b.count();
    if (statementLog) *statementLog << b.sql(listAt) << b.sql(marcAt);
    // Records that cannot be read leave the titles blank, as they always did.
    if (b.run() != 0 && b.failedAt() != marcAt) {
        intShowDBError();
        return -1;
    }
    rs = b.rows(listAt);
    titles = mapMarcTexts(rs, column, b.failedAt() == marcAt ? nullptr : &b.raw(marcAt), texts);
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
    // The requesters of the copy's title at its stored location (the
    // waiting, still valid requests) locked in reader-number order; the copy
    // with those requests in queue order, the requester check's reads of all
    // of them and the copy's record; then what the lending judges on, locked
    // (the copy, the requesters' loans, the queue): one round trip however
    // many are queued. The transaction stays open for the lending, which
    // gives the locks up before any question or message. Named prepared
    // statements, planned once per session: $1 is the bar code.
    const QString queue = "FROM relegate_lst JOIN item ON relegate_lst.call_no = item.call_no "
                          "AND relegate_lst.location = item.location WHERE item.bar_code = $1"
                          " AND relegate_lst.relegate_end_date >= to_char(desk_now(), 'YYYY-MM-DD') "
                          "AND relegate_lst.relegate_flag = '0'";
    LIB_DB_Batch b;
    b.begin();
    b.prepared(QStringLiteral("find_scan_lock"),
               "SELECT cert_id FROM reader WHERE cert_id IN (SELECT relegate_lst.cert_id COLLATE \"default\" " +
                   queue + ") ORDER BY cert_id FOR UPDATE",
               {code});
    const int copyAt =
        b.prepared(QStringLiteral("find_scan_copy"),
                   "SELECT relegate_lst.cert_id, relegate_lst.relegate_no, relegate_lst.relegate_location, "
                   "relegate_lst.relegate_date, item.book_lend_flag FROM item LEFT JOIN relegate_lst "
                   "ON relegate_lst.call_no = item.call_no AND relegate_lst.location = item.location "
                   "AND relegate_lst.relegate_end_date >= to_char(desk_now(), 'YYYY-MM-DD') "
                   "AND relegate_lst.relegate_flag = '0' WHERE item.bar_code = $1 ORDER BY relegate_lst.relegate_no",
                   {code});
    const desk::ApplicantReads checks = desk::addApplicantReads(b, "SELECT relegate_lst.cert_id " + queue,
                                                                QStringLiteral("find_scan_queue"), {code});
    const int recordAt = b.preparedRaw(QStringLiteral("find_scan_record"),
                                       strMarcPageSQL("SELECT marc_rec_no FROM item WHERE bar_code = $1"), {code});
    const desk::LendFactReads factsAt =
        desk::DeskLending::addFactReads(QStringLiteral("item.bar_code"), code, true, b,
                                        QStringLiteral("find_scan_lend_"),
                                        "IN (SELECT relegate_lst.cert_id " + queue + ")", {code});
    b.prepared(QStringLiteral("find_scan_queue_lock"),
               "SELECT " + desk::strQueueLockExpr(QStringLiteral("item.call_no"), QStringLiteral("item.location")) +
                   " FROM item WHERE item.bar_code = $1 AND EXISTS (SELECT 1 " + queue + ")",
               {code});
    const int queueAt = b.prepared(QStringLiteral("find_scan_queue_rows"),
                                   "SELECT relegate_lst.cert_id, relegate_lst.relegate_no " + queue +
                                       " FOR UPDATE OF relegate_lst",
                                   {code});
    m_statements += b.count() + 1;
    if (statementLog) {
        for (int i = 0; i < b.count(); ++i)
            statementLog->append(b.text(i));
    }
    if (b.run() != 0) {
        if (LIB_DB_InTrans()) LIB_DB_Rollback();
        intShowDBError();
        return -1;
    }
    // Nothing stays locked while a message is open.
    auto release = [this] {
        if (!LIB_DB_InTrans()) return;
        ++m_statements;
        LIB_DB_CommitTrans();
    };
    const QHash<QString, MarcRecord> records = mapMarcsOf(b.raw(recordAt));
    m_scannedTexts = marcTexts(records.isEmpty() ? MarcRecord() : records.begin().value());
    const DBResultSet& rs = b.rows(copyAt);
    // A copy found already is handled where its found row is.
    if (rs.rowCount() > 0 && rs.text(0, 4) == QLatin1String("3")) {
        release();
        intShowMsg(kHeldForConsignment);
        return -1;
    }
    if (rs.rowCount() < 1 || rs.text(0, 0).isEmpty()) {
        release();
        subInfoBox(QStringLiteral("没有任何读者委托该书。"));
        return -1;
    }
    for (int i = 0; i < rs.rowCount(); ++i) {
        if (m_desk.intJudgeApplicant(b, checks, rs.text(i, 0)) != 0) continue;
        const int r = m_lending.intLendFound(
            code, desk::FoundRequest{rs.text(i, 1), rs.text(i, 2), rs.text(i, 3), &b, factsAt, queueAt});
        if (r == 1) {
            release();
            return -1;
        }
        if (r != 0) continue;
        release();
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
    release();
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
    QString where = " WHERE relegate_lst.relegate_date>=" + q(search.begin) +
                    " AND relegate_lst.relegate_date<=" + q(search.end) +
                    " AND relegate_lst.relegate_end_date>=" + today() +
                    " AND relegate_lst.relegate_flag=" + q(QStringLiteral("0")) +
                    " AND relegate_lst.call_no=call_no_lst.call_no ";
    if (!cmbApplyTeam.onAll())
        where += " AND relegate_lst.relegate_location IN (SELECT location FROM location_lst  WHERE "
                 "location_property=" +
                 q(cmbApplyTeam.code()) + ")";
    if (!cmbApplyTeamII.onAll())
        where += " AND relegate_lst.location IN (SELECT location FROM location_lst  WHERE location_property=" +
                 q(cmbApplyTeamII.code()) + ")";
    if (!cmbApplyLocation.onAll()) where += " AND relegate_lst.location=" + q(cmbApplyLocation.code());
    // The copies of the request's title at its holding location: on the
    // shelf ('41'), and of those the ones not lent, counted in one pass.
    const QString sql = " SELECT relegate_lst.call_no,call_no_lst.marc_rec_no,relegate_lst.relegate_location,"
                        " relegate_lst.cert_id,reader.name,relegate_lst.location,copies.lendable,copies.in_library"
                        " FROM relegate_lst CROSS JOIN LATERAL (SELECT count(*) AS lendable,"
                        " count(*) FILTER (WHERE item.book_lend_flag='0') AS in_library FROM item"
                        " WHERE item.call_no=relegate_lst.call_no AND item.location=relegate_lst.location"
                        " AND item.book_stat_code='41') copies,call_no_lst,reader" +
                        where + " AND reader.cert_id=relegate_lst.cert_id COLLATE \"default\" " +
                        " ORDER BY relegate_lst.call_no,relegate_lst.location,relegate_lst.relegate_no";
    // The records of the requests' titles need not wait for the readers: a
    // request whose reader is gone only brings a record that is not shown.
    DBResultSet rs;
    QHash<QString, QStringList> titles;
    if (selectList(sql, "SELECT call_no_lst.marc_rec_no FROM relegate_lst,call_no_lst" + where, 1, rs, titles,
                   3) != 0)
        return -1;
    m_applySearch = search;
    m_applyList.clear();
    if (rs.rowCount() < 1) {
        subInfoBox(kNoApply);
        return -1;
    }
    DayListPlaces place;
    m_applyList.reserve(rs.rowCount());
    for (int i = 0; i < rs.rowCount(); ++i) {
        const QString no = rs.text(i, 1);
        const QStringList t = titles.value(no);
        m_applyList.push_back(ApplyRow{rs.text(i, 0), t.value(0), t.value(1), t.value(2), place(rs.text(i, 2)),
                                       rs.text(i, 3), rs.text(i, 4), place(rs.text(i, 5)), no,
                                       rs.text(i, 6).toInt(), rs.text(i, 7).toInt()});
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
    QString where = " WHERE relegate_arri_lst.relegate_arri_date>=" + q(search.begin) +
                    " AND relegate_arri_lst.relegate_arri_date<=" + q(search.end) +
                    " AND relegate_arri_lst.relegate_keep_end_date>=" + today() +
                    " AND relegate_arri_lst.prop_no=item.prop_no ";
    if (optType == 1)
        where += " AND relegate_arri_lst.relegate_end_flag=" + q(QStringLiteral("2"));
    else if (optType == 2)
        where += " AND relegate_arri_lst.relegate_end_flag=" + q(QStringLiteral("1"));
    else
        where += " AND relegate_arri_lst.relegate_end_flag<" + q(QStringLiteral("3"));
    if (!cmbFindTeam.onAll())
        where += " AND relegate_arri_lst.relegate_location IN (SELECT location FROM location_lst "
                 " WHERE location_lst.location_property=" +
                 q(cmbFindTeam.code()) + ")";
    if (!cmbFindTeamII.onAll())
        where += " AND relegate_arri_lst.relegate_find_location IN (SELECT location FROM location_lst WHERE "
                 "location_property=" +
                 q(cmbFindTeamII.code()) + ")";
    // The records of the copies' titles need not wait for the readers.
    DBResultSet rs;
    QHash<QString, QStringList> titles;
    if (selectList(" SELECT relegate_arri_lst.call_no,item.location,relegate_arri_lst.prop_no,item.marc_rec_no,"
                   " relegate_arri_lst.relegate_location,relegate_arri_lst.cert_id,reader.name,"
                   " relegate_arri_lst.relegate_arri_date,relegate_arri_lst.relegate_keep_end_date "
                   " FROM relegate_arri_lst,item,reader " +
                       where + " AND reader.cert_id=relegate_arri_lst.cert_id COLLATE \"default\" " +
                       " ORDER BY relegate_arri_lst.call_no, relegate_arri_lst.id",
                   "SELECT item.marc_rec_no FROM relegate_arri_lst,item " + where, 3, rs, titles, 1) != 0)
        return -1;
    m_findSearch = search;
    m_findList.clear();
    if (rs.rowCount() < 1) {
        subInfoBox(kNoFoundList);
        return -1;
    }
    DayListPlaces place;
    m_findList.reserve(rs.rowCount());
    for (int i = 0; i < rs.rowCount(); ++i) {
        const QString no = rs.text(i, 3);
        m_findList.push_back(FoundRow{rs.text(i, 0), place(rs.text(i, 1)), rs.text(i, 2),
                                      titles.value(no).value(0), place(rs.text(i, 4)), rs.text(i, 5),
                                      rs.text(i, 6), rs.text(i, 7), rs.text(i, 8), no});
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
