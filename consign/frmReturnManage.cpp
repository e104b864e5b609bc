#include "consign/frmReturnManage.h"

#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using consign::PageItem;

QPointer<frmReturnManage> frmReturnManage::s_instance;

namespace {

const QList<PageItem> kPages{{QStringLiteral("Check"), QStringLiteral("书刊验收")},
                             {QStringLiteral("ReturnList"), QStringLiteral("回库清单")},
                             {QStringLiteral("CheckList"), QStringLiteral("验收清单")}};

QStringList gridTitles(const QString& last) {
    return consign::homeTitles() << last;
}

QVector<QStringList> homeCells(const QVector<consign::HomeRow>& rows) {
    QVector<QStringList> cells;
    for (const consign::HomeRow& r : rows)
        cells.push_back({r.callNo, r.propNo, r.title, r.author, r.publisher, r.location, r.marcRecNo});
    return cells;
}

} // namespace

frmReturnManage::frmReturnManage(QWidget* parent) : QWidget(parent), m_images(new ui::ImageList) {
    s_instance = this;
    setObjectName(QStringLiteral("frmReturnManage"));
    setWindowTitle(QStringLiteral("委托回库"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 600);

    tbReturnManage = consign::initCommandBar(this, QStringLiteral("tbReturnManage"), kPages, m_images);
    connect(tbReturnManage, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* it) { tbReturnManage_ButtonClick(it->key()); });
    fraBack = new QStackedWidget(this);
    fraBack->setObjectName(QStringLiteral("fraBack"));
    for (int i = 0; i < 3; ++i)
        fraBack->addWidget(new QWidget(fraBack));
    buildCheckPage(fraBack->widget(0));
    buildReturnPage(fraBack->widget(1));
    buildCheckListPage(fraBack->widget(2));
    auto* box = new QVBoxLayout(this);
    box->addWidget(tbReturnManage);
    box->addWidget(fraBack);

    m_home.subInitTeam();
    consign::subFillCombo(cmbReturnTeam, m_home.cmbReturnTeam);
    consign::subFillCombo(cmbReturnLocation, m_home.cmbReturnLocation);
    consign::subFillCombo(cmbCheckTeam, m_home.cmbCheckTeam);
    consign::subFillCombo(cmbCheckLocation, m_home.cmbCheckLocation);
    showLocationColumns();
    tbReturnManage_ButtonClick(QStringLiteral("Check"));
}

frmReturnManage::~frmReturnManage() {
    delete m_images;
}

frmReturnManage* frmReturnManage::instance() {
    return s_instance.data();
}

void frmReturnManage::buildCheckPage(QWidget* page) {
    auto* grid = new QGridLayout;
    txtCheckBook = new QLineEdit(page);
    txtCheckBook->setObjectName(QStringLiteral("txtCheckBook"));
    consign::labelled(grid, 0, 0, QStringLiteral("书刊条码："), txtCheckBook);
    copy.build(page, grid, 1);
    dtpBegin = consign::picker(page, "dtpBegin");
    dtpEnd = consign::picker(page, "dtpEnd");
    consign::labelled(grid, 7, 0, QStringLiteral("还书起始日期："), dtpBegin);
    consign::labelled(grid, 7, 2, QStringLiteral("还书截至日期："), dtpEnd);
    cmdCheck = consign::button(page, "cmdCheck", QStringLiteral("已验(&C)"));
    cmdUnCheck = consign::button(page, "cmdUnCheck", QStringLiteral("未验(&P)"));
    grid->addWidget(cmdCheck, 8, 1);
    grid->addWidget(cmdUnCheck, 8, 3);
    spdCheck = consign::makeGrid(page, QStringLiteral("spdCheck"), gridTitles(QStringLiteral("code")));
    spdCheck->setColHidden(7, true);
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(spdCheck);
    connect(txtCheckBook, &QLineEdit::returnPressed, this, &frmReturnManage::txtCheckBook_Enter);
    connect(cmdCheck, &QPushButton::clicked, this, [this] {
        syncCheckDates();
        m_home.cmdCheck_Click();
    });
    connect(cmdUnCheck, &QPushButton::clicked, this, [this] {
        syncCheckDates();
        m_home.cmdUnCheck_Click();
    });
}

void frmReturnManage::buildReturnPage(QWidget* page) {
    auto* grid = new QGridLayout;
    cmbReturnTeam = consign::combo(page, "cmbReturnTeam");
    cmbReturnLocation = consign::combo(page, "cmbReturnLocation");
    dtpReturnBegin = consign::picker(page, "dtpReturnBegin");
    dtpReturnEnd = consign::picker(page, "dtpReturnEnd");
    consign::labelled(grid, 0, 0, QStringLiteral("馆藏组："), cmbReturnTeam);
    consign::labelled(grid, 0, 2, QStringLiteral("馆藏地："), cmbReturnLocation);
    consign::labelled(grid, 1, 0, QStringLiteral("还书起始日期："), dtpReturnBegin);
    consign::labelled(grid, 1, 2, QStringLiteral("还书截至日期："), dtpReturnEnd);
    cmdReturnSearch = consign::button(page, "cmdReturnSearch", QStringLiteral("检索(&S)"));
    cmdReturnPrint = consign::button(page, "cmdReturnPrint", QStringLiteral("打印(&P)"));
    grid->addWidget(cmdReturnSearch, 0, 4);
    grid->addWidget(cmdReturnPrint, 1, 4);
    spdReturnList =
        consign::makeGrid(page, QStringLiteral("spdReturnList"), gridTitles(QStringLiteral("marc")));
    spdReturnList->setColHidden(7, true);
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(spdReturnList);
    connect(cmbReturnTeam, &QComboBox::activated, this, [this](int i) {
        m_home.cmbReturnTeam_Click(i);
        consign::subFillCombo(cmbReturnLocation, m_home.cmbReturnLocation);
        showLocationColumns();
    });
    connect(cmbReturnLocation, &QComboBox::activated, this, [this](int i) {
        m_home.cmbReturnLocation.index = i;
        showLocationColumns();
    });
    connect(cmdReturnSearch, &QPushButton::clicked, this, &frmReturnManage::cmdReturnSearch_Click);
    connect(cmdReturnPrint, &QPushButton::clicked, this, [this] { m_home.cmdReturnPrint(); });
}

void frmReturnManage::buildCheckListPage(QWidget* page) {
    auto* grid = new QGridLayout;
    consign::makeOptions(
        optType, page, grid, 0,
        {QStringLiteral("查看全部书刊"), QStringLiteral("查看已验收书刊"), QStringLiteral("查看未验收书刊")});
    cmbCheckTeam = consign::combo(page, "cmbCheckTeam");
    cmbCheckLocation = consign::combo(page, "cmbCheckLocation");
    dtpCheckBegin = consign::picker(page, "dtpCheckBegin");
    dtpCheckEnd = consign::picker(page, "dtpCheckEnd");
    consign::labelled(grid, 1, 0, QStringLiteral("委托馆藏组："), cmbCheckTeam);
    consign::labelled(grid, 1, 2, QStringLiteral("馆藏地："), cmbCheckLocation);
    consign::labelled(grid, 2, 0, QStringLiteral("还书起始日期："), dtpCheckBegin);
    consign::labelled(grid, 2, 2, QStringLiteral("还书截至日期："), dtpCheckEnd);
    cmdCheckSearch = consign::button(page, "cmdCheckSearch", QStringLiteral("查询(&S)"));
    cmdCheckPrint = consign::button(page, "cmdCheckPrint", QStringLiteral("打印(&P)"));
    grid->addWidget(cmdCheckSearch, 1, 4);
    grid->addWidget(cmdCheckPrint, 2, 4);
    spdCheckList =
        consign::makeGrid(page, QStringLiteral("spdCheckList"), gridTitles(QStringLiteral("marc")));
    spdCheckList->setColHidden(7, true);
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(spdCheckList);
    connect(cmbCheckTeam, &QComboBox::activated, this, [this](int i) { m_home.cmbCheckTeam.index = i; });
    connect(cmbCheckLocation, &QComboBox::activated, this, [this](int i) {
        m_home.cmbCheckLocation.index = i;
        showLocationColumns();
    });
    connect(cmdCheckSearch, &QPushButton::clicked, this, &frmReturnManage::cmdCheckSearch_Click);
    connect(cmdCheckPrint, &QPushButton::clicked, this, [this] { m_home.cmdCheckPrint(); });
}

void frmReturnManage::showLocationColumns() {
    spdReturnList->setColHidden(6, !m_home.returnLocationShown());
    spdCheckList->setColHidden(6, !m_home.checkLocationShown());
}

void frmReturnManage::syncCheckDates() {
    m_home.dtpBegin = dtpBegin->date();
    m_home.dtpEnd = dtpEnd->date();
}

void frmReturnManage::tbReturnManage_ButtonClick(const QString& key) {
    if (!consign::selectPage(tbReturnManage, fraBack, kPages, key)) return;
    if (key == QLatin1String("Check")) {
        txtCheckBook->clear();
        txtCheckBook->setFocus();
    }
}

void frmReturnManage::txtCheckBook_Enter() {
    QString text = txtCheckBook->text();
    const int before = int(m_home.spdCheck().size());
    syncCheckDates();
    m_home.txtCheckBook_Enter(&text);
    copy.show(m_home.display());
    if (m_home.spdCheck().size() > before)
        consign::subAddOnTop(spdCheck, homeCells({m_home.spdCheck().first()}).first());
    txtCheckBook->clear();
    txtCheckBook->setFocus();
}

void frmReturnManage::cmdReturnSearch_Click() {
    m_home.dtpReturnBegin = dtpReturnBegin->date();
    m_home.dtpReturnEnd = dtpReturnEnd->date();
    if (m_home.cmdReturnSearch() != 0 && !m_home.spdReturnList().isEmpty()) return;
    consign::subFillGrid(spdReturnList, homeCells(m_home.spdReturnList()));
}

void frmReturnManage::cmdCheckSearch_Click() {
    m_home.dtpCheckBegin = dtpCheckBegin->date();
    m_home.dtpCheckEnd = dtpCheckEnd->date();
    m_home.optType = optType[1]->isChecked() ? 1 : optType[2]->isChecked() ? 2 : 0;
    if (m_home.cmdCheckSearch() != 0 && !m_home.spdCheckList().isEmpty()) return;
    consign::subFillGrid(spdCheckList, homeCells(m_home.spdCheckList()));
}
