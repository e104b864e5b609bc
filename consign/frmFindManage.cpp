#include "consign/frmFindManage.h"

#include "consign/ManageBar.h"
#include "consign/ManageUi.h"
#include "consign/frmEmail.h"
#include "consign/frmKeepDaysEdit.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QVBoxLayout>

namespace {
QPointer<frmFindManage> s_instance;
}

frmFindManage* frmFindManage::instance() {
    return s_instance.data();
}

frmFindManage::frmFindManage(QWidget* parent) : QWidget(parent) {
    s_instance = this;
    setObjectName(QStringLiteral("frmFindManage"));
    setWindowTitle(QStringLiteral("委托划到管理"));
    setAttribute(Qt::WA_DeleteOnClose);
    using ui::ItemStyle;
    tbFindManage = consign::buildManageBar(this, QStringLiteral("tbFindManage"),
                                           {{"Modify", ItemStyle::Command, "修改(&M)"},
                                            {"Delete", ItemStyle::Command, "删除(&D)"},
                                            {"Split3", ItemStyle::Separator, ""},
                                            {"DeleteOld", ItemStyle::Command, "清空(&A)"},
                                            {"Split4", ItemStyle::Separator, ""},
                                            {"Email", ItemStyle::Command, "邮件(&E)"},
                                            {"Split5", ItemStyle::Separator, ""}},
                                           &cmbLocation);
    spdBook = consign::makeGrid(this, QStringLiteral("spdBook"),
                                {QStringLiteral("索书号"), QStringLiteral("财产号"), QStringLiteral("题名"),
                                 QStringLiteral("证件号"), QStringLiteral("姓名"),
                                 QStringLiteral("委托到书日期"), QStringLiteral("到书通知日期"),
                                 QStringLiteral("保留天数"), QStringLiteral("保留截至日期")});
    auto* frame = new QGroupBox(QStringLiteral("到书调整"), this);
    auto* frameBox = new QVBoxLayout(frame);
    frameBox->addWidget(spdBook);
    auto* box = new QVBoxLayout(this);
    box->addWidget(tbFindManage);
    box->addWidget(frame, 1);
    resize(900, 520);

    connect(cmbLocation, &QComboBox::activated, this, &frmFindManage::cmbLocation_Click);
    connect(spdBook, &ui::SpreadGrid::cellDblClick, this, [this](int, int row) { spdBook_DblClick(row); });
    connect(tbFindManage, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* item) { tbFindManage_ButtonClick(item->key()); });

    logic.subInitLocation();
    consign::subFillCombo(cmbLocation, logic.locations);
}

frmFindManage::~frmFindManage() = default;

void frmFindManage::fillGrid() {
    QVector<QStringList> rows;
    QVector<bool> red;
    for (const consign::FoundCopyRow& r : logic.rows) {
        rows << QStringList{r.callNo,   r.propNo,   r.title,    r.certId,     r.name,
                            r.arriDate, r.notiDate, r.keepDays, r.keepEndDate};
        red << r.passed;
    }
    consign::subFillManageGrid(spdBook, rows, red);
}

void frmFindManage::cmbLocation_Click(int index) {
    const ui::BusyCursor busy;
    if (logic.cmbLocation_Click(index) == 0) fillGrid();
}

void frmFindManage::spdBook_DblClick(int row) {
    if (row < 1 || row > logic.rows.size()) return;
    const consign::FoundCopyRow& r = logic.rows[row - 1];
    m_strBeginDate = r.arriDate;
    m_strKeepDay = r.keepDays;
    m_strEndDate = r.keepEndDate;
    frmFindEdit dialog(this);
    if (!dialog.edit(m_strBeginDate, m_strKeepDay, m_strEndDate)) return;
    logic.subModifyFind(row - 1, m_strKeepDay, m_strEndDate);
    fillGrid();
}

void frmFindManage::tbFindManage_ButtonClick(const QString& key) {
    if (logic.rows.isEmpty()) return;
    const int row = spdBook->activeRow() > 0 ? spdBook->activeRow() - 1 : 0;
    if (key == QLatin1String("Modify")) {
        spdBook_DblClick(row + 1);
    } else if (key == QLatin1String("Delete")) {
        if (logic.subDeleteFind(row) != 1) fillGrid();
    } else if (key == QLatin1String("DeleteOld")) {
        logic.subDeleteOldFind();
        fillGrid();
    } else if (key == QLatin1String("Email")) {
        if (!logic.blnMailCheck()) return;
        frmEmail mail(this);
        mail.m_strLocation = logic.location();
        ui::DialogService::current().execDialog(&mail);
    }
}
