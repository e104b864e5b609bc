#include "report/frmFlexPrtCustom.h"

#include "platform/ui/Units.h"
#include "report/frmFlexPrtNode.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace report;

namespace {
const QStringList kSorts = {QStringLiteral("不排序"), QStringLiteral("升序"), QStringLiteral("降序")};
}

frmFlexPrtCustom::frmFlexPrtCustom(int addOrder, bool simplePrint, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFlexPrtCustom"));
    setWindowTitle(QStringLiteral("订单输出设置"));
    auto* frame = new QGroupBox(QStringLiteral("输出内容"), this);
    frame->setObjectName(QStringLiteral("frame1"));
    grdSetup = new QTableWidget(0, 4, frame);
    grdSetup->setObjectName(QStringLiteral("grdSetup"));
    grdSetup->setHorizontalHeaderLabels({QStringLiteral("列内容"), QStringLiteral("列名"),
                                         QStringLiteral("是否输出"), QStringLiteral("是否排序")});
    grdSetup->setSelectionMode(QAbstractItemView::NoSelection);
    grdSetup->verticalHeader()->setMinimumWidth(ui::units::twipsToPixels(225));
    const int widths[] = {1560, 1545, 825, 900};
    for (int c = 0; c < 4; ++c)
        grdSetup->setColumnWidth(c, ui::units::twipsToPixels(widths[c]));
    connect(grdSetup->verticalHeader(), &QHeaderView::sectionPressed, this,
            [this](int r) { grdSetup_RowHeader(r + 1, QApplication::mouseButtons() != Qt::RightButton); });
    connect(grdSetup, &QTableWidget::cellDoubleClicked, this, [this](int r, int c) {
        if (c == 0) editDefinition(r + 1);
    });
    connect(grdSetup, &QTableWidget::cellChanged, this, &frmFlexPrtCustom::dropChoice);
    cmdNewMarc = new QPushButton(QStringLiteral("自定义Marc子字段"), frame);
    cmdNewMarc->setObjectName(QStringLiteral("cmdNewMarc"));
    cmdNewMarc->setVisible(!simplePrint);
    cmdDel = new QPushButton(QStringLiteral("×"), frame);
    cmdDel->setObjectName(QStringLiteral("cmdDel"));
    cmdUp = new QPushButton(QStringLiteral("↑"), frame);
    cmdUp->setObjectName(QStringLiteral("cmdUp"));
    cmdDown = new QPushButton(QStringLiteral("↓"), frame);
    cmdDown->setObjectName(QStringLiteral("cmdDown"));
    connect(cmdNewMarc, &QPushButton::clicked, this, &frmFlexPrtCustom::cmdNewMarc_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmFlexPrtCustom::cmdDel_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmFlexPrtCustom::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmFlexPrtCustom::cmdDown_Click);
    auto* fl = new QVBoxLayout(frame);
    fl->addWidget(grdSetup);
    auto* bar = new QHBoxLayout;
    bar->addWidget(cmdNewMarc);
    bar->addStretch();
    bar->addWidget(cmdDel);
    bar->addWidget(cmdUp);
    bar->addWidget(cmdDown);
    fl->addLayout(bar);

    chkOrder = new QCheckBox(QStringLiteral("是否打印行序号"), this);
    chkOrder->setObjectName(QStringLiteral("chkOrder"));
    chkOrder->setChecked(addOrder == 1);
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(frame);
    auto* low = new QHBoxLayout;
    low->addWidget(chkOrder);
    low->addStretch();
    low->addWidget(cmdOK);
    low->addWidget(cmdCancel);
    lay->addLayout(low);
    resize(560, 420);
    showChoice();
}

int frmFlexPrtCustom::addOrder() const {
    return chkOrder->isChecked() ? 1 : 0;
}

void frmFlexPrtCustom::subReadGrid(const ReportGrid& grd, const RebuildInput& in) {
    editor_.rows = readGrid(grd, *in.data, in.cols);
    editor_.clearChoice();
    showRows();
}

void frmFlexPrtCustom::subApplyGrid(ReportGrid& grd, const RebuildInput& in) {
    pullRows();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    applyGrid(grd, editor_.rows, in, addOrder());
    QApplication::restoreOverrideCursor();
}

void frmFlexPrtCustom::subDrawGrid(ReportGrid& grd, const QList<SetupRow>& rows, int order,
                                   const RebuildInput& in) {
    editor_.rows = rows;
    editor_.clearChoice();
    showRows();
    chkOrder->setChecked(order == 1);
    drawGrid(grd, rows, in, order == 1 ? 1 : 0);
}

void frmFlexPrtCustom::showRows() {
    const QSignalBlocker block(grdSetup);
    grdSetup->setRowCount(int(editor_.rows.size()));
    for (int r = 0; r < editor_.rows.size(); ++r) {
        const SetupRow& s = editor_.rows[r];
        auto* def = new QTableWidgetItem(s.definition);
        def->setFlags(def->flags() & ~Qt::ItemIsEditable);
        if (r + 1 == editor_.chosen()) def->setBackground(QColor(0, 0, 255));
        grdSetup->setItem(r, 0, def);
        grdSetup->setItem(r, 1, new QTableWidgetItem(s.title));
        auto* out = new QTableWidgetItem;
        out->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        out->setCheckState(s.output ? Qt::Checked : Qt::Unchecked);
        grdSetup->setItem(r, 2, out);
        auto* sort = new QComboBox(grdSetup);
        sort->addItems(kSorts);
        const int k = s.sort.toInt();
        sort->setCurrentIndex(k >= 0 && k <= 2 ? k : 0);
        connect(sort, &QComboBox::currentIndexChanged, this, &frmFlexPrtCustom::dropChoice);
        grdSetup->setCellWidget(r, 3, sort);
    }
}

void frmFlexPrtCustom::pullRows() {
    for (int r = 0; r < editor_.rows.size() && r < grdSetup->rowCount(); ++r) {
        SetupRow& s = editor_.rows[r];
        s.title = grdSetup->item(r, 1)->text();
        s.output = grdSetup->item(r, 2)->checkState() == Qt::Checked;
        if (auto* sort = qobject_cast<QComboBox*>(grdSetup->cellWidget(r, 3)))
            s.sort = QString::number(sort->currentIndex());
    }
}

void frmFlexPrtCustom::showChoice() {
    cmdUp->setEnabled(editor_.canMove());
    cmdDown->setEnabled(editor_.canMove());
    cmdDel->setEnabled(editor_.canDelete());
}

void frmFlexPrtCustom::dropChoice() {
    // An edit ends the choice; the table keeps what was typed.
    const int was = editor_.chosen();
    editor_.clearChoice();
    const QSignalBlocker block(grdSetup);
    if (QTableWidgetItem* it = was > 0 ? grdSetup->item(was - 1, 0) : nullptr) it->setBackground(QBrush());
    showChoice();
}

void frmFlexPrtCustom::grdSetup_RowHeader(int row, bool leftButton) {
    pullRows();
    editor_.choose(row, leftButton);
    showRows();
    showChoice();
}

void frmFlexPrtCustom::cmdUp_Click() {
    pullRows();
    if (editor_.moveUp()) showRows();
    grdSetup->scrollToItem(grdSetup->item(editor_.chosen() - 1, 0));
}

void frmFlexPrtCustom::cmdDown_Click() {
    pullRows();
    if (editor_.moveDown()) showRows();
    if (editor_.chosen() > 0) grdSetup->scrollToItem(grdSetup->item(editor_.chosen() - 1, 0));
}

void frmFlexPrtCustom::cmdDel_Click() {
    pullRows();
    if (editor_.deleteChosen()) showRows();
    showChoice();
}

bool frmFlexPrtCustom::runEditor(int row) {
    frmFlexPrtNode node(this);
    const MarcSubfields subfields = subfieldsFromSetup(editor_.rows[row - 1].definition);
    node.txtCN->setText(subfields.cn);
    node.txtUS->setText(subfields.us);
    const QRect cell = grdSetup->visualItemRect(grdSetup->item(row - 1, 0));
    if (!node.ShowNote(grdSetup->viewport()->mapToGlobal(cell.topLeft()))) return false;
    editor_.setMarcDefinition(row, node.cn(), node.us());
    return true;
}

void frmFlexPrtCustom::cmdNewMarc_Click() {
    pullRows();
    const int row = editor_.addMarcRow();
    showRows();
    grdSetup->scrollToItem(grdSetup->item(row - 1, 0));
    if (!runEditor(row)) {
        editor_.rows.removeAt(row - 1);
        editor_.clearChoice();
    }
    showRows();
    showChoice();
}

void frmFlexPrtCustom::editDefinition(int row) {
    if (row < 1 || row > editor_.rows.size() || !editor_.rows[row - 1].newField) return;
    pullRows();
    if (runEditor(row)) showRows();
}
