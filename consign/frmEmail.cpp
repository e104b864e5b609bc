#include "consign/frmEmail.h"

#include "consign/basEmail.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/ButtonRow.h"

#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmEmail::frmEmail(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmEmail"));
    setWindowTitle(QStringLiteral("委托到书通知邮件"));
    setModal(true);
    auto picker = [this](const char* name) {
        auto* d = new QDateEdit(QDate::currentDate(), this);
        d->setObjectName(QString::fromLatin1(name));
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
        return d;
    };
    dtpBeginDate = picker("dtpBeginDate");
    dtpEndDate = picker("dtpEndDate");
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("委托到书通知起始日期："), this), 0, 0, Qt::AlignRight);
    grid->addWidget(dtpBeginDate, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("委托到书通知截止日期："), this), 1, 0, Qt::AlignRight);
    grid->addWidget(dtpEndDate, 1, 1);
    QHBoxLayout* buttons = ui::okCancelRow(this, cmdSend, cmdCancel, QStringLiteral("发送(&S)"));
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    auto* box = new QVBoxLayout(this);
    box->addLayout(grid);
    box->addLayout(buttons);
    connect(cmdSend, &QPushButton::clicked, this, &frmEmail::cmdSend_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmEmail::cmdSend_Click() {
    const ui::BusyCursor busy;
    consign::NoticeRun run;
    const int rc =
        consign::intSendNotices(m_strLocation, dtpBeginDate->date().toString(QStringLiteral("yyyy-MM-dd")),
                                dtpEndDate->date().toString(QStringLiteral("yyyy-MM-dd")), run);
    if (rc >= 0) accept(); // a failed selection keeps the window open for another try
}
