#include "consign/frmKeepDaysEdit.h"

#include "consign/basManage.h"
#include "shell/basLogin.h"

#include "platform/ui/ButtonRow.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/NumberBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmKeepDaysEdit::frmKeepDaysEdit(const Texts& t, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(t.objectName));
    setWindowTitle(QStringLiteral("修改"));
    setModal(true);
    auto* grid = new QGridLayout;
    auto row = [&](int r, const char* caption, QWidget* field) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), this), r, 0, Qt::AlignRight);
        grid->addWidget(field, r, 1);
    };
    lblBeginDate = new QLabel(this);
    lblBeginDate->setObjectName(QStringLiteral("lblBeginDate"));
    lblOldKeepDay = new QLabel(this);
    lblOldKeepDay->setObjectName(QStringLiteral("lblOldKeepDay"));
    txtNewKeepDay = new ui::NumberBox(QStringLiteral("txtNewKeepDay"), this);
    txtNewKeepDay->setMask(QStringLiteral("######"));
    txtNewKeepDay->setSelectAllOnFocus(true);
    lblEndDate = new QLabel(this);
    lblEndDate->setObjectName(QStringLiteral("lblEndDate"));
    row(0, t.begin, lblBeginDate);
    row(1, t.oldDays, lblOldKeepDay);
    row(2, t.newDays, txtNewKeepDay);
    row(3, t.end, lblEndDate);
    QHBoxLayout* buttons = ui::okCancelRow(this, cmdOK, cmdCancel, QString::fromUtf8(t.ok));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(buttons);

    connect(txtNewKeepDay, &QLineEdit::textChanged, this, [this](const QString& text) {
        lblEndDate->setText(consign::strKeepEndDate(lblBeginDate->text(), text));
    });
    connect(cmdOK, &QPushButton::clicked, this, &frmKeepDaysEdit::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmKeepDaysEdit::cmdCancel_Click);
}

void frmKeepDaysEdit::subLoad() {
    g_blnDlgOk = false;
    lblBeginDate->setText(m_strBeginDate.left(10));
    lblOldKeepDay->setText(m_strKeepDay);
    txtNewKeepDay->setText(m_strKeepDay);
    // The stored end date, set last, stands until the days change.
    lblEndDate->setText(m_strEndDate.left(10));
}

void frmKeepDaysEdit::cmdOK_Click() {
    if (txtNewKeepDay->text().trimmed().isEmpty()) {
        // The old days come back, with their end date.
        txtNewKeepDay->setText(lblOldKeepDay->text());
        txtNewKeepDay->setFocus();
        return;
    }
    m_strKeepDay = txtNewKeepDay->text().trimmed();
    m_strEndDate = lblEndDate->text();
    g_blnDlgOk = true;
    accept();
}

void frmKeepDaysEdit::cmdCancel_Click() {
    g_blnDlgOk = false;
    reject();
}

bool frmKeepDaysEdit::ask() {
    subLoad();
    ui::DialogService::current().execDialog(this);
    return g_blnDlgOk;
}

bool frmKeepDaysEdit::edit(const QString& beginDate, QString& keepDay, QString& endDate) {
    m_strBeginDate = beginDate;
    m_strKeepDay = keepDay;
    m_strEndDate = endDate;
    if (!ask()) return false;
    keepDay = m_strKeepDay;
    endDate = m_strEndDate;
    return true;
}

void frmKeepDaysEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtNewKeepDay->setFocus();
    txtNewKeepDay->selectAll();
}

frmApplyEdit::frmApplyEdit(QWidget* parent)
    : frmKeepDaysEdit({"frmApplyEdit", "委托日期：", "原委托保留天数：", "现委托保留天数：", "委托截止日期：",
                       "确认(&O)"},
                      parent) {}

frmFindEdit::frmFindEdit(QWidget* parent)
    : frmKeepDaysEdit({"frmFindEdit", "委托到书日期：", "原到书保留天数：", "现到书保留天数：",
                       "到书保留截至日期：", "确定(&O)"},
                      parent) {}
