#include "report/PageSetupDialog.h"

#include "common/basMsg.h"
#include "platform/ui/Units.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>

namespace report {

namespace {
const char16_t* kMarginNames[] = {u"左边距(毫米)", u"右边距(毫米)", u"上边距(毫米)", u"下边距(毫米)"};
} // namespace

PageSetupDialog::PageSetupDialog(const PageSettings& settings, QWidget* parent)
    : QDialog(parent), base_(settings) {
    setObjectName(QStringLiteral("dlgPageSetup"));
    setWindowTitle(QStringLiteral("页面设置"));
    auto* form = new QFormLayout;
    cboPaper = new QComboBox;
    cboPaper->setObjectName(QStringLiteral("cboPaper"));
    for (const PaperKind& p : paperKinds())
        cboPaper->addItem(QString::fromUtf16(p.name), int(p.id));
    form->addRow(QStringLiteral("纸张"), cboPaper);
    optPortrait = new QRadioButton(QStringLiteral("纵向"));
    optPortrait->setObjectName(QStringLiteral("optPortrait"));
    optLandscape = new QRadioButton(QStringLiteral("横向"));
    optLandscape->setObjectName(QStringLiteral("optLandscape"));
    auto* orient = new QHBoxLayout;
    orient->addWidget(optPortrait);
    orient->addWidget(optLandscape);
    form->addRow(QStringLiteral("方向"), orient);
    for (int i = 0; i < 4; ++i) {
        txtMargin[i] = new QDoubleSpinBox;
        txtMargin[i]->setObjectName(QStringLiteral("txtMargin%1").arg(i));
        txtMargin[i]->setDecimals(1);
        txtMargin[i]->setRange(0, 500);
        form->addRow(QString::fromUtf16(kMarginNames[i]), txtMargin[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PageSetupDialog::cmdOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addWidget(buttons);
    setSettings(settings);
}

void PageSetupDialog::setSettings(const PageSettings& s) {
    base_ = s;
    const int i = cboPaper->findData(int(s.paper));
    cboPaper->setCurrentIndex(i >= 0 ? i : 0);
    optPortrait->setChecked(s.orientation == QPageLayout::Portrait);
    optLandscape->setChecked(s.orientation == QPageLayout::Landscape);
    const int m[] = {s.leftMargin, s.rightMargin, s.topMargin, s.bottomMargin};
    for (int k = 0; k < 4; ++k) {
        txtMargin[k]->setValue(ui::units::twipsToMillimetres(m[k]));
        shown_[k] = txtMargin[k]->value();
    }
}

PageSettings PageSetupDialog::settings() const {
    PageSettings s = base_;
    s.paper = QPageSize::PageSizeId(cboPaper->currentData().toInt());
    s.orientation = optLandscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    int* m[] = {&s.leftMargin, &s.rightMargin, &s.topMargin, &s.bottomMargin};
    for (int k = 0; k < 4; ++k) // a box left as shown keeps its exact twips
        if (txtMargin[k]->value() != shown_[k]) *m[k] = ui::units::millimetresToTwips(txtMargin[k]->value());
    return s;
}

void PageSetupDialog::cmdOK_Click() {
    if (!settings().fits()) {
        intShowMsg(QStringLiteral("E页边距超出了纸张的范围，请重新设定。"));
        return;
    }
    accept();
}

} // namespace report
