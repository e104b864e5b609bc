#include "consign/basFindManage.h"

#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMsg.h"
#include "shell/basLT4Add.h"

namespace consign {

int FindManage::subInitLocation() {
    rows.clear();
    return intLoadManageLocations(locations);
}

int FindManage::cmbLocation_Click(int index) {
    if (index < 0 || index >= locations.codes.size()) return -1;
    const QString where = " WHERE item.location=" + q(locations.codes.at(index)) +
                          " AND relegate_arri_lst.prop_no=item.prop_no "
                          " AND relegate_arri_lst.relegate_end_flag<" +
                          q("3");
    // The server's date, the found copies and the records of their titles in
    // one round trip.
    LIB_DB_Batch b;
    const int dateAt = b.serverDate();
    const int listAt =
        b.select(" SELECT item.call_no,relegate_arri_lst.prop_no,item.marc_rec_no,"
                 " relegate_arri_lst.cert_id,reader.name,relegate_arri_lst.relegate_arri_date,"
                 "relegate_arri_lst.relegate_noti_date,"
                 " relegate_arri_lst.relegate_keep_days,relegate_arri_lst.relegate_keep_end_date,"
                 "relegate_arri_lst.relegate_location FROM relegate_arri_lst,item,reader " +
                 where + " AND relegate_arri_lst.cert_id=reader.cert_id " +
                 " ORDER BY relegate_arri_lst.call_no, relegate_arri_lst.id");
    // The records of the copies' titles need not wait for the readers.
    const int marcAt =
        b.selectRaw(strMarcPageSQL("SELECT item.marc_rec_no FROM relegate_arri_lst,item " + where));
    if (db.run(b) != 0) {
        intShowDBError();
        return -1;
    }
    const DBResultSet& rs = b.rows(listAt);
    const QHash<QString, QStringList> titles = mapMarcTexts(rs, 2, &b.raw(marcAt), 1);
    locations.index = index;
    today = b.rows(dateAt).text(0, 0).left(10);
    rows.clear();
    rows.reserve(rs.rowCount());
    for (int i = 0; i < rs.rowCount(); ++i) {
        FoundCopyRow r;
        r.callNo = rs.text(i, 0);
        r.propNo = rs.text(i, 1);
        r.marcRecNo = rs.text(i, 2);
        r.certId = rs.text(i, 3);
        r.name = rs.text(i, 4);
        r.arriDate = rs.text(i, 5);
        r.notiDate = rs.text(i, 6);
        r.keepDays = rs.text(i, 7);
        r.keepEndDate = rs.text(i, 8);
        r.relegateLocation = rs.text(i, 9);
        r.title = titles.value(r.marcRecNo).value(0);
        r.passed = r.keepEndDate < today;
        rows << r;
    }
    return 0;
}

int FindManage::subReload(const QString& done) {
    if (locations.index < 0) return -1;
    if (cmbLocation_Click(locations.index) == 0) return 0;
    // The error is shown. The rows of the last load no longer show the
    // database (an action of this desk changed it): none are kept, and the
    // worker is told that the action itself went through.
    rows.clear();
    if (!done.isEmpty()) subManageBox(done + QStringLiteral("到书列表未能重新读取，请重新选择馆藏地。"));
    return -1;
}

int FindManage::subModifyFind(int row, const QString& keepDays, const QString& endDate) {
    if (row < 0 || row >= rows.size()) return -1;
    const int rc =
        db.writeRows(" UPDATE relegate_arri_lst SET relegate_keep_days=" + q(keepDays) + "," +
                     " relegate_keep_end_date=" + q(endDate) + " WHERE cert_id=" + q(rows.at(row).certId) +
                     " AND prop_no=" + q(rows.at(row).propNo) + " AND relegate_end_flag<" + q("3"));
    if (rc == 1) subManageBox(QStringLiteral("该到书已被领取或取消，未修改，已重新读取到书列表。"), true);
    if (rc >= 0) subReload(rc == 0 ? QStringLiteral("保留天数已修改；") : QString());
    return rc == 0 ? 0 : -1;
}

int FindManage::cancelRows(const QString& where) {
    // The transaction, the server's date and the open rows locked in one round
    // trip: a pick-up under way finishes first, and a row it collected is no
    // longer chosen. The date is read once, in the statement that chooses.
    // Each row's reader is locked before it, as a lending locks the reader
    // before the copy and the reader's loans.
    LIB_DB_Batch locked;
    locked.select("WITH today AS MATERIALIZED (SELECT to_char(desk_now(), 'YYYY-MM-DD') AS d) "
                  "SELECT f.id, today.d FROM today, reader "
                  "JOIN relegate_arri_lst f ON reader.cert_id=f.cert_id COLLATE \"default\" "
                  "JOIN item ON item.prop_no=f.prop_no "
                  "WHERE " +
                  where + " AND f.relegate_end_flag<" + q("3") + " ORDER BY f.id FOR UPDATE OF reader, f");
    if (db.runOpening(locked) != 0) return -1;
    const DBResultSet& rs = locked.rows(0);
    if (rs.rowCount() == 0) {
        db.rollback();
        return 0;
    }
    QStringList ids;
    for (int i = 0; i < rs.rowCount(); ++i)
        ids << rs.text(i, 0);
    const QString chosen = "(" + ids.join(QLatin1Char(',')) + ")";
    const QString date = rs.text(0, 1);
    // The three writes and the commit in one more.
    LIB_DB_Batch writes;
    writes.execute("DELETE FROM lend_lst l USING relegate_arri_lst f WHERE f.id IN " + chosen +
                   " AND l.prop_no=f.prop_no AND l.cert_id=f.cert_id");
    writes.execute("UPDATE item SET book_lend_flag=" + q("0") +
                   " WHERE prop_no IN (SELECT prop_no FROM relegate_arri_lst WHERE id IN " + chosen +
                   ") AND NOT EXISTS (SELECT 1 FROM lend_lst WHERE lend_lst.prop_no=item.prop_no)");
    writes.execute(
        "UPDATE relegate_arri_lst SET relegate_lend_date=" + q(date) + ", relegate_ret_date=" + q(date) +
        ", relegate_ret_location=relegate_location, relegate_end_flag=" + q("4") + " WHERE id IN " + chosen);
    writes.commit();
    ++db.statements; // COMMIT
    if (db.run(writes) != 0) return db.abort();
    return int(ids.size());
}

int FindManage::intCancelFound(const QString& certId, const QString& propNo) {
    const int n = cancelRows("f.cert_id=" + q(certId) + " AND f.prop_no=" + q(propNo));
    if (n < 0) return -1;
    if (n == 0) {
        subManageBox(QStringLiteral("该到书已被领取或取消，未能取消，已重新读取到书列表。"), true);
        return 1;
    }
    lastCancelled = n;
    return 0;
}

int FindManage::subDeleteFind(int row) {
    if (row < 0 || row >= rows.size()) return -1;
    if (intShowMsg(QStringLiteral("QCM003")) != 1) return 0;
    const FoundCopyRow r = rows.at(row);
    const int rc = intCancelFound(r.certId, r.propNo);
    if (rc < 0) return -1;
    subReload(rc == 0 ? QStringLiteral("该到书已取消；") : QString());
    return rc == 0 ? 0 : -1;
}

int FindManage::subDeleteOldFind() {
    if (locations.index < 0) return -1;
    if (intShowMsg(QStringLiteral("QCM003")) != 1) return 0;
    const int n = cancelRows("item.location=" + q(location()) + " AND f.relegate_keep_end_date<today.d");
    if (n < 0) return -1;
    lastCancelled = n;
    subReload(QStringLiteral("保留期已过的到书已取消；"));
    return 0;
}

bool FindManage::blnMailCheck() const {
    auto box = [](const QString& text) {
        subManageBox(text);
        return false;
    };
    if (g_strSmtpAddress.trimmed().isEmpty()) return box(QStringLiteral("请设置好SMTP服务器地址。"));
    // The own mailbox is the sender of every notice: needed whether or not a
    // copy goes to it.
    if (g_strEmailAddress.trimmed().isEmpty()) return box(QStringLiteral("请设置好发件人Email地址。"));
    return true;
}

} // namespace consign
