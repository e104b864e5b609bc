#include "consign/frmApplyManage.h"

#include "common/basCodeFunc.h"
#include "consign/ManageBar.h"
#include "consign/ManageUi.h"
#include "consign/frmKeepDaysEdit.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QVBoxLayout>

namespace {
QPointer<frmApplyManage> s_instance;
}

frmApplyManage* frmApplyManage::instance() {
    return s_instance.data();
}

frmApplyManage::frmApplyManage(QWidget* parent) : QWidget(parent) {
    s_instance = this;
    setObjectName(QStringLiteral("frmApplyManage"));
    setWindowTitle(QStringLiteral("委托申请管理"));
    setAttribute(Qt::WA_DeleteOnClose);
    using ui::ItemStyle;
    tbFindManage = consign::buildManageBar(this, QStringLiteral("tbFindManage"),
                                           {{"Modify", ItemStyle::Command, "修改(&M)"},
                                            {"Delete", ItemStyle::Command, "删除(&D)"},
                                            {"Up", ItemStyle::Command, "上移(&U)"},
                                            {"Down", ItemStyle::Command, "下移(&N)"},
                                            {"Split3", ItemStyle::Separator, ""},
                                            {"DeleteOld", ItemStyle::Command, "清除(&L)"},
                                            {"DeleteAllOld", ItemStyle::Command, "清空(&A)"},
                                            {"Split4", ItemStyle::Separator, ""}},
                                           &cmbLocation);
    spdBook = consign::makeGrid(this, QStringLiteral("spdBook"),
                                {QStringLiteral("索书号"), QStringLiteral("题名"), QStringLiteral("责任者"),
                                 QStringLiteral("出版社"), QStringLiteral("书刊等级")});
    spdReader =
        consign::makeGrid(this, QStringLiteral("spdReader"),
                          {QStringLiteral("证件号"), QStringLiteral("姓名"), QStringLiteral("读者类型"),
                           QStringLiteral("读者等级"), QStringLiteral("委托日期"),
                           QStringLiteral("委托保留天数"), QStringLiteral("委托截止日期")});
    auto* shelf = new QGroupBox(QStringLiteral("委托书架"), this);
    auto* inner = new QGroupBox(QStringLiteral("委托调整"), shelf);
    auto* innerBox = new QVBoxLayout(inner);
    innerBox->addWidget(spdReader);
    auto* shelfBox = new QVBoxLayout(shelf);
    shelfBox->addWidget(spdBook, 1);
    shelfBox->addWidget(inner, 2);
    auto* box = new QVBoxLayout(this);
    box->addWidget(tbFindManage);
    box->addWidget(shelf, 1);
    resize(820, 560);

    connect(cmbLocation, &QComboBox::activated, this, &frmApplyManage::cmbLocation_Click);
    connect(spdBook, &ui::SpreadGrid::cellClick, this, [this](int, int row) { spdBook_Click(row); });
    connect(spdBook, &ui::SpreadGrid::keyUp, this, [this](int, int, int row) { spdBook_Click(row); });
    connect(spdReader, &ui::SpreadGrid::cellDblClick, this,
            [this](int, int row) { spdReader_DblClick(row); });
    connect(tbFindManage, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* item) { tbFindManage_ButtonClick(item->key()); });

    // Load: the locations, nothing chosen, both grids empty.
    logic.subInitLocation();
    consign::subFillCombo(cmbLocation, logic.locations);
}

frmApplyManage::~frmApplyManage() = default;

void frmApplyManage::fillBooks() {
    QVector<QStringList> rows;
    for (const consign::QueueTitle& t : logic.titles)
        rows << QStringList{t.callNo, t.title, t.author, t.publisher, strLendGrdName(t.lendGrd)};
    consign::subFillGrid(spdBook, rows);
}

void frmApplyManage::fillQueue() {
    QVector<QStringList> rows;
    QVector<bool> red;
    for (const consign::QueueRow& r : logic.queue) {
        rows << QStringList{
            r.certId,   r.name,   strRedrTypeName(r.redrTypeCode), strLendGrdName(r.lendGrd), r.relegateDate,
            r.keepDays, r.endDate};
        red << r.expired;
    }
    consign::subFillManageGrid(spdReader, rows, red);
}

void frmApplyManage::cmbLocation_Click(int index) {
    const ui::BusyCursor busy;
    if (logic.cmbLocation_Click(index) == 0) {
        fillBooks();
        fillQueue();
    }
}

void frmApplyManage::spdBook_Click(int row) {
    if (row < 1 || row > logic.titles.size()) return;
    if (logic.subShowQueue(row - 1) == 0) fillQueue();
}

void frmApplyManage::spdReader_DblClick(int row) {
    if (row < 1 || row > logic.queue.size()) return;
    const consign::QueueRow& r = logic.queue[row - 1];
    m_strBeginDate = r.relegateDate;
    m_strKeepDay = r.keepDays;
    m_strEndDate = r.endDate;
    frmApplyEdit dialog(this);
    if (!dialog.edit(m_strBeginDate, m_strKeepDay, m_strEndDate)) return;
    logic.subModifyApply(row - 1, m_strKeepDay, m_strEndDate);
    fillQueue();
}

void frmApplyManage::tbFindManage_ButtonClick(const QString& key) {
    const int row = spdReader->activeRow() > 0 ? spdReader->activeRow() - 1 : 0;
    const bool queue = !logic.queue.isEmpty();
    if (key == QLatin1String("Modify") && queue) {
        spdReader_DblClick(row + 1);
        return;
    }
    int rc = 1;
    if (key == QLatin1String("Delete") && queue)
        rc = logic.subDeleteApply(row);
    else if (key == QLatin1String("Up") && queue)
        rc = logic.subMoveApply(row, false);
    else if (key == QLatin1String("Down") && queue)
        rc = logic.subMoveApply(row, true);
    else if (key == QLatin1String("DeleteOld") && queue)
        rc = logic.subDeleteOld();
    else if (key == QLatin1String("DeleteAllOld") && !logic.titles.isEmpty()) {
        logic.subDeleteAllOld();
        fillBooks();
        fillQueue();
        return;
    }
    if (rc == 1) return;
    fillQueue();
    // The moved request stays the active one.
    if (rc == 0 && (key == QLatin1String("Up") || key == QLatin1String("Down")) && !logic.queue.isEmpty()) {
        const int moved = key == QLatin1String("Up") ? row - 1 : row + 1;
        spdReader->setActiveCell(1, qBound(1, moved + 1, int(logic.queue.size())));
    }
}
