#include "report/FineSlips.h"

#include "reader/basFineMoney.h"
#include "reader/clsFineSettle.h"
#include "report/frmPrtABF.h"

qint16 g_intPrtFineSlip = 0;

ReportArray varFineSlipRecords(const FineReceipt& receipt) {
    ReportArray a;
    const int n = int(receipt.rows.size());
    a.resize(n, 16);
    for (int i = 0; i < n; ++i) {
        const FineReceipt::Row& r = receipt.rows[i];
        a.setRow(i + 1, {QString(), r.propNo, r.barCode, r.title, r.lendDate, r.retDate, r.overdue,
                         strFormatMoney(r.fine), r.location, r.normRetDate, r.remark,
                         strFormatMoney(r.charged), receipt.redrName, receipt.certId, receipt.billNo,
                         receipt.workerNo, QStringLiteral("ExceedFine")});
    }
    return a;
}

void subPrintFineSlips(const FineReceipt& receipt) {
    if (g_intPrtFineSlip != 1 || receipt.kind != FineReceipt::Kind::Paid) return;
    g_varPrtData = varFineSlipRecords(receipt);
    frmPrtABF* f = frmPrtABF::form();
    f->m_iAddOrder = 1;
    f->m_Cols = 1;
    f->m_strApp = QStringLiteral("超期罚款单");
    f->subShowModal();
}

void subInstallFineSlips() {
    g_fnPrintFineReceipt = subPrintFineSlips;
}
