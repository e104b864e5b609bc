#include "report/frmExportField.h"

#include "common/basMsg.h"
#include "platform/ui/CommandBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace report;

frmExportField::frmExportField(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExportField"));
    setWindowTitle(QStringLiteral("导出"));
    tbStandard = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbStandard"), this);
    ui::CommandMenu* menu = tbStandard->addMenu(QStringLiteral("Standard"), QString());
    const QStringList keys = {QStringLiteral("New"), QStringLiteral("Delete"), QStringLiteral("Up"),
                              QStringLiteral("Down")};
    const QStringList captions = {QStringLiteral("新增"), QStringLiteral("删除"), QStringLiteral("上移"),
                                  QStringLiteral("下移")};
    for (int i = 0; i < keys.size(); ++i)
        menu->append(tbStandard->addItem(keys[i], QString(), captions[i]));
    tbStandard->setActiveMenu(menu);
    connect(tbStandard, &ui::CommandBar::itemClicked, this,
            [this](ui::CommandItem* it) { tbStandard_ButtonClick(it->key()); });
    spdExp = new QTableWidget(0, 5, this);
    spdExp->setObjectName(QStringLiteral("spdExp"));
    spdExp->setHorizontalHeaderLabels({QStringLiteral("列名"), QStringLiteral("内容"),
                                       QStringLiteral("MARC信息"), QStringLiteral("CN_MARC字段"),
                                       QStringLiteral("US_MARC字段")});
    connect(spdExp, &QTableWidget::currentCellChanged, this, [this](int r) {
        if (r >= 0) chooser_.active = r;
    });
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmExportField::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(tbStandard);
    lay->addWidget(spdExp);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    lay->addLayout(buttons);
    resize(620, 360);

    items_ = namedMarcItems();
    chooser_.load(g_arrExpSrcCols.mid(0, std::max(0, g_lngExpSrcCount)));
    showRows();
}

void frmExportField::showRows() {
    const QSignalBlocker block(spdExp);
    QStringList contents{QStringLiteral("MARC信息")};
    for (int k = 0; k < g_lngExpSrcCount && k < g_arrExpSrcCols.size(); ++k)
        contents << g_arrExpSrcCols[k].strName;
    const QStringList items = QStringList{QStringLiteral("自定义")} + items_;
    spdExp->setRowCount(int(chooser_.rows.size()));
    for (int r = 0; r < chooser_.rows.size(); ++r) {
        const ChooserRow& row = chooser_.rows[r];
        spdExp->setItem(r, 0, new QTableWidgetItem(row.name));
        const auto combo = [&](int col, const QStringList& list, int index, bool open) {
            auto* c = new QComboBox(spdExp);
            c->addItems(list);
            c->setCurrentIndex(index);
            c->setEnabled(open);
            connect(c, &QComboBox::activated, this, [this, r, col](int i) { choose(r, col, i); });
            spdExp->setCellWidget(r, col, c);
        };
        combo(1, contents, row.content, true);
        combo(2, items, row.marcItem, row.marcItemOpen());
        const auto code = [&](int col, const QString& text) {
            auto* it = new QTableWidgetItem(text);
            if (!row.subfieldsOpen()) {
                it->setFlags(it->flags() & ~Qt::ItemIsEditable);
                it->setForeground(Qt::white);
            }
            spdExp->setItem(r, col, it);
        };
        code(3, row.cn);
        code(4, row.us);
    }
    if (!chooser_.rows.isEmpty())
        spdExp->setCurrentCell(chooser_.active, spdExp->currentColumn() < 0 ? 0 : spdExp->currentColumn());
}

void frmExportField::pullRows() {
    for (int r = 0; r < chooser_.rows.size() && r < spdExp->rowCount(); ++r) {
        ChooserRow& row = chooser_.rows[r];
        row.name = spdExp->item(r, 0)->text();
        row.cn = spdExp->item(r, 3)->text();
        row.us = spdExp->item(r, 4)->text();
    }
}

void frmExportField::tbStandard_ButtonClick(const QString& key) {
    pullRows();
    if (key == QLatin1String("New")) {
        chooser_.newRow();
    } else if (key == QLatin1String("Delete")) {
        chooser_.deleteRow();
    } else if (key == QLatin1String("Up")) {
        chooser_.moveUp();
    } else if (key == QLatin1String("Down")) {
        chooser_.moveDown();
    }
    showRows();
}

void frmExportField::choose(int row, int col, int index) {
    pullRows();
    if (col == 1) chooser_.setContent(row, index);
    if (col == 2 && row >= 0 && row < chooser_.rows.size()) chooser_.rows[row].marcItem = index;
    showRows();
}

bool frmExportField::cmdOK_Click() {
    pullRows();
    QList<ExportColumn> cols;
    QString message;
    if (!chooser_.ok(g_arrExpSrcCols, &cols, &message)) {
        intShowMsg(QStringLiteral("E") + message);
        return false;
    }
    g_arrExpCols = cols;
    g_lngExpColCount = qint32(cols.size());
    accept();
    return true;
}
