#include "desk/frmReleKeepDay.h"

#include "platform/ui/DialogService.h"
#include "platform/ui/NumberBox.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmReleKeepDay::frmReleKeepDay(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReleKeepDay"));
    setWindowTitle(QStringLiteral("委托保留天数"));
    setModal(true);

    auto* grid = new QGridLayout;
    auto label = [&](int row, const QString& caption, QWidget* field) {
        grid->addWidget(new QLabel(caption, this), row, 0, Qt::AlignRight);
        grid->addWidget(field, row, 1);
    };
    lblBeginDate = new QLabel(this);
    lblBeginDate->setObjectName(QStringLiteral("lblBeginDate"));
    txtKeepDay = new ui::NumberBox(QStringLiteral("txtKeepDay"), this);
    txtKeepDay->setMask(QStringLiteral("######"));
    lblEndDate = new QLabel(this);
    lblEndDate->setObjectName(QStringLiteral("lblEndDate"));
    lblMaxKeepDay = new QLabel(this);
    lblMaxKeepDay->setObjectName(QStringLiteral("lblMaxKeepDay"));
    label(0, QStringLiteral("委托日期："), lblBeginDate);
    label(1, QStringLiteral("委托保留天数："), txtKeepDay);
    label(2, QStringLiteral("委托截止日期："), lblEndDate);
    label(3, QStringLiteral("最大保留天数："), lblMaxKeepDay);

    cmdOk = new QPushButton(QStringLiteral("确认(&O)"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);

    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(buttons);

    connect(txtKeepDay, &ui::NumberBox::changed, this, &frmReleKeepDay::subCalcEndDate);
    connect(cmdOk, &QPushButton::clicked, this, &frmReleKeepDay::cmdOk_Click);
}

void frmReleKeepDay::setValues(const QString& beginDate, int maxDays)
{
    lblBeginDate->setText(beginDate);
    lblMaxKeepDay->setText(QString::number(maxDays));
    txtKeepDay->setText(QString::number(maxDays));
    subCalcEndDate();
}

qint64 frmReleKeepDay::keepDays() const
{
    qint64 days = 0;
    return txtKeepDay->intValue(&days) ? days : 0;
}

void frmReleKeepDay::subCalcEndDate()
{
    const QDate begin = QDate::fromString(lblBeginDate->text(), QStringLiteral("yyyy-MM-dd"));
    lblEndDate->setText(begin.isValid() ? begin.addDays(keepDays()).toString(QStringLiteral("yyyy-MM-dd")) : QString());
}

void frmReleKeepDay::cmdOk_Click()
{
    qint64 days = 0;
    const bool number = txtKeepDay->intValue(&days);
    if (number && days >= 1 && days <= lblMaxKeepDay->text().toLongLong()) {
        accept();
        return;
    }
    // Said, not silently reset: the box then offers the maximum.
    ui::BoxRequest box;
    box.icon = ui::BoxIcon::Warning;
    box.title = windowTitle();
    box.text = QStringLiteral("委托保留天数应在1到%1天之间！").arg(lblMaxKeepDay->text());
    box.beep = true;
    ui::DialogService::current().showBox(box);
    txtKeepDay->setText(lblMaxKeepDay->text());
    txtKeepDay->setFocus();
    txtKeepDay->selectAll();
}

void frmReleKeepDay::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    subCalcEndDate();
    txtKeepDay->setFocus();
    txtKeepDay->selectAll();
}

std::optional<int> frmReleKeepDay::askKeepDays(QWidget* parent, const QString& beginDate, int maxDays)
{
    frmReleKeepDay dialog(parent);
    dialog.setValues(beginDate, maxDays);
    if (ui::DialogService::current().execDialog(&dialog) != QDialog::Accepted)
        return std::nullopt;
    return static_cast<int>(dialog.keepDays());
}
