#include "consign/frmFind.h"

#include "common/basEnv.h"
#include "desk/frmAttachment.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using consign::PageItem;

QPointer<frmFind> frmFind::s_instance;

namespace {

const QList<PageItem> kPages{{QStringLiteral("Find"), QStringLiteral("书刊划到")},
                             {QStringLiteral("ApplyList"), QStringLiteral("申请清单")},
                             {QStringLiteral("FindList"), QStringLiteral("划到清单")}};

} // namespace

frmFind::frmFind(QWidget* parent) : QWidget(parent), m_images(new ui::ImageList) {
    s_instance = this;
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("委托划到"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 600);
    m_find.displayChanged = [this](const consign::CopyDisplay& d) { copy.show(d); };
    m_find.showAttachment() = [this](desk::LendingWindow& w) {
        const consign::CopyDisplay& d = m_find.display();
        frmAttachment::showFor(this, w,
                               QStringLiteral("书刊：%1 %2\n读者：%3").arg(d.barCode, d.bookName, m_find.requester()));
    };
    m_find.defaultDates(datServerToday());

    tbFind = consign::initCommandBar(this, QStringLiteral("tbFind"), kPages, m_images);
    connect(tbFind, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* it) { tbFind_ButtonClick(it->key()); });
    fraBack = new QStackedWidget(this);
    fraBack->setObjectName(QStringLiteral("fraBack"));
    for (int i = 0; i < 3; ++i)
        fraBack->addWidget(new QWidget(fraBack));
    buildFindPage(fraBack->widget(0));
    buildApplyPage(fraBack->widget(1));
    buildFindListPage(fraBack->widget(2));
    auto* box = new QVBoxLayout(this);
    box->addWidget(tbFind);
    box->addWidget(fraBack);

    fillChoosers();
    tbFind_ButtonClick(QStringLiteral("Find"));
}

frmFind::~frmFind() {
    delete m_images;
}

frmFind* frmFind::instance() {
    return s_instance.data();
}

void frmFind::buildFindPage(QWidget* page) {
    auto* grid = new QGridLayout;
    txtFindBook = new QLineEdit(page);
    txtFindBook->setObjectName(QStringLiteral("txtFindBook"));
    consign::labelled(grid, 0, 0, QStringLiteral("书刊条码："), txtFindBook);
    copy.build(page, grid, 1);
    connect(txtFindBook, &QLineEdit::returnPressed, this, &frmFind::txtFindBook_Enter);

    tbConnect = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbConnect"), page);
    ui::CommandMenu* bar = tbConnect->addMenu(QStringLiteral("Standard"), QString());
    bar->append(tbConnect->addItem(QStringLiteral("Connect"), QStringLiteral("Connect"),
                                   QStringLiteral("交接(&C)"), ui::ItemStyle::Command,
                                   QStringLiteral("交接当前划到书刊")));
    bar->append(tbConnect->addItem(QStringLiteral("Print"), QStringLiteral("Print"), QStringLiteral("打印(&P)"),
                                   ui::ItemStyle::Command, QStringLiteral("打印当前划到书刊")));
    tbConnect->setActiveMenu(bar);
    connect(tbConnect, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* it) { tbConnect_ButtonClick(it->key()); });

    spdFind =
        consign::makeGrid(page, QStringLiteral("spdFind"), consign::foundTitles() << QStringLiteral("marc"));
    spdFind->setColHidden(10, true);
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(tbConnect);
    box->addWidget(spdFind);
}

void frmFind::buildApplyPage(QWidget* page) {
    auto* grid = new QGridLayout;
    dtpApplyBegin = consign::picker(page, "dtpApplyBegin", m_find.dtpApplyBegin);
    dtpApplyEnd = consign::picker(page, "dtpApplyEnd", m_find.dtpApplyEnd);
    cmbApplyTeam = consign::combo(page, "cmbApplyTeam");
    cmbApplyTeamII = consign::combo(page, "cmbApplyTeamII");
    cmbApplyLocation = consign::combo(page, "cmbApplyLocation");
    consign::labelled(grid, 0, 0, QStringLiteral("申请起始日期："), dtpApplyBegin);
    consign::labelled(grid, 0, 2, QStringLiteral("申请截止日期："), dtpApplyEnd);
    consign::labelled(grid, 1, 0, QStringLiteral("委托馆藏组："), cmbApplyTeam);
    consign::labelled(grid, 1, 2, QStringLiteral("被委托馆藏组："), cmbApplyTeamII);
    consign::labelled(grid, 1, 4, QStringLiteral("被委托馆藏地："), cmbApplyLocation);
    cmdApplySearch = consign::button(page, "cmdApplySearch", QStringLiteral("查询(&S)"));
    cmdApplyPrint = consign::button(page, "cmdApplyPrint", QStringLiteral("打印(&P)"));
    grid->addWidget(cmdApplySearch, 0, 4);
    grid->addWidget(cmdApplyPrint, 0, 5);
    spdApplyList = consign::makeGrid(
        page, QStringLiteral("spdApplyList"),
        {QStringLiteral("索书号"), QStringLiteral("题名"), QStringLiteral("责任者"), QStringLiteral("出版社"),
         QStringLiteral("委托馆藏地"), QStringLiteral("证件号"), QStringLiteral("姓名"),
         QStringLiteral("馆藏地"), QStringLiteral("可借数量"), QStringLiteral("在馆数量")});
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(spdApplyList);

    connect(cmbApplyTeam, &QComboBox::activated, this, [this](int i) { m_find.cmbApplyTeam.index = i; });
    connect(cmbApplyTeamII, &QComboBox::activated, this, [this](int i) {
        m_find.cmbApplyTeamII_Click(i);
        consign::subFillCombo(cmbApplyLocation, m_find.cmbApplyLocation);
        showApplyColumn();
    });
    connect(cmbApplyLocation, &QComboBox::activated, this, [this](int i) {
        m_find.cmbApplyLocation.index = i;
        showApplyColumn();
    });
    connect(cmdApplySearch, &QPushButton::clicked, this, &frmFind::cmdApplySearch_Click);
    connect(cmdApplyPrint, &QPushButton::clicked, this, [this] { m_find.cmdApplyPrint(); });
}

void frmFind::buildFindListPage(QWidget* page) {
    auto* grid = new QGridLayout;
    dtpFindBegin = consign::picker(page, "dtpFindBegin", m_find.dtpFindBegin);
    dtpFindEnd = consign::picker(page, "dtpFindEnd", m_find.dtpFindEnd);
    cmbFindTeam = consign::combo(page, "cmbFindTeam");
    cmbFindTeamII = consign::combo(page, "cmbFindTeamII");
    consign::labelled(grid, 0, 0, QStringLiteral("到书起始日期："), dtpFindBegin);
    consign::labelled(grid, 0, 2, QStringLiteral("到书截止日期："), dtpFindEnd);
    consign::labelled(grid, 1, 0, QStringLiteral("委托馆藏组："), cmbFindTeam);
    consign::labelled(grid, 1, 2, QStringLiteral("划到馆藏组："), cmbFindTeamII);
    consign::makeOptions(
        optType, page, grid, 2,
        {QStringLiteral("查看全部书刊"), QStringLiteral("查看已交接书刊"), QStringLiteral("查看未交接书刊")});
    cmdFindSearch = consign::button(page, "cmdFindSearch", QStringLiteral("检索(&S)"));
    cmdFindPrint = consign::button(page, "cmdFindPrint", QStringLiteral("打印(&P)"));
    cmdConnect = consign::button(page, "cmdConnect", QStringLiteral("交接(&C)"));
    grid->addWidget(cmdFindSearch, 0, 4);
    grid->addWidget(cmdFindPrint, 1, 4);
    grid->addWidget(cmdConnect, 2, 4);
    spdFindList = consign::makeGrid(page, QStringLiteral("spdFindList"), consign::foundTitles());
    auto* box = new QVBoxLayout(page);
    box->addLayout(grid);
    box->addWidget(spdFindList);

    connect(cmbFindTeam, &QComboBox::activated, this, [this](int i) { m_find.cmbFindTeam.index = i; });
    connect(cmbFindTeamII, &QComboBox::activated, this, [this](int i) { m_find.cmbFindTeamII.index = i; });
    connect(cmdFindSearch, &QPushButton::clicked, this, &frmFind::cmdFindSearch_Click);
    connect(cmdFindPrint, &QPushButton::clicked, this, [this] { m_find.cmdFindPrint(); });
    connect(cmdConnect, &QPushButton::clicked, this, [this] { m_find.subConnectFindList(); });
}

void frmFind::fillChoosers() {
    m_find.subInitTeam();
    consign::subFillCombo(cmbApplyTeam, m_find.cmbApplyTeam);
    consign::subFillCombo(cmbApplyTeamII, m_find.cmbApplyTeamII);
    consign::subFillCombo(cmbApplyLocation, m_find.cmbApplyLocation);
    consign::subFillCombo(cmbFindTeam, m_find.cmbFindTeam);
    consign::subFillCombo(cmbFindTeamII, m_find.cmbFindTeamII);
    showApplyColumn();
}

void frmFind::showApplyColumn() {
    spdApplyList->setColHidden(8, !m_find.applyLocationShown());
}

void frmFind::tbFind_ButtonClick(const QString& key) {
    if (!consign::selectPage(tbFind, fraBack, kPages, key)) return;
    if (key == QLatin1String("Find")) {
        txtFindBook->clear();
        txtFindBook->setFocus();
    }
}

void frmFind::tbConnect_ButtonClick(const QString& key) {
    if (key == QLatin1String("Connect"))
        m_find.subConnectFind();
    else if (key == QLatin1String("Print"))
        m_find.subPrintFind();
}

void frmFind::txtFindBook_Enter() {
    QString text = txtFindBook->text();
    const int before = int(m_find.spdFind().size());
    copy.show(consign::CopyDisplay());
    txtFindBook->setText(text.trimmed().toUpper());
    m_find.txtFindBook_Enter(&text);
    copy.show(m_find.display());
    if (m_find.spdFind().size() > before) {
        const consign::FoundRow& r = m_find.spdFind().first();
        consign::subAddOnTop(spdFind, r.cells() << r.marcRecNo);
    }
    txtFindBook->clear();
    txtFindBook->setFocus();
}

void frmFind::cmdApplySearch_Click() {
    m_find.dtpApplyBegin = dtpApplyBegin->date();
    m_find.dtpApplyEnd = dtpApplyEnd->date();
    if (m_find.cmdApplySearch() != 0 && !m_find.spdApplyList().isEmpty())
        return; // a failed query keeps the rows shown
    QVector<QStringList> rows;
    for (const consign::ApplyRow& r : m_find.spdApplyList())
        rows.push_back({r.callNo, r.title, r.author, r.publisher, r.pickUp, r.certId, r.name, r.location,
                        QString::number(r.lendable), QString::number(r.inLibrary)});
    consign::subFillGrid(spdApplyList, rows);
}

void frmFind::cmdFindSearch_Click() {
    m_find.dtpFindBegin = dtpFindBegin->date();
    m_find.dtpFindEnd = dtpFindEnd->date();
    m_find.optType = optType[1]->isChecked() ? 1 : optType[2]->isChecked() ? 2 : 0;
    if (m_find.cmdFindSearch() != 0 && !m_find.spdFindList().isEmpty()) return;
    QVector<QStringList> rows;
    for (const consign::FoundRow& r : m_find.spdFindList())
        rows.push_back(r.cells());
    consign::subFillGrid(spdFindList, rows);
}
