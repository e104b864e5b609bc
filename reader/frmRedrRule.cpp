#include "reader/frmRedrRule.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "reader/ReaderContext.h"
#include "reader/basFineMoney.h"
#include "reader/basLTMore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct FieldPlace {
    int col;
    const char* caption;
};

const FieldPlace kBasic[] = {{0, "规则代码"}, {1, "规则名称"}, {3, "正常借期"}, {4, "限借册数"},
                             {5, "最大借阅册数"}, {13, "最小使用天数"}, {30, "保留本数"}, {2, "计时单位"}};
const FieldPlace kNotice[] = {{17, "首次催还通知时间"}, {18, "二次催还通知时间"}, {19, "三次催还通知时间"},
                              {14, "到期前免催天数"}, {15, "催还后允许再使用天数"}};
const FieldPlace kRenew[] = {{10, "首次续借时间"}, {11, "附加续借时间"}, {8, "最大续借次数"},
                             {9, "到期前续借天数"}, {31, "续借起始日"}};
const FieldPlace kPreg[] = {{12, "预约到期保留天数"}};
const FieldPlace kFine[] = {{16, "允许过期次数"}, {20, "免罚宽限期"}, {21, "首次罚款天数"},
                            {22, "首次罚款单价"}, {23, "其他罚款单价"}};

QString money(const QVariant& v)
{
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? strFormatMoney(lngMoneyFromDouble(d)) : v.toString();
}

} // namespace

frmRedrRule::frmRedrRule(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRedrRule"));
    setWindowTitle(QStringLiteral("读者借阅规则"));
    setModal(true);

    for (int i = 0; i < 32; ++i) {
        txtField[i] = new QLineEdit(this);
        txtField[i]->setObjectName(QStringLiteral("txtField_%1").arg(i));
        txtField[i]->setReadOnly(true);
        txtField[i]->setMinimumWidth(90);
        txtField[i]->hide();
    }
    txtField[1]->setMinimumWidth(160);
    chkPreg = new QCheckBox(QStringLiteral("允许预约"), this);
    chkPreg->setObjectName(QStringLiteral("chkPreg"));
    chkRenew = new QCheckBox(QStringLiteral("允许续借"), this);
    chkRenew->setObjectName(QStringLiteral("chkRenew"));
    for (QCheckBox* c : {chkPreg, chkRenew})
        c->setAttribute(Qt::WA_TransparentForMouseEvents), c->setFocusPolicy(Qt::NoFocus);

    cmbRedrType = new QComboBox(this);
    cmbRedrType->setObjectName(QStringLiteral("cmbRedrType"));
    cmbLocation = new QComboBox(this);
    cmbLocation->setObjectName(QStringLiteral("cmbLocation"));
    lstBookType = new QListWidget(this);
    lstBookType->setObjectName(QStringLiteral("lstBookType"));
    cmdSearch = new QPushButton(QStringLiteral("检索(&S)"), this);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdExit = new QPushButton(QStringLiteral("返回(&E)"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto* choose = new QVBoxLayout;
    auto* chooseForm = new QFormLayout;
    chooseForm->addRow(QStringLiteral("读者类型："), cmbRedrType);
    chooseForm->addRow(QStringLiteral("馆藏地："), cmbLocation);
    choose->addLayout(chooseForm);
    choose->addWidget(new QLabel(QStringLiteral("图书类型："), this));
    choose->addWidget(lstBookType, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSearch);
    buttons->addWidget(cmdExit);
    choose->addLayout(buttons);

    auto frame = [this](const char* title, const FieldPlace* places, int n, QCheckBox* check) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* form = new QFormLayout(box);
        if (check)
            form->addRow(check);
        for (int i = 0; i < n; ++i) {
            txtField[places[i].col]->show();
            form->addRow(QString::fromUtf8(places[i].caption), txtField[places[i].col]);
        }
        return box;
    };
    auto* rules = new QGridLayout;
    rules->addWidget(frame("基  本", kBasic, 8, nullptr), 0, 0, 2, 1);
    rules->addWidget(frame("催  还", kNotice, 5, nullptr), 0, 1);
    rules->addWidget(frame("续  借", kRenew, 5, chkRenew), 0, 2);
    rules->addWidget(frame("预  约", kPreg, 1, chkPreg), 1, 2);
    rules->addWidget(frame("过期罚款", kFine, 5, nullptr), 1, 1);

    auto* top = new QHBoxLayout(this);
    top->addLayout(choose);
    top->addLayout(rules, 1);

    connect(cmdSearch, &QPushButton::clicked, this, &frmRedrRule::cmdSearch_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
}

int frmRedrRule::subLoadCircRule()
{
    DBResultSet rules, mapping;
    g_strSQL = strBaseCodeSQL(1);
    g_intSQLRet = LIB_DB_Select(g_strSQL, rules);
    if (g_intSQLRet == 0) {
        g_strSQL = QStringLiteral("SELECT no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c FROM rule_comp "
                                  "ORDER BY no DESC");
        g_intSQLRet = LIB_DB_Select(g_strSQL, mapping);
    }
    if (g_intSQLRet != 0) {
        intShowDBError();
        return -1;
    }
    g_varCircRule = rules;
    g_varRuleComp = mapping;
    return 0;
}

void frmRedrRule::Form_Load()
{
    // The rules as they stand now, also those changed since the log-in.
    subLoadCircRule();
    strCertId = g_strCertID;
    QString redrType;
    if (intReadRedrType(strCertId, &redrType) != 0)
        return;

    // Fills a list from (code, name) rows and selects the last entry whose
    // code equals `select`.
    auto fill = [](const QString& sql, QStringList& codes, const QString& select, auto add, auto choose) {
        DBResultSet rows;
        g_strSQL = sql;
        g_intSQLRet = LIB_DB_Select(g_strSQL, rows);
        if (g_intSQLRet != 0) {
            intShowDBError();
            return;
        }
        int chosen = -1;
        for (int r = 0; r < rows.rowCount(); ++r) {
            codes << rows.text(r, 0);
            add(rows.text(r, 1));
            if (!select.isNull() && rows.text(r, 0) == select)
                chosen = r;
        }
        choose(chosen);
    };
    fill(QStringLiteral("SELECT redr_type_code,redr_type_name FROM reader_type"), m_redrTypeCodes, redrType,
         [this](const QString& t) { cmbRedrType->addItem(t); },
         [this](int i) { cmbRedrType->setCurrentIndex(i); });
    fill(QStringLiteral("SELECT location,location_name FROM location_lst"), m_locationCodes,
         varGetSysInfo(3).toString(), [this](const QString& t) { cmbLocation->addItem(t); },
         [this](int i) { cmbLocation->setCurrentIndex(i); });
    fill(QStringLiteral("SELECT circ_type_code,circ_type_name FROM circ_type_code"), m_circTypeCodes, QString(),
         [this](const QString& t) { lstBookType->addItem(t); },
         [this](int) { lstBookType->setCurrentRow(lstBookType->count() > 0 ? 0 : -1); });
}

void frmRedrRule::showModal(QWidget* parent)
{
    frmRedrRule form(parent);
    form.Form_Load();
    ui::DialogService::current().execDialog(&form);
}

int frmRedrRule::intGetRuleIndex(const QString& location, const QString& circType, const QString& redrType) const
{
    // The same choice the desk makes when it lends: the patterns are prefixes
    // before a "*" or lists of whole codes.
    return intFindRuleIndex(location, circType, redrType);
}

void frmRedrRule::subClearRule()
{
    for (QLineEdit* box : txtField)
        box->clear();
    chkPreg->setChecked(false);
    chkRenew->setChecked(false);
}

void frmRedrRule::cmdSearch_Click()
{
    // A list without a chosen entry searches with an empty code.
    const QString redrType = m_redrTypeCodes.value(cmbRedrType->currentIndex());
    const QString location = m_locationCodes.value(cmbLocation->currentIndex());
    const QString circType = m_circTypeCodes.value(lstBookType->currentRow());
    const int index = intGetRuleIndex(location, circType, redrType);
    if (index < 0 || index >= g_varCircRule.rowCount()) {
        subClearRule();
        intShowMsg(QStringLiteral("ELT119"));
        return;
    }
    subShowRule(g_varCircRule, index);
}

void frmRedrRule::subShowRule(const DBResultSet& rules, int row)
{
    subClearRule();
    for (int c = 0; c < rules.fieldCount() && c < 36; ++c) {
        const QVariant v = rules.value(row, c);
        const QString t = v.toString();
        switch (c) {
        case 2: txtField[2]->setText(t == QLatin1String("H") ? QStringLiteral("小时") : QStringLiteral("天")); break;
        case 31: txtField[31]->setText(t == QLatin1String("0") ? QStringLiteral("续借日") : QStringLiteral("期满日")); break;
        case 6: chkPreg->setChecked(t == QLatin1String("1")); break;
        case 7: chkRenew->setChecked(t == QLatin1String("1")); break;
        case 22:
        case 23: txtField[c]->setText(money(v)); break;
        default:
            if ((c >= 24 && c <= 29) || c >= 32)
                break;
            txtField[c]->setText(t);
            break;
        }
    }
}
