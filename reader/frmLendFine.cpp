#include "reader/frmLendFine.h"

#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basText.h"
#include "platform/ui/ButtonRow.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Units.h"
#include "reader/ReaderContext.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>

QPointer<frmLendFine> frmLendFine::instance_;

namespace {

const QColor kRefused = ui::units::colorFromNumber(255);

const char* const kHeaders[] = {"财产号", "条码号", "题名", "借书日期", "还书日期",
                                "超期时间", "应罚款额", "馆藏地", "应还日期", "明细"};

} // namespace

frmLendFine* frmLendFine::form()
{
    if (!instance_)
        instance_ = new frmLendFine();
    return instance_;
}

bool frmLendFine::loaded()
{
    return !instance_.isNull();
}

void frmLendFine::unload()
{
    frmLendFine* form = instance_.data();
    instance_ = nullptr;
    if (form) {
        form->settle_.release();
        form->deleteLater();
    }
}

frmLendFine::frmLendFine(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLendFine"));
    setWindowTitle(QStringLiteral("超期罚款"));
    setModal(true);

    auto* frame = new QGroupBox(QStringLiteral("欠款记录"), this);
    spdFine = new ui::SpreadGrid(QStringLiteral("spdFine"), frame);
    spdFine->setOperationMode(4);
    spdFine->setMaxCols(10);
    for (int c = 0; c < 10; ++c)
        spdFine->setText(c + 1, 0, QString::fromUtf8(kHeaders[c]));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(spdFine);

    auto makeBox = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    txtBillNo = makeBox("txtBillNo");
    txtTotalFine = makeBox("txtTotalFine");
    txtTotalFine->setReadOnly(true);
    txtAllowFine = makeBox("txtAllowFine");
    txtAllowFine->setReadOnly(true);
    txtTrueFineExceed = makeBox("txtTrueFineExceed");
    txtTrueFineExceed->setStyleSheet(QStringLiteral("color: red"));
    txtRemark = makeBox("txtRemark");
    cboFineType = new QComboBox(this);
    cboFineType->setObjectName(QStringLiteral("cboFineType"));
    cboFineType->addItems({QStringLiteral("现金"), QStringLiteral("刷卡"), QStringLiteral("预付款扣除")});
    cboFineType->setCurrentIndex(0);
    lblOB = new QLabel(this);
    lblOB->setObjectName(QStringLiteral("lblOB"));

    const char* const labels[] = {"总欠款：", "票据号：", "可罚款：", "说  明：", "实罚款：", "交款方式："};
    QLabel* lblFine[6];
    for (int i = 0; i < 6; ++i) {
        lblFine[i] = new QLabel(QString::fromUtf8(labels[i]), this);
        lblFine[i]->setObjectName(QStringLiteral("lblFine_%1").arg(i));
    }

    auto* fields = new QGridLayout;
    fields->addWidget(lblFine[0], 0, 0);
    fields->addWidget(txtTotalFine, 0, 1);
    fields->addWidget(lblFine[1], 0, 2);
    fields->addWidget(txtBillNo, 0, 3);
    fields->addWidget(lblFine[2], 1, 0);
    fields->addWidget(txtAllowFine, 1, 1);
    fields->addWidget(lblFine[3], 1, 2);
    fields->addWidget(txtRemark, 1, 3);
    fields->addWidget(lblFine[4], 2, 0);
    fields->addWidget(txtTrueFineExceed, 2, 1);
    fields->addWidget(lblFine[5], 2, 2);
    fields->addWidget(cboFineType, 2, 3);
    fields->addWidget(new QLabel(QStringLiteral("预付款："), this), 3, 0);
    fields->addWidget(lblOB, 3, 1);

    cmdOk = new QPushButton(QStringLiteral("结算(&P)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdCancelExceed = new QPushButton(QStringLiteral("免罚(&R)"), this);
    cmdCancelExceed->setObjectName(QStringLiteral("cmdCancelExceed"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdOk, cmdCancelExceed, cmdCancel})
        b->setAutoDefault(false);
    QHBoxLayout* buttons = ui::buttonRow({cmdOk, cmdCancelExceed, cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(820, 480);

    setTabOrder(txtBillNo, txtRemark);
    setTabOrder(txtRemark, txtTrueFineExceed);
    setTabOrder(txtTrueFineExceed, cboFineType);
    setTabOrder(cboFineType, cmdOk);

    connect(spdFine->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { subSyncTicks(); });
    connect(txtBillNo, &QLineEdit::editingFinished, this, &frmLendFine::txtBillNo_LostFocus);
    connect(cmdOk, &QPushButton::clicked, this, &frmLendFine::cmdOk_Click);
    connect(cmdCancelExceed, &QPushButton::clicked, this, &frmLendFine::cmdCancelExceed_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLendFine::cmdCancel_Click);

    subCenterForm(this, false);
    subSetFont(spdFine);
    subLockButtons();
}

int frmLendFine::initShowForm()
{
    return intShowLoaded(settle_.load(g_strCertID));
}

int frmLendFine::intShowLoaded(clsFineSettle::LoadResult result)
{
    if (result == clsFineSettle::LoadResult::Failed) {
        subLockButtons();
        return -1;
    }
    if (settle_.blnReaderRead()) {
        lblOB->setText(strFormatMoney(settle_.lngObligate()));
        setWindowTitle(QStringLiteral("超期罚款(") + settle_.strRedrName() + QStringLiteral("：") + g_strCertID
                       + QLatin1Char(')'));
    }
    subFillGrid();
    txtRemark->clear();
    txtTotalFine->setText(strFormatMoney(settle_.lngTotal()));
    subRecount();
    if (result == clsFineSettle::LoadResult::Corrected) {
        // The stored total was put right and committed: the rows are read
        // again before anything can be settled.
        subLockButtons();
        return -1;
    }
    txtBillNo->clear();
    cmdOk->setEnabled(settle_.blnPayEnabled());
    cmdCancelExceed->setEnabled(settle_.blnWaiveEnabled());
    txtTrueFineExceed->setReadOnly(!settle_.blnAmountEditable());
    return 0;
}

void frmLendFine::subFillGrid()
{
    const QVector<clsFineSettle::FineRow>& rows = settle_.rows();
    const QSignalBlocker quiet(spdFine->selectionModel());
    spdFine->setRedraw(false);
    spdFine->clearSelection();
    spdFine->setMaxRows(0);
    spdFine->setMaxRows(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const clsFineSettle::FineRow& r = rows[i];
        const int row = i + 1;
        spdFine->setText(1, row, r.propNo);
        spdFine->setText(2, row, r.barCode);
        spdFine->setText(3, row, r.title);
        spdFine->setText(4, row, strFineDateText(r.timeUnit, r.lendDate));
        spdFine->setText(5, row, strFineDateText(r.timeUnit, r.retDate));
        spdFine->setText(6, row, strOverdueText(r.timeUnit, r.normRetDate, r.retDate));
        spdFine->setText(7, row, strFormatMoney(r.fine));
        spdFine->setText(8, row, strLocationName(r.location));
        spdFine->setText(9, row, r.normRetDate);
        spdFine->setText(10, row, r.remark);
        if (r.refused)
            spdFine->setRowForeColor(row, kRefused);
        spdFine->setRowSelected(row, r.ticked);
    }
    // Titles and dates with their times show whole; the grid scrolls sideways.
    spdFine->resizeColumnsToContents();
    spdFine->setRedraw(true);
}

void frmLendFine::subRecount()
{
    const QVector<clsFineSettle::FineRow>& rows = settle_.rows();
    for (int i = 0; i < rows.size(); ++i)
        spdFine->setText(0, i + 1, QString::number(i + 1) + (rows[i].ticked ? QStringLiteral("★") : QString()));
    txtAllowFine->setText(strFormatMoney(settle_.lngAllowed()));
    subShowProposal();
}

void frmLendFine::subShowProposal()
{
    if (const std::optional<Cents> p = settle_.optProposal())
        txtTrueFineExceed->setText(strFormatMoney(*p));
}

void frmLendFine::spdFine_Click(int row)
{
    if (row >= 1 && row <= spdFine->maxRows())
        subSyncTicks();
}

void frmLendFine::subSyncTicks()
{
    if (syncing_)
        return;
    // The grid's selection is what the worker chose; a row of a location this
    // desk may not settle goes back to unchosen, and the first of them says why.
    int refused = -1;
    {
        const QScopedValueRollback<bool> busy(syncing_, true);
        const QVector<clsFineSettle::FineRow>& rows = settle_.rows();
        for (int r = 1; r <= spdFine->maxRows() && r <= rows.size(); ++r) {
            const bool chosen = spdFine->isRowSelected(r);
            if (rows[r - 1].refused && chosen) {
                spdFine->setRowSelected(r, false);
                if (refused < 0)
                    refused = r;
                continue;
            }
            settle_.blnSetTicked(r - 1, chosen);
        }
        subRecount();
        cmdOk->setEnabled(settle_.blnPayEnabled());
        cmdCancelExceed->setEnabled(settle_.blnWaiveEnabled());
        spdFine->viewport()->update();
    }
    if (refused > 0)
        settle_.blnSetTicked(refused - 1, true); // shows the message, stays unticked
}

void frmLendFine::txtBillNo_LostFocus()
{
    txtBillNo->setText(txtBillNo->text().trimmed().toUpper());
}

clsFineSettle::PayInput frmLendFine::varInput() const
{
    clsFineSettle::PayInput in;
    in.amountText = txtTrueFineExceed->text();
    in.billNo = txtBillNo->text();
    in.remark = txtRemark->text();
    in.payMode = cboFineType->currentIndex();
    return in;
}

void frmLendFine::subApply(const clsFineSettle::Outcome& outcome)
{
    txtTrueFineExceed->setText(outcome.amountText);
    txtBillNo->setText(outcome.billNo);
    if (outcome.focus == clsFineSettle::Focus::Amount)
        txtTrueFineExceed->setFocus();
    else if (outcome.focus == clsFineSettle::Focus::BillNo)
        txtBillNo->setFocus();
    if (outcome.reloaded) {
        // Changed at another desk: the window shows the fines as they stand
        // now; the bill number typed stays.
        intShowLoaded(settle_.lastLoad());
        txtBillNo->setText(outcome.billNo);
    }
    if (!settle_.blnReady())
        subLockButtons();
}

void frmLendFine::subLockButtons()
{
    cmdOk->setEnabled(false);
    cmdCancelExceed->setEnabled(false);
}

void frmLendFine::cmdOk_Click()
{
    const clsFineSettle::Outcome outcome = settle_.pay(varInput());
    if (outcome.done) {
        done(QDialog::Accepted);
        return;
    }
    subApply(outcome);
}

void frmLendFine::cmdCancelExceed_Click()
{
    const clsFineSettle::Outcome outcome = settle_.waive(varInput());
    if (!outcome.done) {
        subApply(outcome);
        return;
    }
    txtBillNo->setText(outcome.billNo);
    cmdCancelExceed->setEnabled(false);
    txtRemark->clear();
    intShowReady();
}

int frmLendFine::intShowReady()
{
    return intShowLoaded(settle_.loadReady(g_strCertID));
}

void frmLendFine::cmdCancel_Click()
{
    settle_.cancel();
    done(QDialog::Rejected);
}

void frmLendFine::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    txtBillNo->setFocus();
}

void frmLendFine::done(int result)
{
    // Closing by any other way than the buttons: nothing half-done is kept.
    settle_.release();
    QDialog::done(result);
    if (instance_ == this)
        unload();
}

void subOpenLendFine(QWidget* owner, const QString& certId, double exceedFine)
{
    g_strCertID = certId;
    g_dblExceedFine = exceedFine;
    frmLendFine* form = frmLendFine::form();
    if (owner && form->parentWidget() != owner)
        form->setParent(owner, form->windowFlags());
    const int ready = form->intShowReady();
    // Rows that could not be read (the reason is already shown)
    // leave nothing to settle: the window is not shown.
    if (ready == 0)
        ui::DialogService::current().execDialog(form);
    frmLendFine::unload();
}

void subShowLendFine(QWidget* owner, const QString& retRedr)
{
    if (blnFineDue(retRedr))
        subOpenLendFine(owner, retRedr, g_dblExceedFine);
}
