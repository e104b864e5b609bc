#include "report/frmFlexPrtStyle.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

frmFlexPrtStyle::frmFlexPrtStyle(report::ReportGrid* grid, QWidget* parent) : QDialog(parent), grid_(grid) {
    setObjectName(QStringLiteral("frmFlexPrtStyle"));
    setWindowTitle(QString());
    lblHelp = new QLabel(this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setFont(ui::makeFont(QStringLiteral("楷体_GB2312"), 10.5));
    grdColor = new QTableWidget(6, 2, this);
    grdColor->setObjectName(QStringLiteral("grdColor"));
    grdColor->horizontalHeader()->hide();
    grdColor->verticalHeader()->hide();
    grdColor->setColumnWidth(0, 80);
    grdColor->horizontalHeader()->setStretchLastSection(true);
    grdColor->setSelectionMode(QAbstractItemView::NoSelection);
    grdColor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const char16_t* captions[] = {u"背景颜色",   u"前景颜色",   u"网格线颜色",
                                  u"外边框颜色", u"网格线样式", u"网格线宽度"};
    for (int r = 0; r < 6; ++r) {
        grdColor->setItem(r, 0, new QTableWidgetItem(QString::fromUtf16(captions[r])));
        grdColor->setItem(r, 1, new QTableWidgetItem());
    }
    for (int r = 0; r < 4; ++r) {
        auto* b = new QPushButton(QStringLiteral("…"));
        b->setObjectName(QStringLiteral("cmdColor%1").arg(r));
        b->setFlat(true);
        b->setAutoFillBackground(true);
        connect(b, &QPushButton::clicked, this, [this, r] { chooseColor(r); });
        grdColor->setCellWidget(r, 1, b);
    }
    cboLineStyle = new QComboBox;
    cboLineStyle->setObjectName(QStringLiteral("cboLineStyle"));
    cboLineStyle->addItems(report::lineStyleTexts());
    connect(cboLineStyle, &QComboBox::activated, this,
            [this](int) { values_.lineStyle = cboLineStyle->currentText(); });
    grdColor->setCellWidget(4, 1, cboLineStyle);
    txtLineWidth = new QLineEdit;
    txtLineWidth->setObjectName(QStringLiteral("txtLineWidth"));
    txtLineWidth->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]?")), txtLineWidth));
    connect(txtLineWidth, &QLineEdit::textEdited, this, [this](const QString& t) { values_.lineWidth = t; });
    grdColor->setCellWidget(5, 1, txtLineWidth);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, &frmFlexPrtStyle::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFlexPrtStyle::cmdCancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblHelp);
    lay->addWidget(grdColor);
    lay->addLayout(buttons);
}

void frmFlexPrtStyle::showEvent(QShowEvent* event) {
    Form_Activate();
    QDialog::showEvent(event);
}

void frmFlexPrtStyle::Form_Activate() {
    const bool lines = iMode != 0;
    lblHelp->setText(lines ? QStringLiteral("设定网格线风格：") : QStringLiteral("点击颜色方块重新设定："));
    for (int r = 0; r < 4; ++r)
        grdColor->setRowHidden(r, lines);
    const int rowH = grdColor->rowHeight(4);
    grdColor->setFixedHeight((rowH + 6) * (lines ? 2 : 4));
    report::readGridStyle(*grid_, values_);
    showValues();
}

QColor& frmFlexPrtStyle::colorOfRow(int row) {
    switch (row) {
    case 0:
        return values_.back;
    case 1:
        return values_.fore;
    case 2:
        return values_.gridLine;
    default:
        return values_.border;
    }
}

void frmFlexPrtStyle::showValues() {
    for (int r = 0; r < 4; ++r) {
        const QColor c = colorOfRow(r);
        grdColor->item(r, 1)->setBackground(c);
        if (QWidget* w = grdColor->cellWidget(r, 1))
            w->setStyleSheet(QStringLiteral("background: %1;").arg(c.name()));
    }
    const int i = cboLineStyle->findText(values_.lineStyle);
    cboLineStyle->setCurrentIndex(i);
    txtLineWidth->setText(values_.lineWidth);
}

void frmFlexPrtStyle::chooseColor(int row) {
    if (row < 0 || row > 3) return;
    QColorDialog dlg(colorOfRow(row), this);
    dlg.setObjectName(QStringLiteral("dlgColor"));
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted) return;
    colorOfRow(row) = dlg.selectedColor().isValid() ? dlg.selectedColor() : dlg.currentColor();
    showValues();
}

void frmFlexPrtStyle::cmdOK_Click() {
    values_.lineStyle = cboLineStyle->currentIndex() >= 0 ? cboLineStyle->currentText() : values_.lineStyle;
    values_.lineWidth = txtLineWidth->text();
    report::applyGridStyle(*grid_, values_);
    accept();
}

void frmFlexPrtStyle::cmdCancel_Click() {
    reject();
}
