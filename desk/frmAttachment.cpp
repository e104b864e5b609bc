#include "desk/frmAttachment.h"

#include "platform/ui/DialogService.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmAttachment::frmAttachment(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAttachment"));
    setWindowTitle(QStringLiteral("附件判断"));
    lblSubject = new QLabel(this);
    lblSubject->setObjectName(QStringLiteral("lblSubject"));
    lblSubject->setTextFormat(Qt::PlainText);
    lblSubject->hide();
    lblTitle = new QLabel(QStringLiteral("是否包含以下附件（可以修改）："), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    txtAttachment = new QLineEdit(this);
    txtAttachment->setObjectName(QStringLiteral("txtAttachment"));
    txtAttachment->setMinimumWidth(280);
    cmdYes = new QPushButton(QStringLiteral("包含(&Y)"), this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdYes->setDefault(true);
    cmdNO = new QPushButton(QStringLiteral("不包含(&N)"), this);
    cmdNO->setObjectName(QStringLiteral("cmdNO"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdYes);
    buttons->addWidget(cmdNO);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSubject);
    layout->addWidget(lblTitle);
    layout->addWidget(txtAttachment);
    layout->addLayout(buttons);
    connect(cmdYes, &QPushButton::clicked, this, &frmAttachment::cmdYes_Click);
    connect(cmdNO, &QPushButton::clicked, this, &frmAttachment::cmdNO_Click);
}

void frmAttachment::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtAttachment->selectAll();
    txtAttachment->setFocus();
}

void frmAttachment::cmdYes_Click() {
    if (m_frmLend) m_frmLend->setStrAttachment(txtAttachment->text().trimmed());
    accept();
}

void frmAttachment::cmdNO_Click() {
    if (m_frmLend) m_frmLend->setStrAttachment(QString());
    accept();
}

void frmAttachment::showFor(QWidget* parent, desk::LendingWindow& lending, const QString& subject) {
    frmAttachment dialog(parent);
    dialog.m_frmLend = &lending;
    dialog.lblSubject->setText(subject);
    dialog.lblSubject->setVisible(!subject.isEmpty());
    dialog.txtAttachment->setText(lending.strAttachment());
    ui::DialogService::current().execDialog(&dialog);
}
