#include "reader/frmRedrAuth.h"

#include "common/DBResultSet.h"
#include "common/basDB.h"
#include "platform/ui/DialogService.h"
#include "reader/ReaderContext.h"
#include "reader/basLTMore.h"

#include <QEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>

frmRedrAuth::frmRedrAuth(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrAuth"));
    setWindowTitle(QStringLiteral("读者基本权限"));
    setModal(true);
    auto* form = new QFormLayout(this);
    auto add = [&](QLineEdit*& box, const char* name, const char* caption) {
        box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setMinimumWidth(200);
        box->installEventFilter(this);
        form->addRow(QString::fromUtf8(caption), box);
    };
    add(txtRedrTypeName, "txtRedrTypeName", "读者类型：");
    add(txtRedrAttr1, "txtRedrAttr1", "属性一：");
    add(txtRedrAttr2, "txtRedrAttr2", "属性二：");
    add(txtRedrAttr3, "txtRedrAttr3", "属性三：");
    add(txtMaxLendQty, "txtMaxLendQty", "最大册数：");
    add(txtMaxDebtAmt, "txtMaxDebtAmt", "最大欠款额：");
    add(txtMaxPregQty, "txtMaxPregQty", "最大预约册数：");
}

void frmRedrAuth::Form_Load()
{
    strCertId = g_strCertID;
    QString type;
    if (intReadRedrType(strCertId, &type) != 0)
        return;
    DBResultSet rs;
    g_strSQL = QStringLiteral("SELECT redr_type_name,redr_attr_1,redr_attr_2,redr_attr_3,max_lend_qty,max_debt_amt,"
                              "max_preg_qty FROM reader_type WHERE redr_type_code = ")
             + strSQLQuote(type);
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return;
    }
    if (rs.rowCount() < 1)
        return;
    QLineEdit* boxes[] = {txtRedrTypeName, txtRedrAttr1, txtRedrAttr2, txtRedrAttr3,
                          txtMaxLendQty,   txtMaxDebtAmt, txtMaxPregQty};
    for (int i = 0; i < 7; ++i)
        boxes[i]->setText(rs.text(0, i));
}

void frmRedrAuth::showModal(QWidget* parent)
{
    frmRedrAuth form(parent);
    form.Form_Load();
    ui::DialogService::current().execDialog(&form);
}

bool frmRedrAuth::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmRedrAuth::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    reject();
}
