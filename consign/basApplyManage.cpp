#include "consign/basApplyManage.h"

#include "common/basDB.h"
#include "common/basMsg.h"
#include "desk/ConsignDesk.h"

namespace consign {

namespace {

const QString kGone = QStringLiteral("该委托申请已不再等待（已被处理、删除或移动），已重新读取委托队列。");

} // namespace

int ApplyManage::subInitLocation() {
    titles.clear();
    queue.clear();
    titleRow = -1;
    return intLoadManageLocations(locations);
}

int ApplyManage::cmbLocation_Click(int index) {
    if (index < 0 || index >= locations.codes.size()) return -1;
    DBResultSet rs;
    if (db.select(" SELECT DISTINCT call_no_lst.call_no,call_no_lst.marc_rec_no,call_no_lst.lend_grd "
                  " FROM relegate_lst,call_no_lst "
                  " WHERE relegate_lst.location=" +
                      q(locations.codes.at(index)) + " AND relegate_lst.relegate_flag=" + q("0") +
                      " AND relegate_lst.call_no=call_no_lst.call_no "
                      " ORDER BY call_no_lst.call_no",
                  rs) != 0) {
        intShowDBError();
        return -1;
    }
    locations.index = index;
    titles.clear();
    for (int i = 0; i < rs.rowCount(); ++i) {
        QueueTitle t;
        t.callNo = rs.text(i, 0);
        t.marcRecNo = rs.text(i, 1);
        t.lendGrd = rs.text(i, 2);
        const QStringList texts = marcTexts(t.marcRecNo);
        t.title = texts.value(0);
        t.author = texts.value(1);
        t.publisher = texts.value(2);
        titles << t;
    }
    titleRow = -1;
    queue.clear();
    return 0;
}

int ApplyManage::subShowQueue(int row) {
    if (row < 0 || row >= titles.size()) return -1;
    const QString date = db.today();
    DBResultSet rs;
    if (db.select(" SELECT relegate_lst.cert_id,reader.name,reader.redr_type_code,reader.lend_grd,"
                  " relegate_lst.relegate_date,relegate_lst.relegate_keep_days,"
                  " relegate_lst.relegate_end_date,relegate_lst.relegate_no "
                  " FROM relegate_lst,reader "
                  " WHERE relegate_lst.location=" +
                      q(location()) + " AND relegate_lst.call_no=" + q(titles.at(row).callNo) +
                      " AND relegate_lst.relegate_flag=" + q("0") +
                      " AND relegate_lst.cert_id=reader.cert_id "
                      " ORDER BY relegate_lst.relegate_no",
                  rs) != 0) {
        intShowDBError();
        return -1;
    }
    titleRow = row;
    today = date;
    queue.clear();
    for (int i = 0; i < rs.rowCount(); ++i) {
        QueueRow r;
        r.certId = rs.text(i, 0);
        r.name = rs.text(i, 1);
        r.redrTypeCode = rs.text(i, 2);
        r.lendGrd = rs.text(i, 3);
        r.relegateDate = rs.text(i, 4);
        r.keepDays = rs.text(i, 5);
        r.endDate = rs.text(i, 6);
        r.relegateNo = rs.text(i, 7).toInt();
        r.expired = r.endDate < today;
        queue << r;
    }
    return 0;
}

int ApplyManage::refuse(const QString& text) {
    db.rollback();
    subManageBox(text, true);
    subReloadQueue();
    return -1;
}

int ApplyManage::subModifyApply(int row, const QString& keepDays, const QString& endDate) {
    if (row < 0 || row >= queue.size()) return -1;
    const int rc =
        db.writeRows(" UPDATE relegate_lst SET relegate_keep_days=" + q(keepDays) + "," +
                     " relegate_end_date=" + q(endDate) + " WHERE cert_id=" + q(queue.at(row).certId) +
                     " AND call_no=" + q(currentCallNo()) + " AND relegate_flag=" + q("0"));
    if (rc == 1) subManageBox(kGone, true);
    if (rc >= 0) subReloadQueue();
    return rc == 0 ? 0 : -1;
}

int ApplyManage::subDeleteApply(int row) {
    if (row < 0 || row >= queue.size()) return -1;
    if (intShowMsg(QStringLiteral("QCM003")) != 1) return 0;
    const QString certId = queue.at(row).certId, callNo = currentCallNo();
    if (db.begin() != 0) {
        intShowDBError();
        return -1;
    }
    DBResultSet rs;
    if (db.select(desk::strQueueLockSql(callNo, location()), rs) != 0 ||
        db.select("SELECT relegate_no FROM relegate_lst WHERE cert_id=" + q(certId) +
                      " AND call_no=" + q(callNo) + " AND location=" + q(location()) +
                      " AND relegate_flag=" + q("0") + " FOR UPDATE",
                  rs) != 0)
        return db.abort();
    if (rs.rowCount() < 1) return refuse(kGone);
    const QString number = rs.text(0, 0);
    if (db.execute(" UPDATE relegate_lst SET  relegate_flag=" + q("2") +
                   ", relegate_no=0  WHERE cert_id=" + q(certId) + " AND call_no=" + q(callNo) +
                   " AND location=" + q(location()) + " AND relegate_flag=" + q("0")) != 0 ||
        db.execute(" UPDATE relegate_lst  SET relegate_no=relegate_no-1  WHERE call_no=" + q(callNo) +
                   " AND location=" + q(location()) + " AND relegate_no>" + q(number) +
                   " AND relegate_flag=" + q("0")) != 0 ||
        db.commit() != 0)
        return db.abort();
    subReloadQueue();
    return 0;
}

int ApplyManage::subMoveApply(int row, bool down) {
    if (queue.size() <= 1 || row < 0 || row >= queue.size()) return -1;
    if ((down && row == queue.size() - 1) || (!down && row == 0)) return -1;
    const QString readerA = queue.at(row).certId;
    const QString readerB = queue.at(down ? row + 1 : row - 1).certId;
    const QString callNo = currentCallNo();
    if (db.begin() != 0) {
        intShowDBError();
        return -1;
    }
    // The queue as it stands, held: A must still wait and B be its neighbour.
    DBResultSet rs;
    if (db.select(desk::strQueueLockSql(callNo, location()), rs) != 0 ||
        db.select("SELECT cert_id, relegate_no FROM relegate_lst WHERE call_no=" + q(callNo) +
                      " AND location=" + q(location()) + " AND relegate_flag=" + q("0") +
                      " ORDER BY relegate_no FOR UPDATE",
                  rs) != 0)
        return db.abort();
    int at = -1;
    for (int i = 0; i < rs.rowCount(); ++i) {
        if (rs.text(i, 0) == readerA) at = i;
    }
    if (at < 0) return refuse(kGone);
    const int other = down ? at + 1 : at - 1;
    if (other < 0 || other >= rs.rowCount() || rs.text(other, 0) != readerB)
        return refuse(QStringLiteral("委托队列已被其他工作站改变，未移动，已重新读取委托队列。"));
    const QString numberA = rs.text(at, 1), numberB = rs.text(other, 1);
    auto setNumber = [&](const QString& certId, const QString& number) {
        return db.execute(" UPDATE relegate_lst SET relegate_no=" + q(number) +
                          " WHERE cert_id=" + q(certId) + " AND call_no=" + q(callNo) +
                          " AND location=" + q(location()) + " AND relegate_flag=" + q("0"));
    };
    if (setNumber(readerA, numberB) != 0 || setNumber(readerB, numberA) != 0 || db.commit() != 0)
        return db.abort();
    subReloadQueue();
    return 0;
}

int ApplyManage::subDeleteOld() {
    if (titleRow < 0 || titleRow >= titles.size()) return -1;
    if (intShowMsg(QStringLiteral("QCM003")) != 1) return 0;
    const QString callNo = currentCallNo();
    if (db.begin() != 0) {
        intShowDBError();
        return -1;
    }
    const QString date = db.today();
    DBResultSet rs;
    if (db.select(desk::strQueueLockSql(callNo, location()), rs) != 0 ||
        db.execute(" UPDATE relegate_lst SET relegate_flag=" + q("2") +
                   ", relegate_no=0  WHERE call_no=" + q(callNo) + " AND location=" + q(location()) +
                   " AND relegate_end_date<" + q(date) + " AND relegate_flag=" + q("0")) != 0 ||
        db.commit() != 0)
        return db.abort();
    subReloadQueue();
    return 0;
}

int ApplyManage::subDeleteAllOld() {
    if (locations.index < 0) return -1;
    if (intShowMsg(QStringLiteral("QCM003")) != 1) return 0;
    if (db.begin() != 0) {
        intShowDBError();
        return -1;
    }
    const QString date = db.today();
    if (db.execute(" UPDATE relegate_lst SET  relegate_flag=" + q("2") +
                   ", relegate_no=0  WHERE location=" + q(location()) + " AND relegate_end_date<" + q(date) +
                   " AND relegate_lst.relegate_flag=" + q("0")) != 0 ||
        db.commit() != 0)
        return db.abort();
    cmbLocation_Click(locations.index);
    return 0;
}

} // namespace consign
